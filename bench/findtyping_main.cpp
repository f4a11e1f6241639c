// Typing into the find box never waits for a search: the real note window on Qt's offscreen
// platform over a database of kilobyte notes, the find panel opened with Ctrl+F and a word typed
// into it a key at a time, a key every --interval ms as a quick typist types, the event loop
// running between the keys. Measured on the window's thread: how long each key press keeps the
// event loop (handled and the window's state drawn), the longest turn of any other kind
// meanwhile (the notes found drawn into the list, a repaint), how long the notes found for the
// whole word take after its last key, and how many of the searches the keys asked for ran and
// how many were dropped, overtaken by a later key. The index is up to date beforehand
// (--index current) or missing, made on a thread while the person types (--index missing).
//
// usage: zentavo-findtyping [--notes N] [--index current|missing] [--interval MS] [--rounds R]
//                           [--word WORD]
// Prints the figures; ends with 1 when the window reported an error or an answer never came.

#include "BenchDatabase.h"
#include "WindowTestSupport.h"
#include "store/NoteSearch.h"
#include "store/SearchIndex.h"
#include "window/NoteFinder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

// The processor time the calling thread has had, in milliseconds.
double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The application, timing every event its own thread's event loop hands out at the outermost
// level: one turn of the loop each.
class TimedApplication final : public QApplication
{
public:
    using QApplication::QApplication;

    struct Turn
    {
        double ms;
        double processorMs;
        QEvent::Type type;
    };

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_depth > 0 || !m_recording || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        const QEvent::Type type = event->type(); // the event may not outlive its delivery
        ++m_depth;
        QElapsedTimer clock;
        clock.start();
        const double processor = threadMilliseconds();
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        turns.push_back(
            {double(clock.nsecsElapsed()) / 1e6, threadMilliseconds() - processor, type});
        return handled;
    }
    void record(bool on) { m_recording = on; }

    std::vector<Turn> turns;

private:
    int m_depth = 0;
    bool m_recording = false;
};

// Lets the event loop run for `ms` milliseconds, or until `done` says so (asked every few
// milliseconds); returns whether `done` came.
template<typename Done>
bool runLoop(int ms, Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(std::max<qint64>(1, std::min<qint64>(5, ms - clock.elapsed())), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double largest(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's search index goes to a cache folder of the run's own.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    TimedApplication app(argc, argv);

    QCommandLineParser options;
    options.addHelpOption();
    options.addOptions({{QStringLiteral("notes"), QStringLiteral("Notes of a kilobyte."),
                         QStringLiteral("N"), QStringLiteral("10000")},
                        {QStringLiteral("index"), QStringLiteral("current or missing."),
                         QStringLiteral("STATE"), QStringLiteral("current")},
                        {QStringLiteral("interval"), QStringLiteral("Milliseconds between keys."),
                         QStringLiteral("MS"), QStringLiteral("40")},
                        {QStringLiteral("rounds"), QStringLiteral("Times the word is typed."),
                         QStringLiteral("R"), QStringLiteral("5")},
                        {QStringLiteral("word"), QStringLiteral("What is typed."),
                         QStringLiteral("WORD"), QStringLiteral("kund4711")}});
    options.process(app);
    const int notes = options.value(QStringLiteral("notes")).toInt();
    const bool indexed = options.value(QStringLiteral("index")) == QLatin1String("current");
    const int interval = options.value(QStringLiteral("interval")).toInt();
    const int rounds = options.value(QStringLiteral("rounds")).toInt();
    const QString word = options.value(QStringLiteral("word"));
    if (notes <= 0 || interval <= 0 || rounds <= 0 || word.isEmpty()
        || (!indexed && options.value(QStringLiteral("index")) != QLatin1String("missing"))) {
        std::fprintf(stderr, "zentavo-findtyping: bad option; see --help\n");
        return 1;
    }

    const bench::BenchDatabase db(notes, bench::Bodies::Kilobyte);
    if (indexed) {
        // Dated a while back, so that the index may vouch for the file as it is at once.
        const timespec times[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(db.path()).constData(), times, 0);
        if (store::catchUpSearchIndex(db.path(), store::searchIndexPath(db.path()))
            != store::IndexState::Current) {
            std::fprintf(stderr, "zentavo-findtyping: the index could not be made\n");
            return 1;
        }
    }

    windowtest::WindowUnderTest shown(store::NoteStore(db.path()));
    shown.desktop.pointer = windowtest::WindowUnderTest::inside();
    if (!shown.startUnrolled()) {
        std::fprintf(stderr, "zentavo-findtyping: the window did not start\n");
        return 1;
    }
    auto *finder = shown.form.findChild<window::NoteFinder *>();
    int answers = 0;
    QString lastAnswer;
    QElapsedTimer clock;
    clock.start();
    qint64 answerAt = 0;
    QObject::connect(finder, &window::NoteFinder::found,
                     [&](const QString &typed, const std::vector<qint64> &) {
                         ++answers;
                         lastAnswer = typed;
                         answerAt = clock.nsecsElapsed();
                     });
    QObject::connect(finder, &window::NoteFinder::failed, [&] { ++answers; });

    std::vector<double> keyWall;
    std::vector<double> keyProcessor;
    std::vector<double> toAnswer;
    int keysTyped = 0;
    const quint64 ranBefore = finder->searchesRun();
    bool answered = true;
    app.record(true);
    for (int round = 0; round < rounds && answered; ++round) {
        QTest::keyClick(shown.ui.noteText, Qt::Key_F, Qt::ControlModifier);
        lastAnswer.clear();
        qint64 lastKeyAt = 0;
        for (const QChar key : word) {
            const std::size_t before = app.turns.size();
            lastKeyAt = clock.nsecsElapsed();
            const double processor = threadMilliseconds();
            QTest::keyPress(shown.ui.findEdit, key.toLatin1());
            keyProcessor.push_back(threadMilliseconds() - processor);
            // The press was one turn of its own (with its shortcut check): not among the others.
            double wall = 0;
            for (std::size_t turn = before; turn < app.turns.size(); ++turn)
                wall += app.turns[turn].ms;
            app.turns.resize(before);
            keyWall.push_back(wall);
            QTest::keyRelease(shown.ui.findEdit, key.toLatin1());
            ++keysTyped;
            if (keysTyped % word.size() != 0)
                runLoop(interval, [] { return false; });
        }
        answered = runLoop(120000, [&] { return lastAnswer == word; });
        toAnswer.push_back(double(answerAt - lastKeyAt) / 1e6);
        runLoop(50, [] { return false; }); // the answer drawn
        QTest::keyClick(shown.ui.findEdit, Qt::Key_Escape);
    }
    app.record(false);

    const quint64 ran = finder->searchesRun() - ranBefore;
    // The other turns: the longest by the clock and by the processor (on a shared machine the
    // clock also counts the moments the thread waits for a processor), and how many took longer
    // than a frame.
    const TimedApplication::Turn none{0, 0, QEvent::None};
    const TimedApplication::Turn *longestWall = &none;
    const TimedApplication::Turn *longestProcessor = &none;
    int overFrameWall = 0;
    int overFrameProcessor = 0;
    for (const TimedApplication::Turn &turn : app.turns) {
        overFrameWall += turn.ms > 16 ? 1 : 0;
        overFrameProcessor += turn.processorMs > 16 ? 1 : 0;
        if (turn.ms > longestWall->ms)
            longestWall = &turn;
        if (turn.processorMs > longestProcessor->processorMs)
            longestProcessor = &turn;
    }
    const QMetaEnum typeName = QMetaEnum::fromType<QEvent::Type>();
    std::printf("%d notes, index %s, a key every %d ms, \"%s\" typed in %d rounds\n", notes,
                indexed ? "up to date" : "missing (made while typing)", interval, qPrintable(word),
                rounds);
    std::printf("  key press handled:   median %.2f ms, max %.2f ms wall; median %.2f ms, "
                "max %.2f ms processor; %d keys\n",
                median(keyWall), largest(keyWall), median(keyProcessor), largest(keyProcessor),
                keysTyped);
    std::printf("  other turns:         %zu; longest %.2f ms wall (%s, %.2f ms processor), "
                "longest %.2f ms processor (%s); over 16 ms: %d wall, %d processor\n",
                app.turns.size(), longestWall->ms, typeName.valueToKey(longestWall->type),
                longestWall->processorMs, longestProcessor->processorMs,
                typeName.valueToKey(longestProcessor->type), overFrameWall, overFrameProcessor);
    std::printf("  last key to answer:  median %.1f ms, max %.1f ms\n", median(toAnswer),
                largest(toAnswer));
    std::printf("  searches:            %d asked, %llu ran, %llu dropped before they began, "
                "%llu answers dropped, %d answers handed to the window\n",
                keysTyped, static_cast<unsigned long long>(ran),
                static_cast<unsigned long long>(quint64(keysTyped) - ran),
                static_cast<unsigned long long>(ran - quint64(answers)), answers);
    if (!answered)
        std::fprintf(stderr, "zentavo-findtyping: the notes found for \"%s\" never came\n",
                     qPrintable(word));
    if (!shown.desktop.reports.isEmpty())
        std::fprintf(stderr, "zentavo-findtyping: error report: %s\n",
                     qPrintable(shown.desktop.reports.first()));
    return answered && shown.desktop.reports.isEmpty() ? 0 : 1;
}
