// Runs sync rounds on one database without end, for the test that kills it at random moments:
// before each round it saves a note, and every other round it deletes, through Zentavo, the note
// it saved before; a line on standard output after each round.
// Usage: sync_driver DATABASE RUN

#include "store/NoteStore.h"
#include "store/Sync.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 1;
    const store::NoteStore notes(arguments[1]);
    std::optional<store::Note> last;
    for (int step = 0;; ++step) {
        const store::Note saved{0, QStringLiteral("körning %1 steg %2").arg(arguments[2]).arg(step),
                                QStringLiteral("text\r\n")};
        const store::Result<qint64> id = notes.insertNote(saved.title, saved.text);
        if (!id)
            return 2;
        if (last && step % 2 == 0 && !store::deleteSyncedNote(arguments[1], *last))
            return 3;
        last = store::Note{*id, saved.title, saved.text};
        if (const store::Result<store::SyncReport> report = store::syncRound(arguments[1]);
            !report) {
            std::fprintf(stderr, "%s\n", qPrintable(report.error().message()));
            return 4;
        }
        std::printf("%d\n", step);
        std::fflush(stdout);
    }
}
