// The note store against real SQLite files in temporary folders: reading the list, showing a
// note, adding and deleting notes, and the errors a user sees when the file is not usable.

#include "TestDatabase.h"
#include "runtime/ListView.h"
#include "store/Connection.h"
#include "store/FillList.h"
#include "store/Notes.h"

#include "runtime/App.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using testsupport::TestDatabase;

class TestStore : public QObject
{
    Q_OBJECT

private:
    static QStringList titles(const runtime::ListView &lst)
    {
        QStringList result;
        for (int i = 1; i <= lst.ListItemsCount(); ++i)
            result << lst.ListItemText(i);
        return result;
    }
    static QStringList keys(const runtime::ListView &lst)
    {
        QStringList result;
        for (int i = 1; i <= lst.ListItemsCount(); ++i)
            result << lst.ListItemKey(i);
        return result;
    }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void fillListOfEmptyTable()
    {
        TestDatabase db;
        runtime::ListView lst(nullptr);
        lst.ListItemsAdd(1, QStringLiteral("ID|99"), QStringLiteral("left over"));
        QVERIFY(!store::FillList(lst));
        QCOMPARE(lst.ListItemsCount(), 0);
        QVERIFY(!store::Conn.holdsConnection());
    }

    void fillListInIdOrderWithKeys()
    {
        TestDatabase db;
        const qlonglong b = db.addNote(QStringLiteral("b"), QStringLiteral("1"));
        const qlonglong a = db.addNote(QStringLiteral("a"), QStringLiteral("2"));
        const qlonglong same1 = db.addNote(QStringLiteral("samma"), QStringLiteral("3"));
        const qlonglong same2 = db.addNote(QStringLiteral("samma"), QStringLiteral("4"));
        runtime::ListView lst(nullptr);
        QVERIFY(!store::FillList(lst));
        QCOMPARE(titles(lst), QStringList({"b", "a", "samma", "samma"}));
        QCOMPARE(
            keys(lst),
            QStringList({QStringLiteral("ID|%1").arg(b), QStringLiteral("ID|%1").arg(a),
                         QStringLiteral("ID|%1").arg(same1), QStringLiteral("ID|%1").arg(same2)}));
        QVERIFY(same1 != same2);
    }

    void nullColumnsReadAsEmptyText()
    {
        TestDatabase db;
        const qlonglong id = db.addNote(QVariant(), QVariant());
        runtime::ListView lst(nullptr);
        QVERIFY(!store::FillList(lst));
        QCOMPARE(titles(lst), QStringList({QString()}));
        const store::ReadResult read = store::ReadNote(QString::number(id));
        QVERIFY(!read.error);
        QVERIFY(read.note.found);
        QCOMPARE(read.note.text, QString());
    }

    void columnNamesInOtherLetterCase()
    {
        TestDatabase db(false);
        QFile::remove(db.path());
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
            raw.setDatabaseName(db.path());
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec("CREATE TABLE memo (id INTEGER PRIMARY KEY, TITEL TEXT, TEXT TEXT)"));
            QVERIFY(q.exec("INSERT INTO memo (TITEL, TEXT) VALUES ('stor', 'BOKSTÄVER')"));
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        runtime::ListView lst(nullptr);
        QVERIFY(!store::FillList(lst));
        QCOMPARE(titles(lst), QStringList({"stor"}));
        const store::ReadResult read = store::ReadNote(QStringLiteral("1"));
        QVERIFY(!read.error);
        QCOMPARE(read.note.text, QStringLiteral("BOKSTÄVER"));
    }

    void idFromKeyTakesTextAfterLastBar()
    {
        QCOMPARE(store::IdFromKey(QStringLiteral("ID|12")), QStringLiteral("12"));
        QCOMPARE(store::IdFromKey(QStringLiteral("a|b|7")), QStringLiteral("7"));
        QCOMPARE(store::IdFromKey(QStringLiteral("ID|")), QString());
    }

    void readNoteOfDeletedRowFindsNothing()
    {
        TestDatabase db;
        const qlonglong id = db.addNote(QStringLiteral("t"), QStringLiteral("x"));
        db.exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
        const store::ReadResult read = store::ReadNote(QString::number(id));
        QVERIFY(!read.error);
        QVERIFY(!read.note.found);
    }

    void missingFileIsReportedAndNotCreated()
    {
        TestDatabase db(false);
        runtime::ListView lst(nullptr);
        const store::StoreResult failure = store::FillList(lst);
        QVERIFY(failure);
        QVERIFY(failure->message().contains(db.path()));
        QVERIFY(failure->message().contains(QStringLiteral("zentavo-newdb")));
        QVERIFY(!QFile::exists(db.path()));
        QVERIFY(store::InsertNote(QStringLiteral("t"), QStringLiteral("x")));
        QVERIFY(store::ReadNote(QStringLiteral("1")).error);
        QVERIFY(store::DeleteNote(QStringLiteral("1")));
        QVERIFY(!QFile::exists(db.path()));
        QVERIFY(!store::Conn.holdsConnection());
    }

    void unusableFilesAreReportedAndLeftUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expectedInMessage");
        QTest::newRow("text file") << QByteArray("Det här är ingen databas.\n").repeated(40)
                                   << QStringLiteral("not a database");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("Memo");
    }
    void unusableFilesAreReportedAndLeftUntouched()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expectedInMessage);
        TestDatabase db(false);
        {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        runtime::ListView lst(nullptr);
        const store::StoreResult failure = store::FillList(lst);
        QVERIFY(failure);
        QVERIFY2(failure->message().contains(db.path()), qPrintable(failure->message()));
        QVERIFY2(failure->message().contains(expectedInMessage), qPrintable(failure->message()));
        QCOMPARE(contents(db.path()), bytes);
    }

    void tableWithoutTitleColumnIsReported()
    {
        TestDatabase db(false);
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
            raw.setDatabaseName(db.path());
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec("CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Text TEXT)"));
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        runtime::ListView lst(nullptr);
        const store::StoreResult failure = store::FillList(lst);
        QVERIFY(failure);
        QVERIFY(failure->message().contains(QStringLiteral("Titel")));
    }

    void insertRoundTripsExactText_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::newRow("quotes and bar")
            << QStringLiteral("\"O'Hara\" | x") << QStringLiteral("a'b\"c|d");
        QTest::newRow("CR LF") << QStringLiteral("rader") << QStringLiteral("ett\r\ntvå\r\n");
        QTest::newRow("LF") << QStringLiteral("rader") << QStringLiteral("ett\ntvå\n\n");
        QTest::newRow("swedish") << QStringLiteral("Åäö ÅÄÖ") << QStringLiteral("smörgåsbord");
        QTest::newRow("emoji") << QStringLiteral("🙂📝")
                               << QStringLiteral("𝄞 and 👩‍👩‍👧");
        QTest::newRow("right to left") << QStringLiteral("שלום") << QStringLiteral("مرحبا بالعالم");
        QTest::newRow("sql text") << QStringLiteral("'); DROP TABLE Memo; --")
                                  << QStringLiteral("1 OR 1=1");
        QTest::newRow("empty title") << QString() << QStringLiteral("kropp");
        QTest::newRow("empty body") << QStringLiteral("titel") << QString();
        QTest::newRow("5 MB body")
            << QStringLiteral("stor") << QString(5 * 1024 * 1024, QLatin1Char('x'));
    }
    void insertRoundTripsExactText()
    {
        QFETCH(QString, title);
        QFETCH(QString, body);
        TestDatabase db;
        QVERIFY(!store::InsertNote(title, body));
        const auto rows = db.rows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].title.toString(), title);
        QCOMPARE(rows[0].text.toString(), body);
        QVERIFY(!rows[0].title.isNull());
        QVERIFY(!rows[0].text.isNull());

        runtime::ListView lst(nullptr);
        QVERIFY(!store::FillList(lst));
        QCOMPARE(lst.ListItemText(1), title);
        const store::ReadResult read = store::ReadNote(store::IdFromKey(lst.ListItemKey(1)));
        QVERIFY(!read.error);
        QCOMPARE(read.note.text, body);
    }

    void idsAreNeverReused()
    {
        TestDatabase db;
        QVERIFY(!store::InsertNote(QStringLiteral("a"), QStringLiteral("1")));
        QVERIFY(!store::InsertNote(QStringLiteral("a"), QStringLiteral("2")));
        auto rows = db.rows();
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows[0].id != rows[1].id);
        const qlonglong highest = rows[1].id;
        QVERIFY(!store::DeleteNote(QString::number(highest)));
        QVERIFY(!store::InsertNote(QStringLiteral("c"), QStringLiteral("3")));
        rows = db.rows();
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows[1].id > highest);
    }

    void deleteRemovesOnlyThatNote()
    {
        TestDatabase db;
        const qlonglong keep1 = db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        const qlonglong gone = db.addNote(QStringLiteral("b"), QStringLiteral("2"));
        const qlonglong keep2 = db.addNote(QStringLiteral("c"), QStringLiteral("3"));
        QVERIFY(!store::DeleteNote(QString::number(gone)));
        const auto rows = db.rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].id, keep1);
        QCOMPARE(rows[1].id, keep2);
        // Deleting leaves its connection for the reload that follows to replace.
        runtime::ListView lst(nullptr);
        QVERIFY(!store::FillList(lst));
        QVERIFY(!store::Conn.holdsConnection());
        QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
    }

    void deleteOfMissingIdIsNoError()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        QVERIFY(!store::DeleteNote(QStringLiteral("12345")));
        store::CloseDb();
        QCOMPARE(db.count(), 1);
    }

    void deleteRefusesTextThatIsNotANumber_data()
    {
        QTest::addColumn<QString>("idText");
        QTest::newRow("empty") << QString();
        QTest::newRow("sql") << QStringLiteral("1 OR 1=1");
        QTest::newRow("letters") << QStringLiteral("abc");
        QTest::newRow("too large") << QStringLiteral("99999999999999999999");
    }
    void deleteRefusesTextThatIsNotANumber()
    {
        QFETCH(QString, idText);
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        const store::StoreResult failure = store::DeleteNote(idText);
        QVERIFY(failure);
        QCOMPARE(db.count(), 1);
        QVERIFY(!store::Conn.holdsConnection());
    }

    void insertIntoLockedFileFailsAndWritesNothing()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        // Another program holds a write transaction for longer than the busy timeout.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
        other.setDatabaseName(db.path());
        QVERIFY(other.open());
        {
            QSqlQuery lock(other);
            QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        }
        const store::StoreResult failure
            = store::InsertNote(QStringLiteral("b"), QStringLiteral("2"));
        QVERIFY(failure);
        QVERIFY(failure->message().contains(db.path()));
        QVERIFY(failure->message().contains(QStringLiteral("sparas")));
        {
            QSqlQuery rollback(other);
            QVERIFY(rollback.exec("ROLLBACK"));
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
        QCOMPARE(db.count(), 1);
        QVERIFY(!store::Conn.holdsConnection());
    }

    void connectionCycle()
    {
        TestDatabase db;
        store::CloseDb(); // nothing held: no effect, no error
        QVERIFY(!store::Conn.holdsConnection());
        store::OpenDb();
        QVERIFY(store::Conn.isOpen());
        store::OpenDb(); // the earlier connection ends by release
        QVERIFY(store::Conn.isOpen());
        QCOMPARE(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).size(), 1);
        store::CloseDb();
        QVERIFY(!store::Conn.holdsConnection());
        QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
    }

    void pathWithUriCharacters()
    {
        TestDatabase db;
        const QString odd = db.folder() + QStringLiteral("/a #b?c%d");
        QVERIFY(QDir().mkpath(odd));
        QVERIFY(QFile::copy(db.path(), odd + QStringLiteral("/memo.mdb")));
        runtime::App::setPathForTesting(odd);
        QVERIFY(!store::InsertNote(QStringLiteral("udda"), QStringLiteral("sökväg")));
        runtime::ListView lst(nullptr);
        QVERIFY(!store::FillList(lst));
        QCOMPARE(titles(lst), QStringList({"udda"}));
        QCOMPARE(db.count(), 0); // the original file was not the one written
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
