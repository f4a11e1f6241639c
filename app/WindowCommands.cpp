#include "WindowCommands.h"

#include "runtime/FirstFrame.h"
#include "window/NoteWindow.h"

#include <QTimer>

namespace app {

void perform(window::NoteWindow &window, const runtime::WindowCommand &command)
{
    switch (command.action) {
    case runtime::WindowCommand::Action::Toggle:
        window.toggleByCommand(command.activation);
        break;
    case runtime::WindowCommand::Action::New:
        window.newNoteByCommand(command.activation);
        break;
    }
}

void answerCommands(runtime::CommandChannel &channel, window::NoteWindow &window,
                    std::optional<runtime::WindowCommand> first)
{
    QObject::connect(
        &channel, &runtime::CommandChannel::received, &window,
        [&window](const runtime::WindowCommand &command) { perform(window, command); });
    runtime::afterFirstFrame(window, [&channel, &window, first = std::move(first)] {
        channel.listen();
        // After the window's own work on its first frame (the list, the draft): a turn later.
        if (first)
            QTimer::singleShot(0, &window, [&window, first] { perform(window, *first); });
    });
}

} // namespace app
