#include "TestDatabase.h"

#include "store/NewDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace testsupport {

namespace {

// Runs fn with an open connection of the test's own, closed again afterwards.
template<typename Fn>
void withConnection(const QString &path, Fn fn)
{
    const QString name = QStringLiteral("test-connection");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(path), qPrintable(db.lastError().text()));
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

TestDatabase::TestDatabase(bool createFile)
{
    if (!m_dir.isValid())
        qFatal("cannot create a temporary folder");
    if (createFile) {
        if (const auto created = store::createEmptyDatabase(path()); !created)
            qFatal("%s", qPrintable(created.error().message()));
    }
}

TestDatabase::~TestDatabase() = default;

QString TestDatabase::path() const
{
    return m_dir.filePath(QStringLiteral("memo.mdb"));
}

void TestDatabase::recreate(const QStringList &statements)
{
    QFile::remove(path());
    withConnection(path(), [&](QSqlDatabase &db) {
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (!query.exec(statement))
                qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        }
    });
}

void TestDatabase::exec(const QString &statement, const QVariantList &values)
{
    withConnection(path(), [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    });
}

qlonglong TestDatabase::addNote(const QVariant &title, const QVariant &text)
{
    qlonglong id = -1;
    withConnection(path(), [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES (?, ?)"));
        query.addBindValue(title);
        query.addBindValue(text);
        if (!query.exec())
            qFatal("insert: %s", qPrintable(query.lastError().text()));
        id = query.lastInsertId().toLongLong();
    });
    return id;
}

QList<TestDatabase::Row> TestDatabase::rows()
{
    QList<Row> result;
    withConnection(path(), [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT ID, Titel, Text FROM Memo ORDER BY ID")))
            qFatal("select: %s", qPrintable(query.lastError().text()));
        while (query.next())
            result.append({query.value(0).toLongLong(), query.value(1), query.value(2)});
    });
    return result;
}

qlonglong TestDatabase::count()
{
    return rows().size();
}

} // namespace testsupport
