#include "codec/dvddisc.h"
#include "codec/dvdtitlestream.h"
#include "codec/ffptr.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QFile>
#include <QtTest>

#include <memory>

using rq::DvdDisc;
using rq::DvdTitleStream;

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

// The bytes a title's cells cover, read straight from the folder's VOB file.
QByteArray cellBytes(const rq::DvdTitle &title)
{
    QFile vob(kFixtures + QStringLiteral("/dvd/VIDEO_TS/VTS_%1_1.VOB").arg(title.titleSet, 2, 10, QLatin1Char('0')));
    if (!vob.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = vob.readAll();
    QByteArray bytes;
    for (const rq::DvdCell &cell : title.cells)
        bytes += all.mid(qint64(cell.first) * 2048, qint64(cell.last - cell.first + 1) * 2048);
    return bytes;
}

QByteArray readAll(AVIOContext *context)
{
    QByteArray bytes;
    unsigned char chunk[5000];
    int got = 0;
    while ((got = avio_read(context, chunk, sizeof chunk)) > 0)
        bytes.append(reinterpret_cast<const char *>(chunk), got);
    return bytes;
}

} // namespace

class TestDvdTitleStream : public QObject {
    Q_OBJECT

private slots:
    void bytesAreTheCells_data();
    void bytesAreTheCells();
    void seeksLandOnTheRightByte();
    void demuxesAsProgramStream_data();
    void demuxesAsProgramStream();
    void titleOutOfRange();
};

void TestDvdTitleStream::bytesAreTheCells_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("title");
    for (int title = 0; title < 2; ++title) {
        QTest::addRow("folder title %d", title + 1) << kFixtures + QStringLiteral("/dvd") << title;
        QTest::addRow("image title %d", title + 1) << kFixtures + QStringLiteral("/dvd.iso") << title;
    }
}

void TestDvdTitleStream::bytesAreTheCells()
{
    QFETCH(QString, path);
    QFETCH(int, title);
    const std::unique_ptr<DvdDisc> disc = DvdDisc::open(path.toStdString());
    QVERIFY(disc);
    QCOMPARE(disc->titleCount(), 2);
    const QByteArray expected = cellBytes(disc->title(title));
    QVERIFY(expected.size() > 100 * 2048);

    const std::unique_ptr<DvdTitleStream> stream = disc->openTitle(title);
    QVERIFY(stream);
    QCOMPARE(stream->size(), qint64(expected.size()));
    const rq::IOContextPtr context = stream->createContext();
    QVERIFY(context);
    QCOMPARE(avio_size(context.get()), qint64(expected.size()));
    QVERIFY(readAll(context.get()) == expected);
    QVERIFY(avio_feof(context.get()));
}

void TestDvdTitleStream::seeksLandOnTheRightByte()
{
    const std::unique_ptr<DvdDisc> disc = DvdDisc::open((kFixtures + QStringLiteral("/dvd.iso")).toStdString());
    QVERIFY(disc);
    const QByteArray expected = cellBytes(disc->title(0));
    const std::unique_ptr<DvdTitleStream> stream = disc->openTitle(0);
    const rq::IOContextPtr context = stream->createContext();
    const qint64 size = expected.size();
    for (const qint64 offset : {size / 2 + 1, qint64(0), qint64(1), qint64(2047), qint64(2048), qint64(4097),
                                size - 3000, size - 1}) {
        QCOMPARE(avio_seek(context.get(), offset, SEEK_SET), offset);
        unsigned char bytes[3000];
        const int got = avio_read(context.get(), bytes, sizeof bytes);
        QCOMPARE(got, int(qMin<qint64>(sizeof bytes, size - offset)));
        QVERIFY(QByteArray(reinterpret_cast<const char *>(bytes), got) == expected.mid(offset, got));
    }
    QCOMPARE(avio_seek(context.get(), size, SEEK_SET), size);
    unsigned char byte;
    QVERIFY(avio_read(context.get(), &byte, 1) <= 0);
    QVERIFY(avio_seek(context.get(), -1, SEEK_SET) < 0);
}

void TestDvdTitleStream::demuxesAsProgramStream_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << kFixtures + QStringLiteral("/dvd");
    QTest::newRow("image") << kFixtures + QStringLiteral("/dvd.iso");
}

void TestDvdTitleStream::demuxesAsProgramStream()
{
    QFETCH(QString, path);
    const std::unique_ptr<DvdDisc> disc = DvdDisc::open(path.toStdString());
    QVERIFY(disc);
    const std::unique_ptr<DvdTitleStream> stream = disc->openTitle(0);
    const rq::IOContextPtr io = stream->createContext();
    AVFormatContext *context = avformat_alloc_context();
    context->pb = io.get();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    QCOMPARE(avformat_open_input(&context, nullptr, av_find_input_format("mpeg"), nullptr), 0);
    const rq::FormatContextPtr owner(context);
    QVERIFY(avformat_find_stream_info(context, nullptr) >= 0);

    const int video = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int audio = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    QVERIFY(video >= 0 && audio >= 0);
    QCOMPARE(avcodec_get_name(context->streams[video]->codecpar->codec_id), "mpeg2video");
    QCOMPARE(context->streams[video]->codecpar->width, 720);
    QCOMPARE(avcodec_get_name(context->streams[audio]->codecpar->codec_id), "ac3");
    QVERIFY(qAbs(qint64(context->duration) - qint64(disc->title(0).description.duration)) <= 40000);

    // Seek to 3 s of the title: the demuxer finds its place by timestamps, within a group of pictures.
    const AVStream *videoStream = context->streams[video];
    const int64_t start = videoStream->start_time;
    const int64_t target = start + av_rescale_q(3000000, AV_TIME_BASE_Q, videoStream->time_base);
    QVERIFY(av_seek_frame(context, video, target, AVSEEK_FLAG_BACKWARD) >= 0);
    AVPacket *packet = av_packet_alloc();
    int64_t landed = AV_NOPTS_VALUE;
    while (landed == AV_NOPTS_VALUE && av_read_frame(context, packet) >= 0) {
        if (packet->stream_index == video && packet->pts != AV_NOPTS_VALUE)
            landed = packet->pts;
        av_packet_unref(packet);
    }
    QVERIFY(landed != AV_NOPTS_VALUE);
    const int64_t landedMicros = av_rescale_q(landed - start, videoStream->time_base, AV_TIME_BASE_Q);
    QVERIFY2(qAbs(landedMicros - 3000000) <= 600000, qPrintable(QString::number(landedMicros)));

    // And on to the end of the title.
    int packets = 0;
    while (av_read_frame(context, packet) >= 0) {
        ++packets;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    QVERIFY(packets > 10);
}

void TestDvdTitleStream::titleOutOfRange()
{
    const std::unique_ptr<DvdDisc> disc = DvdDisc::open((kFixtures + QStringLiteral("/dvd")).toStdString());
    QVERIFY(disc);
    QVERIFY(!disc->openTitle(-1));
    QVERIFY(!disc->openTitle(2));
    QVERIFY(!DvdDisc::open((kFixtures + QStringLiteral("/clip.mp4")).toStdString()));
}

QTEST_GUILESS_MAIN(TestDvdTitleStream)
#include "tst_dvdtitlestream.moc"
