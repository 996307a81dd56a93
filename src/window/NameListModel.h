// SPDX-License-Identifier: MIT
// The names of one data file as a list box shows them: the model views a
// name array that its owner keeps, and the filter decides which of its
// names the list shows, in array order.
#pragma once

#include "NameArray.h"

#include <QAbstractListModel>

#include <string_view>

namespace sayvane {

class NameListModel : public QAbstractListModel
{
public:
    // The start of a row's name, as much as a row can show, for drawing it
    // in time bounded by the row's width.
    static constexpr int ShownStartRole = Qt::UserRole + 1;

    explicit NameListModel(QObject *parent = nullptr);

    // Shows every name of the array, which must outlive the model or be
    // replaced first; none with nullptr.
    void setNames(const NameArray *names);
    const NameArray &names() const { return *m_names; }
    // Shows the names that begin with the filter text, apart from case.
    void filter(QStringView filterText);
    // The bytes of the name in a row, as the data file holds them.
    std::string_view nameBytes(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const NameArray *m_names;
    QList<int> m_shown; // positions in *m_names, one per row
};

} // namespace sayvane
