// The player window in a plain main window with the real playback object, settings hub, prober,
// control bar, playlist overlay, message popup, history and settings dialog, wired as the program
// wires them. The host also plays the part of
// the playlist: it keeps the items the window hands over and answers a request for the next item
// with the one after the current, as its play mode says.
#ifndef PLAYWINDOWHOST_H
#define PLAYWINDOWHOST_H

#include "engine/qmediainfos.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "player/playbtnwidget.h"
#include "player/qmediaplaywindow.h"
#include "player/qmessageform.h"
#include "playlist/qhiddendlg.h"
#include "playlist/qplayhistorymanager.h"
#include "settings_dialog/qsettingdlg.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <functional>

namespace PlayWindowTest {

inline QString fixture(const QString &name)
{
    return QStringLiteral(ZR_FIXTURES_DIR "/") + name;
}

inline PlayItemInfo probed(const QString &path)
{
    PlayItemInfo item;
    if (!ZRHelper::getMediaInfo(path, &item))
        item.path = path;
    return item;
}

template <class T>
T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

// Runs the action on the first modal dialog of type T, from inside its own event loop.
template <class T>
void onModal(QObject *context, const std::function<void(T *)> &action)
{
    auto *poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, action] {
        if (T *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start(10);
}

// Drags the paths onto the widget and drops them there, as a file manager does; true when both
// the drag and the drop were accepted.
inline bool drop(QWidget *target, const QStringList &paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return enter.isAccepted() && event.isAccepted();
}

class Host : public QObject
{
public:
    enum Mode { ListPlay, ListCycle, SingleLoop };

    explicit Host(QRect geometry = QRect(100, 50, 800, 500))
    {
        main.setGeometry(geometry);
        bar = new PlayBtnWidget(&main);
        popup = new QMessageForm(&main);
        overlay = new QHiddenDlg(&main);
        history.initPlayHistoryList();
        settingDlg = new QSettingDlg;
        settingDlg->setSettingManager(&hub);
        window = new QMediaPlayWindow(&main);
        window->setGeometry(0, 0, geometry.width(), geometry.height());
        window->setPlayObject(&player);
        window->setSettingManager(&hub);
        window->setPlayBtnWidget(bar);
        window->setMediaInfos(&infos);
        window->setMessageForm(popup);
        window->setHiddenDlg(overlay);
        window->setPlayHistoryManager(&history);
        window->setSettingDlg(settingDlg);

        connect(window, &QMediaPlayWindow::emitUpdateLoadDlg, this, [this](QList<QString> report) { reports << report; });
        connect(window, &QMediaPlayWindow::emitDragMediaPlayItemInfo, this, [this](PlayItemInfo item) { add(item); });
        connect(window, &QMediaPlayWindow::emitPlayFileFailure, this, [this] { ++failures; });
        connect(window, &QMediaPlayWindow::emitSetCurrentPlayingPlayItemInfo, this,
                [this](PlayItemInfo *item, PlayListItemState state) {
                    states << qMakePair(item ? item->path : QString(), state);
                    if (item && state == PlayListItemState_Playing)
                        current = item->path;
                });
        connect(window, &QMediaPlayWindow::emitPlayNextMedia, this, [this] { playNext(); });
    }

    ~Host() override { delete settingDlg; }

    // A loaded machine may take minutes to map a window.
    void show()
    {
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, 180000));
    }

    // The playlist's part: a new path is appended, a known one refreshed in place.
    void add(const PlayItemInfo &item)
    {
        received << item;
        for (PlayItemInfo &entry : list) {
            if (entry.path == item.path) {
                entry = item;
                return;
            }
        }
        list << item;
    }

    void playNext()
    {
        ++nextRequests;
        int index = -1;
        for (int i = 0; i < list.size(); ++i)
            if (list.at(i).path == current)
                index = i;
        if (mode != SingleLoop || index < 0) {
            if (index + 1 < list.size())
                ++index;
            else if (mode == ListCycle && !list.isEmpty())
                index = 0;
            else
                return;
        }
        PlayItemInfo next = list.at(index);
        current = next.path;
        window->PlayVideoFile(&next);
    }

    QString startTime() const { return child<QLabel>(bar, "m_lblStartTime")->text(); }
    QString endTime() const { return child<QLabel>(bar, "m_lblEndTime")->text(); }
    QWidget *pane(const char *name) const { return child<QWidget>(window, name); }

    // The playback object goes first, before the video pane it draws on.
    QWidget main;
    ZRQPlayObject player;
    QMediaSettingManager hub;
    QMediaInfos infos;
    QPlayHistoryManager history;
    PlayBtnWidget *bar = nullptr;
    QMessageForm *popup = nullptr;
    QHiddenDlg *overlay = nullptr;
    // Without a parent, as the main window makes it, which deletes it when it closes.
    QPointer<QSettingDlg> settingDlg;
    QMediaPlayWindow *window = nullptr;

    Mode mode = ListPlay;
    QList<PlayItemInfo> list;
    QList<PlayItemInfo> received;
    QList<QList<QString>> reports;
    QList<QPair<QString, PlayListItemState>> states;
    QString current;
    int failures = 0;
    int nextRequests = 0;
};

}

#endif
