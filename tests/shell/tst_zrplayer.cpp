// The program as a user starts it: the built binary in a real X server, watched through screen
// grabs of the ffmpeg tool. Solid-colour clips show which file plays; a second start hands its
// file to the first; "[Close server]" and SIGTERM end a run as a normal quit.
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

class tst_ZRPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playsTheFilesOfTheCommandLine();
    void secondStartHandsOver();
    void unplayableFileSaysSo();
    void terminationSavesThePlaylist();

private:
    enum Colour { Red, Blue, Green, Warning, Cover };

    QString clip(const QString &name) const { return m_dir.path() + "/" + name; }
    void start(QProcess &process, const QStringList &arguments, const QString &folder = QString());
    // Pixels of the screen close to the colour.
    int count(Colour colour) const;
    bool waitFor(Colour colour, bool shown) const;
    QString playList() const;

    QTemporaryDir m_dir;
    QProcess m_player;
};

namespace {

const int Long = 60000;
// A clip fills most of the player: far more than this many pixels.
const int Shown = 50000;

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

void makeClip(const QString &colour, const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "color=c=" + colour + ":s=320x240:d=4:r=25",
                            "-f", "lavfi", "-i", "sine=d=4", "-shortest", "-c:v", "libx264", "-pix_fmt", "yuv420p",
                            path});
    QVERIFY(ffmpeg.waitForFinished(Long));
    QCOMPARE(ffmpeg.exitCode(), 0);
}

}

void tst_ZRPlayer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    makeClip("red", clip("red.mp4"));
    makeClip("blue", clip("blue.mp4"));
    makeClip("lime", clip("green.mp4"));
    QFile bad(clip("notvideo.mp4"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("this is no video\n");
    QVERIFY(QDir().mkpath(clip("elsewhere")));
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

void tst_ZRPlayer::start(QProcess &process, const QStringList &arguments, const QString &folder)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setWorkingDirectory(folder.isEmpty() ? m_dir.path() : folder);
    process.start(ZR_ROOT_DIR "/bin/ZRPlayer", arguments);
    QVERIFY(process.waitForStarted(Long));
}

int tst_ZRPlayer::count(Colour colour) const
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QProcess grab;
    grab.start("ffmpeg", {"-loglevel", "error", "-f", "x11grab", "-video_size",
                          QString("%1x%2").arg(screen.width()).arg(screen.height()), "-i", qgetenv("DISPLAY"),
                          "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    if (!grab.waitForFinished(Long))
        return -1;
    const QByteArray frame = grab.readAllStandardOutput();
    const auto *pixel = reinterpret_cast<const uchar *>(frame.constData());
    int found = 0;
    for (int i = 0; i + 2 < frame.size(); i += 3)
        found += matches(colour, pixel[i], pixel[i + 1], pixel[i + 2]);
    return found;
}

bool tst_ZRPlayer::waitFor(Colour colour, bool shown) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < Long) {
        const int found = count(colour);
        if (shown ? found > (colour >= Warning ? 300 : Shown) : found >= 0 && found < 100)
            return true;
        QTest::qWait(20);
    }
    return false;
}

QString tst_ZRPlayer::playList() const
{
    QFile file(QDir::homePath() + "/.local/share/ZRPlayer/PlayListFile.xml");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
    QVERIFY(m_player.waitForFinished(Long));
    QCOMPARE(m_player.exitCode(), 0);
    QVERIFY(playList().contains(clip("green.mp4")));
}

// A file that does not play: "File playback failed!" with its warning icon, and the run goes on.
void tst_ZRPlayer::unplayableFileSaysSo()
{
    start(m_player, {clip("notvideo.mp4")});
    QVERIFY(waitFor(Warning, true));
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
