#include "Notes.h"

#include "Connection.h"
#include "Statements.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace store {

namespace {

// A bound value for an ID: a whole number where the text is one, the text itself otherwise.
QVariant idValue(const QString &idText)
{
    bool ok = false;
    const qlonglong id = idText.toLongLong(&ok);
    return ok ? QVariant(id) : QVariant(idText);
}

// The ID of a decimal number that fits a database integer, or nothing.
std::optional<qlonglong> decimalId(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]{1,19}$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong id = text.toLongLong(&ok);
    return ok ? std::optional<qlonglong>(id) : std::nullopt;
}

} // namespace

QString IdFromKey(const QString &key)
{
    const qsizetype bar = key.lastIndexOf(QLatin1Char('|'));
    return bar < 0 ? key : key.mid(bar + 1);
}

ReadResult ReadNote(const QString &idText)
{
    const QString headline = QStringLiteral("Anteckningen kunde inte visas.");
    ReadResult result;
    OpenDb();
    if (!Conn.isOpen()) {
        result.error = Conn.openFailure();
        result.error->headline = headline;
        CloseDb();
        return result;
    }
    {
        QSqlQuery rs(Conn.database());
        rs.setForwardOnly(true);
        rs.prepare(SelectOneNote);
        rs.addBindValue(idValue(idText));
        if (!rs.exec()) {
            result.error = describeSqlError(headline, DatabasePath(), rs.lastError());
        } else if (rs.next()) {
            const int textField = rs.record().indexOf(TextColumn);
            if (textField < 0) {
                result.error = StoreError{headline, DatabasePath(),
                                          QStringLiteral("tabellen Memo saknar kolumnen Text"),
                                          QStringLiteral("Välj en databas med tabellen Memo och "
                                                         "kolumnerna ID, Titel och Text.")};
            } else {
                result.note.found = true;
                result.note.text = rs.value(textField).toString();
            }
        } else if (rs.lastError().isValid()) {
            result.error = describeSqlError(headline, DatabasePath(), rs.lastError());
        }
    }
    CloseDb();
    return result;
}

StoreResult InsertNote(const QString &title, const QString &body)
{
    const QString headline = QStringLiteral("Anteckningen kunde inte sparas.");
    OpenDb();
    StoreResult result;
    if (!Conn.isOpen()) {
        result = Conn.openFailure();
    } else {
        QSqlQuery insert(Conn.database());
        insert.prepare(InsertNoteStatement);
        // A null QString would be stored as NULL; the note's title and text are always text.
        insert.addBindValue(title.isNull() ? QStringLiteral("") : title);
        insert.addBindValue(body.isNull() ? QStringLiteral("") : body);
        if (!insert.exec())
            result = describeSqlError(headline, DatabasePath(), insert.lastError());
    }
    if (result)
        result->headline = headline;
    CloseDb();
    return result;
}

StoreResult DeleteNote(const QString &idText)
{
    const QString headline = QStringLiteral("Anteckningen kunde inte raderas.");
    const std::optional<qlonglong> id = decimalId(idText);
    if (!id) {
        return StoreError{headline, DatabasePath(),
                          QStringLiteral("anteckningens nummer \"%1\" är inget heltal").arg(idText),
                          QStringLiteral("Ingenting raderades. Välj anteckningen i listan igen.")};
    }
    OpenDb();
    StoreResult result;
    if (!Conn.isOpen()) {
        result = Conn.openFailure();
    } else {
        QSqlQuery erase(Conn.database());
        erase.prepare(DeleteNoteStatement);
        erase.addBindValue(*id);
        if (!erase.exec())
            result = describeSqlError(headline, DatabasePath(), erase.lastError());
    }
    if (result) {
        result->headline = headline;
        CloseDb();
    }
    return result;
}

} // namespace store
