#include "StoreError.h"

#include <QSqlError>

namespace store {

namespace {

// SQLite's primary result codes, as the driver reports them in nativeErrorCode().
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Constraint = 19,
    NotADatabase = 26,
};
// The extended code of a constraint that a trigger's RAISE(ABORT, ...) or RAISE(FAIL, ...)
// raised, shifted down by eight bits.
constexpr int ConstraintTrigger = 7;

QString remedyFor(int primaryCode, const QString &text, const QString &path)
{
    switch (primaryCode) {
    case Busy:
    case Locked:
        return QStringLiteral("Databasen används av ett annat program. Vänta en stund och "
                              "försök igen.");
    case ReadOnly:
        return QStringLiteral("Filen eller dess mapp är skrivskyddad. Ge dig själv skrivrätt "
                              "till båda och försök igen.");
    case Full:
        return QStringLiteral("Disken är full. Frigör utrymme och försök igen.");
    case CantOpen:
        return QStringLiteral("Kontrollera att filen finns och att du har rätt att läsa och "
                              "skriva den och dess mapp.");
    case Corrupt:
    case NotADatabase:
        return QStringLiteral("Filen är ingen läsbar anteckningsdatabas. Ersätt den med en "
                              "säkerhetskopia, eller flytta undan den och skapa en tom databas "
                              "med: zentavo-newdb \"%1\"")
            .arg(path);
    case IoError:
        return QStringLiteral("Ett läs- eller skrivfel inträffade. Kontrollera disken och "
                              "försök igen.");
    default:
        break;
    }
    if (text.contains(QLatin1String("no such table"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("no such column"), Qt::CaseInsensitive))
        return QStringLiteral("Databasen saknar tabellen Memo med kolumnerna ID, Titel och Text. "
                              "Välj rätt fil, eller skapa en tom databas med: "
                              "zentavo-newdb \"%1\"")
            .arg(path);
    return QStringLiteral("Kontrollera filen och försök igen.");
}

} // namespace

QString StoreError::message() const
{
    QString text = headline;
    text += QStringLiteral("\n\nFil: ") + path;
    text += QStringLiteral("\nOrsak: ") + cause;
    if (!remedy.isEmpty())
        text += QStringLiteral("\n\n") + remedy;
    return text;
}

StoreError describeSqlError(const QString &headline, const QString &path, const QSqlError &error)
{
    bool ok = false;
    const int extended = error.nativeErrorCode().toInt(&ok);
    const int primary = ok ? (extended & 0xff) : -1;
    QString cause = error.databaseText();
    if (cause.isEmpty())
        cause = error.text();
    if (cause.isEmpty())
        cause = error.driverText();
    // A column beside Titel and Text that must be filled: Zentavo fills only those two.
    const QLatin1StringView notNull("NOT NULL constraint failed: ");
    if (const qsizetype at = cause.indexOf(notNull); at >= 0) {
        // "table.column", the column being what follows the last dot.
        const QString qualified = cause.mid(at + notNull.size()).section(QLatin1Char(' '), 0, 0);
        const QString column = qualified.section(QLatin1Char('.'), -1);
        return {headline, path,
                QStringLiteral("tabellen Memo har kolumnen %1, som måste fyllas i, men Zentavo "
                               "fyller bara i Titel och Text")
                    .arg(column),
                QStringLiteral("Ge kolumnen %1 ett standardvärde eller ta bort kravet NOT NULL "
                               "med ett databasverktyg, eller använd en databas skapad med: "
                               "zentavo-newdb \"%2\"")
                    .arg(column, path)};
    }
    // The table's own rules: say which refused the change, and that nothing was changed.
    const QLatin1StringView check("CHECK constraint failed: ");
    if (const qsizetype at = cause.indexOf(check); at >= 0) {
        return {headline, path,
                QStringLiteral("tabellen Memo har en regel (CHECK %1) som anteckningen inte "
                               "uppfyller")
                    .arg(cause.mid(at + check.size())),
                QStringLiteral("Ingenting ändrades. Ändra titeln eller texten så att regeln "
                               "uppfylls, ta bort regeln med ett databasverktyg, eller använd en "
                               "databas skapad med: zentavo-newdb \"%1\"")
                    .arg(path)};
    }
    const QLatin1StringView unique("UNIQUE constraint failed: ");
    if (const qsizetype at = cause.indexOf(unique); at >= 0) {
        return {headline, path,
                QStringLiteral("tabellen Memo kräver att %1 är unik, och en annan anteckning har "
                               "redan samma värde")
                    .arg(cause.mid(at + unique.size())),
                QStringLiteral("Ingenting ändrades. Välj en annan titel eller text, eller ta bort "
                               "kravet med ett databasverktyg.")};
    }
    if (primary == Constraint && (extended >> 8) == ConstraintTrigger) {
        return {headline, path,
                QStringLiteral("en utlösare (trigger) på tabellen Memo stoppade ändringen: %1")
                    .arg(cause),
                QStringLiteral("Ingenting ändrades. Ta bort utlösaren med ett databasverktyg, "
                               "eller använd en databas skapad med: zentavo-newdb \"%1\"")
                    .arg(path)};
    }
    return {headline, path, cause, remedyFor(primary, cause, path)};
}

} // namespace store
