#include "appicon.h"
#include "buildinfo.h"
#include "mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("planini"));
    QApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));
    QApplication::setDesktopFileName(QString::fromLatin1(buildinfo::appId));
    QApplication::setWindowIcon(appIcon());

    MainForm form;
    form.show();
    return QApplication::exec();
}
