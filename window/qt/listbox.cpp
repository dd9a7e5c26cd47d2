#include "listbox.h"

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(
    const QModelIndex &index, const QEvent *event) const
{
    // A press or release off the rows (after dragging out of the list) would
    // select "no row", which clears the selection.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const auto command = QListWidget::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}
