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
    QSqlQuery rs(Conn.database());
    rs.setForwardOnly(true);
    if (!rs.exec(SelectAllNotes))
        return describeSqlError(headline(), DatabasePath(), rs.lastError());
    const QSqlRecord columns = rs.record();
    const int idField = columns.indexOf(IdColumn);
    const int titleField = columns.indexOf(TitleColumn);
    if (idField < 0 || titleField < 0) {
        return StoreError{headline(), DatabasePath(),
                          QStringLiteral("tabellen Memo saknar kolumnen %1")
                              .arg(idField < 0 ? IdColumn : TitleColumn),
                          QStringLiteral("Välj en databas med tabellen Memo och kolumnerna ID, "
                                         "Titel och Text.")};
    }
    const QString keyPrefix = QStringLiteral("ID|");
    int position = 0;
    lst.beginLoad();
    while (rs.next()) {
        ++position;
        lst.ListItemsAdd(position, keyPrefix + rs.value(idField).toString(),
                         rs.value(titleField).toString());
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
