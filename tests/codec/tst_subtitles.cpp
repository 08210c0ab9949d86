#include "codec/rqcodec.h"
#include "codec/subtitledecoder.h"
#include "codec/subtitlefile.h"
#include "framegrabber.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

namespace {

QByteArray fixture(const char *name)
{
    return QByteArray(ZR_FIXTURES_DIR) + '/' + name;
}

// Pixels of a part of the picture whose colour is close to the given one.
int pixelsLike(const QImage &img, QRect area, QColor colour)
{
    area = area.intersected(img.rect());
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (std::abs(qRed(p) - colour.red()) < 60 && std::abs(qGreen(p) - colour.green()) < 60
                && std::abs(qBlue(p) - colour.blue()) < 60)
                ++n;
        }
    return n;
}

// One EIA-608 byte pair of field 1 in caption data, each byte with odd parity.
QByteArray captionPair(int a, int b)
{
    auto odd = [](int v) { return char(__builtin_popcount(v) % 2 ? v : v | 0x80); };
    return QByteArray() + char(0xFC) + odd(a) + odd(b);
}

// Each picture handed to a callback: its number, from its grey top left corner, and whether red text shows in
// its bottom third.
class PictureLog
{
public:
    struct Picture {
        int number;
        bool line;
    };
    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<PictureLog *>(context);
        const int h = codecFrameGetHeight(frame), w = codecFrameGetWidth(frame);
        const int stride = codecFrameGetLineSize(frame, 0);
        const unsigned char *bgra = codecFrameGetPlane(frame, 0);
        int red = 0;
        for (int y = 2 * h / 3; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned char *p = bgra + size_t(y) * stride + 4 * x;
                red += p[2] > 200 && p[1] < 60 && p[0] < 60;
            }
        // Luma 16 + 4 n reaches the callback as grey 4 n x 255 / 219.
        const int number = int(std::lround(bgra[4 * 4 * stride + 16] * 219.0 / 255.0 / 4.0));
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_pictures.push_back({number, red > 50});
        return 1;
    }
    QVector<Picture> pictures() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_pictures;
    }

private:
    mutable std::mutex m_mutex;
    QVector<Picture> m_pictures;
};

// Thirds of the picture, where the position puts the text.
QRect third(const QImage &img, const QString &where)
{
    const int h = img.height() / 3;
    const int top = where == "top" ? 0 : where == "middle" ? h : 2 * h;
    return QRect(0, top, img.width(), h);
}

}

class TestSubtitles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void embeddedText_data();
    void embeddedText();
    void styleChangesRedrawThePausedPicture();
    void positionChangedWhileTheLineIsShownPaused_data();
    void positionChangedWhileTheLineIsShownPaused();
    void turningOffRemovesTheText();
    void theSourceShownIsKept_data();
    void theSourceShownIsKept();
    void externalFiles_data();
    void externalFiles();
    void pictureSubtitlesOfADisc();
    void pictureSubtitlesOnAnyCanvas_data();
    void pictureSubtitlesOnAnyCanvas();
    void textNoScreenCanShowDoesNotStallThePictures_data();
    void textNoScreenCanShowDoesNotStallThePictures();
    void choosingTheStreamShowsEachPictureOnce_data();
    void choosingTheStreamShowsEachPictureOnce();
    void captionsNeedVideo();
    void captionsOfPictures();
    void drawnInEveryPictureFormat_data();
    void drawnInEveryPictureFormat();
    void pictureEventsReadOutOfOrder_data();
    void pictureEventsReadOutOfOrder();
    void aLineBegunBeforeTheTargetShowsWithIt_data();
    void aLineBegunBeforeTheTargetShowsWithIt();

private:
    bool openPaused(const char *name, bool disc = false);
    // Seeks paused and gives the first picture shown after; the one with the subtitles of the time may come
    // later, as they arrive.
    QImage at(double seconds);
    // Pixels like the colour in a third of the latest picture, or in all of it.
    int shown(const QString &part, QColor colour) const;
    // Plays subs.mkv with the file from just after 2 s and counts the pictures shown from 2.5 s to the end.
    int picturesPlayedWith(const char *file);
    void style(QRgb colour, int position, qint64 delay = 0, int alpha = 255);

    uint64_t m_player = 0;
    FrameGrabber m_grab;
    // Pictures played with short lines, the pace long ones are held against.
    int m_plainPictures = -1;
    // Clips of 46 s with a line from 4 s to 44 s, made on first use.
    QTemporaryDir m_longLines;
};

void TestSubtitles::initTestCase()
{
    const int bgra = 30;
    codecSetGlobalIntList(&bgra, 1);
}

void TestSubtitles::init()
{
    m_player = codecCreatePlayer(-1);
    QVERIFY(m_player);
    codecSetFrameCallback(m_player, &FrameGrabber::callback, &m_grab);
}

void TestSubtitles::cleanup()
{
    codecClosePlayer(m_player);
    codecDestroyPlayer(m_player);
}

bool TestSubtitles::openPaused(const char *name, bool disc)
{
    const int before = m_grab.frames();
    const QByteArray path = fixture(name);
    const int opened = disc ? codecOpenDisc(m_player, path.constData(), 0, 0, nullptr, nullptr)
                            : codecOpenFile(m_player, path.constData(), 0, 0, nullptr, nullptr);
    return opened && m_grab.waitAfter(before);
}

QImage TestSubtitles::at(double seconds)
{
    const int before = m_grab.frames();
    if (!codecSeek(m_player, uint64_t(seconds * 1e6)) || !m_grab.waitAfter(before))
        return QImage();
    return m_grab.image();
}

int TestSubtitles::shown(const QString &part, QColor colour) const
{
    const QImage image = m_grab.image();
    return pixelsLike(image, part == "all" ? image.rect() : third(image, part), colour);
}

void TestSubtitles::style(QRgb colour, int position, qint64 delay, int alpha)
{
    codecBeginSubtitleStyle(m_player);
    codecSetSubtitleAlpha(m_player, alpha);
    codecSetSubtitleScale(m_player, 100, 100);
    codecSetSubtitleDelay(m_player, delay);
    codecSetSubtitleBold(m_player, 1);
    codecSetSubtitleItalic(m_player, 0);
    codecSetSubtitleUnderline(m_player, 0);
    codecSetSubtitleStrikeOut(m_player, 0);
    codecSetSubtitleFontSize(m_player, 32);
    codecSetSubtitleFontColour(m_player, 0xFF000000u | colour);
    codecSetSubtitleShadowColour(m_player, 0x80000000u);
    codecSetSubtitleOutlineColour(m_player, 0xFF000000u);
    codecSetSubtitleShadowOffset(m_player, 0.5);
    codecSetSubtitleOutlineSize(m_player, 1.0);
    codecSetSubtitlePosition(m_player, position);
    codecSetSubtitleSpacingH(m_player, 0);
    codecSetSubtitleSpacingV(m_player, 0);
    codecSetSubtitleMarginX(m_player, 0.05);
    codecSetSubtitleMarginY(m_player, 0.05);
    codecSetSubtitleExtra1(m_player, 0);
    codecSetSubtitleExtra2(m_player, 0);
    codecApplySubtitleStyle(m_player);
}

void TestSubtitles::embeddedText_data()
{
    QTest::addColumn<double>("time");
    QTest::addColumn<int>("position");
    QTest::addColumn<qint64>("delay");
    QTest::addColumn<QString>("where");

    QTest::newRow("shown, bottom") << 1.0 << 0 << qint64(0) << "bottom";
    QTest::newRow("shown, top") << 1.0 << 16 << qint64(0) << "top";
    QTest::newRow("shown, middle") << 1.0 << 32 << qint64(0) << "middle";
    QTest::newRow("before it") << 0.3 << 0 << qint64(0) << "none";
    QTest::newRow("after its end") << 1.8 << 0 << qint64(0) << "none";
    QTest::newRow("second line") << 3.0 << 0 << qint64(0) << "bottom";
    QTest::newRow("delayed, not yet") << 1.0 << 0 << qint64(700000) << "none";
    QTest::newRow("delayed, shown") << 2.0 << 0 << qint64(700000) << "bottom";
    QTest::newRow("earlier, gone") << 1.2 << 0 << qint64(-400000) << "none";
}

void TestSubtitles::embeddedText()
{
    QFETCH(double, time);
    QFETCH(int, position);
    QFETCH(qint64, delay);
    QFETCH(QString, where);

    QVERIFY(openPaused("subs.mkv"));
    QVERIFY(codecSelectSubtitleStream(m_player, 0));
    style(qRgb(255, 0, 0), position, delay);
    const QColor red(255, 0, 0);
    if (where == "none") {
        // The line is first seen where it shows: its absence then is the time's, not one of reading it yet.
        QVERIFY(!at(1.0 + delay / 1e6).isNull());
        QTRY_VERIFY_WITH_TIMEOUT(shown("bottom", red) > 100, 10000);
        QVERIFY(!at(time).isNull());
        QTRY_COMPARE_WITH_TIMEOUT(shown("all", red), 0, 10000);
        return;
    }
    QVERIFY(!at(time).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(shown(where, red) > 100, 10000);
    const QImage image = m_grab.image();
    for (const QString part : {"top", "middle", "bottom"}) {
        const int count = pixelsLike(image, third(image, part), red);
        QVERIFY2(part == where || count == 0, qPrintable(QStringLiteral("%1: %2").arg(part).arg(count)));
    }
}

void TestSubtitles::styleChangesRedrawThePausedPicture()
{
    QVERIFY(openPaused("subs.mkv"));
    QVERIFY(codecSelectSubtitleStream(m_player, 0));
    style(qRgb(255, 0, 0), 0);
    const QRect bottom = third(at(1.0), "bottom");
    QTRY_VERIFY_WITH_TIMEOUT(shown("bottom", QColor(255, 0, 0)) > 100, 10000);

    style(qRgb(0, 0, 255), 0);
    QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), bottom, QColor(0, 0, 255)) > 100, 5000);
    QCOMPARE(pixelsLike(m_grab.image(), bottom, QColor(255, 0, 0)), 0);

    // Transparent text leaves the black picture as it was.
    style(qRgb(0, 0, 255), 0, 0, 0);
    QTRY_VERIFY_WITH_TIMEOUT(qGray(m_grab.mean(bottom).rgb()) < 3, 5000);

    // And it survives playing on through the event.
    style(qRgb(0, 255, 0), 0);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), bottom, QColor(0, 255, 0)) > 100, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), bottom, QColor(0, 255, 0)) == 0, 5000);
}

void TestSubtitles::positionChangedWhileTheLineIsShownPaused_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("where");

    QTest::newRow("bottom to top") << 0 << 16 << "top";
    QTest::newRow("bottom to middle") << 0 << 32 << "middle";
    QTest::newRow("top to bottom") << 16 << 0 << "bottom";
}

void TestSubtitles::positionChangedWhileTheLineIsShownPaused()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, where);

    QVERIFY(openPaused("subs.mkv"));
    QVERIFY(codecSelectSubtitleStream(m_player, 0));
    style(qRgb(255, 0, 0), from);
    const QColor red(255, 0, 0);
    auto redIn = [&](const QString &part) {
        const QImage shown = m_grab.image();
        return pixelsLike(shown, third(shown, part), red);
    };
    QVERIFY(!at(1.0).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(redIn(from == 16 ? "top" : "bottom") > 100, 10000);

    // The line already on screen moves, as colour and size changes show at once.
    style(qRgb(255, 0, 0), to);
    QTRY_VERIFY_WITH_TIMEOUT(redIn(where) > 100, 10000);
    for (const QString part : {"top", "middle", "bottom"})
        if (part != where)
            QCOMPARE(redIn(part), 0);
}

void TestSubtitles::turningOffRemovesTheText()
{
    QVERIFY(openPaused("subs.mkv"));
    style(qRgb(255, 0, 0), 0);
    // Nothing is shown until a source is chosen.
    QCOMPARE(pixelsLike(at(1.0), third(m_grab.image(), "bottom"), QColor(255, 0, 0)), 0);
    QVERIFY(codecSelectSubtitleStream(m_player, 0));
    QVERIFY(!at(1.0).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(shown("bottom", QColor(255, 0, 0)) > 100, 10000);
    QVERIFY(codecSelectSubtitleStream(m_player, -1));
    QVERIFY(!at(1.0).isNull());
    QTRY_COMPARE_WITH_TIMEOUT(shown("bottom", QColor(255, 0, 0)), 0, 10000);
    QVERIFY(!codecSelectSubtitleStream(m_player, 1));
    QVERIFY(codecIsPaused(m_player));
}

void TestSubtitles::theSourceShownIsKept_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("embedded stream") << "stream";
    QTest::newRow("captions") << "captions";
    QTest::newRow("file") << "file";
}

void TestSubtitles::theSourceShownIsKept()
{
    QFETCH(QString, source);

    QTemporaryDir folder;
    const QString file = folder.filePath("own.srt");
    QVERIFY(QFile::copy(QString::fromUtf8(fixture("subs.srt")), file));
    auto choose = [&] {
        if (source == "stream")
            return codecSelectSubtitleStream(m_player, 0);
        if (source == "captions")
            return codecSelectVideoCaptions(m_player, 1);
        return codecOpenSubtitleFile(m_player, file.toUtf8().constData());
    };
    QVERIFY(openPaused("subs.mkv"));
    style(qRgb(255, 0, 0), 0);
    QCOMPARE(choose(), 1);
    QVERIFY(codecSeek(m_player, 3800000));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);

    // The same choice again, as every settings push sends it: nothing starts over, so the end stays; a file
    // is not read again, so one gone from the disk meanwhile still shows.
    QVERIFY(QFile::remove(file));
    QCOMPARE(choose(), 1);
    QCOMPARE(codecIsEndReached(m_player), 1);
    if (source == "file") {
        QVERIFY(codecSeek(m_player, 1000000));
        QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), third(m_grab.image(), "bottom"), QColor(255, 0, 0)) > 100,
                                 10000);
    }
}

void TestSubtitles::externalFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QString>("where");

    const QRgb red = qRgb(255, 0, 0);
    QTest::newRow("SubRip") << QByteArray("subs.srt") << true << red << "bottom";
    QTest::newRow("WebVTT") << QByteArray("subs.vtt") << true << red << "bottom";
    QTest::newRow("LRC") << QByteArray("subs.lrc") << true << red << "bottom";
    QTest::newRow("SAMI") << QByteArray("subs.smi") << true << red << "bottom";
    QTest::newRow("UTF-16 SubRip") << QByteArray("utf16.srt") << true << red << "bottom";
    QTest::newRow("ASS keeps its own look") << QByteArray("subs.ass") << true << qRgb(0, 255, 0) << "top";
    QTest::newRow("Latin-1") << QByteArray("latin1.srt") << true << red << "bottom";
    QTest::newRow("Windows-1251") << QByteArray("cp1251.srt") << true << red << "bottom";
    QTest::newRow("random bytes") << QByteArray("broken.srt") << false << red << "none";
    QTest::newRow("missing") << QByteArray("nothing-here.srt") << false << red << "none";
    QTest::newRow("a video") << QByteArray("clip.mp4") << false << red << "none";
}

void TestSubtitles::externalFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, loads);
    QFETCH(QRgb, colour);
    QFETCH(QString, where);

    QVERIFY(openPaused("subs.mkv"));
    style(qRgb(255, 0, 0), 0);
    QCOMPARE(codecOpenSubtitleFile(m_player, fixture(file.constData()).constData()), loads ? 1 : 0);
    QVERIFY(!at(1.0).isNull());
    if (where != "none")
        QTRY_VERIFY_WITH_TIMEOUT(shown(where, QColor(colour)) > 100, 10000);
    const QImage image = m_grab.image();
    for (const QString part : {"top", "bottom"}) {
        const int count = pixelsLike(image, third(image, part), QColor(colour));
        QVERIFY2(part == where || count == 0, qPrintable(QStringLiteral("%1: %2").arg(part).arg(count)));
    }
    // The file's text goes at its end time, and the player plays on.
    QVERIFY(!at(1.8).isNull());
    QTRY_COMPARE_WITH_TIMEOUT(shown("all", QColor(colour)), 0, 10000);
    QVERIFY(codecPlay(m_player));
    QVERIFY(codecIsPlaying(m_player));
}

void TestSubtitles::pictureSubtitlesOfADisc()
{
    QVERIFY(openPaused("dvdlang", true));
    // A white box of 200 x 40 at (100, 400) on the 720 x 576 picture, from 0.2 s to 0.8 s.
    const QRect box(110, 405, 180, 30);
    const QImage without = at(0.5);
    QVERIFY(pixelsLike(without, box, Qt::white) < box.width() * box.height() / 2);
    QVERIFY(codecSelectSubtitleStream(m_player, 0));
    QVERIFY(!at(0.5).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), box, Qt::white) > box.width() * box.height() * 9 / 10, 10000);
    QVERIFY(!at(1.5).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), box, Qt::white) < box.width() * box.height() / 2, 10000);
}

void TestSubtitles::pictureSubtitlesOnAnyCanvas_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QRect>("box");

    // A white box of 200 x 40 at (100, 400) of its canvas, from 0.2 s to 0.8 s, over a 1920 x 1080 picture: scaled
    // from a DVD canvas; drawn as it is from a canvas that cannot hold it or that no screen has; not at all from
    // a canvas the decoder refuses.
    QTest::newRow("DVD canvas") << QByteArray("vobsub720x576.idx") << QRect(280, 760, 500, 55);
    QTest::newRow("1 x 1 canvas") << QByteArray("vobsub1x1.idx") << QRect(110, 405, 180, 30);
    QTest::newRow("20000 x 10000 canvas") << QByteArray("vobsub20000x10000.idx") << QRect(110, 405, 180, 30);
    QTest::newRow("100000 x 100000 canvas") << QByteArray("vobsub100000x100000.idx") << QRect();
}

void TestSubtitles::pictureSubtitlesOnAnyCanvas()
{
    QFETCH(QByteArray, file);
    QFETCH(QRect, box);

    QVERIFY(openPaused("black1080.mp4"));
    QCOMPARE(codecOpenSubtitleFile(m_player, fixture(file.constData()).constData()), box.isNull() ? 0 : 1);
    QCOMPARE(at(0.5).size(), QSize(1920, 1080));
    if (box.isNull()) {
        QCOMPARE(pixelsLike(m_grab.image(), m_grab.image().rect(), Qt::white), 0);
        return;
    }
    // Large pictures take a while: the one of the seek is the one with the box.
    const int area = box.width() * box.height();
    QTRY_VERIFY_WITH_TIMEOUT(pixelsLike(m_grab.image(), box, Qt::white) > area * 9 / 10, 10000);
    // Nothing else of the picture is touched.
    const QImage shown = m_grab.image();
    QCOMPARE(pixelsLike(shown, shown.rect(), Qt::white), pixelsLike(shown, box.adjusted(-20, -20, 20, 20), Qt::white));
    QVERIFY(codecSeek(m_player, 900000));
    QTRY_COMPARE_WITH_TIMEOUT(pixelsLike(m_grab.image(), shown.rect(), Qt::white), 0, 10000);
    QVERIFY(codecStepFrame(m_player, 1));
}

int TestSubtitles::picturesPlayedWith(const char *file)
{
    // The step waits for the pictures before it, so that no first layout of the text falls in the count.
    if (!openPaused("subs.mkv") || !codecOpenSubtitleFile(m_player, fixture(file).constData())
        || !codecSeek(m_player, 2000000) || !codecStepFrame(m_player, 1) || !codecPlay(m_player))
        return -1;
    QElapsedTimer timer;
    timer.start();
    while (codecGetCurrentTime(m_player) < 2500000 && timer.elapsed() < 30000)
        QTest::qWait(1);
    const int from = m_grab.frames();
    while (!codecIsEndReached(m_player) && timer.elapsed() < 30000)
        QTest::qWait(5);
    return codecIsEndReached(m_player) ? m_grab.frames() - from : -1;
}

void TestSubtitles::textNoScreenCanShowDoesNotStallThePictures_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QColor>("text");

    // Each shows all through the clip; the colour of the text when it must show.
    QTest::newRow("a line 100000 units high") << QByteArray("hugefont.ass") << QColor(0, 255, 0);
    QTest::newRow("one line of 100000 characters") << QByteArray("longline.vtt") << QColor(255, 0, 0);
    QTest::newRow("50 lines of 2000 characters at once") << QByteArray("crowd.srt") << QColor();
}

void TestSubtitles::textNoScreenCanShowDoesNotStallThePictures()
{
    QFETCH(QByteArray, file);
    QFETCH(QColor, text);

    // Paused: steps present their pictures, with the text held to what the picture can show.
    QVERIFY(openPaused("subs.mkv"));
    style(qRgb(255, 0, 0), 0);
    QCOMPARE(codecOpenSubtitleFile(m_player, fixture(file.constData()).constData()), 1);
    QVERIFY(!at(1.0).isNull());
    for (int step = 0; step < 3; ++step)
        QVERIFY(codecStepFrame(m_player, 1));
    if (text.isValid())
        QVERIFY(pixelsLike(m_grab.image(), m_grab.image().rect(), text) > 100);

    // Playing: the pictures keep their pace, as with a short line, rather than wait for the text.
    if (m_plainPictures < 0)
        m_plainPictures = picturesPlayedWith("subs.srt");
    const int plain = m_plainPictures;
    const int shown = picturesPlayedWith(file.constData());
    QVERIFY2(plain > 20 && shown * 10 >= plain * 6, qPrintable(QStringLiteral("%1 of %2").arg(shown).arg(plain)));
}

void TestSubtitles::choosingTheStreamShowsEachPictureOnce_data()
{
    QTest::addColumn<int>("lineFrom");

    // The first line runs to picture 25 (1 s); it covers the paused picture, or begins later. A second one
    // shows on pictures 35 to 44.
    QTest::newRow("line on the paused picture") << 0;
    QTest::newRow("line from picture 10") << 10;
}

void TestSubtitles::choosingTheStreamShowsEachPictureOnce()
{
    QFETCH(int, lineFrom);

    // 2 s at 25 fps, each picture grey with a luma of 16 + 4 x its number, and an ASS track of red lines.
    QTemporaryDir folder;
    const QString ass = folder.filePath("line.ass"), clip = folder.filePath("counted.mkv");
    QFile script(ass);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("[Script Info]\nScriptType: v4.00+\nPlayResX: 320\nPlayResY: 240\n\n[V4+ Styles]\n"
                                "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
                                "BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
                                "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
                                "Style: Default,DejaVu Sans,40,&H000000FF,&H000000FF,&H000000FF,&H000000FF,1,0,0,0,"
                                "100,100,0,0,1,0,0,2,10,10,10,1\n\n[Events]\nFormat: Layer, Start, End, Style, Name, "
                                "MarginL, MarginR, MarginV, Effect, Text\n"
                                "Dialogue: 0,0:00:00.%1,0:00:01.00,Default,,0,0,0,,Counted line\n"
                                "Dialogue: 0,0:00:01.40,0:00:01.80,Default,,0,0,0,,Second line\n")
                     .arg(lineFrom * 4, 2, 10, QChar('0'))
                     .toUtf8());
    script.close();
    QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"),
                               {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                "color=black:size=320x240:rate=25:duration=2,format=yuv420p,"
                                "geq=lum='16+4*N':cb=128:cr=128",
                                "-i", ass, "-map", "0:v", "-map", "1:s", "-c:v", "libx264", "-qp", "0", "-bf", "2",
                                "-c:s", "ass", clip}),
             0);

    // No picture is dropped, however late: each one must come, and come once.
    PictureLog log;
    codecSetFrameCallback(m_player, &PictureLog::callback, &log);
    codecSetPlayerParameter(m_player, INT64_MAX / 2);
    QVERIFY(codecOpenFile(m_player, clip.toUtf8().constData(), 0, 0, nullptr, nullptr));
    QTRY_COMPARE_WITH_TIMEOUT(log.pictures().size(), 1, 10000);
    QVERIFY(codecSelectSubtitleStream(m_player, 0));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);
    // Paused between the lines, with both read again after the seek: neither is on the picture.
    QVERIFY(codecPause(m_player));
    const int played = log.pictures().size();
    QVERIFY(codecSeek(m_player, 1200000));
    QTRY_VERIFY_WITH_TIMEOUT(log.pictures().size() > played, 10000);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);

    // The paused picture comes again once when it must now show the line, at most once otherwise; then each
    // picture once, in order, with the lines where they are due.
    QVector<PictureLog::Picture> pictures = log.pictures();
    QVERIFY(pictures.size() > 2);
    QCOMPARE(pictures[0].number, 0);
    QVERIFY(!pictures[0].line);
    if (pictures[1].number == 0) {
        QCOMPARE(pictures[1].line, lineFrom == 0);
        pictures.remove(1);
    } else {
        QVERIFY(lineFrom > 0);
    }
    QVector<int> expected;
    for (int n = 0; n < 50; ++n)
        expected << n;
    for (int n = 30; n < 50; ++n)
        expected << n;
    QCOMPARE(pictures.size(), expected.size());
    for (int i = 1; i < pictures.size(); ++i) {
        const int n = expected[i];
        const bool line = (n >= lineFrom && n < 25) || (n >= 35 && n < 45);
        QVERIFY2(pictures[i].number == n && pictures[i].line == line,
                 qPrintable(QStringLiteral("%1: picture %2, line %3").arg(i).arg(pictures[i].number).arg(pictures[i].line)));
    }
}

void TestSubtitles::captionsNeedVideo()
{
    QVERIFY(!codecSelectVideoCaptions(m_player, 1));
    QVERIFY(codecOpenFile(m_player, fixture("audio.mp3").constData(), 0, 0, nullptr, nullptr));
    QVERIFY(!codecSelectVideoCaptions(m_player, 1));
    QVERIFY(openPaused("subs.mkv"));
    QVERIFY(codecSelectVideoCaptions(m_player, 1));
    QCOMPARE(pixelsLike(at(1.0), m_grab.image().rect(), QColor(255, 255, 255)), 0);
    QVERIFY(codecSelectVideoCaptions(m_player, 0));
}

void TestSubtitles::captionsOfPictures()
{
    rq::SubtitleRenderer renderer;
    rq::SubtitleDecoder captions(renderer, renderer.reset());
    QVERIFY(captions.openCaptions());
    // Pop-on: loaded off screen, shown at 0.5 s, erased at 1.5 s; the text "HELLO".
    const QList<QPair<double, QByteArray>> pictures = {
        {0.40, captionPair(0x14, 0x20)},
        {0.44, captionPair('H', 'E') + captionPair('L', 'L')},
        {0.48, captionPair('O', 0x00)},
        {0.50, captionPair(0x14, 0x2F)},
        {1.50, captionPair(0x14, 0x2C)},
        {1.60, captionPair(0x14, 0x2C)},
    };
    for (const auto &picture : pictures)
        captions.decodeCaptions(reinterpret_cast<const uint8_t *>(picture.second.constData()),
                                int(picture.second.size()), picture.first);

    auto drawnAt = [&](double seconds) {
        rq::FramePtr frame = rq::makeFrame();
        frame->format = AV_PIX_FMT_BGRA;
        frame->width = 320;
        frame->height = 240;
        av_frame_get_buffer(frame.get(), 0);
        for (int y = 0; y < 240; ++y)
            std::fill_n(reinterpret_cast<uint32_t *>(frame->data[0] + y * frame->linesize[0]), 320, 0xFF000000u);
        renderer.render(frame, seconds, 0.04);
        QImage image(320, 240, QImage::Format_ARGB32);
        for (int y = 0; y < 240; ++y)
            std::memcpy(image.scanLine(y), frame->data[0] + y * frame->linesize[0], 320 * 4);
        return pixelsLike(image, image.rect(), Qt::white);
    };
    QCOMPARE(drawnAt(0.3), 0);
    QVERIFY2(drawnAt(1.0) > 20, qPrintable(QString::number(drawnAt(1.0))));
    QCOMPARE(drawnAt(2.0), 0);
}

void TestSubtitles::drawnInEveryPictureFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("planar YUV") << int(AV_PIX_FMT_YUV420P);
    QTest::newRow("BGRA") << int(AV_PIX_FMT_BGRA);
    QTest::newRow("NV12, drawn after a conversion") << int(AV_PIX_FMT_NV12);
}

void TestSubtitles::drawnInEveryPictureFormat()
{
    QFETCH(int, format);

    rq::SubtitleRenderer renderer;
    QVERIFY(rq::SubtitleFile::load(fixture("subs.srt").toStdString(), renderer, renderer.reset()));
    renderer.beginStyle();
    renderer.editStyle([](rq::SubtitleStyle &s) {
        s.fontColour = 0xFFFF0000;
        s.fontSize = 32;
    });
    renderer.applyStyle();

    // A black picture in the format, drawn on at 1 s and read back as BGRA.
    rq::FramePtr frame = rq::makeFrame();
    frame->format = format;
    frame->width = 320;
    frame->height = 240;
    QVERIFY(av_frame_get_buffer(frame.get(), 0) >= 0);
    rq::SwsPtr toFormat(sws_getContext(320, 240, AV_PIX_FMT_BGRA, 320, 240, AVPixelFormat(format), SWS_POINT,
                                       nullptr, nullptr, nullptr));
    std::vector<uint32_t> black(320 * 240, 0xFF000000u);
    const uint8_t *blackPlanes[4] = {reinterpret_cast<const uint8_t *>(black.data())};
    const int blackStrides[4] = {320 * 4};
    sws_scale(toFormat.get(), blackPlanes, blackStrides, 0, 240, frame->data, frame->linesize);
    renderer.render(frame, 1.0, 0.04);

    QImage image(frame->width, frame->height, QImage::Format_ARGB32);
    rq::SwsPtr toBgra(sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                     frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
    uint8_t *planes[4] = {image.bits()};
    const int strides[4] = {int(image.bytesPerLine())};
    sws_scale(toBgra.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);
    QVERIFY2(pixelsLike(image, third(image, "bottom"), QColor(255, 0, 0)) > 100,
             qPrintable(QString::number(pixelsLike(image, third(image, "bottom"), QColor(255, 0, 0)))));
    QCOMPARE(pixelsLike(image, third(image, "top"), QColor(255, 0, 0)), 0);
}

void TestSubtitles::pictureEventsReadOutOfOrder_data()
{
    QTest::addColumn<double>("time");
    QTest::addColumn<QColor>("colour");

    // A white picture from 5 s read first, then a red one from 1 s, as a seek's scan brings it; neither has an end.
    QTest::newRow("before both") << 0.5 << QColor(Qt::black);
    QTest::newRow("the earlier one alone") << 3.0 << QColor(Qt::red);
    QTest::newRow("the later one ends it") << 6.0 << QColor(Qt::white);
}

void TestSubtitles::pictureEventsReadOutOfOrder()
{
    QFETCH(double, time);
    QFETCH(QColor, colour);

    rq::SubtitleRenderer renderer;
    const int source = renderer.reset();
    auto box = [](uint32_t argb) {
        rq::SubtitleRenderer::Bitmap bitmap;
        bitmap.x = 100;
        bitmap.y = 100;
        bitmap.width = 100;
        bitmap.height = 40;
        bitmap.indices.assign(size_t(bitmap.width) * bitmap.height, 0);
        bitmap.palette = {argb};
        return std::vector<rq::SubtitleRenderer::Bitmap>{bitmap};
    };
    renderer.addBitmaps(source, 5.0, -1, 320, 240, box(0xFFFFFFFFu));
    renderer.addBitmaps(source, 1.0, -1, 320, 240, box(0xFFFF0000u));

    rq::FramePtr frame = rq::makeFrame();
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = 320;
    frame->height = 240;
    QVERIFY(av_frame_get_buffer(frame.get(), 0) >= 0);
    for (int y = 0; y < 240; ++y)
        std::fill_n(reinterpret_cast<uint32_t *>(frame->data[0] + y * frame->linesize[0]), 320, 0xFF000000u);
    renderer.render(frame, time, 0.04);
    QImage image(320, 240, QImage::Format_ARGB32);
    for (int y = 0; y < 240; ++y)
        std::memcpy(image.scanLine(y), frame->data[0] + y * frame->linesize[0], 320 * 4);
    QCOMPARE(pixelsLike(image, QRect(100, 100, 100, 40), colour), 100 * 40);
}

void TestSubtitles::aLineBegunBeforeTheTargetShowsWithIt_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("change");

    // A red line from 4 s to 44 s, in the clip's own stream or in a file beside it; the first picture at 40 s
    // after a seek, after choosing the source there, or after changing the audio track there. The line lies
    // beyond what is read ahead of the start and further back from the target than containers look for one.
    const QList<QPair<QString, QStringList>> sources = {
        {"ASS in Matroska", {"ass.mkv", ""}},
        {"SubRip as MP4 text", {"movtext.mp4", ""}},
        {"SubRip file", {"plain.mkv", "line.srt"}},
        {"ASS file", {"plain.mkv", "line.ass"}},
    };
    for (const auto &source : sources)
        for (const QString change : {"seek", "source chosen", "audio track"})
            QTest::newRow(qPrintable(source.first + ", " + change)) << source.second[0] << source.second[1] << change;
}

void TestSubtitles::aLineBegunBeforeTheTargetShowsWithIt()
{
    QFETCH(QString, clip);
    QFETCH(QString, file);
    QFETCH(QString, change);

    const QDir folder(m_longLines.path());
    if (!folder.exists("plain.mkv")) {
        QFile srt(folder.filePath("line.srt")), ass(folder.filePath("line.ass"));
        QVERIFY(srt.open(QIODevice::WriteOnly) && ass.open(QIODevice::WriteOnly));
        srt.write("1\n00:00:04,000 --> 00:00:44,000\nA long line\n");
        ass.write("[Script Info]\nScriptType: v4.00+\nPlayResX: 320\nPlayResY: 240\n\n[V4+ Styles]\n"
                  "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, "
                  "Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, "
                  "Alignment, MarginL, MarginR, MarginV, Encoding\n"
                  "Style: Default,DejaVu Sans,40,&H000000FF,&H000000FF,&H000000FF,&H000000FF,1,0,0,0,100,100,0,0,1,0,"
                  "0,2,10,10,10,1\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, "
                  "Effect, Text\nDialogue: 0,0:00:04.00,0:00:44.00,Default,,0,0,0,,A long line\n");
        srt.close();
        ass.close();
        // A black picture with a keyframe each second and two audio tracks.
        const QStringList input = {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                   "color=black:size=320x240:rate=10:duration=46", "-f", "lavfi", "-i",
                                   "sine=frequency=440:duration=46", "-f", "lavfi", "-i",
                                   "sine=frequency=880:duration=46"};
        const QStringList coded = {"-map", "0:v", "-map", "1:a", "-map", "2:a", "-c:v", "libx264", "-preset",
                                   "veryfast", "-g", "10", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "32k"};
        // Each clip: the subtitle input and how it is coded, then the output.
        const QList<QPair<QStringList, QString>> clips = {
            {{"-i", ass.fileName(), "-map", "3:s", "-c:s", "ass"}, "ass.mkv"},
            {{"-i", srt.fileName(), "-map", "3:s", "-c:s", "mov_text"}, "movtext.mp4"},
            {{}, "plain.mkv"},
        };
        for (const auto &made : clips) {
            const QStringList subtitles = made.first;
            QCOMPARE(QProcess::execute("ffmpeg", input + subtitles.mid(0, 2) + coded + subtitles.mid(2)
                                                     + QStringList{folder.filePath(made.second)}),
                     0);
        }
    }

    QVERIFY(codecOpenFile(m_player, folder.filePath(clip).toUtf8().constData(), 0, 0, nullptr, nullptr));
    QVERIFY(m_grab.waitAfter(0));
    style(qRgb(255, 0, 0), 0);
    auto choose = [&] {
        return file.isEmpty() ? codecSelectSubtitleStream(m_player, 0)
                              : codecOpenSubtitleFile(m_player, folder.filePath(file).toUtf8().constData());
    };
    // Choosing the source shows the picture again.
    const int opened = m_grab.frames();
    if (change != "source chosen")
        QVERIFY(choose() && m_grab.waitAfter(opened));
    if (change != "seek")
        QVERIFY(!at(40.0).isNull());
    const int before = m_grab.frames();
    m_grab.keep(before + 1);
    if (change == "seek")
        QVERIFY(codecSeek(m_player, 40000000));
    else if (change == "source chosen")
        QCOMPARE(choose(), 1);
    else
        QCOMPARE(codecSelectAudioTrack(m_player, 1), 1);
    QVERIFY(m_grab.waitAfter(before));
    // The picture of the target comes with the line, not a later one.
    const QImage first = m_grab.kept();
    QVERIFY2(pixelsLike(first, third(first, "bottom"), Qt::red) > 100,
             qPrintable(QString::number(pixelsLike(first, third(first, "bottom"), Qt::red))));
    QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - 40000000) < 200000);
}

QTEST_GUILESS_MAIN(TestSubtitles)
#include "tst_subtitles.moc"
