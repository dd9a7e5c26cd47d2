#include "mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();

    MainForm form;
    form.show();
    return QApplication::exec();
}
