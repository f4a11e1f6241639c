#pragma once

// The note window. NoteWindow is the program's only window: a borderless strip docked at the top of
// the screen that unrolls to show the note text, the note list and the "M" button with its panels.
//
// How the pieces meet: everything the window knows of itself is a WindowState, a plain object
// with no widget in it. Every event of a control is connected once to one private handler below,
// named for what it does. A handler asks the state what happens (and, for a note, the store), then
// calls render(), which draws the state onto the widgets: the window's height, which arrow and
// panel shows, the list's width and column, which timers run, whether the note can be written in.
// Nothing is decided by reading a widget back. The controls are made from the design (Design.h)
// by buildControls; their places are twips in the design and become pixels in one place, Layout,
// at the resolution of the screen the window is on. Where the window is on the desktop is
// Docking's to say, as plain as the state: docked on the primary screen, or where the person moved
// it, as the screens change. What the window needs of the desktop beyond
// its widgets (the pointer, questions, error reports, staying on top, the window manager's move)
// goes through runtime::Desktop. The store's operations open and close a session of their own
// and hand back values or a StoreError; a failure is worded by reportStoreError and ends only the
// handler it happened in.
//
// The note being written is kept on disk as a draft by a DraftKeeper, so that nothing typed is lost
// when the program ends however it ends; a draft left by a program that ended comes back at start.
//
// Handlers are spread over files by concern: NoteWindowFrame.cpp (rolling up, dragging, exit, the
// list's slide and the pointer poll), NoteWindowNotes.cpp (the note list, the note and the panels),
// NoteWindowDrafts.cpp (the draft of the note being written), NoteWindowScreens.cpp (the
// window's place when the desktop's screens change), NoteWindowKeys.cpp (the keys, and where the
// keyboard focus goes), NoteWindowCommands.cpp (commands from the command line that reach the
// running window).

#include "Controls.h"
#include "Docking.h"
#include "Layout.h"
#include "WindowState.h"
#include "store/Drafts.h"
#include "store/NoteStore.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QKeyEvent;
class QScreen;
class QTimer;

namespace runtime {
class Desktop;
struct Activation;
} // namespace runtime

namespace window {

class DraftKeeper;

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

    // Commands from outside the window (a key bound on the desktop), with what the desktop gave
    // them so that the window may take the focus (NoteWindowCommands.cpp). Toggle: a rolled-up
    // window unrolls, is activated and its note area has the keyboard focus; an unrolled one
    // rolls up. New: the same unrolled, focused window, with a new empty note unless the note
    // area holds typed text not yet saved.
    void toggleByCommand(const runtime::Activation &activation);
    void newNoteByCommand(const runtime::Activation &activation);

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
    // The title strip and the arrows.
    void toggleRolledUp();
    void dragWindow();
    void unrollOnHover();
    void askExit();

    // The list's slide-out and the pointer staying away.
    void pointerOverList();
    void pointerOverNoteOrEdge();
    void slideStep();
    void pollPointer();

    // The note list, the note and the command, save and delete panels.
    void showNote(qint64 id);
    void highlightMoved(qint64 id);
    void toggleCommandPanel();
    void newNote();
    void askTitle();
    void saveNote();
    void cancelSave();
    void askDelete();
    void deleteNote();
    void cancelDelete();

    // Drafts of the note being written.
    void noteEdited();
    void restoreDraft(const store::Draft &draft);
    void draftNotKept(const store::StoreError &error);

private:
    void connectHandlers();
    // The keys (NoteWindowKeys.cpp): every control of the window hands its keys to the window
    // first; a key that means a command runs it, as the pointer does, and the rest go on to the
    // control.
    void watchKeys();
    bool keyPressed(QObject *receiver, const QKeyEvent &key);
    void runKeyCommand(KeyCommand command);
    // Enter or Space on a focused button presses it; a panel it opens takes the focus.
    void pressByKey(QAbstractButton *button);
    // Where the focus goes when the window rolls up or unrolls: to the title strip rolled up,
    // and back where it was (or to the note) unrolled.
    void renderFocus(bool rolledUp);
    // The control that had the focus when the window rolled up.
    QPointer<QWidget> m_focusBeforeRollUp;

    // Unrolls the window for a command and hands it the focus, the note area focused.
    void callUp(const runtime::Activation &activation);
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
    // Draws the state onto the widgets.
    void render();
    void renderList();
    // Where the window is on the screen, in pixels, as the state has it.
    QRect placeOnScreen() const;
    // Shows a store failure: the one place that words it for the person.
    void reportStoreError(const store::StoreError &error);
    // Reads the list again after a change. On failure the list the person had stays, and the
    // report says it may be out of date; the next reload that succeeds replaces it.
    void reloadList();
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
};

} // namespace window
