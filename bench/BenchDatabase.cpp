#include "BenchDatabase.h"

#include "runtime/App.h"
#include "store/NewDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <map>
#include <memory>

namespace bench {

namespace {

template<typename Fn>
void withConnection(const QString &path, Fn fn)
{
    const QString name = QStringLiteral("bench-fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

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
{
    if (const auto failure = store::CreateEmptyDatabase(path()))
        qFatal("%s", qPrintable(*failure));
    withConnection(path(), [notes](QSqlDatabase &db) {
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES (?, ?)"));
        for (int i = 1; i <= notes; ++i) {
            insert.addBindValue(QStringLiteral("Anteckning %1").arg(i));
            insert.addBindValue(QStringLiteral("Att göra den %1:a: ringa, handla, skriva.").arg(i));
            if (!insert.exec())
                qFatal("%s", qPrintable(insert.lastError().text()));
        }
        db.commit();
    });
}

QString BenchDatabase::path() const
{
    return m_dir.filePath(QStringLiteral("memo.mdb"));
}

void BenchDatabase::makeCurrent() const
{
    runtime::App::setPathForTesting(m_dir.path());
}

qlonglong BenchDatabase::addNoteWithBody(qsizetype bytes)
{
    qlonglong id = -1;
    withConnection(path(), [&](QSqlDatabase &db) {
        QString body;
        body.reserve(bytes);
        const QString line
            = QStringLiteral("En rad i en lång anteckning, med åäö och siffror 0123456789.\n");
        while (body.size() + line.size() <= bytes)
            body += line;
        body += QString(bytes - body.size(), QLatin1Char('x'));
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES (?, ?)"));
        insert.addBindValue(QStringLiteral("Stor"));
        insert.addBindValue(body);
        if (!insert.exec())
            qFatal("%s", qPrintable(insert.lastError().text()));
        id = insert.lastInsertId().toLongLong();
    });
    return id;
}

} // namespace bench
