#include "NoteFile.h"

#include <QCryptographicHash>
#include <QList>
#include <QStringDecoder>
#include <QUuid>
#include <QtEndian>

namespace store {

namespace {

constexpr QByteArrayView Magic{"zentavo note 1"};
constexpr QByteArrayView TitleBytes{"title-bytes "};
constexpr QByteArrayView TextBytes{"text-bytes "};
constexpr QByteArrayView Checksum{"sha256 "};
constexpr QByteArrayView EndLine{"\nend of note\n"};
constexpr QLatin1StringView NoteSuffix{".note"};
constexpr QLatin1StringView DeletionSuffix{".deleted"};

// A count after its label on a header line; nothing when the line is not exactly that.
std::optional<qsizetype> countAfter(QByteArrayView line, QByteArrayView label)
{
    if (!line.startsWith(label))
        return std::nullopt;
    const QByteArrayView digits = line.sliced(label.size());
    bool ok = false;
    const qlonglong count = digits.toLongLong(&ok);
    if (!ok || count < 0 || digits.startsWith('+') || QByteArray::number(count) != digits)
        return std::nullopt;
    return qsizetype(count);
}

// Stateless: a character cut off at the end reads as U+FFFD instead of being held back.
QString decodeUtf8KeepingMark(QByteArrayView utf8)
{
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom
                                                      | QStringConverter::Flag::Stateless);
    return decode(utf8);
}

} // namespace

QByteArray noteFingerprint(QByteArrayView utf8Title, QByteArrayView utf8Text)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const quint64 length = qToLittleEndian(quint64(utf8Title.size()));
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&length), sizeof length));
    hash.addData(utf8Title);
    hash.addData(utf8Text);
    return hash.result();
}

QByteArray encodeNoteFile(QByteArrayView utf8Title, QByteArrayView utf8Text)
{
    QByteArray bytes;
    bytes.reserve(utf8Title.size() + utf8Text.size() + 160);
    bytes += Magic;
    bytes += '\n' + TitleBytes.toByteArray() + QByteArray::number(utf8Title.size());
    bytes += '\n' + TextBytes.toByteArray() + QByteArray::number(utf8Text.size());
    bytes += '\n' + Checksum.toByteArray() + noteFingerprint(utf8Title, utf8Text).toHex();
    bytes += "\n\n";
    bytes += utf8Title;
    bytes += '\n';
    bytes += utf8Text;
    bytes += EndLine;
    return bytes;
}

std::variant<NoteFileContent, QString> decodeNoteFile(const QByteArray &bytes)
{
    const QString notZentavo = QStringLiteral("filen är ingen anteckning från Zentavo");
    const QString incomplete
        = QStringLiteral("filen är ofullständig: den har ännu inte kommit fram hel");
    if (!bytes.startsWith(Magic))
        return bytes.isEmpty() || Magic.startsWith(bytes) ? incomplete : notZentavo;
    const qsizetype headerEnd = bytes.indexOf("\n\n");
    if (headerEnd < 0)
        return incomplete;
    const QList<QByteArray> header = bytes.first(headerEnd).split('\n');
    if (header.size() != 4 || header[0] != Magic || !header[3].startsWith(Checksum))
        return notZentavo;
    const std::optional<qsizetype> titleBytes = countAfter(header[1], TitleBytes);
    const std::optional<qsizetype> textBytes = countAfter(header[2], TextBytes);
    if (!titleBytes || !textBytes)
        return notZentavo;
    const qsizetype titleAt = headerEnd + 2;
    const qsizetype textAt = titleAt + *titleBytes + 1;
    const qsizetype size = textAt + *textBytes + EndLine.size();
    if (*titleBytes > bytes.size() || *textBytes > bytes.size() || bytes.size() < size)
        return incomplete;
    const QByteArrayView title = QByteArrayView(bytes).sliced(titleAt, *titleBytes);
    const QByteArrayView text = QByteArrayView(bytes).sliced(textAt, *textBytes);
    const QByteArray fingerprint = noteFingerprint(title, text);
    if (bytes.size() != size || bytes[textAt - 1] != '\n'
        || QByteArrayView(bytes).sliced(textAt + *textBytes) != EndLine
        || header[3].sliced(Checksum.size()) != fingerprint.toHex()) {
        return QStringLiteral("filen har ändrats sedan den skrevs (dess kontrollsumma stämmer "
                              "inte)");
    }
    // The note as it will be stored: a leading U+FEFF is kept (QString::fromUtf8 would drop it),
    // and bytes that are no UTF-8 (from another program) read as U+FFFD. Its fingerprint is that
    // of what is stored, which a later round reads back and compares.
    const QString decodedTitle = decodeUtf8KeepingMark(title);
    const QString decodedText = decodeUtf8KeepingMark(text);
    return NoteFileContent{decodedTitle, decodedText,
                           noteFingerprint(decodedTitle.toUtf8(), decodedText.toUtf8())};
}

QByteArray deletionRecord()
{
    return QByteArrayLiteral("zentavo deleted note 1\n");
}

QString noteFileName(const QString &identity)
{
    return identity + NoteSuffix;
}

QString deletionFileName(const QString &identity)
{
    return identity + DeletionSuffix;
}

QString newNoteIdentity()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

std::optional<FolderName> parseFolderName(const QString &name)
{
    for (const auto &[suffix, deletion] :
         {std::pair{NoteSuffix, false}, std::pair{DeletionSuffix, true}}) {
        if (!name.endsWith(suffix))
            continue;
        const QString identity = name.chopped(suffix.size());
        // Only the form the names are written in: one identity, one name.
        const QUuid uuid = QUuid::fromString(identity);
        if (uuid.isNull() || uuid.toString(QUuid::WithoutBraces) != identity)
            return std::nullopt;
        return FolderName{identity, deletion};
    }
    return std::nullopt;
}

} // namespace store
