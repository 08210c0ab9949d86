#include "qconverteroperate.h"

int QConverterOperate::g_langugeType = 0;
QString QConverterOperate::m_converterPath;
QString QConverterOperate::m_defaultOutPath;
QString QConverterOperate::m_screenshotPath;
QString QConverterOperate::m_logFilePath;
QString QConverterOperate::m_audioDeviceName;
int QConverterOperate::m_bIsKeepClassify = 2;

void QConverterOperate::setLanguageType(const QString &language)
{
    if (language == "Chinese")
        g_langugeType = 1;
    else if (language == "German")
        g_langugeType = 2;
    else if (language == "French")
        g_langugeType = 3;
    else if (language == "Japanese")
        g_langugeType = 4;
    else
        g_langugeType = 0;
}

int QConverterOperate::getLanguageType() { return g_langugeType; }
void QConverterOperate::setConverterPath(const QString &path) { m_converterPath = path; }
QString QConverterOperate::getConverterPath() { return m_converterPath; }
void QConverterOperate::setDefaultOutPath(const QString &path) { m_defaultOutPath = path; }
QString QConverterOperate::getDefaultOutPath() { return m_defaultOutPath; }
void QConverterOperate::setScreenshotsPath(const QString &path) { m_screenshotPath = path; }
QString QConverterOperate::getScreenshotsPath() { return m_screenshotPath; }
void QConverterOperate::setLogFilePath(const QString &path) { m_logFilePath = path; }
QString QConverterOperate::getLogFilePath() { return m_logFilePath; }
void QConverterOperate::setAudioDeviceName(const QString &name) { m_audioDeviceName = name; }
QString QConverterOperate::getAudioDeviceName() { return m_audioDeviceName; }
void QConverterOperate::setKeepClassify(int keep) { m_bIsKeepClassify = keep; }
int QConverterOperate::keepClassify() { return m_bIsKeepClassify; }
