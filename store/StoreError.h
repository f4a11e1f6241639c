#pragma once

#include <QString>
#include <optional>

class QSqlError;

namespace store {

// What went wrong in a store operation, worded for the person at the desktop: which file, what
// is wrong with it, and what to do about it.
struct StoreError
{
    QString headline; // what could not be done
    QString path;     // the database file
    QString cause;    // what is wrong
    QString remedy;   // what the user can do

    QString message() const;
};

// Empty when the operation succeeded.
using StoreResult = std::optional<StoreError>;

// The error of a database call, with a remedy that fits the cause.
StoreError describeSqlError(const QString &headline, const QString &path, const QSqlError &error);

// The database file does not exist.
StoreError missingDatabase(const QString &headline, const QString &path);

} // namespace store
