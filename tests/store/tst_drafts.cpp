// Drafts of unsaved notes on real folders: where they live and who may read them, how a running
// program's slot is kept and a waiting draft taken over, what a draft file holds, that a draft is
// never torn by a kill however it falls, and what a draft that cannot be written says.

#include "DraftTexts.h"
#include "ProcessSettings.h"
#include "ProgramRun.h"
#include "store/Drafts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(store::Draft)

using store::Draft;
using store::DraftFolder;
using store::DraftSlot;
using testsupport::EnvironmentVariable;
using testsupport::ReadOnlyFolder;
using testsupport::Umask;

namespace {

mode_t modeOf(const QString &path)
{
    return mode_t(testsupport::modeOf(path));
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

const Draft Typed{QStringLiteral("Viktig anteckning som inte sparats\r\nåäö 🙂"),
                  std::nullopt};

} // namespace

class tst_drafts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void fileHoldsTheDraftExactly_data();
    void fileHoldsTheDraftExactly();
    void brokenFilesAreNoDrafts_data();
    void brokenFilesAreNoDrafts();

    void folderFollowsTheStateFolderAndTheDatabase();
    void privateWhateverTheUmask_data();
    void privateWhateverTheUmask();

    void eachRunningProgramHasItsOwnSlot();
    void waitingDraftIsTakenOverOnce();
    void twoWaitingDraftsGoToTwoPrograms();
    void claimWithoutRestoringLeavesWaitingDrafts();
    void unreadableDraftIsLeftAlone();
    void releaseLeavesNothingBehind();
    void listingTellsWaitingFromRunning();
    void listingSeesOnlyDraftFiles_data();
    void listingSeesOnlyDraftFiles();
    void takeWaitingRefusesARunningProgramsDraft();
    void draftMarkedAsStoredNeverComesBack();
    void draftThatCannotBeRemovedIsNotTaken();
    void draftGoesBackOnlyIntoItsDatabase_data();
    void draftGoesBackOnlyIntoItsDatabase();
    void databaseIsTheFileNotThePath();
    void movedDatabaseFindsItsDraft_data();
    void movedDatabaseFindsItsDraft();

    void neverTornByAKill();
    void writeFailureSaysWhatAndWhere();
    void fullDiskIsNamed();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString folderPath() const { return m_dir->filePath(QStringLiteral("drafts/nyckel")); }
    DraftFolder folder() const { return DraftFolder(folderPath()); }
};

void tst_drafts::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_drafts::fileHoldsTheDraftExactly_data()
{
    QTest::addColumn<Draft>("draft");
    QTest::newRow("text only") << Typed;
    QTest::newRow("with a title") << Draft{Typed.text, QStringLiteral("Rubrik åäö")};
    QTest::newRow("empty title") << Draft{Typed.text, QString()};
    QTest::newRow("unusual characters")
        << Draft{QString::fromUtf16(u"a\u00a0b\u2028c\ufdd0d\ufdd1\r\rx\n\n"),
                 QString::fromUtf16(u"\ufeffbom\u2029")};
    QTest::newRow("100 KB") << drafttest::draftText(0, 100 * 1024);
    QTest::newRow("text looks like a header")
        << Draft{QStringLiteral("TEXT 3\n\nabc"), QStringLiteral("TITLE 1\n")};
}

void tst_drafts::fileHoldsTheDraftExactly()
{
    QFETCH(Draft, draft);
    QCOMPARE(store::decodeDraft(store::encodeDraft(draft)), std::optional(draft));

    store::Result<DraftSlot> slot = DraftSlot::claim(folder());
    QVERIFY(slot);
    QVERIFY(slot->write(draft));
    QFile file(slot->draftPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(store::decodeDraft(file.readAll()), std::optional(draft));
    // Written whole under another name and renamed: nothing else is left.
    QCOMPARE(filesIn(folderPath()).filter(QStringLiteral(".part")), QStringList());
}

void tst_drafts::brokenFilesAreNoDrafts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = store::encodeDraft(Draft{QStringLiteral("hel"), QStringLiteral("t")});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << whole.chopped(1);
    QTest::newRow("too long") << whole + "x";
    QTest::newRow("header only") << whole.left(whole.indexOf("\n\n") + 2);
    QTest::newRow("another file") << QByteArray("Inköpslista\nmjölk\n");
    QTest::newRow("negative length") << QByteArray("ZENTAVO-DRAFT 1\nTEXT -1\n\n");
    QTest::newRow("no blank line") << QByteArray("ZENTAVO-DRAFT 1\nTEXT 3\nabc");
}

void tst_drafts::brokenFilesAreNoDrafts()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(store::decodeDraft(bytes), std::nullopt);
}

void tst_drafts::folderFollowsTheStateFolderAndTheDatabase()
{
    const QString database = m_dir->filePath(QStringLiteral("memo.mdb"));
    QFile(database).open(QIODevice::WriteOnly);
    const QString state = m_dir->filePath(QStringLiteral("state"));
    {
        const EnvironmentVariable xdg("XDG_STATE_HOME", state.toUtf8());
        const QString drafts = DraftFolder::forDatabase(database).path();
        QVERIFY2(drafts.startsWith(state + QStringLiteral("/zentavo/drafts/")), qPrintable(drafts));
        // The same database by another name is the same folder; another database another one.
        QVERIFY(QFile::link(database, m_dir->filePath(QStringLiteral("länk.mdb"))));
        QCOMPARE(DraftFolder::forDatabase(m_dir->filePath(QStringLiteral("länk.mdb"))).path(),
                 drafts);
        QVERIFY(DraftFolder::forDatabase(m_dir->filePath(QStringLiteral("annan/memo.mdb"))).path()
                != drafts);
    }
    // Without the variable, or with a relative one, the state folder is ~/.local/state.
    const EnvironmentVariable home("HOME", m_dir->path().toUtf8());
    for (const std::optional<QByteArray> &value :
         {std::optional<QByteArray>(), std::optional<QByteArray>("relativ/mapp")}) {
        const EnvironmentVariable xdg("XDG_STATE_HOME", value);
        QVERIFY(DraftFolder::forDatabase(database).path().startsWith(
            m_dir->path() + QStringLiteral("/.local/state/zentavo/drafts/")));
    }
}

void tst_drafts::privateWhateverTheUmask_data()
{
    QTest::addColumn<int>("mask");
    QTest::newRow("022") << 022;
    QTest::newRow("000") << 000;
    QTest::newRow("077") << 077;
}

void tst_drafts::privateWhateverTheUmask()
{
    QFETCH(int, mask);
    const Umask withMask{mode_t(mask)};
    store::Result<DraftSlot> slot = DraftSlot::claim(folder());
    QVERIFY(slot);
    QVERIFY(slot->write(Typed));
    for (const QString &made : {m_dir->filePath(QStringLiteral("drafts")), folderPath()})
        QCOMPARE(modeOf(made), mode_t(0700));
    for (const QString &file : filesIn(folderPath()))
        QCOMPARE(modeOf(folderPath() + QLatin1Char('/') + file), mode_t(0600));
    QCOMPARE(filesIn(folderPath()).size(), 2); // the draft and its lock
}

void tst_drafts::eachRunningProgramHasItsOwnSlot()
{
    store::Result<DraftSlot> first = DraftSlot::claim(folder());
    store::Result<DraftSlot> second = DraftSlot::claim(folder());
    QVERIFY(first && second);
    QVERIFY(first->draftPath() != second->draftPath());
    QVERIFY(first->write(Typed));
    QVERIFY(second->write(Draft{QStringLiteral("annat"), std::nullopt}));
    // A third program starting now finds no waiting draft: both programs still run.
    store::Result<DraftSlot> third = DraftSlot::claim(folder());
    QVERIFY(third);
    QCOMPARE(third->restored(), std::nullopt);
}

void tst_drafts::waitingDraftIsTakenOverOnce()
{
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(folder());
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    } // the program ends without removing its draft, as a crash would
    store::Result<DraftSlot> next = DraftSlot::claim(folder());
    QVERIFY(next);
    QCOMPARE(next->restored(), std::optional(Typed));
    // Taken: another program starting meanwhile does not get it too.
    store::Result<DraftSlot> other = DraftSlot::claim(folder());
    QVERIFY(other);
    QCOMPARE(other->restored(), std::nullopt);
    QVERIFY(other->draftPath() != next->draftPath());
}

void tst_drafts::twoWaitingDraftsGoToTwoPrograms()
{
    const Draft second{QStringLiteral("den andra"), QStringLiteral("två")};
    {
        store::Result<DraftSlot> a = DraftSlot::claim(folder());
        store::Result<DraftSlot> b = DraftSlot::claim(folder());
        QVERIFY(a && b);
        QVERIFY(a->write(Typed));
        QVERIFY(b->write(second));
    }
    store::Result<DraftSlot> one = DraftSlot::claim(folder());
    store::Result<DraftSlot> two = DraftSlot::claim(folder());
    QVERIFY(one && two);
    QVERIFY(one->restored() && two->restored());
    QList<Draft> restored{*one->restored(), *two->restored()};
    QVERIFY(restored.contains(Typed));
    QVERIFY(restored.contains(second));
}

void tst_drafts::claimWithoutRestoringLeavesWaitingDrafts()
{
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(folder());
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    store::Result<DraftSlot> fresh = DraftSlot::claim(folder(), DraftSlot::Restore::None);
    QVERIFY(fresh);
    QCOMPARE(fresh->restored(), std::nullopt);
    QVERIFY(fresh->write(Draft{QStringLiteral("nytt"), std::nullopt}));
    store::Result<DraftSlot> later = DraftSlot::claim(folder());
    QVERIFY(later);
    QCOMPARE(later->restored(), std::optional(Typed));
}

void tst_drafts::unreadableDraftIsLeftAlone()
{
    QVERIFY(QDir().mkpath(folderPath()));
    const QString broken = folderPath() + QStringLiteral("/trasig.draft");
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("inget utkast");
    file.close();
    store::Result<DraftSlot> slot = DraftSlot::claim(folder());
    QVERIFY(slot);
    QCOMPARE(slot->restored(), std::nullopt);
    QVERIFY(QFileInfo::exists(broken));
    // Said, with where it is and why, as a listing says it.
    QCOMPARE(slot->passedOver().size(), std::size_t(1));
    QCOMPARE(slot->passedOver().front().path, broken);
    QVERIFY(slot->passedOver().front().message().contains(QStringLiteral("inget helt utkast")));
    QVERIFY(slot->write(Typed));
    slot->release();
    QVERIFY(QFileInfo::exists(broken));
    const auto listed = folder().list();
    QVERIFY(listed);
    QCOMPARE(listed->size(), std::size_t(1));
    QVERIFY(!listed->front().draft);
    QVERIFY(listed->front().draft.error().message().contains(broken));
}

void tst_drafts::releaseLeavesNothingBehind()
{
    store::Result<DraftSlot> slot = DraftSlot::claim(folder());
    QVERIFY(slot);
    QVERIFY(slot->write(Typed));
    QVERIFY(slot->remove());
    QVERIFY(slot->remove()); // nothing to remove is no failure
    slot->release();
    QCOMPARE(filesIn(folderPath()), QStringList());
    // A lock file left by a program that ended with nothing unsaved is swept at the next start.
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(folder());
        QVERIFY(ended);
    }
    QCOMPARE(filesIn(folderPath()).size(), 1);
    store::Result<DraftSlot> next = DraftSlot::claim(folder());
    QVERIFY(next);
    QCOMPARE(filesIn(folderPath()).size(), 1); // its own lock only
}

void tst_drafts::listingTellsWaitingFromRunning()
{
    store::Result<DraftSlot> running = DraftSlot::claim(folder());
    QVERIFY(running);
    QVERIFY(running->write(Draft{QStringLiteral("pågår"), std::nullopt}));
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(folder());
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    const auto listed = folder().list();
    QVERIFY(listed);
    QCOMPARE(listed->size(), std::size_t(2));
    int waiting = 0;
    for (const DraftFolder::Entry &entry : *listed) {
        QVERIFY(entry.draft);
        QCOMPARE(entry.waiting, *entry.draft == Typed);
        waiting += entry.waiting ? 1 : 0;
    }
    QCOMPARE(waiting, 1);
    // Listing takes nothing: the waiting draft can still be taken over.
    store::Result<DraftSlot> next = DraftSlot::claim(folder());
    QVERIFY(next);
    QCOMPARE(next->restored(), std::optional(Typed));
    // An absent folder has no drafts.
    const auto none = DraftFolder(m_dir->filePath(QStringLiteral("finns-inte"))).list();
    QVERIFY(none);
    QVERIFY(none->empty());
}

void tst_drafts::listingSeesOnlyDraftFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isFolder");
    QTest::addColumn<bool>("listed");
    QTest::newRow("marked as stored") << QStringLiteral("klar.stored") << false << true;
    QTest::newRow("suffix in capitals") << QStringLiteral("STOR.DRAFT") << false << true;
    QTest::newRow("half written") << QStringLiteral("halv.draft.part") << false << false;
    QTest::newRow("lock") << QStringLiteral("halv.lock") << false << false;
    QTest::newRow("another file") << QStringLiteral("inköp.txt") << false << false;
    QTest::newRow("suffix without its dot") << QStringLiteral("utkastdraft") << false << false;
    QTest::newRow("hidden") << QStringLiteral(".dold.draft") << false << false;
    QTest::newRow("folder") << QStringLiteral("mapp.draft") << true << false;
}

// Whatever else lies in a drafts folder, the listing holds its drafts only.
void tst_drafts::listingSeesOnlyDraftFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, isFolder);
    QFETCH(bool, listed);
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(folder());
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    const QStringList drafts = filesIn(folderPath()).filter(QStringLiteral(".draft"));
    QCOMPARE(drafts.size(), 1);
    const QString other = folderPath() + QLatin1Char('/') + name;
    QVERIFY(isFolder ? QDir().mkdir(other)
                     : QFile::copy(folderPath() + QLatin1Char('/') + drafts.first(), other));
    const auto entries = folder().list();
    QVERIFY(entries);
    QStringList names;
    for (const DraftFolder::Entry &entry : *entries)
        names << entry.file;
    QStringList expected = drafts;
    if (listed)
        expected << name;
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
}

void tst_drafts::takeWaitingRefusesARunningProgramsDraft()
{
    store::Result<DraftSlot> running = DraftSlot::claim(folder());
    QVERIFY(running);
    QVERIFY(running->write(Typed));
    const QString file = QFileInfo(running->draftPath()).fileName();
    const store::Result<DraftSlot> taken = DraftSlot::takeWaiting(folder(), file);
    QVERIFY(!taken);
    QVERIFY(taken.error().message().contains(QStringLiteral("fortfarande")));
    running = store::StoreError{}; // the program ends
    store::Result<DraftSlot> now = DraftSlot::takeWaiting(folder(), file);
    QVERIFY(now);
    QCOMPARE(now->restored(), std::optional(Typed));
}

void tst_drafts::draftMarkedAsStoredNeverComesBack()
{
    {
        store::Result<DraftSlot> storing = DraftSlot::claim(folder());
        QVERIFY(storing);
        QVERIFY(storing->write(Typed));
        QVERIFY(storing->markStoring());
    } // its note stored, the program ends before the draft is removed
    store::Result<DraftSlot> next = DraftSlot::claim(folder());
    QVERIFY(next);
    QCOMPARE(next->restored(), std::nullopt);
    QCOMPARE(next->passedOver().size(), std::size_t(1));
    const auto listed = folder().list();
    QVERIFY(listed);
    QCOMPARE(listed->size(), std::size_t(1));
    QVERIFY(listed->front().stored);
    QVERIFY(next->passedOver().front().path.endsWith(listed->front().file));
    QVERIFY(!DraftSlot::takeWaiting(folder(), listed->front().file));

    // A note that could not be stored after all leaves a draft that waits as before.
    {
        store::Result<DraftSlot> failing = DraftSlot::claim(folder(), DraftSlot::Restore::None);
        QVERIFY(failing);
        QVERIFY(failing->write(Typed));
        QVERIFY(failing->markStoring());
        QVERIFY(failing->unmarkStoring());
    }
    store::Result<DraftSlot> last = DraftSlot::claim(folder());
    QVERIFY(last);
    QCOMPARE(last->restored(), std::optional(Typed));
}

void tst_drafts::draftThatCannotBeRemovedIsNotTaken()
{
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(folder());
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    const ReadOnlyFolder readOnly(folderPath());
    if (!readOnly.readOnly())
        QSKIP("cannot make a folder read-only here");
    // Restored, it could never be removed once saved, and would come back at every start.
    const store::Result<DraftSlot> next = DraftSlot::claim(folder());
    QVERIFY(!next);
    QVERIFY2(next.error().headline.contains(QStringLiteral("återställas"))
                 && next.error().remedy.contains(QStringLiteral("skrivrätt")),
             qPrintable(next.error().message()));
    const auto listed = folder().list();
    QVERIFY(listed && listed->size() == 1 && listed->front().waiting);
    const QString file = listed->front().file;
    store::Result<DraftSlot> taken = DraftSlot::takeWaiting(folder(), file);
    QVERIFY(taken);
    const store::Result<store::Done> marked = taken->markStoring();
    QVERIFY(!marked);
    QVERIFY2(marked.error().message().contains(folderPath() + QLatin1Char('/') + file),
             qPrintable(marked.error().message()));
    QVERIFY(marked.error().remedy.contains(QStringLiteral("skrivrätt")));
    taken->release();
    const auto after = folder().list();
    QVERIFY(after && after->size() == 1);
    QVERIFY(after->front().waiting && !after->front().stored);
    QCOMPARE(*after->front().draft, Typed);
}

void tst_drafts::draftGoesBackOnlyIntoItsDatabase_data()
{
    QTest::addColumn<QByteArray>("typedFor");
    QTest::addColumn<QByteArray>("startedOn");
    QTest::addColumn<bool>("restored");
    QTest::newRow("same database") << QByteArray("born 1.2") << QByteArray("born 1.2") << true;
    QTest::newRow("another database at the path")
        << QByteArray("born 1.2") << QByteArray("born 3.4") << false;
    QTest::newRow("no database at the path now") << QByteArray("inode 7") << QByteArray() << false;
    QTest::newRow("draft that records none") << QByteArray() << QByteArray("born 3.4") << true;
}

void tst_drafts::draftGoesBackOnlyIntoItsDatabase()
{
    QFETCH(QByteArray, typedFor);
    QFETCH(QByteArray, startedOn);
    QFETCH(bool, restored);
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(DraftFolder(folderPath(), typedFor));
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    const DraftFolder started(folderPath(), startedOn);
    const auto listed = started.list();
    QVERIFY(listed && listed->size() == 1);
    QCOMPARE(listed->front().otherDatabase, !restored);
    QCOMPARE(bool(DraftSlot::takeWaiting(started, listed->front().file)), restored);
    store::Result<DraftSlot> next = DraftSlot::claim(started);
    QVERIFY(next);
    QCOMPARE(next->restored(), restored ? std::optional(Typed) : std::nullopt);
    // Left waiting for its own database, and said so.
    QCOMPARE(next->passedOver().size(), std::size_t(restored ? 0 : 1));
    if (!restored) {
        store::Result<DraftSlot> own = DraftSlot::claim(DraftFolder(folderPath(), typedFor));
        QVERIFY(own);
        QCOMPARE(own->restored(), std::optional(Typed));
    }
}

// Two files mounted at one path in turn: the drafts folder is the same, the database is not.
void tst_drafts::databaseIsTheFileNotThePath()
{
    const EnvironmentVariable xdg("XDG_STATE_HOME",
                                  m_dir->filePath(QStringLiteral("state")).toUtf8());
    const QString database = m_dir->filePath(QStringLiteral("memo.mdb"));
    const QString aside = m_dir->filePath(QStringLiteral("stick-a.mdb"));
    const QString other = m_dir->filePath(QStringLiteral("stick-b.mdb"));
    for (const QString &file : {database, other}) {
        QFile made(file);
        QVERIFY(made.open(QIODevice::WriteOnly));
    }
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(DraftFolder::forDatabase(database));
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    QVERIFY(QFile::rename(database, aside));
    QVERIFY(QFile::rename(other, database));
    store::Result<DraftSlot> onB = DraftSlot::claim(DraftFolder::forDatabase(database));
    QVERIFY(onB);
    QCOMPARE(onB->restored(), std::nullopt);
    onB = store::StoreError{};
    QVERIFY(QFile::rename(database, other));
    QVERIFY(QFile::rename(aside, database));
    store::Result<DraftSlot> onA = DraftSlot::claim(DraftFolder::forDatabase(database));
    QVERIFY(onA);
    QCOMPARE(onA->restored(), std::optional(Typed));
}

void tst_drafts::movedDatabaseFindsItsDraft_data()
{
    QTest::addColumn<QByteArray>("typedFor");
    QTest::addColumn<bool>("found");
    QTest::newRow("this database, moved") << QByteArray("born 1.2") << true;
    QTest::newRow("another database") << QByteArray("born 3.4") << false;
    QTest::newRow("another database, recorded alike") << QByteArray("born 1.23") << false;
    QTest::newRow("a draft that records none") << QByteArray() << false;
}

void tst_drafts::movedDatabaseFindsItsDraft()
{
    QFETCH(QByteArray, typedFor);
    QFETCH(bool, found);
    const DraftFolder before(m_dir->filePath(QStringLiteral("drafts/gammal")), typedFor);
    {
        store::Result<DraftSlot> ended = DraftSlot::claim(before);
        QVERIFY(ended);
        QVERIFY(ended->write(Typed));
    }
    store::Result<DraftSlot> moved = DraftSlot::claim(DraftFolder(folderPath(), "born 1.2"));
    QVERIFY(moved);
    QCOMPARE(moved->restored(), found ? std::optional(Typed) : std::nullopt);
    QCOMPARE(before.list()->size(), std::size_t(found ? 0 : 1));
    // Kept in the slot's own folder from now on.
    if (found)
        QCOMPARE(QFileInfo(moved->draftPath()).path(), folderPath());
}

// A writer killed at any instant while it replaces one 10 MB draft with another leaves one of the
// two, whole: never a torn file, never a draft that is neither.
void tst_drafts::neverTornByAKill()
{
    const bool full = qEnvironmentVariableIntValue("ZENTAVO_RELIABILITY_FULL") != 0;
    const int kills = full ? 100 : 12;
    const qsizetype size = 10 * 1024 * 1024;
    const Draft drafts[] = {drafttest::draftText(0, size), drafttest::draftText(1, size)};
    QRandomGenerator random(QRandomGenerator::global()->generate());
    int whole = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(ZENTAVO_DRAFT_WRITER), {folderPath(), QString::number(size)});
        QVERIFY(writer.waitForStarted());
        // Every other writer is killed only once it has written a draft whole, so that whole
        // drafts are found however slow the machine is; the others at any moment.
        while (kill % 2 == 1 && !writer.canReadLine())
            QVERIFY(writer.waitForReadyRead(60000));
        // Somewhere in the first writes, or between them.
        QTest::qWait(int(random.bounded(50, 900)));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        const auto listed = folder().list();
        QVERIFY(listed);
        for (const DraftFolder::Entry &entry : *listed) {
            if (!entry.draft)
                QFAIL(qPrintable(entry.draft.error().message()));
            QVERIFY(*entry.draft == drafts[0] || *entry.draft == drafts[1]);
            QVERIFY(entry.waiting);
            ++whole;
        }
        // Each writer takes over the draft the last one left: there is never more than one.
        QVERIFY(listed->size() <= 1);
    }
    QVERIFY2(whole > 0, "no writer ever finished a draft");
}

void tst_drafts::writeFailureSaysWhatAndWhere()
{
    // Where the folder should be lies a file: nothing can be written there, not even by root.
    QFile blocker(m_dir->filePath(QStringLiteral("drafts")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const store::Result<DraftSlot> slot = DraftSlot::claim(folder());
    QVERIFY(!slot);
    const QString message = slot.error().message();
    QVERIFY2(message.contains(QStringLiteral("kunde inte sparas")), qPrintable(message));
    QVERIFY2(message.contains(m_dir->filePath(QStringLiteral("drafts"))), qPrintable(message));
    QVERIFY(!slot.error().remedy.isEmpty());
}

void tst_drafts::fullDiskIsNamed()
{
    const QString mountPoint = m_dir->filePath(QStringLiteral("liten"));
    QVERIFY(QDir().mkpath(mountPoint));
    if (::mount("zentavo-drafts", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=1m")
        != 0)
        QSKIP(qPrintable(QStringLiteral("cannot mount a 1 MB tmpfs (%1); mounting needs root or "
                                        "CAP_SYS_ADMIN")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)))));
    struct Unmount
    {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(mountPoint)};
    const DraftFolder small(mountPoint + QStringLiteral("/drafts"));
    store::Result<DraftSlot> slot = DraftSlot::claim(small);
    QVERIFY(slot);
    QVERIFY(slot->write(Typed));
    const store::Result<store::Done> written = slot->write(drafttest::draftText(0, 2 << 20));
    QVERIFY(!written);
    QVERIFY2(written.error().remedy.contains(QStringLiteral("Disken är full")),
             qPrintable(written.error().message()));
    // The draft before stays whole, and nothing half-written is left.
    QCOMPARE(slot->draftPath(),
             small.path() + QLatin1Char('/')
                 + filesIn(small.path()).filter(QStringLiteral(".draft")).value(0));
    QFile file(slot->draftPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(store::decodeDraft(file.readAll()), std::optional(Typed));
    QCOMPARE(filesIn(small.path()).filter(QStringLiteral(".part")), QStringList());
}

QTEST_GUILESS_MAIN(tst_drafts)
#include "tst_drafts.moc"
