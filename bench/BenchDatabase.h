#pragma once

#include "TestDatabase.h"

#include <memory>

namespace bench {

// A memo.mdb of `notes` notes (title "Anteckning N", a short body) in a temporary folder, made
// once per size and reused by every benchmark that asks for it.
class BenchDatabase
{
public:
    // The database of that size, made current.
    static BenchDatabase &withNotes(int notes);
    // Points the store at this database.
    void makeCurrent() const;
    // Adds one note with a body of `bytes` characters and returns its ID.
    qlonglong addNoteWithBody(qsizetype bytes);

private:
    explicit BenchDatabase(int notes);
    std::unique_ptr<testsupport::TestDatabase> m_db;
};

} // namespace bench
