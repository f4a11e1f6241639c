#include "FillList.h"

#include "Connection.h"
#include "Statements.h"
#include "runtime/ListView.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace store {

namespace {

const QString &headline()
{
    static const QString text = QStringLiteral("Anteckningslistan kunde inte läsas.");
    return text;
}

StoreResult readAllInto(runtime::ListView &lst)
{
    if (!Conn.isOpen())
        return Conn.openFailure();
    {
        // A table without one of the three columns cannot hold notes: say so before listing.
        QSqlQuery columns(Conn.database());
        if (!columns.exec(MemoColumns))
            return describeSqlError(headline(), DatabasePath(), columns.lastError());
        const QSqlRecord record = columns.record();
        for (const QLatin1StringView column : {IdColumn, TitleColumn, TextColumn}) {
            if (record.indexOf(column) < 0) {
                return StoreError{
                    headline(), DatabasePath(),
                    QStringLiteral("tabellen Memo saknar kolumnen %1")
                        .arg(column == TextColumn ? QStringLiteral("Text") : QString(column)),
                    QStringLiteral("Välj en databas med tabellen Memo och "
                                   "kolumnerna ID, Titel och Text.")};
            }
        }
    }
    QSqlQuery rs(Conn.database());
    rs.setForwardOnly(true);
    if (!rs.exec(SelectAllNotes))
        return describeSqlError(headline(), DatabasePath(), rs.lastError());
    const QString keyPrefix = QStringLiteral("ID|");
    int position = 0;
    lst.beginLoad();
    while (rs.next()) {
        ++position;
        lst.ListItemsAdd(position, keyPrefix + rs.value(0).toString(),
                         textFromUtf8(rs.value(1).toByteArray()));
    }
    lst.endLoad();
    if (rs.lastError().isValid())
        return describeSqlError(headline(), DatabasePath(), rs.lastError());
    return std::nullopt;
}

} // namespace

StoreResult FillList(runtime::ListView &lst)
{
    OpenDb();
    lst.ListItemsClear();
    StoreResult result = readAllInto(lst);
    CloseDb();
    return result;
}

} // namespace store
