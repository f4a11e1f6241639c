// Creating an empty note database, through the store and through the zentavo-newdb tool.

#include "store/NewDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TestNewDatabase : public QObject
{
    Q_OBJECT

private:
    static QString tableSql(const QString &path)
    {
        QString sql;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
            db.setDatabaseName(path);
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec("SELECT sql FROM sqlite_master WHERE name = 'Memo'") && q.next())
                    sql = q.value(0).toString();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("check");
        return sql;
    }

    static int runTool(const QStringList &arguments, QByteArray *errors = nullptr)
    {
        QProcess tool;
        tool.start(QStringLiteral(ZENTAVO_NEWDB), arguments);
        if (!tool.waitForFinished(30000))
            return -1;
        if (errors)
            *errors = tool.readAllStandardError();
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

private Q_SLOTS:
    void createsMemoTableWithNeverReusedIds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("memo.mdb");
        QVERIFY(store::createEmptyDatabase(path));
        const QString sql = tableSql(path);
        QVERIFY2(sql.contains("AUTOINCREMENT"), qPrintable(sql));
        QVERIFY(sql.contains("Titel TEXT"));
        QVERIFY(sql.contains("Text TEXT"));
    }

    void refusesExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("memo.mdb");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mina anteckningar");
        }
        const auto created = store::createEmptyDatabase(path);
        QVERIFY(!created);
        QVERIFY(created.error().message().contains(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("mina anteckningar"));
    }

    void refusesFolderThatDoesNotExist()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saknas/memo.mdb");
        QVERIFY(!store::createEmptyDatabase(path));
        QVERIFY(!QFile::exists(path));
    }

    // The exit statuses of every command-line tool: 0 done, 1 a usage error, 2 a file that
    // cannot be used; the help says so.
    void toolExitCodes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("memo.mdb");
        QCOMPARE(runTool({path}), 0);
        QVERIFY(tableSql(path).contains("Memo"));
        QByteArray errors;
        QCOMPARE(runTool({path}, &errors), 2);
        QVERIFY(errors.contains(path.toLocal8Bit()));
        QCOMPARE(runTool({dir.filePath("saknas/memo.mdb")}), 2);
        for (const QStringList &wrong : {QStringList{dir.filePath("a.mdb"), dir.filePath("b.mdb")},
                                         QStringList{""}, QStringList{"--okänd"}}) {
            QCOMPARE(runTool(wrong, &errors), 1);
            QVERIFY2(!errors.isEmpty(), qPrintable(wrong.join(' ')));
        }
        QVERIFY(!QFile::exists(dir.filePath("a.mdb")));
        QVERIFY(!QFile::exists(dir.filePath("b.mdb")));

        QProcess help;
        help.start(QStringLiteral(ZENTAVO_NEWDB), {"--help"});
        QVERIFY(help.waitForFinished(30000));
        QCOMPARE(help.exitCode(), 0);
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        QVERIFY2(text.contains("Slutstatus: 0 klart, 1 fel i kommandoraden, 2 databasen kunde "
                               "inte skapas"),
                 qPrintable(text));
    }

    // Without a path, the tool makes the database where the programs beside it look: beside
    // itself in a portable copy, and says where; never over one that is there.
    void withoutPathMakesItWhereTheProgramsLook()
    {
        QTemporaryDir dir;
        const QString tool = dir.filePath("zentavo-newdb");
        QVERIFY(QFile::copy(QStringLiteral(ZENTAVO_NEWDB), tool));
        QProcess first;
        first.setWorkingDirectory(QDir::tempPath());
        first.start(tool, {});
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        const QString path = dir.filePath("memo.mdb");
        QCOMPARE(QString::fromUtf8(first.readAllStandardOutput()).trimmed(), path);
        QVERIFY(tableSql(path).contains("Memo"));

        QProcess second;
        second.start(tool, {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 2);
        QVERIFY(second.readAllStandardError().contains(path.toUtf8()));
        QVERIFY(tableSql(path).contains("Memo"));
    }

    // A name that looks like an SQLite URI is still just a file name: exactly that file is
    // made, and the file the URI would name is neither made nor changed.
    void namesThatLookLikeUrisAreFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("uriTarget");
        QTest::newRow("file: prefix") << "file:other.mdb"
                                      << "other.mdb";
        QTest::newRow("query") << "memo.mdb?mode=memory"
                               << "memo.mdb";
        QTest::newRow("fragment") << "memo.mdb#x"
                                  << "memo.mdb";
    }
    void namesThatLookLikeUrisAreFileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, uriTarget);
        QTemporaryDir dir;
        const QString target = dir.filePath(uriTarget);
        QFile(target).open(QIODevice::WriteOnly);
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        tool.start(QStringLiteral(ZENTAVO_NEWDB), {name});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tableSql(dir.filePath(name)).contains("Memo"));
        QCOMPARE(QFileInfo(target).size(), 0);
    }
};

QTEST_MAIN(TestNewDatabase)
#include "tst_newdb.moc"
