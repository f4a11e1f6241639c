#include "ListModel.h"

#include <QStringDecoder>
#include <algorithm>

namespace window {

namespace {

// The most characters of a text the list lays out. The widest column shows a few dozen; laying
// out a title of a million characters at every step of the slide-out would freeze the window.
constexpr qsizetype MaxShownCharacters = 256;

// The start of a text as the list shows it: at most MaxShownCharacters, and an ellipsis where
// it goes on. Only the bytes that can hold those characters are decoded.
QString shownText(QByteArrayView utf8)
{
    constexpr qsizetype MaxBytes = 4 * MaxShownCharacters;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(utf8.first(std::min(utf8.size(), MaxBytes)));
    if (text.size() <= MaxShownCharacters && utf8.size() <= MaxBytes)
        return text;
    qsizetype length = std::min(text.size(), MaxShownCharacters);
    if (text.at(length - 1).isHighSurrogate())
        --length;
    text.truncate(length);
    return text + QChar(0x2026);
}

} // namespace

ListModel::ListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int ListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_ids.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !hasRow(index.row()) || index.column() != 0)
        return {};
    if (role == Qt::DisplayRole)
        return shownText(bytesOf(index.row()));
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_header;
    return {};
}

void ListModel::setHeaderText(const QString &text)
{
    m_header = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
}

void ListModel::clear()
{
    adopt({}, {0}, {});
}

void ListModel::adopt(std::vector<qint64> ids, std::vector<qsizetype> starts, QByteArray utf8Texts)
{
    Q_ASSERT(starts.size() == ids.size() + 1);
    beginResetModel();
    m_ids = std::move(ids);
    m_starts = std::move(starts);
    m_texts = std::move(utf8Texts);
    endResetModel();
}

qint64 ListModel::id(int row) const
{
    return hasRow(row) ? m_ids[std::size_t(row)] : 0;
}

QString ListModel::key(int row) const
{
    return hasRow(row) ? QStringLiteral("ID|") + QString::number(id(row)) : QString();
}

QByteArrayView ListModel::bytesOf(int row) const
{
    const qsizetype start = m_starts[std::size_t(row)];
    return QByteArrayView(m_texts).sliced(start, m_starts[std::size_t(row) + 1] - start);
}

QString ListModel::text(int row) const
{
    if (!hasRow(row))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytesOf(row));
}

} // namespace window
