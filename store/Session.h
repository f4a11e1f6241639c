#pragma once

#include "StoreError.h"
#include "TextEncoding.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <optional>

class QSqlQuery;

namespace store {

// One store operation's connection to the note database, alive exactly as long as the object:
// the constructor opens the file for reading and writing (never creating it) and checks that it
// holds the table Memo with an ID the database assigns, Titel and Text; the destructor closes
// the connection and removes it from Qt's registry, on every path. Nothing is kept between
// sessions.
class Session
{
public:
    // headline is what the operation could not do, for the error if the file cannot be used.
    Session(const QString &path, const QString &headline);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Why the file cannot be used; empty when the session is open and the table fits.
    const std::optional<StoreError> &failure() const { return m_failure; }
    QSqlDatabase database() const;
    const QString &path() const { return m_path; }
    // What the operation could not do, for its errors.
    const QString &headline() const { return m_headline; }
    TextEncoding encoding() const { return m_encoding; }

    // The error of a statement run in this session, with a remedy that fits the file's state.
    StoreError describe(const QSqlError &error) const;

private:
    std::optional<StoreError> fileProblem() const;
    std::optional<StoreError> tableProblem();

    QString m_path;
    QString m_headline;
    QString m_name;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::optional<StoreError> m_failure;
};

// The note database beside the executable: memo.mdb in the given folder.
QString databasePathIn(const QString &folder);

// The file SQLite keeps beside a database: its rollback journal ("-journal") or write-ahead log
// ("-wal"). It lies beside the file a link leads to, not beside the link.
QString besideDatabase(const QString &databasePath, QLatin1StringView suffix);

// Runs a prepared statement with the given values bound in order. A statement that cannot be
// prepared (the file locked, say) reports why, not the "Parameter count mismatch" that
// executing it anyway would give.
bool run(QSqlQuery &query, QLatin1StringView statement, const QVariantList &values = {});

} // namespace store
