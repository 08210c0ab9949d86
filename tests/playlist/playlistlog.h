#ifndef PLAYLISTLOG_H
#define PLAYLISTLOG_H

#include "playlist/qplaylistdlg.h"

#include <QFileInfo>
#include <QObject>
#include <QStringList>

// Records what a playlist panel tells its host, in order: "play:<file name>" ("play:null" for no
// record), "pause", "resume", "stop", "message:<text>", "mode:<n>", "deleteCurrent:<file name>".
class PlayListLog : public QObject
{
public:
    explicit PlayListLog(QPlayListDlg *panel)
    {
        connect(panel, &QPlayListDlg::emitItemPlay, this, [this](PlayItemInfo *item) { add("play", item); });
        connect(panel, &QPlayListDlg::emitItemPause, this, [this] { entries << "pause"; });
        connect(panel, &QPlayListDlg::emitPlay, this, [this] { entries << "resume"; });
        connect(panel, &QPlayListDlg::emitStopPlay, this, [this] { entries << "stop"; });
        connect(panel, &QPlayListDlg::emitMessageContent, this, [this](QString text) { entries << "message:" + text; });
        connect(panel, &QPlayListDlg::emitPlayModel, this,
                [this](PlayModel mode) { entries << QString("mode:%1").arg(int(mode)); });
        connect(panel, &QPlayListDlg::emitIsDeleteCurrentPlayItem, this,
                [this](PlayItemInfo *item) { add("deleteCurrent", item); });
        connect(panel, &QPlayListDlg::emitPlayFileFailure, this, [this] { entries << "failure"; });
    }

    QStringList entries;

private:
    // The record lives only during the signal, so its name is taken at once.
    void add(const char *name, const PlayItemInfo *item)
    {
        entries << QString("%1:%2").arg(name, item ? QFileInfo(item->path).fileName() : QString("null"));
    }
};

#endif
