#include "NotesTool.h"

#include "store/NoteSearch.h"

#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace notestool {

int searchNotes(const QString &database, const QStringList &words)
{
    store::NoteSearch search(database);
    // Up to date first, so that this and later searches read the index; without an index (a
    // cache folder that cannot be written) the notes are read instead, to the same answer. The
    // look at whether it is up to date is the search's own, on the connection it reads with.
    if (!search.indexIsCurrent())
        search.catchUp();
    const store::SearchQuery query(words.join(QLatin1Char(' ')));
    const store::Result<std::vector<qint64>> found = search.find(query);
    if (!found) {
        std::fprintf(stderr, "zentavo-notes: %s\n", found.error().message().toUtf8().constData());
        return CannotUse;
    }
    // Each part of the notes is described on a thread of its own, in chunks that are never
    // copied to grow: the first part's go out as they fill, the others' once the parts before
    // them are out.
    constexpr qsizetype ChunkBytes = 1 << 16;
    const int parts = std::clamp(QThread::idealThreadCount(), 1, 4);
    std::vector<std::vector<QByteArray>> chunks(static_cast<std::size_t>(parts));
    const auto writeOut = [](const QByteArray &bytes) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    };
    const store::Result<store::Done> read = search.forEachFoundInParts(
        *found, query, parts, [&](int part, const store::FoundNote &note) {
            std::vector<QByteArray> &mine = chunks[std::size_t(part)];
            if (mine.empty() || mine.back().size() > ChunkBytes) {
                if (part == 0 && !mine.empty()) {
                    writeOut(mine.back());
                    mine.back().resize(0);
                } else {
                    mine.emplace_back().reserve(ChunkBytes + 1024);
                }
            }
            QByteArray &to = mine.back();
            to.append(QByteArray::number(note.id)).append('\t');
            to.append(escapedTitle(note.title).toUtf8()).append('\t');
            to.append(escapedTitle(note.line).toUtf8()).append('\n');
        });
    for (const std::vector<QByteArray> &part : chunks)
        std::for_each(part.begin(), part.end(), writeOut);
    if (!read) {
        std::fprintf(stderr, "zentavo-notes: %s\n", read.error().message().toUtf8().constData());
        return CannotUse;
    }
    return Done;
}

} // namespace notestool
