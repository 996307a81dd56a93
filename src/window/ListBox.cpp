// SPDX-License-Identifier: MIT
#include "ListBox.h"

#include "NameListModel.h"

#include <QMouseEvent>

#include <QStyledItemDelegate>

namespace sayvane {
namespace {

// Every row has the same height and draws the start of its name only: a
// name of a hundred million characters costs no more than a short one.
class NameRowDelegate : public QStyledItemDelegate
{
public:
    NameRowDelegate(int rowHeight, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_rowHeight(rowHeight)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), m_rowHeight};
    }

protected:
    // Only the text, and only its start: the base class would fetch the
    // whole name.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        option->index = index;
        option->features |= QStyleOptionViewItem::HasDisplay;
        option->text = index.data(NameListModel::ShownStartRole).toString();
        option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    }

private:
    int m_rowHeight;
};

} // namespace

ListBox::ListBox(int rowHeight, QWidget *parent)
    : QListView(parent)
    , m_names(new NameListModel(this))
{
    setModel(m_names);
    setItemDelegate(new NameRowDelegate(rowHeight, this));
    setUniformItemSizes(true);
    // Laying out a million rows at once would take longer than a frame;
    // in batches the first rows show at once and the rest follow.
    setLayoutMode(QListView::Batched);
    setBatchSize(50'000);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

int ListBox::selectionIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListView::mousePressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListView::mouseDoubleClickEvent(event);
}

void ListBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & ~Qt::LeftButton))
        QListView::mouseMoveEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListView::mouseReleaseEvent(event);
}

// Ctrl+click and Ctrl+Space on the selected item, and a click below the
// items, would leave nothing selected; a list box keeps its selection.
QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    if (!index.isValid() || (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
        return QItemSelectionModel::NoUpdate;
    return command;
}

} // namespace sayvane
