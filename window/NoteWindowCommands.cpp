#include "NoteFinder.h"
#include "NoteWindow.h"
#include "runtime/Desktop.h"
#include "window/controls/CommandButton.h"

namespace window {

std::array<std::pair<CommandButton *, Command>, 9> NoteWindow::buttonCommands() const
{
    return {{{m_ui.menuButton, Command::Menu},
             {m_ui.newButton, Command::New},
             {m_ui.saveButton, Command::Save},
             {m_ui.deleteButton, Command::Delete},
             {m_ui.exitButton, Command::Exit},
             {m_ui.saveOkButton, Command::SaveOk},
             {m_ui.saveCancelButton, Command::CancelSave},
             {m_ui.deleteYesButton, Command::DeleteYes},
             {m_ui.deleteNoButton, Command::CancelDelete}}};
}

void NoteWindow::run(Command command, Origin origin)
{
    if (!m_state.perform(command, origin))
        return;
    switch (command) {
    case Command::SaveOk:
        saveNote();
        break;
    case Command::DeleteYes:
        deleteNote();
        break;
    case Command::Exit:
        askExit();
        break;
    case Command::Find:
        // The index catches up while the person types; searches meanwhile read the notes.
        m_finder->catchUp();
        render();
        break;
    case Command::FoundList:
        render();
        showFirstFound();
        break;
    default:
        render();
        break;
    }
}

void NoteWindow::runFromDesktop(Command command, const runtime::Activation &activation)
{
    m_state.perform(command, Origin::Desktop);
    if (m_state.panel() == Panel::Find)
        m_finder->catchUp();
    render();
    // Rolled up by "toggle", the window has nothing to take the focus for.
    if (!m_state.rolledUp())
        m_desktop.activate(this, activation);
}

} // namespace window
