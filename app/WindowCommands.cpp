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
    // A turn after the first frame, so that the window's own work on it (the frame's report,
    // the list, the draft) goes first.
    runtime::afterFirstFrame(window, [&channel, &window, first = std::move(first)] {
        QTimer::singleShot(0, &window, [&channel, &window, first] {
            channel.listen();
            if (first)
                perform(window, *first);
        });
    });
}

} // namespace app
