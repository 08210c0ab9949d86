#include "services/zrlogging.h"
#include "shell/newmainwindow.h"
#include "shell/quitsignalnotifier.h"
#include "shell/qzrapplicationlister.h"
#include "toolkit/zrapplicationlook.h"

#include <QFileInfo>

int main(int argc, char *argv[])
{
    QZrApplicationLister app(argc, argv);
    QuitSignalNotifier quitNotifier;
    // A start that hands over builds no main window: its playlist and settings would be written
    // beside the running instance's.
    if (app.isRunning())
        return app.sendMessage(QString(), 5000) ? 0 : 1;

    ZrApplicationLook::install();
    NewMainWindow window;
    if (app.isStartRunning()) {
        qCDebug(lcZRPlayer) << "------isRunning--------";
    } else {
        QObject::connect(&app, &QZrApplicationLister::emitAddPath, &window, &NewMainWindow::fileOpen);
        QObject::connect(&app, &QZrApplicationLister::emitFileOpen, &window, &NewMainWindow::fileOpen);
    }
    app.setActivationWindow(&window, true);
    window.show();
    // The files of a first start come all at once, as a drop: each reaches the playlist and the
    // first playable one plays. A copy that handed them to another instance keeps none.
    if (!app.isStartRunning()) {
        QStringList paths;
        for (const QString &argument : app.arguments().mid(1))
            if (!argument.isEmpty())
                paths << QFileInfo(argument).absoluteFilePath();
        window.openPaths(paths);
    }
    return app.exec();
}
