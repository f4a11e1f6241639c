#include "NoteStore.h"

#include "Session.h"
#include "Statements.h"

#include <QSqlError>
#include <QSqlQuery>
#include <limits>

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

// Runs a prepared statement with the given values bound in order. A statement that cannot be
// prepared (the file locked, say) reports why, not the "Parameter count mismatch" that
// executing it anyway would give.
bool run(QSqlQuery &query, QLatin1StringView statement, const QVariantList &values = {})
{
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
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
    QSqlQuery insert(session.database());
    if (run(insert, InsertNoteStatement,
            {boundText(session.encoding(), title), boundText(session.encoding(), text)}))
        return insert.lastInsertId().toLongLong();
    StoreError error = session.describe(insert.lastError());
    // SQLite says "database or disk is full" also when no ID is left to hand out.
    QSqlQuery highest(session.database());
    if (run(highest, SelectHighestId) && highest.next()
        && highest.value(0).toLongLong() == std::numeric_limits<qint64>::max()) {
        error.cause = QStringLiteral("anteckningsnumren är slut: databasen har redan delat ut "
                                     "det högsta ID som går (%1)")
                          .arg(std::numeric_limits<qint64>::max());
        error.remedy = QStringLiteral("Skapa en ny databas med zentavo-newdb och spara nya "
                                      "anteckningar där; den här filen går fortfarande att läsa.");
    }
    return error;
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
    QSqlDatabase db = session.database();
    QSqlQuery begin(db);
    if (!run(begin, BeginWrite))
        return session.describe(begin.lastError());
    std::vector<qint64> ids;
    ids.reserve(notes.size());
    QSqlQuery insert(db);
    bool ok = insert.prepare(InsertNoteStatement);
    for (auto note = notes.begin(); ok && note != notes.end(); ++note) {
        insert.addBindValue(boundText(session.encoding(), note->title));
        insert.addBindValue(boundText(session.encoding(), note->text));
        ok = insert.exec();
        if (ok)
            ids.push_back(insert.lastInsertId().toLongLong());
    }
    QSqlQuery end(db);
    if (ok && run(end, CommitWrite))
        return ids;
    const StoreError error = session.describe(ok ? end.lastError() : insert.lastError());
    QSqlQuery(db).exec(RollbackWrite);
    return error;
}

Result<Done> NoteStore::deleteNote(const Note &shown) const
{
    const Session session(m_path, deleteHeadline());
    if (session.failure())
        return *session.failure();
    QSqlDatabase db = session.database();
    QSqlQuery query(db);
    if (!run(query, BeginWrite))
        return session.describe(query.lastError());
    // Ends the transaction on every path that does not commit it.
    struct Rollback
    {
        QSqlDatabase &db;
        bool committed = false;
        ~Rollback()
        {
            if (!committed)
                QSqlQuery(db).exec(RollbackWrite);
        }
    } rollback{db};

    const QString notDeleted = QStringLiteral("Ingenting raderades. Listan läses om så att den "
                                              "visar vad som finns.");
    {
        QSqlQuery row(db);
        row.setForwardOnly(true);
        if (!run(row, SelectOneNote, {shown.id}))
            return session.describe(row.lastError());
        if (!row.next()) {
            if (row.lastError().isValid())
                return session.describe(row.lastError());
            return noteGone(session, deleteHeadline(), shown.id, notDeleted);
        }
        const Note stored{shown.id, decodeText(session.encoding(), row.value(0).toByteArray()),
                          decodeText(session.encoding(), row.value(1).toByteArray())};
        if (stored != shown) {
            return StoreError{deleteHeadline(), session.path(),
                              QStringLiteral("anteckningen som visas finns inte längre; dess "
                                             "nummer (%1) hör nu till en annan anteckning")
                                  .arg(shown.id),
                              notDeleted, StoreError::Kind::NoteChanged};
        }
    }
    QSqlQuery erase(db);
    if (!run(erase, DeleteNoteStatement, {shown.id}))
        return session.describe(erase.lastError());
    QSqlQuery commit(db);
    if (!run(commit, CommitWrite))
        return session.describe(commit.lastError());
    rollback.committed = true;
    return Done{};
}

} // namespace store
