#include "qianyutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const ProductFolder = "ZRPlayer";

// Loading threads may ask for the cached folders too.
QMutex &cacheLock()
{
    static QMutex lock;
    return lock;
}

// The executable's folder, up to and including its last "/".
QString executableParentWithSlash()
{
    QString path = QCoreApplication::applicationDirPath();
    path.replace("\\", "/");
    const int slash = path.lastIndexOf('/');
    if (slash >= 0)
        path.truncate(slash + 1);
    return path;
}

// base/ZRPlayer when it exists or can be made, otherwise base itself.
QString productFolderIn(const QString &base)
{
    const QString path = QString("%1/%2").arg(base, ProductFolder);
    if (QDir(path).exists() || QDir().mkpath(path))
        return path;
    return base;
}

// A folder only this user can use, so temporary files never meet another user's.
QString privateTempBase()
{
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).ownerId() == ::getuid())
        return runtime;

    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString mine = QString("%1/zrplayer-%2").arg(temp).arg(::getuid());
    const QByteArray native = QFile::encodeName(mine);
    ::mkdir(native.constData(), 0700);
    struct stat info;
    if (::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()
        && (info.st_mode & 077) == 0)
        return mine;
    return QString();
}

}

QString QIAnyUtil::s_appPath;
QString QIAnyUtil::s_resourcePath;
QString QIAnyUtil::s_restorPassword;
bool QIAnyUtil::s_appPathDone = false;
bool QIAnyUtil::s_resourcePathDone = false;

QString QIAnyUtil::getApplicationDirPath()
{
    QMutexLocker locker(&cacheLock());
    if (!s_appPathDone) {
        s_appPath = executableParentWithSlash() + "/";
        s_appPathDone = true;
    }
    return s_appPath;
}

QString QIAnyUtil::getResourcePath()
{
    QMutexLocker locker(&cacheLock());
    if (!s_resourcePathDone) {
        s_resourcePath = executableParentWithSlash() + "/Resources";
        s_resourcePathDone = true;
    }
    return s_resourcePath;
}

QString QIAnyUtil::getAppDataPath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
    const int slash = base.lastIndexOf('/');
    if (slash >= 0)
        base.truncate(slash);
    return productFolderIn(base);
}

QString QIAnyUtil::getDocumentPath()
{
    return productFolderIn(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString QIAnyUtil::getTempSavePath()
{
    const QString base = privateTempBase();
    if (base.isEmpty())
        return QString();
    return productFolderIn(base);
}

QString QIAnyUtil::getLogFilePath(QString, QString)
{
    return getAppDataPath();
}

QString QIAnyUtil::dndTmpPath()
{
    return QString("");
}

QString QIAnyUtil::size2String(unsigned long long bytes)
{
    if (bytes > 1073741824ULL)
        return QString::asprintf("%.2f GB", bytes / 1073741824.0);
    if (bytes > 1048576ULL)
        return QString::asprintf("%.2f MB", bytes / 1048576.0);
    if (bytes > 1024ULL)
        return QString::asprintf("%.2f KB", bytes / 1024.0);
    return QString::asprintf("%d B", int(bytes));
}

QString QIAnyUtil::getRestorePassWord()
{
    return s_restorPassword;
}

void QIAnyUtil::setRestorePassWord(QString password)
{
    s_restorPassword = password;
}
