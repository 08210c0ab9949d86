#ifndef PLAYSIGNALLOG_H
#define PLAYSIGNALLOG_H

#include "engine/zrqplayobject.h"

#include <QObject>
#include <QStringList>
#include <cstring>

// Records every signal of a playback object, in order, as "name(arguments)".
class PlaySignalLog : public QObject
{
public:
    explicit PlaySignalLog(ZRQPlayObject *player)
    {
        connect(player, &ZRQPlayObject::emitPlayTime, this, [this](QString t) { add("emitPlayTime", t); });
        connect(player, &ZRQPlayObject::emitPlayTime2, this, [this](QString t) { add("emitPlayTime2", t); });
        connect(player, &ZRQPlayObject::emitPlayTime3, this,
                [this](uint64_t t) { add("emitPlayTime3", QString::number(t)); });
        connect(player, &ZRQPlayObject::emitAudioData, this, [this](unsigned char *data, int sps) {
            // A block is checked while the signal runs: the receiver may not keep it.
            const bool block = data && std::memcmp(data, "RQAB", 4) == 0;
            add("emitAudioData", data ? QString(block ? "block,%1" : "bad,%1").arg(sps) : QString("null,0"));
        });
        connect(player, &ZRQPlayObject::emitPlayFinish, this, [this] { add("emitPlayFinish", QString()); });
        connect(player, &ZRQPlayObject::emitPlayCompleted, this,
                [this](PlayState s) { add("emitPlayCompleted", QString::number(int(s))); });
        connect(player, &ZRQPlayObject::emitIsHaveVideo, this,
                [this](bool b) { add("emitIsHaveVideo", b ? "true" : "false"); });
        connect(player, &ZRQPlayObject::emitMediaType, this,
                [this](MediaType t) { add("emitMediaType", QString::number(int(t))); });
        connect(player, &ZRQPlayObject::emitPlayState, this,
                [this](bool b) { add("emitPlayState", b ? "true" : "false"); });
        connect(player, &ZRQPlayObject::emitPlayPro, this,
                [this](double p) { add("emitPlayPro", QString::number(p)); });
        connect(player, &ZRQPlayObject::emitClosePlay, this, [this] { add("emitClosePlay", QString()); });
        connect(player, &ZRQPlayObject::emitRefreshPlayView, this,
                [this] { add("emitRefreshPlayView", QString()); });
        connect(player, &ZRQPlayObject::emitProgressEnable, this,
                [this](bool b) { add("emitProgressEnable", b ? "true" : "false"); });
    }

    // Every entry whose name is one of those given (all when none is given).
    QStringList only(const QStringList &names = {}) const
    {
        QStringList kept;
        for (const QString &entry : entries)
            if (names.isEmpty() || names.contains(entry.left(entry.indexOf('('))))
                kept << entry;
        return kept;
    }

    // The arguments of each entry of that name.
    QStringList values(const QString &name) const
    {
        QStringList kept;
        for (const QString &entry : entries)
            if (entry.startsWith(name + "("))
                kept << entry.mid(name.size() + 1, entry.size() - name.size() - 2);
        return kept;
    }

    // Entries without the periodic position and time reports.
    QStringList events() const
    {
        QStringList kept;
        for (const QString &entry : entries)
            if (!entry.startsWith("emitPlayTime") && !entry.startsWith("emitPlayPro")
                && !entry.startsWith("emitAudioData(block"))
                kept << entry;
        return kept;
    }

    QStringList entries;

private:
    void add(const char *name, const QString &arguments) { entries << QString("%1(%2)").arg(name, arguments); }
};

#endif
