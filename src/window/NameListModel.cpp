#include "NameListModel.h"

namespace sayvane {

NameListModel::NameListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void NameListModel::showNames(const QStringList *names, QList<int> positions)
{
    beginResetModel();
    m_names = names;
    m_positions = std::move(positions);
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_positions.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!m_names || !index.isValid() || index.row() >= m_positions.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_names->at(m_positions[index.row()]);
    return {};
}

FixedRowDelegate::FixedRowDelegate(int rowHeight, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_rowHeight(rowHeight)
{
}

QSize FixedRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {option.rect.width(), m_rowHeight};
}

} // namespace sayvane
