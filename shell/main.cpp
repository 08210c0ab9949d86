#include "shell/newmainwindow.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList paths;
    for (const QString &argument : app.arguments().mid(1))
        paths << QFileInfo(argument).absoluteFilePath();
    int code = 0;
    {
        NewMainWindow window;
        window.show();
        window.openPaths(paths);
        code = app.exec();
    }
    return code;
}
