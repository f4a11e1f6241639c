#pragma once

// The subcommands of zentavo-notes. Each returns the program's exit status, the same for every
// command-line tool of Zentavo: 0 done, 1 a usage error (the command line is wrong; main
// answers those), 2 when the database or a file cannot be used (the reason is on standard error).

#include <QString>
#include <QStringList>

namespace store {
struct Draft;
}

namespace notestool {

enum ExitStatus { Done = 0, UsageError = 1, CannotUse = 2 };

// Text on standard output, as UTF-8; a problem on standard error, answered with CannotUse.
void say(const QString &text);
int complain(const QString &message);

int createDatabase(const QString &path);
int listNotes(const QString &database);
int showNote(const QString &database, qint64 id);
int exportNotes(const QString &database, const QString &folder);
int backup(const QString &database, const QString &destination);
int importFiles(const QString &database, const QStringList &files);
// One line per note whose title or text holds every word: ID, tab, title, tab, the line around
// the first hit. Nothing found prints nothing and is done (0).
int searchNotes(const QString &database, const QStringList &words);
// The drafts of notes that programs writing them ended without saving (and of those still being
// written), one line each; and the waiting ones stored as notes, each removed once stored.
int listDrafts(const QString &database);
int saveDrafts(const QString &database);
// The sync folder of the database: shown (or said to be none), set, or ended.
int showSyncFolder(const QString &database);
int setSyncFolder(const QString &database, const QString &folder);
int endSync(const QString &database);
// One sync round: what it did on standard output, each file it could not take on standard error
// (then CannotUse; each is told by one round only).
int syncOnce(const QString &database);
// The title a draft is stored under: the one typed for it, else its first line.
QString draftTitle(const store::Draft &draft);

// The file name a note is exported under: "ID - title.txt", the title made safe for any common
// file system and cut so that the name stays within 255 bytes.
QString exportFileName(qint64 id, const QString &title);

// A title on one line: tab, line breaks and the backslash written as \t, \n, \r and \\.
QString escapedTitle(const QString &title);

} // namespace notestool
