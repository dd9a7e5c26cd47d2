#pragma once

#include "entries.h"

#include <QApplication>
#include <QListWidget>
#include <QWheelEvent>

// The window's lists as a user sees them.
namespace windowstate {

inline QListWidget *list(const QWidget *form, int index)
{
    return form->findChild<QListWidget *>(QStringLiteral("List1(%1)").arg(index));
}

inline Rows selection(const QWidget *form)
{
    Rows rows;
    for (int index = 0; index < lists::listCount; ++index) {
        const auto selected = list(form, index)->selectedItems();
        rows[index] = selected.isEmpty() ? -1 : list(form, index)->row(selected.first());
    }
    return rows;
}

// The row's whole height shows; a text wider than its list is clipped.
inline bool rowInView(const QWidget *form, int index, int row)
{
    const QListWidget *listBox = list(form, index);
    const QRect rect = listBox->visualItemRect(listBox->item(row));
    return rect.top() >= 0 && rect.bottom() <= listBox->viewport()->rect().bottom();
}

// Turns the mouse wheel over the list: up for positive notches.
inline void wheel(QListWidget *listBox, int notches)
{
    QWidget *viewport = listBox->viewport();
    const QPoint at = viewport->rect().center();
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

} // namespace windowstate
