#include "NoteStore.h"

#include "Session.h"
#include "Statements.h"
#include "WriteCheck.h"

#include <QSqlError>
#include <QSqlQuery>
#include <limits>
#include <optional>

namespace store {

namespace {

QString listHeadline()
{
    return QStringLiteral("Anteckningslistan kunde inte läsas.");
}
QString showHeadline()
{
    return QStringLiteral("Anteckningen kunde inte visas.");
}
QString saveHeadline()
{
    return QStringLiteral("Anteckningen kunde inte sparas.");
}
QString deleteHeadline()
{
    return QStringLiteral("Anteckningen kunde inte raderas.");
}

StoreError noteGone(const Session &session, const QString &headline, qint64 id,
                    const QString &remedy)
{
    return StoreError{headline, session.path(),
                      QStringLiteral("anteckningen (nummer %1) finns inte längre; den har "
                                     "raderats någon annanstans")
                          .arg(id),
                      remedy, StoreError::Kind::NoteGone};
}

// A write transaction, taken at once so that what is checked is what is written, and rolled
// back on every path that does not commit it.
class WriteTransaction
{
public:
    explicit WriteTransaction(const Session &session)
        : m_session(session)
    {}
    ~WriteTransaction()
    {
        if (m_open)
            QSqlQuery(m_session.database()).exec(RollbackWrite);
    }
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    std::optional<StoreError> begin()
    {
        QSqlQuery query(m_session.database());
        if (!run(query, BeginWrite))
            return m_session.describe(query.lastError());
        m_open = true;
        return std::nullopt;
    }
    std::optional<StoreError> commit()
    {
        QSqlQuery query(m_session.database());
        if (!run(query, CommitWrite))
            return m_session.describe(query.lastError());
        m_open = false;
        return std::nullopt;
    }

private:
    const Session &m_session;
    bool m_open = false;
};

// The highest ID an AUTOINCREMENT table has handed out; none for a table without one.
std::optional<qint64> idCounter(const Session &session)
{
    QSqlQuery counter(session.database());
    if (!run(counter, SelectIdCounter) || !counter.next())
        return std::nullopt;
    return counter.value(0).toLongLong();
}

// An insert that failed: SQLite says "database or disk is full" also when an AUTOINCREMENT
// table has handed out its last ID, even after that note has been deleted.
StoreError insertFailed(const Session &session, const QSqlError &failure)
{
    StoreError error = session.describe(failure);
    if (idCounter(session) == std::numeric_limits<qint64>::max()) {
        error.cause = QStringLiteral("anteckningsnumren är slut: databasen har redan delat ut "
                                     "det högsta ID som går (%1), och ett nummer delas aldrig "
                                     "ut två gånger")
                          .arg(std::numeric_limits<qint64>::max());
        error.remedy = QStringLiteral("Ingenting sparades. Skapa en ny databas med zentavo-newdb "
                                      "och spara nya "
                                      "anteckningar där; den här filen går fortfarande att läsa.");
    }
    return error;
}

// Whether SQLite refused a statement because the file is damaged.
bool isDamage(const QSqlError &error)
{
    constexpr int Corrupt = 11;
    constexpr int NotADatabase = 26;
    const int primary = error.nativeErrorCode().toInt() & 0xff;
    return primary == Corrupt || primary == NotADatabase;
}

StoreError damaged(const Session &session, const QString &what)
{
    return StoreError{
        session.headline(), session.path(), QStringLiteral("filen är skadad (%1)").arg(what),
        QStringLiteral("Zentavo öppnar inte en skadad fil, så att ingenting skrivs i den. Stäng "
                       "Zentavo och kopiera en säkerhetskopia (gjord med zentavo-notes backup) "
                       "över filen. Finns ingen: flytta undan filen och skapa en tom databas "
                       "med: zentavo-newdb \"%1\"")
            .arg(session.path())};
}

} // namespace

void NoteList::append(qint64 id, QByteArrayView utf8Title)
{
    m_ids.push_back(id);
    m_titles += utf8Title;
    m_starts.push_back(m_titles.size());
}

void NoteList::append(qint64 id, const QString &title)
{
    append(id, QByteArrayView(title.toUtf8()));
}

void NoteList::reserve(qint64 notes, qint64 titleBytes)
{
    m_ids.reserve(std::size_t(notes));
    m_starts.reserve(std::size_t(notes) + 1);
    m_titles.reserve(qsizetype(titleBytes));
}

QByteArrayView NoteList::utf8Title(std::size_t index) const
{
    const qsizetype start = m_starts[index];
    return QByteArrayView(m_titles).sliced(start, m_starts[index + 1] - start);
}

NoteEntry NoteList::at(std::size_t index) const
{
    return {m_ids[index], decodeText(TextEncoding::Utf8, utf8Title(index).toByteArray())};
}

void NoteList::squeeze()
{
    m_ids.shrink_to_fit();
    m_starts.shrink_to_fit();
    m_titles.squeeze();
}

Result<Done> NoteStore::check() const
{
    const Session session(m_path, QStringLiteral("Anteckningsdatabasen kunde inte öppnas."));
    if (session.failure())
        return *session.failure();
    return Done{};
}

Result<Done> NoteStore::checkPages() const
{
    const Session session(m_path, QStringLiteral("Anteckningsdatabasen kunde inte öppnas."));
    if (session.failure())
        return *session.failure();
    // A file whose schema reads but whose note pages are damaged is refused, wherever the damage
    // lies, not only where a list read happens to meet it.
    QSqlQuery pages(session.database());
    pages.setForwardOnly(true);
    if (!run(pages, QuickCheck)) {
        StoreError error = session.describe(pages.lastError());
        if (isDamage(pages.lastError()))
            return damaged(session, error.cause);
        return error;
    }
    if (!pages.next())
        return damaged(session, pages.lastError().databaseText());
    if (const QString first = pages.value(0).toString(); first != QLatin1String("ok"))
        return damaged(session, first);
    return Done{};
}

Result<NoteList> NoteStore::listNotes() const
{
    const Session session(m_path, listHeadline());
    if (session.failure())
        return *session.failure();
    NoteList notes;
    {
        // Room for every title at once: grown step by step, the titles' string would for a
        // moment take up to twice their size.
        QSqlQuery size(session.database());
        if (!run(size, SelectListSize) || !size.next())
            return session.describe(size.lastError());
        notes.reserve(size.value(0).toLongLong(), size.value(1).toLongLong());
    }
    QSqlQuery rows(session.database());
    rows.setForwardOnly(true);
    if (!run(rows, SelectAllNotes))
        return session.describe(rows.lastError());
    // A UTF-8 file's titles go into the list as they are stored; a UTF-16 file's are converted.
    const bool utf8 = session.encoding() == TextEncoding::Utf8;
    while (rows.next()) {
        const QByteArray title = rows.value(1).toByteArray();
        if (utf8)
            notes.append(rows.value(0).toLongLong(), QByteArrayView(title));
        else
            notes.append(rows.value(0).toLongLong(), decodeText(session.encoding(), title));
    }
    if (rows.lastError().isValid())
        return session.describe(rows.lastError());
    // Kept as long as the list shows it: no room to grow.
    notes.squeeze();
    return notes;
}

Result<Note> NoteStore::readNote(qint64 id) const
{
    const Session session(m_path, showHeadline());
    if (session.failure())
        return *session.failure();
    QByteArray title;
    QByteArray text;
    {
        QSqlQuery row(session.database());
        row.setForwardOnly(true);
        if (!run(row, SelectOneNote, {id}))
            return session.describe(row.lastError());
        if (!row.next()) {
            if (row.lastError().isValid())
                return session.describe(row.lastError());
            return noteGone(session, showHeadline(), id,
                            QStringLiteral("Listan läses om så att den visar vad som finns."));
        }
        title = row.value(0).toByteArray();
        text = row.value(1).toByteArray();
    }
    // Decoded once the statement has let go of its copy: a long note is held twice at most.
    Note note{id, decodeText(session.encoding(), title), QString()};
    note.text = decodeText(session.encoding(), text);
    return note;
}

Result<qint64> NoteStore::insertNote(const QString &title, const QString &text) const
{
    const Session session(m_path, saveHeadline());
    if (session.failure())
        return *session.failure();
    WriteTransaction transaction(session);
    if (std::optional<StoreError> error = transaction.begin())
        return *error;
    Result<WriteCheck> check = WriteCheck::before(session, QStringLiteral("Ingenting sparades."));
    if (!check)
        return check.error();
    const TextToWrite titleValue = textToWrite(session.encoding(), title);
    const TextToWrite textValue = textToWrite(session.encoding(), text);
    QSqlQuery insert(session.database());
    if (!run(insert, InsertNoteStatement, {titleValue.bound, textValue.bound}))
        return insertFailed(session, insert.lastError());
    const Result<qint64> id = check->inserted(titleValue, textValue);
    if (!id)
        return id;
    if (const Result<Done> whole = check->rowsAccountedFor(); !whole)
        return whole.error();
    if (std::optional<StoreError> error = transaction.commit())
        return *error;
    return id;
}

Result<Done> NoteStore::forEachNote(const std::function<bool(const Note &)> &take) const
{
    const Session session(m_path, QStringLiteral("Anteckningarna kunde inte läsas."));
    if (session.failure())
        return *session.failure();
    QSqlQuery rows(session.database());
    rows.setForwardOnly(true);
    // One statement is one read transaction: every note of the same instant.
    if (!run(rows, SelectAllNotesWhole))
        return session.describe(rows.lastError());
    while (rows.next()) {
        const Note note{rows.value(0).toLongLong(),
                        decodeText(session.encoding(), rows.value(1).toByteArray()),
                        decodeText(session.encoding(), rows.value(2).toByteArray())};
        if (!take(note))
            return Done{};
    }
    if (rows.lastError().isValid())
        return session.describe(rows.lastError());
    return Done{};
}

Result<std::vector<qint64>> NoteStore::insertNotes(const std::vector<NewNote> &notes) const
{
    const Session session(m_path, QStringLiteral("Anteckningarna kunde inte sparas."));
    if (session.failure())
        return *session.failure();
    WriteTransaction transaction(session);
    if (std::optional<StoreError> error = transaction.begin())
        return *error;
    Result<WriteCheck> check
        = WriteCheck::before(session, QStringLiteral("Ingen av anteckningarna sparades."));
    if (!check)
        return check.error();
    std::vector<qint64> ids;
    ids.reserve(notes.size());
    QSqlQuery insert(session.database());
    if (!insert.prepare(InsertNoteStatement))
        return session.describe(insert.lastError());
    for (const NewNote &note : notes) {
        const TextToWrite title = textToWrite(session.encoding(), note.title);
        const TextToWrite text = textToWrite(session.encoding(), note.text);
        insert.addBindValue(title.bound);
        insert.addBindValue(text.bound);
        // Which of the notes the table refused, named by its title.
        const auto refused = [&note](StoreError error) {
            error.cause = QStringLiteral("\"%1\": %2").arg(note.title, error.cause);
            return error;
        };
        if (!insert.exec())
            return refused(insertFailed(session, insert.lastError()));
        const Result<qint64> id = check->inserted(title, text);
        if (!id)
            return refused(id.error());
        ids.push_back(*id);
    }
    if (const Result<Done> whole = check->rowsAccountedFor(); !whole)
        return whole.error();
    if (std::optional<StoreError> error = transaction.commit())
        return *error;
    return ids;
}

Result<Done> NoteStore::deleteNote(const Note &shown) const
{
    return deleteNote(shown, nullptr);
}

Result<Done> NoteStore::deleteNote(const Note &shown, const Companion &companion) const
{
    return deleteNote(shown, &companion);
}

Result<Done> NoteStore::deleteNote(const Note &shown, const Companion *companion) const
{
    const Session session(m_path, deleteHeadline());
    if (session.failure())
        return *session.failure();
    if (companion) {
        if (std::optional<StoreError> error = attachCompanion(session, companion->path))
            return *error;
    }
    WriteTransaction transaction(session);
    if (std::optional<StoreError> error = transaction.begin())
        return *error;

    const QString notDeleted = QStringLiteral("Ingenting raderades. Listan läses om så att den "
                                              "visar vad som finns.");
    {
        QSqlQuery row(session.database());
        row.setForwardOnly(true);
        if (!run(row, SelectOneNote, {shown.id}))
            return session.describe(row.lastError());
        if (!row.next()) {
            if (row.lastError().isValid())
                return session.describe(row.lastError());
            return noteGone(session, deleteHeadline(), shown.id, notDeleted);
        }
        Note stored{shown.id, decodeText(session.encoding(), row.value(0).toByteArray()),
                    decodeText(session.encoding(), row.value(1).toByteArray())};
        if (stored != shown) {
            // An AUTOINCREMENT table never hands out an ID twice: a note under the ID shown,
            // but not as shown, is that note changed elsewhere. A table without one gives the
            // ID of its highest note, once deleted, to the next note saved.
            const std::optional<qint64> counter = idCounter(session);
            const bool edited = counter && *counter >= shown.id;
            const QString cause
                = edited ? QStringLiteral("anteckningen (nummer %1) har ändrats någon annanstans "
                                          "sedan den visades")
                               .arg(shown.id)
                         : QStringLiteral("anteckningen som visades finns inte längre så under "
                                          "sitt nummer (%1): den har ändrats någon annanstans, "
                                          "eller raderats och numret getts till en ny anteckning")
                               .arg(shown.id);
            return StoreError{deleteHeadline(),
                              session.path(),
                              cause,
                              QStringLiteral("Ingenting raderades. Anteckningen med nummer %1 "
                                             "visas nu som den är; radera den igen om du vill.")
                                  .arg(shown.id),
                              edited ? StoreError::Kind::NoteEdited : StoreError::Kind::NoteChanged,
                              std::move(stored)};
        }
    }
    Result<WriteCheck> check = WriteCheck::before(session, QStringLiteral("Ingenting raderades."));
    if (!check)
        return check.error();
    QSqlQuery erase(session.database());
    if (!run(erase, DeleteNoteStatement, {shown.id}))
        return session.describe(erase.lastError());
    if (const Result<Done> deleted = check->deleted(shown.id); !deleted)
        return deleted.error();
    if (const Result<Done> whole = check->rowsAccountedFor(); !whole)
        return whole.error();
    // After the checks, which count every row the connection changes, the companion's too.
    if (companion) {
        if (std::optional<StoreError> error = companion->write(session))
            return *error;
    }
    if (std::optional<StoreError> error = transaction.commit())
        return *error;
    return Done{};
}

std::optional<StoreError> attachCompanion(const Session &session, const QString &path)
{
    QSqlQuery query(session.database());
    if (!run(query, JournalMode) || !query.next())
        return session.describe(query.lastError());
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
        return StoreError{session.headline(), session.path(),
                          QStringLiteral("databasen skriver sina ändringar i läget WAL, där en "
                                         "ändring inte kan göras på en gång i två filer"),
                          QStringLiteral("Ingenting ändrades. Ställ om databasen till vanlig "
                                         "journal (PRAGMA journal_mode = DELETE, med Zentavo "
                                         "stängt) och försök igen.")};
    }
    if (!run(query, AttachCompanion, {path}))
        return session.describe(query.lastError());
    return std::nullopt;
}

} // namespace store
