#include "ListModel.h"

#include "store/TextEncoding.h"

#include <QStringDecoder>
#include <algorithm>

namespace window {

namespace {

// The most characters of a title the list lays out. The widest column shows a few dozen; laying
// out a title of a million characters at every step of the slide-out would freeze the window.
constexpr qsizetype MaxShownCharacters = 256;

// The start of a title as the list shows it: at most MaxShownCharacters, and an ellipsis where it
// goes on. A long title has only the bytes decoded that can hold those characters.
QString shownText(QByteArrayView utf8)
{
    constexpr qsizetype MaxBytes = 4 * MaxShownCharacters;
    QString text;
    if (utf8.size() <= MaxBytes) {
        text = store::decodeText(store::TextEncoding::Utf8, utf8.toByteArray());
        if (text.size() <= MaxShownCharacters)
            return text;
    } else {
        // Only a beginning: the bytes of a character split at the cut are left unread.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        text = decoder.decode(utf8.first(MaxBytes));
    }
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
    return static_cast<int>(rows());
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
        return shownText(m_notes.utf8Title(noteAt(index.row())));
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

void ListModel::setNotes(store::NoteList notes)
{
    beginResetModel();
    m_notes = std::move(notes);
    m_shown.reset();
    endResetModel();
}

void ListModel::showOnly(const std::vector<qint64> *ids)
{
    beginResetModel();
    m_shown.reset();
    if (ids) {
        // Both in ID order: one pass over the list.
        m_shown.emplace();
        std::size_t at = 0;
        for (const qint64 id : *ids) {
            while (at < m_notes.size() && m_notes.id(at) < id)
                ++at;
            if (at < m_notes.size() && m_notes.id(at) == id)
                m_shown->push_back(at);
        }
    }
    endResetModel();
}

qint64 ListModel::id(int row) const
{
    return hasRow(row) ? m_notes.id(noteAt(row)) : 0;
}

QString ListModel::key(int row) const
{
    return hasRow(row) ? QStringLiteral("ID|") + QString::number(id(row)) : QString();
}

QString ListModel::text(int row) const
{
    return hasRow(row) ? m_notes.at(noteAt(row)).title : QString();
}

} // namespace window
