// Benchmarks of the store and the note window on real SQLite files, with the real widgets on
// Qt's offscreen platform, and the timing of the slide-out and the auto-hide on the real event
// loop. Run: build/bench/zentavo_bench (see docs/PERFORMANCE.md).

#include "BenchDatabase.h"
#include "runtime/Cursor.h"
#include "runtime/ErrorReport.h"
#include "store/NoteStore.h"
#include "window/NoteWindow.h"
#include "window/controls/CheckBox.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>

namespace {

void failOnReport(const QString &message)
{
    qFatal("unexpected error report: %s", qPrintable(message));
}

// A loaded, shown and unrolled note window over the given database.
std::unique_ptr<window::NoteWindow> openWindow(bench::BenchDatabase &db)
{
    db.makeCurrent();
    auto form = std::make_unique<window::NoteWindow>();
    if (!form->load())
        qFatal("Load failed");
    form->show();
    form->toggleRolledUp();
    QCoreApplication::processEvents();
    return form;
}

void ReloadList(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(static_cast<int>(state.range(0)));
    auto form = openWindow(db);
    const store::NoteStore notes(db.path());
    // What the window does on a reload: read every ID and title, then hand them to the list.
    for (auto _ : state) {
        store::Result<store::NoteList> listed = notes.listNotes();
        if (!listed) {
            state.SkipWithError("listing failed");
            break;
        }
        store::NoteList::Parts parts = std::move(*listed).release();
        form->noteList->adoptItems(std::move(parts.ids), std::move(parts.starts),
                                   std::move(parts.titles));
    }
    state.counters["notes"] = static_cast<double>(form->noteList->itemCount());
}
BENCHMARK(ReloadList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The heap the note list keeps for range(0) notes once it is laid out and shown unrolled, read
// from the allocator: bytes in use with the list filled, less bytes in use with it empty.
void ListMemory(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(static_cast<int>(state.range(0)));
    auto form = openWindow(db);
    const store::NoteStore notes(db.path());
    double kept = 0;
    for (auto _ : state) {
        form->noteList->clearItems();
        QCoreApplication::processEvents();
        const std::size_t empty = ::mallinfo2().uordblks;
        store::Result<store::NoteList> listed = notes.listNotes();
        store::NoteList::Parts parts = std::move(*listed).release();
        form->noteList->adoptItems(std::move(parts.ids), std::move(parts.starts),
                                   std::move(parts.titles));
        form->noteList->setWidth(2700);
        form->noteList->setColumnHeaderWidth(2340);
        QCoreApplication::processEvents();
        form->noteList->repaint();
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
    auto form = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        form->noteText->setText(QString());
        state.ResumeTiming();
        form->showNote(id);
        form->noteText->repaint();
        while (whole && form->noteText->isLoading())
            QCoreApplication::processEvents();
    }
    if (form->noteText->text().size() != state.range(0))
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

void SaveAt100k(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100000);
    auto form = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        form->newNote();
        form->noteText->setText(QStringLiteral("Ny anteckning\nmed två rader"));
        form->titleEdit->setText(QStringLiteral("Mätning"));
        form->askTitle();
        state.ResumeTiming();
        form->saveNote(); // insert, reload the whole list, start a new note
    }
}
BENCHMARK(SaveAt100k)->Unit(benchmark::kMillisecond);

void DeleteAt100k(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100000);
    auto form = openWindow(db);
    for (auto _ : state) {
        state.PauseTiming();
        const qlonglong id = db.addNoteWithBody(64);
        form->showNote(id);
        form->askDelete();
        state.ResumeTiming();
        form->deleteNote(); // delete, reload the whole list, start a new note
    }
}
BENCHMARK(DeleteAt100k)->Unit(benchmark::kMillisecond);

// One step of the slide-out or slide-in with a list of range(1) notes, one of whose titles has
// range(0) characters.
void SlideOutTick(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(int(state.range(1)));
    const qlonglong huge = state.range(0) > 0 ? db.addNoteWithTitle(state.range(0)) : 0;
    auto form = openWindow(db);
    form->noteList->setColumnHeaderWidth(0);
    bool widening = true;
    for (auto _ : state) {
        if (widening)
            form->widenStep();
        else
            form->narrowStep();
        if (form->noteList->Width() == 2700)
            widening = false;
        else if (form->noteList->Width() == 200)
            widening = true;
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
    auto form = openWindow(db);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        form->startWidening();
        while (form->widenTimer->Enabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        form->widenTimer->setEnabled(false);
        form->noteList->setWidth(200);
        state.ResumeTiming();
    }
}
BENCHMARK(FullSlideOut)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Wall time from the pointer leaving the unrolled window to the window rolling itself up.
void AutoHide(benchmark::State &state)
{
    bench::BenchDatabase &db = bench::BenchDatabase::withNotes(100);
    auto form = openWindow(db);
    bool pointerOutside = false;
    runtime::setCursorPosForTesting([&pointerOutside] {
        return std::optional<QPoint>(pointerOutside ? QPoint(5, 600) : QPoint(500, 5));
    });
    for (auto _ : state) {
        state.PauseTiming();
        pointerOutside = false;
        if (form->Height() != 4335)
            form->toggleRolledUp();
        // At least one poll inside, then the pointer leaves at a moment that falls anywhere
        // within the poll interval, as a person's would.
        QTest::qWait(600 + static_cast<int>(state.iterations() * 97 % 500));
        pointerOutside = true;
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        while (form->Height() == 4335)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    runtime::setCursorPosForTesting({});
}
BENCHMARK(AutoHide)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    runtime::setErrorSinkForTesting(failOnReport);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    {
        const bench::BenchDatabaseCache databases;
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    runtime::setErrorSinkForTesting({});
    return 0;
}
