// Finding notes by what they say, on databases of kilobyte notes: a search as each key typed
// asks for it (through an index brought up to date beforehand, with a new connection each time
// or one kept), the memory a search takes, making the index from nothing, a catch-up that reads
// every note again, and a search without an index.

#include "BenchDatabase.h"
#include "store/NoteSearch.h"

#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace {

// What a person types into the find box, a key at a time: "kund4711" is one note's own word,
// "k" begins a word of every note.
const QString Typed = QStringLiteral("kund4711");

QString indexBeside(const bench::BenchDatabase &db)
{
    return QFileInfo(db.path()).absolutePath() + QStringLiteral("/search-index");
}

// A line of /proc/self/status, in kB.
qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Dates the database's last change a while back, as if it had been made earlier, so that the
// index can vouch for it at once.
void settle(const QString &path)
{
    const timespec times[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// The kilobyte database of range(0) notes with its index up to date.
bench::BenchDatabase &indexedDatabase(benchmark::State &state)
{
    bench::BenchDatabase &db
        = bench::BenchDatabase::withNotes(int(state.range(0)), bench::Bodies::Kilobyte);
    settle(db.path());
    if (store::catchUpSearchIndex(db.path(), indexBeside(db)) != store::IndexState::Current)
        state.SkipWithError("the index could not be brought up to date");
    return db;
}

// One search, for the first range(1) keys of Typed; range(2) 1: a new searcher each time (its
// connection to the index opened, nothing of the index in its memory), 0: one kept.
void SearchAsTyped(benchmark::State &state)
{
    bench::BenchDatabase &db = indexedDatabase(state);
    const store::SearchQuery query(Typed.left(state.range(1)));
    const bool cold = state.range(2) != 0;
    std::optional<store::NoteSearch> kept;
    kept.emplace(db.path(), indexBeside(db));
    if (!kept->indexIsCurrent())
        state.SkipWithError("the index is not current");
    std::size_t hits = 0;
    for (auto _ : state) {
        if (cold)
            kept.emplace(db.path(), indexBeside(db));
        const auto found = kept->find(query);
        hits = found ? found->size() : 0;
    }
    state.counters["hits"] = double(hits);
}
BENCHMARK(SearchAsTyped)
    ->ArgNames({"notes", "keys", "cold"})
    ->ArgsProduct({{10000, 100000}, {1, 4, 5, 6, 8}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

// How far the resident memory grows above where it was while a new searcher asks for every
// key of Typed in turn.
void SearchMemory(benchmark::State &state)
{
    bench::BenchDatabase &db = indexedDatabase(state);
    double growthMb = 0;
    for (auto _ : state) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5"); // the peak starts again from what is resident now
        clear.close();
        const qint64 before = statusKb("VmRSS:");
        {
            store::NoteSearch search(db.path(), indexBeside(db));
            for (qsizetype keys = 1; keys <= Typed.size(); ++keys)
                benchmark::DoNotOptimize(search.find(store::SearchQuery(Typed.left(keys))));
        }
        growthMb = double(statusKb("VmHWM:") - before) / 1024.0;
    }
    state.counters["peak_growth_MB"] = growthMb;
}
BENCHMARK(SearchMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The index made from nothing, and what it takes on disk.
void MakeIndex(benchmark::State &state)
{
    bench::BenchDatabase &db
        = bench::BenchDatabase::withNotes(int(state.range(0)), bench::Bodies::Kilobyte);
    settle(db.path());
    const QString index = indexBeside(db);
    for (auto _ : state) {
        state.PauseTiming();
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(index + QLatin1String(suffix));
        state.ResumeTiming();
        if (store::catchUpSearchIndex(db.path(), index) != store::IndexState::Current)
            state.SkipWithError("the index was not made");
    }
    state.counters["index_MB"] = double(QFileInfo(index).size()) / 1e6;
    state.counters["database_MB"] = double(QFileInfo(db.path()).size()) / 1e6;
}
BENCHMARK(MakeIndex)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A catch-up that finds the database file changed and nothing new in it: every note read and
// compared with its fingerprint, as after a save by another program.
void CatchUpRereadingEveryNote(benchmark::State &state)
{
    bench::BenchDatabase &db = indexedDatabase(state);
    for (auto _ : state) {
        state.PauseTiming();
        const timespec times[2] = {{::time(nullptr) - 30 - state.iterations(), 0},
                                   {::time(nullptr) - 30 - state.iterations(), 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(db.path()).constData(), times, 0);
        state.ResumeTiming();
        if (store::catchUpSearchIndex(db.path(), indexBeside(db)) != store::IndexState::Current)
            state.SkipWithError("the catch-up failed");
    }
}
BENCHMARK(CatchUpRereadingEveryNote)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A search with no index to ask: every note read and matched.
void SearchWithoutIndex(benchmark::State &state)
{
    bench::BenchDatabase &db
        = bench::BenchDatabase::withNotes(int(state.range(0)), bench::Bodies::Kilobyte);
    store::NoteSearch search(db.path(), indexBeside(db) + QStringLiteral("-none"));
    const store::SearchQuery query(Typed);
    for (auto _ : state)
        benchmark::DoNotOptimize(search.find(query));
}
BENCHMARK(SearchWithoutIndex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
