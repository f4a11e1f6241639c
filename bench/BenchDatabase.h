#pragma once

#include <QString>
#include <QTemporaryDir>

namespace bench {

// A temporary folder with a memo.mdb of `notes` notes (title "Anteckning N", a short body),
// made once per size and reused by every benchmark that asks for it. The store is pointed at
// the folder while the object is current().
class BenchDatabase
{
public:
    static BenchDatabase &withNotes(int notes);
    // A fresh copy of the database for benchmarks that change it.
    QString path() const;
    void makeCurrent() const;
    // Adds one note with a body of `bytes` bytes and returns its ID.
    qlonglong addNoteWithBody(qsizetype bytes);

private:
    explicit BenchDatabase(int notes);
    QTemporaryDir m_dir;
};

} // namespace bench
