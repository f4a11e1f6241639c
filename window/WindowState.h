#pragma once

#include "Design.h"
#include "store/NoteStore.h"

#include <QPoint>
#include <QRect>
#include <optional>

namespace window {

// Which of the panels over the note area is open; at most one is.
enum class Panel { None, Commands, Save, Delete };

// Which way the note list is sliding, if at all.
enum class Slide { Still, Widening, Narrowing };

// What the note area holds: nothing yet (read-only), a new note being written, or a stored note
// (read-only).
enum class NoteMode { Blank, Writing, Stored };

// The keys the window answers to, whichever of its controls has the keyboard focus: Escape,
// Ctrl+N, Ctrl+S, Ctrl+Delete, Ctrl+Q, Ctrl+L, Enter (in the title box, or anywhere else) and the
// Down arrow.
enum class Key { Escape, New, Save, Delete, Exit, List, Enter, EnterInTitleBox, Down };

// What a key does: one of the window's commands, the same a person gives with the pointer, or
// nothing (the focused control then has the key to itself).
enum class KeyCommand {
    None,
    Unroll,
    RollUp,
    CloseCommandPanel, // as "M" closes it
    CancelSave,        // "Avbryt"
    CancelDelete,      // "Nej"
    NewNote,           // "Ny"
    AskTitle,          // "Spara"
    AskDelete,         // "Radera"
    AskExit,           // "Avsluta"
    SaveNote,          // "OK"
    FocusList,
};

// Everything the note window knows about itself, with no widget in it: whether it is rolled up,
// how wide the note list is and which way it slides, which panel is open, which note is shown,
// how many looks in a row found the pointer away, and the two choices on the title strip. The
// window's handlers ask it what happens and then draw the answer; nothing is read back from the
// widgets. Widths are in twips, the design's unit.
//
// It starts as the window is first shown: rolled up, the list narrow with its column closed, no
// panel open, nothing in the note area, locked in place, hiding itself when the pointer is away.
class WindowState
{
public:
    // Rolling up and down. Unrolled, the window looks for the pointer (pointer polls), counting
    // afresh from every unroll; rolled up, it does not.
    bool rolledUp() const { return m_rolledUp; }
    void toggleRolledUp();
    // A command from outside the window (a key bound on the desktop) unrolls it, the note area
    // ready to be written in: a blank one becomes a new note. Called up so, the window may be far
    // from the pointer, so the pointer polls count no look outside until the pointer has been
    // over the window once; until then the window stays unrolled (a command, or the title
    // strip, rolls it up). Unrolled already, it stays so, and the polls wait all the same.
    void unrollByCommand();
    // Whether the polls wait for the pointer to come over the window before they count.
    bool awaitsPointer() const { return m_awaitsPointer; }
    // A command asks for a new note: unless typed text that is no stored note is in the note
    // area (`holdsText` says whether the area holds any text), what "Ny" does, and an open panel
    // closes (a question as its "Avbryt" or "Nej" would). Returns whether the note area is to be
    // emptied; when it is not, nothing changes.
    bool newNoteByCommand(bool holdsText);

    // The note list's slide-out.
    int listWidth() const { return m_listWidth; }
    // The list's column: the list's width less an inset once the list has moved, so it can be
    // negative; the list keeps its last column width that was not.
    int columnWidth() const { return m_columnWidth; }
    Slide slide() const { return m_slide; }
    // The pointer over the list widens it, but only from exactly its narrow width: while it
    // slides either way, this changes nothing.
    void pointerOverList();
    // The pointer over the note text or an edge strip narrows the list from wherever it is, and
    // closes the command panel.
    void pointerOverNoteOrEdge();
    // One tick of the slide: a step of the way, or, at the end of the way, the stop.
    void slideTick();

    // The panels and the note.
    Panel panel() const { return m_panel; }
    NoteMode noteMode() const { return m_noteMode; }
    bool noteEditable() const { return m_noteMode == NoteMode::Writing; }
    // The stored note shown, as it was read: what a delete removes.
    const std::optional<store::Note> &shownNote() const { return m_shownNote; }
    // "M": opens or closes the command panel. Returns false, having changed nothing, while the
    // save or delete question is open.
    bool toggleCommandPanel();
    // "Ny": an empty note to write, the command panel closed.
    void startNewNote();
    // "Spara": the save panel, unless a stored note is shown (a stored note is never saved
    // again). Returns whether it opened.
    bool openSavePanel();
    // "Radera": the delete question, only while a stored note is shown. Returns whether it opened.
    bool openDeletePanel();
    // "Avbryt", "Nej": the open panel closes; nothing else changes.
    void closePanel();
    // Whether a title chosen in the list is shown: not while the save panel is open, so the note
    // being saved stays the note typed.
    bool showsChosenNote() const { return m_panel != Panel::Save; }
    void showStoredNote(store::Note note);
    // "OK" stored the note, or "Ja" deleted the one shown: a new empty note, no panel open.
    void changeStored();

    // What a key does now. Rolled up, Enter and Down unroll the window and nothing else acts.
    // Unrolled, Escape closes the open panel as its "Avbryt" or "Nej" does, or the command panel
    // as "M" does, and with no panel open rolls the window up; Enter in the title box is "OK".
    // The keys of the command panel's buttons ("Ny", "Spara", "Radera", "Avsluta") and the key
    // to the list act only where the pointer could reach them: not while the save or delete
    // question is open, and each refused where its button is ("Spara" while a stored note is
    // shown, "Radera" while none is).
    KeyCommand commandForKey(Key key) const;
    // The keyboard focus comes to the note list: it slides out as for the pointer over it. The
    // focus leaves it: it slides back as for the pointer over the note, but no panel closes.
    void listFocused() { pointerOverList(); }
    void listLeft() { startNarrowing(); }

    // The title strip's two choices.
    bool lockedInPlace() const { return m_lockedInPlace; }
    void setLockedInPlace(bool locked) { m_lockedInPlace = locked; }
    bool autoHide() const { return m_autoHide; }
    void setAutoHide(bool on) { m_autoHide = on; }

    // One look at the pointer (in screen pixels; empty when it could not be read, which counts as
    // the screen's corner) against the window's place on the screen. On an edge is inside.
    // Counts the looks in a row that find it outside; returns true on the look that should roll
    // the window up. With auto-hide off it changes nothing.
    bool pollPointer(const std::optional<QPoint> &pointer, const QRect &window);
    int pollsOutside() const { return m_pollsOutside; }
    // Narrows the list, if it is out, and rolls the window up: what the pointer staying away does.
    void hideNow();

private:
    void startNarrowing();

    bool m_rolledUp = true;
    int m_listWidth = design::ListSlide.narrow;
    int m_columnWidth = 0;
    Slide m_slide = Slide::Still;
    Panel m_panel = Panel::None;
    NoteMode m_noteMode = NoteMode::Blank;
    std::optional<store::Note> m_shownNote;
    bool m_lockedInPlace = true;
    bool m_autoHide = true;
    int m_pollsOutside = 0;
    bool m_awaitsPointer = false;
};

} // namespace window
