#include "WriteCheck.h"

#include "Session.h"
#include "Statements.h"

#include <QSqlError>
#include <QSqlQuery>

namespace store {

namespace {

// The value of a one-row, one-column statement, or nothing when it cannot be read.
std::optional<qint64> single(const Session &session, QLatin1StringView statement)
{
    QSqlQuery query(session.database());
    if (!query.exec(statement) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

// How SQLite's typeof() names a value, in words.
QString storedAs(const QString &type)
{
    if (type == QLatin1String("integer"))
        return QStringLiteral("ett heltal");
    if (type == QLatin1String("real"))
        return QStringLiteral("ett decimaltal");
    if (type == QLatin1String("blob"))
        return QStringLiteral("binära data");
    if (type == QLatin1String("null"))
        return QStringLiteral("NULL (inget värde)");
    return type;
}

QString rows(qint64 count)
{
    return count == 1 ? QStringLiteral("1 rad") : QStringLiteral("%1 rader").arg(count);
}

} // namespace

Result<WriteCheck> WriteCheck::before(const Session &session, const QString &notDone)
{
    WriteCheck check(session, notDone);
    QSqlQuery query(session.database());
    if (!query.exec(ChangesSoFar) || !query.next())
        return session.describe(query.lastError());
    check.m_changes = query.value(0).toLongLong();
    // Only a unique index gives a conflict clause a row to remove.
    if (!query.exec(MemoIndexes))
        return session.describe(query.lastError());
    bool unique = false;
    while (query.next())
        unique = unique || query.value(2).toInt() == 1;
    if (query.lastError().isValid())
        return session.describe(query.lastError());
    if (unique) {
        if (!query.exec(CountNotes) || !query.next())
            return session.describe(query.lastError());
        check.m_rows = query.value(0).toLongLong();
    }
    return check;
}

Result<qint64> WriteCheck::inserted(const TextToWrite &title, const TextToWrite &text)
{
    const Session &session = *m_session;
    QSqlQuery query(session.database());
    if (!query.exec(LastWrite) || !query.next())
        return session.describe(query.lastError());
    const qint64 added = query.value(0).toLongLong();
    const qint64 changes = query.value(1).toLongLong() - m_changes;
    const qint64 id = query.value(2).toLongLong();
    if (added == 0) {
        if (triggers() > 0) {
            return tableDid(QStringLiteral("tabellen Memo lade inte till anteckningen: en "
                                           "utlösare (trigger) på tabellen, eller en regel med "
                                           "ON CONFLICT IGNORE, hoppade över den"));
        }
        return tableDid(QStringLiteral("tabellen Memo lade inte till anteckningen: en regel med "
                                       "ON CONFLICT IGNORE hoppade över den, eftersom en annan "
                                       "anteckning redan har samma värde i en kolumn som ska "
                                       "vara unik"));
    }
    if (changes != 1) {
        return tableDid(QStringLiteral("en utlösare (trigger) på tabellen Memo ändrade %1 till "
                                       "när anteckningen lades till")
                            .arg(rows(changes - 1)));
    }
    query.setForwardOnly(true);
    if (!query.prepare(SelectStoredNote))
        return session.describe(query.lastError());
    query.addBindValue(title.stored);
    query.addBindValue(text.stored);
    query.addBindValue(id);
    if (!query.exec())
        return session.describe(query.lastError());
    if (!query.next()) {
        if (query.lastError().isValid())
            return session.describe(query.lastError());
        return tableDid(QStringLiteral("den nya anteckningen fanns inte under sitt nummer (%1) "
                                       "när den hade lagts till")
                            .arg(id));
    }
    for (const auto &[column, at] : {std::pair{TitleColumn, 0}, std::pair{TextColumn, 2}}) {
        const QString type = query.value(at).toString();
        if (type != QLatin1String("text")) {
            return tableDid(QStringLiteral("kolumnen %1 i tabellen Memo har typen %2, som "
                                           "lagrade texten som %3: den hade inte kommit "
                                           "tillbaka som den skrevs")
                                .arg(column, declaredType(column), storedAs(type)));
        }
        if (query.value(at + 1).toInt() != 1) {
            return tableDid(QStringLiteral("det som lagrades i kolumnen %1 i tabellen Memo är "
                                           "inte det som skrevs")
                                .arg(column));
        }
    }
    m_changes += 1;
    if (m_rows)
        *m_rows += 1;
    return id;
}

Result<Done> WriteCheck::deleted(qint64 id)
{
    const Session &session = *m_session;
    QSqlQuery query(session.database());
    if (!query.exec(LastWrite) || !query.next())
        return session.describe(query.lastError());
    const qint64 removed = query.value(0).toLongLong();
    const qint64 changes = query.value(1).toLongLong() - m_changes;
    if (removed == 0) {
        return tableDid(QStringLiteral("en utlösare (trigger) på tabellen Memo hoppade över "
                                       "raderingen"));
    }
    if (changes != 1) {
        return tableDid(QStringLiteral("en utlösare (trigger) på tabellen Memo ändrade %1 till "
                                       "när anteckningen raderades")
                            .arg(rows(changes - 1)));
    }
    if (!query.prepare(NoteExists))
        return session.describe(query.lastError());
    query.addBindValue(id);
    if (!query.exec())
        return session.describe(query.lastError());
    if (query.next())
        return tableDid(QStringLiteral("anteckningen fanns kvar när den hade raderats"));
    if (query.lastError().isValid())
        return session.describe(query.lastError());
    m_changes += 1;
    if (m_rows)
        *m_rows -= 1;
    return Done{};
}

Result<Done> WriteCheck::rowsAccountedFor()
{
    if (!m_rows)
        return Done{};
    QSqlQuery query(m_session->database());
    if (!query.exec(CountNotes) || !query.next())
        return m_session->describe(query.lastError());
    const qint64 missing = *m_rows - query.value(0).toLongLong();
    if (missing == 0)
        return Done{};
    // Every row a trigger changes is counted in total_changes(), checked after each write: rows
    // gone beyond those are what a conflict clause removed.
    if (missing > 0) {
        return tableDid((missing == 1
                             ? QStringLiteral("en regel med ON CONFLICT REPLACE i tabellen Memo "
                                              "skulle ha raderat en annan anteckning")
                             : QStringLiteral("en regel med ON CONFLICT REPLACE i tabellen Memo "
                                              "skulle ha raderat %1 andra anteckningar")
                                   .arg(missing))
                        + QStringLiteral(", som hade samma värde i en kolumn som ska vara unik"));
    }
    return tableDid(
        QStringLiteral("tabellen Memo fick %1 till som ingen hade skrivit").arg(rows(-missing)));
}

StoreError WriteCheck::tableDid(const QString &cause) const
{
    return StoreError{m_session->headline(), m_session->path(), cause,
                      QStringLiteral("%1 Tabellen Memo i den här filen kan inte spara "
                                     "anteckningar oförändrade. Ändra tabellen med ett "
                                     "databasverktyg, eller använd en databas skapad med: "
                                     "zentavo-newdb \"%2\"")
                          .arg(m_notDone, m_session->path())};
}

int WriteCheck::triggers() const
{
    return int(single(*m_session, MemoTriggers).value_or(0));
}

QString WriteCheck::declaredType(const QString &column) const
{
    QSqlQuery query(m_session->database());
    if (!query.exec(MemoTableColumns))
        return QString();
    while (query.next()) {
        if (query.value(1).toString().compare(column, Qt::CaseInsensitive) == 0) {
            const QString type = query.value(2).toString();
            return type.isEmpty() ? QStringLiteral("(ingen)") : type;
        }
    }
    return QString();
}

} // namespace store
