// Notes synced between two databases through one plain folder, as two machines would through a
// sync engine: what arrives, what is deleted and what never is, what a note's file holds, files
// the round must not take, folders it cannot use, and rounds killed at any instant.

#include "ProcessSettings.h"
#include "TestDatabase.h"
#include "store/NoteFile.h"
#include "store/Sync.h"
#include "store/UserPlaces.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>

using store::SyncReport;
using testsupport::TestDatabase;

namespace {

using Texts = QList<QPair<QString, QString>>;

// Every note's title and text, sorted: what a database holds, whatever its IDs, as the store
// reads it.
Texts notesOf(TestDatabase &db)
{
    Texts notes;
    const auto read = db.store().forEachNote([&notes](const store::Note &note) {
        notes.append({note.title, note.text});
        return true;
    });
    if (!read)
        qFatal("%s", qPrintable(read.error().message()));
    std::sort(notes.begin(), notes.end());
    return notes;
}

SyncReport round(TestDatabase &db)
{
    store::Result<SyncReport> report = store::syncRound(db.path());
    if (!report)
        qFatal("%s", qPrintable(report.error().message()));
    return *report;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QStringList problemFiles(const SyncReport &report)
{
    QStringList files;
    for (const store::SyncProblem &problem : report.problems)
        files.append(QFileInfo(problem.file).fileName());
    return files;
}

} // namespace

class tst_sync : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void noteFileKeepsEveryCharacter_data();
    void noteFileKeepsEveryCharacter();
    void anotherProgramsBytesAreTakenOnce();
    void brokenNoteFilesAreRefused_data();
    void brokenNoteFilesAreRefused();

    void savedNotesArriveInOrder();
    void deletionMadeThroughZentavoSpreads();
    void deletionNeverTakesAnotherNote();
    void notesSavedOnBothAtOnce();
    void firstRoundJoinsWithoutDoubling();
    void reusedIdIsAnotherNote();
    void noteRemovedWithoutZentavoComesBack();
    void filesMissingFromTheFolderAreWrittenAgain_data();
    void filesMissingFromTheFolderAreWrittenAgain();
    void filesNotTakenAreToldOnce_data();
    void filesNotTakenAreToldOnce();
    void specialFilesAreNeverOpened();
    void halfCarriedFileIsTakenOnceWhole();
    void roundLeftAloneStillSeesChanges_data();
    void roundLeftAloneStillSeesChanges();
    void folderAwayOrReadOnly();
    void oneRoundAtATime();
    void folderRefused_data();
    void folderRefused();
    void folderNotThereIsMadePrivate();
    void databaseKeepsItsOneTable();

    void killedRoundsLoseAndDoubleNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestDatabase> m_a;
    std::unique_ptr<TestDatabase> m_b;
    QString m_folder;
};

void tst_sync::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_a = std::make_unique<TestDatabase>();
    m_b = std::make_unique<TestDatabase>();
    m_folder = m_dir->filePath(QStringLiteral("synk"));
    QVERIFY(QDir().mkdir(m_folder));
    QVERIFY(store::setSyncFolder(m_a->path(), m_folder));
    QVERIFY(store::setSyncFolder(m_b->path(), m_folder));
    QCOMPARE(store::syncFolderFor(m_a->path()), std::optional(m_folder));
}

// Titles and texts as stored: characters, or bytes another program wrote that are no UTF-8.
void tst_sync::noteFileKeepsEveryCharacter_data()
{
    QTest::addColumn<QVariant>("title");
    QTest::addColumn<QVariant>("text");
    QTest::newRow("empty") << QVariant(QString()) << QVariant(QString());
    QTest::newRow("line breaks of every kind")
        << QVariant(QStringLiteral("a\r\nb")) << QVariant(QStringLiteral("\r\rx\n\r\n\n\n"));
    QTest::newRow("looks like the format")
        << QVariant(QStringLiteral("\n\nend of note\n"))
        << QVariant(QStringLiteral("zentavo note 1\ntitle-bytes 9\n\nend of note\n"));
    QTest::newRow("unusual characters") << QVariant(QString::fromUtf16(u"\ufeffbom\u2029"))
                                        << QVariant(QString::fromUtf16(u"a\u00a0\ufffe\uffff🙂"));
    QTest::newRow("beginning with a byte order mark") << QVariant(QByteArray("\xef\xbb\xbf"
                                                                             "bom"))
                                                      << QVariant(QByteArray("\xef\xbb\xbf"
                                                                             "text"));
    QTest::newRow("two megabytes")
        << QVariant(QStringLiteral("stor")) << QVariant(QString(2 << 20, QLatin1Char('x')));
    QTest::newRow("bytes that are no UTF-8")
        << QVariant(QByteArray("tr\xe4"
                               "dg\xe5rd \xed\xa0\x80"))
        << QVariant(QByteArray("\xc3 \xff\xfe kort: \xf0\x9f\x99"));
}

// Through the file and into the other database, as the store reads it, byte for byte; later
// rounds double nothing, and its deletion spreads back.
void tst_sync::noteFileKeepsEveryCharacter()
{
    QFETCH(QVariant, title);
    QFETCH(QVariant, text);
    // As text, whatever the bytes: as another program may have written it.
    m_a->exec(QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES (CAST(? AS TEXT), CAST(? AS "
                             "TEXT))"),
              {title, text});
    if (title.typeId() == QMetaType::QString)
        QCOMPARE(notesOf(*m_a), (Texts{{title.toString(), text.toString()}}));
    round(*m_a);
    QCOMPARE(round(*m_b).added.size(), std::size_t(1));
    QCOMPARE(notesOf(*m_b), notesOf(*m_a));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 1);
    QCOMPARE(testsupport::modeOf(QDir(m_folder).entryInfoList(QDir::Files).first().filePath()),
             0600);
    QCOMPARE(round(*m_a).added.size() + round(*m_b).added.size(), std::size_t(0));

    const store::Result<store::Note> shown = m_a->store().readNote(m_a->rows().first().id);
    QVERIFY(shown);
    QVERIFY(store::deleteSyncedNote(m_a->path(), *shown));
    QCOMPARE(round(*m_a).filesWritten, 1);
    QCOMPARE(round(*m_b).deleted.size(), std::size_t(1));
    QCOMPARE(round(*m_a).added.size(), std::size_t(0));
    QCOMPARE(m_a->count() + m_b->count(), 0);
}

// A note file another program wrote, whole and summed, with bytes that are no UTF-8: stored as
// U+FFFD, it is still the file's note, and later rounds take it in no more.
void tst_sync::anotherProgramsBytesAreTakenOnce()
{
    write(m_folder + QLatin1Char('/') + store::noteFileName(store::newNoteIdentity()),
          store::encodeNoteFile("tr\xe4", "a\xff\xfe"));
    std::size_t added = 0;
    for (int i = 0; i < 3; ++i)
        added += round(*m_b).added.size();
    QCOMPARE(added, std::size_t(1));
    QCOMPARE(notesOf(*m_b), (Texts{{QStringLiteral("tr\ufffd"), QStringLiteral("a\ufffd\ufffd")}}));
}

void tst_sync::brokenNoteFilesAreRefused_data()
{
    const QByteArray whole = store::encodeNoteFile("Titel", "Text\r\nmed rader\n");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    const QString incomplete = QStringLiteral("ofullständig");
    for (const qsizetype cut : {0, 5, 20, 40, 120, int(whole.size()) - 1})
        QTest::addRow("cut at %d", int(cut)) << whole.first(cut) << incomplete;
    QByteArray edited = whole;
    edited.replace("med rader", "med RADER");
    QTest::newRow("edited by hand") << edited << QStringLiteral("ändrats");
    QTest::newRow("grown") << whole + "mer\n" << QStringLiteral("ändrats");
    QTest::newRow("another program's")
        << QByteArray("{\"notes\": []}\n") << QStringLiteral("ingen anteckning");
    QTest::newRow("count with a sign")
        << QByteArray(whole).replace("title-bytes 5", "title-bytes +5")
        << QStringLiteral("ingen anteckning");
}

void tst_sync::brokenNoteFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    const auto decoded = store::decodeNoteFile(bytes);
    QVERIFY(std::holds_alternative<QString>(decoded));
    QVERIFY2(std::get<QString>(decoded).contains(problem), qPrintable(std::get<QString>(decoded)));
}

void tst_sync::savedNotesArriveInOrder()
{
    m_a->addNote(QStringLiteral("första"), QStringLiteral("1"));
    round(*m_a);
    m_a->addNote(QStringLiteral("andra"), QStringLiteral("2"));
    // The second note's file is newer than the first's, whatever the names.
    const QStringList first = QDir(m_folder).entryList(QDir::Files);
    QFile(m_folder + QLatin1Char('/') + first.first())
        .setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    QCOMPARE(round(*m_a).filesWritten, 1);
    const SyncReport report = round(*m_b);
    QCOMPARE(report.added.size(), std::size_t(2));
    QCOMPARE(m_b->rows().first().title.toString(), QStringLiteral("första"));
    QCOMPARE(m_b->rows().last().title.toString(), QStringLiteral("andra"));
    // Nothing new: nothing done.
    QCOMPARE(round(*m_b).filesWritten, 0);
    QCOMPARE(round(*m_a).added.size(), std::size_t(0));
    QCOMPARE(m_a->count(), 2);
}

void tst_sync::deletionMadeThroughZentavoSpreads()
{
    m_a->addNote(QStringLiteral("kvar"), QStringLiteral("k"));
    m_a->addNote(QStringLiteral("bort"), QStringLiteral("b"));
    round(*m_a);
    round(*m_b);
    const QList<TestDatabase::Row> rows = m_b->rows();
    const TestDatabase::Row doomed = *std::find_if(rows.cbegin(), rows.cend(), [](const auto &row) {
        return row.title.toString() == QLatin1String("bort");
    });
    QVERIFY(store::deleteSyncedNote(m_b->path(),
                                    {doomed.id, doomed.title.toString(), doomed.text.toString()}));
    QCOMPARE(round(*m_b).filesWritten, 1);
    QCOMPARE(round(*m_a).deleted.size(), std::size_t(1));
    QCOMPARE(notesOf(*m_a), (Texts{{QStringLiteral("kvar"), QStringLiteral("k")}}));
    // Neither comes back, on either side.
    round(*m_b);
    round(*m_a);
    QCOMPARE(notesOf(*m_a), notesOf(*m_b));
    QCOMPARE(m_a->count(), 1);
}

// A deletion names one note: not another under its old ID, not another that looks the same.
void tst_sync::deletionNeverTakesAnotherNote()
{
    m_a->addNote(QStringLiteral("lika"), QStringLiteral("x"));
    m_a->addNote(QStringLiteral("lika"), QStringLiteral("x"));
    round(*m_a);
    round(*m_b);
    QCOMPARE(m_b->count(), 2);
    const TestDatabase::Row doomed = m_a->rows().first();
    QVERIFY(store::deleteSyncedNote(m_a->path(),
                                    {doomed.id, QStringLiteral("lika"), QStringLiteral("x")}));
    round(*m_a);
    QCOMPARE(round(*m_b).deleted.size(), std::size_t(1));
    QCOMPARE(m_b->count(), 1);
    QCOMPARE(m_a->count(), 1);
}

void tst_sync::notesSavedOnBothAtOnce()
{
    m_a->addNote(QStringLiteral("från A"), QStringLiteral("a"));
    m_b->addNote(QStringLiteral("från B"), QStringLiteral("b"));
    // Two equal notes saved apart, after the first round, stay two.
    round(*m_a);
    round(*m_b);
    m_a->addNote(QStringLiteral("samma"), QStringLiteral("s"));
    m_b->addNote(QStringLiteral("samma"), QStringLiteral("s"));
    for (int i = 0; i < 2; ++i) {
        round(*m_a);
        round(*m_b);
    }
    QCOMPARE(m_a->count(), 4);
    QCOMPARE(notesOf(*m_a), notesOf(*m_b));
}

void tst_sync::firstRoundJoinsWithoutDoubling()
{
    // A and B had the same notes before (copied by hand), and one each of their own; the folder
    // has B's, among them one note saved twice.
    m_a->addNote(QStringLiteral("gemensam"), QStringLiteral("g"));
    m_a->addNote(QStringLiteral("bara A"), QStringLiteral("a"));
    m_b->addNote(QStringLiteral("gemensam"), QStringLiteral("g"));
    m_b->addNote(QStringLiteral("två gånger"), QStringLiteral("t"));
    m_b->addNote(QStringLiteral("två gånger"), QStringLiteral("t"));
    round(*m_b);
    QCOMPARE(round(*m_a).added.size(), std::size_t(2));
    round(*m_b);
    QCOMPARE(m_a->count(), 4);
    QCOMPARE(notesOf(*m_a), notesOf(*m_b));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 4);
}

// A table without AUTOINCREMENT gives a deleted note's ID to the next: that note is new.
void tst_sync::reusedIdIsAnotherNote()
{
    m_a->recreate({QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel TEXT, "
                                  "Text TEXT)")});
    const qlonglong id = m_a->addNote(QStringLiteral("gammal"), QStringLiteral("o"));
    round(*m_a);
    m_a->exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
    QCOMPARE(m_a->addNote(QStringLiteral("ny"), QStringLiteral("n")), id);
    round(*m_a);
    round(*m_b);
    QCOMPARE(notesOf(*m_b), (Texts{{QStringLiteral("gammal"), QStringLiteral("o")},
                                   {QStringLiteral("ny"), QStringLiteral("n")}}));
    QCOMPARE(notesOf(*m_a), notesOf(*m_b));
}

void tst_sync::noteRemovedWithoutZentavoComesBack()
{
    m_a->addNote(QStringLiteral("tål"), QStringLiteral("t"));
    round(*m_a);
    const QString older = m_dir->filePath(QStringLiteral("äldre.mdb"));
    QVERIFY(QFile::copy(m_a->path(), older));
    m_a->exec(QStringLiteral("DELETE FROM Memo"));
    QCOMPARE(round(*m_a).added.size(), std::size_t(1));
    QCOMPARE(notesOf(*m_a), (Texts{{QStringLiteral("tål"), QStringLiteral("t")}}));
    // The older copy put back holds the note under its first ID: still one note.
    QVERIFY(QFile::remove(m_a->path()));
    QVERIFY(QFile::copy(older, m_a->path()));
    QCOMPARE(round(*m_a).added.size(), std::size_t(0));
    QCOMPARE(m_a->count(), 1);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 1);
}

// Zentavo never removes a file from the folder: one missing there (another folder set, or the
// file taken away by hand or by the engine) is written again, and reaches a database that joins
// that folder later; a note deleted here stays deleted there.
void tst_sync::filesMissingFromTheFolderAreWrittenAgain_data()
{
    QTest::addColumn<bool>("anotherFolder");
    QTest::newRow("another folder set") << true;
    QTest::newRow("the files taken away") << false;
}

void tst_sync::filesMissingFromTheFolderAreWrittenAgain()
{
    QFETCH(bool, anotherFolder);
    m_a->addNote(QStringLiteral("kvar"), QStringLiteral("k"));
    m_a->addNote(QStringLiteral("bort"), QStringLiteral("b"));
    round(*m_a);
    const QList<TestDatabase::Row> rows = m_a->rows();
    const TestDatabase::Row doomed = rows.constLast();
    QVERIFY(store::deleteSyncedNote(m_a->path(),
                                    {doomed.id, doomed.title.toString(), doomed.text.toString()}));
    round(*m_a);
    QString folder = m_folder;
    if (anotherFolder) {
        folder = m_dir->filePath(QStringLiteral("ny"));
        QVERIFY(store::setSyncFolder(m_a->path(), folder));
        QVERIFY(store::setSyncFolder(m_b->path(), folder));
    } else {
        for (const QString &name : QDir(m_folder).entryList(QDir::Files))
            QVERIFY(QFile::remove(m_folder + QLatin1Char('/') + name));
    }
    // The kept note's file and the deletion's record.
    QCOMPARE(round(*m_a).filesWritten, 2);
    QCOMPARE(round(*m_a).filesWritten, 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    round(*m_b);
    QCOMPARE(notesOf(*m_b), (Texts{{QStringLiteral("kvar"), QStringLiteral("k")}}));
}

void tst_sync::filesNotTakenAreToldOnce_data()
{
    const QByteArray note = store::encodeNoteFile("t", "x");
    const QString identity = store::newNoteIdentity();
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("told");
    QTest::newRow("conflict copy")
        << identity + QStringLiteral(".sync-conflict-20260101-1.note") << note << true;
    QTest::newRow("conflicted copy")
        << identity + QStringLiteral(" (conflicted copy).note") << note << true;
    QTest::newRow("another program's") << QStringLiteral("inköp.txt") << note << true;
    QTest::newRow("not a note") << store::noteFileName(identity) << QByteArray("hej") << true;
    QTest::newRow("deletion record cut")
        << store::deletionFileName(identity) << store::deletionRecord().first(4) << true;
    QTest::newRow("uppercase identity") << store::noteFileName(identity.toUpper()) << note << true;
    QTest::newRow("engine's temporary") << QStringLiteral(".syncthing.x.note.tmp") << note << false;
    QTest::newRow("engine's other temporary")
        << QStringLiteral("~syncthing~x.note.tmp") << note << false;
    QTest::newRow("hidden") << QStringLiteral(".stfolder") << QByteArray() << false;
    QTest::newRow("being written")
        << store::noteFileName(identity) + QStringLiteral(".part") << note << false;
}

void tst_sync::filesNotTakenAreToldOnce()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, told);
    write(m_folder + QLatin1Char('/') + name, bytes);
    const SyncReport first = round(*m_a);
    QCOMPARE(first.added.size(), std::size_t(0));
    QCOMPARE(problemFiles(first), told ? QStringList{name} : QStringList{});
    if (told)
        QVERIFY(!first.problems.front().message.isEmpty());
    QCOMPARE(round(*m_a).problems.size(), std::size_t(0));
    QCOMPARE(m_a->count(), 0);
}

// A pipe would hold the round until written into, a device would be read without end: both are
// told of, by a note's and a deletion's name, and never opened.
void tst_sync::specialFilesAreNeverOpened()
{
    const QString identity = store::newNoteIdentity();
    const QString pipe = m_folder + QLatin1Char('/') + store::noteFileName(identity);
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"),
                        m_folder + QLatin1Char('/') + store::deletionFileName(identity)));
    QCOMPARE(round(*m_a).problems.size(), std::size_t(2));
}

void tst_sync::halfCarriedFileIsTakenOnceWhole()
{
    const QByteArray whole = store::encodeNoteFile("på väg", "hela texten");
    const QString path
        = m_folder + QLatin1Char('/') + store::noteFileName(store::newNoteIdentity());
    write(path, whole.first(whole.size() / 2));
    QCOMPARE(round(*m_a).problems.size(), std::size_t(1));
    QCOMPARE(m_a->count(), 0);
    write(path, whole);
    QCOMPARE(round(*m_a).added.size(), std::size_t(1));
    // Edited by hand afterwards: it changes nothing here.
    write(path, store::encodeNoteFile("på väg", "ändrad"));
    QCOMPARE(round(*m_a).added.size(), std::size_t(0));
    QCOMPARE(notesOf(*m_a), (Texts{{QStringLiteral("på väg"), QStringLiteral("hela texten")}}));
}

void tst_sync::roundLeftAloneStillSeesChanges_data()
{
    QTest::addColumn<bool>("savedHere");
    QTest::newRow("note saved here") << true;
    QTest::newRow("note arrived") << false;
}

// A round that finds memo.mdb and the folder as a round that had nothing to do left them reads
// no further; any change after that is still seen.
void tst_sync::roundLeftAloneStillSeesChanges()
{
    QFETCH(bool, savedHere);
    m_a->addNote(QStringLiteral("först"), QStringLiteral("1"));
    round(*m_a);
    const timespec before[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
    for (const QString &path : {m_a->path(), m_folder})
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), before, 0), 0);
    QCOMPARE(round(*m_a).filesWritten, 0);
    QCOMPARE(round(*m_a).filesWritten, 0);
    if (savedHere) {
        m_a->addNote(QStringLiteral("sen"), QStringLiteral("2"));
        QCOMPARE(round(*m_a).filesWritten, 1);
    } else {
        m_b->addNote(QStringLiteral("sen"), QStringLiteral("2"));
        round(*m_b);
        QCOMPARE(round(*m_a).added.size(), std::size_t(1));
    }
    QCOMPARE(m_a->count(), 2);
}

void tst_sync::folderAwayOrReadOnly()
{
    m_a->addNote(QStringLiteral("väntar"), QStringLiteral("v"));
    {
        const testsupport::ReadOnlyFolder readOnly(m_folder);
        if (!readOnly.readOnly())
            QSKIP("no folder can be made read-only here");
        const SyncReport report = round(*m_a);
        QCOMPARE(report.filesWritten, 0);
        QCOMPARE(report.problems.size(), std::size_t(1));
        // Told once; the note still waits, and every round says so.
        const SyncReport again = round(*m_a);
        QVERIFY(again.problems.empty());
        QCOMPARE(again.filesNotWritten, 1);
    }
    // Written out once the folder can be written again.
    QCOMPARE(round(*m_a).filesWritten, 1);
    QVERIFY(QDir(m_folder).removeRecursively());
    const store::Result<SyncReport> away = store::syncRound(m_a->path());
    QVERIFY(!away);
    QVERIFY(away.error().cause.contains(QStringLiteral("finns inte")));
    QCOMPARE(m_a->count(), 1);
}

void tst_sync::oneRoundAtATime()
{
    round(*m_a);
    const QString lock = store::stateFolderOf(m_a->path(), QLatin1StringView("sync"))
                         + QStringLiteral("/round.lock");
    QProcess holder;
    holder.start(QStringLiteral("flock"), {lock, QStringLiteral("cat")});
    QVERIFY(holder.waitForStarted());
    QTRY_VERIFY(!store::syncRound(m_a->path()));
    QVERIFY(store::syncRound(m_a->path()).error().cause.contains(QStringLiteral("pågår")));
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished());
    QVERIFY(store::syncRound(m_a->path()));
}

void tst_sync::folderRefused_data()
{
    QTest::addColumn<QString>("folder"); // relative to the database's folder
    QTest::addColumn<QString>("cause");
    QTest::newRow("its folder") << QStringLiteral(".") << QStringLiteral("egen mapp");
    QTest::newRow("a folder holding it") << QStringLiteral("..") << QStringLiteral("rymmer");
    QTest::newRow("a file") << QStringLiteral("memo.mdb") << QStringLiteral("ingen mapp");
    QTest::newRow("the state folder") << QStringLiteral("@state") << QStringLiteral("utkast");
    QTest::newRow("the drafts folder") << QStringLiteral("@drafts") << QStringLiteral("utkast");
}

void tst_sync::folderRefused()
{
    QFETCH(QString, folder);
    QFETCH(QString, cause);
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    QString path = m_a->folder() + QLatin1Char('/') + folder;
    if (folder == QLatin1String("@state"))
        path = state;
    if (folder == QLatin1String("@drafts")) {
        path = state + QStringLiteral("/zentavo/drafts");
        QVERIFY(QDir().mkpath(path));
    }
    const store::Result<store::Done> set = store::setSyncFolder(m_a->path(), path);
    QVERIFY(!set);
    QVERIFY2(set.error().cause.contains(cause), qPrintable(set.error().cause));
    QCOMPARE(store::syncFolderFor(m_a->path()), std::optional(m_folder));
    QVERIFY(store::endSync(m_a->path()));
    QCOMPARE(store::syncFolderFor(m_a->path()), std::nullopt);
}

void tst_sync::folderNotThereIsMadePrivate()
{
    const QString folder = m_dir->filePath(QStringLiteral("ny/synk"));
    QVERIFY(store::setSyncFolder(m_a->path(), folder));
    QCOMPARE(testsupport::modeOf(folder), 0700);
    QCOMPARE(store::syncFolderFor(m_a->path()), std::optional(folder));
}

void tst_sync::databaseKeepsItsOneTable()
{
    m_a->addNote(QStringLiteral("n"), QStringLiteral("t"));
    round(*m_a);
    round(*m_b);
    const TestDatabase::Row note = m_b->rows().first();
    QVERIFY(
        store::deleteSyncedNote(m_b->path(), {note.id, QStringLiteral("n"), QStringLiteral("t")}));
    round(*m_b);
    for (TestDatabase *db : {m_a.get(), m_b.get()}) {
        QSqlDatabase check
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("schema"));
        check.setDatabaseName(db->path());
        QVERIFY(check.open());
        QSqlQuery query(QStringLiteral("SELECT name FROM sqlite_master WHERE name NOT LIKE "
                                       "'sqlite_%'"),
                        check);
        QStringList names;
        while (query.next())
            names.append(query.value(0).toString());
        QCOMPARE(names, QStringList{QStringLiteral("Memo")});
        check.close();
        check = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("schema"));
    }
}

// A process running rounds, killed at random points of its rounds; after one more round every
// note is there once, in the database and in the folder, and reaches another database so.
void tst_sync::killedRoundsLoseAndDoubleNothing()
{
    const bool full = qEnvironmentVariableIntValue("ZENTAVO_RELIABILITY_FULL") != 0;
    const int kills = full ? 60 : 8;
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    // B brings 300 notes to the folder; A has 300 of its own, 100 of them equal to B's.
    for (int i = 0; i < 300; ++i) {
        m_b->addNote(QStringLiteral("b%1").arg(i), QStringLiteral("text"));
        m_a->addNote(QStringLiteral("%1%2").arg(i < 100 ? 'b' : 'a').arg(i),
                     QStringLiteral("text"));
    }
    round(*m_b);
    for (int kill = 0; kill < kills; ++kill) {
        QProcess driver;
        driver.start(QStringLiteral(ZENTAVO_SYNC_DRIVER), {m_a->path(), QString::number(kill)});
        QVERIFY(driver.waitForStarted());
        // Killed in the middle of a transaction (its journal there), while it writes files
        // out, or after a few rounds: the first, joining round among them.
        const QString journal = m_a->path() + QStringLiteral("-journal");
        const qsizetype files = QDir(m_folder).entryList(QDir::Files).size();
        const auto until = [&driver](const std::function<bool()> &reached) {
            QElapsedTimer waited;
            waited.start();
            while (!reached() && driver.state() == QProcess::Running && waited.elapsed() < 60000)
                QThread::yieldCurrentThread();
        };
        switch (random.bounded(3)) {
        case 0:
            until([&journal] { return QFileInfo::exists(journal); });
            break;
        case 1:
            until([&] { return QDir(m_folder).entryList(QDir::Files).size() > files; });
            break;
        default:
            for (int done = int(random.bounded(3)); done > 0; --done) {
                while (!driver.canReadLine())
                    QVERIFY2(driver.waitForReadyRead(60000),
                             qPrintable(driver.readAllStandardError()));
                driver.readLine();
            }
        }
        QCOMPARE(driver.state(), QProcess::Running);
        driver.kill();
        QVERIFY(driver.waitForFinished());
    }
    round(*m_a);
    round(*m_b);
    const Texts inA = notesOf(*m_a);
    QVERIFY2(std::adjacent_find(inA.cbegin(), inA.cend()) == inA.cend(),
             qPrintable(QStringLiteral("a note doubled; seed %1").arg(seed)));
    QCOMPARE(inA, notesOf(*m_b));
    QVERIFY(m_a->count() >= 500);
    // One file for each note there is; a note deleted here keeps its file beside its record.
    const QDir folder(m_folder);
    QStringList live = folder.entryList({QStringLiteral("*.note")}, QDir::Files);
    live.removeIf([&folder](const QString &note) {
        return folder.exists(
            QString(note).replace(QLatin1String(".note"), QLatin1String(".deleted")));
    });
    QCOMPARE(live.size(), int(m_a->count()));
}

QTEST_GUILESS_MAIN(tst_sync)
#include "tst_sync.moc"
