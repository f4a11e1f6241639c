#pragma once

#include <utility>
#include <variant>

namespace files {

struct FileError;

// The value of an operation that hands back nothing but its success.
struct Done
{
};

// Either the value an operation hands back or the reason it could not. Read it the same way
// everywhere: `if (!result)` is a failure, `result.error()` says why, `*result` is the value.
// The file chores fail with a FileError; the store, with its own error, names its alias.
template<typename T, typename E = FileError>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {}
    Result(E error)
        : m_state(std::in_place_index<1>, std::move(error))
    {}

    explicit operator bool() const { return m_state.index() == 0; }
    T &operator*() & { return std::get<0>(m_state); }
    const T &operator*() const & { return std::get<0>(m_state); }
    T &&operator*() && { return std::get<0>(std::move(m_state)); }
    T *operator->() { return &std::get<0>(m_state); }
    const T *operator->() const { return &std::get<0>(m_state); }
    const E &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, E> m_state;
};

} // namespace files
