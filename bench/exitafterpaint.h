#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

// Ends the program once its window has painted for the first time: the exit
// is queued behind the paint, so the painting and its flush to the screen
// are counted, and nothing after them, not even tearing the window and the
// application down, which a user waits for no more than for anything else
// after the window is on the screen.
class ExitAfterFirstPaint : public QObject
{
public:
    explicit ExitAfterFirstPaint(QObject *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_exiting) {
            m_exiting = true;
            QTimer::singleShot(0, qApp, [] {
                std::fflush(nullptr);
                std::_Exit(EXIT_SUCCESS);
            });
        }
        return false;
    }

private:
    bool m_exiting = false;
};
