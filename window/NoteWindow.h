#pragma once

// The note window. NoteWindow is the program's only window: a borderless strip docked at the top of
// the screen that unrolls to show the note text, the note list and the "M" button with its panels.
//
// How the pieces meet: everything the window knows of itself is a WindowState, a plain object
// with no widget in it. Every button, key and command from the desktop is one Command of the
// command table (Commands.h): a button's click and its key go through run(), a command from the
// desktop through runFromDesktop(), and the state says once whether it is allowed now. A handler
// tells the state what happened (and, for a note, asks the store), then calls render(), the one
// place that writes the widgets: the window's height, which arrow and panel shows, the list's
// width and column, which timers run, the note area's text and whether it can be written in, the
// title box, where the keyboard focus moves, and what the draft keeper is told. Nothing is decided
// by reading a widget back; the text typed is read in one place, typedNote(), where it is kept
// (saved, or written as a draft). The controls are made from the design (Design.h)
// by buildStrip and, once the first frame is shown, buildNoteArea; their places are twips in the
// design and become pixels in one place, Layout, at the resolution of the screen the window is on.
// Where the window is on the desktop is Docking's to say, as plain as the state: docked on the
// primary screen, or where the person moved it, as the screens change. What the window needs of the
// desktop beyond its widgets (the pointer, questions, error reports, staying on top, the window
// manager's move) goes through runtime::Desktop. The store's operations open and close a session of
// their own and hand back values or a StoreError; a failure is worded by reportStoreError and ends
// only the handler it happened in.
//
// The note being written is kept on disk as a draft by a DraftKeeper, so that nothing typed is lost
// when the program ends however it ends; a draft left by a program that ended comes back at start.
//
// Where the database has a sync folder, a NoteSyncer runs sync rounds on a thread of its own: once
// after the first frame, after each save and delete, when files land in the folder, and when the
// folder is set, changed or ended while the window runs. What a round brought is drawn as any
// change is (NoteWindowSync.cpp); the note being written stays.
//
// Handlers are spread over files by concern: NoteWindowCommands.cpp (the commands: which button
// gives which, and carrying one out), NoteWindowFrame.cpp (dragging, exit, the list's slide and
// the pointer poll), NoteWindowNotes.cpp (the note list, saving and deleting), NoteWindowDrafts.cpp
// (the draft of the note being written), NoteWindowScreens.cpp (the window's place when the
// desktop's screens change), NoteWindowKeys.cpp (the keys), NoteWindowSync.cpp (what a sync round
// brought), NoteWindowRender.cpp (drawing the state, the keyboard focus included).

#include "Controls.h"
#include "Docking.h"
#include "Layout.h"
#include "SyncNews.h"
#include "WindowState.h"
#include "store/Drafts.h"
#include "store/NoteStore.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <utility>

class QKeyEvent;
class QScreen;
class QTimer;

namespace runtime {
class Desktop;
struct Activation;
} // namespace runtime

namespace window {

class CommandButton;
class DraftKeeper;
class NoteFinder;
class NoteSyncer;

class NoteWindow : public QWidget
{
    Q_OBJECT
public:
    // The window keeps its notes in `notes`, and the note being written as a draft in `drafts`;
    // the desktop must outlive it. It is made rolled up, as it first shows.
    NoteWindow(store::NoteStore notes, store::DraftFolder drafts, runtime::Desktop &desktop,
               QWidget *parent = nullptr);
    ~NoteWindow() override;

    // The start: `checked` is what NoteStore::check() said of this window's database, which the
    // program finds out while the window is being made. When the database cannot be used, says
    // why and returns false: the window must not be shown. Otherwise docks the window at the top
    // of the screen and keeps it above other windows; once shown, its first frame is reported to
    // the desktop, the note list is read, and a draft a program left unsaved when it ended is
    // restored to the note area. Call it once, before the window is shown. Before that first
    // list read, every page of the file is checked (NoteStore::checkPages(), whose time grows
    // with the file: after the first frame, so that start-up does not wait for it). When the
    // pages are damaged or the first list read fails, the window says why, closes without
    // writing anything and emits startFailed: the program has nothing to show.
    bool start(const store::Result<store::Done> &checked);

    // Writes the note being written to its draft and waits for the disk: the program is ending
    // (closing the window does the same).
    void keepDraftNow();

    // A command from outside the window (a key bound on the desktop), with what the desktop gave
    // it so that the window may take the focus: the window is called up, activated, its note area
    // focused, and the command acts as WindowState::perform says.
    void runFromDesktop(Command command, const runtime::Activation &activation);

    // What the window knows of itself, for those who watch it (the tests).
    const WindowState &state() const { return m_state; }

Q_SIGNALS:
    // The list could not be read at the start; the window has closed. The program ends with a
    // failure.
    void startFailed();

protected:
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The keys of the window, and the note list's focus, as they reach any of its controls.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Tab: while a question is open, round its own controls only; a control that is hidden with
    // the focus leaves it where typing goes on.
    bool focusNextPrevChild(bool next) override;

private Q_SLOTS:
    // The pointer: dragging the title strip, the list's slide-out and staying away.
    void dragWindow();
    void pointerOverList();
    void pointerOverNoteOrEdge();
    void slideStep();
    void pollPointer();

    // The note list.
    void showNote(qint64 id);
    void highlightMoved(qint64 id);

    // The find panel (NoteWindowFind.cpp): the words typed, the notes found.
    void findTyped(const QString &text);
    void notesFound(const QString &typed, const std::vector<qint64> &ids);
    void searchFailed(const store::StoreError &error);

    // What a sync round brought (NoteWindowSync.cpp): notes that arrived in the list, a note
    // deleted elsewhere gone from the note area, problems told.
    void syncRoundDone(const window::SyncOutcome &outcome);

    // Drafts of the note being written.
    void noteEdited();
    void titleEdited();
    void restoreDraft(const store::Draft &draft);
    void draftNotKept(const store::StoreError &error);

private:
    // The handlers of the strip's controls and of the window's helpers.
    void connectStrip();
    // Right after the first frame: the rest of the controls, their handlers, and the state drawn
    // on them.
    void makeNoteArea();
    bool noteAreaMade() const { return m_ui.noteText != nullptr; }
    // The buttons and the command each gives.
    std::array<std::pair<CommandButton *, Command>, 9> buttonCommands() const;
    // Carries out a command of a button or a key, if the state allows it now.
    void run(Command command, Origin origin);
    // The commands that are more than the state's: the store, or a question.
    void askExit();
    void saveNote();
    void deleteNote();
    // The keys (NoteWindowKeys.cpp): every control of the window hands its keys to the window
    // first; a key that means a command runs it, as the pointer does, and the rest go on to the
    // control. Enter or Space on a focused button gives its command.
    void watchKeys();
    bool keyPressed(QObject *receiver, const QKeyEvent &key);

    // The note being written, as typed: its text and, while the save panel is open, the title
    // typed for it. The one place that reads them, for saving and for the draft.
    store::Draft typedNote() const;
    // What the note area holds that is worth keeping as a draft: typed text that is no stored
    // note, with the title typed for it while the save panel is open.
    std::optional<store::Draft> draftToKeep() const;
    // The same, read in pieces where the note is long, and handed over once read.
    void readDraftToKeep(std::function<void(std::optional<store::Draft>)> handover);
    // Lays the controls out for the screen the window is on, again when its resolution changes.
    void followScreen(QScreen *screen);
    void applyScale(const Scale &scale);
    // The window's place on the desktop's screens, docked or where the person put it, followed
    // as the screens change (NoteWindowScreens.cpp).
    static Screens currentScreens();
    void watchScreens();
    void watchScreen(QScreen *screen);
    void screensChanged();
    void followScreens();
    // Draws the state onto the widgets (NoteWindowRender.cpp): the one place that writes them,
    // moves the focus and tells the draft keeper.
    void render();
    void renderList();
    void renderNote();
    // Where the focus goes when the window rolls up or unrolls: to the title strip rolled up,
    // and back where it was (or to the note) unrolled; then where the state moves it.
    void renderFocus(bool rolledUp);
    void renderDraft();
    void renderFind();
    // Marks the hits of the words the note shown was found by, the first scrolled into view.
    void markHits();
    // To the list with the first note found shown, as Down in the list would show it.
    void showFirstFound();
    // The version of the notes found that the list shows; -1 when it shows every note.
    int m_listFilterShown = -1;
    // A version no filter has: the list is filtered and its highlight set again at the next render.
    static constexpr int ListNeedsHighlight = -2;
    // The control that had the focus when the window rolled up.
    QPointer<QWidget> m_focusBeforeRollUp;
    // Set while render() runs: a control's signal that a render raises is drawn by that render.
    bool m_rendering = false;
    // Where the window is on the screen, in pixels, as the state has it.
    QRect placeOnScreen() const;
    // Shows a store failure: the one place that words it for the person.
    void reportStoreError(const store::StoreError &error);
    // Reads the list again after a change. On failure the list the person had stays, and the
    // report says it may be out of date; the next reload that succeeds replaces it.
    void reloadList();
    // The same, the note shown kept highlighted in the list (where it still is).
    void reloadListKeepingPlace();
    // Reads the list for the first time, after the first frame. On failure says why, closes the
    // window and emits startFailed; returns whether the list was read.
    bool readFirstList();

    const store::NoteStore m_notes;
    runtime::Desktop &m_desktop;
    WindowState m_state;
    Layout m_layout;
    Scale m_scale;
    // Where the window is on the desktop, as the window manager last placed it, and whether the
    // person put it there.
    Docking m_docking;
    // Runs while the screens change; the window finds its place when it ends.
    QTimer *m_screensChanging = nullptr;
    Controls m_ui;
    DraftKeeper *m_drafts;
    NoteFinder *m_finder;
    NoteSyncer *m_syncer;
    SyncNews m_syncNews;
};

} // namespace window
