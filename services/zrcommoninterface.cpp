#include "services/zrcommoninterface.h"

#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "services/qzrcommonplatfromapi.h"
#include "services/zrlogging.h"
#include "services/zrpropertylist.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDesktopServices>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <QWidget>

#include <cerrno>
#include <sys/time.h>
#include <sys/utsname.h>
#include <time.h>

namespace {

const char *const DefaultAppVersion = "2.2.0";
const char *const BuildVersion = "2.2.0.6";
const char *const ShortVersionKey = "CFBundleShortVersionString";
const int BusTimeoutMs = 5000;

QDBusMessage callOn(QDBusConnection bus, const QString &service, const QString &path,
                    const QString &interface, const QString &method, const QList<QVariant> &arguments)
{
    if (!bus.isConnected())
        return QDBusMessage();
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, BusTimeoutMs);
}

// Asks logind without waiting: an interactive request may wait on the user.
void askLogin(const QString &method)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                          "org.freedesktop.login1.Manager", method);
    message << true;
    bus.asyncCall(message);
}

// An XML property list: the document and its top-level <dict>.
struct Plist
{
    QDomDocument document;
    QDomElement dict;

    bool load(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = file.readAll();
        if (!ZrPropertyList::xmlWithinDepth(text.constData(), size_t(text.size())) || !document.setContent(text))
            return false;
        const QDomElement root = document.documentElement();
        dict = root.firstChildElement();
        return root.tagName() == "plist" && dict.tagName() == "dict";
    }

    // The value element of key, or a null element.
    QDomElement value(const QString &key) const
    {
        for (QDomElement e = dict.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.tagName() == "key" && e.text() == key)
                return e.nextSiblingElement();
        }
        return QDomElement();
    }

    QDomElement element(const QString &tag, const QString &text = QString())
    {
        QDomElement e = document.createElement(tag);
        if (!text.isNull())
            e.appendChild(document.createTextNode(text));
        return e;
    }

    // Replaces the value of key, or adds key and value at the end.
    void set(const QString &key, const QDomElement &newValue)
    {
        const QDomElement old = value(key);
        if (!old.isNull()) {
            dict.replaceChild(newValue, old);
            return;
        }
        dict.appendChild(element("key", key));
        dict.appendChild(newValue);
    }

    void setString(const QString &key, const QString &text)
    {
        set(key, element("string", text));
    }
};

// The string value of key in the bundle's Info.plist, or the fallback.
QString bundleString(const QString &key, const QString &fallback)
{
    Plist plist;
    if (plist.load(ZrCommonInterface::getAppInfoFile())) {
        const QDomElement value = plist.value(key);
        if (value.tagName() == "string")
            return value.text();
    }
    return fallback;
}

QString defaultFeedUrl()
{
    return QString("https://update.quorvane.com/api/product/version?pid=%1&ver=%2").arg("700", BuildVersion);
}

// The system name and the release's leading numbers ("6.1.0-18-amd64" gives 6, 1, 0).
bool kernelVersion(QString &system, uint32_t &major, uint32_t &minor, uint32_t &patch)
{
    struct utsname names;
    if (::uname(&names) != 0)
        return false;
    static const QRegularExpression pattern("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?");
    const QRegularExpressionMatch match = pattern.match(QString::fromLocal8Bit(names.release));
    if (!match.hasMatch())
        return false;
    bool ok[3] = {true, true, true};
    const uint32_t numbers[3] = {match.captured(1).toUInt(&ok[0]), match.captured(2).toUInt(&ok[1]),
                                 match.capturedLength(3) ? match.captured(3).toUInt(&ok[2]) : 0};
    if (!ok[0] || !ok[1] || !ok[2])
        return false;
    system = QString::fromLocal8Bit(names.sysname);
    major = numbers[0];
    minor = numbers[1];
    patch = numbers[2];
    return true;
}

}

uint32_t ZrCommonInterface::displaySleepAssertionID = 0;

void ZrCommonInterface::neverSleepComputerMac()
{
    if (displaySleepAssertionID != 0)
        return;
    const QDBusMessage reply = callOn(QDBusConnection::sessionBus(), "org.freedesktop.ScreenSaver",
                                      "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "Inhibit",
                                      {QString("ZRPlayer"), QString("NoDisplaySleepAssertion")});
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        displaySleepAssertionID = reply.arguments().first().toUInt();
}

void ZrCommonInterface::sleepComputerMac()
{
    if (displaySleepAssertionID == 0)
        return;
    callOn(QDBusConnection::sessionBus(), "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
           "org.freedesktop.ScreenSaver", "UnInhibit", {displaySleepAssertionID});
    displaySleepAssertionID = 0;
}

QString ZrCommonInterface::SystemVersionInfo()
{
    QString system;
    uint32_t major = 0, minor = 0, patch = 0;
    if (!kernelVersion(system, major, minor, patch))
        return "Unkown";
    return QString("%1 %2.%3.%4").arg(system).arg(major).arg(minor).arg(patch);
}

void ZrCommonInterface::SystemVersionInfoValue(uint32_t &major, uint32_t &minor, uint32_t &patch)
{
    QString system;
    kernelVersion(system, major, minor, patch);
}

bool ZrCommonInterface::isNeedInitInfoFile()
{
    Plist plist;
    return !plist.load(getAppInfoFile()) || plist.value(ShortVersionKey).isNull();
}

void ZrCommonInterface::InitInfoToFile(std::string infoPath)
{
    if (!isNeedInitInfoFile())
        return;
    const QString path = QString::fromStdString(infoPath);
    Plist plist;
    if (!plist.load(path))
        return;

    plist.setString("CFBundleVersion", BuildVersion);
    plist.setString(ShortVersionKey, DefaultAppVersion);
    plist.setString("SUFeedURL", defaultFeedUrl());
    plist.setString("CFBundleDisplayName", "ZRPlayer");
    plist.setString("CFBundleIdentifier",
                    QString("com.%1.%2 %3").arg("Quorvane", "Player", "").remove(' ').toLower());
    plist.setString("SUPublicDSAKeyFile", "DSAKeyFile.pem");
    QDomElement security = plist.element("dict");
    security.appendChild(plist.element("key", "NSAllowsArbitraryLoads"));
    security.appendChild(plist.element("true"));
    plist.set("NSAppTransportSecurity", security);
    // Replaced atomically; the document keeps the DOCTYPE it was read with.
    QSettingXml::SaveXml(path, plist.document);
}

QString ZrCommonInterface::getAppInfoFile()
{
    return QIAnyUtil::getApplicationDirPath() + "Info.plist";
}

QString ZrCommonInterface::getAppVersion()
{
    return bundleString(ShortVersionKey, DefaultAppVersion);
}

QString ZrCommonInterface::getAppBuildVersion()
{
    return bundleString("CFBundleVersion", BuildVersion);
}

QString ZrCommonInterface::getUpdateFeedURL()
{
    return bundleString("SUFeedURL", defaultFeedUrl());
}

void ZrCommonInterface::showFileInFolder(std::string path)
{
    QString text = charToQString(path);
    if (text.isEmpty())
        return;
    text.replace("\\", "/");
    const QFileInfo file(QDir::cleanPath(text));
    const QString uri = QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded);
    const QDBusMessage reply = callOn(QDBusConnection::sessionBus(), "org.freedesktop.FileManager1",
                                      "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
                                      "ShowItems", {QStringList{uri}, QString()});
    if (reply.type() != QDBusMessage::ReplyMessage)
        QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
}

QString ZrCommonInterface::charToQString(const std::string &text)
{
    return QString::fromUtf8(text.c_str());
}

std::u32string ZrCommonInterface::ConvertCharToUtft32(const char *text)
{
    if (!text)
        return std::u32string();
    const QVector<uint> units = QString::fromUtf8(text).toUcs4();
    return std::u32string(units.begin(), units.end());
}

void ZrCommonInterface::Sleep(int64_t microseconds)
{
    if (microseconds <= 0)
        return;
    struct timespec left;
    left.tv_sec = time_t(microseconds / 1000000);
    left.tv_nsec = long(microseconds % 1000000) * 1000;
    while (::nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

uint64_t ZrCommonInterface::getSystemTime()
{
    struct timespec now;
    if (::clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return getDateTime();
    return uint64_t(now.tv_sec) * 1000000 + uint64_t(now.tv_nsec) / 1000;
}

uint64_t ZrCommonInterface::getDateTime()
{
    struct timeval now;
    if (::gettimeofday(&now, nullptr) != 0)
        return 0;
    return uint64_t(now.tv_sec) * 1000000 + uint64_t(now.tv_usec);
}

bool ZrCommonInterface::isWritableDir(QString folder)
{
    qCDebug(lcZRPlayer) << folder;
    for (int counter = 0; counter < 100; ++counter) {
        const QString candidate = counter == 0 ? QString("%1%2.txt").arg(folder, "ZRPlayer")
                                               : QString("%1%2%3.txt").arg(folder, "ZRPlayer").arg(counter);
        const QFileInfo info(candidate);
        if (info.exists() || info.isSymLink())
            continue;
        // NewOnly: an entry that appeared meanwhile is never opened.
        QFile file(candidate);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return false;
        file.close();
        file.remove();
        return true;
    }
    return false;
}

QImage ZrCommonInterface::getMacCursor(QPoint &hotSpot)
{
    QCursor cursor;
    if (const QCursor *override = QGuiApplication::overrideCursor())
        cursor = *override;
    else if (const QWidget *widget = QApplication::widgetAt(QCursor::pos()))
        cursor = widget->cursor();
    if (cursor.shape() != Qt::BitmapCursor || cursor.pixmap().isNull())
        return QImage();
    hotSpot = cursor.hotSpot();
    return cursor.pixmap().toImage();
}

bool ZrCommonInterface::mouseIsPressed()
{
    return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

QPoint ZrCommonInterface::getMousePoint()
{
    return QCursor::pos();
}

void ZrCommonInterface::setWindowsIgnoresMouse(void *widget)
{
    if (!widget)
        return;
    QZRCommonPlatfromApi::setWindowsIgnoresMouse(widget);
    static_cast<QWidget *>(widget)->window()->setWindowOpacity(0.5);
}

void ZrCommonInterface::setWindowTopHint(QWidget &widget, bool top)
{
    QWidget *window = widget.window();
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, top);
    // Changing the flags hides a window.
    if (visible)
        window->show();
}

void ZrCommonInterface::shutdownComputer()
{
    askLogin("PowerOff");
}

void ZrCommonInterface::sleepComputer()
{
    askLogin("Suspend");
}
