// SPDX-License-Identifier: MIT
#include "NameListModel.h"

#include "ScreenReaderLimit.h"
#include "NameFilter.h"

namespace sayvane {
namespace {

// More characters than any row of the lists can show.
constexpr qsizetype kShownStartLength = 1024;

const NameArray kNoNames;

} // namespace

NameListModel::NameListModel(QObject *parent)
    : QAbstractListModel(parent)
    , m_names(&kNoNames)
{
}

void NameListModel::setNames(const NameArray *names)
{
    beginResetModel();
    m_names = names ? names : &kNoNames;
    m_shown = filterNames(*m_names, {});
    endResetModel();
}

void NameListModel::filter(QStringView filterText)
{
    beginResetModel();
    m_shown = filterNames(*m_names, filterText);
    endResetModel();
}

std::string_view NameListModel::nameBytes(int row) const
{
    return m_names->bytes(m_shown[row]);
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const qsizetype position = m_shown[index.row()];
    if (role == Qt::DisplayRole)
        return m_names->text(position);
    // A screen reader hears at most what one answer may carry.
    if (role == Qt::AccessibleTextRole)
        return m_names->textPrefix(position, kLongestAccessibleText);
    if (role == ShownStartRole) {
        // Soft hyphens show as nothing in a row, which never breaks; drawn,
        // each would cost a try at a break.
        return m_names->textPrefix(position, kShownStartLength).remove(QChar(0x00AD));
    }
    return {};
}

} // namespace sayvane
