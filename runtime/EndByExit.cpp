#include "EndByExit.h"

#include <atomic>
#include <cstdlib>

namespace runtime {

namespace {

// The one that lives, if any: a plain pointer, owned by no static object.
std::atomic<EndByExit *> current{nullptr};

} // namespace

EndByExit::EndByExit(std::function<void()> last)
    : m_last(std::move(last))
{
    // Registered once, after Qt's own clean-up at exit was registered, so that it runs first,
    // while the application and its windows are still whole.
    [[maybe_unused]] static const bool registered = std::atexit(&EndByExit::runLast) == 0;
    current = this;
}

EndByExit::~EndByExit()
{
    EndByExit *self = this;
    current.compare_exchange_strong(self, nullptr);
}

void EndByExit::runLast()
{
    if (EndByExit *const living = current.exchange(nullptr))
        living->m_last();
}

} // namespace runtime
