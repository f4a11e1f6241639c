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

QString searchHeadline()
{
    return QStringLiteral("Anteckningarna kunde inte sökas igenom.");
}

// A long text in UTF-8 is first decoded only this far: the line around a hit near its beginning
// is found without the rest.
constexpr qsizetype BeginningBytes = 384;

// A row of the notes as stored, before its title and text are decoded.
using TakeRow = std::function<bool(qint64 id, const QByteArray &title, const QByteArray &text)>;

// Reads the notes of `ids` (in ID order) in one pass over every note from the first to the
// last of them: many notes are read faster so than one by one.
Result<Done> readInOnePass(const Session &session, std::span<const qint64> ids, const TakeRow &take)
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
        if (!take(id, rows.value(1).toByteArray(), rows.value(2).toByteArray()))
            return Done{};
    }
    if (rows.lastError().isValid())
        return session.describe(rows.lastError());
    return Done{};
}

// The line around the first hit of `query` in a stored text, decoding a long UTF-8 text's
// beginning first, cut before a character's first byte, and the whole only when needed.
QString foundLine(const SearchQuery &query, TextEncoding encoding, const QByteArray &text)
{
    if (encoding == TextEncoding::Utf8 && text.size() > 2 * BeginningBytes) {
        qsizetype cut = BeginningBytes;
        while (cut > 0 && (text[cut] & 0xC0) == 0x80)
            --cut;
        if (std::optional<QString> line = lineAroundFirstHitInBeginning(
                query, decodeText(encoding, QByteArray::fromRawData(text.constData(), cut))))
            return *std::move(line);
    }
    return lineAroundFirstHit(query, decodeText(encoding, text));
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
    if (ids.size() > ManyNotes && std::is_sorted(ids.begin(), ids.end())) {
        return readInOnePass(session, ids,
                             [&](qint64 id, const QByteArray &title, const QByteArray &text) {
                                 return take(Note{id, decodeText(session.encoding(), title),
                                                  decodeText(session.encoding(), text)});
                             });
    }
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
NoteSearch::forEachFoundInParts(const std::vector<qint64> &ids, const SearchQuery &query, int parts,
                                const std::function<void(int, const FoundNote &)> &take) const
{
    const std::size_t count
        = std::clamp<std::size_t>(ids.size() / ManyNotes, 1, std::size_t(std::max(parts, 1)));
    if (count == 1 || !std::is_sorted(ids.begin(), ids.end())) {
        return forEachNoteOf(ids, [&](const Note &note) {
            take(0, FoundNote{note.id, note.title, lineAroundFirstHit(query, note.text)});
            return true;
        });
    }
    std::vector<std::optional<StoreError>> failures(count);
    const auto readPart = [&](std::size_t part) {
        const std::span<const qint64> mine(ids.data() + ids.size() * part / count,
                                           ids.data() + ids.size() * (part + 1) / count);
        const Session session(m_databasePath, searchHeadline());
        if (session.failure()) {
            failures[part] = session.failure();
            return;
        }
        const Result<Done> read = readInOnePass(
            session, mine, [&](qint64 id, const QByteArray &title, const QByteArray &text) {
                take(int(part), FoundNote{id, decodeText(session.encoding(), title),
                                          foundLine(query, session.encoding(), text)});
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
