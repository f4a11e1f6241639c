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

// The UTF-8 bytes of a title or body, never null: null bytes would be stored as NULL, and a
// note's title and text are always text.
QByteArray utf8(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return bytes.isNull() ? QByteArray("", 0) : bytes;
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
    QByteArray text;
    {
        QSqlQuery rs(Conn.database());
        rs.setForwardOnly(true);
        // A statement that cannot be prepared (the file locked, say) reports why, not the
        // "Parameter count mismatch" that executing it anyway would give.
        const bool prepared = rs.prepare(SelectOneNote);
        rs.addBindValue(idValue(idText));
        if (!prepared || !rs.exec()) {
            result.error = describeSqlError(headline, DatabasePath(), rs.lastError());
        } else if (rs.next()) {
            result.note.found = true;
            text = rs.value(0).toByteArray();
        } else if (rs.lastError().isValid()) {
            result.error = describeSqlError(headline, DatabasePath(), rs.lastError());
        }
    }
    // Decoded only once the statement has let go of its copy: a long note is held twice at most.
    result.note.text = textFromUtf8(text);
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
        const bool prepared = insert.prepare(InsertNoteStatement);
        insert.addBindValue(utf8(title));
        insert.addBindValue(utf8(body));
        if (!prepared || !insert.exec())
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
        const bool prepared = erase.prepare(DeleteNoteStatement);
        erase.addBindValue(*id);
        if (!prepared || !erase.exec())
            result = describeSqlError(headline, DatabasePath(), erase.lastError());
    }
    if (result) {
        result->headline = headline;
        CloseDb();
    }
    return result;
}

} // namespace store
