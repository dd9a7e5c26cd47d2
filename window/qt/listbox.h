#pragma once

#include <QListWidget>

// A single-selection list whose selection the user can move but not remove:
// Ctrl+click or Ctrl+Space on the selected row, or a drag that ends off the
// rows, leaves it selected, as a classic list box does. Only the program
// clears the selection.
class ListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event) const override;
};
