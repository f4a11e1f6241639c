#pragma once

#include "store/NoteStore.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

namespace window {

// The note list's items: the store's NoteList as it was read (every ID, and the titles end to end
// as UTF-8), so that a list of many thousand notes costs its bytes, an ID and an offset each, and
// nothing more. An item's text, and its key ("ID|" and the ID), are made only when asked for.
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
    // Replaces every item at once: the views hear of one reset.
    void setNotes(store::NoteList notes);
    // Shows only the notes with these IDs (in ID order, as the list is), or every note again.
    void showOnly(const std::vector<qint64> *ids);
    qint64 id(int row) const;
    QString key(int row) const;
    QString text(int row) const;

private:
    bool hasRow(int row) const { return row >= 0 && std::size_t(row) < rows(); }
    std::size_t rows() const { return m_shown ? m_shown->size() : m_notes.size(); }
    // The place in the whole list of a row shown.
    std::size_t noteAt(int row) const
    {
        return m_shown ? (*m_shown)[std::size_t(row)] : std::size_t(row);
    }

    store::NoteList m_notes;
    std::optional<std::vector<std::size_t>> m_shown;
    QString m_header;
};

} // namespace window
