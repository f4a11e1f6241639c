#include "NoteWindow.h"
#include "window/controls/Frame.h"
#include "window/controls/ListView.h"
#include "window/controls/Timer.h"

namespace window {

namespace {
// The list slides between these widths in twips, one step per tick. The stop tests compare
// the width read back for exact equality: the width only ever moves in whole steps from
// the narrow width, and reads back exactly as assigned.
constexpr float NarrowWidth = 200;
constexpr float WideWidth = 2700;
constexpr float Step = 100;
// The column is this much narrower than the list, with no lower bound.
constexpr float ColumnInset = 360;
} // namespace

void NoteWindow::startWidening()
{
    // Widening starts only from exactly the narrow width; while the list is sliding either
    // way, a move over it changes nothing.
    if (m_ui.noteList->widthTwips() == NarrowWidth) {
        m_ui.widenTimer->setEnabled(true);
        m_ui.narrowTimer->setEnabled(false);
    }
}

void NoteWindow::pointerOverNote()
{
    if (m_ui.noteList->widthTwips() > NarrowWidth) {
        m_ui.narrowTimer->setEnabled(true);
        m_ui.widenTimer->setEnabled(false);
    }
    m_ui.commandPanel->setVisible(false);
}

void NoteWindow::startNarrowing()
{
    if (m_ui.noteList->widthTwips() > NarrowWidth) {
        m_ui.widenTimer->setEnabled(false);
        m_ui.narrowTimer->setEnabled(true);
    }
}

void NoteWindow::pointerOverEdge()
{
    startNarrowing();
    m_ui.commandPanel->setVisible(false);
}

void NoteWindow::widenStep()
{
    const float width = m_ui.noteList->widthTwips();
    if (width == WideWidth) {
        m_ui.widenTimer->setEnabled(false);
        return;
    }
    m_ui.noteList->setWidthTwips(width + Step);
    m_ui.noteList->setColumnWidthTwips(m_ui.noteList->widthTwips() - ColumnInset);
}

void NoteWindow::narrowStep()
{
    const float width = m_ui.noteList->widthTwips();
    if (width == NarrowWidth) {
        m_ui.narrowTimer->setEnabled(false);
        return;
    }
    m_ui.noteList->setWidthTwips(width - Step);
    m_ui.noteList->setColumnWidthTwips(m_ui.noteList->widthTwips() - ColumnInset);
}

} // namespace window
