#pragma once

#include "Note.h"
#include "runtime/files/Result.h"

#include <QString>
#include <optional>

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

// Every store operation hands back its value or a StoreError, read as every Result is read.
using files::Done;
template<typename T>
using Result = files::Result<T, StoreError>;

// The error of a database call, with a remedy that fits the cause.
StoreError describeSqlError(const QString &headline, const QString &path, const QSqlError &error);

} // namespace store
