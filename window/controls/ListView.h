#pragma once

#include "runtime/TwipsControl.h"

#include "ListModel.h"

#include <QTreeView>

namespace window {

// A report list with one column. Each item carries a whole-number ID beside its text (its key
// is "ID|" and the ID). Clicking an item, or Enter or Space on the highlighted one, raises
// itemClicked with its ID; moving the highlight with the keyboard (arrows, Home/End, the page
// keys, typing a title's first letters) raises highlightMoved. Mouse moves over the items, the
// empty area, the header and the scroll bars all raise pointerMoved, with or without a button.
class ListView : public QTreeView, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit ListView(QWidget *parent);

    // The width of the first column in twips, as last assigned. The column takes it in pixels
    // where the list accepts it; a negative width is kept here but left to the list, which
    // keeps its column as it was.
    float columnWidthTwips() const { return m_columnWidth; }
    void setColumnWidthTwips(float twips);
    void setColumnHeaderText(const QString &text);

    // The items, by 0-based row: cleared, or replaced all at once (see ListModel::adopt).
    void clearItems();
    void adoptItems(std::vector<qint64> ids, std::vector<qsizetype> starts, QByteArray utf8Texts);
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

private:
    ListModel *m_model;
    float m_columnWidth = 0;
};

} // namespace window
