// A list of names shown straight from a name array: the model holds only
// the positions of the names to show, so rebuilding a list of a million
// names costs no more than one integer per name.
#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QStyledItemDelegate>

namespace sayvane {

class NameListModel : public QAbstractListModel
{
public:
    explicit NameListModel(QObject *parent = nullptr);

    // Shows the names of the array at the given positions, in that order.
    void showNames(const QStringList *names, QList<int> positions);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const QStringList *m_names = nullptr;
    QList<int> m_positions;
};

// Every row of the name lists is the same fixed height, whatever the text.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    FixedRowDelegate(int rowHeight, QObject *parent);
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_rowHeight;
};

} // namespace sayvane
