// The first reading of the note list, right after the window's first frame, in the real window
// over a real file. The file goes bad between the check before the window and that reading, as a
// file damaged past what the check reads does: the window says why and what to do, closes, and
// tells the program to end with a failure, having written nothing: neither the database nor a
// draft. A sound file starts as usual.

#include "DamagedPages.h"
#include "WindowTestSupport.h"
#include "window/Application.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under a folder, by its path there, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator each(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (each.hasNext()) {
        const QString path = each.next();
        files.insert(QDir(folder).relativeFilePath(path), contents(path));
    }
    return files;
}

// Where the first page of the note table starts in the file.
qint64 tablePageOffset(const QString &path)
{
    qint64 offset = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "look");
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec("SELECT rootpage, (SELECT page_size FROM pragma_page_size) "
                           "FROM sqlite_master WHERE name = 'Memo'")
                && query.next())
                offset = (query.value(0).toLongLong() - 1) * query.value(1).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("look");
    return offset;
}

// Spoils the file the way the row names; the schema on the first page stays readable for the
// table page's damage.
void spoil(const QString &path, const QString &how)
{
    QFile file(path);
    if (how == QLatin1String("table page damaged")) {
        const qint64 page = tablePageOffset(path);
        QVERIFY(page > 0);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(page));
        QCOMPARE(file.write(QByteArray(16, '\xff')), 16);
    } else if (how == QLatin1String("long text damaged")) {
        // A page of the long note's text only, which reading the titles never meets.
        QVERIFY(testsupport::damagePageHolding(path, "mitt i texten") > 0);
    } else if (how == QLatin1String("replaced by text")) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write(QByteArray(8192, 'x')) == 8192);
    }
}

} // namespace

class tst_firstlist : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        window::prepareApplication();
        // Closing the window must not end the test run.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void firstListThatCannotBeReadEndsTheStart_data()
    {
        QTest::addColumn<QString>("spoiled");
        QTest::addColumn<QString>("cause");
        QTest::newRow("table page damaged") << "table page damaged"
                                            << "skadad";
        QTest::newRow("long text damaged") << "long text damaged"
                                           << "skadad";
        QTest::newRow("replaced by text") << "replaced by text"
                                          << "not a database";
        QTest::newRow("sound file") << ""
                                    << "";
    }
    void firstListThatCannotBeReadEndsTheStart()
    {
        QFETCH(QString, spoiled);
        QFETCH(QString, cause);
        testsupport::TestDatabase db;
        for (int i = 0; i < 2; ++i)
            db.addNote(QStringLiteral("titel %1").arg(i), QStringLiteral("text %1").arg(i));
        // A text that runs over many pages of its own.
        const QString half(20000, QLatin1Char('x'));
        db.addNote(QStringLiteral("lång"), half + QStringLiteral("mitt i texten") + half);
        windowtest::WindowUnderTest window(db);
        // A draft that a program ended without saving waits; a start that fails leaves it so.
        {
            store::Result<store::DraftSlot> slot = store::DraftSlot::claim(window.drafts);
            QVERIFY(slot);
            QVERIFY(slot->write({QStringLiteral("osparad"), std::nullopt}));
        }
        const auto draftsBefore = filesUnder(window.drafts.path());
        QVERIFY(!draftsBefore.isEmpty());
        QSignalSpy failed(&window.form, &window::NoteWindow::startFailed);

        // As the program starts: the check, then the window, then the list after its first frame;
        // the file goes bad in between.
        QVERIFY(window.form.start(window.notes.check()));
        spoil(db.path(), spoiled);
        const QByteArray database = contents(db.path());
        window.form.show();
        QVERIFY(QTest::qWaitFor([&] { return window.desktop.firstFrames == 1; }, 10000));
        window.ui = window::findControls(window.form);

        if (spoiled.isEmpty()) {
            QCOMPARE(failed.count(), 0);
            QVERIFY(window.form.isVisible());
            QCOMPARE(window.ui.noteList->itemCount(), 3);
            QCOMPARE(window.desktop.reports, QStringList());
            // The draft comes back, as after any start.
            QTRY_COMPARE(window.ui.noteText->text(), QStringLiteral("osparad"));
            return;
        }
        QCOMPARE(failed.count(), 1);
        QVERIFY(!window.form.isVisible());
        QCOMPARE(window.desktop.reports.size(), 1);
        const QString report = window.desktop.reports.first();
        QVERIFY2(report.contains(db.path()), qPrintable(report));
        QVERIFY2(report.contains(cause), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Zentavo avslutas utan att ha ändrat något")),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("säkerhetskopia")), qPrintable(report));
        // Not the words of a later reading, whose list stays.
        QVERIFY2(!report.contains(QStringLiteral("inaktuell")), qPrintable(report));
        QCOMPARE(window.ui.noteList->itemCount(), 0);
        QVERIFY(window.ui.noteText->text().isEmpty());
        // Nothing written: the file as it was, the draft as it was.
        QCOMPARE(contents(db.path()), database);
        QCOMPARE(filesUnder(window.drafts.path()), draftsBefore);
    }
};

QTEST_MAIN(tst_firstlist)
#include "tst_firstlist.moc"
