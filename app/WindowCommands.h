#pragma once

#include "runtime/CommandChannel.h"

#include <optional>

namespace window {
class NoteWindow;
}

namespace app {

// Hands the commands that reach this program's channel to its window, and starts listening once
// the window's first frame is on the screen, so that finding the session bus never holds the
// frame back. `first`, the command that started this program because no window ran for its
// database, is carried out then too. Call before the window is shown.
void answerCommands(runtime::CommandChannel &channel, window::NoteWindow &window,
                    std::optional<runtime::RemoteCommand> first);

// Carries out one command on the window.
void perform(window::NoteWindow &window, const runtime::RemoteCommand &command);

} // namespace app
