#include "BenchDatabase.h"

#include "runtime/App.h"

#include <map>

namespace bench {

BenchDatabase &BenchDatabase::withNotes(int notes)
{
    static std::map<int, std::unique_ptr<BenchDatabase>> made;
    auto &slot = made[notes];
    if (!slot)
        slot.reset(new BenchDatabase(notes));
    slot->makeCurrent();
    return *slot;
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

void BenchDatabase::makeCurrent() const
{
    runtime::App::setPathForTesting(m_db->folder());
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

} // namespace bench
