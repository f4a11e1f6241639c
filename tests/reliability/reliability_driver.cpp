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
#include "runtime/App.h"
#include "runtime/ListView.h"
#include "store/Connection.h"
#include "store/FillList.h"
#include "store/Notes.h"

#include <QApplication>
#include <QSqlQuery>
#include <QStringList>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace reliability;

namespace {

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
    withOwnConnection(store::DatabasePath(), [&](QSqlDatabase &db) {
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
        if (const store::StoreResult failure = store::InsertNote(title, text)) {
            fail(failure->message());
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
    runtime::ListView lst(nullptr);
    QList<OwnNote> alive;
    QList<qlonglong> inserted;
    auto keyOf = [](qlonglong id) {
        return QStringLiteral("ID|%1").arg(id);
    };
    for (int i = 0; i < count; ++i) {
        quint64 op = below(rng, 10);
        if (alive.isEmpty() && op >= 6)
            op = 0;
        if (op < 4) {
            const QString title = QStringLiteral("%1 %2").arg(name).arg(i);
            const QString text = randomText(rng, 300);
            if (const store::StoreResult failure = store::InsertNote(title, text)) {
                fail(QStringLiteral("insert %1: %2").arg(i).arg(failure->message()));
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
            if (const store::StoreResult failure = store::FillList(lst)) {
                fail(QStringLiteral("list %1: %2").arg(i).arg(failure->message()));
                return 1;
            }
            QHash<QString, QString> listed;
            for (int item = 1; item <= lst.ListItemsCount(); ++item)
                listed.insert(lst.ListItemKey(item), lst.ListItemText(item));
            for (const OwnNote &note : alive) {
                if (listed.value(keyOf(note.id), QStringLiteral("<missing>")) != note.title) {
                    fail(QStringLiteral("list %1: note %2 missing").arg(i).arg(note.id));
                    return 1;
                }
            }
            for (const qlonglong id : inserted) {
                const bool isAlive = std::any_of(alive.begin(), alive.end(),
                                                 [id](const OwnNote &n) { return n.id == id; });
                if (!isAlive && listed.contains(keyOf(id))) {
                    fail(QStringLiteral("list %1: deleted note %2 listed").arg(i).arg(id));
                    return 1;
                }
            }
        } else if (op < 8) {
            const OwnNote &note = alive.at(qsizetype(below(rng, quint64(alive.size()))));
            const store::ReadResult read = store::ReadNote(QString::number(note.id));
            if (read.error) {
                fail(QStringLiteral("show %1: %2").arg(i).arg(read.error->message()));
                return 1;
            }
            if (!read.note.found || read.note.text != note.text) {
                fail(QStringLiteral("show %1: note %2 not as saved").arg(i).arg(note.id));
                return 1;
            }
        } else {
            const qsizetype index = qsizetype(below(rng, quint64(alive.size())));
            const qlonglong id = alive.at(index).id;
            if (const store::StoreResult failure = store::DeleteNote(QString::number(id))) {
                fail(QStringLiteral("delete %1: %2").arg(i).arg(failure->message()));
                return 1;
            }
            store::CloseDb();
            alive.removeAt(index);
        }
    }
    say(QStringLiteral("ops-done"));
    waitForInput(-1);
    if (const store::StoreResult failure = store::FillList(lst)) {
        fail(QStringLiteral("final list: %1").arg(failure->message()));
        return 1;
    }
    for (const qlonglong id : inserted)
        say(QStringLiteral("inserted %1").arg(id));
    for (const OwnNote &note : alive)
        say(QStringLiteral("alive %1").arg(note.id));
    for (int item = 1; item <= lst.ListItemsCount(); ++item)
        say(QStringLiteral("list %1 %2").arg(lst.ListItemKey(item), lst.ListItemText(item)));
    say(QStringLiteral("end"));
    return 0;
}

int runHold(bool exclusive, int ms)
{
    int result = 1;
    const bool opened = withOwnConnection(store::DatabasePath(), [&](QSqlDatabase &db) {
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
        fail(QStringLiteral("cannot open %1").arg(store::DatabasePath()));
    return result;
}

int runBig(int megabytes)
{
    runtime::ListView lst(nullptr);
    const long baseline = maxRssKb();
    // Plain text in lines of 79 characters, as a long pasted document would be.
    const qsizetype size = qsizetype(megabytes) * 1024 * 1024;
    QString text(size, QLatin1Char('x'));
    for (qsizetype i = 79; i < size; i += 80)
        text[i] = QLatin1Char('\n');
    const long withText = maxRssKb();
    if (const store::StoreResult failure = store::InsertNote(QStringLiteral("stor"), text)) {
        fail(failure->message());
        return 1;
    }
    const long afterSave = maxRssKb();
    if (const store::StoreResult failure = store::FillList(lst)) {
        fail(failure->message());
        return 1;
    }
    if (lst.ListItemsCount() != 1 || lst.ListItemText(1) != QStringLiteral("stor")) {
        fail(QStringLiteral("the note is not listed"));
        return 1;
    }
    const long afterList = maxRssKb();
    bool same = false;
    {
        const store::ReadResult read = store::ReadNote(store::IdFromKey(lst.ListItemKey(1)));
        if (read.error) {
            fail(read.error->message());
            return 1;
        }
        same = read.note.found && read.note.text == text;
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
    // The driver shows nothing; the list control it fills needs an application all the same.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: reliability_driver MODE FOLDER ...\n");
        return 2;
    }
    const QString mode = args.at(1);
    runtime::App::setPathForTesting(args.at(2));
    if (mode == QStringLiteral("save") && args.size() == 6)
        return runSave(args.at(3), args.at(4).toULongLong(), args.at(5).toInt());
    if (mode == QStringLiteral("ops") && args.size() == 6)
        return runOps(args.at(3), args.at(4).toInt(), args.at(5).toULongLong());
    if (mode == QStringLiteral("hold") && args.size() == 5)
        return runHold(args.at(3) == QStringLiteral("exclusive"), args.at(4).toInt());
    if (mode == QStringLiteral("big") && args.size() == 4)
        return runBig(args.at(3).toInt());
    if (mode == QStringLiteral("insert") && args.size() == 5) {
        if (const store::StoreResult failure = store::InsertNote(args.at(3), args.at(4))) {
            std::fprintf(stderr, "%s\n", failure->message().toUtf8().constData());
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "reliability_driver: bad arguments\n");
    return 2;
}
