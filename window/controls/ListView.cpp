#include "ListView.h"

#include "PointerRelay.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace window {

ListView::ListView(QWidget *parent)
    : QTreeView(parent)
    , m_model(new ListModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The window sets the column's width itself; a stretching last section would ignore it.
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);
    header()->setSectionResizeMode(QHeaderView::Interactive);

    auto *relay = new PointerRelay(this);
    relay->watch(this);
    relay->watch(viewport());
    relay->watch(header());
    relay->watch(header()->viewport());
    // With many notes the scroll bar covers almost all of the narrow list: moves over it, and
    // over the corner between the bars, count as moves over the list.
    for (QScrollBar *bar : {verticalScrollBar(), horizontalScrollBar()}) {
        relay->watch(bar);
        relay->watch(bar->parentWidget());
    }
    connect(relay, &PointerRelay::moved, this, &ListView::pointerMoved);

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { Q_EMIT itemClicked(m_model->id(index.row())); });
}

void ListView::setColumnHeaderText(const QString &text)
{
    m_model->setHeaderText(text);
}

void ListView::setNotes(store::NoteList notes)
{
    m_model->setNotes(std::move(notes));
}

void ListView::showOnly(const std::vector<qint64> *ids, qint64 current)
{
    m_model->showOnly(ids);
    for (int row = 0; current && row < m_model->rowCount(); ++row) {
        if (m_model->id(row) == current) {
            setCurrentIndex(m_model->index(row, 0));
            scrollTo(currentIndex());
            break;
        }
    }
}

int ListView::itemCount() const
{
    return m_model->rowCount();
}

qint64 ListView::itemId(int row) const
{
    return m_model->id(row);
}

QString ListView::itemKey(int row) const
{
    return m_model->key(row);
}

QString ListView::itemText(int row) const
{
    return m_model->text(row);
}

QRect ListView::itemRect(int row) const
{
    return visualRect(m_model->index(row, 0));
}

void ListView::updateGeometries()
{
    if (isVisible())
        QTreeView::updateGeometries();
}

void ListView::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    updateGeometries();
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    const bool confirm = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
                         || event->key() == Qt::Key_Space;
    if (!after.isValid())
        return;
    if (confirm)
        Q_EMIT itemClicked(m_model->id(after.row()));
    else if (after != before)
        Q_EMIT highlightMoved(m_model->id(after.row()));
}

} // namespace window
