#include "toolkit/qzrprojectpath.h"

#include "services/qianyutil.h"
#include "toolkit/qprojectconfig.h"

#include <QDir>
#include <QStandardPaths>

QString QZRProjectPath::s_resourcePathPrefix;
QString QZRProjectPath::s_commonPathPrefix;

void QZRProjectPath::formatPath(QString &path)
{
    path.replace("\\", "/");
    path.replace("//", "/");
}

QString QZRProjectPath::getApplicationDirPath()
{
    QString path = QIAnyUtil::getApplicationDirPath();
    formatPath(path);
    return path;
}

QString QZRProjectPath::getResourcePath(QString relativePath)
{
    QString path = QIAnyUtil::getResourcePath();
    if (!s_resourcePathPrefix.isEmpty())
        path += "/" + s_resourcePathPrefix;
    path += "/" + relativePath;
    formatPath(path);
    return path;
}

void QZRProjectPath::setResourcePathPrefix(QString prefix)
{
    s_resourcePathPrefix = prefix;
}

QString QZRProjectPath::resourcePathPrefix()
{
    return s_resourcePathPrefix;
}

QString QZRProjectPath::getTempSavePath(QString name, QString version)
{
    return projectFolder(QStandardPaths::writableLocation(QStandardPaths::TempLocation), name, version);
}

QString QZRProjectPath::getDocumentPath(QString name, QString version)
{
    return projectFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), name, version);
}

QString QZRProjectPath::getAppDataPath(QString name, QString version)
{
    // The data location ends in the application's own name; its parent is shared.
    QString base = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
    const int slash = base.lastIndexOf('/');
    if (slash >= 0)
        base.truncate(slash);
    return projectFolder(base, name, version);
}

QString QZRProjectPath::getLogFilePath(QString, QString)
{
    return getAppDataPath(QString(), QString());
}

void QZRProjectPath::setCommonPathPrefix(QString prefix)
{
    s_commonPathPrefix = prefix;
}

QString QZRProjectPath::commonPathPrefix()
{
    return s_commonPathPrefix;
}

// base[/common prefix]/"name version", created on demand; base itself when it cannot be made.
QString QZRProjectPath::projectFolder(QString base, QString name, QString version)
{
    const QProjectConfig *config = QProjectConfig::getProjectConfig();
    if (name.isEmpty())
        name = config->projectName();
    if (version.isEmpty())
        version = config->projectVersionName();

    if (!s_commonPathPrefix.isEmpty())
        base = base + "/" + s_commonPathPrefix;
    if (!version.isEmpty())
        name = QString("%1 %2").arg(name, version);
    QString path = name.isEmpty() ? base : QString("%1/%2").arg(base, name);
    if (QDir(path).exists() || QDir().mkpath(path)) {
        formatPath(path);
        return path;
    }
    return base;
}
