#pragma once

#include "StoreError.h"

#include <QString>
#include <optional>

namespace store {

// The text of the note with the given ID, read through a connection of its own. `found` is
// false when no note has that ID (deleted meanwhile, say); a note without text reads as empty.
struct NoteText
{
    bool found = false;
    QString text;
};
struct ReadResult
{
    NoteText note;
    StoreResult error;
};
ReadResult ReadNote(const QString &idText);

// The ID text at the end of an item key: everything after its last '|'.
QString IdFromKey(const QString &key);

// Adds a note with this title and body; the database gives it its ID. Title and body are stored
// exactly as given. Opens and closes its own connection; on failure nothing has been written.
StoreResult InsertNote(const QString &title, const QString &body);

// Removes the note whose ID is the decimal number idText. A number that matches no note removes
// nothing and is no error; text that is not a decimal number removes nothing and is reported.
// The connection stays open on success: the list reload that follows replaces it.
StoreResult DeleteNote(const QString &idText);

} // namespace store
