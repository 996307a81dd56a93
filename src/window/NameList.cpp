// SPDX-License-Identifier: MIT
#include "NameList.h"

#include "NameFilter.h"

namespace sayvane {
namespace {

// More characters than any row of the lists can show.
constexpr qsizetype kShownStartLength = 1024;

} // namespace

NameList::NameList(QObject *parent)
    : QAbstractListModel(parent)
{
}

void NameList::setNames(NameArray names)
{
    beginResetModel();
    m_names = std::move(names);
    m_shown = FilterNames(m_names, {});
    endResetModel();
}

void NameList::filter(QStringView filterText)
{
    beginResetModel();
    m_shown = FilterNames(m_names, filterText);
    endResetModel();
}

std::string_view NameList::nameBytes(int row) const
{
    return m_names.bytes(m_shown[row]);
}

int NameList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant NameList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const qsizetype position = m_shown[index.row()];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_names.text(position);
    if (role == ShownStartRole)
        return m_names.textPrefix(position, kShownStartLength);
    return {};
}

} // namespace sayvane
