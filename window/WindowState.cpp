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

bool WindowState::newNoteByCommand(bool holdsText)
{
    if (m_noteMode == NoteMode::Writing && holdsText)
        return false;
    m_panel = Panel::None;
    startNewNote();
    return true;
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

bool WindowState::toggleCommandPanel()
{
    // While a question is open, "M" does nothing at all.
    if (m_panel == Panel::Save || m_panel == Panel::Delete)
        return false;
    m_panel = m_panel == Panel::Commands ? Panel::None : Panel::Commands;
    return true;
}

void WindowState::startNewNote()
{
    m_noteMode = NoteMode::Writing;
    m_shownNote.reset();
    if (m_panel == Panel::Commands)
        m_panel = Panel::None;
}

bool WindowState::openSavePanel()
{
    if (m_noteMode == NoteMode::Stored)
        return false;
    m_panel = Panel::Save;
    return true;
}

bool WindowState::openDeletePanel()
{
    if (m_noteMode != NoteMode::Stored)
        return false;
    m_panel = Panel::Delete;
    return true;
}

void WindowState::closePanel()
{
    m_panel = Panel::None;
}

void WindowState::showStoredNote(store::Note note)
{
    m_shownNote = std::move(note);
    m_noteMode = NoteMode::Stored;
}

void WindowState::changeStored()
{
    startNewNote();
    m_panel = Panel::None;
}

KeyCommand WindowState::commandForKey(Key key) const
{
    if (m_rolledUp)
        return key == Key::Enter || key == Key::Down ? KeyCommand::Unroll : KeyCommand::None;
    // While a question is open only its own answers act, as the pointer cannot reach "M" then.
    const bool question = m_panel == Panel::Save || m_panel == Panel::Delete;
    switch (key) {
    case Key::Escape:
        switch (m_panel) {
        case Panel::None:
            return KeyCommand::RollUp;
        case Panel::Commands:
            return KeyCommand::CloseCommandPanel;
        case Panel::Save:
            return KeyCommand::CancelSave;
        case Panel::Delete:
            return KeyCommand::CancelDelete;
        }
        break;
    case Key::New:
        return question ? KeyCommand::None : KeyCommand::NewNote;
    case Key::Save:
        return question || m_noteMode == NoteMode::Stored ? KeyCommand::None : KeyCommand::AskTitle;
    case Key::Delete:
        return question || m_noteMode != NoteMode::Stored ? KeyCommand::None
                                                          : KeyCommand::AskDelete;
    case Key::Exit:
        return question ? KeyCommand::None : KeyCommand::AskExit;
    case Key::List:
        return question ? KeyCommand::None : KeyCommand::FocusList;
    case Key::EnterInTitleBox:
        return m_panel == Panel::Save ? KeyCommand::SaveNote : KeyCommand::None;
    case Key::Enter:
    case Key::Down:
        break;
    }
    return KeyCommand::None;
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
