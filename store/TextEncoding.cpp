#include "TextEncoding.h"

#include <QStringDecoder>
#include <QtEndian>

namespace store {

namespace {

QStringConverter::Encoding converterFor(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16le:
        return QStringConverter::Utf16LE;
    case TextEncoding::Utf16be:
        return QStringConverter::Utf16BE;
    case TextEncoding::Utf8:
        break;
    }
    return QStringConverter::Utf8;
}

} // namespace

TextEncoding encodingNamed(const QString &name)
{
    if (name.compare(QLatin1String("UTF-16le"), Qt::CaseInsensitive) == 0)
        return TextEncoding::Utf16le;
    if (name.compare(QLatin1String("UTF-16be"), Qt::CaseInsensitive) == 0)
        return TextEncoding::Utf16be;
    return TextEncoding::Utf8;
}

QString decodeText(TextEncoding encoding, const QByteArray &bytes)
{
    // Stateless: an incomplete sequence at the end is not kept back for more bytes that will
    // never come, but read as U+FFFD like any other broken one.
    QStringDecoder decoder(converterFor(encoding), QStringDecoder::Flag::ConvertInitialBom
                                                       | QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    // The UTF-16 decoder hands a first half of a surrogate pair through as it is: at the end,
    // where no second half can follow, it is a character cut short.
    if (encoding != TextEncoding::Utf8 && !text.isEmpty() && text.back().isHighSurrogate())
        text.back() = QChar::ReplacementCharacter;
    return text;
}

TextToWrite textToWrite(TextEncoding encoding, const QString &text)
{
    if (encoding == TextEncoding::Utf8) {
        QByteArray bytes = text.toUtf8();
        if (bytes.isNull())
            bytes = QByteArray("", 0);
        return {bytes, bytes};
    }
    // The engine keeps UTF-16 code units as given, only put in the file's byte order: no
    // converter here, which would replace a lone surrogate.
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    if (encoding == TextEncoding::Utf16le)
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    else
        qToBigEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return {QString(QChar(0xFEFF) + text), bytes};
}

} // namespace store
