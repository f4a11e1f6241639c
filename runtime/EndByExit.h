#pragma once

#include <functional>

namespace runtime {

// Runs a function when the program is ended by exit() while this object lives. Qt's X11
// connection ends the program that way, with status 1 and from inside the event loop, when the
// display goes away (the X server ended with the session, a compositor's XWayland crashed): no
// signal comes and exec() never returns, so this is the one chance to keep what is in memory.
// One at a time; the function runs at most once, on the thread that called exit().
class EndByExit
{
public:
    explicit EndByExit(std::function<void()> last);
    ~EndByExit();
    EndByExit(const EndByExit &) = delete;
    EndByExit &operator=(const EndByExit &) = delete;

private:
    static void runLast();

    std::function<void()> m_last;
};

} // namespace runtime
