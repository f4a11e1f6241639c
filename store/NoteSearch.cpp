#include "NoteSearch.h"

#include "Session.h"
#include "Statements.h"
#include "TextEncoding.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <optional>
#include <span>
#include <thread>

namespace store {

namespace {

// Past this many notes asked for, forEachNoteOf reads every note once instead of each by its ID.
constexpr std::size_t ManyNotes = 2000;

const QString &searchHeadline()
{
    static const QString headline = QStringLiteral("Anteckningarna kunde inte sökas igenom.");
    return headline;
}

// Reads the notes of `ids` (in ID order) in one pass over every note from the first to the
// last of them: many notes are read faster so than one by one.
Result<Done> readInOnePass(const Session &session, std::span<const qint64> ids,
                           const std::function<bool(const Note &)> &take)
{
    QSqlQuery rows(session.database());
    rows.setForwardOnly(true);
    if (!rows.prepare(SelectNotesWholeBetween))
        return session.describe(rows.lastError());
    rows.addBindValue(ids.front());
    rows.addBindValue(ids.back());
    if (!rows.exec())
        return session.describe(rows.lastError());
    auto next = ids.begin();
    while (next != ids.end() && rows.next()) {
        const qint64 id = rows.value(0).toLongLong();
        next = std::lower_bound(next, ids.end(), id);
        if (next == ids.end() || *next != id)
            continue;
        const Note note{id, decodeText(session.encoding(), rows.value(1).toByteArray()),
                        decodeText(session.encoding(), rows.value(2).toByteArray())};
        if (!take(note))
            return Done{};
    }
    if (rows.lastError().isValid())
        return session.describe(rows.lastError());
    return Done{};
}

} // namespace

NoteSearch::NoteSearch(const QString &databasePath)
    : NoteSearch(databasePath, searchIndexPath(databasePath))
{}

NoteSearch::NoteSearch(QString databasePath, const QString &indexPath)
    : m_databasePath(std::move(databasePath))
    , m_index(m_databasePath, indexPath)
{}

IndexState NoteSearch::catchUp() const
{
    return catchUpSearchIndex(m_databasePath, m_index.path());
}

Result<std::vector<qint64>> NoteSearch::find(const SearchQuery &query)
{
    if (query.isEmpty())
        return std::vector<qint64>{};
    if (const std::optional<IndexCandidates> candidates = m_index.candidates(query))
        return checked(query, *candidates);
    return readEveryNote(query);
}

Result<std::vector<qint64>> NoteSearch::checked(const SearchQuery &query,
                                                const IndexCandidates &candidates) const
{
    std::vector<qint64> toRead;
    for (const qint64 id : candidates.ids) {
        if (candidates.checkAll
            || std::binary_search(candidates.check.begin(), candidates.check.end(), id))
            toRead.push_back(id);
    }
    if (toRead.empty())
        return candidates.ids;
    std::vector<qint64> matching;
    const Result<Done> read = forEachNoteOf(toRead, [&](const Note &note) {
        if (query.matches(note.title, note.text))
            matching.push_back(note.id);
        return true;
    });
    if (!read)
        return read.error();
    std::vector<qint64> found;
    found.reserve(candidates.ids.size());
    for (const qint64 id : candidates.ids) {
        const bool read = std::binary_search(toRead.begin(), toRead.end(), id);
        if (!read || std::binary_search(matching.begin(), matching.end(), id))
            found.push_back(id);
    }
    return found;
}

Result<std::vector<qint64>> NoteSearch::readEveryNote(const SearchQuery &query) const
{
    const Session session(m_databasePath, searchHeadline());
    if (session.failure())
        return *session.failure();
    QSqlQuery rows(session.database());
    rows.setForwardOnly(true);
    if (!rows.exec(SelectAllNotesWhole))
        return session.describe(rows.lastError());
    std::vector<qint64> found;
    while (rows.next()) {
        const QString folded
            = foldedForSearch(decodeText(session.encoding(), rows.value(1).toByteArray()))
              + QLatin1Char(' ')
              + foldedForSearch(decodeText(session.encoding(), rows.value(2).toByteArray()));
        if (query.matchesFolded(folded))
            found.push_back(rows.value(0).toLongLong());
    }
    if (rows.lastError().isValid())
        return session.describe(rows.lastError());
    return found;
}

Result<Done> NoteSearch::forEachNoteOf(const std::vector<qint64> &ids,
                                       const std::function<bool(const Note &)> &take) const
{
    const Session session(m_databasePath, searchHeadline());
    if (session.failure())
        return *session.failure();
    if (ids.size() > ManyNotes && std::is_sorted(ids.begin(), ids.end()))
        return readInOnePass(session, ids, take);
    QSqlQuery read(session.database());
    if (!read.prepare(SelectOneNote))
        return session.describe(read.lastError());
    // One read transaction: the notes of one moment.
    QSqlQuery(session.database()).exec(BeginRead);
    for (const qint64 id : ids) {
        read.bindValue(0, id);
        if (!read.exec())
            return session.describe(read.lastError());
        if (!read.next())
            continue;
        const Note note{id, decodeText(session.encoding(), read.value(0).toByteArray()),
                        decodeText(session.encoding(), read.value(1).toByteArray())};
        if (!take(note))
            break;
    }
    read.finish();
    QSqlQuery(session.database()).exec(CommitWrite);
    return Done{};
}

Result<Done>
NoteSearch::forEachNoteOfInParts(const std::vector<qint64> &ids, int parts,
                                 const std::function<void(int, const Note &)> &take) const
{
    const std::size_t count
        = std::clamp<std::size_t>(ids.size() / ManyNotes, 1, std::size_t(std::max(parts, 1)));
    if (count == 1 || !std::is_sorted(ids.begin(), ids.end())) {
        return forEachNoteOf(ids, [&take](const Note &note) {
            take(0, note);
            return true;
        });
    }
    std::vector<std::optional<StoreError>> failures(count);
    const auto readPart = [&](std::size_t part) {
        const std::span<const qint64> mine(ids.data() + ids.size() * part / count,
                                           ids.data() + ids.size() * (part + 1) / count);
        const Session session(m_databasePath, searchHeadline());
        const Result<Done> read = session.failure()
                                      ? Result<Done>(*session.failure())
                                      : readInOnePass(session, mine, [&](const Note &note) {
                                            take(int(part), note);
                                            return true;
                                        });
        if (!read)
            failures[part] = read.error();
    };
    {
        std::vector<std::jthread> others;
        for (std::size_t part = 1; part < count; ++part)
            others.emplace_back(readPart, part);
        readPart(0);
    }
    for (const std::optional<StoreError> &failure : failures) {
        if (failure)
            return *failure;
    }
    return Done{};
}

} // namespace store
