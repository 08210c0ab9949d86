#ifndef QZRPROJECTPATH_H
#define QZRPROJECTPATH_H

#include <QString>

// Path building for the toolkit. The name and version arguments of the folder
// functions default, when empty, to the project name and version of QProjectConfig.
class QZRProjectPath
{
public:
    QZRProjectPath() {}

    // "\" becomes "/", then each "//" becomes "/" (one pass each).
    static void formatPath(QString &path);
    // <root>/
    static QString getApplicationDirPath();
    // relativePath inside the resource folder (and the resource prefix, when set).
    static QString getResourcePath(QString relativePath);
    static void setResourcePathPrefix(QString prefix);
    static QString resourcePathPrefix();

    static QString getTempSavePath(QString name, QString version);
    static QString getDocumentPath(QString name, QString version);
    static QString getAppDataPath(QString name, QString version);
    // The application-data folder with no project name; the arguments are not used.
    static QString getLogFilePath(QString name, QString version);

    static void setCommonPathPrefix(QString prefix);
    static QString commonPathPrefix();

private:
    static QString projectFolder(QString base, QString name, QString version);

    static QString s_resourcePathPrefix;
    static QString s_commonPathPrefix;
};

#endif
