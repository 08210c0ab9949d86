#ifndef ZRHELPER_H
#define ZRHELPER_H

#include "engine/playiteminfo.h"

#include <QString>
#include <string>

// Static media helpers: probing a path into a play item, the disc test, and the size, time,
// duration and bit-rate texts. Each probe has a handle of its own, so loading threads may call
// them while a player plays.
class ZRHelper
{
public:
    ZRHelper() {}

    // Fills the item when the path opens (as a disc for folders and disc images) with video or
    // audio; on false the item is left as it was.
    static bool getMediaInfo(QString path, PlayItemInfo *item);
    static bool isDVDDir(QString path);
    static bool hasVedeoOrAudio(QString path);

    static QString getFileSizeToString(long long size);
    // Mode 0 "hh:mm:ss.zzz", mode 1 "h/min/s" words, mode 2 whole seconds or minutes; others empty.
    static QString getCountStringTime(unsigned long long time, int mode);
    static QString getBitRate(int rate);
    static QString getTime(unsigned long long time);
    static QString getPlayTime(unsigned long long current, unsigned long long total);

    static void showFileInFolder(std::string path);
    static void setOpenFinder(QString path);
};

#endif
