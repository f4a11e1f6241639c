#include "CheckAhead.h"

#include <memory>
#include <system_error>

namespace store {

CheckedAhead checkAhead(const NoteStore &notes)
{
    auto table = std::make_shared<std::promise<Result<Done>>>();
    std::future<Result<Done>> tableChecked = table->get_future();
    // The thread has its own copy of the store (a path): its sessions open and close there.
    const auto both = [notes, table] {
        Result<Done> checked = notes.check();
        const bool sound = bool(checked);
        table->set_value(std::move(checked));
        // A table that cannot be used ends the start; its pages need no reading.
        return sound ? notes.checkPages() : Result<Done>(Done{});
    };
    try {
        // The future of std::async waits for its thread when it goes: nothing outlives the
        // program's own objects.
        return {std::move(tableChecked), std::async(std::launch::async, both)};
    } catch (const std::system_error &) {
        std::promise<Result<Done>> pages;
        pages.set_value(both());
        return {std::move(tableChecked), pages.get_future()};
    }
}

} // namespace store
