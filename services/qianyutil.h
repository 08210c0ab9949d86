#ifndef QIANYUTIL_H
#define QIANYUTIL_H

#include <QString>

// The program's folders. The build tree and an installed tree share one shape:
// <root>/bin/ZRPlayer, <root>/Resources/..., <root>/Info.plist.
class QIAnyUtil
{
public:
    QIAnyUtil() {}

    // <root> followed by "//"; cached.
    static QString getApplicationDirPath();
    // <root> followed by "//Resources"; cached.
    static QString getResourcePath();
    // The product's folders, created on demand at every call.
    static QString getAppDataPath();
    static QString getDocumentPath();
    static QString getTempSavePath();
    static QString getLogFilePath(QString company, QString product);
    static QString dndTmpPath();

    static QString size2String(unsigned long long bytes);

    static QString getRestorePassWord();
    static void setRestorePassWord(QString password);

private:
    static QString s_appPath;
    static QString s_resourcePath;
    static QString s_restorPassword;
    static bool s_appPathDone;
    static bool s_resourcePathDone;
};

#endif
