#include "ListView.h"

#include "MouseMoveRelay.h"
#include "Screen.h"
#include "Twips.h"

#include <QHeaderView>

namespace runtime {

namespace {
constexpr int KeyRole = Qt::UserRole;
}

ListView::ListView(QWidget *parent)
    : QTreeWidget(parent)
    , TwipsControl(this)
{
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The program sets the column width itself; a stretching last section would ignore it.
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);

    auto *relay = new MouseMoveRelay(this);
    relay->watch(this);
    relay->watch(viewport());
    relay->watch(header());
    relay->watch(header()->viewport());
    connect(relay, &MouseMoveRelay::moved, this, &ListView::MouseMove);

    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { Q_EMIT ItemClick(item->data(0, KeyRole).toString()); });
}

void ListView::setColumnHeaderWidth(float twips)
{
    m_columnWidth = twips;
    const int pixels = twipsToPixels(twips, Screen::TwipsPerPixelX());
    if (pixels >= 0)
        setColumnWidth(0, pixels);
}

void ListView::setColumnHeaderText(const QString &text)
{
    setHeaderLabels({text});
}

void ListView::ListItemsClear()
{
    clear();
}

void ListView::ListItemsAdd(int index, const QString &key, const QString &text)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    const int position = qBound(0, index - 1, topLevelItemCount());
    insertTopLevelItem(position, item); // the list takes ownership
}

QString ListView::ListItemKey(int index) const
{
    const QTreeWidgetItem *item = topLevelItem(index - 1);
    return item ? item->data(0, KeyRole).toString() : QString();
}

QString ListView::ListItemText(int index) const
{
    const QTreeWidgetItem *item = topLevelItem(index - 1);
    return item ? item->text(0) : QString();
}

void ListView::beginLoad()
{
    setUpdatesEnabled(false);
}

void ListView::endLoad()
{
    setUpdatesEnabled(true);
}

} // namespace runtime
