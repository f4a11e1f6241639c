#include "TextEncoding.h"

#include <QStringDecoder>

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
    QStringDecoder decoder(converterFor(encoding), QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QVariant boundText(TextEncoding encoding, const QString &text)
{
    if (encoding == TextEncoding::Utf8) {
        const QByteArray bytes = text.toUtf8();
        return bytes.isNull() ? QByteArray("", 0) : bytes;
    }
    return QString(QChar(0xFEFF) + text);
}

} // namespace store
