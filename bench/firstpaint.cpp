// The program's start, as main.cpp makes it, ended after the first paint so
// that its instructions can be counted (bench/instructions.py).

#include "mainform.h"
#include "exitafterpaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    MainForm form;
    new ExitAfterFirstPaint(&form);
    form.show();
    return QApplication::exec();
}
