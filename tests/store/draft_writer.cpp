// draft_writer FOLDER SIZE: writes two drafts of SIZE characters each, over and over, into a slot
// of its own in the drafts folder FOLDER, taking over a draft left there first, as a starting
// Zentavo does. The tests kill it at random moments. Both texts are made from SIZE alone, so the
// test makes the same ones.

#include "DraftTexts.h"
#include "store/Drafts.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: draft_writer FOLDER SIZE\n");
        return 1;
    }
    const store::DraftFolder folder(args.at(1));
    const qsizetype size = args.at(2).toLongLong();
    store::Result<store::DraftSlot> slot = store::DraftSlot::claim(folder);
    if (!slot) {
        std::fprintf(stderr, "%s\n", slot.error().message().toUtf8().constData());
        return 1;
    }
    const store::Draft drafts[] = {drafttest::draftText(0, size), drafttest::draftText(1, size)};
    for (unsigned round = 0;; ++round) {
        if (const store::Result<store::Done> written = slot->write(drafts[round % 2]); !written) {
            std::fprintf(stderr, "%s\n", written.error().message().toUtf8().constData());
            return 1;
        }
        std::fputs("written\n", stdout);
        std::fflush(stdout);
    }
}
