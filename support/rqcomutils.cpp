#include "support/rqcomutils.h"

#include "services/zratomicfile.h"
#include "services/zrcommoninterface.h"
#include "services/zrpropertylist.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

#include <array>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

const char *const InfoPlistName = "Info.plist";

// The number a text starts with, after white space, as C's strtod reads it; 0 when there is none.
double leadingNumber(const QString &text)
{
    static const QRegularExpression number("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?");
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

int leadingInteger(const QString &text)
{
    return static_cast<int>(qBound(-2147483648.0, leadingNumber(text), 2147483647.0));
}

// The string value of a top-level key of a property list file (XML or binary); nothing
// when the file, the key or a string value is missing.
QString plistString(const QString &path, const char *key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray data = file.readAll();
    plist_t root = ZrPropertyList::fromMemory(data.constData(), size_t(data.size()));
    if (!root)
        return QString();
    QString value;
    if (plist_get_node_type(root) == PLIST_DICT) {
        plist_t node = plist_dict_get_item(root, key);
        if (node && plist_get_node_type(node) == PLIST_STRING) {
            char *text = nullptr;
            plist_get_string_val(node, &text);
            value = QString::fromUtf8(text ? text : "");
            free(text);
        }
    }
    plist_free(root);
    return value;
}

// The kernel release's three leading numbers.
std::array<uint32_t, 3> runningVersion()
{
    std::array<uint32_t, 3> version{0, 0, 0};
    ZrCommonInterface::SystemVersionInfoValue(version[0], version[1], version[2]);
    return version;
}

QString mainInfo(const char *key)
{
    return plistString(ZrCommonInterface::getAppInfoFile(), key);
}

QString bundleInfoPlist(const QString &bundle)
{
    const QString flat = QDir(bundle).filePath(InfoPlistName);
    return QFileInfo::exists(flat) ? flat : QDir(bundle).filePath(QString("Contents/") + InfoPlistName);
}

QString trimmedFileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

QString appendPathComponent(const QString &folder, const QString &name)
{
    QString tail = name;
    while (tail.startsWith('/'))
        tail.remove(0, 1);
    if (tail.isEmpty())
        return folder;
    return folder.endsWith('/') ? folder + tail : folder + '/' + tail;
}

QString appFolderIn(const QString &base)
{
    const QString folder = appendPathComponent(base, RQComUtils::appName());
    return QDir().mkpath(folder) && QFileInfo(folder).isDir() ? folder : QString();
}

// Exists as an entry, a dangling link included.
bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool isRealDirectory(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// Copies a file, a link or a folder with everything in it; the destination must not exist.
bool copyEntry(const QString &source, const QString &destination)
{
    const QFileInfo info(source);
    if (info.isSymLink()) {
        // The link's own text, so that a relative link stays relative.
        char target[4096];
        const ssize_t length = ::readlink(QFile::encodeName(source).constData(), target, sizeof target);
        return length > 0 && size_t(length) < sizeof target
               && ::symlink(QByteArray(target, int(length)).constData(), QFile::encodeName(destination).constData())
                      == 0;
    }
    if (!info.isDir())
        return QFile::copy(source, destination);
    if (!QDir().mkdir(destination))
        return false;
    QFile::setPermissions(destination, info.permissions());
    const QStringList names =
        QDir(source).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!copyEntry(QDir(source).filePath(name), QDir(destination).filePath(name)))
            return false;
    }
    return true;
}

// The interface of the IPv4 default route, from /proc/net/route.
QString defaultRouteInterface()
{
    QFile file("/proc/net/route");
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = file.readAll().split('\n');
    const unsigned RouteUp = 0x1;
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).simplified().split(' ');
        if (fields.size() < 8)
            continue;
        bool ok = false;
        const unsigned flags = fields.at(3).toUInt(&ok, 16);
        if (ok && (flags & RouteUp) && fields.at(1) == "00000000" && fields.at(7) == "00000000")
            return QString::fromLocal8Bit(fields.at(0));
    }
    return QString();
}

QString hexDigest(const QString &text, QCryptographicHash::Algorithm algorithm)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), algorithm).toHex());
}

// NSRegularExpression's template: "$n" takes as many digits as name an existing group,
// "\" makes the next character literal.
QString expandTemplate(const QString &replacement, const QRegularExpressionMatch &match)
{
    QString result;
    const int groups = match.regularExpression().captureCount();
    for (int i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        if (c == '\\' && i + 1 < replacement.size()) {
            result += replacement.at(++i);
        } else if (c == '$' && i + 1 < replacement.size() && replacement.at(i + 1).isDigit()) {
            int group = replacement.at(++i).digitValue();
            while (i + 1 < replacement.size() && replacement.at(i + 1).isDigit()
                   && group * 10 + replacement.at(i + 1).digitValue() <= groups)
                group = group * 10 + replacement.at(++i).digitValue();
            if (group <= groups)
                result += match.captured(group);
        } else {
            result += c;
        }
    }
    return result;
}

QSizeF scaledToBounds(const QSizeF &size, const QSizeF &bounds)
{
    if (size.width() >= size.height()) {
        if (size.width() == 0)
            return size;
        return QSizeF(bounds.width(), size.height() * bounds.width() / size.width());
    }
    return QSizeF(size.width() * bounds.height() / size.height(), bounds.height());
}

bool runAsAdministrator(const ZrAuthorization &authorization, const char *tool, const QStringList &options,
                        const QStringList &operands)
{
    for (const QString &operand : operands) {
        if (operand.isEmpty())
            return false;
    }
    // "--" keeps a path that begins with "-" from being read as an option.
    return RQComUtils::AuthorizationExecuteWithPrivileges(authorization, tool,
                                                          options + QStringList("--") + operands);
}

}

QString RQComUtils::sysctlStringForKey(const QString &key)
{
    // Every "." becomes "/", so no name can climb out of /proc/sys.
    QString path = QString("/proc/sys/") + QString(key).replace('.', '/');
    QFile file(path);
    if (key.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString("");
    QString value = QString::fromUtf8(file.readAll());
    if (value.endsWith('\n'))
        value.chop(1);
    return value;
}

QString RQComUtils::deviceInfo()
{
    struct utsname names;
    return ::uname(&names) == 0 ? QString::fromLocal8Bit(names.machine) : QString("");
}

QString RQComUtils::deviceModel()
{
    const QString model = trimmedFileText("/sys/class/dmi/id/product_name");
    return model.isNull() ? QString("") : model;
}

QString RQComUtils::deviceName()
{
    return QString::fromLocal8Bit(qgetenv("USER"));
}

QString RQComUtils::deviceSerialNumber()
{
    return trimmedFileText("/sys/class/dmi/id/product_serial");
}

QString RQComUtils::deviceMacAddress()
{
    const QString name = defaultRouteInterface();
    if (name.isEmpty())
        return QString();
    QString address = QNetworkInterface::interfaceFromName(name).hardwareAddress().toLower();
    address.remove(':');
    static const QRegularExpression twelveHexDigits("^[0-9a-f]{12}$");
    return twelveHexDigits.match(address).hasMatch() ? address : QString();
}

QString RQComUtils::systemName()
{
    return QString("");
}

QString RQComUtils::systemVersion()
{
    struct utsname names;
    return ::uname(&names) == 0 ? QString::fromLocal8Bit(names.release) : QString("");
}

quint32 RQComUtils::systemVersionMajor()
{
    return runningVersion()[0];
}

quint32 RQComUtils::systemVersionMinor()
{
    return runningVersion()[1];
}

quint32 RQComUtils::systemVersionBugfix()
{
    return runningVersion()[2];
}

quint64 RQComUtils::systemVersionUInt64()
{
    const std::array<uint32_t, 3> version = runningVersion();
    return (quint64(version[0]) << 48) | (quint64(version[1] & 0xffff) << 32) | (quint64(version[2] & 0xffff) << 16);
}

bool RQComUtils::isLessThanSystemVersion(quint32 major, quint32 minor, quint32 bugfix)
{
    const std::array<uint32_t, 3> given{major, minor, bugfix};
    return runningVersion() < given;
}

bool RQComUtils::isSIPEnabled()
{
    return false;
}

double RQComUtils::statusBarHeight()
{
    return leadingNumber(systemVersion()) >= 7.0 ? 20.0 : 0.0;
}

QRectF RQComUtils::appFrame()
{
    return QRectF(0, 0, 0, 0);
}

QString RQComUtils::appVersion()
{
    return mainInfo("CFBundleVersion");
}

QString RQComUtils::appShortVersion()
{
    return mainInfo("CFBundleShortVersionString");
}

QString RQComUtils::appCopyright()
{
    return mainInfo("NSHumanReadableCopyright");
}

float RQComUtils::appVersionFloat()
{
    const QStringList parts = appVersion().split('.');
    QString joined = parts.first();
    if (parts.size() > 1)
        joined += '.' + parts.mid(1).join(QString());
    return static_cast<float>(leadingNumber(joined));
}

QString RQComUtils::appName()
{
    const QString displayName = bundleDisplayName();
    return displayName.isEmpty() ? mainInfo("CFBundleName") : displayName;
}

QString RQComUtils::bundleDisplayName()
{
    return mainInfo("CFBundleDisplayName");
}

QString RQComUtils::bundleIdentifier()
{
    return mainInfo("CFBundleIdentifier");
}

void RQComUtils::applicationVersion(const QString &path, int *major, int *minor, int *bugfix)
{
    const QString version = plistString(bundleInfoPlist(path), "CFBundleVersion");
    if (version.isNull())
        return;
    const QStringList parts = version.split('.');
    int *outs[3] = {major, minor, bugfix};
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        if (outs[i])
            *outs[i] = leadingInteger(parts.at(i));
    }
}

QString RQComUtils::applicationVersionString(const QString &path)
{
    const QString version = plistString(bundleInfoPlist(path), "CFBundleVersion");
    if (version.isNull())
        return QString();
    const QString build = plistString(QDir(path).filePath("Contents/version.plist"), "ProductBuildVersion");
    return build.isNull() ? version : QString("%1 (%2)").arg(version, build);
}

QString RQComUtils::userDocumentsDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString RQComUtils::userSupportDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString RQComUtils::userTrashDirectory()
{
    return userSupportDirectory() + "/Trash/files";
}

QString RQComUtils::userCachesDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

QString RQComUtils::userMoviesDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
}

QString RQComUtils::userLibraryDirectory()
{
    return userSupportDirectory();
}

QString RQComUtils::filePathForDocumentDirectory(const QString &name)
{
    return appendPathComponent(userDocumentsDirectory(), name);
}

QString RQComUtils::filePathForCachesDirectory(const QString &name)
{
    return appendPathComponent(userCachesDirectory(), name);
}

QString RQComUtils::filePathForTempDirectory(const QString &name)
{
    return appendPathComponent(QDir::tempPath(), name);
}

QString RQComUtils::filePathForMoviesDirectory(const QString &name)
{
    return appendPathComponent(userMoviesDirectory(), name);
}

QString RQComUtils::filePathForSupportDirectory(const QString &name)
{
    return appendPathComponent(userSupportDirectory(), name);
}

QString RQComUtils::currentAppSupportDirectory()
{
    return appFolderIn(userSupportDirectory());
}

QString RQComUtils::currentAppCachesDirectory()
{
    return appFolderIn(userCachesDirectory());
}

bool RQComUtils::renameFile(const QString &path, const QString &newName)
{
    if (path.isEmpty() || newName.isEmpty() || !entryExists(path))
        return false;
    // QFile::rename never replaces an existing file and leaves the source where it was on failure.
    return QFile::rename(path, QFileInfo(path).dir().filePath(newName));
}

bool RQComUtils::moveItemAtPath(const QString &source, const QString &destination)
{
    if (source.isEmpty() || destination.isEmpty() || !entryExists(source) || entryExists(destination))
        return false;
    if (QFile::rename(source, destination))
        return true;
    // A folder on another file system: copied whole, then the source removed.
    if (!isRealDirectory(source))
        return false;
    if (!copyEntry(source, destination)) {
        QDir(destination).removeRecursively();
        return false;
    }
    return QDir(source).removeRecursively();
}

bool RQComUtils::copyItemAtPath(const QString &source, const QString &destination)
{
    if (source.isEmpty() || destination.isEmpty() || !entryExists(source) || entryExists(destination))
        return false;
    return copyEntry(source, destination);
}

bool RQComUtils::deleteFile(const QString &path)
{
    if (path.isEmpty() || !entryExists(path))
        return false;
    return isRealDirectory(path) ? QDir(path).removeRecursively() : QFile::remove(path);
}

bool RQComUtils::deleteDocumentFile(const QString &name)
{
    if (name.isEmpty())
        return false;
    return deleteFile(filePathForDocumentDirectory(name));
}

bool RQComUtils::moveToTrash(const QString &path)
{
    if (path.isEmpty() || !entryExists(path))
        return false;
    const QString absolutePath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString name = QFileInfo(absolutePath).fileName();
    const QString files = userTrashDirectory();
    const QString info = QFileInfo(files).path() + "/info";
    if (name.isEmpty() || !QDir().mkpath(files) || !QDir().mkpath(info))
        return false;

    for (quint64 number = 0;; ++number) {
        const QString candidate = number == 0 ? name : QString("%1_%2").arg(number).arg(name);
        const QString target = QDir(files).filePath(candidate);
        if (entryExists(target))
            continue;
        // Creating the info file first reserves the name against other programs trashing at once.
        QFile infoFile(QDir(info).filePath(candidate + ".trashinfo"));
        if (!infoFile.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (entryExists(infoFile.fileName()))
                continue;
            return false;
        }
        QTextStream out(&infoFile);
        out.setCodec("UTF-8");
        out << "[Trash Info]\nPath=" << QString::fromLatin1(QUrl::toPercentEncoding(absolutePath, "/")) << '\n'
            << "DeletionDate=" << QDateTime::currentDateTime().toString("yyyy-MM-ddThh:mm:ss") << '\n';
        out.flush();
        infoFile.close();
        if (infoFile.error() == QFileDevice::NoError && moveItemAtPath(absolutePath, target))
            return true;
        infoFile.remove();
        return false;
    }
}

QVariantMap RQComUtils::fileProperty(const QString &path)
{
    struct stat status;
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QVariantMap();
    QString type = "NSFileTypeUnknown";
    if (S_ISREG(status.st_mode))
        type = "NSFileTypeRegular";
    else if (S_ISDIR(status.st_mode))
        type = "NSFileTypeDirectory";
    else if (S_ISLNK(status.st_mode))
        type = "NSFileTypeSymbolicLink";
    return QVariantMap{
        {"NSFileType", type},
        {"NSFileSize", quint64(status.st_size)},
        {"NSFileModificationDate", QDateTime::fromMSecsSinceEpoch(qint64(status.st_mtim.tv_sec) * 1000
                                                                  + status.st_mtim.tv_nsec / 1000000)},
        {"NSFilePosixPermissions", int(status.st_mode & 07777)},
        {"NSFileOwnerAccountID", uint(status.st_uid)},
        {"NSFileGroupOwnerAccountID", uint(status.st_gid)},
        {"NSFileReferenceCount", quint64(status.st_nlink)},
    };
}

QStringList RQComUtils::filePathsOfDirectory(const QString &path)
{
    QStringList paths;
    if (path.isEmpty() || !isRealDirectory(path))
        return paths;
    paths.reserve(50);
    // Without QDir::Hidden the iterator neither lists hidden files nor enters hidden folders.
    QDirIterator it(path, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    paths.sort();
    return paths;
}

quint64 RQComUtils::fileSize(const QString &path, bool isDirectory)
{
    if (!isDirectory)
        return fileProperty(path).value("NSFileSize").toULongLong();
    quint64 total = 0;
    for (const QString &file : filePathsOfDirectory(path))
        total += fileProperty(file).value("NSFileSize").toULongLong();
    return total;
}

QStringList RQComUtils::contentsOfDirectoryAtPath(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return QStringList();
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QList<QUrl> RQComUtils::contentsOfDirectoryAtPath(const QString &path, bool skipHiddenFiles)
{
    QList<QUrl> urls;
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return urls;
    QDir::Filters filters = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
    if (!skipHiddenFiles)
        filters |= QDir::Hidden;
    for (const QFileInfo &entry : QDir(path).entryInfoList(filters))
        urls.append(QUrl::fromLocalFile(entry.absoluteFilePath()));
    return urls;
}

bool RQComUtils::checkIsExistsFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool RQComUtils::checkIsExistsDir(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool RQComUtils::creatFile(const QString &path, const QByteArray &content, const QVariantMap &attributes)
{
    if (path.isEmpty())
        return false;
    if (ZrAtomicFile::save(path, content) != ZrAtomicFile::Saved)
        return false;
    bool ok = true;
    const QVariant permissions = attributes.value("NSFilePosixPermissions");
    if (permissions.isValid())
        ok = ::chmod(QFile::encodeName(path).constData(), mode_t(permissions.toUInt() & 07777)) == 0;
    const QDateTime modified = attributes.value("NSFileModificationDate").toDateTime();
    if (modified.isValid()) {
        QFile written(path);
        ok = written.open(QIODevice::ReadOnly) && written.setFileTime(modified, QFileDevice::FileModificationTime)
             && ok;
    }
    return ok;
}

bool RQComUtils::createDirectoryAtPath(const QString &path)
{
    return !path.isEmpty() && QDir().mkpath(path);
}

bool RQComUtils::isWritableFileAtPath(const QString &path)
{
    return !path.isEmpty() && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool RQComUtils::isReadableFileAtPath(const QString &path)
{
    return !path.isEmpty() && ::access(QFile::encodeName(path).constData(), R_OK) == 0;
}

QVariant RQComUtils::defaultValueForKey(const QString &key)
{
    return QSettings().value(key);
}

void RQComUtils::setDefaultValue(const QVariant &value, const QString &key)
{
    QSettings settings;
    settings.setValue(key, value);
    settings.sync();
}

void RQComUtils::removeDefaultForKey(const QString &key)
{
    QSettings settings;
    settings.remove(key);
    settings.sync();
}

QString RQComUtils::md5Encode(const QString &text)
{
    return text.isNull() ? QString() : hexDigest(text, QCryptographicHash::Md5);
}

QString RQComUtils::sha1(const QString &text)
{
    return hexDigest(text, QCryptographicHash::Sha1);
}

QString RQComUtils::encStringByAddingPercentEscapes(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString RQComUtils::stringByReplacingWithMatches(const QString &pattern, const QString &text,
                                                 const QString &replacement)
{
    if (pattern.isEmpty() || text.isNull() || replacement.isNull())
        return text;
    const QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        return text;
    QString result;
    int copied = 0;
    QRegularExpressionMatchIterator matches = expression.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        result += text.midRef(copied, match.capturedStart() - copied);
        result += expandTemplate(replacement, match);
        copied = match.capturedEnd();
    }
    result += text.midRef(copied);
    return result;
}

QString RQComUtils::stringByTrimmingWhitespace(const QString &text)
{
    return text.trimmed();
}

QString RQComUtils::fileNameByTrimmingSpecialCharacters(const QString &name)
{
    if (name.isEmpty())
        return name;
    QString result = name;
    while (result.startsWith(' ') || result.startsWith('\t'))
        result.remove(0, 1);
    while (result.endsWith(' ') || result.endsWith('\t'))
        result.chop(1);
    result.remove(':');
    result.remove('/');
    while (result.startsWith('.'))
        result.remove(0, 1);
    return result;
}

void RQComUtils::safeDictionart(QVariantMap &dictionary)
{
    for (QVariantMap::iterator it = dictionary.begin(); it != dictionary.end(); ++it) {
        if (it.value().isNull()) {
            it.value() = QString("");
        } else if (it.value().type() == QVariant::Map) {
            QVariantMap nested = it.value().toMap();
            safeDictionart(nested);
            it.value() = nested;
        }
    }
}

QString RQComUtils::formatDiskSize(quint64 bytes)
{
    const double kilobytes = bytes / 1000.0;
    if (kilobytes >= 1e9)
        return QString::asprintf("%0.1f TB", kilobytes / 1e9);
    if (kilobytes >= 1e6)
        return QString::asprintf("%0.1f GB", kilobytes / 1e6);
    if (kilobytes >= 1000)
        return QString::asprintf("%0.1f MB", kilobytes / 1000);
    return QString::asprintf("%0.1f KB", kilobytes);
}

QFont RQComUtils::defaultFontWithSize(double size)
{
    QFont font = QFontDatabase().families().contains("PingFangSC-Light")
                     ? QFont("PingFangSC-Light")
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (size > 0)
        font.setPointSizeF(size);
    return font;
}

QSizeF RQComUtils::fitSize(const QSizeF &size, const QSizeF &bounds)
{
    if (size.width() < bounds.width() && size.height() < bounds.height())
        return size;
    return scaledToBounds(size, bounds);
}

QSizeF RQComUtils::fillSize(const QSizeF &size, const QSizeF &bounds)
{
    return scaledToBounds(size, bounds);
}

QImage RQComUtils::croppedImage(const QImage &image, const QSizeF &size)
{
    if (image.isNull())
        return QImage();
    if (size.width() == 0 && size.height() == 0)
        return image;
    const QSize target = fitSize(QSizeF(image.size()), size).toSize();
    if (target.isEmpty())
        return QImage();
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(image.format());
}

bool RQComUtils::AuthorizationExecuteWithPrivileges(const ZrAuthorization &authorization, const QString &toolPath,
                                                    const QStringList &arguments)
{
    if (authorization.isNull() || toolPath.isEmpty())
        return false;
    const pid_t pid = authorization.executeWithPrivileges(toolPath, arguments);
    if (pid < 0)
        return false;
    // Only the started tool is waited for, never another child of the program.
    int status = 0;
    ZrAuthorization::waitForTool(pid, true, status);
    return status == 0;
}

bool RQComUtils::removeItemAtPath(const QString &path, const ZrAuthorization &authorization)
{
    return runAsAdministrator(authorization, "/bin/rm", {"-rf"}, {path});
}

bool RQComUtils::moveItemAtPath(const QString &source, const QString &destination,
                                const ZrAuthorization &authorization)
{
    return runAsAdministrator(authorization, "/bin/mv", {"-f"}, {source, destination});
}

bool RQComUtils::copyItemAtPath(const QString &source, const QString &destination,
                                const ZrAuthorization &authorization)
{
    return runAsAdministrator(authorization, "/bin/cp", {"-pR"}, {source, destination});
}

bool RQComUtils::chownItemAtPath(const QString &path, const ZrAuthorization &authorization)
{
    return runAsAdministrator(authorization, "/bin/chown", {"-R"}, {"0:0", path});
}

bool RQComUtils::AuthorizationExecute(const std::function<bool(const ZrAuthorization &)> &block)
{
    const ZrAuthorization authorization = ZrAuthorization::create();
    if (authorization.isNull() || !block)
        return false;
    return block(authorization);
}

bool RQComUtils::copyItemAtPath(const QString &source, const QString &destination, bool useAuthor)
{
    if (!useAuthor)
        return copyItemAtPath(source, destination);
    if (source.isEmpty() || destination.isEmpty() || !entryExists(source))
        return false;
    return AuthorizationExecute([&](const ZrAuthorization &authorization) {
        return removeItemAtPath(destination, authorization) && copyItemAtPath(source, destination, authorization)
               && chownItemAtPath(destination, authorization);
    });
}

bool RQComUtils::AuthorizationExecuteMoveItemAtPath(const QString &a, const QString &b, const QString &c,
                                                    const QString &d)
{
    if (a.isEmpty() || b.isEmpty() || c.isEmpty() || d.isEmpty())
        return false;
    return AuthorizationExecute([&](const ZrAuthorization &authorization) {
        return entryExists(a) && moveItemAtPath(a, b, authorization) && removeItemAtPath(d, authorization)
               && copyItemAtPath(c, d, authorization) && chownItemAtPath(d, authorization);
    });
}
