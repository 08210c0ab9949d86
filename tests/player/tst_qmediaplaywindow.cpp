// The player window's play road with the real playback object, prober, control bar and loading
// thread: drops and file dialogs through the loading dialog, programs and disc titles, the roads
// of failure and Cancel, and the volume kept across starts.
#include "playwindowhost.h"

#include "engine/playmetatypes.h"
#include "levelbars.h"
#include "player/qaudiodatawidget.h"
#include "player/qloadingdlg.h"
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrmessagebox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>

using namespace PlayWindowTest;

class tst_QMediaPlayWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dropPlaysTheFoundItems();
    void programsOfAStream_data();
    void programsOfAStream();
    void discTitles();
    void discWithoutLength_data();
    void discWithoutLength();
    void folderOfBadFilesFails();
    void missingFileLeavesPlaybackAlone();
    void failingItemsStopHopping_data();
    void failingItemsStopHopping();
    void cancel_data();
    void cancel();
    void storedVolume_data();
    void storedVolume();
    void draggedVolumeComesBack();
    void fileDialogs();
    void toolTips();
    void settingsFollowTheMedium();
    void historyAndSettingsDialog();

private:
    QString path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    static bool copyInto(const QString &fixtureName, const QString &target);

    QTemporaryDir m_dir;
};

namespace {

const int Long = 30000;

double volumeSlider(const Host &host)
{
    return child<QZRBaseSlider>(host.bar, "m_volumeSlider")->value();
}

double progressSlider(const Host &host)
{
    return child<QZRBaseSlider>(host.bar, "m_videoProSlider")->value();
}

bool pauseShowing(const Host &host)
{
    return !child<QWidget>(host.bar, "m_btnPause")->isHidden() && child<QWidget>(host.bar, "m_btnPlay")->isHidden();
}

// Level bars of the audio pane as the screen shows them.
int litBars(const Host &host)
{
    auto *levels = host.window->findChild<QAudioDataWidget *>();
    const QPoint at = levels->mapTo(levels->window(), QPoint(0, 0));
    const QImage shown = levels->screen()
                             ->grabWindow(levels->window()->winId(), at.x(), at.y(), levels->width(), levels->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    return LevelBars::colouredPixels(shown);
}

QString settingsFile()
{
    return QIAnyUtil::getAppDataPath() + "/DefaultSetting.xml";
}

}

bool tst_QMediaPlayWindow::copyInto(const QString &fixtureName, const QString &target)
{
    return QDir().mkpath(QFileInfo(target).path()) && QFile::copy(fixture(fixtureName), target);
}

void tst_QMediaPlayWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    registerPlayMetaTypes();
    qRegisterMetaType<PlayModel>();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(copyInto("clip.mp4", path("road/clip.mp4")));
    QVERIFY(copyInto("clip.mp4", path("road/sub/clip2.mp4")));
    QVERIFY(copyInto("audio.mp3", path("road/audio.mp3")));
    QVERIFY(copyInto("notvideo.mp4", path("road/notvideo.mp4")));
    for (const char *name : {"notvideo.mp4", "empty.mp4", "truncated.mp4"})
        QVERIFY(copyInto(name, path(QStringLiteral("bad/") + name)));
    QVERIFY(copyInto("clip.mp4", path("open/MOVIE.MP4")));
    QVERIFY(copyInto("notvideo.mp4", path("open/notes.TXT")));
}

// A drop of a folder: the walk and the probe report through the loading dialog, every good file
// reaches the playlist and the first plays; at each end the playlist is asked for the next item,
// so the clips and the audio file play in turn; a stop brings back the cover.
void tst_QMediaPlayWindow::dropPlaysTheFoundItems()
{
    Host host;
    host.show();
    const QStringList files{path("road/clip.mp4"), path("road/sub/clip2.mp4"), path("road/audio.mp3"),
                            path("road/notvideo.mp4")};

    QVERIFY(drop(host.window, {path("road")}));
    // The drag source has its answer before the loading run begins.
    QVERIFY(!host.window->findChild<QLoadingDlg *>());

    QTRY_COMPARE_WITH_TIMEOUT(host.received.size(), 4, Long);
    QCOMPARE(host.reports.size(), 5);
    QCOMPARE(host.reports.at(0), QList<QString>{"Searching..."});
    QStringList reported;
    const QStringList percents{"40", "60", "80", "100"};
    for (int i = 0; i < 4; ++i) {
        const QList<QString> report = host.reports.at(i + 1);
        QCOMPARE(report.size(), 3);
        reported << report.at(0);
        QCOMPARE(report.at(1), QString("%1/4").arg(i + 1));
        QCOMPARE(report.at(2), percents.at(i));
    }
    reported.sort();
    QStringList expected = files;
    expected.sort();
    QCOMPARE(reported, expected);
    QCOMPARE(host.list.size(), 3);
    QCOMPARE(host.received.at(3).path, host.received.at(0).path);
    QVERIFY(!host.window->findChild<QLoadingDlg *>()->isVisible());

    // Each item in turn until a clip and the audio file have both been seen playing.
    bool sawVideo = false;
    bool sawAudio = false;
    for (const PlayItemInfo &item : QList<PlayItemInfo>(host.list)) {
        QTRY_COMPARE_WITH_TIMEOUT(host.current, item.path, Long);
        QTRY_COMPARE_WITH_TIMEOUT(host.player.getPlayerState(), PlayState_Playing, Long);
        QVERIFY(pauseShowing(host));
        QVERIFY(host.pane("m_cover")->isHidden());
        if (item.OnlyAudio_) {
            QCOMPARE(host.window->getMEdiaType(), MediaType_Audio);
            QVERIFY(!host.pane("m_mediaAudio")->isHidden());
            QVERIFY(host.pane("m_mediaVideo")->isHidden());
            QTRY_VERIFY_WITH_TIMEOUT(litBars(host) > 0, Long);
            sawAudio = true;
        } else {
            QCOMPARE(host.window->getMEdiaType(), MediaType_Video);
            QVERIFY(!host.pane("m_mediaVideo")->isHidden());
            QVERIFY(host.pane("m_mediaAudio")->isHidden());
            QTRY_VERIFY_WITH_TIMEOUT(host.startTime() != "00:00:00", Long);
            sawVideo = true;
        }
        if (sawVideo && sawAudio)
            break;
    }
    QVERIFY(sawVideo && sawAudio);
    QVERIFY(host.nextRequests >= 1);

    child<QAbstractButton>(host.bar, "m_btnStop")->click();
    QCOMPARE(host.player.getPlayerState(), PlayState_Stopped);
    QVERIFY(!host.pane("m_cover")->isHidden());
    QVERIFY(host.pane("m_mediaVideo")->isHidden() && host.pane("m_mediaAudio")->isHidden());
    QCOMPARE(host.startTime(), QString("00:00:00"));
    QCOMPARE(host.endTime(), QString("00:00:00"));
    QVERIFY(!pauseShowing(host));
}

void tst_QMediaPlayWindow::programsOfAStream_data()
{
    QTest::addColumn<PlayModel>("mode");
    QTest::newRow("List Play: the second program, then the playlist") << PlayModel_ListPlay;
    QTest::newRow("Single Loop: the first program again") << PlayModel_SingleLoop;
}

// The programs of one stream play in turn without the playlist; near each end the slider is
// moved on so the test does not wait for whole programs.
void tst_QMediaPlayWindow::programsOfAStream()
{
    QFETCH(PlayModel, mode);
    Host host;
    host.show();
    host.window->setPlayModel(mode);
    PlayItemInfo item = probed(fixture("twoprog.ts"));
    host.add(item);
    host.window->PlayVideoFile(&item);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    QCOMPARE(host.infos.m_programCount, 2);
    QCOMPARE(host.infos.m_currentIndex, 0);

    const int starts = host.states.count(qMakePair(item.path, PlayListItemState_Playing));
    host.window->ProgressValueChange(0.85);
    QTRY_VERIFY_WITH_TIMEOUT(host.states.count(qMakePair(item.path, PlayListItemState_Playing)) > starts, Long);
    QCOMPARE(host.nextRequests, 0);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    if (mode == PlayModel_SingleLoop) {
        QCOMPARE(host.infos.m_currentIndex, 0);
        host.window->onStopPlay();
        return;
    }
    QCOMPARE(host.infos.m_currentIndex, 1);
    host.window->ProgressValueChange(0.85);
    QTRY_COMPARE_WITH_TIMEOUT(host.nextRequests, 1, Long);
    QCOMPARE(host.infos.m_currentIndex, 1);
}

// A DVD folder of a 4 s and a 2 s title: one slider and one clock across both titles.
void tst_QMediaPlayWindow::discTitles()
{
    Host host;
    host.show();
    PlayItemInfo item = probed(fixture("dvd"));
    QVERIFY(item.File_isDVD);
    host.add(item);
    host.window->PlayVideoFile(&item);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    QCOMPARE(host.infos.m_programCount, 2);
    QVERIFY(host.infos.m_programsDuration > 5500000);
    QTRY_COMPARE_WITH_TIMEOUT(host.endTime(), ZRHelper::getTime(host.infos.m_programsDuration), Long);

    // Into the second title and back.
    host.window->ProgressValueChange(0.8);
    QCOMPARE(host.infos.m_currentIndex, 1);
    QTRY_VERIFY_WITH_TIMEOUT(host.startTime() >= "00:00:04", Long);
    QTRY_VERIFY_WITH_TIMEOUT(progressSlider(host) > 66.0, Long);
    host.window->ProgressValueChange(0.55);
    QCOMPARE(host.infos.m_currentIndex, 0);

    // The end of the first title plays the second from its start.
    QTRY_COMPARE_WITH_TIMEOUT(host.infos.m_currentIndex, 1, Long);
    QCOMPARE(host.nextRequests, 0);
    QTRY_VERIFY_WITH_TIMEOUT(host.startTime() >= "00:00:04", Long);

    // The end of the last title hands over to the playlist.
    host.window->ProgressValueChange(0.95);
    QTRY_COMPARE_WITH_TIMEOUT(host.nextRequests, 1, Long);

    host.window->onStopPlay();
    QCOMPARE(host.infos.m_currentIndex, 0);
    QVERIFY(!host.pane("m_cover")->isHidden());
}

void tst_QMediaPlayWindow::discWithoutLength_data()
{
    QTest::addColumn<bool>("noTotal");
    QTest::newRow("no total length") << true;
    QTest::newRow("titles of no length") << false;
}

// Titles that report no length give no seek and no progress, never a division by zero.
void tst_QMediaPlayWindow::discWithoutLength()
{
    QFETCH(bool, noTotal);
    Host host;
    host.show();
    PlayItemInfo item = probed(fixture("dvd"));
    host.window->PlayVideoFile(&item);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    host.window->ProgressValueChange(0.3);
    host.window->onPausePlay();
    QCOMPARE(host.player.getPlayerState(), PlayState_Paused);
    QTRY_VERIFY_WITH_TIMEOUT(host.player.getCurrentPlayTime() > 1000000, Long);
    if (noTotal) {
        host.infos.m_programsDuration = 0;
    } else {
        for (ProgramInfo *program : host.infos.m_programList)
            program->m_duration = 0;
    }
    const unsigned long long before = host.player.getCurrentPlayTime();

    host.window->ProgressValueChange(0.9);
    QCOMPARE(host.infos.m_currentIndex, 0);
    QCOMPARE(host.player.getCurrentPlayTime(), before);
    host.window->setProcessValue(0.5);
    QCOMPARE(progressSlider(host), 0.0);
}

void tst_QMediaPlayWindow::folderOfBadFilesFails()
{
    Host host;
    host.show();
    QVERIFY(drop(host.window, {path("bad")}));
    QTRY_COMPARE_WITH_TIMEOUT(host.failures, 1, Long);
    QTRY_COMPARE_WITH_TIMEOUT(host.reports.size(), 4, Long);
    QVERIFY(host.received.isEmpty());
    QVERIFY(host.states.isEmpty());
    QCOMPARE(host.player.getPlayerState(), PlayState(0));
    QVERIFY(!host.pane("m_cover")->isHidden());
}

void tst_QMediaPlayWindow::missingFileLeavesPlaybackAlone()
{
    Host host;
    host.show();
    host.mode = Host::SingleLoop;
    PlayItemInfo clip = probed(fixture("counter.mp4"));
    host.add(clip);
    host.window->PlayVideoFile(&clip);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    const int reportsBefore = host.states.size();

    QString message;
    QString title = "unread";
    onModal<QZRMessageBox>(this, [&](QZRMessageBox *box) {
        message = box->getMessage();
        title = box->getTitle();
        box->OnBtnClose();
    });
    PlayItemInfo missing = clip;
    missing.path = path("gone.mp4");
    host.window->PlayVideoFile(&missing);
    QCOMPARE(message, QString("The play file does not exist!"));
    QVERIFY(title != "unread" && !title.contains("exist"));
    QVERIFY(host.player.isPlayer());
    QCOMPARE(host.current, clip.path);
    for (int i = reportsBefore; i < host.states.size(); ++i)
        QVERIFY(host.states.at(i).first != missing.path);
}

void tst_QMediaPlayWindow::failingItemsStopHopping_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("one item in Single Loop") << int(Host::SingleLoop) << QStringList{"notvideo.mp4"};
    QTest::newRow("one item in List Cycle") << int(Host::ListCycle) << QStringList{"empty.mp4"};
    QTest::newRow("three items in List Cycle")
        << int(Host::ListCycle) << QStringList{"notvideo.mp4", "empty.mp4", "truncated.mp4"};
}

// Items that all fail to open: each is tried once, the second failure of one ends the hops with
// one failure report, and no failed item is left marked as playing.
void tst_QMediaPlayWindow::failingItemsStopHopping()
{
    QFETCH(int, mode);
    QFETCH(QStringList, names);
    Host host;
    host.show();
    host.mode = Host::Mode(mode);
    for (const QString &name : names) {
        PlayItemInfo item;
        item.path = fixture(name);
        item.Filename = name;
        host.add(item);
    }
    PlayItemInfo first = host.list.first();
    host.current = first.path;
    host.window->PlayVideoFile(&first);

    QTRY_COMPARE_WITH_TIMEOUT(host.failures, 1, Long);
    QCOMPARE(host.nextRequests, names.size());
    QVERIFY(!host.states.isEmpty());
    for (const auto &state : host.states)
        QCOMPARE(state.second, PlayListItemState_Finished);
    QCOMPARE(host.player.getPlayerState(), PlayState_Completed);

    // A good file afterwards plays as usual and clears the record of failures.
    PlayItemInfo clip = probed(fixture("clip.mp4"));
    host.window->PlayVideoFile(&clip);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    host.window->PlayVideoFile(&first);
    QTRY_VERIFY_WITH_TIMEOUT(host.nextRequests > names.size(), Long);
}

void tst_QMediaPlayWindow::cancel_data()
{
    QTest::addColumn<bool>("duringWalk");
    QTest::newRow("during the walk: nothing probed, a failure") << true;
    QTest::newRow("during the probe: the first found plays") << false;
}

// The worker is held at the chosen point while Cancel is pressed, so the stop lands exactly there;
// a drop right after the cancelled run loads cleanly.
void tst_QMediaPlayWindow::cancel()
{
    QFETCH(bool, duringWalk);
    Host host;
    host.show();
    QSemaphore gate;
    std::atomic<bool> held{false};
    std::atomic<bool> holdNext{true};
    auto hold = [&] {
        if (QThread::currentThread() != qApp->thread() && holdNext.exchange(false)) {
            held = true;
            gate.acquire();
        }
    };
    if (duringWalk)
        connect(host.window, &QMediaPlayWindow::emitUpdateLoadDlg, host.window, [&](QList<QString>) { hold(); },
                Qt::DirectConnection);
    else
        connect(host.window, &QMediaPlayWindow::emitDragMediaPlayItemInfo, host.window, [&](PlayItemInfo) { hold(); },
                Qt::DirectConnection);

    bool cancelled = false;
    QTimer press;
    connect(&press, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QLoadingDlg *>(QApplication::activeModalWidget());
        if (!dialog || !held)
            return;
        press.stop();
        child<QPushButton>(dialog, "m_btnCancel")->click();
        cancelled = true;
        gate.release();
    });
    press.start(10);

    QVERIFY(drop(host.window, {path("road")}));
    QTRY_VERIFY_WITH_TIMEOUT(cancelled, Long);
    if (duringWalk) {
        QTRY_COMPARE_WITH_TIMEOUT(host.failures, 1, Long);
        QCOMPARE(host.reports, QList<QList<QString>>{{"Searching..."}});
        QVERIFY(host.received.isEmpty());
        QCOMPARE(host.player.getPlayerState(), PlayState(0));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(host.received.size(), 2, Long);
        QCOMPARE(host.received.at(1).path, host.received.at(0).path);
        QCOMPARE(host.failures, 0);
        QCOMPARE(host.current, host.received.at(0).path);
        QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    }
    QVERIFY(!host.window->findChild<QLoadingDlg *>()->isVisible());

    host.reports.clear();
    host.received.clear();
    QVERIFY(drop(host.window, {path("road/sub"), path("road/audio.mp3")}));
    QTRY_COMPARE_WITH_TIMEOUT(host.received.size(), 3, Long);
    QCOMPARE(host.reports.size(), 3);
    QCOMPARE(host.reports.at(1), (QList<QString>{path("road/sub/clip2.mp4"), "1/2", "60"}));
    QCOMPARE(host.reports.at(2), (QList<QString>{path("road/audio.mp3"), "2/2", "100"}));
    QTRY_COMPARE_WITH_TIMEOUT(host.current, path("road/sub/clip2.mp4"), Long);
}

void tst_QMediaPlayWindow::storedVolume_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("shown");
    QTest::addColumn<double>("unmuted");
    QTest::newRow("nothing stored: full volume") << QString() << 100.0 << 100.0;
    QTest::newRow("0: muted, unmutes at 100") << "0" << 0.0 << 50.0;
    QTest::newRow("a dragged value") << "137.06" << 68.53 << 68.53;
    QTest::newRow("no number: full volume") << "loud" << 100.0 << 100.0;
    QTest::newRow("below the scale: muted") << "-5" << 0.0 << 50.0;
    QTest::newRow("above the scale: full volume") << "250" << 100.0 << 100.0;
}

void tst_QMediaPlayWindow::storedVolume()
{
    QFETCH(QString, stored);
    QFETCH(double, shown);
    QFETCH(double, unmuted);
    QFile::remove(settingsFile());
    if (!stored.isNull()) {
        QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200");
        QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", stored);
    }
    Host host;
    host.show();
    QVERIFY(qAbs(volumeSlider(host) - shown) < 0.01);
    host.window->OnBtnVolume(true);
    QCOMPARE(volumeSlider(host), 0.0);
    host.window->OnBtnVolume(false);
    QVERIFY(qAbs(volumeSlider(host) - unmuted) < 0.01);
}

void tst_QMediaPlayWindow::draggedVolumeComesBack()
{
    QFile::remove(settingsFile());
    {
        Host host;
        host.show();
        emit host.bar->sendVolumeValue(0.6853);
        QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"), QString("137.06"));
    }
    Host again;
    again.show();
    QVERIFY(qAbs(volumeSlider(again) - 68.53) < 0.01);
}

// Play with nothing loaded opens the file dialog, whose filters show upper-case names too; the
// chosen file loads and plays. A cancelled dialog starts nothing, not even the last run again.
void tst_QMediaPlayWindow::fileDialogs()
{
    Host host;
    host.show();
    bool shownOnTop = false;
    bool listed = false;
    bool hidden = false;
    QStringList filters;
    onModal<QFileDialog>(this, [&](QFileDialog *dialog) {
        shownOnTop = QMediaPlayWindow::m_bWindowShowTop;
        filters = dialog->nameFilters();
        dialog->setDirectory(path("open"));
        // The rows the dialog lists, enabled; a name the filters do not match is left out or disabled.
        auto *model = dialog->findChild<QFileSystemModel *>();
        const auto offered = [&](const QString &name) {
            const QModelIndex folder = model->index(path("open"));
            for (int row = 0; row < model->rowCount(folder); ++row) {
                const QModelIndex entry = model->index(row, 0, folder);
                if (entry.data().toString() == name && model->flags(entry).testFlag(Qt::ItemIsEnabled))
                    return true;
            }
            return false;
        };
        listed = QTest::qWaitFor([&] { return offered("MOVIE.MP4"); }, Long);
        hidden = !offered("notes.TXT");
        // Typed, as selectFile leaves a focused name field alone.
        child<QLineEdit>(dialog, "fileNameEdit")->setText("MOVIE.MP4");
        static_cast<QDialog *>(dialog)->accept();
    });
    host.window->onPlay();
    QVERIFY(shownOnTop);
    QVERIFY(!QMediaPlayWindow::m_bWindowShowTop);
    QVERIFY(listed);
    QVERIFY(hidden);
    QVERIFY(filters.first().contains("*.mp4") && filters.first().contains("*.MP4"));
    QVERIFY(filters.contains("Apple Video files(*.m4v *.M4V)"));
    QTRY_COMPARE_WITH_TIMEOUT(host.current, path("open/MOVIE.MP4"), Long);
    QCOMPARE(QSettingXml::getItemValue("OpenFile_Item", "OpenFile_Item_Value", "."), path("open"));

    const int reports = host.reports.size();
    const int states = host.states.size();
    onModal<QFileDialog>(this, [](QFileDialog *dialog) { dialog->reject(); });
    host.window->actOpenFile();
    QCOMPARE(host.reports.size(), reports);
    QCOMPARE(host.states.size(), states);
    QVERIFY(host.player.isPlayer());

    // The playlist removed the playing item: playback stops and Play asks for a file again.
    host.window->deleteCurrentPlayItem(nullptr);
    QCOMPARE(host.player.getPlayerState(), PlayState_Stopped);
    QVERIFY(!host.pane("m_cover")->isHidden());
    bool asked = false;
    onModal<QFileDialog>(this, [&](QFileDialog *dialog) {
        asked = true;
        dialog->reject();
    });
    host.window->onPlay();
    QVERIFY(asked);
}

// The popup over the window names what starts (its title tag, else the file name) and confirms
// the buttons.
void tst_QMediaPlayWindow::toolTips()
{
    Host host;
    host.show();
    auto *text = child<QLabel>(host.popup, "m_lblMessage");
    PlayItemInfo audio = probed(fixture("audio.mp3"));
    host.window->PlayVideoFile(&audio);
    QCOMPARE(text->text(), QString("Test Tone"));
    host.window->onPausePlay();
    QCOMPARE(text->text(), QString("Pause"));
    host.window->onPlay();
    QCOMPARE(text->text(), QString("Play"));
    PlayItemInfo clip = probed(fixture("clip.mp4"));
    host.window->PlayVideoFile(&clip);
    QCOMPARE(text->text(), QString("clip.mp4"));
    host.window->onStopPlay();
    QCOMPARE(text->text(), QString("Stop"));
}

// A start hands the hub the medium's subtitle choices and audio tracks; a stop resets every
// playback setting, the equaliser to ten flat bands.
void tst_QMediaPlayWindow::settingsFollowTheMedium()
{
    Host host;
    host.show();
    PlayItemInfo movie = probed(fixture("movie.mkv"));
    host.window->PlayVideoFile(&movie);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    MediaSettting working;
    host.hub.getMediaSettting(working);
    QCOMPARE(working.m_audioTrackList.size(), 2);
    QCOMPARE(working.m_subltItemList.size(), 3);
    QCOMPARE(working.m_subtitleValue.m_embeddedCount, 1);
    QCOMPARE(working.m_subtitleValue.m_subtitleIndex, 0);

    host.hub.setFillModeAll(2);
    host.window->onStopPlay();
    host.hub.getMediaSettting(working);
    QCOMPARE(working.m_fillMode, 0);
    QVERIFY(working.m_audioTrackList.isEmpty());
    QCOMPARE(working.m_equalize.m_count, 10);
    QCOMPARE(working.m_equalize.m_frequencies[0], 60.0);
    QCOMPARE(working.m_equalize.m_frequencies[9], 16000.0);
    for (int band = 0; band < 10; ++band)
        QCOMPARE(working.m_equalize.m_gains[band], 0.0);
}

// A started file joins the history; the settings dialog's changes reach what a resume pushes back,
// its button centres it over the window, and once it is gone (the main window's close deletes it)
// the play road goes on without it.
void tst_QMediaPlayWindow::historyAndSettingsDialog()
{
    Host host;
    host.show();
    PlayItemInfo movie = probed(fixture("movie.mkv"));
    host.window->PlayVideoFile(&movie);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    QVERIFY(!host.history.m_pPlayHistoryList->isEmpty());
    QCOMPARE(host.history.m_pPlayHistoryList->first()->path, movie.path);

    host.hub.setFillModeAll(2);
    emit host.settingDlg->emitSettingChange();
    host.hub.setFillModeAll(0);
    host.window->onPlay();
    MediaSettting working;
    host.hub.getMediaSettting(working);
    QCOMPARE(working.m_fillMode, 2);

    QTest::mouseClick(child<QWidget>(host.bar, "m_btnSetttings"), Qt::LeftButton);
    QTRY_VERIFY(host.settingDlg->isVisible());
    const QSize dialog = host.settingDlg->size();
    QCOMPARE(host.settingDlg->pos(), QPoint(qMax(50, (800 - dialog.width()) / 2 + 100), qMax(50, (500 - dialog.height()) / 2 + 50)));

    delete host.settingDlg;
    QVERIFY(host.settingDlg.isNull());
    host.window->onStopPlay();
    host.window->PlayVideoFile(&movie);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    QTest::mouseClick(child<QWidget>(host.bar, "m_btnSetttings"), Qt::LeftButton);
}

QTEST_MAIN(tst_QMediaPlayWindow)
#include "tst_qmediaplaywindow.moc"
