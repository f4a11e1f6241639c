#pragma once

#include <QAbstractTableModel>
#include <vector>

namespace runtime {

// The items of a one-column report list: a text shown and a key kept beside it. Held as plain
// values, so a list of many thousand items costs one allocation per string and nothing more.
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
    void clear();
    // Inserts at a 0-based row; a row past the end appends.
    void insert(int row, const QString &key, const QString &text);
    QString key(int row) const;
    QString text(int row) const;

    // Between these, appended items are only collected; the views hear of them all at once.
    void beginBatch();
    void endBatch();

private:
    struct Item
    {
        QString key;
        QString text;
    };
    std::vector<Item> m_items;
    QString m_header;
    bool m_batch = false;
    int m_rowsAnnounced = 0; // rows the views know of while a batch is open
};

} // namespace runtime
