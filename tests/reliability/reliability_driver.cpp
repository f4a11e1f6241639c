// reliability_driver: a small program over the note store that the reliability tests run as a
// separate process, so that it can be killed, run twice at once, hold a lock, or be measured.
//
//   save FOLDER SIDEFILE SEED RUN    saves notes until killed; after each save returns, appends
//                                    "RUN SEQUENCE ID SHA256" to SIDEFILE, flushed and fsynced
//   ops FOLDER NAME COUNT SEED       COUNT random operations on notes titled "NAME ..."; prints
//                                    "ops-done", waits for a line on stdin, then prints the list
//   hold FOLDER exclusive|reserved MS  holds a write lock for MS milliseconds or until a line on
//                                    stdin; prints "locked" and "released"
//   big FOLDER MEGABYTES             saves, lists and shows one note that large and prints the
//                                    peak memory (ru_maxrss) before and after
//   insert FOLDER TITLE BODY         saves one note; a failure goes to stderr with exit code 1
//
// FOLDER stands in for the executable's directory: the store uses FOLDER/memo.mdb.

#include "ReliabilitySupport.h"
#include "store/NoteStore.h"
#include "store/Session.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QStringList>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace reliability;

namespace {

// FOLDER/memo.mdb, set once from the command line.
QString databasePath;

store::NoteStore notes()
{
    return store::NoteStore(databasePath);
}

void fail(const QString &what)
{
    std::fprintf(stdout, "error %s\n", what.toUtf8().constData());
    std::fflush(stdout);
}

void say(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// The IDs of the rows with this title, read as another program would.
QList<qlonglong> idsWithTitle(const QString &title)
{
    QList<qlonglong> ids;
    withOwnConnection(databasePath, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT ID FROM Memo WHERE Titel = ? ORDER BY ID"));
        q.addBindValue(title);
        if (q.exec()) {
            while (q.next())
                ids << q.value(0).toLongLong();
        }
    });
    return ids;
}

// Waits for a line on stdin (or its end) for at most `ms` milliseconds; negative waits forever.
void waitForInput(int ms)
{
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (::poll(&in, 1, ms) > 0) {
        char line[64];
        if (std::fgets(line, sizeof line, stdin) == nullptr)
            return;
    }
}

long maxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int runSave(const QString &sidePath, quint64 seed, int run)
{
    const int fd = ::open(sidePath.toLocal8Bit().constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0) {
        fail(QStringLiteral("cannot open the side file"));
        return 1;
    }
    for (int sequence = 1;; ++sequence) {
        const QString title = killNoteTitle(run, sequence);
        const QString text = killNoteText(seed, run, sequence);
        if (const store::Result<qint64> saved = notes().insertNote(title, text); !saved) {
            fail(saved.error().message());
            return 1;
        }
        const QList<qlonglong> ids = idsWithTitle(title);
        if (ids.size() != 1) {
            fail(QStringLiteral("%1 rows titled %2").arg(ids.size()).arg(title));
            return 1;
        }
        const QByteArray line = QByteArray::number(run) + ' ' + QByteArray::number(sequence) + ' '
                                + QByteArray::number(ids.front()) + ' ' + checksum(text) + '\n';
        if (::write(fd, line.constData(), size_t(line.size())) != line.size() || ::fsync(fd) != 0) {
            fail(QStringLiteral("cannot write the side file"));
            return 1;
        }
    }
}

struct OwnNote
{
    qlonglong id;
    QString title;
    QString text;
};

int runOps(const QString &name, int count, quint64 seed)
{
    Rng rng(seed);
    QList<OwnNote> alive;
    QList<qlonglong> inserted;
    for (int i = 0; i < count; ++i) {
        quint64 op = below(rng, 10);
        if (alive.isEmpty() && op >= 6)
            op = 0;
        if (op < 4) {
            const QString title = QStringLiteral("%1 %2").arg(name).arg(i);
            const QString text = randomText(rng, 300);
            if (const store::Result<qint64> saved = notes().insertNote(title, text); !saved) {
                fail(QStringLiteral("insert %1: %2").arg(i).arg(saved.error().message()));
                return 1;
            }
            const QList<qlonglong> ids = idsWithTitle(title);
            if (ids.size() != 1) {
                fail(QStringLiteral("insert %1: %2 rows with its title").arg(i).arg(ids.size()));
                return 1;
            }
            alive.append({ids.front(), title, text});
            inserted.append(ids.front());
        } else if (op < 6) {
            const store::Result<store::NoteList> list = notes().listNotes();
            if (!list) {
                fail(QStringLiteral("list %1: %2").arg(i).arg(list.error().message()));
                return 1;
            }
            QHash<qlonglong, QString> listed;
            for (const store::NoteEntry &entry : *list)
                listed.insert(entry.id, entry.title);
            for (const OwnNote &note : alive) {
                if (listed.value(note.id, QStringLiteral("<missing>")) != note.title) {
                    fail(QStringLiteral("list %1: note %2 missing").arg(i).arg(note.id));
                    return 1;
                }
            }
            for (const qlonglong id : inserted) {
                const bool isAlive = std::any_of(alive.begin(), alive.end(),
                                                 [id](const OwnNote &n) { return n.id == id; });
                if (!isAlive && listed.contains(id)) {
                    fail(QStringLiteral("list %1: deleted note %2 listed").arg(i).arg(id));
                    return 1;
                }
            }
        } else if (op < 8) {
            const OwnNote &note = alive.at(qsizetype(below(rng, quint64(alive.size()))));
            const store::Result<store::Note> read = notes().readNote(note.id);
            if (!read) {
                fail(QStringLiteral("show %1: %2").arg(i).arg(read.error().message()));
                return 1;
            }
            if (read->text != note.text) {
                fail(QStringLiteral("show %1: note %2 not as saved").arg(i).arg(note.id));
                return 1;
            }
        } else {
            const qsizetype index = qsizetype(below(rng, quint64(alive.size())));
            const OwnNote &note = alive.at(index);
            if (const store::Result<store::Done> deleted
                = notes().deleteNote({note.id, note.title, note.text});
                !deleted) {
                fail(QStringLiteral("delete %1: %2").arg(i).arg(deleted.error().message()));
                return 1;
            }
            alive.removeAt(index);
        }
    }
    say(QStringLiteral("ops-done"));
    waitForInput(-1);
    const store::Result<store::NoteList> list = notes().listNotes();
    if (!list) {
        fail(QStringLiteral("final list: %1").arg(list.error().message()));
        return 1;
    }
    for (const qlonglong id : inserted)
        say(QStringLiteral("inserted %1").arg(id));
    for (const OwnNote &note : alive)
        say(QStringLiteral("alive %1").arg(note.id));
    for (const store::NoteEntry &entry : *list)
        say(QStringLiteral("list ID|%1 %2").arg(entry.id).arg(entry.title));
    say(QStringLiteral("end"));
    return 0;
}

int runHold(bool exclusive, int ms)
{
    int result = 1;
    const bool opened = withOwnConnection(databasePath, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        const bool locked
            = exclusive ? q.exec(QStringLiteral("BEGIN EXCLUSIVE"))
                        : q.exec(QStringLiteral("BEGIN IMMEDIATE"))
                              && q.exec(QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES "
                                                       "('held', 'never committed')"));
        if (!locked) {
            fail(q.lastError().text());
            return;
        }
        say(QStringLiteral("locked"));
        waitForInput(ms);
        q.exec(QStringLiteral("ROLLBACK"));
        say(QStringLiteral("released"));
        result = 0;
    });
    if (!opened)
        fail(QStringLiteral("cannot open %1").arg(databasePath));
    return result;
}

int runBig(int megabytes)
{
    const long baseline = maxRssKb();
    // Plain text in lines of 79 characters, as a long pasted document would be.
    const qsizetype size = qsizetype(megabytes) * 1024 * 1024;
    QString text(size, QLatin1Char('x'));
    for (qsizetype i = 79; i < size; i += 80)
        text[i] = QLatin1Char('\n');
    const long withText = maxRssKb();
    if (const store::Result<qint64> saved = notes().insertNote(QStringLiteral("stor"), text);
        !saved) {
        fail(saved.error().message());
        return 1;
    }
    const long afterSave = maxRssKb();
    const store::Result<store::NoteList> list = notes().listNotes();
    if (!list) {
        fail(list.error().message());
        return 1;
    }
    if (list->size() != 1 || list->front().title != QStringLiteral("stor")) {
        fail(QStringLiteral("the note is not listed"));
        return 1;
    }
    const long afterList = maxRssKb();
    bool same = false;
    {
        const store::Result<store::Note> read = notes().readNote(list->front().id);
        if (!read) {
            fail(read.error().message());
            return 1;
        }
        same = read->text == text;
    }
    const long afterShow = maxRssKb();
    if (!same) {
        fail(QStringLiteral("the note shown differs from the note saved"));
        return 1;
    }
    say(QStringLiteral("note-bytes %1 baseline-kb %2 with-text-kb %3 after-save-kb %4 "
                       "after-list-kb %5 after-show-kb %6")
            .arg(size)
            .arg(baseline)
            .arg(withText)
            .arg(afterSave)
            .arg(afterList)
            .arg(afterShow));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: reliability_driver MODE FOLDER ...\n");
        return 2;
    }
    const QString mode = args.at(1);
    databasePath = store::databasePathIn(args.at(2));
    if (mode == QStringLiteral("save") && args.size() == 6)
        return runSave(args.at(3), args.at(4).toULongLong(), args.at(5).toInt());
    if (mode == QStringLiteral("ops") && args.size() == 6)
        return runOps(args.at(3), args.at(4).toInt(), args.at(5).toULongLong());
    if (mode == QStringLiteral("hold") && args.size() == 5)
        return runHold(args.at(3) == QStringLiteral("exclusive"), args.at(4).toInt());
    if (mode == QStringLiteral("big") && args.size() == 4)
        return runBig(args.at(3).toInt());
    if (mode == QStringLiteral("insert") && args.size() == 5) {
        if (const store::Result<qint64> saved = notes().insertNote(args.at(3), args.at(4));
            !saved) {
            std::fprintf(stderr, "%s\n", saved.error().message().toUtf8().constData());
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "reliability_driver: bad arguments\n");
    return 2;
}
