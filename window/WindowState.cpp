#include "WindowState.h"

#include <algorithm>

namespace window {

namespace {
constexpr design::Slide Way = design::ListSlide;
} // namespace

void WindowState::toggleRolledUp()
{
    m_rolledUp = !m_rolledUp;
    // Counted afresh from every unroll: a count left over from the last roll-up would otherwise
    // stay past the number that rolls the window up, and the window would never hide again until
    // the pointer had been inside once.
    if (!m_rolledUp)
        m_pollsOutside = 0;
    m_awaitsPointer = false;
}

void WindowState::unrollByCommand()
{
    if (m_rolledUp)
        toggleRolledUp();
    m_awaitsPointer = true;
    if (m_noteMode == NoteMode::Blank)
        startNewNote();
}

bool WindowState::allows(Command command, Origin origin) const
{
    // While a question is open only its own answers act, as the pointer cannot reach "M" then.
    const bool question = m_panel == Panel::Save || m_panel == Panel::Delete;
    // Rolled up, the keys only unroll the window (Ctrl+F as well, unless a question waits
    // inside); the pointer finds nothing but the strip.
    if (m_rolledUp && origin == Origin::Key)
        return command == Command::Toggle || command == Command::Unroll
               || (command == Command::Find && !question);
    switch (command) {
    case Command::Toggle:
        return true;
    case Command::Unroll:
        return m_rolledUp;
    case Command::RollUp:
        return !m_rolledUp && m_panel == Panel::None;
    case Command::CloseMenu:
        return m_panel == Panel::Commands;
    case Command::Menu:
    case Command::New:
    case Command::Exit:
    case Command::List:
    case Command::Find:
        return !question;
    case Command::CloseFind:
    case Command::FoundList:
        return m_panel == Panel::Find;
    case Command::Save:
        return !question && m_noteMode != NoteMode::Stored;
    case Command::Delete:
        return !question && m_noteMode == NoteMode::Stored;
    case Command::SaveOk:
    case Command::CancelSave:
        return m_panel == Panel::Save;
    case Command::DeleteYes:
        return m_panel == Panel::Delete && m_shownNote;
    case Command::CancelDelete:
        return m_panel == Panel::Delete;
    }
    return false;
}

bool WindowState::perform(Command command, Origin origin)
{
    if (origin == Origin::Desktop) {
        if (command == Command::Toggle && !m_rolledUp) {
            toggleRolledUp();
            return true;
        }
        unrollByCommand();
        m_focus = Focus::Note;
        if (command == Command::New && !holdsTypedText()) {
            openPanel(Panel::None);
            emptyNote();
        } else if (command != Command::Toggle && command != Command::New
                   && allows(command, Origin::Key)) {
            perform(command, Origin::Key);
        }
        return true;
    }
    if (!allows(command, origin))
        return false;
    switch (command) {
    case Command::Toggle:
    case Command::Unroll:
    case Command::RollUp:
        toggleRolledUp();
        break;
    case Command::Menu:
        openPanel(m_panel == Panel::Commands ? Panel::None : Panel::Commands);
        // A panel opened from the keyboard takes the focus, at its first button; opened with
        // the pointer, it leaves the focus where typing goes on.
        m_focus = origin == Origin::Key && m_panel == Panel::Commands ? Focus::FirstCommand
                                                                      : Focus::Note;
        break;
    case Command::CloseMenu:
    case Command::CancelDelete:
        m_panel = Panel::None;
        m_focus = Focus::Note;
        break;
    case Command::New:
        emptyNote();
        // The panel's button had the focus; typing goes to the new note, not the next tab stop.
        m_focus = Focus::Note;
        break;
    case Command::Save:
        openPanel(Panel::Save);
        draftChanged(DraftChange::Soon);
        m_focus = Focus::TitleBox;
        break;
    case Command::CancelSave:
        m_panel = Panel::None;
        draftChanged(DraftChange::Soon);
        m_focus = Focus::Note;
        break;
    case Command::Delete:
        openPanel(Panel::Delete);
        if (origin == Origin::Key)
            m_focus = Focus::DeleteYes;
        break;
    case Command::List:
    case Command::FoundList:
        m_focus = Focus::List;
        break;
    case Command::Find:
        if (m_rolledUp)
            toggleRolledUp();
        // Ctrl+F again only brings the focus back to the box, with its text.
        if (m_panel != Panel::Find) {
            m_panel = Panel::Find;
            m_findText.clear();
            m_found.reset();
            ++m_foundVersion;
            m_searchFailureTold = false;
        }
        m_focus = Focus::FindBox;
        break;
    case Command::CloseFind:
        closeFind();
        break;
    case Command::SaveOk:
    case Command::DeleteYes:
    case Command::Exit:
        break;
    }
    return true;
}

void WindowState::openPanel(Panel panel)
{
    // Another panel in the find panel's place closes it as Esc does: the words and the notes
    // found go, and the list they slid out goes back.
    if (m_panel == Panel::Find && panel != Panel::Find) {
        m_findText.clear();
        m_found.reset();
        ++m_foundVersion;
        startNarrowing();
    }
    m_panel = panel;
}

void WindowState::closeFind()
{
    openPanel(Panel::None);
    m_focus = Focus::Note;
}

bool WindowState::searchFailed()
{
    return !std::exchange(m_searchFailureTold, true);
}

bool WindowState::findTyped(const QString &text)
{
    if (m_panel != Panel::Find)
        return false;
    m_findText = text;
    if (text.isEmpty()) {
        closeFind();
        return false;
    }
    return true;
}

bool WindowState::notesFound(const QString &typed, std::vector<qint64> ids)
{
    if (m_panel != Panel::Find || typed != m_findText)
        return false;
    m_found = std::move(ids);
    ++m_foundVersion;
    pointerOverList();
    return true;
}

const std::vector<qint64> *WindowState::listFilter() const
{
    return m_panel == Panel::Find && m_found ? &*m_found : nullptr;
}

void WindowState::pointerOverList()
{
    if (m_listWidth == Way.narrow)
        m_slide = Slide::Widening;
}

void WindowState::startNarrowing()
{
    // Also in the middle of a widening: the list goes back from where it is.
    if (m_listWidth > Way.narrow)
        m_slide = Slide::Narrowing;
}

void WindowState::pointerOverNoteOrEdge()
{
    startNarrowing();
    if (m_panel == Panel::Commands)
        m_panel = Panel::None;
}

void WindowState::slideTick()
{
    // The width only ever moves by whole steps between the two ends, so it meets its end exactly.
    // The tick that finds it there only stops the slide: 25 steps and one more tick.
    switch (m_slide) {
    case Slide::Still:
        return;
    case Slide::Widening:
        if (m_listWidth == Way.wide) {
            m_slide = Slide::Still;
            return;
        }
        m_listWidth += Way.step;
        break;
    case Slide::Narrowing:
        if (m_listWidth == Way.narrow) {
            m_slide = Slide::Still;
            return;
        }
        m_listWidth -= Way.step;
        break;
    }
    m_columnWidth = m_listWidth - Way.columnInset;
}

void WindowState::startNewNote()
{
    m_noteMode = NoteMode::Writing;
    m_shownNote.reset();
    if (m_panel == Panel::Commands)
        m_panel = Panel::None;
}

void WindowState::emptyNote()
{
    startNewNote();
    m_noteText = QString();
    m_markedWords.clear();
    m_holdsText = false;
    draftChanged(DraftChange::Now);
}

void WindowState::draftChanged(DraftChange change)
{
    m_draftChange = std::max(m_draftChange, change);
}

void WindowState::showStoredNote(store::Note note)
{
    m_markedWords = listFilter() ? m_findText : QString();
    m_noteText = note.text;
    m_holdsText = !note.text.isEmpty();
    m_shownNote = std::move(note);
    m_noteMode = NoteMode::Stored;
    draftChanged(DraftChange::Now);
}

void WindowState::changeStored()
{
    emptyNote();
    m_panel = Panel::None;
    m_focus = Focus::Note;
}

void WindowState::deleteRefused(const std::optional<store::Note> &current)
{
    m_panel = Panel::None;
    m_focus = Focus::Note;
    if (current)
        showStoredNote(*current);
}

bool WindowState::notesDeletedElsewhere(const std::vector<qint64> &ids)
{
    if (m_noteMode != NoteMode::Stored
        || std::find(ids.begin(), ids.end(), m_shownNote->id) == ids.end())
        return false;
    const bool asked = m_panel == Panel::Delete;
    emptyNote();
    if (asked) {
        m_panel = Panel::None;
        m_focus = Focus::Note;
    }
    return true;
}

void WindowState::noteEdited(bool holdsText)
{
    m_holdsText = holdsText;
    draftChanged(DraftChange::Soon);
}

void WindowState::titleEdited()
{
    draftChanged(DraftChange::Soon);
}

bool WindowState::restoreDraft(const store::Draft &draft)
{
    // The draft comes just after the first frame, while the window is still rolled up and its
    // note area read-only, or (a command having called the window up at once, or "Ny" pressed)
    // empty for a new note: nothing the person did is in its place yet.
    const bool emptyNewNote
        = m_noteMode == NoteMode::Writing && m_panel != Panel::Save && !m_holdsText;
    if (m_noteMode != NoteMode::Blank && !emptyNewNote) {
        m_draftAnswer = DraftAnswer::NotTaken;
        return false;
    }
    m_draftAnswer = DraftAnswer::Taken;
    m_noteText = draft.text;
    m_markedWords.clear();
    m_holdsText = !draft.text.isEmpty();
    if (draft.title)
        m_title = *draft.title;
    startNewNote();
    return true;
}

bool WindowState::pollPointer(const std::optional<QPoint> &pointer, const QRect &window)
{
    if (!m_autoHide || m_rolledUp)
        return false;
    const QPoint at = pointer.value_or(QPoint(0, 0));
    // Strict comparisons: a pointer on any edge of the window counts as inside.
    const bool outside = at.x() < window.left() || at.y() < window.top()
                         || at.y() > window.top() + window.height()
                         || at.x() > window.left() + window.width();
    if (!outside) {
        m_pollsOutside = 0;
        m_awaitsPointer = false;
        return false;
    }
    if (m_awaitsPointer)
        return false;
    // Past the count that rolls the window up its value no longer matters: held there, it never
    // grows without bound however long the pointer stays away.
    m_pollsOutside = std::min(m_pollsOutside + 1, design::PollsOutsideBeforeRollingUp + 1);
    return m_pollsOutside == design::PollsOutsideBeforeRollingUp;
}

void WindowState::hideNow()
{
    startNarrowing();
    toggleRolledUp();
}

} // namespace window
