#include "NotesTool.h"

#include "store/NoteSearch.h"

#include <cstdio>

namespace notestool {

int searchNotes(const QString &database, const QStringList &words)
{
    store::NoteSearch search(database);
    // Up to date first, so that this and later searches read the index; without an index (a
    // cache folder that cannot be written) the notes are read instead, to the same answer.
    search.catchUp();
    const store::SearchQuery query(words.join(QLatin1Char(' ')));
    const store::Result<std::vector<qint64>> found = search.find(query);
    if (!found) {
        std::fprintf(stderr, "zentavo-notes: %s\n", found.error().message().toUtf8().constData());
        return CannotUse;
    }
    QByteArray lines;
    const store::Result<store::Done> read
        = search.forEachNoteOf(*found, [&](const store::Note &note) {
              lines += QByteArray::number(note.id) + '\t' + escapedTitle(note.title).toUtf8() + '\t'
                       + escapedTitle(store::lineAroundFirstHit(query, note.text)).toUtf8() + '\n';
              if (lines.size() > 1 << 16) {
                  std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
                  lines.clear();
              }
              return true;
          });
    std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
    if (!read) {
        std::fprintf(stderr, "zentavo-notes: %s\n", read.error().message().toUtf8().constData());
        return CannotUse;
    }
    return std::fflush(stdout) == 0 ? Done : CannotUse;
}

} // namespace notestool
