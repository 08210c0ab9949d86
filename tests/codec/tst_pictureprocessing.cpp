#include "codec/rqcodec.h"
#include "framegrabber.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fixture(const char *name)
{
    return QByteArray(ZR_FIXTURES_DIR) + '/' + name;
}

// Which quarters of the latest picture are white, a bit each: 1 top left, 2 top right, 4 bottom left, 8 bottom
// right; -1 when a quarter is neither white nor black.
int whiteQuarters(const QImage &image)
{
    const int w = image.width(), h = image.height();
    const QRect quarters[] = {QRect(0, 0, w / 2, h / 2), QRect(w / 2, 0, w / 2, h / 2),
                              QRect(0, h / 2, w / 2, h / 2), QRect(w / 2, h / 2, w / 2, h / 2)};
    int white = 0;
    for (int q = 0; q < 4; ++q) {
        // Away from the edges between quarters, where scaling blends them.
        const int luma = qGray(FrameGrabber::mean(image, quarters[q].adjusted(3, 3, -3, -3)).rgb());
        if (luma > 200)
            white |= 1 << q;
        else if (luma >= 50)
            return -1;
    }
    return white;
}

// How much neighbouring lines differ: high for a combed picture.
double combing(const QImage &img)
{
    double sum = 0;
    int n = 0;
    for (int y = 8; y + 1 < img.height() - 8; ++y)
        for (int x = 8; x < img.width() - 8; ++x) {
            sum += std::abs(qGreen(img.pixel(x, y)) - qGreen(img.pixel(x, y + 1)));
            ++n;
        }
    return n ? sum / n : 0;
}

// Makes a 1 s 320x240 testsrc2 clip at 25 fps into the folder with the given encoder options; its path, or
// empty when ffmpeg failed.
QByteArray makeClip(const QTemporaryDir &folder, const char *name, const QStringList &options)
{
    const QString path = folder.filePath(QString::fromUtf8(name));
    if (QFile::exists(path))
        return path.toUtf8();
    const QStringList args = QStringList{"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc2=size=320x240:rate=25:duration=1"}
                             + options + QStringList{path};
    return QProcess::execute(QStringLiteral("ffmpeg"), args) == 0 ? path.toUtf8() : QByteArray();
}

// How two pictures of one size differ, sample by sample (each channel of BGRA): the largest difference and
// the mean one; 256 for pictures that cannot be compared.
struct Difference {
    int largest = 256;
    double mean = 256;
};
Difference difference(const QImage &a, const QImage &b)
{
    Difference d;
    if (a.isNull() || a.size() != b.size() || a.format() != b.format())
        return d;
    d.largest = 0;
    qint64 sum = 0;
    const int bytes = a.format() == QImage::Format_Grayscale8 ? a.width() : a.width() * 4;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < bytes; ++x) {
            const int diff = std::abs(int(a.constScanLine(y)[x]) - int(b.constScanLine(y)[x]));
            d.largest = std::max(d.largest, diff);
            sum += diff;
        }
    d.mean = double(sum) / (qint64(bytes) * a.height());
    return d;
}

}

class TestPictureProcessing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void colour_data();
    void colour();
    void geometry_data();
    void geometry();
    void neutralSettingsLeaveThePictureAlone();
    void deinterlace_data();
    void deinterlace();
    void changesApplyWhilePlaying();
    void settingsSurviveTheNextOpen();
    void unknownPlayerIsIgnored();
    void fullRangeIsShownInLimitedRange_data();
    void fullRangeIsShownInLimitedRange();
    void rgbPicturesKeepTheirFormat_data();
    void rgbPicturesKeepTheirFormat();
    void tenBitPicturesArriveAsTheir8BitSelves_data();
    void tenBitPicturesArriveAsTheir8BitSelves();

private:
    // Opens the fixture paused on its first picture and returns that picture.
    QImage open(const char *name);
    // Waits for a picture presented after the given count.
    QImage next(int after);

    uint64_t m_player = 0;
    FrameGrabber m_grab;
};

void TestPictureProcessing::initTestCase()
{
    const int bgra = 30;
    codecSetGlobalIntList(&bgra, 1);
}

void TestPictureProcessing::init()
{
    m_player = codecCreatePlayer(-1);
    QVERIFY(m_player);
    codecSetFrameCallback(m_player, &FrameGrabber::callback, &m_grab);
}

void TestPictureProcessing::cleanup()
{
    codecClosePlayer(m_player);
    codecDestroyPlayer(m_player);
    m_player = 0;
    const int bgra = 30;
    codecSetGlobalIntList(&bgra, 1);
}

QImage TestPictureProcessing::open(const char *name)
{
    const int before = m_grab.frames();
    if (!codecOpenFile(m_player, fixture(name).constData(), 0, 0, nullptr, nullptr))
        return QImage();
    return next(before);
}

QImage TestPictureProcessing::next(int after)
{
    return m_grab.waitAfter(after) ? m_grab.image() : QImage();
}

void TestPictureProcessing::colour_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<int>("saturation");
    QTest::addColumn<int>("hue");
    QTest::addColumn<QString>("expect");

    QTest::newRow("brighter") << 128 << 100 << 100 << 0 << "lighter";
    QTest::newRow("darker") << -128 << 100 << 100 << 0 << "darker";
    QTest::newRow("brightest") << 255 << 100 << 100 << 0 << "white";
    QTest::newRow("no contrast") << 0 << 0 << 100 << 0 << "grey";
    QTest::newRow("no saturation") << 0 << 100 << 0 << 0 << "grey";
    QTest::newRow("hue +120") << 0 << 100 << 100 << 120 << "green";
    QTest::newRow("hue -120") << 0 << 100 << 100 << -120 << "blue";
    QTest::newRow("hue 180") << 0 << 100 << 100 << 180 << "cyan";
}

void TestPictureProcessing::colour()
{
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    QFETCH(int, saturation);
    QFETCH(int, hue);
    QFETCH(QString, expect);

    QVERIFY(!open("red.mp4").isNull());
    const QColor red = m_grab.mean();
    QVERIFY2(red.red() > 200 && red.green() < 40 && red.blue() < 40, qPrintable(red.name()));

    // The paused picture is shown again after each call.
    int before = m_grab.frames();
    codecSetContrast(m_player, contrast);
    codecSetHue(m_player, hue);
    codecSetSaturation(m_player, saturation);
    codecSetBrightness(m_player, brightness);
    QVERIFY(!next(before).isNull());
    // The last redraw carries all four settings.
    before = m_grab.frames();
    QTest::qWait(200);
    const QColor c = m_grab.mean();
    const QString shown = c.name();
    const int lightness = c.red() + c.green() + c.blue();
    const int redLightness = red.red() + red.green() + red.blue();
    if (expect == "lighter") {
        QVERIFY2(lightness > redLightness + 100 && c.red() >= 230, qPrintable(shown));
    } else if (expect == "darker") {
        QVERIFY2(lightness < redLightness - 60, qPrintable(shown));
    } else if (expect == "white") {
        QVERIFY2(c.red() > 240 && c.green() > 180 && c.blue() > 180, qPrintable(shown));
    } else if (expect == "grey") {
        QVERIFY2(std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16, qPrintable(shown));
    } else if (expect == "green") {
        QVERIFY2(c.green() > c.red() + 100 && c.green() > c.blue() + 100, qPrintable(shown));
    } else if (expect == "blue") {
        QVERIFY2(c.blue() > c.red() + 100 && c.blue() > c.green() + 100, qPrintable(shown));
    } else if (expect == "cyan") {
        QVERIFY2(c.green() > c.red() + 100 && c.blue() > c.red() + 100, qPrintable(shown));
    }
}

void TestPictureProcessing::geometry_data()
{
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<QRectF>("crop");
    QTest::addColumn<QSize>("aspect");
    QTest::addColumn<QSize>("size");
    // Which quarters of the picture are white, a bit each: 1 top left, 2 top right, 4 bottom left,
    // 8 bottom right; -1 when only the size is checked. The pattern is white in its top left quarter.
    QTest::addColumn<int>("white");

    const QRectF whole(0, 0, 1, 1);
    QTest::newRow("as is") << 0 << 0 << whole << QSize() << QSize(64, 48) << 1;
    QTest::newRow("turned 90") << 90 << 0 << whole << QSize() << QSize(48, 64) << 4;
    QTest::newRow("turned 180") << 180 << 0 << whole << QSize() << QSize(64, 48) << 8;
    QTest::newRow("turned 270") << 270 << 0 << whole << QSize() << QSize(48, 64) << 2;
    QTest::newRow("mirrored") << 0 << 1 << whole << QSize() << QSize(64, 48) << 2;
    QTest::newRow("turned 90 mirrored") << 90 << 1 << whole << QSize() << QSize(48, 64) << 8;
    QTest::newRow("turned 180 mirrored") << 180 << 1 << whole << QSize() << QSize(64, 48) << 4;
    QTest::newRow("crop white quarter") << 0 << 0 << QRectF(0, 0, 0.5, 0.5) << QSize() << QSize(32, 24) << 15;
    QTest::newRow("crop black quarter") << 0 << 0 << QRectF(0.5, 0.5, 0.5, 0.5) << QSize() << QSize(32, 24) << 0;
    QTest::newRow("crop odd size made even") << 0 << 0 << QRectF(0, 0, 0.3, 0.7) << QSize() << QSize(18, 34) << -1;
    QTest::newRow("crop then turn") << 90 << 0 << QRectF(0, 0, 0.5, 1) << QSize() << QSize(48, 32) << 5;
    QTest::newRow("aspect 2:1") << 0 << 0 << whole << QSize(2, 1) << QSize(96, 48) << 1;
    QTest::newRow("aspect before turn") << 90 << 0 << whole << QSize(16, 9) << QSize(48, 84) << 4;
    QTest::newRow("crop out of range") << 0 << 0 << QRectF(-1, 2, 5, 0) << QSize() << QSize(64, 48) << 1;
}

void TestPictureProcessing::geometry()
{
    QFETCH(int, rotation);
    QFETCH(int, mirror);
    QFETCH(QRectF, crop);
    QFETCH(QSize, aspect);
    QFETCH(QSize, size);
    QFETCH(int, white);

    QVERIFY(!open("pattern.mp4").isNull());
    QCOMPARE(m_grab.image().size(), QSize(64, 48));
    codecSetCropRect(m_player, crop.x(), crop.y(), crop.width(), crop.height());
    codecSetOutputAspect(m_player, unsigned(qMax(0, aspect.width())), unsigned(qMax(0, aspect.height())));
    codecSetFlip(m_player, mirror);
    codecSetRotation(m_player, rotation);
    // Each setter redraws the paused picture: the one to look at is the one that has them all.
    QTRY_COMPARE_WITH_TIMEOUT(m_grab.image().size(), size, 10000);
    if (white >= 0)
        QTRY_COMPARE_WITH_TIMEOUT(whiteQuarters(m_grab.image()), white, 10000);
}

void TestPictureProcessing::neutralSettingsLeaveThePictureAlone()
{
    const QImage original = open("clip.mp4");
    QVERIFY(!original.isNull());
    const int before = m_grab.frames();
    codecSetCropRect(m_player, 0, 0, 1, 1);
    codecSetOutputAspect(m_player, 0, 0);
    codecSetRotation(m_player, 360);
    codecSetFlip(m_player, 0);
    codecSetBrightness(m_player, 0);
    codecSetContrast(m_player, 100);
    codecSetSaturation(m_player, 100);
    codecSetHue(m_player, 0);
    codecSetDeinterlace(m_player, 1);
    QVERIFY(!next(before).isNull());
    QTest::qWait(200);
    QCOMPARE(m_grab.image(), original);
}

void TestPictureProcessing::deinterlace_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("combed");

    QTest::newRow("combed, off") << QByteArray("combed.mkv") << 0 << true;
    QTest::newRow("combed, marked ones") << QByteArray("combed.mkv") << 1 << false;
    QTest::newRow("combed, all") << QByteArray("combed.mkv") << 2 << false;
    QTest::newRow("progressive, marked ones") << QByteArray("pattern.mp4") << 1 << false;
}

void TestPictureProcessing::deinterlace()
{
    QFETCH(QByteArray, file);
    QFETCH(int, mode);
    QFETCH(bool, combed);

    const QImage first = open(file.constData());
    QVERIFY(!first.isNull());
    const bool startsCombed = combing(first) > 100;
    QCOMPARE(startsCombed, file == "combed.mkv");

    // Changed while paused: the same picture comes again, through the new mode.
    const int before = m_grab.frames();
    codecSetDeinterlace(m_player, mode);
    if (mode != 0)
        QVERIFY(!next(before).isNull());
    QTest::qWait(300);
    const QImage shown = m_grab.image();
    QVERIFY2((combing(shown) > 100) == combed, qPrintable(QString::number(combing(shown))));
    if (file == "pattern.mp4")
        QCOMPARE(shown, first);

    // And while playing, for pictures decoded from then on, at their own pace: the 2 s clip ends in about 2 s.
    QElapsedTimer timer;
    timer.start();
    QVERIFY(codecPlay(m_player));
    QTest::qWait(400);
    QVERIFY2((combing(m_grab.image()) > 100) == combed, qPrintable(QString::number(combing(m_grab.image()))));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 5000);
    QVERIFY2(timer.elapsed() < 3300, qPrintable(QString::number(timer.elapsed())));
}

void TestPictureProcessing::changesApplyWhilePlaying()
{
    QVERIFY(!open("red.mp4").isNull());
    QVERIFY(codecPlay(m_player));
    QTest::qWait(200);
    QVERIFY(m_grab.mean().red() > 200);
    codecSetHue(m_player, 120);
    QTRY_VERIFY_WITH_TIMEOUT(m_grab.mean().green() > m_grab.mean().red() + 100, 5000);
    codecSetHue(m_player, 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_grab.mean().red() > m_grab.mean().green() + 100, 5000);
    QVERIFY(codecIsPlaying(m_player));
}

void TestPictureProcessing::settingsSurviveTheNextOpen()
{
    QVERIFY(!open("pattern.mp4").isNull());
    codecSetRotation(m_player, 90);
    codecClosePlayer(m_player);
    const QImage turned = open("pattern.mp4");
    QCOMPARE(turned.size(), QSize(48, 64));
}

void TestPictureProcessing::unknownPlayerIsIgnored()
{
    codecSetBrightness(0, 10);
    codecSetRotation(12345, 90);
    codecSetCropRect(m_player, std::nan(""), 0, 0.5, 0.5);
    codecSetDeinterlace(m_player, 7);
    QVERIFY(!open("pattern.mp4").isNull());
}

void TestPictureProcessing::fullRangeIsShownInLimitedRange_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("black");
    QTest::addColumn<int>("white");

    // Black left, white right: luma 16 and 235 in the planar pictures views take, 0 and 255 in BGRA.
    for (const QByteArray file : {"fullrange.avi", "fullrange.mkv", "limitedrange.mkv"}) {
        QTest::newRow(file + ", planar YUV") << file << 0 << 16 << 235;
        QTest::newRow(file + ", BGRA") << file << 30 << 0 << 255;
    }
}

void TestPictureProcessing::fullRangeIsShownInLimitedRange()
{
    QFETCH(QByteArray, file);
    QFETCH(int, format);
    QFETCH(int, black);
    QFETCH(int, white);

    codecSetGlobalIntList(&format, 1);
    m_grab.takeFormats();
    QVERIFY(!open(file.constData()).isNull());
    QCOMPARE(m_grab.takeFormats(), QSet<int>{format});
    const QRect left(4, 4, 24, 40), right(36, 4, 24, 40);
    QVERIFY2(qAbs(qGray(m_grab.mean(left).rgb()) - black) <= 4, qPrintable(m_grab.mean(left).name()));
    QVERIFY2(qAbs(qGray(m_grab.mean(right).rgb()) - white) <= 4, qPrintable(m_grab.mean(right).name()));

    // The snapshot shows the same picture.
    unsigned char *block = codecCaptureSnapshot(m_player, 64, 48, 0);
    QVERIFY(block);
    quint32 length = 0;
    std::memcpy(&length, block + 2, 4);
    QImage snapshot;
    QVERIFY(snapshot.loadFromData(block, int(length)));
    codecFreeSnapshot(m_player, block);
    auto grey = [&](QRect area) {
        qint64 sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                sum += qGray(snapshot.pixel(x, y));
        return int(sum / (area.width() * area.height()));
    };
    QVERIFY2(grey(left) <= 4, qPrintable(QString::number(grey(left))));
    QVERIFY2(grey(right) >= 251, qPrintable(QString::number(grey(right))));
}

void TestPictureProcessing::rgbPicturesKeepTheirFormat_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("FFV1 in bgr0") << QByteArray("rgb.mkv");
    QTest::newRow("GIF") << QByteArray("grey.gif");
}

void TestPictureProcessing::rgbPicturesKeepTheirFormat()
{
    QFETCH(QByteArray, file);

    // A callback that takes both formats gets RGB pictures as BGRA, with effects on or off.
    const int both[] = {0, 30};
    codecSetGlobalIntList(both, 2);
    m_grab.takeFormats();
    const QImage first = open(file.constData());
    QVERIFY(!first.isNull());
    const int grey = qGray(m_grab.mean().rgb());
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(m_grab.frames() > 5, 10000);
    codecSetBrightness(m_player, 100);
    codecSetHue(m_player, 30);
    QTRY_VERIFY_WITH_TIMEOUT(qGray(m_grab.mean().rgb()) > grey + 40, 10000);
    const int brightened = m_grab.frames();
    QTRY_VERIFY_WITH_TIMEOUT(m_grab.frames() > brightened + 5, 10000);
    QVERIFY(qGray(m_grab.mean().rgb()) > grey + 40);
    QCOMPARE(m_grab.takeFormats(), QSet<int>{30});
    QVERIFY(codecIsPlaying(m_player));
}

void TestPictureProcessing::tenBitPicturesArriveAsTheir8BitSelves_data()
{
    QTest::addColumn<QByteArray>("clip");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("processed");
    QTest::addColumn<QByteArray>("moves");
    QTest::addColumn<int>("largest");

    // Each against a lossless 8-bit encode of the same pictures, shown the same way. Limited-range 10-bit
    // samples are the 8-bit ones widened, so they come back within a step of rounding; full range goes through
    // a scaler. Into BGRA the scaler fills in chroma from 10 bits a little differently at sharp edges: there
    // only the mean difference is held small.
    QTest::newRow("HEVC 10-bit, first picture") << QByteArray("hevc10.mkv") << 0 << false << QByteArray() << 1;
    QTest::newRow("HEVC 10-bit, processed") << QByteArray("hevc10.mkv") << 0 << true << QByteArray() << 1;
    QTest::newRow("HEVC 10-bit, steps on and back") << QByteArray("hevc10.mkv") << 0 << false << QByteArray("+++-")
                                                   << 1;
    QTest::newRow("HEVC 10-bit, processed, seek") << QByteArray("hevc10.mkv") << 0 << true << QByteArray("s") << 1;
    QTest::newRow("HEVC 10-bit, BGRA") << QByteArray("hevc10.mkv") << 30 << false << QByteArray("++") << 255;
    QTest::newRow("FFV1 10-bit full range") << QByteArray("full10.mkv") << 0 << false << QByteArray("+") << 2;
}

void TestPictureProcessing::tenBitPicturesArriveAsTheir8BitSelves()
{
    QFETCH(QByteArray, clip);
    QFETCH(int, format);
    QFETCH(bool, processed);
    QFETCH(QByteArray, moves);
    QFETCH(int, largest);

    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QByteArray reference = makeClip(folder, "ffv1_8.mkv", {"-vf", "format=yuv420p", "-c:v", "ffv1"});
    const QByteArray tenBit =
        clip == "hevc10.mkv"
            ? makeClip(folder, "hevc10.mkv",
                       {"-vf", "format=yuv420p,format=yuv420p10le", "-c:v", "libx265", "-x265-params",
                        "lossless=1:log-level=none", "-g", "10"})
            : makeClip(folder, "full10.mkv",
                       {"-vf", "scale=out_range=full,format=yuv420p10le", "-color_range", "pc", "-c:v", "ffv1"});
    QVERIFY(!reference.isEmpty() && !tenBit.isEmpty());

    codecSetGlobalIntList(&format, 1);
    if (processed) {
        codecSetBrightness(m_player, 30);
        codecSetContrast(m_player, 120);
        codecSetHue(m_player, 40);
    }
    // The planes of the picture shown after the moves: a step on (+), a step back (-), an exact seek (s).
    auto shown = [&](const QByteArray &path) {
        QVector<QImage> planes;
        const int before = m_grab.frames();
        if (!codecOpenFile(m_player, path.constData(), 0, 0, nullptr, nullptr) || !m_grab.waitAfter(before))
            return planes;
        for (const char move : moves) {
            if (move == 's') {
                const int count = m_grab.frames();
                if (!codecSeek(m_player, 520000) || !m_grab.waitAfter(count))
                    return planes;
            } else if (!codecStepFrame(m_player, move == '+' ? 1 : -1)) {
                return planes;
            }
        }
        planes << m_grab.image();
        if (format == 0)
            planes << m_grab.chroma(1) << m_grab.chroma(2);
        return planes;
    };
    m_grab.takeFormats();
    const QVector<QImage> expected = shown(reference);
    const QVector<QImage> actual = shown(tenBit);
    QCOMPARE(m_grab.takeFormats(), QSet<int>{format});
    QCOMPARE(actual.size(), format == 0 ? 3 : 1);
    QCOMPARE(expected.size(), actual.size());
    for (int plane = 0; plane < actual.size(); ++plane) {
        const Difference d = difference(expected[plane], actual[plane]);
        QVERIFY2(d.largest <= largest && d.mean <= 1,
                 qPrintable(QStringLiteral("plane %1 differs by %2, %3 on average").arg(plane).arg(d.largest).arg(d.mean)));
    }
}

QTEST_GUILESS_MAIN(TestPictureProcessing)
#include "tst_pictureprocessing.moc"
