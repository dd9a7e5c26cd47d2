#pragma once

#include "behaviour.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <functional>

// A single-selection list box as the window needs it:
// - The user can move the selection but not remove it: Ctrl+click or
//   Ctrl+Space on the selected row, or a drag that ends off the rows, leaves
//   it selected, as a classic list box does. Only the program clears it.
// - With nothing selected, the first arrow key selects the row that shows the
//   focus frame instead of moving past it.
// - A screen reader names the selected row by its whole entry (see
//   reportSpokenChange), hears the row when the list gets the focus, and is
//   told of focus only in the list that has it.
// - The focused row is framed clearly in any style; a row's tooltip shows
//   its text only where the list cuts it off.
// - A first letter typed again at once moves on to the next row that starts
//   with it, as in a Windows list box and a browser's.
class ListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent = nullptr);

    void addRow(const QString &text);

    // What a screen reader reads for each row, asked when it reads one.
    using RowNamer = std::function<QString(int row)>;
    void setRowNamer(RowNamer namer) { m_nameOf = std::move(namer); }
    QString spokenText(int row) const;
    // Reports to a screen reader the names that a handling changed.
    void reportSpokenChange(const lists::SpokenChange &change);

signals:
    // The user clicked the row that was already selected, or pressed a key
    // that stays on it.
    void selectedRowClicked();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event) const override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &search) override;
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

    RowNamer m_nameOf;
    // Accessibility reports held back until the user's action is handled.
    bool m_focusDue = false;
    QList<int> m_namesDue;
    bool m_reportsQueued = false;
    bool m_pressedOnSelection = false;
    QString m_typed;
    QElapsedTimer m_typedTime;
};
