#pragma once

#include <QListWidget>

// A single-selection list box as the window needs it:
// - The user can move the selection but not remove it: Ctrl+click or
//   Ctrl+Space on the selected row, or a drag that ends off the rows, leaves
//   it selected, as a classic list box does. Only the program clears it.
// - With nothing selected, the first arrow key selects the row that shows the
//   focus frame instead of moving past it.
// - A screen reader names the selected row by its whole entry (see
//   setSpokenEntry), hears the row when the list gets the focus, and is told
//   of focus only in the list that has it.
// - The focused row is framed clearly in any style; a row's tooltip shows
//   its text only where the list cuts it off.
class ListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent = nullptr);

    void addRow(const QString &text);

    // What a screen reader reads for the selected row: the entry that the
    // row stands for, row -1 for none. The other rows are read as shown.
    void setSpokenEntry(int row, const QString &entry);
    QString spokenText(int row) const;

signals:
    // The user clicked the row that was already selected.
    void selectedRowClicked();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event) const override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool isCutOff(const QModelIndex &index) const;
    void selectCaret(const QModelIndex &caret);
    void reportFocusLater();
    void queueReports();
    void sendReports();
    void reportNameChanged(int row);

    int m_spokenRow = -1;
    QString m_spokenEntry;
    // Accessibility reports held back until the user's action is handled.
    bool m_focusDue = false;
    QList<int> m_namesDue;
    bool m_reportsQueued = false;
    bool m_pressedOnSelection = false;
};
