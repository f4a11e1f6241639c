#pragma once

#include "TwipsControl.h"

#include <QTreeView>

namespace runtime {

class ListModel;

// A report list with one column. Each item carries a key beside its text; clicking an item, or
// selecting it with the keyboard (the arrow keys, or Enter or Space on it), raises ItemClick with
// that key. Mouse moves over the items, the empty area and the header
// all raise MouseMove, with or without a pressed button.
class ListView : public QTreeView, public TwipsControl
{
    Q_OBJECT
public:
    explicit ListView(QWidget *parent);

    // The width of the first column in twips, as last assigned. The column takes it in pixels
    // where the list accepts it; a negative width is kept here but left to the list, which
    // keeps its column as it was.
    float ColumnHeaderWidth() const { return m_columnWidth; }
    void setColumnHeaderWidth(float twips);
    void setColumnHeaderText(const QString &text);

    // The items: cleared, then added one by one at a 1-based index.
    void ListItemsClear();
    void ListItemsAdd(int index, const QString &key, const QString &text);
    int ListItemsCount() const;
    QString ListItemKey(int index) const;
    QString ListItemText(int index) const;
    // Where the item at a 1-based index is drawn, in the coordinates of the list's viewport.
    QRect ListItemRect(int index) const;

    // Between these, items added at the end are collected and shown in one batch when the load
    // ends: a list of many thousand notes then costs one update instead of one per item.
    void beginLoad();
    void endLoad();

Q_SIGNALS:
    void ItemClick(const QString &key);
    void MouseMove();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ListModel *m_model;
    float m_columnWidth = 0;
};

} // namespace runtime
