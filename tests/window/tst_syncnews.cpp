// What the person is told of the sync rounds, as a table of rounds' outcomes in a row and
// which of them are told, without a window or a round.

#include "window/SyncNews.h"

#include <QTest>

using window::SyncNews;
using window::SyncOutcome;

class tst_syncnews : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toldOnce_data();
    void toldOnce();
    void namesTheFileOrFolder();
};

namespace {

const QString Folder = QStringLiteral("/media/usb/anteckningar");

SyncOutcome outcome(const QString &word)
{
    SyncOutcome outcome;
    outcome.folder = Folder;
    if (word == QLatin1String("away")) {
        outcome.kind = SyncOutcome::Kind::FolderAway;
    } else if (word.startsWith(QLatin1String("failed"))) {
        outcome.kind = SyncOutcome::Kind::Failed;
        outcome.error = store::StoreError{QStringLiteral("Synkningen kunde inte göras."),
                                          QStringLiteral("/hem/memo.mdb"), word, QString()};
    } else if (word == QLatin1String("problem")) {
        outcome.kind = SyncOutcome::Kind::Done;
        outcome.report.problems.push_back(
            {Folder + QStringLiteral("/a.note"), QStringLiteral("filen är inte hel")});
    } else if (word == QLatin1String("done")) {
        outcome.kind = SyncOutcome::Kind::Done;
    }
    return outcome;
}

} // namespace

void tst_syncnews::toldOnce_data()
{
    QTest::addColumn<QString>("rounds");
    QTest::addColumn<QString>("told");
    const auto row = [](const char *name, const char *rounds, const char *told) {
        QTest::newRow(name) << QString::fromLatin1(rounds) << QString::fromLatin1(told);
    };
    row("no folder", "none none", "0 0");
    row("a round without problems", "done done", "0 0");
    row("each round's new problems", "problem done problem", "1 0 1");
    row("the folder away, once", "away away away", "1 0 0");
    row("away again after a round reached it", "away done away", "1 0 1");
    row("away again after sync ended", "away none away", "1 0 1");
    row("a failure gone by the next round", "failedA done", "0 0");
    row("a failure met again, once", "failedA failedA failedA", "0 1 0");
    row("another failure starts over", "failedA failedB failedB", "0 0 1");
    row("a failure after a success", "failedA failedA done failedA failedA", "0 1 0 0 1");
    row("the folder away between failures", "failedA away failedA", "0 1 0");
}

void tst_syncnews::toldOnce()
{
    QFETCH(QString, rounds);
    QFETCH(QString, told);
    SyncNews news;
    QStringList said;
    for (const QString &round : rounds.split(QLatin1Char(' ')))
        said << (news.take(outcome(round)) ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(said.join(QLatin1Char(' ')), told);
}

void tst_syncnews::namesTheFileOrFolder()
{
    SyncNews news;
    const std::optional<QString> problem = news.take(outcome(QStringLiteral("problem")));
    QVERIFY(problem);
    QVERIFY(problem->contains(Folder + QStringLiteral("/a.note")));
    QVERIFY(problem->contains(QStringLiteral("filen är inte hel")));
    const std::optional<QString> away = news.take(outcome(QStringLiteral("away")));
    QVERIFY(away);
    QVERIFY(away->contains(Folder));
    news.take(outcome(QStringLiteral("failedA")));
    const std::optional<QString> failed = news.take(outcome(QStringLiteral("failedA")));
    QVERIFY(failed);
    QVERIFY(failed->contains(QStringLiteral("failedA")));
}

QTEST_GUILESS_MAIN(tst_syncnews)
#include "tst_syncnews.moc"
