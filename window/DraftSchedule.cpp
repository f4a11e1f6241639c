#include "DraftSchedule.h"

#include <algorithm>

namespace window {

std::chrono::milliseconds DraftSchedule::changed(Clock::time_point now)
{
    if (!m_firstUnread)
        m_firstUnread = now;
    const auto longest
        = std::chrono::ceil<std::chrono::milliseconds>(*m_firstUnread + LongestWait - now);
    return std::clamp(longest, std::chrono::milliseconds(0), Pause);
}

void DraftSchedule::read()
{
    m_firstUnread.reset();
}

} // namespace window
