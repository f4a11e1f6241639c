#pragma once

#include <chrono>
#include <optional>

namespace window {

// When the draft keeper reads the note area to write its draft: a pause after the last change
// (each change starts the pause over), and while changes go on without such a pause, at the
// longest wait after the first change not yet read. The times are given, so that the rule is the
// same whatever runs the clock.
class DraftSchedule
{
public:
    using Clock = std::chrono::steady_clock;
    // The pause after the last change before the draft is written.
    static constexpr std::chrono::milliseconds Pause{1000};
    // The longest a change waits to be read while typing goes on.
    static constexpr std::chrono::milliseconds LongestWait{3000};

    // A change at `now`: how long from now until the note area is read.
    std::chrono::milliseconds changed(Clock::time_point now);
    // The note area was read, or the draft written at once: every change so far is on its way.
    void read();

private:
    std::optional<Clock::time_point> m_firstUnread;
};

} // namespace window
