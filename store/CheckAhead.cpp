#include "CheckAhead.h"

#include <system_error>

namespace store {

std::future<Result<Done>> checkAhead(const NoteStore &notes)
{
    try {
        // The thread has its own copy of the store (a path): its session opens and closes there.
        return std::async(std::launch::async, [notes] { return notes.check(); });
    } catch (const std::system_error &) {
        std::promise<Result<Done>> checked;
        checked.set_value(notes.check());
        return checked.get_future();
    }
}

} // namespace store
