// The drafts commands of zentavo-notes: the notes Zentavo was writing when it ended without
// saving them, listed, and stored as notes.

#include "NotesTool.h"
#include "store/Drafts.h"
#include "store/NoteStore.h"

namespace notestool {

QString draftTitle(const store::Draft &draft)
{
    if (draft.title && !draft.title->isEmpty())
        return *draft.title;
    qsizetype lineEnd = 0;
    while (lineEnd < draft.text.size() && draft.text.at(lineEnd) != u'\n'
           && draft.text.at(lineEnd) != u'\r')
        ++lineEnd;
    return draft.text.left(lineEnd);
}

int listDrafts(const QString &database)
{
    const store::Result<std::vector<store::DraftFolder::Entry>> drafts
        = store::DraftFolder::forDatabase(database).list();
    if (!drafts)
        return complain(drafts.error().message());
    for (const store::DraftFolder::Entry &entry : *drafts) {
        if (!entry.draft) {
            say(QStringLiteral("oläsbart\t%1\n").arg(entry.file));
            continue;
        }
        const QString state = entry.stored          ? QStringLiteral("sparat")
                              : entry.otherDatabase ? QStringLiteral("annan databas")
                              : entry.waiting       ? QStringLiteral("väntar")
                                                    : QStringLiteral("öppet");
        say(QStringLiteral("%1\t%2\t%3 tecken\n")
                .arg(state, escapedTitle(draftTitle(*entry.draft)))
                .arg(entry.draft->text.size()));
    }
    return Done;
}

int saveDrafts(const QString &database)
{
    const store::DraftFolder folder = store::DraftFolder::forDatabase(database);
    const store::Result<std::vector<store::DraftFolder::Entry>> drafts = folder.list();
    if (!drafts)
        return complain(drafts.error().message());
    const store::NoteStore notes(database);
    int status = Done;
    for (const store::DraftFolder::Entry &entry : *drafts) {
        if (!entry.waiting)
            continue; // its program runs and keeps it
        store::Result<store::DraftSlot> slot = store::DraftSlot::takeWaiting(folder, entry.file);
        if (!slot || !slot->restored()) {
            status = complain(slot ? QStringLiteral("%1: utkastet är tomt").arg(entry.file)
                                   : slot.error().message());
            continue;
        }
        // Marked before it is stored, so that it is never stored twice; a draft that cannot be
        // marked could not be removed afterwards, and is not stored.
        if (const store::Result<store::Done> marked = slot->markStoring(); !marked) {
            status = complain(marked.error().message());
            continue;
        }
        const store::Draft &draft = *slot->restored();
        const store::Result<qint64> saved = notes.insertNote(draftTitle(draft), draft.text);
        if (!saved) {
            // The draft stays where it was, for the next try.
            (void)slot->unmarkStoring();
            status = complain(saved.error().message());
            continue;
        }
        say(QStringLiteral("%1\t%2\n").arg(*saved).arg(escapedTitle(draftTitle(draft))));
        if (const store::Result<store::Done> removed = slot->remove(); !removed) {
            status = complain(QStringLiteral("Anteckningen sparades med ID %1, men utkastet kunde "
                                             "inte tas bort. Det är märkt som sparat och sparas "
                                             "eller återställs aldrig igen; ta bort filen.\n%2")
                                  .arg(*saved)
                                  .arg(removed.error().message()));
        }
        slot->release();
    }
    return status;
}

} // namespace notestool
