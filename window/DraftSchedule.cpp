#include "DraftSchedule.h"

namespace window {

std::chrono::milliseconds DraftSchedule::changed(Clock::time_point)
{
    return Pause;
}

void DraftSchedule::read() {}

} // namespace window
