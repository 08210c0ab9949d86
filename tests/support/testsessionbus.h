#ifndef TESTSESSIONBUS_H
#define TESTSESSIONBUS_H

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

// A private session bus of the test's own: a dbus-daemon with no services to start on demand,
// so nothing the machine has installed answers on it. start() points this process's session
// bus at it; call it before anything connects to a session bus.
class TestSessionBus
{
public:
    ~TestSessionBus();

    bool start();
    // Starts gnome-keyring's Secret Service on the bus, unlocked, and waits until it answers.
    bool startSecretService();
    QByteArray address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QProcess m_keyring;
    QByteArray m_address;
};

#endif
