#pragma once

#include "Commands.h"
#include "Design.h"
#include "store/Drafts.h"
#include "store/NoteStore.h"

#include <QPoint>
#include <QRect>
#include <optional>
#include <utility>
#include <vector>

namespace window {

// Which of the panels over the note area is open; at most one is.
enum class Panel { None, Commands, Save, Delete, Find };

// Which way the note list is sliding, if at all.
enum class Slide { Still, Widening, Narrowing };

// What the note area holds: nothing yet (read-only), a new note being written, or a stored note
// (read-only).
enum class NoteMode { Blank, Writing, Stored };

// Where the keyboard focus is to move at the next render: nowhere (it stays, or goes back where
// rolling up and down puts it), the note area, the title box (its text selected, so that typing
// replaces the title used last time), the note list, the command panel's first button, or the
// delete question's "Ja", or the find box.
enum class Focus { Stays, Note, TitleBox, List, FirstCommand, DeleteYes, FindBox };

// What the draft of the note being written needs: nothing, a write once typing pauses, or a
// write at once (the note area was emptied or given a stored note).
enum class DraftChange { None, Soon, Now };

// The answer to a draft a program left unsaved, once given: taken into the note area, or not.
enum class DraftAnswer { None, Taken, NotTaken };

// Everything the note window knows about itself, with no widget in it: whether it is rolled up,
// how wide the note list is and which way it slides, which panel is open, which note is shown,
// how many looks in a row found the pointer away, the two choices on the title strip, and what the
// next render is to change beyond drawing it: the text put in the note area and the title box,
// where the keyboard focus moves, and what the draft keeper is told. The window's handlers tell
// it what happened and then draw it; nothing is read back from the widgets. Widths are in twips,
// the design's unit.
//
// It starts as the window is first shown: rolled up, the list narrow with its column closed, no
// panel open, nothing in the note area, locked in place, hiding itself when the pointer is away.
class WindowState
{
public:
    // Rolling up and down. Unrolled, the window looks for the pointer (pointer polls), counting
    // afresh from every unroll; rolled up, it does not.
    bool rolledUp() const { return m_rolledUp; }
    // Called up from the desktop, the window may be far from the pointer, so the pointer polls
    // count no look outside until the pointer has been over the window once; until then the
    // window stays unrolled (a command, or the title strip, rolls it up).
    bool awaitsPointer() const { return m_awaitsPointer; }

    // Whether a command acts now: rolled up, of the keys only those that unroll the window do
    // (the pointer reaches only the strip then). Unrolled, Esc closes the open panel as its
    // "Avbryt" or "Nej" does, or the command panel as "M" does, and with no panel open rolls the
    // window up; while a question is open only its own answers act ("M", "Ny", "Spara", "Radera",
    // "Avsluta" and the list do not, as the pointer cannot reach them then), and "Spara" is refused
    // while a stored note is shown, "Radera" while none is. The one statement of what is allowed,
    // for the pointer and keys.
    bool allows(Command command, Origin origin) const;
    // Carries a command out, as far as it is the state's: refused, it changes nothing and returns
    // false. From the desktop the window is called up first (unrolled, the note area focused and
    // ready to be written in: a blank one becomes a new note), and a command then acts as from a
    // key, but for two: "toggle" rolls an unrolled window up, and "new" gives a new empty note
    // unless typed text that is no stored note is there, closing any panel. "OK", "Ja" and
    // "Avsluta" are the window's, with the store or a question: they only answer whether allowed.
    bool perform(Command command, Origin origin);

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
    // Whether the note area holds text typed that is no stored note.
    bool holdsTypedText() const { return noteEditable() && m_holdsText; }
    // The stored note shown, as it was read: what a delete removes.
    const std::optional<store::Note> &shownNote() const { return m_shownNote; }
    // Whether a title chosen in the list is shown: not while the save panel is open, so the note
    // being saved stays the note typed.
    bool showsChosenNote() const { return m_panel != Panel::Save; }
    void showStoredNote(store::Note note);
    // "OK" stored the note, or "Ja" deleted the one shown: a new empty note, no panel open.
    void changeStored();
    // "Ja" found the note shown gone or changed: the question closes, and a note changed under
    // its ID shows as the database holds it now.
    void deleteRefused(const std::optional<store::Note> &current);
    // A sync round deleted these notes, deleted on another machine. The stored note shown, if
    // among them, goes as "Ja" takes it: a new empty note, and the delete question about it
    // closes. A note being written stays whatever happens. Returns whether the note shown went.
    bool notesDeletedElsewhere(const std::vector<qint64> &ids);
    // The note area's text changed (`holdsText`: whether it holds any now), or the title box's.
    void noteEdited(bool holdsText);
    void titleEdited();
    // A draft left unsaved by a program that ended: taken into the note area while nothing the
    // person did is there (read-only and blank, or an empty new note not being saved). Returns
    // whether it was taken.
    bool restoreDraft(const store::Draft &draft);

    // The keyboard focus comes to the note list: it slides out as for the pointer over it. The
    // focus leaves it: it slides back as for the pointer over the note, but no panel closes.
    void listFocused() { pointerOverList(); }
    void listLeft() { startNarrowing(); }

    // What the next render changes beyond drawing the state, each handed over once: the note
    // area's and the title box's new text, where the focus moves, what the draft keeper is told.
    std::optional<QString> takeNoteText() { return std::exchange(m_noteText, std::nullopt); }
    std::optional<QString> takeTitle() { return std::exchange(m_title, std::nullopt); }
    Focus takeFocus() { return std::exchange(m_focus, Focus::Stays); }
    DraftChange takeDraftChange() { return std::exchange(m_draftChange, DraftChange::None); }
    DraftAnswer takeDraftAnswer() { return std::exchange(m_draftAnswer, DraftAnswer::None); }

    // Finding notes. Ctrl+F (allowed as the other panels' commands are, and rolled up too, where
    // it unrolls the window) opens the find panel with an empty box; what is typed there is the
    // search, and an emptied box, Esc or another panel closes it. The notes found for the text
    // typed now (those for an earlier text are dropped) are all the list shows while the panel is
    // open, and the list slides out to show them. A stored note shown then has the words marked.
    const QString &findText() const { return m_findText; }
    // The box's text changed; returns whether a search is wanted for it.
    bool findTyped(const QString &text);
    // The notes found for `typed`; returns whether they are the ones shown.
    bool notesFound(const QString &typed, std::vector<qint64> ids);
    // The notes the list shows, when not all: while the find panel is open with notes found.
    const std::vector<qint64> *listFilter() const;
    // Counts every change of the notes found, so that the list is filtered again only then.
    int foundVersion() const { return m_foundVersion; }
    // What the note shown was found by: its hits are marked. Empty when it was not.
    const QString &markedWords() const { return m_markedWords; }
    // A search could not read the notes; returns whether to tell the person: once for each
    // opening of the panel, not again for every key typed while the database stays unreadable.
    bool searchFailed();

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
    void toggleRolledUp();
    void unrollByCommand();
    void startNarrowing();
    void startNewNote();
    // A new empty note to write, the text put in the note area and the draft changed at once.
    void emptyNote();
    void draftChanged(DraftChange change);
    // Puts `panel` (or none) in place of the panel open; leaving the find panel ends its search.
    void openPanel(Panel panel);
    void closeFind();

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
    bool m_holdsText = false;
    std::optional<QString> m_noteText;
    std::optional<QString> m_title;
    Focus m_focus = Focus::Stays;
    DraftChange m_draftChange = DraftChange::None;
    DraftAnswer m_draftAnswer = DraftAnswer::None;
    QString m_findText;
    std::optional<std::vector<qint64>> m_found;
    int m_foundVersion = 0;
    QString m_markedWords;
    bool m_searchFailureTold = false;
};

} // namespace window
