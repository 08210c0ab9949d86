#include "testsessionbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {

const int StartTimeoutMs = 60000;

} // namespace

TestSessionBus::~TestSessionBus()
{
    for (QProcess *process : {&m_keyring, &m_daemon}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(30000))
            process->kill();
        process->waitForFinished(30000);
    }
}

bool TestSessionBus::start()
{
    if (!m_dir.isValid())
        return false;
    // No <servicedir>: nothing is started on demand.
    const QByteArray config = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig>\n"
                              "  <type>session</type>\n"
                              "  <listen>unix:dir="
                              + m_dir.path().toUtf8()
                              + "</listen>\n"
                                "  <auth>EXTERNAL</auth>\n"
                                "  <policy context=\"default\">\n"
                                "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                "    <allow eavesdrop=\"true\"/>\n"
                                "    <allow own=\"*\"/>\n"
                                "  </policy>\n"
                                "</busconfig>\n";
    QFile file(m_dir.filePath("bus.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        return false;
    file.close();
    m_daemon.start("dbus-daemon", {"--config-file=" + file.fileName(), "--nofork", "--print-address=1"});
    if (!m_daemon.waitForStarted(StartTimeoutMs))
        return false;
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!m_daemon.canReadLine() && !deadline.hasExpired() && m_daemon.state() == QProcess::Running)
        m_daemon.waitForReadyRead(100);
    m_address = m_daemon.readLine().trimmed();
    if (m_address.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address);
    return true;
}

bool TestSessionBus::startSecretService()
{
    m_keyring.start("gnome-keyring-daemon", {"--foreground", "--unlock", "--components=secrets"});
    if (!m_keyring.waitForStarted(StartTimeoutMs))
        return false;
    // The password of the new login keyring.
    m_keyring.write("keyring password");
    if (!m_keyring.waitForBytesWritten(StartTimeoutMs))
        return false;
    m_keyring.closeWriteChannel();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (bus.interface()->isServiceRegistered("org.freedesktop.secrets").value())
            return true;
        QThread::msleep(50);
    }
    return false;
}
