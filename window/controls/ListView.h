#pragma once

#include "ListModel.h"

#include <QTreeView>

namespace window {

// The note list: a report list with one column, each item a note's title with its ID kept beside
// it (its key is "ID|" and the ID). Raises what a tree view does not tell on its own: a click on
// an item, or Enter or Space on the highlighted one, raises itemClicked with its ID; moving the
// highlight with the keyboard (arrows, Home/End, the page keys, typing a title's first letters)
// raises highlightMoved; moves of the pointer over the items, the empty area, the header and the
// scroll bars all raise pointerMoved, with or without a button held.
class ListView : public QTreeView
{
    Q_OBJECT
public:
    explicit ListView(QWidget *parent);

    void setColumnHeaderText(const QString &text);
    // Replaces every item at once.
    void setNotes(store::NoteList notes);
    // Shows only the notes with these IDs (none: every note again); the note with `current`, if
    // shown, is highlighted.
    void showOnly(const std::vector<qint64> *ids, qint64 current);
    int itemCount() const;
    qint64 itemId(int row) const;
    QString itemKey(int row) const;
    QString itemText(int row) const;
    // Where the item is drawn, in the coordinates of the list's viewport.
    QRect itemRect(int row) const;

Q_SIGNALS:
    void itemClicked(qint64 id);
    void highlightMoved(qint64 id);
    void pointerMoved();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Hidden, the list lays out no row for its notes (about 40 bytes a note, and the time): Qt's
    // tree view would, to size its scroll bars, whenever its column is resized. Shown, it is laid
    // out as usual.
    void updateGeometries() override;
    void showEvent(QShowEvent *event) override;

private:
    ListModel *m_model;
};

} // namespace window
