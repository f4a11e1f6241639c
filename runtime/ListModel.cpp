#include "ListModel.h"

namespace runtime {

ListModel::ListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int ListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_batch ? m_rowsAnnounced : static_cast<int>(m_items.size());
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
        return m_items[static_cast<std::size_t>(index.row())].text;
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
    m_rowsAnnounced = 0;
    endResetModel();
}

void ListModel::insert(int row, const QString &key, const QString &text)
{
    const int count = static_cast<int>(m_items.size());
    if (m_batch && row >= count) {
        m_items.push_back({key, text});
        return;
    }
    if (m_batch)
        endBatch(); // an insertion in the middle: let the views catch up first
    const int at = qBound(0, row, count);
    beginInsertRows({}, at, at);
    m_items.insert(m_items.begin() + at, Item{key, text});
    endInsertRows();
}

QString ListModel::key(int row) const
{
    return row >= 0 && row < static_cast<int>(m_items.size())
               ? m_items[static_cast<std::size_t>(row)].key
               : QString();
}

QString ListModel::text(int row) const
{
    return row >= 0 && row < static_cast<int>(m_items.size())
               ? m_items[static_cast<std::size_t>(row)].text
               : QString();
}

void ListModel::beginBatch()
{
    m_rowsAnnounced = static_cast<int>(m_items.size());
    m_batch = true;
}

void ListModel::endBatch()
{
    if (!m_batch)
        return;
    const int total = static_cast<int>(m_items.size());
    const int first = m_rowsAnnounced;
    if (total > first) {
        // The rows are in place already; announcing them is all that is left.
        beginInsertRows({}, first, total - 1);
        m_batch = false;
        endInsertRows();
    }
    m_batch = false;
    m_rowsAnnounced = total;
}

} // namespace runtime
