#ifndef QSETTINGXML_H
#define QSETTINGXML_H

#include "engine/playiteminfo.h"

#include <QDomDocument>
#include <QList>
#include <QString>

// The XML files in the application-data folder: default settings, play history, playlist and
// snapshot settings. Nothing is kept in memory; every call works on the file itself. The calls that
// read or change a file hold it for their whole read-modify-write, against other threads and other
// processes alike.
class QSettingXml
{
public:
    QSettingXml() {}

    // Loads the file into doc; false only when it cannot be read (also when it is no regular file).
    // A file that does not parse, or nests deeper than the store's files do, is moved aside to
    // "<name>.bad" and doc starts over with an empty root. Text that is not UTF-8 in a file that names
    // no encoding is read as Latin-1, a copy kept as "<name>.bad".
    static bool isValidFile(QString path, QDomDocument &doc);
    // Replaces the file with doc atomically; on failure the old content stays.
    static void SaveXml(QString path, QDomDocument doc);

    // "DefaultSetting.xml"
    static QString getItemValue(QString item, QString key, QString defaultValue);
    static void setItemValue(QString item, QString key, QString value);

    // "PlayHistoryFile.xml"
    static void saveHistoryInfoList(QList<PlayItemInfo *> list);
    static void saveHistoryInfo(PlayItemInfo *item);
    static void analysisHistoryInfo(QList<PlayItemInfo *> *list);
    static void deleteHistoryInfo(QString path);
    static void clearHistoryInfo();

    // "PlayListFile.xml"
    static void savePlayListInfoList(QList<PlayItemInfo *> list);
    static void savePlayListInfo(PlayItemInfo *item);
    static void analysisPlayListInfo(QList<PlayItemInfo *> *list);
    static void deletePlayListInfo(QString path);
    static void clearPlayListInfo();

    // "ScreenShotsSetting.xml"
    static QString getCaptureImgSuffix();
    static QString getCaptrueImaSavePath();
    static void setCaptureImgSuffix(QString suffix);
    static void setCaptrueImaPath(QString path);
};

#endif
