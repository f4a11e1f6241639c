// Benchmarks of the store and the note window on real SQLite files, with the real widgets on
// Qt's offscreen platform, and the timing of the slide-out and the auto-hide on the real event
// loop. Run: build/bench/zentavo_bench (see docs/PERFORMANCE.md).

#include "BenchDatabase.h"
#include "WindowTestSupport.h"
#include "store/NoteStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>
#include <malloc.h>
#include <memory>

namespace {

using windowtest::moveOver;
using windowtest::tick;

// The note window over the given database, driven as the window tests drive it; it must never
// report an error.
class BenchWindow : public windowtest::WindowUnderTest
{
public:
    explicit BenchWindow(const bench::BenchDatabase &db)
        : WindowUnderTest(store::NoteStore(db.path()))
    {
        // The pointer stays over the window, so it never rolls itself up.
        desktop.pointer = windowtest::WindowUnderTest::inside();
    }
    ~BenchWindow()
    {
        if (!desktop.reports.isEmpty())
            qFatal("unexpected error report: %s", qPrintable(desktop.reports.first()));
    }
    BenchWindow(const BenchWindow &) = delete;
    BenchWindow &operator=(const BenchWindow &) = delete;
};

// A loaded, shown and unrolled note window over the given database.
std::unique_ptr<BenchWindow> openWindow(const bench::BenchDatabase &db)
{
    auto window = std::make_unique<BenchWindow>(db);
    if (!window->startUnrolled())
        qFatal("the window did not start");
    QCoreApplication::processEvents();
    return window;
}

void ReloadList(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(static_cast<int>(state.range(0)));
    auto w = openWindow(db);
    const store::NoteStore notes(db.path());
    // What the window does on a reload: read every ID and title, then hand them to the list.
    for (auto _ : state) {
        store::Result<store::NoteList> listed = notes.listNotes();
        if (!listed) {
            state.SkipWithError("listing failed");
            break;
        }
        w->ui.noteList->setNotes(std::move(*listed));
    }
    state.counters["notes"] = static_cast<double>(w->ui.noteList->itemCount());
}
BENCHMARK(ReloadList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The heap the note list keeps for range(0) notes once it is laid out and shown unrolled, read
// from the allocator: bytes in use with the list filled, less bytes in use with it empty.
void ListMemory(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(static_cast<int>(state.range(0)));
    auto w = openWindow(db);
    const store::NoteStore notes(db.path());
    double kept = 0;
    for (auto _ : state) {
        w->ui.noteList->setNotes({});
        QCoreApplication::processEvents();
        const std::size_t empty = ::mallinfo2().uordblks;
        store::Result<store::NoteList> listed = notes.listNotes();
        w->ui.noteList->setNotes(std::move(*listed));
        w->widenList();
        QCoreApplication::processEvents();
        w->ui.noteList->repaint();
        kept = double(::mallinfo2().uordblks) - double(empty);
    }
    state.counters["bytes"] = kept;
    state.counters["per_note"] = kept / double(state.range(0));
}
BENCHMARK(ListMemory)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A click on a note of range(0) bytes: until it shows, painted, or (whole) until all of it is in
// the text box, which a long note fills in pieces from the event loop.
void showNote(benchmark::State &state, bool whole)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(10);
    const qlonglong id = db.addNoteWithBody(state.range(0));
    auto w = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        w->ui.noteText->setText(QString());
        state.ResumeTiming();
        w->clickNote(id);
        w->ui.noteText->repaint();
        while (whole && w->ui.noteText->isLoading())
            QCoreApplication::processEvents();
    }
    if (w->ui.noteText->text().size() != state.range(0))
        state.SkipWithError("note not shown");
}

void ShowNote(benchmark::State &state)
{
    showNote(state, false);
}
BENCHMARK(ShowNote)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void ShowNoteWhole(benchmark::State &state)
{
    showNote(state, true);
}
BENCHMARK(ShowNoteWhole)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// The processor time the calling thread has had, in milliseconds.
double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A key typed into a new note of range(0) characters, with what keeping it as a draft costs the
// window: each key is followed by the pause after which the draft is read, in pieces from the
// event loop, and handed to its writing thread, as if the person paused after every key. The time
// is the key's, until it is drawn; longest_turn_ms is the longest the window was busy at one go
// while the draft was read (in processor time), which is the most a key typed meanwhile could
// wait.
void TypeIntoDraft(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(10);
    auto w = openWindow(db);
    w->command(w->ui.newButton);
    const QString line = QStringLiteral("En rad i ett långt utkast, med åäö och lite mer text.\n");
    QString text;
    text.reserve(state.range(0));
    while (text.size() + line.size() <= state.range(0))
        text += line;
    w->ui.noteText->insertPlainText(text); // as a paste gives it
    w->ui.noteText->moveCursor(QTextCursor::End);
    QTimer *pause = w->form.findChild<QTimer *>(QStringLiteral("draftPause"));
    double longestTurn = 0;
    for (auto _ : state) {
        QElapsedTimer key;
        key.start();
        QTest::keyClick(w->ui.noteText, Qt::Key_A);
        w->ui.noteText->viewport()->repaint();
        state.SetIterationTime(static_cast<double>(key.nsecsElapsed()) / 1e9);
        windowtest::tick(pause);
        for (int turn = 0; turn < 64; ++turn) {
            // The window's own thread's processor time: on a shared machine the wall clock also
            // counts the moments the thread waits for a processor.
            const double before = threadMilliseconds();
            QCoreApplication::processEvents();
            longestTurn = std::max(longestTurn, threadMilliseconds() - before);
        }
    }
    state.counters["longest_turn_ms"] = longestTurn;
    w->form.keepDraftNow();
    if (w->ui.noteText->text().size() != text.size() + qsizetype(state.iterations()))
        state.SkipWithError("the keys did not reach the note");
}
BENCHMARK(TypeIntoDraft)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The checks of the database at start: the schema before the window shows (on a thread beside
// building it), then every page read once to refuse a damaged file (right after the first frame,
// before the first list read).
void CheckDatabase(benchmark::State &state)
{
    const bench::BenchDatabase &db
        = bench::BenchDatabase::withNotes(static_cast<int>(state.range(0)));
    const store::NoteStore notes(db.path());
    for (auto _ : state) {
        if (!notes.check() || !notes.checkPages()) {
            state.SkipWithError("the check failed");
            break;
        }
    }
}
BENCHMARK(CheckDatabase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void SaveAt100k(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100000);
    auto w = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        w->ui.menuButton->click();
        w->ui.newButton->click();
        w->ui.noteText->setText(QStringLiteral("Ny anteckning\nmed två rader"));
        w->ui.menuButton->click();
        w->ui.saveButton->click();
        w->ui.titleEdit->setText(QStringLiteral("Mätning"));
        const int before = w->ui.noteList->itemCount();
        state.ResumeTiming();
        w->ui.saveOkButton->click(); // insert, reload the whole list, start a new note
        state.PauseTiming();
        if (w->ui.noteList->itemCount() != before + 1)
            qFatal("SaveAt100k: the note was not saved");
        state.ResumeTiming();
    }
}
BENCHMARK(SaveAt100k)->Unit(benchmark::kMillisecond);

void DeleteAt100k(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100000);
    auto w = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        // A note saved through the window, so that the list holds it.
        w->ui.menuButton->click();
        w->ui.newButton->click();
        w->ui.noteText->setText(QStringLiteral("Att radera"));
        w->ui.menuButton->click();
        w->ui.saveButton->click();
        w->ui.saveOkButton->click();
        w->clickItem(w->ui.noteList->itemCount() - 1);
        w->ui.menuButton->click();
        w->ui.deleteButton->click();
        const int before = w->ui.noteList->itemCount();
        state.ResumeTiming();
        w->ui.deleteYesButton->click(); // delete, reload the whole list, start a new note
        state.PauseTiming();
        if (w->ui.noteList->itemCount() != before - 1)
            qFatal("DeleteAt100k: the note was not deleted");
        state.ResumeTiming();
    }
}
BENCHMARK(DeleteAt100k)->Unit(benchmark::kMillisecond);

// One step of the slide-out or slide-in with a list of range(1) notes, one of whose titles has
// range(0) characters.
void SlideOutTick(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(int(state.range(1)));
    const qlonglong huge = state.range(0) > 0 ? db.addNoteWithTitle(state.range(0)) : 0;
    auto w = openWindow(db);
    const window::Controls &ui = w->ui;
    moveOver(ui.noteList->viewport());
    for (auto _ : state) {
        // Out to the end, then back in as the pointer moves over the note, and out again.
        if (!tick(ui.slideTimer)) {
            moveOver(w->state().listWidth() == window::design::ListSlide.narrow
                         ? ui.noteList->viewport()
                         : ui.noteText->viewport());
        }
        QCoreApplication::processEvents(); // the repaint a tick causes
    }
    if (huge)
        db.removeNote(huge);
}
BENCHMARK(SlideOutTick)
    ->ArgNames({"title", "notes"})
    ->Args({20, 1000})
    ->Args({1 << 20, 20})
    ->Unit(benchmark::kMicrosecond);

// Wall time of a whole slide-out on the real event loop: 25 steps of 10 ms and a stopping tick.
void FullSlideOut(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100);
    auto w = openWindow(db);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        moveOver(w->ui.noteList->viewport());
        while (w->ui.slideTimer->isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        moveOver(w->ui.noteText->viewport());
        windowtest::tickUntilStopped(w->ui.slideTimer);
        state.ResumeTiming();
    }
}
BENCHMARK(FullSlideOut)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// The first unroll after start-up with range(0) notes: the list, hidden while the window was
// rolled up, lays out its rows and paints.
void FirstUnroll(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<BenchWindow>(db);
        // Shown rolled up, its first frame painted and the list read.
        if (!w->start())
            qFatal("the window did not start");
        QCoreApplication::processEvents();
        state.ResumeTiming();
        windowtest::doubleClick(w->ui.titleStrip);
        QCoreApplication::processEvents();
        w->form.repaint();
        // Every row laid out: where the last one is drawn is known.
        benchmark::DoNotOptimize(w->ui.noteList->itemRect(w->ui.noteList->itemCount() - 1));
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(FirstUnroll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Wall time from the pointer leaving the unrolled window to the window rolling itself up.
void AutoHide(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100);
    auto w = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        w->desktop.pointer = windowtest::WindowUnderTest::inside();
        if (w->state().rolledUp())
            windowtest::doubleClick(w->ui.titleStrip);
        // At least one poll inside, then the pointer leaves at a moment that falls anywhere
        // within the poll interval, as a person's would.
        QTest::qWait(600 + static_cast<int>(state.iterations() * 97 % 500));
        w->desktop.pointer = QPoint(5, 600);
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        while (!w->state().rolledUp())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(AutoHide)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    {
        const bench::BenchDatabaseCache databases;
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
