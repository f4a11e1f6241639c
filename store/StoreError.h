#pragma once

#include "Note.h"

#include <QString>
#include <optional>
#include <utility>
#include <variant>

class QSqlError;

namespace store {

// What went wrong in a store operation, worded for the person at the desktop: which file, what
// is wrong with it, and what to do about it.
struct StoreError
{
    enum class Kind {
        Failure,     // the file or the database could not be used
        NoteGone,    // the note asked for is no longer in the database
        NoteEdited,  // the note was changed elsewhere; its ID is still its own
        NoteChanged, // the note's ID holds another note: changed elsewhere, or its ID reused
    };

    QString headline; // what could not be done
    QString path;     // the database file
    QString cause;    // what is wrong
    QString remedy;   // what the user can do
    Kind kind = Kind::Failure;
    // For NoteEdited and NoteChanged: the note under that ID as it is now.
    std::optional<Note> current = std::nullopt;

    QString message() const;
};

// The value of an operation that hands back nothing but its success.
struct Done
{
};

// Either the value an operation hands back or the reason it could not. Read it the same way
// everywhere: `if (!result)` is a failure, `result.error()` says why, `*result` is the value.
template<typename T>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {}
    Result(StoreError error)
        : m_state(std::in_place_index<1>, std::move(error))
    {}

    explicit operator bool() const { return m_state.index() == 0; }
    T &operator*() & { return std::get<0>(m_state); }
    const T &operator*() const & { return std::get<0>(m_state); }
    T &&operator*() && { return std::get<0>(std::move(m_state)); }
    T *operator->() { return &std::get<0>(m_state); }
    const T *operator->() const { return &std::get<0>(m_state); }
    const StoreError &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, StoreError> m_state;
};

// The error of a database call, with a remedy that fits the cause.
StoreError describeSqlError(const QString &headline, const QString &path, const QSqlError &error);

} // namespace store
