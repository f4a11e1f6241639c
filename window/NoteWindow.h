#pragma once

// The note window. NoteWindow is the program's only window: a borderless strip docked at the top of
// the screen that unrolls to show the note text (noteText), the note list (noteList) and the "M"
// button with its command panel.
//
// How the pieces meet: DesignBuilder creates every control from the fixed design table (Design.h)
// as a child of NoteWindow and hands back their typed pointers (Controls.h); the controls are thin
// classes over Qt widgets (window/controls/) that keep their geometry in twips and raise the
// events the window handles. Each event is connected once to one private handler below, named for
// what it does. Handlers read and set control properties; all the window's state lives there (and
// in m_pollsOutside and m_shownNote). What the window needs from the desktop beyond its widgets
// (the pointer's position, answers to questions, error reports) goes through runtime::Desktop.
// Handlers that touch the note database call the store/ operations, which open and close a session
// of their own and hand back the values read or a StoreError. A store failure is reported to the
// user by reportStoreError and ends only the handler it happened in, leaving the window as it was.
//
// Handlers are spread over files by concern: NoteWindowFrame.cpp (start-up, roll-up, drag, exit),
// NoteWindowNotes.cpp (showing a note, the command panel), NoteWindowSlideOut.cpp (the list's
// slide-out), NoteWindowAutoHide.cpp (rolling up when the pointer stays away).

#include "Controls.h"
#include "runtime/TwipsControl.h"
#include "store/NoteStore.h"

#include <QWidget>
#include <cstdint>
#include <optional>

namespace runtime {
class Desktop;
}

namespace window {

class NoteWindow : public QWidget, public runtime::TwipsControl
{
    Q_OBJECT
public:
    // The window keeps its notes in `notes`; the desktop must outlive it.
    NoteWindow(store::NoteStore notes, runtime::Desktop &desktop, QWidget *parent = nullptr);
    ~NoteWindow() override;

    // The start-up sequence: docks the window at the top edge, reads the note list (which also
    // checks that memo.mdb is a note database), rolls the window up, makes it topmost, empties
    // and locks the note text, closes the list's column and hides the list until the window
    // first unrolls.
    // Returns false, having reported why, when the database cannot be used: the program cannot
    // start then. Call it once, before the window is shown.
    bool load();

    // The same sequence for a database checked already: `checked` is what NoteStore::check() on
    // this window's notes returned, which the program runs while it builds the window. The list
    // fills in one step on the event loop right after the window's first frame, so that the
    // rolled-up strip (which shows no list) appears without waiting for thousands of notes.
    bool loadChecked(const store::Result<store::Done> &checked);

private Q_SLOTS:
    // The title strip and the arrows.
    void toggleRolledUp();
    void dragWindow();
    void unrollOnHover();

    // The note list and the command, save and delete panels.
    void showNote(qint64 id);
    void highlightMoved(qint64 id);
    void toggleCommandPanel();
    void newNote();
    void askDelete();
    void askTitle();
    void askExit();
    void saveNote();
    void cancelSave();
    void deleteNote();
    void cancelDelete();

    // The list's slide-out.
    void startWidening();
    void pointerOverNote();
    void pointerOverEdge();
    void widenStep();
    void narrowStep();

    // Rolling up when the pointer stays away.
    void pollPointer();

private:
    void connectHandlers();
    // What both start-up sequences do once the database is known to be usable.
    void dockRolledUp();
    // Shows a store failure: the one place that words it for the user.
    void reportStoreError(const store::StoreError &error);
    // Reads the list again after a change. On failure the list the user had stays, and the
    // report says it may be out of date; the next reload that succeeds replaces it.
    void reloadList();
    void showList(store::NoteList notes);
    // The start of narrowing shared by the edge strips and hideNow.
    void startNarrowing();
    // Narrows the list and rolls the window up (or down, if it is rolled up already).
    void hideNow();

    const store::NoteStore m_notes;
    runtime::Desktop &m_desktop;
    Controls m_ui;
    // Polls counted with the pointer outside the window since it was last found inside.
    std::int16_t m_pollsOutside = 0;
    // The note shown read-only (its ID is in shownNoteId): what "Ja" deletes, checked against the
    // database so that a note that has since taken its ID is never deleted instead.
    std::optional<store::Note> m_shownNote;
};

} // namespace window
