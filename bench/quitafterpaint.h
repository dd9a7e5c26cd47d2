#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

// Ends the program once its window has painted for the first time: the quit
// is queued behind the paint, so the painting and its flush to the screen
// are counted, and nothing after them.
class QuitAfterFirstPaint : public QObject
{
public:
    explicit QuitAfterFirstPaint(QObject *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_quitting) {
            m_quitting = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_quitting = false;
};
