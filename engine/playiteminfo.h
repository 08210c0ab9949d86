#ifndef PLAYITEMINFO_H
#define PLAYITEMINFO_H

#include <QMetaType>
#include <QString>

// One playable file, DVD folder or disc image. Items are the same media when their paths are equal.
struct PlayItemInfo
{
    QString path;
    unsigned long long Play_to_time_;  // microseconds
    unsigned long long Duration_;      // microseconds
    bool OnlyAudio_;
    unsigned long long Size_;          // bytes
    unsigned long long CREACTTIME_;    // seconds since 1970
    QString Filename;
    bool File_isDVD;

    PlayItemInfo() { reset(); }

    inline void reset()
    {
        path = QString("");
        Play_to_time_ = 0;
        Duration_ = 0;
        OnlyAudio_ = false;
        Size_ = 0;
        CREACTTIME_ = 0;
        Filename = QString("");
        File_isDVD = false;
    }
};

Q_DECLARE_METATYPE(PlayItemInfo)

#endif
