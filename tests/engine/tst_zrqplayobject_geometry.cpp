#include "codec/rqcodec.h"
#include "engine/nsopenglvideoview.h"
#include "engine/qmediaelementwindow.h"
#include "engine/zrqplayobject.h"
#include "openglview.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <unistd.h>

static QString fixture(const char *name)
{
    return QString(ZR_FIXTURES_DIR "/") + name;
}

// Mean colour of each cell of a grid laid over the image.
static QVector<QColor> cellColours(const QImage &source, int cells)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QVector<QColor> colours;
    for (int row = 0; row < cells; ++row) {
        for (int column = 0; column < cells; ++column) {
            const QRect cell(column * image.width() / cells, row * image.height() / cells, image.width() / cells,
                             image.height() / cells);
            qint64 red = 0, green = 0, blue = 0, count = 0;
            // The cell's middle half: edges between coloured areas differ most between scalers.
            for (int y = cell.top() + cell.height() / 4; y < cell.bottom() - cell.height() / 4; ++y) {
                for (int x = cell.left() + cell.width() / 4; x < cell.right() - cell.width() / 4; ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    red += qRed(pixel);
                    green += qGreen(pixel);
                    blue += qBlue(pixel);
                    ++count;
                }
            }
            colours << QColor(int(red / count), int(green / count), int(blue / count));
        }
    }
    return colours;
}

// The largest channel difference between the cells of two pictures.
static int colourDistance(const QImage &a, const QImage &b)
{
    // A view not on the screen yet has no picture to read.
    if (a.isNull() || b.isNull())
        return 255;
    const QVector<QColor> first = cellColours(a, 6);
    const QVector<QColor> second = cellColours(b, 6);
    int worst = 0;
    for (int i = 0; i < first.size(); ++i) {
        worst = qMax(worst, qAbs(first[i].red() - second[i].red()));
        worst = qMax(worst, qAbs(first[i].green() - second[i].green()));
        worst = qMax(worst, qAbs(first[i].blue() - second[i].blue()));
    }
    return worst;
}

// How many pixels of the area differ clearly between two pictures of the same size.
static int changedPixels(const QImage &first, const QImage &second, const QRect &area)
{
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    int changed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q)) > 150)
                ++changed;
        }
    }
    return changed;
}

// The first picture of a fixture, decoded, filtered and scaled by the ffmpeg tool.
static QImage referencePicture(const QString &name, const QSize &size, const QString &folder,
                               const QString &filter = QString())
{
    const QString out = folder + "/reference.png";
    const QString scale = QString("scale=%1:%2").arg(size.width()).arg(size.height());
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-i", fixture(name.toUtf8().constData()), "-frames:v", "1", "-vf",
                            filter.isEmpty() ? scale : filter + "," + scale, out});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return QImage();
    return QImage(out);
}

// Runs work with standard output going to a file, then waits until the output holds line.
static bool printsLine(const std::function<void()> &work, const QByteArray &line)
{
    QTemporaryFile file;
    if (!file.open())
        return false;
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    work();
    QDeadlineTimer deadline(10000);
    QFile printed(file.fileName());
    bool found = false;
    while (!found && !deadline.hasExpired()) {
        std::fflush(stdout);
        found = printed.open(QIODevice::ReadOnly) && printed.readAll().contains(line);
        printed.close();
        if (!found)
            QThread::msleep(10);
    }
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    return found;
}

class tst_ZRQPlayObjectGeometry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void elementGeometry_data();
    void elementGeometry();
    void nativeSizeWithoutKeepScale();
    void audioOnlyIgnoresPictureSetters();
    void emptyPaneKeepsGoing();
    void originalSizeAndAspect();
    void snapshotLength_data();
    void snapshotLength();
    void snapshot_data();
    void snapshot();
    void pictureProcessing_data();
    void pictureProcessing();
    void deinterlacing();
    void subtitleChoices_data();
    void subtitleChoices();
    void framesReachTheView_data();
    void framesReachTheView();
    void pausedPictureAfterAFullQueue_data();
    void pausedPictureAfterAFullQueue();

private:
    bool open(const char *name);

    std::unique_ptr<QMediaElementWindow> m_pane;
    std::unique_ptr<ZRQPlayObject> m_player;
};

void tst_ZRQPlayObjectGeometry::init()
{
    m_pane.reset(new QMediaElementWindow);
    m_pane->setWindowFlags(Qt::FramelessWindowHint);
    m_pane->resize(800, 600);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    QCOMPARE(m_pane->size(), QSize(800, 600));
    m_player.reset(new ZRQPlayObject);
    m_player->setPlayWindows(m_pane.get());
}

void tst_ZRQPlayObjectGeometry::cleanup()
{
    m_player.reset();
    m_pane.reset();
    const int formats[] = {0, 30};
    codecSetGlobalIntList(formats, 2);
}

bool tst_ZRQPlayObjectGeometry::open(const char *name)
{
    PlayItemInfo item;
    item.path = fixture(name);
    return m_player->SetPlayFile(&item, 0, 0);
}

void tst_ZRQPlayObjectGeometry::elementGeometry_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QRect>("element");
    // The 720 x 576 source shows at 16:9.
    QTest::newRow("letter box, source aspect") << 0 << 0 << 0 << QRect(0, 75, 800, 450);
    QTest::newRow("letter box, pixel size") << 0 << 1 << 0 << QRect(25, 0, 750, 600);
    QTest::newRow("letter box, 16:9") << 0 << 2 << 0 << QRect(0, 75, 800, 450);
    QTest::newRow("letter box, 4:3") << 0 << 3 << 0 << QRect(0, 0, 800, 600);
    QTest::newRow("letter box, 9:16") << 0 << 4 << 0 << QRect(231, 0, 337, 600);
    QTest::newRow("letter box, 3:4") << 0 << 5 << 0 << QRect(175, 0, 450, 600);
    QTest::newRow("letter box, unknown choice") << 0 << 9 << 0 << QRect(0, 75, 800, 450);
    QTest::newRow("letter box, source aspect, 90") << 0 << 0 << 90 << QRect(231, 0, 337, 600);
    QTest::newRow("letter box, 16:9, 90") << 0 << 2 << 90 << QRect(231, 0, 337, 600);
    QTest::newRow("letter box, 16:9, 180") << 0 << 2 << 180 << QRect(0, 75, 800, 450);
    QTest::newRow("letter box, 4:3, 270") << 0 << 3 << 270 << QRect(175, 0, 450, 600);
    QTest::newRow("pan and scan") << 1 << 0 << 0 << QRect(0, 0, 800, 600);
    QTest::newRow("pan and scan, 9:16, 90") << 1 << 4 << 90 << QRect(0, 0, 800, 600);
    QTest::newRow("fill") << 2 << 0 << 0 << QRect(0, 0, 800, 600);
    QTest::newRow("fill, 3:4") << 2 << 5 << 0 << QRect(0, 0, 800, 600);
}

void tst_ZRQPlayObjectGeometry::elementGeometry()
{
    QFETCH(int, mode);
    QFETCH(int, ratio);
    QFETCH(int, rotation);
    QFETCH(QRect, element);
    QVERIFY(open("anamorphic.mp4"));
    // Opening fits the picture at its own aspect.
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 75, 800, 450));

    // Start from another shape, so that every row changes the element.
    m_player->setMode(0);
    m_player->setAspectRatio(RatioType_3_4);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(175, 0, 450, 600));

    m_player->setRotate(rotation, 0);
    m_player->setAspectRatio(RatioType(ratio));
    m_player->setMode(mode);
    QCOMPARE(m_pane->getVideoElementRect(), element);

    // A resized pane is fitted again at the same choice.
    m_pane->resize(400, 600);
    m_player->ResizeVideoWindow();
    const QRect refitted = m_pane->getVideoElementRect();
    if (mode == 0) {
        const double before = double(element.width()) / element.height();
        QVERIFY(qAbs(double(refitted.width()) / refitted.height() - before) < 0.02);
        QVERIFY(refitted.width() == 400 || refitted.height() == 600);
    } else {
        QCOMPARE(refitted, QRect(0, 0, 400, 600));
    }
}

void tst_ZRQPlayObjectGeometry::nativeSizeWithoutKeepScale()
{
    QVERIFY(open("anamorphic.mp4"));
    m_player->ResizeVideoWindow(false);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(40, 12, 720, 576));
    // The choice holds for the next open.
    QVERIFY(open("clip.mp4"));
    QCOMPARE(m_pane->getVideoElementRect(), QRect(240, 180, 320, 240));
    m_player->ResizeVideoWindow(true);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 0, 800, 600));
}

void tst_ZRQPlayObjectGeometry::audioOnlyIgnoresPictureSetters()
{
    QVERIFY(open("anamorphic.mp4"));
    QVERIFY(open("audio.mp3"));
    const QRect before = m_pane->getVideoElementRect();
    m_player->setAspectRatio(RatioType_9_16);
    m_player->setMode(2);
    m_player->setRotate(90, 1);
    QCOMPARE(m_pane->getVideoElementRect(), before);
    // The choices were not taken either: the next video opens at its own aspect.
    QVERIFY(open("anamorphic.mp4"));
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 75, 800, 450));
}

void tst_ZRQPlayObjectGeometry::emptyPaneKeepsGoing()
{
    m_pane->hide();
    m_pane->resize(0, 0);
    QVERIFY(open("anamorphic.mp4"));
    for (int mode = 0; mode < 3; ++mode) {
        for (int ratio = 0; ratio < 6; ++ratio) {
            m_player->setRotate(90 * ratio, 0);
            m_player->setAspectRatio(RatioType(ratio));
            m_player->setMode(mode);
        }
    }
    m_pane->resize(800, 600);
    m_pane->show();
    m_player->setRotate(0, 0);
    m_player->setAspectRatio(RatioType_Source);
    m_player->setMode(0);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 75, 800, 450));
}

void tst_ZRQPlayObjectGeometry::originalSizeAndAspect()
{
    QVERIFY(open("anamorphic.mp4"));
    QCOMPARE(m_player->getOriginalResolution(), qMakePair(720u, 576u));
    QCOMPARE(m_player->getOriginalAspectRatio(), qMakePair(16u, 9u));
    QVERIFY(open("clip.mp4"));
    QCOMPARE(m_player->getOriginalResolution(), qMakePair(320u, 240u));
    QCOMPARE(m_player->getOriginalAspectRatio(), qMakePair(4u, 3u));
}

void tst_ZRQPlayObjectGeometry::snapshotLength_data()
{
    QTest::addColumn<int>("lengthChange");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<bool>("whole");
    QTest::newRow("as written") << 0 << QByteArray("BM") << true;
    QTest::newRow("length beyond the picture") << 100000 << QByteArray("BM") << true;
    QTest::newRow("length short of the picture") << -1 << QByteArray("BM") << false;
    QTest::newRow("not a bitmap") << 0 << QByteArray("PK") << false;
}

void tst_ZRQPlayObjectGeometry::snapshotLength()
{
    QFETCH(int, lengthChange);
    QFETCH(QByteArray, magic);
    QFETCH(bool, whole);
    // An odd width, so that rows carry padding.
    QImage picture(33, 20, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    QByteArray file;
    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(picture.save(&buffer, "BMP"));
    const quint32 written = quint32(file.size());
    QCOMPARE(written, 54u + 100u * 20u);
    qToLittleEndian<quint32>(written + quint32(lengthChange), file.data() + 2);
    file.replace(0, 2, magic);
    // Whatever the field says, nothing past the picture is counted in.
    QCOMPARE(ZRQPlayObject::snapshotLength(reinterpret_cast<const unsigned char *>(file.constData())),
             whole ? written : 0u);
}

void tst_ZRQPlayObjectGeometry::snapshot_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("anamorphic, JPG") << "anamorphic.mp4" << "JPG" << QSize(1024, 576) << 24;
    QTest::newRow("anamorphic, PNG") << "anamorphic.mp4" << "PNG" << QSize(1024, 576) << 16;
    QTest::newRow("square pixels, PNG") << "clip.mp4" << "PNG" << QSize(320, 240) << 16;
}

void tst_ZRQPlayObjectGeometry::snapshot()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    QFETCH(QSize, size);
    QFETCH(int, tolerance);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.path() + "/shot." + format.toLower();

    QVERIFY(!m_player->Screenshots(path, format));
    QVERIFY(open(name.toUtf8().constData()));
    // The picture an open presents is the first one; it may reach the presenter a little later.
    QTRY_VERIFY_WITH_TIMEOUT(m_player->Screenshots(path, format), 10000);

    QImageReader reader(path);
    QCOMPARE(QString(reader.format()).toUpper(), format == "JPG" ? QString("JPEG") : format);
    const QImage shot = reader.read();
    QCOMPARE(shot.size(), size);
    const QImage reference = referencePicture(name, size, folder.path());
    QVERIFY(!reference.isNull());
    const int distance = colourDistance(shot, reference);
    QVERIFY2(distance <= tolerance, qPrintable(QString::number(distance)));

    // Playing on, the snapshot shows a later picture of the moving test pattern.
    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 500000, 10000);
    QVERIFY(m_player->Screenshots(path, format));
    QVERIFY(colourDistance(QImage(path), reference) > tolerance);
}

void tst_ZRQPlayObjectGeometry::pictureProcessing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<QString>("filter");
    // The pane is 4:3 and the picture 16:9: pan and scan shows the middle three quarters of its width.
    QTest::newRow("pan and scan") << 1 << 0 << 0 << 0 << "crop=540:576:90:0";
    QTest::newRow("turned") << 0 << 90 << 0 << 0 << "transpose=cclock";
    QTest::newRow("mirrored") << 0 << 0 << 1 << 0 << "hflip";
    QTest::newRow("upside down") << 2 << 180 << 0 << 0 << "hflip,vflip";
    QTest::newRow("darker") << 0 << 0 << 0 << -128 << "eq=brightness=-0.5";
}

void tst_ZRQPlayObjectGeometry::pictureProcessing()
{
    QFETCH(int, mode);
    QFETCH(int, rotation);
    QFETCH(int, mirror);
    QFETCH(int, brightness);
    QFETCH(QString, filter);
    QTemporaryDir folder;
    QVERIFY(open("anamorphic.mp4"));
    m_player->setRotate(rotation, mirror);
    m_player->setMode(mode);
    EffectSettings effects;
    effects.m_brightness = brightness;
    m_player->setEffectSettings(effects);

    auto *view = exposedOpenGlView(m_pane.get());
    QVERIFY(view);
    const QSize size = m_pane->getVideoElementRect().size();
    const QImage plain = referencePicture("anamorphic.mp4", size, folder.path());
    const QImage reference = referencePicture("anamorphic.mp4", size, folder.path(), filter);
    QVERIFY(!reference.isNull());
    QVERIFY(colourDistance(plain, reference) > 40);
    // The paused picture is shown again with the new settings.
    int distance = 255;
    QTRY_VERIFY2_WITH_TIMEOUT((distance = colourDistance(drawnPicture(view), reference)) <= 24,
                              qPrintable(QString::number(distance)), 10000);
}

// The mean brightness step between neighbouring rows of the picture's middle.
static int combing(const QImage &picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    qint64 steps = 0;
    int count = 0;
    for (int y = grey.height() / 4; y < grey.height() * 3 / 4; ++y) {
        for (int x = grey.width() / 4; x < grey.width() * 3 / 4; ++x) {
            steps += qAbs(int(grey.constScanLine(y)[x]) - int(grey.constScanLine(y + 1)[x]));
            ++count;
        }
    }
    return int(steps / count);
}

void tst_ZRQPlayObjectGeometry::deinterlacing()
{
    // Interlaced lines of 220 and 40, shown pixel for pixel.
    m_player->ResizeVideoWindow(false);
    m_player->setDeinterlace(0);
    QVERIFY(open("combed.mkv"));
    auto *view = exposedOpenGlView(m_pane.get());
    QVERIFY(view);
    QCOMPARE(m_pane->getVideoElementRect().size(), QSize(64, 64));
    QTRY_VERIFY_WITH_TIMEOUT(combing(drawnPicture(view)) > 120, 10000);

    m_player->setDeinterlace(2);
    QTRY_VERIFY_WITH_TIMEOUT(combing(drawnPicture(view)) < 40, 10000);
    m_player->setDeinterlace(0);
    QTRY_VERIFY_WITH_TIMEOUT(combing(drawnPicture(view)) > 120, 10000);
}

void tst_ZRQPlayObjectGeometry::subtitleChoices_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<bool>("external");
    QTest::addColumn<int>("position");
    // The choices of a medium with one embedded stream: "Disable", the stream, the captions, a file.
    QTest::newRow("embedded stream") << 1 << false << 0;
    QTest::newRow("external file") << 3 << true << 0;
    QTest::newRow("embedded stream at the top") << 1 << false << 16;
}

void tst_ZRQPlayObjectGeometry::subtitleChoices()
{
    QFETCH(int, entry);
    QFETCH(bool, external);
    QFETCH(int, position);
    QTemporaryDir folder;
    QFile file(folder.path() + "/other.srt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:00,000 --> 00:00:04,000\nAnother file\n");
    file.close();

    QVERIFY(open("movie.mkv"));
    SubtitleValue_Info selection;
    selection.m_embeddedCount = 1;
    m_player->setSubtitle(selection);
    QVERIFY(m_player->setSeek(1000000));
    auto *view = exposedOpenGlView(m_pane.get());
    QVERIFY(view);
    const QRect element = m_pane->getVideoElementRect();
    const QRect whole(QPoint(0, 0), element.size());
    const QImage opening = referencePicture("movie.mkv", element.size(), folder.path());
    QVERIFY(!opening.isNull());
    // The picture at the target, once it has replaced the opening one and stays.
    QImage plain;
    QImage previous;
    QTRY_VERIFY_WITH_TIMEOUT((previous = plain, plain = drawnPicture(view),
                              !previous.isNull() && colourDistance(plain, opening) > 40
                                  && changedPixels(plain, previous, whole) == 0),
                             10000);

    SubtitleSettings style;
    style.m_position = position;
    m_player->setSubtitleSettings(style);
    selection.m_subtitleIndex = entry;
    selection.m_itemData = external ? file.fileName().toStdString() : std::string();
    m_player->setSubtitle(selection);
    QVERIFY(m_player->setSeek(1000000));
    // Text in the half it was placed in, and none in the other.
    const QRect top(0, 0, element.width(), element.height() / 2);
    const QRect bottom(0, element.height() / 2, element.width(), element.height() / 2);
    const QRect textHalf = position == 16 ? top : bottom;
    const QRect otherHalf = position == 16 ? bottom : top;
    QTRY_VERIFY_WITH_TIMEOUT(changedPixels(drawnPicture(view), plain, textHalf) > 200, 10000);
    QVERIFY(changedPixels(drawnPicture(view), plain, otherHalf) < 50);

    selection.m_subtitleIndex = 0;
    m_player->setSubtitle(selection);
    QVERIFY(m_player->setSeek(1000000));
    QTRY_VERIFY_WITH_TIMEOUT(changedPixels(drawnPicture(view), plain, whole) < 50, 10000);
}

void tst_ZRQPlayObjectGeometry::framesReachTheView_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("planar YUV") << 0;
    QTest::newRow("packed BGRA") << 30;
}

void tst_ZRQPlayObjectGeometry::framesReachTheView()
{
    QFETCH(int, format);
    codecSetGlobalIntList(&format, 1);
    QVERIFY(open("clip.mp4"));
    m_player->ResizeVideoWindow(false);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(240, 180, 320, 240));
    auto *view = exposedOpenGlView(m_pane.get());
    QVERIFY(view);

    QTemporaryDir folder;
    const QImage reference = referencePicture("clip.mp4", QSize(320, 240), folder.path());
    QVERIFY(!reference.isNull());
    // The opened, paused medium presents its first picture to the view.
    int distance = 255;
    QTRY_VERIFY2_WITH_TIMEOUT((distance = colourDistance(drawnPicture(view), reference)) <= 24,
                              qPrintable(QString::number(distance)), 10000);
}

void tst_ZRQPlayObjectGeometry::pausedPictureAfterAFullQueue_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("planar YUV") << 0;
    QTest::newRow("packed BGRA") << 30;
}

// A burst of changes to the paused picture can fill the view's queue, which then refuses the picture
// with the last change; once the view has room again, the picture in force is shown.
void tst_ZRQPlayObjectGeometry::pausedPictureAfterAFullQueue()
{
    QFETCH(int, format);
    codecSetGlobalIntList(&format, 1);
    QVERIFY(open("anamorphic.mp4"));
    auto *view = exposedOpenGlView(m_pane.get());
    QVERIFY(view);
    QTemporaryDir folder;
    const QSize size = m_pane->getVideoElementRect().size();
    const QImage plain = referencePicture("anamorphic.mp4", size, folder.path());
    const QImage darker = referencePicture("anamorphic.mp4", size, folder.path(), "eq=brightness=-0.5");
    QVERIFY(!darker.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(colourDistance(drawnPicture(view), plain) <= 24, 10000);

    // Nine grey frames wait for the main thread, which runs nothing until the changed picture is
    // refused; then the grey ones are shown.
    const int side = 64;
    QByteArray grey(side * side * 4, char(128));
    unsigned char *data = reinterpret_cast<unsigned char *>(grey.data());
    unsigned char *planes[3] = {data, data, data};
    int strides[3] = {side, side / 2, side / 2};
    const bool refused = printsLine(
        [&] {
            for (int i = 0; i < 9; ++i)
                QVERIFY(format == 0 ? m_pane->showYUVImage(planes, side, side, strides)
                                    : m_pane->showImage(data, side, side, side * 4));
            // One change, one picture presented again.
            codecSetBrightness(m_player->getPlayer(), -128);
        },
        format == 0 ? "showYUVImage too slow...\n" : "showImage too slow...\n");
    QVERIFY(refused);
    int distance = 255;
    QTRY_VERIFY2_WITH_TIMEOUT((distance = colourDistance(drawnPicture(view), darker)) <= 24,
                              qPrintable(QString::number(distance)), 10000);
}

QTEST_MAIN(tst_ZRQPlayObjectGeometry)
#include "tst_zrqplayobject_geometry.moc"
