// The menu manager beside a playing player window in a real X server: jumps, scaling and the
// lists of the open medium, choosing from them, adding a subtitle file, and keys typed through the
// X server.
#include "pictureside.h"
#include "player/playwindowhost.h"

#include "engine/playmetatypes.h"
#include "playlist/qplayhistorymanager.h"
#include "settings_dialog/qsettingdlg.h"
#include "shell/qmenumanager.h"
#include "toolkit/qzrmenu.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

using namespace PlayWindowTest;

class tst_MenuCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void jumps();
    void halfSize();
    void listsOfTheMedium_data();
    void listsOfTheMedium();
    void chapterSeeks();
    void programsOfAStream();
    void addSubtitleTwice();
    void keysThroughTheXServer();
    void rotationTurnsThePicture_data();
    void rotationTurnsThePicture();

private:
    QTemporaryDir m_dir;
};

namespace {

const int Long = 180000;

// The player window's host with the menu manager wired in as the main window wires it.
struct MenuHost : Host
{
    MenuHost()
    {
        history.initPlayHistoryList();
        manager = new QMenuManager(&main);
        manager->setPlayObject(&player);
        manager->setSettingManager(&hub);
        manager->setMediaInfos(&infos);
        manager->setMessageForm(popup);
        manager->setPlayHistoryManager(&history);
        manager->setSettingDlg(settingDlg);
        manager->initMenu();
        manager->updateMenu();
        window->setMenuManager(manager);
    }

    void play(const QString &path)
    {
        PlayItemInfo item = probed(path);
        window->PlayVideoFile(&item);
        QTRY_COMPARE_WITH_TIMEOUT(player.getPlayerState(), PlayState_Playing, Long);
    }

    QMenu *submenu(QMenu *menu, const QString &text) const
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action->menu();
        return nullptr;
    }
    QMenu *path(const QStringList &texts) const
    {
        QMenu *menu = manager->getNormalMenu();
        for (const QString &text : texts)
            menu = menu ? submenu(menu, text) : nullptr;
        return menu;
    }
    QStringList texts(QMenu *menu) const
    {
        QStringList found;
        for (QAction *action : menu->actions())
            found << (action->isSeparator() ? QString("|") : action->text() + (action->isChecked() ? " *" : ""));
        return found;
    }
    QString message() const { return popup->findChild<QLabel *>("m_lblMessage")->text(); }

    QPlayHistoryManager history;
    QMenuManager *manager = nullptr;
};

// The player window as it shows on screen.
QImage onScreen(const QWidget *window)
{
    const QPoint corner = window->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()->grabWindow(0, corner.x(), corner.y(), window->width(), window->height()).toImage();
}

void makeClip(const QStringList &arguments)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", QStringList({"-loglevel", "error", "-y"}) + arguments);
    QVERIFY(ffmpeg.waitForFinished(120000));
    QCOMPARE(ffmpeg.exitCode(), 0);
}

}

void tst_MenuCommands::initTestCase()
{
    registerPlayMetaTypes();
    QVERIFY(m_dir.isValid());
    makeClip({"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=10:duration=32", "-c:v", "libx264", "-preset",
              "ultrafast", "-pix_fmt", "yuv420p", m_dir.path() + "/thirty.mp4"});
    makeClip({"-f", "lavfi", "-i", "testsrc2=size=1280x721:rate=10:duration=2", "-c:v", "libx264", "-preset",
              "ultrafast", "-pix_fmt", "yuv444p", m_dir.path() + "/odd.mkv"});
    QFile::copy(fixture("subs.ass"), m_dir.path() + "/a.b.ass");
    makeClip({"-f", "lavfi", "-i", "color=c=blue:size=160x120:rate=10:duration=60,drawbox=x=0:y=0:w=160:h=60:color=red:t=fill",
              "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", m_dir.path() + "/halves.mp4"});
}

// Ctrl+F moves about ten seconds on; back from 4 s and from exactly 10 s both land at 0.
void tst_MenuCommands::jumps()
{
    MenuHost host;
    host.show();
    host.play(m_dir.path() + "/thirty.mp4");
    host.window->onPausePlay();
    QVERIFY(host.player.setSeek(5000000));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(qint64(host.player.getCurrentPlayTime()) - 5000000) < 500000, Long);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier);
    QCoreApplication::sendEvent(host.window, &press);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(qint64(host.player.getCurrentPlayTime()) - 15000000) < 1000000, Long);
    QCOMPARE(host.message(), QString("Jump Forward 10 sec"));

    for (unsigned long long from : {4000000ULL, 10000000ULL}) {
        QVERIFY(host.player.setSeek(from));
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(qint64(host.player.getCurrentPlayTime()) - qint64(from)) < 100000, Long);
        host.manager->actJumpBack();
        QTRY_VERIFY_WITH_TIMEOUT(host.player.getCurrentPlayTime() < 500000, Long);
    }
    QCOMPARE(host.message(), QString("Jump Back 10 sec "));
}

void tst_MenuCommands::halfSize()
{
    MenuHost host;
    host.show();
    host.play(m_dir.path() + "/odd.mkv");
    host.hub.setAspectRatioAll(RatioType_PixelSize);
    QSignalSpy sizes(host.window, &QMediaPlayWindow::emitScreenSize);
    host.manager->scalingScreen(0);
    QCOMPARE(sizes.count(), 1);
    QCOMPARE(sizes.at(0).at(0).toSize(), QSize(640, 360));
}

void tst_MenuCommands::listsOfTheMedium_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("audioTracks");
    QTest::addColumn<int>("subtitles");
    QTest::newRow("two audio tracks, one embedded subtitle") << "movie.mkv" << 2 << 3;
    QTest::newRow("subtitle files beside a silent video") << "subs.mkv" << 0 << 6;
}

// "Disable", the embedded tracks and "Video Internal CC" first, files beside the video after them.
void tst_MenuCommands::listsOfTheMedium()
{
    QFETCH(QString, file);
    QFETCH(int, audioTracks);
    QFETCH(int, subtitles);
    MenuHost host;
    host.show();
    host.play(fixture(file));
    const QStringList audio = host.texts(host.path({"Audio", "Audio Track"}));
    if (audioTracks == 0) {
        QCOMPARE(audio, QStringList({"Empty"}));
    } else {
        QCOMPARE(audio.size(), audioTracks);
        QVERIFY(audio.first().endsWith(" *"));
    }
    const QStringList subtitleTexts = host.texts(host.path({"Subtitle", "Subtitle Track"}));
    QVERIFY2(subtitleTexts.size() >= subtitles, qPrintable(subtitleTexts.join('\n')));
    QCOMPARE(subtitleTexts.first(), QString("Disable *"));
    QCOMPARE(subtitleTexts.at(2), QString("Video Internal CC"));

    // Choosing the second audio track selects it for the playback object.
    if (audioTracks > 1) {
        host.path({"Audio", "Audio Track"})->actions().at(1)->trigger();
        SubtitleValue_Info selection;
        host.hub.getSubtitle(selection);
        QCOMPARE(selection.m_audioTrack, 1);
        QVERIFY(host.message().startsWith("Audio Track: "));
    }
}

void tst_MenuCommands::chapterSeeks()
{
    MenuHost host;
    host.show();
    host.play(fixture("movie.mkv"));
    host.window->onPausePlay();
    QMenu *chapters = host.path({"Player", "Chapter"});
    QVERIFY(chapters);
    QCOMPARE(chapters->actions().size(), 2);
    QVERIFY(chapters->actions().at(1)->text().contains("Ending"));
    chapters->actions().at(1)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(qint64(host.player.getCurrentPlayTime()) - 2000000) < 200000, Long);
    QVERIFY(host.message().startsWith("Chapter: "));
}

// Two programs listed, the current checked; choosing the second plays it (through the player
// window, which rebuilds the menus while the entry's trigger still runs).
void tst_MenuCommands::programsOfAStream()
{
    MenuHost host;
    host.show();
    host.play(fixture("twoprog.ts"));
    QMenu *programs = host.path({"Player", "Program"});
    QVERIFY(programs);
    QCOMPARE(programs->actions().size(), 2);
    QVERIFY(programs->actions().at(0)->isChecked());
    programs->actions().at(1)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(host.infos.m_currentIndex, 1, Long);
    QTRY_VERIFY_WITH_TIMEOUT(host.path({"Player", "Program"})->actions().at(1)->isChecked(), Long);
}

// The first time appends "(a.b)[ASS]" and selects it; the second selects the same entry.
void tst_MenuCommands::addSubtitleTwice()
{
    MenuHost host;
    host.show();
    host.play(fixture("movie.mkv"));
    const int before = host.texts(host.path({"Subtitle", "Subtitle Track"})).size();
    for (int run = 0; run < 2; ++run) {
        onModal<QFileDialog>(&host, [this](QFileDialog *dialog) {
            // Typed, as selectFile leaves a focused name field alone.
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(m_dir.path() + "/a.b.ass");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        host.manager->actAddSubtitle();
        const QStringList texts = host.texts(host.path({"Subtitle", "Subtitle Track"}));
        QCOMPARE(texts.size(), before + 1);
        QCOMPARE(texts.last(), QString("(a.b)[ASS] *"));
        QCOMPARE(host.message(), QString("Add Subtitle File: (a.b)[ASS]"));
    }
}

// Shift+1 and Shift+4 typed at the window: "!" and "$" on this layout, still the aspect keys.
void tst_MenuCommands::keysThroughTheXServer()
{
    MenuHost host;
    host.show();
    host.play(fixture("clip.mp4"));
    host.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host.main, Long));
    host.window->setFocus();
    QWidget *view = host.pane("m_mediaVideo")->findChild<QWidget *>();
    QVERIFY(view);
    const QSize original = view->size();
    for (const auto &[key, ratio, text] : {std::make_tuple("shift+1", RatioType_16_9, "16:9"),
                                           std::make_tuple("shift+4", RatioType_3_4, "3:4")}) {
        QProcess xdotool;
        xdotool.start("xdotool", {"key", key});
        QVERIFY(xdotool.waitForFinished(Long));
        QCOMPARE(xdotool.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(host.hub.getAspectRatio(), ratio, Long);
        QStringList checked;
        for (const QString &entry : host.texts(host.path({"Video", "Aspect Ratio"})))
            if (entry.endsWith(" *"))
                checked << entry;
        QCOMPARE(checked, QStringList({QString(text) + " *"}));
    }
    QTRY_VERIFY_WITH_TIMEOUT(view->size() != original, Long);
}

void tst_MenuCommands::rotationTurnsThePicture_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("side");
    QTest::newRow("clockwise: the top goes right") << "Rotate Clockwise 90" << "right";
    QTest::newRow("anticlockwise: the top goes left") << "Rotate Anticlockwise 90" << "left";
}

// The entries of the right-click menu turn a picture whose top half is red the way they say.
void tst_MenuCommands::rotationTurnsThePicture()
{
    QFETCH(QString, entry);
    QFETCH(QString, side);
    MenuHost host;
    host.show();
    host.play(m_dir.path() + "/halves.mp4");
    QTRY_COMPARE_WITH_TIMEOUT(redSide(onScreen(host.window)), QString("top"), Long);
    QAction *rotation = nullptr;
    for (QAction *action : host.path({"Video"})->actions())
        if (action->text() == entry)
            rotation = action;
    QVERIFY(rotation);
    rotation->trigger();
    QString now;
    QTRY_VERIFY_WITH_TIMEOUT((now = redSide(onScreen(host.window))) != "top" && !now.isEmpty(), Long);
    QCOMPARE(now, side);
}

QTEST_MAIN(tst_MenuCommands)
#include "tst_menucommands.moc"
