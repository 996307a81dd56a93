// SPDX-License-Identifier: MIT
// A list box as users know it: one selected item that the user moves but
// cannot remove, and rows of one fixed height that draw only as much of a
// name as fits, however long the name.
#pragma once

#include <QListView>

namespace sayvane {

class NameListModel;

class ListBox : public QListView
{
    Q_OBJECT

public:
    ListBox(int rowHeight, QWidget *parent);

    NameListModel *nameModel() const { return m_names; }
    // The row of the selected item, or -1 when none is.
    int selectionIndex() const;

protected:
    // Only the left button selects, as in a standard list box.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    NameListModel *m_names; // the model, a child of the list
};

} // namespace sayvane
