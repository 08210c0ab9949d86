#include "shell/quitsignalnotifier.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is written by the handler, [1] read by the event loop.
int s_pipe[2] = {-1, -1};
struct sigaction s_oldTerm;
struct sigaction s_oldInt;

}

QuitSignalNotifier::QuitSignalNotifier(QObject *parent) : QObject(parent)
{
    if (s_pipe[0] >= 0) {
        qWarning("QuitSignalNotifier: another notifier is installed");
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_pipe) != 0) {
        qWarning("QuitSignalNotifier: no socket pair, signals end the program at once");
        s_pipe[0] = s_pipe[1] = -1;
        return;
    }
    // The handler must never block on a full pipe.
    ::fcntl(s_pipe[0], F_SETFL, ::fcntl(s_pipe[0], F_GETFL) | O_NONBLOCK);

    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignalNotifier::readSignal);

    struct sigaction action = {};
    action.sa_handler = &QuitSignalNotifier::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &s_oldTerm);
    ::sigaction(SIGINT, &action, &s_oldInt);
    m_installed = true;
}

QuitSignalNotifier::~QuitSignalNotifier()
{
    if (!m_installed)
        return;
    ::sigaction(SIGTERM, &s_oldTerm, nullptr);
    ::sigaction(SIGINT, &s_oldInt, nullptr);
    delete m_notifier;
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

bool QuitSignalNotifier::isInstalled() const
{
    return m_installed;
}

void QuitSignalNotifier::handleSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    if (::write(s_pipe[0], &number, 1) < 0) {
        // A full pipe already holds a quit request.
    }
    errno = saved;
}

void QuitSignalNotifier::readSignal()
{
    unsigned char number = 0;
    if (::read(s_pipe[1], &number, 1) != 1)
        return;
    emit quitRequested(number);
    QCoreApplication::quit();
}
