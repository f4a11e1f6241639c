#pragma once

// A note's file in the sync folder, and the record of a deleted note, as bytes.
//
// A note's file is UTF-8 text a person can read: four header lines, a blank line, the title,
// a line break, the text, a line break and an end line:
//
//     zentavo note 1
//     title-bytes 5
//     text-bytes 12
//     sha256 <64 hexadecimal digits>
//
//     Titel
//     Text\r\nrader
//     end of note
//
// The byte counts keep every character of the title and the text, line breaks of any kind and
// trailing ones included; the SHA-256 (of the title's length, title and text, see
// noteFingerprint) and the end line tell a whole file from one the sync engine carried only in
// part, or that was changed after it was written.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <variant>

namespace store {

// What a note is, whatever its ID: a SHA-256 of its title's length in UTF-8 bytes (8 bytes,
// little-endian), its title and its text, both UTF-8. Equal for two notes only when both title
// and text are equal.
QByteArray noteFingerprint(QByteArrayView utf8Title, QByteArrayView utf8Text);

QByteArray encodeNoteFile(QByteArrayView utf8Title, QByteArrayView utf8Text);

struct NoteFileContent
{
    QString title;
    QString text;
    QByteArray fingerprint; // of the title and text as decoded, which is what gets stored
};
// The note in a file's bytes, or what is wrong with them, in words for the user.
std::variant<NoteFileContent, QString> decodeNoteFile(const QByteArray &bytes);

// A deleted note's record: always these bytes; anything else is not (yet) whole.
QByteArray deletionRecord();

// The names in the folder: "<identity>.note" and "<identity>.deleted", the identity a UUID in
// lowercase without braces.
QString noteFileName(const QString &identity);
QString deletionFileName(const QString &identity);
QString newNoteIdentity();
// The identity a name of either kind carries, and whether it names a deletion.
struct FolderName
{
    QString identity;
    bool deletion = false;
};
std::optional<FolderName> parseFolderName(const QString &name);

} // namespace store
