#pragma once

#include "StoreError.h"

#include <QSqlDatabase>
#include <QString>

namespace store {

// The connection of the store operation that runs now. It is empty between operations: every
// operation opens a fresh one with OpenDb and lets it go with CloseDb.
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Whether a connection object is held at all, open or not.
    bool holdsConnection() const { return !m_name.isEmpty(); }
    bool isOpen() const;
    // The open database; an invalid one when nothing is held.
    QSqlDatabase database() const;
    // Why the last OpenDb could not open the file, if it could not.
    const StoreResult &openFailure() const { return m_openFailure; }

private:
    friend void OpenDb();
    friend void CloseDb();
    void release();

    QString m_name;
    StoreResult m_openFailure;
};

// The one shared connection.
extern Connection Conn;

// Full path of the note database: memo.mdb in the executable's directory.
QString DatabasePath();

// Makes a new connection to the note database and holds it in Conn, releasing whatever Conn
// held. Never creates the file: a missing file leaves Conn holding a connection that is not
// open, with the reason in openFailure(). Reports nothing itself.
void OpenDb();

// Closes and empties Conn. Does nothing when Conn is already empty.
void CloseDb();

} // namespace store
