#include "services/zrcommoninterface.h"
#include "services/urlcatcher.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QGuiApplication>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QtTest>

// What the stand-in services were asked, one line a call.
class CallLog
{
public:
    void add(const QString &line)
    {
        QMutexLocker locker(&m_lock);
        m_lines.append(line);
    }
    QStringList lines()
    {
        QMutexLocker locker(&m_lock);
        return m_lines;
    }
    QStringList take()
    {
        QMutexLocker locker(&m_lock);
        return std::exchange(m_lines, QStringList());
    }

private:
    QMutex m_lock;
    QStringList m_lines;
};

class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    explicit FakeScreenSaver(CallLog &log) : m_log(log) {}

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        m_log.add(QString("Inhibit %1 %2").arg(application, reason));
        return ++m_cookie;
    }
    void UnInhibit(uint cookie) { m_log.add(QString("UnInhibit %1").arg(cookie)); }

private:
    CallLog &m_log;
    uint m_cookie = 40;
};

class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    explicit FakeFileManager(CallLog &log) : m_log(log) {}

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        m_log.add(QString("ShowItems %1 [%2]").arg(uris.join(' '), startupId));
    }

private:
    CallLog &m_log;
};

class FakeLogin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    explicit FakeLogin(CallLog &log) : m_log(log) {}

public slots:
    void PowerOff(bool interactive) { m_log.add(QString("PowerOff %1").arg(interactive)); }
    void Suspend(bool interactive) { m_log.add(QString("Suspend %1").arg(interactive)); }

private:
    CallLog &m_log;
};

// The stand-ins answer from a thread of their own on a connection of their own, so calls
// really cross the private bus while the caller blocks.
class tst_ZrCommonInterfaceBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void displaySleep_oneInhibitUntilReleased();
    void displaySleep_serviceMissing();
    void reveal_sendsTheFileUri_data();
    void reveal_sendsTheFileUri();
    void reveal_withoutFileManagerOpensTheFolder();
    void power_asksLogin();

private:
    QDBusConnection fake() const { return QDBusConnection("fake"); }

    CallLog m_log;
    QThread m_thread;
    FakeScreenSaver *m_screenSaver = nullptr;
    FakeFileManager *m_fileManager = nullptr;
    FakeLogin *m_login = nullptr;
    UrlCatcher m_catcher;
    QTemporaryDir m_dir;
};

void tst_ZrCommonInterfaceBus::initTestCase()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    QVERIFY(!address.isEmpty());
    // The power calls go to the system bus: point it at the private bus before first use.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);

    m_screenSaver = new FakeScreenSaver(m_log);
    m_fileManager = new FakeFileManager(m_log);
    m_login = new FakeLogin(m_log);
    for (QObject *object : {static_cast<QObject *>(m_screenSaver), static_cast<QObject *>(m_fileManager),
                            static_cast<QObject *>(m_login)})
        object->moveToThread(&m_thread);
    m_thread.start();

    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake");
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerObject("/org/freedesktop/ScreenSaver", m_screenSaver, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerObject("/org/freedesktop/FileManager1", m_fileManager, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerObject("/org/freedesktop/login1", m_login, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService("org.freedesktop.ScreenSaver"));
    QVERIFY(bus.registerService("org.freedesktop.FileManager1"));
    QVERIFY(bus.registerService("org.freedesktop.login1"));

    QVERIFY(m_dir.isValid());
}

void tst_ZrCommonInterfaceBus::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus("fake");
    m_thread.quit();
    m_thread.wait();
    delete m_screenSaver;
    delete m_fileManager;
    delete m_login;
}

void tst_ZrCommonInterfaceBus::displaySleep_oneInhibitUntilReleased()
{
    m_log.take();
    QCOMPARE(ZrCommonInterface::displaySleepAssertionID, uint32_t(0));
    ZrCommonInterface::sleepComputerMac();
    QCOMPARE(m_log.take(), QStringList());

    ZrCommonInterface::neverSleepComputerMac();
    ZrCommonInterface::neverSleepComputerMac();
    QCOMPARE(m_log.take(), QStringList{"Inhibit ZRPlayer NoDisplaySleepAssertion"});
    const uint32_t cookie = ZrCommonInterface::displaySleepAssertionID;
    QVERIFY(cookie != 0);

    ZrCommonInterface::sleepComputerMac();
    QCOMPARE(m_log.take(), QStringList{QString("UnInhibit %1").arg(cookie)});
    QCOMPARE(ZrCommonInterface::displaySleepAssertionID, uint32_t(0));
    ZrCommonInterface::sleepComputerMac();
    QCOMPARE(m_log.take(), QStringList());

    // Released, a new inhibit is taken with a new cookie.
    ZrCommonInterface::neverSleepComputerMac();
    QCOMPARE(m_log.take(), QStringList{"Inhibit ZRPlayer NoDisplaySleepAssertion"});
    QVERIFY(ZrCommonInterface::displaySleepAssertionID != cookie);
    const uint32_t second = ZrCommonInterface::displaySleepAssertionID;
    ZrCommonInterface::sleepComputerMac();
    QCOMPARE(m_log.take(), QStringList{QString("UnInhibit %1").arg(second)});
}

void tst_ZrCommonInterfaceBus::displaySleep_serviceMissing()
{
    QVERIFY(fake().unregisterService("org.freedesktop.ScreenSaver"));
    ZrCommonInterface::neverSleepComputerMac();
    QCOMPARE(ZrCommonInterface::displaySleepAssertionID, uint32_t(0));
    ZrCommonInterface::sleepComputerMac();
    QVERIFY(fake().registerService("org.freedesktop.ScreenSaver"));
    QCOMPARE(m_log.take(), QStringList());
}

void tst_ZrCommonInterfaceBus::reveal_sendsTheFileUri_data()
{
    QTest::addColumn<QString>("separator");
    QTest::newRow("single") << "/";
    QTest::newRow("doubled") << "//";
    QTest::newRow("backslash") << "\\";
    QTest::newRow("backslash and slash") << "\\/";
}

void tst_ZrCommonInterfaceBus::reveal_sendsTheFileUri()
{
    QFETCH(QString, separator);
    const QString folder = m_dir.path() + QString::fromUtf8(u8"/Vidéos #1");
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + "/clip 1.mp4";
    QFile touch(file);
    QVERIFY(touch.open(QIODevice::WriteOnly));

    m_log.take();
    m_catcher.urls.clear();
    ZrCommonInterface::showFileInFolder((folder + separator + "clip 1.mp4").toStdString());
    const QStringList calls = m_log.take();
    QCOMPARE(calls.size(), 1);
    const QStringList words = calls.first().split(' ');
    QCOMPARE(words.value(0), QString("ShowItems"));
    QCOMPARE(words.size(), 3);
    QCOMPARE(QUrl(words.value(1)).toLocalFile(), file);
    QCOMPARE(words.value(1), QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
    QVERIFY(m_catcher.urls.isEmpty());
}

void tst_ZrCommonInterfaceBus::reveal_withoutFileManagerOpensTheFolder()
{
    QVERIFY(fake().unregisterService("org.freedesktop.FileManager1"));
    m_log.take();
    m_catcher.urls.clear();
    ZrCommonInterface::showFileInFolder((m_dir.path() + "//some.mp4").toStdString());
    QVERIFY(fake().registerService("org.freedesktop.FileManager1"));
    QCOMPARE(m_log.take(), QStringList());
    QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
}

void tst_ZrCommonInterfaceBus::power_asksLogin()
{
    // Only ever on the private bus: logind there must be our stand-in.
    QDBusConnection system = QDBusConnection::systemBus();
    QVERIFY(system.isConnected());
    const QString owner = system.interface()->serviceOwner("org.freedesktop.login1").value();
    if (owner.isEmpty() || owner != fake().baseService())
        QFAIL("the system bus is not the private test bus; the power calls are not made");

    m_log.take();
    ZrCommonInterface::shutdownComputer();
    QTRY_COMPARE(m_log.lines(), QStringList{"PowerOff 1"});
    m_log.take();
    ZrCommonInterface::sleepComputer();
    QTRY_COMPARE(m_log.lines(), QStringList{"Suspend 1"});
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_ZrCommonInterfaceBus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zrcommoninterface_dbus.moc"
