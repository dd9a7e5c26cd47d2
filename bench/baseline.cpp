// The least a Qt Widgets program can do: one empty window of the program's
// size, in the program's font. Start-up and memory are measured against it.
//
// "baseline text" also shows one line of Cyrillic text: what any window that
// shows text pays for the font system, which the empty window never loads.
// "firstpaint" ends it after its first paint, for counting instructions.

#include "exitafterpaint.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Baseline"));
    window.setFixedSize(461, 345);
    window.setFont(QFont(QStringLiteral("Times New Roman"), 12));
    if (QApplication::arguments().contains(QStringLiteral("text")))
        (new QLabel(QStringLiteral("Планини и върхове в България"), &window))->move(64, 4);
    if (QApplication::arguments().contains(QStringLiteral("firstpaint")))
        new ExitAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
