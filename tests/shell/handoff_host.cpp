// A stand-in for the player's entry: the application object with a plain window. It prints what
// reaches it, one line each on stdout: "ready", "path:<path>", "file:<path>",
// "message:<minimised 0/1 after activation>", "signal:<number>" and "exit:<code>".
#include "shell/quitsignalnotifier.h"
#include "shell/qzrapplicationlister.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void say(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}

int main(int argc, char **argv)
{
    QZrApplicationLister app(argc, argv);
    QuitSignalNotifier quitNotifier;
    QObject::connect(&quitNotifier, &QuitSignalNotifier::quitRequested,
                     [](int number) { say(QString("signal:%1").arg(number)); });

    QWidget window;
    if (!app.isStartRunning()) {
        QObject::connect(&app, &QZrApplicationLister::emitAddPath, [](const QString &path) { say("path:" + path); });
        QObject::connect(&app, &QZrApplicationLister::emitFileOpen, [](const QString &path) { say("file:" + path); });
    }

    int code = 0;
    if (app.isRunning()) {
        code = app.sendMessage(QString(), 5000) ? 0 : 1;
    } else {
        app.setActivationWindow(&window, true);
        // Connected after the activation, so it sees the window as the message left it.
        QObject::connect(&app, &QtSingleApplication::messageReceived, &window, [&window] {
            say(QString("message:%1").arg(window.isMinimized() ? 1 : 0));
        });
        window.resize(320, 200);
        window.showMinimized();
        QTimer::singleShot(0, &window, [&window] { say(QString("ready:%1").arg(window.isMinimized() ? 1 : 0)); });
        code = app.exec();
    }
    say(QString("exit:%1").arg(code));
    return code;
}
