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

BenchDatabase &BenchDatabaseCache::withNotes(int notes)
{
    auto &slot = m_made[notes];
    if (!slot)
        slot = std::make_unique<BenchDatabase>(notes);
    return *slot;
}

BenchDatabase &BenchDatabase::withNotes(int notes)
{
    if (!runCache)
        qFatal("no BenchDatabaseCache: main owns one for the length of the run");
    return runCache->withNotes(notes);
}

BenchDatabase::BenchDatabase(int notes)
    : m_db(std::make_unique<testsupport::TestDatabase>())
{
    // One statement fills the table, whatever its size.
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
