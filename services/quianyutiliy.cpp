#include "services/quianyutiliy.h"

#include "services/qianyutil.h"

#include <QFileInfo>

void QUiAnyUtiliy::QDpiScaleInit()
{
}

float QUiAnyUtiliy::getDpiScale()
{
    return 1.0f;
}

QString QUiAnyUtiliy::converSize(unsigned long long bytes)
{
    if (bytes < 1024ULL)
        return QString("%1 B").arg(bytes);
    if (bytes < 1048576ULL)
        return QString("%1 KB").arg(QString::number(bytes / 1024.0, 'f', 2));
    if (bytes < 1073741824ULL)
        return QString("%1 MB").arg(QString::number(bytes / 1048576.0, 'f', 2));
    if (bytes < 1099511627776ULL)
        return QString("%1 GB").arg(QString::number(bytes / 1073741824.0, 'f', 2));
    return QString("%1 T").arg(QString::number(bytes / 1099511627776.0, 'f', 2));
}

QString QUiAnyUtiliy::getResourcePath()
{
    return QIAnyUtil::getResourcePath();
}

QTime QUiAnyUtiliy::intConvertToTime(qint64 microseconds)
{
    // Whole milliseconds, truncated towards zero; out-of-day values never reach QTime's
    // int fields.
    const qint64 ms = microseconds / 1000;
    if (ms < 0 || ms >= 24LL * 3600000)
        return QTime();
    const int msecs = int(ms);
    return QTime(msecs / 3600000, (msecs / 60000) % 60, (msecs / 1000) % 60, msecs % 1000);
}

qint64 QUiAnyUtiliy::timeConvertToInt(QTime time)
{
    return ((qint64(time.hour()) * 3600 + time.minute() * 60 + time.second()) * 1000 + time.msec()) * 1000;
}

QStringList QUiAnyUtiliy::familieNames(QFontDatabase::WritingSystem)
{
    return QFontDatabase().families();
}

QString QUiAnyUtiliy::findValidPathName(QString folder, QString name, QString suffix, QString separator, bool)
{
    folder += "\\";
    folder.replace("\\", "/");
    folder.replace("//", "/");
    const QString extension = suffix.isEmpty() ? QString() : QString(".%1").arg(suffix);
    if (separator.isEmpty())
        separator = "-%1";
    // Without a placeholder the counter goes at the end, or the name would never change.
    if (!separator.contains("%1"))
        separator += "%1";

    // Any entry takes the name: file, folder, or a link even when it points nowhere.
    auto taken = [](const QString &path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    QString candidate = name + extension;
    for (int counter = 1; taken(folder + candidate); ++counter)
        candidate = name + QString(separator).replace("%1", QString::number(counter)) + extension;
    return candidate;
}
