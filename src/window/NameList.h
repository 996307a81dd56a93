// SPDX-License-Identifier: MIT
// The names of one data file as a list box shows them. The model owns the
// name array; the filter decides which of its names the list shows, in
// array order.
#pragma once

#include "NameArray.h"

#include <QAbstractListModel>

#include <string_view>

namespace sayvane {

class NameList : public QAbstractListModel
{
public:
    // The start of a row's name, as much as a row can show, for drawing it
    // in time bounded by the row's width.
    static constexpr int ShownStartRole = Qt::UserRole + 1;

    explicit NameList(QObject *parent = nullptr);

    // Takes the names and shows them all.
    void setNames(NameArray names);
    const NameArray &names() const { return m_names; }
    // Shows the names that begin with the filter text, apart from case.
    void filter(QStringView filterText);
    // The bytes of the name in a row, as the data file holds them.
    std::string_view nameBytes(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    NameArray m_names;
    QList<int> m_shown; // positions in m_names, one per row
};

} // namespace sayvane
