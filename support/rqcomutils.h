#ifndef RQCOMUTILS_H
#define RQCOMUTILS_H

#include "support/zrauthorization.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <functional>

// Shared utilities: device and system information, bundle information, folders, file
// operations (plain and as the administrator), user defaults, digests and escapes, size
// texts and arithmetic, and a few string and image operations. Nothing here raises:
// failures give false, nothing (a null string), 0 or "".
class RQComUtils
{
public:
    // Device and system. Linux has no IOKit or sysctl names: /proc/sys, uname and
    // /sys/class/dmi stand in for them.
    // The /proc/sys value of a dotted name ("kernel.ostype") without its line end; "" when missing or empty.
    static QString sysctlStringForKey(const QString &key);
    // The machine type, as uname -m gives it.
    static QString deviceInfo();
    // The DMI product name; "" without DMI tables.
    static QString deviceModel();
    // $USER.
    static QString deviceName();
    // The DMI product serial, which only root may read; nothing otherwise.
    static QString deviceSerialNumber();
    // The hardware address of the default route's interface as 12 lower-case hex digits; nothing without one.
    static QString deviceMacAddress();
    static QString systemName();
    // The kernel release ("6.1.0-18-amd64") and its three leading numbers.
    static QString systemVersion();
    static quint32 systemVersionMajor();
    static quint32 systemVersionMinor();
    static quint32 systemVersionBugfix();
    // major << 48 | minor << 32 | bugfix << 16.
    static quint64 systemVersionUInt64();
    static bool isLessThanSystemVersion(quint32 major, quint32 minor, quint32 bugfix);
    // Linux has no system integrity protection.
    static bool isSIPEnabled();
    // 20 when systemVersion starts with a number of at least 7, else 0.
    static double statusBarHeight();
    static QRectF appFrame();

    // The main bundle's Info.plist (<root>/Info.plist).
    static QString appVersion();
    static QString appShortVersion();
    static QString appCopyright();
    // CFBundleVersion with one "." after its first part only: "1.2.3" gives 1.23.
    static float appVersionFloat();
    // CFBundleDisplayName, else CFBundleName.
    static QString appName();
    static QString bundleDisplayName();
    static QString bundleIdentifier();
    // The bundle at path: <path>/Info.plist, else <path>/Contents/Info.plist. The first three
    // parts of its CFBundleVersion; out-values of missing parts are left untouched.
    static void applicationVersion(const QString &path, int *major, int *minor, int *bugfix);
    // Its CFBundleVersion, then " (ProductBuildVersion)" from <path>/Contents/version.plist when there.
    static QString applicationVersionString(const QString &path);

    // Folders. Support and library are the XDG data home; the trash is its Trash/files.
    static QString userDocumentsDirectory();
    static QString userSupportDirectory();
    static QString userTrashDirectory();
    static QString userCachesDirectory();
    static QString userMoviesDirectory();
    static QString userLibraryDirectory();
    static QString filePathForDocumentDirectory(const QString &name);
    static QString filePathForCachesDirectory(const QString &name);
    static QString filePathForTempDirectory(const QString &name);
    static QString filePathForMoviesDirectory(const QString &name);
    static QString filePathForSupportDirectory(const QString &name);
    // The support or caches folder plus appName, made when missing; nothing when it cannot be made.
    static QString currentAppSupportDirectory();
    static QString currentAppCachesDirectory();

    // Files. An empty path gives false or nothing.
    // Renames within the item's folder, never onto an existing name; on failure the item stays.
    static bool renameFile(const QString &path, const QString &newName);
    // Moves or copies (folders with their contents); fails when the destination exists.
    static bool moveItemAtPath(const QString &source, const QString &destination);
    static bool copyItemAtPath(const QString &source, const QString &destination);
    // Removes a file or a whole folder when it exists.
    static bool deleteFile(const QString &path);
    static bool deleteDocumentFile(const QString &name);
    // Into the user's trash under its own name, else "1_name", "2_name"..., with the
    // freedesktop .trashinfo file beside.
    static bool moveToTrash(const QString &path);
    // The item's own attributes (links are not followed): "NSFileType" ("NSFileTypeRegular",
    // "NSFileTypeDirectory", "NSFileTypeSymbolicLink" or "NSFileTypeUnknown"), "NSFileSize",
    // "NSFileModificationDate", "NSFilePosixPermissions", "NSFileOwnerAccountID",
    // "NSFileGroupOwnerAccountID", "NSFileReferenceCount"; empty when it cannot be read.
    static QVariantMap fileProperty(const QString &path);
    // The true paths of the regular files at every depth below the folder; hidden files
    // and folders are skipped, links are not followed.
    static QStringList filePathsOfDirectory(const QString &path);
    // A file's size, or the sum of the sizes of filePathsOfDirectory.
    static quint64 fileSize(const QString &path, bool isDirectory);
    static QStringList contentsOfDirectoryAtPath(const QString &path);
    static QList<QUrl> contentsOfDirectoryAtPath(const QString &path, bool skipHiddenFiles);
    static bool checkIsExistsFile(const QString &path);
    static bool checkIsExistsDir(const QString &path);
    // Writes the file whole; "NSFilePosixPermissions" and "NSFileModificationDate" are applied.
    static bool creatFile(const QString &path, const QByteArray &content, const QVariantMap &attributes);
    static bool createDirectoryAtPath(const QString &path);
    static bool isWritableFileAtPath(const QString &path);
    static bool isReadableFileAtPath(const QString &path);

    // User defaults: the application's QSettings, written out at each change.
    static QVariant defaultValueForKey(const QString &key);
    static void setDefaultValue(const QVariant &value, const QString &key);
    static void removeDefaultForKey(const QString &key);

    // Text and data.
    // Lower-case hex digests of the UTF-8 bytes; md5Encode gives nothing for no text.
    static QString md5Encode(const QString &text);
    static QString sha1(const QString &text);
    // Every character but letters, digits and "-._~" as UTF-8 percent escapes.
    static QString encStringByAddingPercentEscapes(const QString &text);
    // Every case-insensitive match replaced by the template ("$1" a group, "\" escapes the next
    // character); the text unchanged when an argument is missing or the pattern is invalid.
    static QString stringByReplacingWithMatches(const QString &pattern, const QString &text,
                                                const QString &replacement);
    static QString stringByTrimmingWhitespace(const QString &text);
    // Spaces and tabs trimmed, ":" and "/" removed, leading "." dropped.
    static QString fileNameByTrimmingSpecialCharacters(const QString &name);
    // Null values become "", also inside nested maps.
    static void safeDictionart(QVariantMap &dictionary);
    // Decimal units: "%0.1f" of KB, MB, GB or TB.
    static QString formatDiskSize(quint64 bytes);
    // "PingFangSC-Light" when installed, else the system font, at the point size.
    static QFont defaultFontWithSize(double size);

    // Sizes and images. A size smaller than the bounds in both directions stays as it is
    // (fitSize only); otherwise a landscape or square size takes the bounds' width, a portrait
    // one their height, the aspect kept.
    static QSizeF fitSize(const QSizeF &size, const QSizeF &bounds);
    static QSizeF fillSize(const QSizeF &size, const QSizeF &bounds);
    // The image redrawn at fitSize of its size in the target, in its own format.
    static QImage croppedImage(const QImage &image, const QSizeF &size);

    // As the administrator, through pkexec. Each waits for its tool and is true only when
    // it exited with status 0; a missing path or authorization runs nothing.
    static bool AuthorizationExecuteWithPrivileges(const ZrAuthorization &authorization, const QString &toolPath,
                                                   const QStringList &arguments);
    static bool removeItemAtPath(const QString &path, const ZrAuthorization &authorization);
    static bool moveItemAtPath(const QString &source, const QString &destination,
                               const ZrAuthorization &authorization);
    static bool copyItemAtPath(const QString &source, const QString &destination,
                               const ZrAuthorization &authorization);
    // Gives the item and everything in it to root (owner and group 0).
    static bool chownItemAtPath(const QString &path, const ZrAuthorization &authorization);
    // The block's result, or false when no authorization can be had.
    static bool AuthorizationExecute(const std::function<bool(const ZrAuthorization &)> &block);
    // With useAuthor: as the administrator, remove the destination, copy the source there and give
    // it to root, stopping at the first failure; without: the plain copy.
    static bool copyItemAtPath(const QString &source, const QString &destination, bool useAuthor);
    // As the administrator: move a to b, then remove d, copy c to d and give d to root.
    static bool AuthorizationExecuteMoveItemAtPath(const QString &a, const QString &b, const QString &c,
                                                   const QString &d);
};

#endif
