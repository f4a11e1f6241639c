// A database held locked: another process holds a write lock for 10 s while the user saves. The
// save waits the busy timeout, then reports the error; the note and its title stay in the window
// and the save panel stays open. Once the lock is gone, "OK" again saves the note exactly once.

#include "ReliabilitySupport.h"
#include "TestDatabase.h"
#include "WindowHarness.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

using namespace reliability;

class TestLockedSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveWhileAnotherProcessHoldsTheLock()
    {
        testsupport::TestDatabase db;
        db.addNote(QStringLiteral("gammal"), QStringLiteral("fanns före"));
        WindowHarness w{db.store()};
        QVERIFY(w.start());
        const window::Controls &f = w.ui();

        f.menuButton->click();
        f.newButton->click(); // Ny
        f.noteText->setText(QStringLiteral("Skriven medan filen var låst.\nRad två | \"citat\""));
        const QString note = f.noteText->text();
        f.menuButton->click();
        f.saveButton->click(); // Spara
        QVERIFY(!f.savePanel->isHidden());
        f.titleEdit->setText(QStringLiteral("låst"));

        QProcess holder;
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(QStringLiteral(ZENTAVO_DRIVER),
                     {QStringLiteral("hold"), db.folder(), QStringLiteral("exclusive"),
                      QStringLiteral("10000")});
        QString said;
        QTRY_VERIFY_WITH_TIMEOUT(
            (said += QString::fromUtf8(holder.readAllStandardOutput())).contains("locked"), 30000);

        QElapsedTimer waited;
        waited.start();
        f.saveOkButton->click(); // OK, while the file is locked
        const qint64 ms = waited.elapsed();
        QCOMPARE(w.reports().size(), 1);
        QVERIFY2(w.reports()[0].contains(db.path()), qPrintable(w.reports()[0]));
        QVERIFY2(w.reports()[0].contains(QStringLiteral("database is locked")),
                 qPrintable(w.reports()[0]));
        QVERIFY2(w.reports()[0].contains(QStringLiteral("annat program")),
                 qPrintable(w.reports()[0]));
        // It waited the busy timeout before giving up (a lower bound, not a speed).
        QVERIFY2(ms >= 4900, qPrintable(QString::number(ms)));
        QCOMPARE(f.noteText->text(), note);
        QCOMPARE(f.titleEdit->text(), QStringLiteral("låst"));
        QVERIFY(!f.savePanel->isHidden());
        QVERIFY(!f.noteText->isLocked());
        QCOMPARE(w.titles(), QStringList({"gammal"}));

        QVERIFY(holder.waitForFinished(30000));
        said += QString::fromUtf8(holder.readAllStandardOutput());
        QVERIFY2(said.contains(QStringLiteral("released")), qPrintable(said));
        QCOMPARE(holder.exitCode(), 0);

        f.saveOkButton->click(); // OK again, the lock gone
        QCOMPARE(w.reports().size(), 1);
        QVERIFY(f.savePanel->isHidden());
        QCOMPARE(w.titles(), QStringList({"gammal", "låst"}));
        const QList<RawRow> rows = rawRows(db.path());
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].title, QStringLiteral("låst"));
        QCOMPARE(rows[1].text, note);
        qInfo("locked-save: lock held 10 s by another process; save waited %.1f s, reported "
              "the error, kept note, title and panel; retry saved it 1 time",
              double(ms) / 1000);
    }
};

QTEST_MAIN(TestLockedSave)
#include "tst_reliability_lockedsave.moc"
