#include "ListView.h"

#include "MouseMoveRelay.h"
#include "Screen.h"
#include "Twips.h"

#include <QHeaderView>
#include <memory>

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
    qDeleteAll(m_pending);
    m_pending.clear();
    clear();
}

void ListView::ListItemsAdd(int index, const QString &key, const QString &text)
{
    auto item = std::make_unique<QTreeWidgetItem>();
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    const int count = topLevelItemCount() + static_cast<int>(m_pending.size());
    if (m_loading && index - 1 >= count) {
        m_pending.append(item.release());
        return;
    }
    if (m_loading)
        flushPending();
    insertTopLevelItem(qBound(0, index - 1, count), item.release()); // the list owns it now
}

void ListView::flushPending()
{
    if (m_pending.isEmpty())
        return;
    addTopLevelItems(m_pending); // the list owns them now
    m_pending.clear();
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
    m_loading = true;
    setUpdatesEnabled(false);
}

void ListView::endLoad()
{
    flushPending();
    m_loading = false;
    setUpdatesEnabled(true);
}

ListView::~ListView()
{
    qDeleteAll(m_pending);
}

} // namespace runtime
