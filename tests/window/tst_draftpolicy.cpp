// The draft keeper's decisions without its thread or a window: what becomes of the slot and the
// drafts in a real folder for each sequence of requests, and when the note area is read for a
// draft, the times given.

#include "window/DraftPolicy.h"
#include "window/DraftSchedule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using store::Draft;
using window::DraftJob;
using window::DraftPolicy;
using window::DraftSchedule;
using window::RestoredTitle;

namespace {

// The drafts in a folder, in the order of their texts, each marked when it waits for a program.
QStringList draftsIn(const store::DraftFolder &folder)
{
    QStringList drafts;
    const auto listed = folder.list();
    if (!listed)
        qFatal("%s", qPrintable(listed.error().message()));
    for (const store::DraftFolder::Entry &entry : *listed) {
        if (!entry.draft)
            qFatal("%s", qPrintable(entry.draft.error().message()));
        drafts << entry.draft->text + (entry.waiting ? QStringLiteral(" (waiting)") : QString());
    }
    drafts.sort();
    return drafts;
}

// One request in a row's steps: "start", "write TEXT", "empty" (the note area emptied), "taken",
// "not taken", several of them ("start, write TEXT": asked, in this order, before the slot was
// free), and "block" or "unblock" (a file where the drafts folder's parent would be).
DraftJob jobFor(const QString &step)
{
    DraftJob job;
    for (const QString &part : step.split(QStringLiteral(", "))) {
        DraftJob asked;
        if (part == QLatin1String("start"))
            asked.claim = true;
        else if (part == QLatin1String("empty"))
            asked.write = true;
        else if (part.startsWith(QLatin1String("write ")))
            asked = {.write = true, .draft = Draft{part.mid(6), std::nullopt}};
        else if (part == QLatin1String("taken"))
            asked.answer = DraftJob::Answer::Taken;
        else if (part == QLatin1String("not taken"))
            asked.answer = DraftJob::Answer::NotTaken;
        else
            qFatal("unknown step %s", qPrintable(part));
        job.join(std::move(asked));
    }
    return job;
}

} // namespace

class tst_draftpolicy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slotAndDrafts_data();
    void slotAndDrafts();
    void whenTheNoteIsRead_data();
    void whenTheNoteIsRead();
    void restoredDraftKeepsItsTitle_data();
    void restoredDraftKeepsItsTitle();
    void unreadableDraftIsToldWithItsPlace();
};

void tst_draftpolicy::slotAndDrafts_data()
{
    QTest::addColumn<QString>("waiting"); // a draft left by a program that ended
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("restored"); // offered to the window
    QTest::addColumn<int>("failures");
    QTest::addColumn<QStringList>("onDisk");   // while the program runs
    QTest::addColumn<QStringList>("afterEnd"); // once it has finished with its slot

    const QString old = QStringLiteral("old");
    const QString oldWaiting = QStringLiteral("old (waiting)");
    QTest::newRow("nothing waiting, nothing written")
        << QString() << QStringList{"start"} << QString() << 0 << QStringList() << QStringList();
    QTest::newRow("written, kept at the end")
        << QString() << QStringList{"start", "write a"} << QString() << 0 << QStringList{"a"}
        << QStringList{"a (waiting)"};
    QTest::newRow("written, then emptied: nothing left")
        << QString() << QStringList{"start", "write a", "empty"} << QString() << 0 << QStringList()
        << QStringList();
    QTest::newRow("the latest of two writes")
        << QString() << QStringList{"start", "write a", "write b"} << QString() << 0
        << QStringList{"b"} << QStringList{"b (waiting)"};
    QTest::newRow("a waiting draft comes back, kept until answered")
        << old << QStringList{"start"} << old << 0 << QStringList{old} << QStringList{oldWaiting};
    QTest::newRow("taken, then written over")
        << old << QStringList{"start", "taken", "write new"} << old << 0 << QStringList{"new"}
        << QStringList{"new (waiting)"};
    QTest::newRow("taken, then emptied") << old << QStringList{"start", "taken", "empty"} << old
                                         << 0 << QStringList() << QStringList();
    QTest::newRow("not taken: left waiting, a new slot for the person's note")
        << old << QStringList{"start", "not taken", "write new"} << old << 0
        << QStringList{"new", oldWaiting} << QStringList{"new (waiting)", oldWaiting};
    QTest::newRow("not taken, nothing of its own: nothing removed")
        << old << QStringList{"start", "not taken", "empty"} << old << 0 << QStringList{oldWaiting}
        << QStringList{oldWaiting};
    QTest::newRow("unanswered, a draft of the person's means not taken")
        << old << QStringList{"start", "write new"} << old << 0 << QStringList{"new", oldWaiting}
        << QStringList{"new (waiting)", oldWaiting};
    QTest::newRow("unanswered, an empty note area removes nothing")
        << old << QStringList{"start", "empty"} << old << 0 << QStringList{old}
        << QStringList{oldWaiting};
    // The answer and a write asked for while the slot was busy: their order decides.
    QTest::newRow("taken, then written over, in one job")
        << old << QStringList{"start", "taken, write new"} << old << 0 << QStringList{"new"}
        << QStringList{"new (waiting)"};
    QTest::newRow("a draft of the person's, then taken, in one job: not taken")
        << old << QStringList{"start", "write new, taken"} << old << 0
        << QStringList{"new", oldWaiting} << QStringList{"new (waiting)", oldWaiting};
    QTest::newRow("emptied, then taken, in one job: nothing removed")
        << old << QStringList{"start", "empty, taken"} << old << 0 << QStringList{old}
        << QStringList{oldWaiting};
    QTest::newRow("a draft before the start takes no waiting one over")
        << old << QStringList{"start, write new"} << QString() << 0
        << QStringList{"new", oldWaiting} << QStringList{"new (waiting)", oldWaiting};
    QTest::newRow("emptied before the start: the waiting one comes back all the same")
        << old << QStringList{"empty, start"} << old << 0 << QStringList{old}
        << QStringList{oldWaiting};
    QTest::newRow("folder unusable: told at each write, written once usable")
        << QString() << QStringList{"block", "start", "write a", "write b", "unblock", "write c"}
        << QString() << 2 << QStringList{"c"} << QStringList{"c (waiting)"};
    QTest::newRow("folder unusable, nothing written: nothing told")
        << QString() << QStringList{"block", "start", "empty"} << QString() << 0 << QStringList()
        << QStringList();
}

void tst_draftpolicy::slotAndDrafts()
{
    QFETCH(QString, waiting);
    QFETCH(QStringList, steps);
    QFETCH(QString, restored);
    QFETCH(int, failures);
    QFETCH(QStringList, onDisk);
    QFETCH(QStringList, afterEnd);

    const QTemporaryDir home;
    const QString blocker = home.filePath(QStringLiteral("state"));
    const store::DraftFolder folder(home.filePath(QStringLiteral("state/drafts")));
    if (!waiting.isEmpty()) {
        store::Result<store::DraftSlot> left = store::DraftSlot::claim(folder);
        QVERIFY(left && left->write(Draft{waiting, std::nullopt}));
    }
    QStringList offered;
    int told = 0;
    {
        DraftPolicy policy(folder);
        for (const QString &step : steps) {
            if (step == QLatin1String("block")) {
                QFile file(blocker);
                QVERIFY(file.open(QIODevice::WriteOnly));
            } else if (step == QLatin1String("unblock")) {
                QVERIFY(QFile::remove(blocker));
            } else {
                const DraftPolicy::Outcome outcome = policy.carryOut(jobFor(step));
                if (outcome.restored)
                    offered << outcome.restored->text;
                told += outcome.failure ? 1 : 0;
                QVERIFY(outcome.wrote || !outcome.failure);
            }
        }
        QCOMPARE(offered, restored.isEmpty() ? QStringList() : QStringList{restored});
        QCOMPARE(told, failures);
        if (!QFileInfo(blocker).isFile())
            QCOMPARE(draftsIn(folder), onDisk);
        policy.finish();
    }
    if (!QFileInfo(blocker).isFile()) {
        QCOMPARE(draftsIn(folder), afterEnd);
        // No lock file is left without its draft.
        QDir dir(folder.path());
        QCOMPARE(dir.entryList({QStringLiteral("*.lock")}, QDir::Files).size(),
                 dir.entryList({QStringLiteral("*.draft")}, QDir::Files).size());
    }
}

void tst_draftpolicy::whenTheNoteIsRead_data()
{
    QTest::addColumn<QList<int>>("changes"); // ms after the first
    QTest::addColumn<QList<int>>("reads");   // when the note area is read, ms after the first

    QTest::newRow("one change") << QList<int>{0} << QList<int>{1000};
    QTest::newRow("each change starts the pause over")
        << QList<int>{0, 400, 800} << QList<int>{1800};
    QTest::newRow("two bursts") << QList<int>{0, 100, 3000, 3500} << QList<int>{1100, 4500};
    // Steady typing: read at the longest wait after the first change not yet read, whatever the
    // pauses, and once it pauses.
    QList<int> steady;
    for (int at = 0; at <= 8000; at += 400)
        steady << at;
    QTest::newRow("steady typing") << steady << QList<int>{3000, 6200, 9000};
    QTest::newRow("a change just before the longest wait")
        << QList<int>{0, 900, 1800, 2700, 2999} << QList<int>{3000};
    QTest::newRow("a pause, then steady typing again")
        << QList<int>{0, 500, 2000, 2900, 3800, 4700, 5600} << QList<int>{1500, 5000, 6600};
}

void tst_draftpolicy::whenTheNoteIsRead()
{
    QFETCH(QList<int>, changes);
    QFETCH(QList<int>, reads);
    using std::chrono::milliseconds;
    const DraftSchedule::Clock::time_point zero{};
    DraftSchedule schedule;
    // A single-shot timer, started over at each change with the interval the schedule gives.
    std::optional<int> due;
    QList<int> read;
    const auto passTo = [&](int now) {
        if (due && *due <= now) {
            read << *due;
            schedule.read();
            due.reset();
        }
    };
    for (const int at : changes) {
        passTo(at);
        due = at + int(schedule.changed(zero + milliseconds(at)).count());
    }
    passTo(std::numeric_limits<int>::max());
    QCOMPARE(read, reads);
}

void tst_draftpolicy::restoredDraftKeepsItsTitle_data()
{
    // Steps: "offer TITLE" or "offer" (a restored draft with that title or none), "taken",
    // "not taken", "draft" (the note area's draft, no title: the save panel closed), "draft
    // TITLE" (the save panel open), "none" (no draft: the note saved or set aside).
    QTest::addColumn<QStringList>("steps");
    // The title of each draft written: "-" for none, "removed" for no draft.
    QTest::addColumn<QStringList>("written");

    QTest::newRow("taken: kept on each draft")
        << QStringList{"offer T", "taken", "draft", "draft"} << QStringList{"T", "T"};
    QTest::newRow("not taken: the person's own note has none")
        << QStringList{"offer T", "not taken", "draft"} << QStringList{"-"};
    QTest::newRow("a restored draft without a title")
        << QStringList{"offer", "taken", "draft"} << QStringList{"-"};
    QTest::newRow("a title given in the save panel replaces it")
        << QStringList{"offer T", "taken", "draft U", "draft"} << QStringList{"U", "-"};
    QTest::newRow("saved or set aside: gone with the draft")
        << QStringList{"offer T", "taken", "none", "draft"} << QStringList{"removed", "-"};
    QTest::newRow("no restored draft: the save panel's title only")
        << QStringList{"draft U", "draft"} << QStringList{"U", "-"};
}

void tst_draftpolicy::restoredDraftKeepsItsTitle()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, written);
    RestoredTitle title;
    QStringList titles;
    for (const QString &step : steps) {
        const QString word = step.section(u' ', 0, 0);
        const std::optional<QString> given
            = step.contains(u' ') ? std::optional(step.section(u' ', 1)) : std::nullopt;
        if (step == QLatin1String("taken")) {
            title.answered(DraftJob::Answer::Taken);
        } else if (step == QLatin1String("not taken")) {
            title.answered(DraftJob::Answer::NotTaken);
        } else if (word == QLatin1String("offer")) {
            title.offered(Draft{QStringLiteral("text"), given});
        } else {
            const std::optional<Draft> draft
                = title.onDraft(word == QLatin1String("none")
                                    ? std::nullopt
                                    : std::optional(Draft{QStringLiteral("text"), given}));
            titles << (!draft ? QStringLiteral("removed")
                              : draft->title.value_or(QStringLiteral("-")));
        }
    }
    QCOMPARE(titles, written);
}

// A waiting draft the claim cannot take is not passed over in silence: the window is handed it,
// with where it is, and the slot is a new one.
void tst_draftpolicy::unreadableDraftIsToldWithItsPlace()
{
    const QTemporaryDir home;
    const store::DraftFolder folder(home.filePath(QStringLiteral("drafts")));
    QString path;
    {
        store::Result<store::DraftSlot> left = store::DraftSlot::claim(folder);
        QVERIFY(left && left->write(Draft{QStringLiteral("text"), std::nullopt}));
        path = left->draftPath();
    }
    QFile damaged(path);
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not a draft");
    damaged.close();
    DraftPolicy policy(folder);
    DraftJob claim;
    claim.claim = true;
    const DraftPolicy::Outcome outcome = policy.carryOut(claim);
    QVERIFY(!outcome.restored);
    QCOMPARE(outcome.leftWaiting.size(), std::size_t(1));
    QVERIFY2(outcome.leftWaiting.front().message().contains(path),
             qPrintable(outcome.leftWaiting.front().message()));
}

QTEST_MAIN(tst_draftpolicy)
#include "tst_draftpolicy.moc"
