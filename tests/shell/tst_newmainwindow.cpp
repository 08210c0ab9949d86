// The main window in a real X server: what it reads from the settings at start, its size and
// place, closing, the hand-over of a path, and the frame: screen size requests, the playlist panel
// toggle, titles, maximise and restore, full screen.
#include "engine/playmetatypes.h"
#include "engine/qmediasettingmanager.h"
#include "player/playbtnwidget.h"
#include "player/qmediaplaywindow.h"
#include "player/qmessageform.h"
#include "playlist/qhiddendlg.h"
#include "playlist/qplaylistdlg.h"
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "shell/newmainwindow.h"
#include "shell/qglobalshortcut.h"
#include "shell/qshortcutmanager.h"
#include "toolkit/qzrbuttonext.h"
#include "toolkit/qzrmessagebox.h"

#include <QApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class tst_NewMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startSettings_data();
    void startSettings();
    void sizeAndPlace();
    void closeDeletesTheDialogsOnce();
    void fileOpenRestoresTheWindow();
    void handedOverFileThatDoesNotPlay_data();
    void handedOverFileThatDoesNotPlay();
    void screenSize_data();
    void screenSize();
    void panelToggle_data();
    void panelToggle();
    void quickToggles_data();
    void quickToggles();
    void titles();
    void maximiseAndRestore();
    void fullScreen();
    void escapeLeavesFullScreen_data();
    void escapeLeavesFullScreen();
    void systemTray();
    void spaceAfterActivation();
    void keysOnEveryWatchedWindow();
    void hotKeysFromTheSettings();
};

namespace {

const int Long = 180000;

QString fixture(const QString &name)
{
    return QStringLiteral(ZR_FIXTURES_DIR "/") + name;
}

template <class T>
T *child(const QObject *parent, const char *name = nullptr)
{
    return name ? parent->findChild<T *>(QLatin1String(name)) : parent->findChild<T *>();
}

QZRButtonExt *titleButton(const NewMainWindow &window, const QString &tip)
{
    for (QZRButtonExt *button : window.findChildren<QZRButtonExt *>(QString(), Qt::FindDirectChildrenOnly))
        if (button->toolTip() == tip)
            return button;
    return nullptr;
}

QSettingDlg *settingDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QSettingDlg *>(widget))
            return dialog;
    return nullptr;
}

// The store writes only items that exist: a read makes it first.
void store(const QString &item, const QString &key, const QString &value)
{
    QSettingXml::getItemValue(item, key, value);
    QSettingXml::setItemValue(item, key, value);
}

QString panelSetting()
{
    return QSettingXml::getItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "?");
}

// Shown and laid out; the panel's stored list is read by then.
void showWindow(NewMainWindow &window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, Long));
}

// Until the toggle's animations have run out and gone.
void waitForAnimations(const NewMainWindow &window)
{
    QTRY_VERIFY_WITH_TIMEOUT(window.findChildren<QPropertyAnimation *>().isEmpty(), Long);
}

void toggle(NewMainWindow &window)
{
    QVERIFY(QMetaObject::invokeMethod(&window, "isHiddenPlayList"));
}

}

void tst_NewMainWindow::initTestCase()
{
    registerPlayMetaTypes();
}

// Every case starts as a first start.
void tst_NewMainWindow::init()
{
    QFile::remove(QIAnyUtil::getAppDataPath() + "/DefaultSetting.xml");
    QFile::remove(QIAnyUtil::getAppDataPath() + "/PlayListFile.xml");
}

void tst_NewMainWindow::startSettings_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("playMode");
    QTest::addColumn<QString>("deinterlace");
    QTest::addColumn<bool>("panelHidden");
    QTest::addColumn<int>("expectedMode");
    QTest::addColumn<unsigned>("expectedDeinterlace");
    // An empty text stands for no stored value.
    QTest::newRow("first start") << "" << "" << "" << true << 0 << 1u;
    QTest::newRow("panel N") << "N" << "" << "" << false << 0 << 1u;
    QTest::newRow("panel y") << "y" << "" << "" << false << 0 << 1u;
    QTest::newRow("panel Y, shuffle") << "Y" << "4" << "0" << true << 4 << 0u;
    QTest::newRow("mode 7") << "" << "7" << "" << true << 0 << 1u;
    QTest::newRow("mode abc") << "" << "abc" << "" << true << 0 << 1u;
    QTest::newRow("mode -1, deinterlace abc") << "" << "-1" << "abc" << true << 0 << 0u;
}

void tst_NewMainWindow::startSettings()
{
    QFETCH(QString, panel);
    QFETCH(QString, playMode);
    QFETCH(QString, deinterlace);
    QFETCH(bool, panelHidden);
    QFETCH(int, expectedMode);
    QFETCH(unsigned, expectedDeinterlace);
    if (!panel.isEmpty())
        store("PlayList_Hide_Item", "PlayList_Hide_Item_Value", panel);
    if (!playMode.isEmpty())
        store("PlayMode_Item", "PlayMode_Item_Value", playMode);
    if (!deinterlace.isEmpty())
        store("Deinterlace_Item", "Deinterlace_Item_Value", deinterlace);

    NewMainWindow window;
    auto *list = child<QPlayListDlg>(&window);
    QVERIFY(list);
    QCOMPARE(list->isHidden(), panelHidden);
    QCOMPARE(window.minimumSize(), panelHidden ? QSize(500, 300) : QSize(756, 300));
    QCOMPARE(int(list->getPlayMode()), expectedMode);
    MediaSettting setting;
    child<QMediaSettingManager>(&window)->getMediaSettting(setting);
    QCOMPARE(setting.m_deinterlace, expectedDeinterlace);
    QCOMPARE(setting.m_equalize.m_count, 10);
}

void tst_NewMainWindow::sizeAndPlace()
{
    NewMainWindow window;
    showWindow(window);
    QCOMPARE(window.size(), QSize(1085, 644));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window.pos(), QPoint((available.width() - 1085) / 2, (available.height() - 644) / 2));
    QCOMPARE(window.windowTitle(), QString("ZRPlayer"));
    auto *player = child<QMediaPlayWindow>(&window);
    QCOMPARE(player->geometry(), QRect(4, 26, 1085 - 8, 644 - 30));
}

// Closing deletes the subtitle style dialog before the settings dialog, once; keys and the player
// window's road after the close find neither.
void tst_NewMainWindow::closeDeletesTheDialogsOnce()
{
    NewMainWindow window;
    showWindow(window);
    QPointer<QSettingDlg> settings = settingDialog();
    QVERIFY(settings);
    QPointer<QSubtitleSettingDlg> subtitles = child<QSubtitleSettingDlg>(settings.data());
    QVERIFY(subtitles);
    QStringList order;
    connect(subtitles.data(), &QObject::destroyed, this, [&] { order << "subtitle"; });
    connect(settings.data(), &QObject::destroyed, this, [&] { order << "settings"; });

    QVERIFY(window.close());
    QCOMPARE(order, QStringList({"subtitle", "settings"}));
    QVERIFY(settings.isNull());
    QVERIFY(window.close());
    QCOMPARE(order.size(), 2);

    auto *player = child<QMediaPlayWindow>(&window);
    QTest::keyClick(&window, Qt::Key_Space);
    QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(player, Qt::Key_Right);
    player->onStopPlay();
    QTest::mouseClick(child<QWidget>(child<PlayBtnWidget>(&window), "m_btnSetttings"), Qt::LeftButton);
}

// A path handed over to a minimised window restores it and then plays.
void tst_NewMainWindow::fileOpenRestoresTheWindow()
{
    NewMainWindow window;
    showWindow(window);
    window.showMinimized();
    QTRY_VERIFY_WITH_TIMEOUT(window.isMinimized(), Long);
    auto *list = child<QPlayListDlg>(&window);
    bool minimisedAtPlay = true;
    QString played;
    connect(list, &QPlayListDlg::emitItemPlay, this, [&](PlayItemInfo *item) {
        minimisedAtPlay = window.isMinimized();
        played = item->path;
    });
    window.fileOpen(fixture("clip.mp4"));
    QVERIFY(!window.isMinimized());
    QTRY_COMPARE_WITH_TIMEOUT(played, fixture("clip.mp4"), Long);
    QVERIFY(!minimisedAtPlay);
}

void tst_NewMainWindow::handedOverFileThatDoesNotPlay_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("not media") << "not media";
    // Only the text when the test runs as root, whom no mode keeps out.
    QTest::newRow("unreadable") << "unreadable";
}

// The user hears of it as of a file given at the first start: "File playback failed!", once
// however many more fail while it shows; nothing is listed.
void tst_NewMainWindow::handedOverFileThatDoesNotPlay()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("handed.mp4");
    if (kind != "missing") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is no video\n");
        file.close();
        if (kind == "unreadable")
            QVERIFY(file.setPermissions(QFileDevice::Permissions()));
    }
    NewMainWindow window;
    showWindow(window);
    QStringList messages;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QZRMessageBox *>(QApplication::activeModalWidget())) {
            messages << box->getMessage();
            // A second failure while the box shows opens no other.
            if (messages.size() == 1)
                window.fileOpen(dir.filePath("another.mp4"));
            box->OnBtnClose();
        }
    });
    answer.start(10);
    window.fileOpen(path);
    QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), Long);
    QCOMPARE(messages, QStringList({"File playback failed!"}));
    QVERIFY(child<QPlayListDlg>(&window)->getPlayItemInfoList()->isEmpty());
}

void tst_NewMainWindow::screenSize_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("panel hidden") << "Y" << QSize(648, 390);
    QTest::newRow("panel shown") << "N" << QSize(908, 390);
}

void tst_NewMainWindow::screenSize()
{
    QFETCH(QString, panel);
    QFETCH(QSize, expected);
    store("PlayList_Hide_Item", "PlayList_Hide_Item_Value", panel);
    NewMainWindow window;
    showWindow(window);
    QVERIFY(QMetaObject::invokeMethod(&window, "setScreenSize", Q_ARG(QSize, QSize(640, 360))));
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), expected, Long);
}

void tst_NewMainWindow::panelToggle_data()
{
    QTest::addColumn<QSize>("start");
    QTest::addColumn<QSize>("shownSize");
    QTest::newRow("wider than 756: the player shrinks") << QSize(1000, 600) << QSize(1000, 600);
    QTest::newRow("756 or narrower: the window grows") << QSize(700, 500) << QSize(956, 500);
}

// Shown: the panel at the right beside the player, the setting "N" and the larger minimum.
// Hidden: the player takes the width again, the panel slides out and hides, the setting "Y".
void tst_NewMainWindow::panelToggle()
{
    QFETCH(QSize, start);
    QFETCH(QSize, shownSize);
    NewMainWindow window;
    showWindow(window);
    window.resize(start);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), start, Long);
    auto *player = child<QMediaPlayWindow>(&window);
    auto *list = child<QPlayListDlg>(&window);
    QVERIFY(list->isHidden());

    toggle(window);
    waitForAnimations(window);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), shownSize, Long);
    const int w = shownSize.width();
    const int h = shownSize.height();
    QVERIFY(list->isVisible());
    QCOMPARE(player->geometry(), QRect(4, 26, w - 268, h - 30));
    QCOMPARE(list->geometry(), QRect(w - 260, 26, 256, h - 30));
    QCOMPARE(window.minimumSize(), QSize(756, 300));
    QCOMPARE(panelSetting(), QString("N"));

    toggle(window);
    waitForAnimations(window);
    QCOMPARE(window.size(), shownSize);
    QVERIFY(list->isHidden());
    QCOMPARE(player->geometry(), QRect(4, 26, w - 8, h - 30));
    QCOMPARE(window.minimumSize(), QSize(500, 300));
    QCOMPARE(panelSetting(), QString("Y"));
}

void tst_NewMainWindow::quickToggles_data()
{
    QTest::addColumn<bool>("startShown");
    QTest::newRow("hidden: show, hide") << false;
    QTest::newRow("shown: hide, show") << true;
}

// A second toggle before the first pair ends: the state of the second holds after both pairs
// would have run out.
void tst_NewMainWindow::quickToggles()
{
    QFETCH(bool, startShown);
    store("PlayList_Hide_Item", "PlayList_Hide_Item_Value", startShown ? "N" : "Y");
    NewMainWindow window;
    showWindow(window);
    auto *list = child<QPlayListDlg>(&window);
    QCOMPARE(list->isVisible(), startShown);
    toggle(window);
    toggle(window);
    waitForAnimations(window);
    QCOMPARE(list->isVisible(), startShown);
    if (startShown)
        QCOMPARE(list->geometry(), QRect(1085 - 260, 26, 256, 644 - 30));
    QCOMPARE(panelSetting(), QString(startShown ? "N" : "Y"));
}

void tst_NewMainWindow::titles()
{
    NewMainWindow window;
    auto *player = child<QMediaPlayWindow>(&window);
    emit player->emitPlayerToChangeTitle("movie.mkv");
    QCOMPARE(window.getDlgTitle(), QString("ZRPlayer - movie.mkv"));
    emit player->emitPlayerToChangeTitle(QString());
    QCOMPARE(window.getDlgTitle(), QString("ZRPlayer"));
    QCOMPARE(window.windowTitle(), QString("ZRPlayer"));
}

void tst_NewMainWindow::maximiseAndRestore()
{
    NewMainWindow window;
    showWindow(window);
    QZRButtonExt *maximise = titleButton(window, "Maximize");
    QZRButtonExt *restore = titleButton(window, "Restore");
    QVERIFY(maximise && restore);
    QVERIFY(maximise->isVisible() && restore->isHidden());
    QTest::mouseClick(maximise, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isMaxSize(), Long);
    QVERIFY(maximise->isHidden() && restore->isVisible());
    QTest::mouseClick(restore, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isMaxSize(), Long);
    QVERIFY(maximise->isVisible() && restore->isHidden());
}

// Full screen hides the panel and swaps the bar's pair of buttons; leaving it shows the panel,
// which a hidden playlist keeps beyond the right edge.
void tst_NewMainWindow::fullScreen()
{
    NewMainWindow window;
    showWindow(window);
    auto *player = child<QMediaPlayWindow>(&window);
    auto *list = child<QPlayListDlg>(&window);
    auto *bar = child<PlayBtnWidget>(&window);
    QSignalSpy modes(&window, &NewMainWindow::emitMainWinwowFullScreen);

    emit player->emitIsFullScreen();
    QVERIFY(window.isFullScreen());
    QCOMPARE(modes.count(), 1);
    QCOMPARE(modes.at(0).at(0).toBool(), true);
    QVERIFY(NewMainWindow::m_bFullscreen);
    QVERIFY(list->isHidden());
    QVERIFY(child<QWidget>(bar, "m_btnFullScreen")->isHidden());
    QVERIFY(!child<QWidget>(bar, "m_btnNormalScreen")->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(player->geometry(), QRect(QPoint(0, 0), window.size()), Long);

    emit player->emitIsFullScreen();
    QVERIFY(!window.isFullScreen());
    QCOMPARE(modes.count(), 2);
    QCOMPARE(modes.at(1).at(0).toBool(), false);
    QVERIFY(!NewMainWindow::m_bFullscreen);
    QVERIFY(!list->isHidden());
    QVERIFY(!child<QWidget>(bar, "m_btnFullScreen")->isHidden());
    QVERIFY(child<QWidget>(bar, "m_btnNormalScreen")->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(list->x() >= window.width(), Long);
}

void tst_NewMainWindow::escapeLeavesFullScreen_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Esc") << int(Qt::NoModifier);
    QTest::newRow("Shift+Esc") << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Esc") << int(Qt::ControlModifier);
}

// Esc leaves full screen and, in a window, stays there.
void tst_NewMainWindow::escapeLeavesFullScreen()
{
    QFETCH(int, modifiers);
    NewMainWindow window;
    showWindow(window);
    auto *player = child<QMediaPlayWindow>(&window);
    emit player->emitIsFullScreen();
    QVERIFY(window.isFullScreen());
    for (QWidget *target : {static_cast<QWidget *>(&window), static_cast<QWidget *>(player)}) {
        QTest::keyClick(target, Qt::Key_Escape, Qt::KeyboardModifiers(modifiers));
        QVERIFY(!window.isFullScreen());
        QVERIFY(!NewMainWindow::m_bFullscreen);
        QTest::keyClick(target, Qt::Key_Escape, Qt::KeyboardModifiers(modifiers));
        QVERIFY(!window.isFullScreen());
        emit player->emitIsFullScreen();
        QVERIFY(window.isFullScreen());
    }
}

// No tray on this X server: the program says so and goes on; a click on the icon, where there is
// one, shows a minimised window again.
void tst_NewMainWindow::systemTray()
{
    NewMainWindow window;
    showWindow(window);
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("System tray: this desktop has none"));
    QVERIFY(QMetaObject::invokeMethod(&window, "InitSystemTray"));
    QVERIFY(window.isVisible());

    for (const auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick}) {
        window.showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(window.isMinimized(), Long);
        QVERIFY(QMetaObject::invokeMethod(&window, "iconActivated", Q_ARG(QSystemTrayIcon::ActivationReason, reason)));
        QCOMPARE(window.isMinimized(), reason == QSystemTrayIcon::Context);
    }
}

// A window activated from outside (a task bar, a window manager's focus) gives its keys to the player: Space
// pauses, never presses a title button that took the focus (Close quit the program).
void tst_NewMainWindow::spaceAfterActivation()
{
    NewMainWindow window;
    showWindow(window);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window, Long));
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keyClick(focus, Qt::Key_Space);
    QVERIFY(window.isVisible());
    // The player's keys reach it from there: Shift+F speeds up.
    QTest::keyClick(focus, Qt::Key_F, Qt::ShiftModifier);
    AudioSettings audio;
    child<QMediaSettingManager>(&window)->getAudioSettings(audio);
    QCOMPARE(audio.m_speed, 120u);
}

// The key filter watches the main window, the bar, the overlay, the popup and the player window:
// Shift+F speeds up from each of them, and none of them sees the key.
void tst_NewMainWindow::keysOnEveryWatchedWindow()
{
    NewMainWindow window;
    showWindow(window);
    auto *hub = child<QMediaSettingManager>(&window);
    const QList<QWidget *> watched = {&window, child<PlayBtnWidget>(&window), child<QHiddenDlg>(&window),
                                      child<QMessageForm>(&window), child<QMediaPlayWindow>(&window)};
    unsigned int expected = 100;
    for (QWidget *target : watched) {
        QVERIFY(target);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::ShiftModifier);
        QCoreApplication::sendEvent(target, &press);
        QVERIFY2(press.isAccepted(), target->metaObject()->className());
        expected += 20;
        AudioSettings audio;
        hub->getAudioSettings(audio);
        QCOMPARE(audio.m_speed, expected);
    }
}

// A stored hot key that does not read back is rewritten to its default; the four are registered.
void tst_NewMainWindow::hotKeysFromTheSettings()
{
    store("SHORTCUT_SET", "Pause_shortcut", "no star");
    NewMainWindow window;
    window.InitShortcut();
    QCOMPARE(QSettingXml::getItemValue("SHORTCUT_SET", "Pause_shortcut", "?"), QString("201326592*16777273"));
    QVERIFY(QShortCutManager::getShortCutManagerObject()->GetItemForType(QGlobalShortCut::ShortCutPause));
}

QTEST_MAIN(tst_NewMainWindow)
#include "tst_newmainwindow.moc"
