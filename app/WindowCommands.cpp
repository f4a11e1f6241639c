#include "WindowCommands.h"

#include "runtime/FirstFrame.h"
#include "window/Commands.h"
#include "window/NoteWindow.h"

#include <QTimer>

namespace app {

void perform(window::NoteWindow &window, const runtime::RemoteCommand &command)
{
    // The channel passes on only the names of the command table.
    if (const std::optional<window::Command> named = window::commandNamed(command.name))
        window.runFromDesktop(*named, command.activation);
}

void answerCommands(runtime::CommandChannel &channel, window::NoteWindow &window,
                    std::optional<runtime::RemoteCommand> first)
{
    QObject::connect(
        &channel, &runtime::CommandChannel::received, &window,
        [&window](const runtime::RemoteCommand &command) { perform(window, command); });
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
