#ifndef ZRCOMMONINTERFACE_H
#define ZRCOMMONINTERFACE_H

#include <QImage>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <string>

class QWidget;

// The operating-system services the player needs beyond Qt: the display-sleep
// inhibit, the system version, the bundle's Info.plist, revealing a file, clocks
// and sleeps, and a few cursor, window and power calls.
class ZrCommonInterface
{
public:
    ZrCommonInterface() {}

    // Keeps the display awake (org.freedesktop.ScreenSaver) unless already held.
    static void neverSleepComputerMac();
    // Gives the held inhibit back and clears displaySleepAssertionID.
    static void sleepComputerMac();

    // "Linux 6.1.0", or "Unkown" when the kernel release cannot be read.
    static QString SystemVersionInfo();
    // The kernel release's three numbers; untouched on failure.
    static void SystemVersionInfoValue(uint32_t &major, uint32_t &minor, uint32_t &patch);

    // True when the bundle's Info.plist lacks CFBundleShortVersionString or cannot be read.
    static bool isNeedInitInfoFile();
    // Writes the version, name, identifier and updater keys into the plist at infoPath
    // while the bundle's Info.plist needs them.
    static void InitInfoToFile(std::string infoPath);
    static QString getAppInfoFile();
    // CFBundleShortVersionString of the bundle's Info.plist, or "2.2.0".
    static QString getAppVersion();
    // CFBundleVersion, or the build's own "2.2.0.6".
    static QString getAppBuildVersion();
    // SUFeedURL, the address the update check asks, or the build's own one.
    static QString getUpdateFeedURL();

    // Opens the file manager on the file's folder with the file selected.
    static void showFileInFolder(std::string path);

    // The bytes up to the first NUL, as UTF-8.
    static QString charToQString(const std::string &text);
    static std::u32string ConvertCharToUtft32(const char *text);

    // Blocks for the given microseconds; zero or negative returns at once.
    static void Sleep(int64_t microseconds);
    // Microseconds of the monotonic clock.
    static uint64_t getSystemTime();
    // Microseconds since 1970-01-01, 0 on failure.
    static uint64_t getDateTime();

    // Whether a file can be made in the folder, which must end in "/". Existing
    // entries are never opened or removed.
    static bool isWritableDir(QString folder);

    // The image of the cursor shown under the pointer, when it is a bitmap cursor;
    // a null image otherwise.
    static QImage getMacCursor(QPoint &hotSpot);
    static bool mouseIsPressed();
    static QPoint getMousePoint();
    // The widget's window as a half-transparent, click-through overlay on top.
    static void setWindowsIgnoresMouse(void *widget);
    static void setWindowTopHint(QWidget &widget, bool top);
    // Ask logind, interactively, to power off or suspend.
    static void shutdownComputer();
    static void sleepComputer();

    // The inhibit cookie; 0 while none is held.
    static uint32_t displaySleepAssertionID;
};

#endif
