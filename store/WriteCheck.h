#pragma once

#include "StoreError.h"
#include "TextEncoding.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace store {

class Session;

// Tells a write that the table carried out as asked from one that its definition turned into
// something else: a conflict clause that skipped the row (IGNORE) or removed others to make room
// (REPLACE), a trigger that skipped it (RAISE(IGNORE)) or changed other rows, a column type that
// stored the text as a number. Made inside the write's own transaction before its first
// statement; every check reads the table as that transaction sees it, so a write found wrong is
// rolled back with nothing changed.
//
// What it reads is cheap on a table of any size: the connection's count of changed rows
// (total_changes(), which counts every row a trigger changes, in any table), the new row by its
// ID, and the number of rows only where a unique index lets a conflict clause remove rows,
// which total_changes() does not count.
class WriteCheck
{
public:
    // The table's state before the write; an error when it cannot be read. The headline and the
    // remedy's first words say what was not done ("Ingenting sparades.").
    static Result<WriteCheck> before(const Session &session, const QString &notDone);

    // After one INSERT of (title, text): the new note's ID when exactly one row was added, under
    // that ID, holding byte for byte what was given, and no other row was changed; otherwise
    // what the table did instead.
    Result<qint64> inserted(const TextToWrite &title, const TextToWrite &text);
    // After one DELETE of the note with this ID: done when exactly that row went and nothing
    // else changed; otherwise what the table did instead.
    Result<Done> deleted(qint64 id);
    // At the end of the write, before it is committed: done when the table holds as many rows
    // as the writes checked account for.
    Result<Done> rowsAccountedFor();

private:
    WriteCheck(const Session &session, QString notDone)
        : m_session(&session)
        , m_notDone(std::move(notDone))
    {}

    // A failure the table's definition caused, with the remedy that fits it.
    StoreError tableDid(const QString &cause) const;
    // The triggers defined on Memo; none when they cannot be read.
    int triggers() const;
    // The declared type of a column of Memo, as written in its definition.
    QString declaredType(const QString &column) const;

    const Session *m_session;
    QString m_notDone;
    qint64 m_changes = 0;
    std::optional<qint64> m_rows;
};

} // namespace store
