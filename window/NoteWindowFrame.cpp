#include "NoteWindow.h"
#include "runtime/Desktop.h"

namespace window {

void NoteWindow::dragWindow()
{
    if (m_state.lockedInPlace())
        return;
    m_docking.moveBegan();
    m_desktop.beginSystemMove(this);
}

void NoteWindow::askExit()
{
    if (m_desktop.askYesNo(this, QString::fromUtf8(design::ExitQuestion),
                           QString::fromUtf8(design::Caption)))
        close();
}

void NoteWindow::pointerOverList()
{
    m_state.pointerOverList();
    renderList();
}

void NoteWindow::pointerOverNoteOrEdge()
{
    m_state.pointerOverNoteOrEdge();
    render();
}

void NoteWindow::slideStep()
{
    m_state.slideTick();
    renderList();
}

void NoteWindow::pollPointer()
{
    if (!m_state.pollPointer(m_desktop.pointerPosition(), placeOnScreen()))
        return;
    m_state.hideNow();
    render();
}

} // namespace window
