#include "BenchDatabase.h"

#include <QtGlobal>

namespace bench {

namespace {
// The cache of the running benchmark program; it is owned by main, not by this pointer.
BenchDatabaseCache *runCache = nullptr;
} // namespace

BenchDatabaseCache::BenchDatabaseCache()
{
    runCache = this;
}

BenchDatabaseCache::~BenchDatabaseCache()
{
    m_made.clear();
    runCache = nullptr;
}

BenchDatabase &BenchDatabaseCache::withNotes(int notes, Bodies bodies)
{
    auto &slot = m_made[{notes, bodies}];
    if (!slot)
        slot = std::make_unique<BenchDatabase>(notes, bodies);
    return *slot;
}

BenchDatabase &BenchDatabase::withNotes(int notes, Bodies bodies)
{
    if (!runCache)
        qFatal("no BenchDatabaseCache: main owns one for the length of the run");
    return runCache->withNotes(notes, bodies);
}

BenchDatabase::BenchDatabase(int notes, Bodies bodies)
    : m_db(std::make_unique<testsupport::TestDatabase>())
{
    // One statement fills the table, whatever its size. Bench/search.sh makes the same
    // kilobyte notes.
    if (bodies == Bodies::Kilobyte) {
        m_db->exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                "INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i, "
                "'Möte med kund' || i || ' om order ' || (i * 7919 % 100003) || '. ' || "
                "substr(replace(hex(zeroblob(16)), '00', CASE i % 4 "
                "WHEN 0 THEN 'Ringa leverantören om priset på kapaciteten i Östersund. ' "
                "WHEN 1 THEN 'Handla mjölk, bröd och ägg till helgens fika hos grannarna. ' "
                "WHEN 2 THEN 'Skriva rapporten om årets budget och skicka den till "
                "styrelsen. ' "
                "ELSE 'Boka tid för service av bilen och fråga om vinterdäcken. ' END), "
                "1, 960) FROM n"),
            {notes});
        return;
    }
    m_db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < ?) INSERT INTO Memo (Titel, Text) "
                              "SELECT 'Anteckning ' || i, 'Att göra den ' || i || ':a: ringa, "
                              "handla, skriva.' FROM n"),
               {notes});
}

qlonglong BenchDatabase::addNoteWithBody(qsizetype bytes)
{
    QString body;
    body.reserve(bytes);
    const QString line
        = QStringLiteral("En rad i en lång anteckning, med åäö och siffror 0123456789.\n");
    while (body.size() + line.size() <= bytes)
        body += line;
    body += QString(bytes - body.size(), QLatin1Char('x'));
    return m_db->addNote(QStringLiteral("Stor"), body);
}

qlonglong BenchDatabase::addNoteWithTitle(qsizetype characters)
{
    return m_db->addNote(QString(characters, QChar(u'å')), QStringLiteral("lång titel"));
}

void BenchDatabase::removeNote(qlonglong id)
{
    m_db->exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
}

} // namespace bench
