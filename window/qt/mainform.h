#pragma once

#include "behaviour.h"
#include "listoperations.h"

#include <QWidget>

#include <array>
#include <functional>

class ListBox;
class QPlainTextEdit;

// Shows a failure that ended a handling; the window keeps running afterwards.
using FailureReporter = std::function<void(QWidget *window, const QString &message)>;

// Names the application to the desktop and gives it its icon; called once,
// after the QApplication is made.
void prepareApplication();

// Writes the failure to standard error and shows it in a modal message box.
void reportFailure(QWidget *window, const QString &message);

// The program's one window: the three linked lists of peaks, heights and
// mountains, the button that clears them, and the assignment.
class MainForm : public QWidget, private lists::ListOperations
{
    Q_OBJECT

public:
    explicit MainForm(const lists::Catalogue &catalogue = lists::Catalogue::builtIn(),
        FailureReporter failureReporter = reportFailure, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void runHandling(lists::Handling handling, std::int16_t list = 0);

    std::int16_t doSelectedRow(std::int16_t list) const override;
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override;

    // List1(0..2), the visible lists.
    std::array<ListBox *, lists::listCount> m_lists {};
    // What screen readers were last told of the selected rows.
    lists::SpokenEntries m_spoken;
    QPlainTextEdit *m_textBox = nullptr;
    FailureReporter m_reportFailure;
    // Set while a handling runs: the selections it sets are not the user's.
    bool m_inHandling = false;
};
