#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <vector>

namespace window {

// The items of a one-column report list: a text shown and a whole-number ID kept beside it.
// All texts live end to end as UTF-8 in one byte array, so a list of many thousand items costs
// its bytes, an ID and an offset each, and nothing more; an item's text, and its key ("ID|" and
// the ID), are made only when asked for.
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
    // Replaces every item at once (the views hear of one reset), with texts laid end to end:
    // ids[i]'s text runs from starts[i] to starts[i + 1] in texts. Taken over without a copy.
    void adopt(std::vector<qint64> ids, std::vector<qsizetype> starts, QByteArray utf8Texts);
    qint64 id(int row) const;
    QString key(int row) const;
    QString text(int row) const;

private:
    bool hasRow(int row) const { return row >= 0 && std::size_t(row) < m_ids.size(); }
    QByteArrayView bytesOf(int row) const;

    std::vector<qint64> m_ids;
    // Where each item's text starts in m_texts; one more entry marks the end of the last.
    std::vector<qsizetype> m_starts{0};
    QByteArray m_texts; // UTF-8
    QString m_header;
};

} // namespace window
