// Odd data from other programs, through the real window: rows whose Titel and Text are NULL,
// written by the sqlite3 program, and a table whose column names differ in letter case. Both
// are listed, shown, added to and deleted from like any other notes.

#include "ReliabilitySupport.h"
#include "TestDatabase.h"
#include "WindowHarness.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace reliability;

namespace {

// Runs statements through the sqlite3 program: another program, as a user might have.
bool sqlite3(const QString &path, const QString &statements)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {path, statements});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TestOddWindow : public QObject
{
    Q_OBJECT

private:
    int m_cases = 0;

    // Lists and shows the notes with these titles, saves one beside them, deletes it and the
    // first of them, all through the window.
    void exercise(WindowHarness &w, const QStringList &titles, const QString &firstText)
    {
        const window::Controls &f = w.ui();
        QCOMPARE(w.titles(), titles);
        f.noteText->setText(QStringLiteral("något annat"));
        w.window->clickNote(w.ids().first());
        QCOMPARE(f.noteText->text(), firstText);
        QVERIFY(f.noteText->isLocked());
        w.window->command(f.newButton);
        f.noteText->setText(QStringLiteral("ny text"));
        w.window->command(f.saveButton);
        f.titleEdit->setText(QStringLiteral("ny"));
        f.saveOkButton->click();
        QCOMPARE(w.titles(), titles + QStringList{"ny"});
        w.window->clickNote(w.ids().last());
        QCOMPARE(f.noteText->text(), QStringLiteral("ny text"));
        w.window->command(f.deleteButton);
        f.deleteYesButton->click();
        QCOMPARE(w.titles(), titles);
        w.window->clickNote(w.ids().first());
        w.window->command(f.deleteButton);
        f.deleteYesButton->click();
        QCOMPARE(w.titles(), titles.mid(1));
        QCOMPARE(w.reports(), QStringList());
        ++m_cases;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            QSKIP("the sqlite3 program is not installed (scripts/install-deps.sh installs it)");
    }

    void nullTitleAndTextFromAnotherProgram()
    {
        testsupport::TestDatabase db;
        QVERIFY(sqlite3(db.path(), QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES "
                                                  "(NULL, NULL); INSERT INTO Memo (Titel, Text) "
                                                  "VALUES ('bara titel', NULL);")));
        WindowHarness w{db.store()};
        QVERIFY(w.start());
        exercise(w, {QString(), QStringLiteral("bara titel")}, QString());
    }

    void columnNamesInOtherLetterCase()
    {
        testsupport::TestDatabase db(false);
        QVERIFY(sqlite3(db.path(),
                        QStringLiteral("CREATE TABLE mEmO (iD INTEGER PRIMARY KEY AUTOINCREMENT, "
                                       "TITEL TEXT, tExT TEXT); INSERT INTO mEmO (TITEL, tExT) "
                                       "VALUES ('versaler', 'små och STORA');")));
        WindowHarness w{db.store()};
        QVERIFY(w.start());
        exercise(w, {QStringLiteral("versaler")}, QStringLiteral("små och STORA"));
    }

    void cleanupTestCase()
    {
        qInfo("odd-rows: %d cases through the window (NULL Titel/Text from sqlite3, columns in "
              "other letter case): listed, shown, saved beside and deleted with 0 errors",
              m_cases);
    }
};

QTEST_MAIN(TestOddWindow)
#include "tst_reliability_oddwindow.moc"
