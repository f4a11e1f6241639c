// A full disk: memo.mdb on a 2 MB tmpfs that the test mounts. Saving a note larger than the free
// space reports the error, leaves the database intact and byte-for-byte unchanged, and keeps the
// note and the open save panel in the window; a note that fits is saved afterwards.

#include "ReliabilitySupport.h"
#include "WindowHarness.h"
#include "store/NewDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>

using namespace reliability;

class TestFullDisk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveLargerThanTheFreeSpace()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString mountPoint = dir.filePath(QStringLiteral("liten"));
        QVERIFY(QDir().mkpath(mountPoint));
        if (::mount("zentavo-full", mountPoint.toLocal8Bit().constData(), "tmpfs", 0, "size=2m")
            != 0) {
            const QByteArray reason = QByteArray("cannot mount a 2 MB tmpfs (")
                                      + std::strerror(errno)
                                      + "); mounting needs root or CAP_SYS_ADMIN";
            QSKIP(reason.constData());
        }
        struct Unmount
        {
            QByteArray path;
            ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
        } unmount{mountPoint.toLocal8Bit()};

        const QString path = mountPoint + QStringLiteral("/memo.mdb");
        QVERIFY(store::createEmptyDatabase(path));
        WindowHarness w{store::NoteStore(path)};
        QVERIFY(w.start());
        const window::Controls &f = w.ui();
        // A few notes that must survive.
        for (int i = 0; i < 3; ++i) {
            w.window->command(f.newButton);
            f.noteText->setText(QStringLiteral("anteckning %1").arg(i));
            w.window->command(f.saveButton);
            f.titleEdit->setText(QStringLiteral("titel %1").arg(i));
            f.saveOkButton->click();
        }
        QCOMPARE(w.reports(), QStringList());

        struct statvfs fs
        {
        };
        QCOMPARE(::statvfs(mountPoint.toLocal8Bit().constData(), &fs), 0);
        const qint64 freeBytes = qint64(fs.f_bavail) * qint64(fs.f_frsize);
        // Three megabytes of text in lines: more than the whole filesystem holds.
        QString big;
        for (int i = 0; big.size() < 3 * 1024 * 1024; ++i)
            big += QStringLiteral("rad %1 av en anteckning som inte får plats på disken\n").arg(i);
        w.window->command(f.newButton);
        f.noteText->setText(big);
        const QString note = f.noteText->text();
        w.window->command(f.saveButton);
        f.titleEdit->setText(QStringLiteral("för stor"));
        const QByteArray before = fileBytes(path);
        const QList<RawRow> rowsBefore = rawRows(path);

        f.saveOkButton->click();
        QCOMPARE(w.reports().size(), 1);
        QVERIFY2(w.reports()[0].contains(path), qPrintable(w.reports()[0]));
        QVERIFY2(w.reports()[0].contains(QStringLiteral("full")), qPrintable(w.reports()[0]));
        const bool unchanged = fileBytes(path) == before;
        QVERIFY(unchanged);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
        QCOMPARE(integrityCheck(path), QStringLiteral("ok"));
        QCOMPARE(rawRows(path), rowsBefore);
        QCOMPARE(f.noteText->text(), note);
        QCOMPARE(f.titleEdit->text(), QStringLiteral("för stor"));
        QVERIFY(!f.savePanel->isHidden());
        QCOMPARE(w.titles(), QStringList({"titel 0", "titel 1", "titel 2"}));

        // The user shortens the note; now it fits and is saved once.
        f.noteText->setText(QStringLiteral("kortare"));
        f.saveOkButton->click();
        QCOMPARE(w.reports().size(), 1);
        QVERIFY(f.savePanel->isHidden());
        QCOMPARE(w.titles(), QStringList({"titel 0", "titel 1", "titel 2", "för stor"}));
        QCOMPARE(integrityCheck(path), QStringLiteral("ok"));
        w.window.reset();
        qInfo("full-disk: %.1f MB note on a 2 MB tmpfs with %.2f MB free: error reported, "
              "database byte-for-byte %s, integrity ok, note and panel kept",
              double(note.toUtf8().size()) / 1048576, double(freeBytes) / 1048576,
              unchanged ? "unchanged" : "CHANGED");
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_reliability_fulldisk.moc"
