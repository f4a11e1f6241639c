#include "DraftKeeper.h"
#include "NoteWindow.h"
#include "runtime/Desktop.h"
#include "window/controls/NoteTextEdit.h"

#include <QTextDocument>

namespace window {

void NoteWindow::toggleByCommand(const runtime::Activation &activation)
{
    if (!m_state.rolledUp()) {
        toggleRolledUp();
        return;
    }
    m_state.unrollByCommand();
    render();
    callUp(activation);
}

void NoteWindow::newNoteByCommand(const runtime::Activation &activation)
{
    m_state.unrollByCommand();
    if (m_state.newNoteByCommand(!m_ui.noteText->document()->isEmpty())) {
        m_ui.noteText->setText(QString());
        m_drafts->changedNow();
    }
    render();
    callUp(activation);
}

void NoteWindow::callUp(const runtime::Activation &activation)
{
    m_ui.noteText->setFocus();
    m_desktop.activate(this, activation);
}

} // namespace window
