#pragma once

#include <QAbstractTableModel>
#include <vector>

namespace runtime {

// The items of a one-column report list: a text shown and a whole-number ID kept beside it.
// Held as plain values, so a list of many thousand items costs one string each and nothing
// more; an item's key ("ID|" and the ID) is made only when asked for.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ListModel(QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaderText(const QString &text);
    struct Item
    {
        qint64 id = 0;
        QString text;
    };

    void clear();
    // Replaces every item at once: the views hear of one reset.
    void replace(std::vector<Item> items);
    // Inserts at a 0-based row; a row past the end appends.
    void insert(int row, qint64 id, const QString &text);
    qint64 id(int row) const;
    QString key(int row) const;
    QString text(int row) const;

private:
    std::vector<Item> m_items;
    QString m_header;
};

} // namespace runtime
