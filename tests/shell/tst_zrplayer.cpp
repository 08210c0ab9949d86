// The program as a user starts it: the built binary in a real X server with a window manager,
// watched through screen grabs and driven by keys typed through the server. Solid-colour clips show
// which file plays and how much of the screen it fills; a clip whose top half is red shows which
// way it turns; a second start hands its file to the first; "[Close server]" and SIGTERM end a run
// as a normal quit.
#include "pictureside.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

class tst_ZRPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void playsTheFilesOfTheCommandLine();
    void secondStartHandsOver();
    void copyElsewhereHandsOverAndShowsNoWindow();
    void unplayableFileSaysSo_data();
    void unplayableFileSaysSo();
    void escapeLeavesFullScreen_data();
    void escapeLeavesFullScreen();
    void rotateClockwiseTurnsThePicture();
    void altOOpensTheSubtitleFileDialog();
    void terminationSavesThePlaylist();

private:
    enum Colour { Red, Blue, Green, Warning, Cover };

    QString clip(const QString &name) const { return m_dir.path() + "/" + name; }
    void start(QProcess &process, const QStringList &arguments, const QString &folder = QString(),
               const QString &program = QString(ZR_ROOT_DIR "/bin/ZRPlayer"));
    // Pixels of the screen close to the colour.
    int count(Colour colour) const;
    bool waitFor(Colour colour, bool shown) const;
    // Until the screen holds more (or fewer) pixels of the colour than the bound.
    bool waitForCount(Colour colour, int bound, bool above) const;
    QString playList() const;
    // The visible windows of the program: its main window is named after it.
    QStringList mainWindows() const;
    bool xdotool(const QStringList &arguments) const;
    // Keys go to the main window once the window manager has made it the active one.
    bool type(const QString &keys) const;

    QTemporaryDir m_dir;
    QProcess m_player;
    QProcess m_windowManager;
};

namespace {

// A loaded machine may take minutes for a start or a picture.
const int Long = 180000;
// A clip in the window covers far more than this many pixels...
const int Shown = 50000;
// ...and a full screen of 1600 by 1200 far more than a window of 1085 by 644 can hold.
const int FullScreen = 1400000;
const int Windowed = 900000;

bool matches(int colour, uchar r, uchar g, uchar b)
{
    switch (colour) {
    case 0:
        return r > 180 && g < 70 && b < 70;
    case 1:
        return b > 180 && r < 70 && g < 70;
    case 2:
        return g > 180 && r < 70 && b < 70;
    case 3:
        // The message box's warning icon.
        return qAbs(r - 240) < 30 && qAbs(g - 168) < 30 && qAbs(b - 48) < 30;
    default:
        // The idle cover's play button.
        return qAbs(r - 253) < 20 && qAbs(g - 94) < 20 && qAbs(b - 105) < 20;
    }
}

// A clip of one colour, with any further filter drawn over it.
void makeClip(const QString &colour, int seconds, const QString &path, const QString &drawn = QString())
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                            QString("color=c=%1:s=320x240:d=%2:r=25%3").arg(colour).arg(seconds).arg(drawn),
                            "-f", "lavfi", "-i",
                            QString("sine=d=%1").arg(seconds), "-shortest", "-c:v", "libx264", "-preset", "ultrafast",
                            "-pix_fmt", "yuv420p", path});
    QVERIFY(ffmpeg.waitForFinished(Long));
    QCOMPARE(ffmpeg.exitCode(), 0);
}

QImage screenGrab()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

}

// Eight seconds a clip leave a loaded machine time to show each; the window manager is openbox,
// installed with the program's dependencies.
void tst_ZRPlayer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    makeClip("red", 8, clip("red.mp4"));
    makeClip("blue", 8, clip("blue.mp4"));
    makeClip("lime", 60, clip("green.mp4"));
    makeClip("blue", 60, clip("halves.mp4"), ",drawbox=x=0:y=0:w=320:h=120:color=red:t=fill");
    QFile bad(clip("notvideo.mp4"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("this is no video\n");
    bad.close();
    QVERIFY(QDir().mkpath(clip("elsewhere")));

    const QString openbox = QStandardPaths::findExecutable("openbox");
    QVERIFY2(!openbox.isEmpty(), "no window manager: scripts/setup.sh installs openbox");
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(openbox, {"--sm-disable"});
    QVERIFY(m_windowManager.waitForStarted(Long));
    QElapsedTimer clock;
    clock.start();
    QProcess check;
    do {
        check.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
        QVERIFY(check.waitForFinished(Long));
        if (check.readAllStandardOutput().contains("window id"))
            return;
        QTest::qWait(50);
    } while (clock.elapsed() < Long);
    QFAIL("the window manager did not come up");
}

void tst_ZRPlayer::cleanupTestCase()
{
    m_windowManager.terminate();
    m_windowManager.waitForFinished(Long);
}

void tst_ZRPlayer::init()
{
    QFile::remove(QDir::homePath() + "/.local/share/ZRPlayer/PlayListFile.xml");
}

void tst_ZRPlayer::cleanup()
{
    if (m_player.state() != QProcess::NotRunning) {
        m_player.kill();
        m_player.waitForFinished(Long);
    }
}

void tst_ZRPlayer::start(QProcess &process, const QStringList &arguments, const QString &folder, const QString &program)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setWorkingDirectory(folder.isEmpty() ? m_dir.path() : folder);
    process.start(program, arguments);
    QVERIFY(process.waitForStarted(Long));
}

int tst_ZRPlayer::count(Colour colour) const
{
    const QImage screen = screenGrab();
    int found = 0;
    for (int y = 0; y < screen.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x)
            found += matches(colour, uchar(qRed(line[x])), uchar(qGreen(line[x])), uchar(qBlue(line[x])));
    }
    return found;
}

bool tst_ZRPlayer::waitForCount(Colour colour, int bound, bool above) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < Long) {
        const int found = count(colour);
        if (above ? found > bound : found < bound)
            return true;
        QTest::qWait(20);
    }
    return false;
}

bool tst_ZRPlayer::waitFor(Colour colour, bool shown) const
{
    if (shown)
        return waitForCount(colour, colour >= Warning ? 300 : Shown, true);
    return waitForCount(colour, 100, false);
}

QString tst_ZRPlayer::playList() const
{
    QFile file(QDir::homePath() + "/.local/share/ZRPlayer/PlayListFile.xml");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList tst_ZRPlayer::mainWindows() const
{
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--name", "^ZRPlayer$"});
    if (!search.waitForFinished(Long))
        return {"unknown"};
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

bool tst_ZRPlayer::xdotool(const QStringList &arguments) const
{
    QProcess run;
    run.start("xdotool", arguments);
    return run.waitForFinished(Long) && run.exitCode() == 0;
}

bool tst_ZRPlayer::type(const QString &keys) const
{
    QElapsedTimer timer;
    timer.start();
    QStringList windows;
    while ((windows = mainWindows()).size() != 1) {
        if (timer.elapsed() > Long)
            return false;
        QTest::qWait(20);
    }
    return xdotool({"windowactivate", "--sync", windows.first()}) && xdotool({"key", keys});
}

// Red plays, then blue, then the idle cover; "[Close server]" from a second start ends the run
// normally, which saves every file with its absolute path.
void tst_ZRPlayer::playsTheFilesOfTheCommandLine()
{
    start(m_player, {"red.mp4", clip("blue.mp4")});
    QVERIFY(waitFor(Red, true));
    QVERIFY(waitFor(Blue, true));
    QVERIFY(waitFor(Blue, false));
    QVERIFY(count(Red) < 100);
    QVERIFY(waitFor(Cover, true));
    QCOMPARE(m_player.state(), QProcess::Running);

    QProcess closer;
    start(closer, {"[Close server]"});
    QVERIFY(closer.waitForFinished(Long));
    QVERIFY(m_player.waitForFinished(Long));
    QCOMPARE(m_player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_player.exitCode(), 0);
    const QString list = playList();
    QVERIFY2(list.contains(clip("red.mp4")), qPrintable(list));
    QVERIFY2(list.contains(clip("blue.mp4")), qPrintable(list));
}

// A second start with a path relative to its own folder ends at once; the first plays the file.
void tst_ZRPlayer::secondStartHandsOver()
{
    start(m_player, {});
    QVERIFY(waitFor(Cover, true));
    QProcess second;
    start(second, {"../green.mp4"}, clip("elsewhere"));
    QVERIFY(second.waitForFinished(Long));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(waitFor(Green, true));
    QCOMPARE(m_player.state(), QProcess::Running);

    QProcess closer;
    start(closer, {"[Close server]"});
    QVERIFY(closer.waitForFinished(Long));
    QVERIFY(m_player.waitForFinished(Long));
    QCOMPARE(m_player.exitCode(), 0);
    QVERIFY(playList().contains(clip("green.mp4")));
}

// A copy of the program installed elsewhere is the same program: it hands its file over and ends
// without a window of its own.
void tst_ZRPlayer::copyElsewhereHandsOverAndShowsNoWindow()
{
    const QString root = clip("copy");
    QVERIFY(QDir().mkpath(root + "/bin"));
    QVERIFY(QFile::copy(ZR_ROOT_DIR "/bin/ZRPlayer", root + "/bin/ZRPlayer"));
    QVERIFY(QFile::setPermissions(root + "/bin/ZRPlayer", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QFile::link(ZR_ROOT_DIR "/Resources", root + "/Resources"));

    start(m_player, {});
    QVERIFY(waitFor(Cover, true));
    QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, Long);
    QProcess copy;
    start(copy, {clip("green.mp4")}, QString(), root + "/bin/ZRPlayer");
    QVERIFY(copy.waitForFinished(Long));
    QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.exitCode(), 0);
    QVERIFY(waitFor(Green, true));
    QCOMPARE(mainWindows().size(), 1);
    QCOMPARE(m_player.state(), QProcess::Running);
}

void tst_ZRPlayer::unplayableFileSaysSo_data()
{
    QTest::addColumn<bool>("handedOver");
    QTest::addColumn<QString>("file");
    QTest::newRow("first start, no video") << false << "notvideo.mp4";
    QTest::newRow("handed over, no video") << true << "notvideo.mp4";
    QTest::newRow("handed over, missing") << true << "missing.mp4";
}

// A file that does not play: "File playback failed!" with its warning icon, whichever way it came,
// and the run goes on.
void tst_ZRPlayer::unplayableFileSaysSo()
{
    QFETCH(bool, handedOver);
    QFETCH(QString, file);
    if (handedOver) {
        start(m_player, {});
        QVERIFY(waitFor(Cover, true));
        QVERIFY(waitFor(Warning, false));
        QProcess second;
        start(second, {clip(file)});
        QVERIFY(second.waitForFinished(Long));
        QCOMPARE(second.exitCode(), 0);
    } else {
        start(m_player, {clip(file)});
    }
    QVERIFY(waitFor(Warning, true));
    QCOMPARE(m_player.state(), QProcess::Running);
}

void tst_ZRPlayer::escapeLeavesFullScreen_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("Esc") << "Escape";
    QTest::newRow("Shift+Esc") << "shift+Escape";
    QTest::newRow("Ctrl+Esc") << "ctrl+Escape";
}

// Alt+A fills the screen with the picture; the key takes it back into the window.
void tst_ZRPlayer::escapeLeavesFullScreen()
{
    QFETCH(QString, keys);
    start(m_player, {clip("green.mp4")});
    QVERIFY(waitFor(Green, true));
    QVERIFY(count(Green) < Windowed);
    QVERIFY(type("alt+a"));
    QVERIFY(waitForCount(Green, FullScreen, true));
    QVERIFY(type(keys));
    QVERIFY(waitForCount(Green, Windowed, false));
    QVERIFY(waitFor(Green, true));
}

// Shift+R, the key "Rotate Clockwise 90" shows: the red top half goes to the right.
void tst_ZRPlayer::rotateClockwiseTurnsThePicture()
{
    start(m_player, {clip("halves.mp4")});
    QTRY_COMPARE_WITH_TIMEOUT(redSide(screenGrab()), QString("top"), Long);
    QVERIFY(type("shift+r"));
    QString side;
    QTRY_VERIFY_WITH_TIMEOUT((side = redSide(screenGrab())) != "top" && !side.isEmpty(), Long);
    QCOMPARE(side, QString("right"));
}

// Alt+O, the key "Add Subtitle File" shows, opens its file dialog over the playing clip.
void tst_ZRPlayer::altOOpensTheSubtitleFileDialog()
{
    start(m_player, {clip("green.mp4")});
    QVERIFY(waitFor(Green, true));
    QVERIFY(type("alt+o"));
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({"search", "--onlyvisible", "--name", "^Open Subtitle File$"}), Long);
    QCOMPARE(m_player.state(), QProcess::Running);
}

// SIGTERM, as at a logout, ends the run as a normal quit: the playlist is saved.
void tst_ZRPlayer::terminationSavesThePlaylist()
{
    start(m_player, {clip("red.mp4")});
    QVERIFY(waitFor(Red, true));
    ::kill(pid_t(m_player.processId()), SIGTERM);
    QVERIFY(m_player.waitForFinished(Long));
    QCOMPARE(m_player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_player.exitCode(), 0);
    QVERIFY(playList().contains(clip("red.mp4")));
}

QTEST_MAIN(tst_ZRPlayer)
#include "tst_zrplayer.moc"
