#pragma once

#include "TwipsControl.h"

#include <QTreeWidget>

namespace runtime {

// A report list with one column. Each item carries a key beside its text; clicking an item
// raises ItemClick with that key. Mouse moves over the items, the empty area and the header
// all raise MouseMove, with or without a pressed button.
class ListView : public QTreeWidget, public TwipsControl
{
    Q_OBJECT
public:
    explicit ListView(QWidget *parent);
    ~ListView() override;

    // The width of the first column in twips, as last assigned. The column takes it in pixels
    // where the list accepts it; a negative width is kept here but left to the list, which
    // keeps its column as it was.
    float ColumnHeaderWidth() const { return m_columnWidth; }
    void setColumnHeaderWidth(float twips);
    void setColumnHeaderText(const QString &text);

    // The items: cleared, then added one by one at a 1-based index.
    void ListItemsClear();
    void ListItemsAdd(int index, const QString &key, const QString &text);
    int ListItemsCount() const { return topLevelItemCount(); }
    QString ListItemKey(int index) const;
    QString ListItemText(int index) const;

    // Between these, items added at the end are collected and handed to the list in one batch
    // when the load ends, with repainting suspended meanwhile: a list of many thousand notes
    // then costs one model update instead of one per item.
    void beginLoad();
    void endLoad();

Q_SIGNALS:
    void ItemClick(const QString &key);
    void MouseMove();

private:
    void flushPending();

    float m_columnWidth = 0;
    bool m_loading = false;
    QList<QTreeWidgetItem *> m_pending; // owned until endLoad() hands them to the list
};

} // namespace runtime
