#pragma once

#include <QString>
#include <optional>

namespace store {

// Creates an empty note database at path: table Memo with an ID the database assigns and never
// reuses, Titel and Text. Refuses to touch a file that already exists. Returns the reason for a
// refusal or failure, worded for the person who asked; nothing is left behind on failure.
std::optional<QString> CreateEmptyDatabase(const QString &path);

} // namespace store
