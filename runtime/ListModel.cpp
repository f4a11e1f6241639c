#include "ListModel.h"

namespace runtime {

namespace {

// The most characters of a text the list lays out. The widest column shows a few dozen; laying
// out a title of a million characters at every step of the slide-out would freeze the window.
constexpr qsizetype MaxShownCharacters = 256;

QString shownText(const QString &text)
{
    if (text.size() <= MaxShownCharacters)
        return text;
    qsizetype length = MaxShownCharacters;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length) + QChar(0x2026);
}

} // namespace

ListModel::ListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int ListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_items.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0)
        return {};
    if (role == Qt::DisplayRole)
        return shownText(m_items[static_cast<std::size_t>(index.row())].text);
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
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void ListModel::replace(std::vector<Item> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

void ListModel::insert(int row, qint64 id, const QString &text)
{
    const int count = static_cast<int>(m_items.size());
    const int at = qBound(0, row, count);
    beginInsertRows({}, at, at);
    m_items.insert(m_items.begin() + at, Item{id, text});
    endInsertRows();
}

qint64 ListModel::id(int row) const
{
    return row >= 0 && row < static_cast<int>(m_items.size())
               ? m_items[static_cast<std::size_t>(row)].id
               : 0;
}

QString ListModel::key(int row) const
{
    return row >= 0 && row < static_cast<int>(m_items.size())
               ? QStringLiteral("ID|") + QString::number(id(row))
               : QString();
}

QString ListModel::text(int row) const
{
    return row >= 0 && row < static_cast<int>(m_items.size())
               ? m_items[static_cast<std::size_t>(row)].text
               : QString();
}

} // namespace runtime
