// The zentavo program itself, started from a terminal without any display: help and the
// version are answered there, and a start that cannot show its window says why and ends with
// status 1 instead of aborting.

#include "ProgramRun.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = testsupport::ProgramRun;

// Runs a copy of zentavo in its own folder, so that nothing beside the build's is touched, with
// no display of any kind in the environment.
Run runWithoutDisplay(const QTemporaryDir &folder, const QStringList &arguments)
{
    const QString program = folder.filePath(QStringLiteral("zentavo"));
    if (!QFile::exists(program))
        QFile::copy(QStringLiteral(ZENTAVO), program);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"),
                                QStringLiteral("QT_QPA_PLATFORM")})
        environment.remove(name);
    QProcess zentavo;
    zentavo.setProcessEnvironment(environment);
    return testsupport::runToEnd(zentavo, program, arguments, 30000);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        QTest::newRow("--help") << QStringLiteral("--help") << QStringLiteral("memo.mdb");
        QTest::newRow("-h") << QStringLiteral("-h") << QStringLiteral("--version");
        QTest::newRow("--version") << QStringLiteral("--version") << QStringLiteral("Zentavo 1.0");
    }
    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const Run run = runWithoutDisplay(folder, {argument});
        QCOMPARE(run.status, 0);
        QVERIFY2(QString::fromUtf8(run.out).contains(expected), run.out.constData());
        // The measuring option is not for a person.
        QVERIFY(!run.out.contains("report-first-frame"));
    }

    void startWithoutDisplaySaysWhyAndEnds()
    {
        QTemporaryDir folder;
        const Run run = runWithoutDisplay(folder, {});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("DISPLAY")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("ingen bildskärm")), qPrintable(run.err));
        // It ends before looking for its database, and creates none.
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("memo.mdb"))));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
