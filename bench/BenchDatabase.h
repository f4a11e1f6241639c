#pragma once

#include "TestDatabase.h"

#include <map>
#include <memory>

namespace bench {

// How long the notes' bodies are: a short line, or about a kilobyte of sentences with a word
// of their own ("kundN") in each.
enum class Bodies { Short, Kilobyte };

// A memo.mdb of `notes` notes (title "Anteckning N") in a temporary folder, made once per size
// and reused by every benchmark that asks for it.
class BenchDatabase
{
public:
    explicit BenchDatabase(int notes, Bodies bodies = Bodies::Short);

    // The database of that size from the run's cache.
    static BenchDatabase &withNotes(int notes, Bodies bodies = Bodies::Short);
    QString path() const { return m_db->path(); }
    // Adds one note with a body of `bytes` characters and returns its ID.
    qlonglong addNoteWithBody(qsizetype bytes);
    // Adds one note whose title has `characters` characters and returns its ID.
    qlonglong addNoteWithTitle(qsizetype characters);
    void removeNote(qlonglong id);

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
};

// The databases made during one run. main owns it, created after the application and destroyed
// before it, so that the temporary folders and connections never outlive Qt.
class BenchDatabaseCache
{
public:
    BenchDatabaseCache();
    ~BenchDatabaseCache();
    BenchDatabaseCache(const BenchDatabaseCache &) = delete;
    BenchDatabaseCache &operator=(const BenchDatabaseCache &) = delete;

    BenchDatabase &withNotes(int notes, Bodies bodies);

private:
    std::map<std::pair<int, Bodies>, std::unique_ptr<BenchDatabase>> m_made;
};

} // namespace bench
