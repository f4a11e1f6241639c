#pragma once

#include "store/NoteStore.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <optional>

namespace testsupport {

// A temporary folder that stands in for the executable's directory, holding a real memo.mdb.
// While it lives, the store reads and writes that file. Rows are put in and read back through
// a connection of the test's own, as another program would.
class TestDatabase
{
public:
    // Creates the folder; with createFile, also an empty note database in it.
    explicit TestDatabase(bool createFile = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    QString folder() const { return m_dir.path(); }
    QString path() const;
    // The store over this file.
    store::NoteStore store() const { return store::NoteStore(path()); }

    // Replaces the file with a new one made by these statements (a table of another shape, an
    // encoding set before the table, ...), as another program might have made it.
    void recreate(const QStringList &statements);

    // Runs a statement with bound values on the test's own connection; fails the test on error.
    void exec(const QString &statement, const QVariantList &values = {});
    // Adds a note and returns its ID.
    qlonglong addNote(const QVariant &title, const QVariant &text);
    // The rows of Memo as (ID, Titel, Text), in ID order.
    struct Row
    {
        qlonglong id;
        QVariant title;
        QVariant text;
    };
    QList<Row> rows();
    qlonglong count();

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
