#ifndef QUIANYUTILIY_H
#define QUIANYUTILIY_H

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <QTime>

// Helpers for the user interface: scale hooks, size and time conversions, font
// family names and unused file names.
class QUiAnyUtiliy
{
public:
    QUiAnyUtiliy() {}

    static void QDpiScaleInit();
    static float getDpiScale();
    // Byte count as short text; each unit starts at its power of 1024: "1023 B",
    // "1.00 KB", "1.00 MB", "1.00 GB", "1.00 T".
    static QString converSize(unsigned long long bytes);
    // <root>//Resources, cached.
    static QString getResourcePath();
    // Microseconds as a time of day; invalid for 24 hours or more and for negative
    // durations of a millisecond or more.
    static QTime intConvertToTime(qint64 microseconds);
    static qint64 timeConvertToInt(QTime time);
    // Every installed font family; the writing system does not narrow the list.
    static QStringList familieNames(QFontDatabase::WritingSystem writingSystem);
    // A name (without the folder) that no entry of the folder has yet: name.suffix,
    // then name + separator (with %1 the counter 1, 2, ...) + .suffix. Files and folders
    // take a name alike, whatever isDir says.
    static QString findValidPathName(QString folder, QString name, QString suffix, QString separator,
                                     bool isDir);
};

#endif
