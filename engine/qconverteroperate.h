#ifndef QCONVERTEROPERATE_H
#define QCONVERTEROPERATE_H

#include <QString>

// Process-wide options held in static members.
class QConverterOperate
{
public:
    QConverterOperate() {}

    static void setLanguageType(const QString &language);
    static int getLanguageType();
    static void setConverterPath(const QString &path);
    static QString getConverterPath();
    static void setDefaultOutPath(const QString &path);
    static QString getDefaultOutPath();
    static void setScreenshotsPath(const QString &path);
    static QString getScreenshotsPath();
    static void setLogFilePath(const QString &path);
    static QString getLogFilePath();
    static void setAudioDeviceName(const QString &name);
    static QString getAudioDeviceName();
    static void setKeepClassify(int keep);
    static int keepClassify();

private:
    static int g_langugeType;
    static QString m_converterPath;
    static QString m_defaultOutPath;
    static QString m_screenshotPath;
    static QString m_logFilePath;
    static QString m_audioDeviceName;
    static int m_bIsKeepClassify;
};

#endif
