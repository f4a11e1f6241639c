// Finding notes by what they say: the matching rules as one table of notes and searches, asked of
// the rule itself, of a search that reads every note and of one that reads the index; the index
// stale, damaged or impossible to write; the rights of its files; memo.mdb never written; and
// the hits marked in a note.

#include "ProcessSettings.h"
#include "TestDatabase.h"
#include "store/NoteSearch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>

using store::IndexState;
using store::NoteSearch;
using store::SearchQuery;
using store::TextSpan;
using testsupport::EnvironmentVariable;
using Ids = QList<qlonglong>;

Q_DECLARE_METATYPE(TextSpan)

namespace {

// The notes every search of the table looks through, IDs 1 to 10.
const QStringList NoteTitles = {
    "Kapacitet", "Inköp",     "東京",           "Operatorer", "Thai",
    "ﬁnal",      "Långt ord", "Sammansättning", "Tecken",     "Korea",
};
const QStringList NoteTexts = {
    "Resa till Östersund i maj.",
    "mjölk, bröd och ägg",
    "東京都に行く予定",
    "AND OR NEAR \"citat\" * - : ( )",
    "สวัสดีครับ",
    "Ｆｕｌｌｗｉｄｔｈ text",
    "Donaudampfschifffahrtsgesellschaftskapitänswitwenrentenkassenamt",
    "Cafe\u0301 cre\u0300me",
    "😀 grinning 𠀋 Łódź Søren Đorđe",
    "한국어 문서",
};

Ids toIds(const std::vector<qint64> &ids)
{
    return Ids(ids.begin(), ids.end());
}

void fill(testsupport::TestDatabase &db)
{
    for (qsizetype i = 0; i < NoteTitles.size(); ++i)
        db.addNote(NoteTitles.at(i), NoteTexts.at(i));
}

// Dates the database's last change `ago` seconds back, so that the index can vouch for it; each
// change a test makes is given another date, as time passing would.
void settle(const QString &path, int ago)
{
    const timespec times[2] = {{::time(nullptr) - ago, 0}, {::time(nullptr) - ago, 500}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The IDs found, through the index or by reading every note.
Ids found(NoteSearch &search, const QString &typed)
{
    const auto result = search.find(SearchQuery(typed));
    if (!result)
        qFatal("search failed: %s", qPrintable(result.error().message()));
    return toIds(*result);
}

// Words w0, w1, ... to 10,000 characters.
QString manyWords()
{
    QString many;
    for (int i = 0; many.size() < 10000; ++i)
        many += QStringLiteral("w%1 ").arg(i);
    return many;
}

// Every search of the rules table, for the index tests.
const QStringList SomeSearches
    = {"kap",    "ostersund",
       "mj br",  "京都",
       "都に行", "citat",
       "fin",    "cafe",
       "한국",   "Donaudampfschifffahrtsgesellschaftskapitänswitwenrentenkassenamt"};

} // namespace

class SearchTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_cache;
    std::optional<EnvironmentVariable> m_cacheHome;

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_cache.isValid());
        m_cacheHome.emplace("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
    }
    void cleanup()
    {
        m_cacheHome.reset();
        QDir(m_cache.path() + QStringLiteral("/zentavo")).removeRecursively();
    }

    void rules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Ids>("expected");
        QTest::newRow("beginning of a word") << "kap" << Ids{1};
        QTest::newRow("case") << "KAP" << Ids{1};
        QTest::newRow("inside a word") << "apacitet" << Ids{};
        QTest::newRow("diacritics left out") << "ostersund" << Ids{1};
        QTest::newRow("diacritics in capitals") << "ÖSTER" << Ids{1};
        QTest::newRow("diacritics typed, none in the note") << "cafè crême" << Ids{8};
        QTest::newRow("combining marks in the note") << "cafe creme" << Ids{8};
        QTest::newRow("letters with a stroke") << "lodz SOREN đorđe" << Ids{9};
        QTest::newRow("every word, anywhere") << "ägg mj BR" << Ids{2};
        QTest::newRow("title and text together") << "kapacitet maj" << Ids{1};
        QTest::newRow("a word missing") << "östersund mjölk" << Ids{};
        QTest::newRow("in the title only") << "inköp" << Ids{2};
        QTest::newRow("ligature") << "fin" << Ids{6};
        QTest::newRow("full width letters") << "FULLWIDTH" << Ids{6};
        QTest::newRow("run: start") << "東京" << Ids{3};
        QTest::newRow("run: middle") << "京都" << Ids{3};
        QTest::newRow("run: three characters") << "都に行" << Ids{3};
        QTest::newRow("run: whole") << "東京都に行く予定" << Ids{3};
        QTest::newRow("run: in another order") << "京東" << Ids{};
        QTest::newRow("run: pairs there, run not") << "東京行" << Ids{};
        QTest::newRow("Thai within a run") << "ดีค" << Ids{5};
        QTest::newRow("Hangul syllables") << "한국" << Ids{10};
        QTest::newRow("beyond the basic plane") << "𠀋" << Ids{9};
        QTest::newRow("an emoji is no word") << "😀" << Ids{};
        QTest::newRow("quotes") << "\"citat\"" << Ids{4};
        QTest::newRow("star") << "citat*" << Ids{4};
        QTest::newRow("AND as a word") << "AND" << Ids{4};
        QTest::newRow("OR NEAR as words") << "or NEAR" << Ids{4};
        QTest::newRow("NEAR(...)") << "NEAR(kap maj)" << Ids{};
        QTest::newRow("minus and colon") << "-kap: maj" << Ids{1};
        QTest::newRow("open parenthesis") << "(kap" << Ids{1};
        QTest::newRow("lone quote") << "\"" << Ids{};
        QTest::newRow("lone star") << "*" << Ids{};
        QTest::newRow("lone minus") << "-" << Ids{};
        QTest::newRow("lone parenthesis") << "(" << Ids{};
        QTest::newRow("nothing") << "" << Ids{};
        QTest::newRow("spaces") << "   \t" << Ids{};
        QTest::newRow("long word whole")
            << "donaudampfschifffahrtsgesellschaftskapitanswitwenrentenkassenamt" << Ids{7};
        QTest::newRow("long word and more")
            << "donaudampfschifffahrtsgesellschaftskapitanswitwenrentenkassenamtx" << Ids{};
        QTest::newRow("10,000 characters, one word") << QString(10000, QLatin1Char('k')) << Ids{};
        QTest::newRow("10,000 characters, many words")
            << QStringLiteral("kap maj ").repeated(1250) << Ids{1};
        QTest::newRow("10,000 characters, all other words") << manyWords() << Ids{};
        QTest::newRow("10,000 characters of a run") << QString(10000, QChar(0x6771)) << Ids{};
    }
    void rules()
    {
        QFETCH(QString, typed);
        QFETCH(Ids, expected);
        const SearchQuery query(typed);
        Ids byRule;
        for (qsizetype i = 0; i < NoteTitles.size(); ++i) {
            if (query.matches(NoteTitles.at(i), NoteTexts.at(i)))
                byRule.append(i + 1);
        }
        QCOMPARE(byRule, expected);

        testsupport::TestDatabase db;
        fill(db);
        settle(db.path(), 60);
        NoteSearch search(db.path());
        QCOMPARE(found(search, typed), expected); // every note read
        QCOMPARE(search.catchUp(), IndexState::Current);
        QVERIFY(search.indexIsCurrent());
        QCOMPARE(found(search, typed), expected); // the index
    }

    // Whatever became of the index, the notes found are those the rules find.
    void indexStates_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("catchUpAfter");
        for (const bool after : {false, true}) {
            const char *when = after ? " then caught up" : "";
            for (const char *change :
                 {"none", "added", "deleted", "id used again", "damaged", "other format", "emptied",
                  "same bytes, other encoding", "same size and time"})
                QTest::addRow("%s%s", change, when) << QString::fromLatin1(change) << after;
        }
        QTest::newRow("never made") << "never made" << false;
        QTest::newRow("cannot be written") << "cannot be written" << true;
    }
    void indexStates()
    {
        QFETCH(QString, change);
        QFETCH(bool, catchUpAfter);
        testsupport::TestDatabase db;
        fill(db);
        settle(db.path(), 60);
        NoteSearch search(db.path());
        if (change != QLatin1String("never made") && change != QLatin1String("cannot be written"))
            QCOMPARE(search.catchUp(), IndexState::Current);
        QTemporaryDir other;
        std::optional<EnvironmentVariable> unwritable;
        if (change == QLatin1String("added")) {
            db.addNote(QStringLiteral("Ny kapsel"), QStringLiteral("京都 östra"));
        } else if (change == QLatin1String("deleted")) {
            db.exec(QStringLiteral("DELETE FROM Memo WHERE ID IN (1, 3)"));
        } else if (change == QLatin1String("id used again")) {
            db.exec(QStringLiteral("DELETE FROM Memo WHERE ID = 2"));
            db.exec(QStringLiteral("INSERT INTO Memo (ID, Titel, Text) VALUES (2, 'Kapten', "
                                   "'ingen mjölk här')"));
        } else if (change == QLatin1String("damaged")) {
            QFile file(search.indexPath());
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(0);
            file.write(QByteArray(8192, '\x5a'));
        } else if (change == QLatin1String("other format")) {
            QSqlDatabase index = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                           QStringLiteral("other format"));
            index.setDatabaseName(search.indexPath());
            QVERIFY(index.open());
            QVERIFY(QSqlQuery(index).exec(
                QStringLiteral("UPDATE meta SET value = 99 WHERE key = 'format'")));
            index.close();
            index = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("other format"));
        } else if (change == QLatin1String("emptied")) {
            db.exec(QStringLiteral("DELETE FROM Memo"));
        } else if (change == QLatin1String("same bytes, other encoding")) {
            // Another file in its place, its notes the bytes of the old ones: another text.
            db.recreate(
                {QStringLiteral("PRAGMA encoding = 'UTF-16le'"),
                 QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel, Text)")});
            for (qsizetype i = 0; i < NoteTitles.size(); ++i)
                db.exec(QStringLiteral("INSERT INTO Memo VALUES (?, ?, ?)"),
                        {i + 1, NoteTitles.at(i).toUtf8(), NoteTexts.at(i).toUtf8()});
        } else if (change == QLatin1String("same size and time")) {
            // As a copy that keeps times leaves it: the file's size and time as they were.
            struct stat before = {};
            QVERIFY(::stat(QFile::encodeName(db.path()).constData(), &before) == 0);
            db.exec(QStringLiteral("UPDATE Memo SET Text = 'Resa till Östersund i jun.' "
                                   "WHERE ID = 1"));
            const timespec times[2] = {before.st_atim, before.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(db.path()).constData(), times, 0) == 0);
            QCOMPARE(QFileInfo(db.path()).size(), qint64(before.st_size));
        } else if (change == QLatin1String("cannot be written")) {
            const QString blocked = other.filePath(QStringLiteral("a file"));
            QFile file(blocked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            unwritable.emplace("XDG_CACHE_HOME", QFile::encodeName(blocked));
        }
        if (QStringList{"added", "deleted", "id used again", "emptied",
                        "same bytes, other encoding"}
                .contains(change))
            settle(db.path(), 30);
        // What the rule finds in the notes as they are now.
        NoteSearch fresh(db.path(), other.filePath(QStringLiteral("none/index")));
        QVERIFY(!QFile::exists(fresh.indexPath()));
        NoteSearch later(db.path(),
                         unwritable ? store::searchIndexPath(db.path()) : search.indexPath());
        if (catchUpAfter) {
            const IndexState state = later.catchUp();
            QCOMPARE(state, unwritable ? IndexState::Unusable : IndexState::Current);
            QCOMPARE(later.indexIsCurrent(), !unwritable);
        } else {
            QCOMPARE(later.indexIsCurrent(), change == QLatin1String("none"));
        }
        for (const QString &typed : SomeSearches + QStringList{"kapten mjölk", "östra", "jun"})
            QCOMPARE(found(later, typed), found(fresh, typed));
        QVERIFY(!QFile::exists(fresh.indexPath()));
    }

    // A searcher kept open reads the index a catch-up made anew, not the file it first opened.
    void keptSearcherReadsIndexMadeAnew()
    {
        testsupport::TestDatabase db;
        fill(db);
        settle(db.path(), 60);
        NoteSearch search(db.path());
        QCOMPARE(search.catchUp(), IndexState::Current);
        QCOMPARE(found(search, QStringLiteral("kap")), Ids{1});
        QVERIFY(QFile::remove(search.indexPath()));
        QCOMPARE(search.catchUp(), IndexState::Current);
        db.addNote(QStringLiteral("Kapsel"), QString());
        settle(db.path(), 30);
        QCOMPARE(search.catchUp(), IndexState::Current);
        QVERIFY(search.indexIsCurrent());
        QCOMPARE(found(search, QStringLiteral("kap")), (Ids{1, 11}));
    }

    // Deleted and replaced notes are checked, and past a share of them the words are made anew.
    void manyChangesMakeTheWordsAnew()
    {
        testsupport::TestDatabase db;
        for (int i = 0; i < 300; ++i)
            db.addNote(QStringLiteral("Anteckning %1").arg(i), QStringLiteral("gammal text"));
        settle(db.path(), 60);
        NoteSearch search(db.path());
        QCOMPARE(search.catchUp(), IndexState::Current);
        db.exec(QStringLiteral("UPDATE Memo SET Text = 'ny text' WHERE ID <= 200"));
        settle(db.path(), 30);
        QCOMPARE(search.catchUp(), IndexState::Current);
        // Made anew by this catch-up already, not left for the next change to the notes.
        store::SearchIndex index(db.path(), search.indexPath());
        const auto candidates = index.candidates(SearchQuery(QStringLiteral("text")));
        QVERIFY(candidates && candidates->check.empty());
        QCOMPARE(found(search, QStringLiteral("gammal")).size(), qsizetype(100));
        QCOMPARE(found(search, QStringLiteral("ny")).size(), qsizetype(200));
        db.exec(QStringLiteral("UPDATE Memo SET Text = 'tredje' WHERE ID > 200"));
        settle(db.path(), 20);
        QCOMPARE(search.catchUp(), IndexState::Current);
        QCOMPARE(found(search, QStringLiteral("tredje")).size(), qsizetype(100));
        QCOMPARE(found(search, QStringLiteral("gammal")).size(), qsizetype(0));
    }

    // A change in the same tick of the file system's clock as the catch-up may go unseen: such
    // a catch-up does not vouch for the index.
    void aChangeJustNowIsNotVouchedFor()
    {
        testsupport::TestDatabase db;
        fill(db);
        const timespec now[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(db.path()).constData(), now, 0) == 0);
        NoteSearch search(db.path());
        const IndexState state = search.catchUp();
        QVERIFY(state == IndexState::Settling || state == IndexState::Current);
        if (state == IndexState::Settling)
            QVERIFY(!search.indexIsCurrent());
        QCOMPARE(found(search, QStringLiteral("kap")), Ids{1});
    }

    // A database reached through a link keeps its log beside the file linked to: a note written
    // there, while a window keeps the log from being checked into the file, is seen.
    void logBesideTheLinkedFile()
    {
        testsupport::TestDatabase db;
        fill(db);
        db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        const QString link = db.folder() + QStringLiteral("/länk.mdb");
        QVERIFY(QFile::link(db.path(), link));
        {
            QSqlDatabase window
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("window"));
            window.setDatabaseName(db.path());
            QVERIFY(window.open() && QSqlQuery(window).exec(QStringLiteral("SELECT 1 FROM Memo")));
            settle(db.path(), 60);
            settle(db.path() + QStringLiteral("-wal"), 60);
            NoteSearch search(link);
            QCOMPARE(search.catchUp(), IndexState::Current);
            db.addNote(QStringLiteral("Valnöt"), QStringLiteral("hasselnöt"));
            settle(db.path() + QStringLiteral("-wal"), 30);
            QVERIFY(!search.indexIsCurrent());
            QCOMPARE(found(search, QStringLiteral("hassel")), Ids{11});
            window.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("window"));
    }

    void privateFiles_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<bool>("folderThere");
        QTest::newRow("umask 022") << 022 << false;
        QTest::newRow("umask 0") << 0 << false;
        QTest::newRow("umask 077") << 077 << false;
        QTest::newRow("folder there, open to all") << 0 << true;
    }
    void privateFiles()
    {
        QFETCH(int, umask);
        QFETCH(bool, folderThere);
        const testsupport::Umask mask(mode_t(umask & 0777));
        testsupport::TestDatabase db;
        fill(db);
        settle(db.path(), 60);
        const QString folder = m_cache.path() + QStringLiteral("/zentavo/search");
        if (folderThere) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        }
        NoteSearch search(db.path());
        QCOMPARE(QFileInfo(search.indexPath()).absolutePath(), folder);
        QCOMPARE(search.catchUp(), IndexState::Current);
        QCOMPARE(testsupport::modeOf(folder), 0700);
        if (!folderThere)
            QCOMPARE(testsupport::modeOf(m_cache.path() + QStringLiteral("/zentavo")), 0700);
        // Searching keeps the index open: its log and shared memory are there too.
        QCOMPARE(found(search, QStringLiteral("kap")), Ids{1});
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files)
            QCOMPARE(testsupport::modeOf(folder + QLatin1Char('/') + file), 0600);
    }

    // Searching, through the index or not, never writes to the notes' file or beside it.
    void databaseUnchanged()
    {
        testsupport::TestDatabase db;
        fill(db);
        settle(db.path(), 60);
        const QByteArray before = hashOf(db.path());
        const QStringList beside = QDir(db.folder()).entryList(QDir::Files | QDir::Hidden);
        NoteSearch search(db.path());
        for (int round = 0; round < 3; ++round) {
            for (const QString &typed : SomeSearches)
                found(search, typed);
            search.catchUp();
        }
        QCOMPARE(hashOf(db.path()), before);
        QCOMPARE(QDir(db.folder()).entryList(QDir::Files | QDir::Hidden), beside);
    }

    // Many notes read in parts side by side: every note asked for that is there, once, each
    // part in order and the parts one after the other, each with the line around its first hit,
    // near the text's beginning or far in; few notes, or IDs out of order, as one part.
    void notesReadInParts_data()
    {
        QTest::addColumn<Ids>("asked");
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("partsUsed");
        QTest::addColumn<QString>("typed");
        Ids all;
        for (qlonglong id = 1; id <= 5000; ++id)
            all.append(id);
        Ids everyOther{7777}; // never there
        for (qlonglong id = 5001; id >= 1; id -= 2)
            everyOther.prepend(id);
        Ids backwards(all.rbegin(), all.rend());
        QTest::newRow("two parts") << all << 2 << 2 << "text";
        QTest::newRow("two parts, hits far in") << all << 2 << 2 << "slut";
        QTest::newRow("no more parts than the notes fill") << all << 8 << 2 << "text";
        QTest::newRow("gaps and notes not there") << everyOther << 2 << 1 << "text";
        QTest::newRow("one part asked") << all << 1 << 1 << "slut";
        QTest::newRow("few notes") << all.mid(0, 10) << 4 << 1 << "text";
        QTest::newRow("out of order: as given") << backwards << 2 << 1 << "text";
    }
    void notesReadInParts()
    {
        QFETCH(Ids, asked);
        QFETCH(int, parts);
        QFETCH(int, partsUsed);
        QFETCH(QString, typed);
        // Texts of over a kilobyte of two-byte letters: a hit at the beginning and one at the end.
        const auto textOf = [](qlonglong id) {
            return QStringLiteral("Text %1 ").arg(id)
                   + QStringLiteral("åäö ").repeated(id % 7 + 160) + QStringLiteral("slut");
        };
        testsupport::TestDatabase db;
        db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                "INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i, 'Text ' || i || ' ' "
                "|| replace(hex(zeroblob(i % 7 + 160)), '00', 'åäö ') || 'slut' FROM n");
        db.exec("DELETE FROM Memo WHERE ID = 3001");
        const SearchQuery query(typed);
        const std::vector<qint64> ids(asked.begin(), asked.end());
        std::array<Ids, 8> read;
        std::atomic<int> wrong = 0;
        const auto done = NoteSearch(db.path()).forEachFoundInParts(
            ids, query, parts, [&](int part, const store::FoundNote &note) {
                read[std::size_t(part)].append(note.id);
                wrong += note.title != QStringLiteral("Anteckning %1").arg(note.id)
                         || note.line != store::lineAroundFirstHit(query, textOf(note.id));
            });
        QVERIFY(done);
        QCOMPARE(wrong.load(), 0);
        Ids expected = asked;
        expected.removeIf([](qlonglong id) { return id == 3001 || id > 5000; });
        Ids joined;
        for (int part = 0; part < int(read.size()); ++part) {
            QCOMPARE(read[std::size_t(part)].isEmpty(), part >= partsUsed);
            joined += read[std::size_t(part)];
        }
        QCOMPARE(joined, expected);
        // A database that is gone is an error, not an empty answer.
        QFile::remove(db.path());
        QVERIFY(!NoteSearch(db.path()).forEachFoundInParts(ids, query, parts, [](int, auto &) {}));
    }

    // The line found in a text's beginning is the whole text's line, wherever the text is cut;
    // a beginning that cannot show it says so.
    void lineFromTheBeginning_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("everFound");
        const QString tail = QStringLiteral("och mer text efter ").repeated(12);
        QTest::newRow("hit early") << "Möte med kund47 om order. " + tail << "kund" << true;
        QTest::newRow("hit far in")
            << QString(200, QLatin1Char('x')) + " ord " + tail << "ord" << true;
        QTest::newRow("a longer word sought than the one first begun")
            << "kap " + tail + "kapacitet " + tail << "kapacitet" << true;
        QTest::newRow("pairs and marks near the hit") << "𠀋𠀋 Cafe\u0301 𠀋 " + tail + "𠀋"
                                                      << "cafe" << true;
        QTest::newRow("no hit in the text") << tail << "rubrik" << false;
        QTest::newRow("a run sought") << "東京都に行く予定 " + tail << "京都" << false;
    }
    void lineFromTheBeginning()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(bool, everFound);
        const SearchQuery query(typed);
        const QString whole = store::lineAroundFirstHit(query, text);
        bool found = false;
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            const std::optional<QString> line
                = store::lineAroundFirstHitInBeginning(query, QStringView(text).first(cut));
            if (line)
                QCOMPARE(*line, whole);
            found = found || line;
        }
        QCOMPARE(found, everFound);
    }

    void hits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<TextSpan>>("hits");
        QTest::addColumn<QString>("line");
        using Spans = QList<TextSpan>;
        QTest::newRow("prefix") << "En Kapacitet här"
                                << "kap" << Spans{{3, 3}} << "En Kapacitet här";
        QTest::newRow("every word, each place")
            << "kap maj kapsel"
            << "maj kap" << Spans{{0, 3}, {4, 3}, {8, 3}} << "kap maj kapsel";
        QTest::newRow("longest of two words") << "kapacitet"
                                              << "kap kapa" << Spans{{0, 4}} << "kapacitet";
        QTest::newRow("combining mark goes with its letter")
            << "Cafe\u0301!"
            << "cafe" << Spans{{0, 5}} << "Cafe\u0301!";
        QTest::newRow("a mark past the word's hit is not the hit's")
            << "Cafe\u0301s"
            << "caf" << Spans{{0, 3}} << "Cafe\u0301s";
        QTest::newRow("ligature whole") << "ﬁn"
                                        << "f" << Spans{{0, 1}} << "ﬁn";
        QTest::newRow("run within") << "東京都に行く"
                                    << "京都" << Spans{{1, 2}} << "東京都に行く";
        QTest::newRow("beyond the basic plane") << "a𠀋b"
                                                << "𠀋" << Spans{{1, 2}} << "a𠀋b";
        QTest::newRow("on the second line") << "första\n  andra raden med ord \nsista"
                                            << "ord" << Spans{{25, 3}} << "andra raden med ord";
        QTest::newRow("no hit: the first line") << "första\nandra"
                                                << "x" << Spans{} << "första";
        QTest::newRow("hit as far in as is shown: nothing cut before")
            << QStringLiteral("rad\n") + QString(40, QLatin1Char('.')) + QStringLiteral("ord")
            << "ord" << Spans{{44, 3}} << QString(40, QLatin1Char('.')) + QStringLiteral("ord");
        QTest::newRow("cut between a pair's halves: the pair kept whole")
            << QString(50, QLatin1Char('.')) + QStringLiteral("ord ")
                   + QString(75, QLatin1Char('-')) + QStringLiteral("𠀋x")
            << "ord" << Spans{{50, 3}}
            << QChar(0x2026) + QString(40, QLatin1Char('.')) + QStringLiteral("ord ")
                   + QString(75, QLatin1Char('-')) + QStringLiteral("𠀋") + QChar(0x2026);
        QTest::newRow("long line cut around the hit")
            << QString(100, QLatin1Char('.')) + QStringLiteral(" ord ")
                   + QString(200, QLatin1Char('-'))
            << "ord" << Spans{{101, 3}}
            << QChar(0x2026) + QString(39, QLatin1Char('.')) + QStringLiteral(" ord ")
                   + QString(76, QLatin1Char('-')) + QChar(0x2026);
    }
    void hits()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(QList<TextSpan>, hits);
        QFETCH(QString, line);
        const SearchQuery query(typed);
        const std::vector<TextSpan> found = query.hitsIn(text);
        QCOMPARE(QList<TextSpan>(found.begin(), found.end()), hits);
        QCOMPARE(store::lineAroundFirstHit(query, text), line);
    }
};

QTEST_GUILESS_MAIN(SearchTest)
#include "tst_search.moc"
