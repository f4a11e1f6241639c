#pragma once

#include <QtGlobal>
#include <cstddef>
#include <limits>
#include <vector>

namespace store {

// A growing row of whole numbers held in 32 bits each while every one of them fits, and in 64
// from the first that does not: the note list's IDs and title offsets are small in any real
// database, and so take half the room, while a file whose IDs run past 2^32 still lists right.
class CompactNumbers
{
public:
    void reserve(std::size_t count) { m_narrow.reserve(count); }

    void push_back(qint64 number)
    {
        if (m_wide.empty() && number >= 0 && number <= std::numeric_limits<quint32>::max()) {
            m_narrow.push_back(quint32(number));
            return;
        }
        if (m_wide.empty()) {
            m_wide.reserve(m_narrow.capacity() + 1);
            m_wide.assign(m_narrow.begin(), m_narrow.end());
            m_narrow = {};
        }
        m_wide.push_back(number);
    }

    qint64 operator[](std::size_t index) const
    {
        return m_wide.empty() ? qint64(m_narrow[index]) : m_wide[index];
    }

    std::size_t size() const { return m_wide.empty() ? m_narrow.size() : m_wide.size(); }

    void shrink_to_fit()
    {
        m_narrow.shrink_to_fit();
        m_wide.shrink_to_fit();
    }

private:
    std::vector<quint32> m_narrow;
    std::vector<qint64> m_wide; // empty until a number does not fit in 32 bits
};

} // namespace store
