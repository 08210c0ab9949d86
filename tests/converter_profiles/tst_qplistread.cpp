#include "converter_profiles/qplistread.h"

#include "nestedplist.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The catalogue path a child process reads; the reader keeps its first catalogue for good.
std::string g_cataloguePath;

QString str(const QString &text)
{
    return "<string>" + text.toHtmlEscaped() + "</string>";
}

QString dict(const QList<QPair<QString, QString>> &entries)
{
    QString xml = "<dict>";
    for (const auto &entry : entries)
        xml += "<key>" + entry.first.toHtmlEscaped() + "</key>" + entry.second;
    return xml + "</dict>";
}

QString array(const QStringList &items)
{
    return "<array>" + items.join(QString()) + "</array>";
}

QString rates(const QString &defaultValue, const QString &low, const QString &high, const QString &supports)
{
    return dict({{"default", str(defaultValue)}, {"low", str(low)}, {"high", str(high)}, {"supports", str(supports)}});
}

QString videoParams(const QString &code, const QString &resolution, const QString &bitRates, const QString &frameRates)
{
    return dict({{"fourcc", str(code)}, {"resolution", str(resolution)}, {"videobitrate", bitRates},
                 {"framerate", frameRates}});
}

QString audioParams(const QString &code, const QString &channel, const QString &bitRates, const QString &sampleRates)
{
    QList<QPair<QString, QString>> entries{{"fourcc", str(code)}};
    if (!channel.isNull())
        entries.append({"channel", str(channel)});
    entries.append({"audiobitrate", bitRates});
    entries.append({"samplerate", sampleRates});
    return dict(entries);
}

QString baseInfo(const QString &title, const QString &id, const QString &ext, const QString &icon,
                 const QString &automatic)
{
    return dict({{"title", str(title)}, {"id", str(id)}, {"ext", str(ext)}, {"icon", str(icon)},
                 {"auto", str(automatic)}});
}

QByteArray fixture()
{
    const QString mp4 = dict({
        {"baseinfo", baseInfo("MPEG-4", "mp4", "mp4", "i_mp4", "1")},
        {"videoencoders",
         dict({{"supports", str("avc1, hvc1")}, {"default", str(" avc1 ")},
               {"filter", str("avc1:mp4a, mp3 |hvc1:mp4a")}})},
        {"resolution", dict({{"default", str("1280x720")}})},
        {"videoparams",
         array({videoParams("avc1", "1920x1080", rates("5000", "2500", "8000", "0,2500,5000,8000"),
                            dict({{"default", str("30")}, {"supports", str("0,25,30")}})),
                videoParams("avc1", "1280x720", rates("2500", "1500", "4000", "1500,2500"),
                            dict({{"default", str("25")}, {"supports", str("25")}})),
                videoParams(" avc1", "1280x720", rates("2600", "", "4100", "2600"),
                            dict({{"default", str("24")}, {"supports", str("24,0")}})),
                videoParams("hvc1", "1920x1080", rates("4000", "2000", "6000", "4000"),
                            dict({{"default", str("30")}, {"supports", str("30")}}))})},
        {"audioencoders", dict({{"supports", str("mp4a,mp3")}, {"default", str("mp3")}})},
        {"channels", dict({{"default", str("2")}})},
        {"audioparams",
         array({audioParams("mp4a", "2", rates("160", "", "320", "0,128,160,320"),
                            dict({{"default", str("48000")}, {"supports", str("44100,48000")}})),
                audioParams("mp4a", "6", rates("384", "256", "512", "384"),
                            dict({{"default", str("48000")}, {"supports", str("48000")}})),
                audioParams("mp3 ", "2", rates("192", "128", "320", "128,192,320"),
                            dict({{"default", str("44100")}, {"supports", str("44100")}}))})},
    });
    // Its filter does not name its only encoder: no audio encoder at all.
    const QString webm = dict({
        {"baseinfo", baseInfo("WebM", "webm", "webm", "i_webm", "0")},
        {"videoencoders", dict({{"supports", str("vp09")}, {"default", str("vp09")}, {"filter", str("avc1:opus")}})},
        {"resolution", dict({{"default", str("640x360")}})},
        {"videoparams", array({videoParams("vp09", "640x360", rates("800", "500", "1200", "800"),
                                           dict({{"default", str("25")}, {"supports", str("25")}}))})},
        {"audioencoders", dict({{"supports", str("opus")}, {"default", str("opus")}})},
        {"channels", dict({{"default", str("2")}})},
        {"audioparams", array({audioParams("opus", "2", rates("128", "64", "256", "128"),
                                           dict({{"default", str("48000")}, {"supports", str("48000")}}))})},
    });
    const QString mkv = dict({
        {"baseinfo", baseInfo("Matroska", "mkv", "mkv", "i_mkv", "0")},
        {"videoencoders", dict({{"supports", str("avc1")}, {"default", str("avc1")}})},
        {"resolution", dict({{"default", str("1920x1080")}})},
        {"videoparams", array({videoParams("avc1", "1920x1080", rates("5000", "2500", "8000", "5000"),
                                           dict({{"default", str("30")}, {"supports", str("30")}}))})},
        {"audioencoders", dict({{"supports", str("opus,vorb")}, {"default", str(" opus")}})},
        {"channels", dict({{"default", str("2")}})},
        {"audioparams",
         array({audioParams("opus", "2", rates("128", "64", "256", "64,128,256"),
                            dict({{"default", str("48000")}, {"supports", str("48000")}})),
                audioParams("vorb", QString(), dict({{"default", str("160")}, {"supports", str("160")}}),
                            dict({{"default", str("44100")}, {"supports", str("44100")}}))})},
    });
    const QString mp3 = dict({
        {"baseinfo", baseInfo("MP3", "mp3", "mp3", "i_mp3", "1")},
        {"videoencoders", "<dict/>"},
        {"audioencoders", dict({{"supports", str("mp3")}, {"default", str("mp3")}})},
        {"channels", dict({{"default", str("2")}})},
        {"audioparams",
         array({audioParams("mp3 ", "2", rates("192", "128", "320", "128,192,320"),
                            dict({{"default", str("44100")}, {"supports", str("0,44100")}})),
                audioParams("mp3 ", "1", rates("96", "64", "128", "96"),
                            dict({{"default", str("44100")}, {"supports", str("44100")}}))})},
    });
    const QString bare = dict({{"baseinfo", dict({{"id", str("bare")}})}});
    const QString root = dict({
        {"Categories", array({str("Video"), str("Audio"), str("Empty")})},
        {"Video", array({mp4, webm, mkv})},
        {"Audio", array({mp3, bare})},
        {"Empty", "<array/>"},
        {"Codecs", dict({{"avc1", str("H.264")}, {"mp3 ", str("MP3")}, {"mp4a", str("AAC")}})},
    });
    return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + root + "</plist>\n").toUtf8();
}

QString joined(const std::vector<std::string> &list)
{
    QStringList texts;
    for (const std::string &text : list)
        texts << QString::fromStdString(text);
    return texts.join('|');
}

// The non-empty parts of a record, in record order.
QStringList describe(const FormatAllInfo *info)
{
    if (!info)
        return {"null"};
    QStringList lines;
    if (info->bOnlyAudio)
        lines << "audio only";
    if (info->bAuto)
        lines << "auto";
    const std::pair<const char *, const std::vector<std::string> *> lists[] = {
        {"videoEncoders", &info->videoEncoders}, {"resolutions", &info->resolutions},
        {"frameRates", &info->frameRates},       {"videoBitRates", &info->videoBitRates},
        {"audioEncoders", &info->audioEncoders}, {"channels", &info->channels},
        {"sampleRates", &info->sampleRates},     {"audioBitRates", &info->audioBitRates},
    };
    for (const auto &list : lists) {
        if (!list.second->empty())
            lines << QString(list.first) + "=" + joined(*list.second);
    }
    const std::pair<const char *, const std::string *> texts[] = {
        {"extension", &info->extension},
        {"category", &info->category},
        {"formatId", &info->formatId},
        {"videoEncoder", &info->videoEncoder},
        {"resolution", &info->resolution},
        {"videoBitRateLow", &info->videoBitRateLow},
        {"videoBitRateHigh", &info->videoBitRateHigh},
        {"videoBitRateDefault", &info->videoBitRateDefault},
        {"frameRateDefault", &info->frameRateDefault},
        {"audioEncoder", &info->audioEncoder},
        {"channel", &info->channel},
        {"audioBitRateLow", &info->audioBitRateLow},
        {"audioBitRateHigh", &info->audioBitRateHigh},
        {"audioBitRateDefault", &info->audioBitRateDefault},
        {"sampleRateDefault", &info->sampleRateDefault},
    };
    for (const auto &text : texts) {
        if (!text.second->empty())
            lines << QString(text.first) + "=" + QString::fromStdString(*text.second);
    }
    return lines;
}

QStringList categoryLines(const std::vector<std::unique_ptr<CategoryInfo>> *list)
{
    if (!list)
        return {"null"};
    QStringList lines;
    for (const auto &info : *list)
        lines << QString::fromStdString(info->title + "|" + info->id + "|" + info->extension + "|" + info->category
                                        + "|" + info->icon);
    return lines;
}

QStringList toList(const std::vector<std::string> &list)
{
    QStringList texts;
    for (const std::string &text : list)
        texts << QString::fromStdString(text);
    return texts;
}

}

// In a child process: the reader on the fixture catalogue.
class tst_QPlistReadFixture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void instance_keepsItsFirstPath();
    void categories();
    void categoriesInfoList();
    void formatInfo_data();
    void formatInfo();
    void formatInfo_recordReplaced();
    void formatInfoForKey_data();
    void formatInfoForKey();
    void codecs_data();
    void codecs();

private:
    QPlistRead *m_reader = nullptr;
};

void tst_QPlistReadFixture::initTestCase()
{
    m_reader = QPlistRead::getPlistRead(g_cataloguePath);
    QVERIFY(m_reader);
}

void tst_QPlistReadFixture::instance_keepsItsFirstPath()
{
    QCOMPARE(QPlistRead::getPlistRead("/nowhere/other.plist"), m_reader);
    QCOMPARE(QPlistRead::getPlistRead1(nullptr, 0), m_reader);
    QCOMPARE(toList(m_reader->getCategories()), QStringList({"Video", "Audio", "Empty"}));
}

void tst_QPlistReadFixture::categories()
{
    QCOMPARE(toList(m_reader->getCategories()), QStringList({"Video", "Audio", "Empty"}));
    QCOMPARE(toList(m_reader->getCategories()), QStringList({"Video", "Audio", "Empty"}));
}

void tst_QPlistReadFixture::categoriesInfoList()
{
    const auto *video = m_reader->getCategoriesInfoList("Video");
    const QStringList videoLines{"MPEG-4|mp4|mp4|Video|i_mp4", "WebM|webm|webm|Video|i_webm",
                                 "Matroska|mkv|mkv|Video|i_mkv"};
    QCOMPARE(categoryLines(video), videoLines);

    // An empty category keeps the list that was there.
    QCOMPARE(m_reader->getCategoriesInfoList(""), nullptr);
    QCOMPARE(categoryLines(video), videoLines);

    QCOMPARE(categoryLines(m_reader->getCategoriesInfoList("Audio")),
             QStringList({"MP3|mp3|mp3|Audio|i_mp3", "|bare||Audio|"}));
    QCOMPARE(m_reader->getCategoriesInfoList("Empty"), nullptr);
    QCOMPARE(m_reader->getCategoriesInfoList("Nope"), nullptr);
}

void tst_QPlistReadFixture::formatInfo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("record");

    QTest::newRow("defaults, filter, last entry of the resolution")
        << QStringList{"Video", "mp4", "Auto", "", "", ""}
        << QStringList{"auto",
                       "videoEncoders=Auto|avc1|hvc1",
                       "resolutions=Auto|1920x1080|1280x720|1280x720",
                       "frameRates=Auto|24 fps|Auto",
                       "videoBitRates=Auto|2600 kbps",
                       "audioEncoders=mp4a|mp3",
                       "channels=Auto|2|6",
                       "sampleRates=Auto|44100 HZ|48000 HZ",
                       "audioBitRates=Auto|Auto|128 kbps|160 kbps|320 kbps",
                       "extension=mp4",
                       "category=Video",
                       "formatId=mp4",
                       "videoEncoder=avc1",
                       "resolution=1280x720",
                       "videoBitRateLow= kbps",
                       "videoBitRateHigh=4100 kbps",
                       "videoBitRateDefault=2600 kbps",
                       "frameRateDefault=24 fps",
                       "audioEncoder=mp4a",
                       "channel=2",
                       "audioBitRateLow=160 kbps",
                       "audioBitRateHigh=320 kbps",
                       "audioBitRateDefault=160 kbps",
                       "sampleRateDefault=48000 HZ"};
    QTest::newRow("chosen encoders, unknown resolution and layout")
        << QStringList{"Video", "mp4", "hvc1", "Auto", "mp3", "6"}
        << QStringList{"auto",
                       "videoEncoders=Auto|avc1|hvc1",
                       "resolutions=Auto|1920x1080",
                       "frameRates=Auto|30 fps",
                       "videoBitRates=Auto|4000 kbps",
                       "audioEncoders=mp4a",
                       "channels=Auto|2",
                       "sampleRates=Auto|44100 HZ",
                       "audioBitRates=Auto|128 kbps|192 kbps|320 kbps",
                       "extension=mp4",
                       "category=Video",
                       "formatId=mp4",
                       "videoEncoder=hvc1",
                       "resolution=1920x1080",
                       "videoBitRateLow=2000 kbps",
                       "videoBitRateHigh=6000 kbps",
                       "videoBitRateDefault=4000 kbps",
                       "frameRateDefault=30 fps",
                       "audioEncoder=mp3",
                       "channel=2",
                       "audioBitRateLow=128 kbps",
                       "audioBitRateHigh=320 kbps",
                       "audioBitRateDefault=192 kbps",
                       "sampleRateDefault=44100 HZ"};
    QTest::newRow("filter without the encoder")
        << QStringList{"Video", "webm", "", "", "", ""}
        << QStringList{"videoEncoders=vp09",         "resolutions=640x360",        "frameRates=25 fps",
                       "videoBitRates=800 kbps",     "extension=webm",             "category=Video",
                       "formatId=webm",              "videoEncoder=vp09",          "resolution=640x360",
                       "videoBitRateLow=500 kbps",   "videoBitRateHigh=1200 kbps", "videoBitRateDefault=800 kbps",
                       "frameRateDefault=25 fps"};
    QTest::newRow("no filter, trimmed default")
        << QStringList{"Video", "mkv", "", "", "", ""}
        << QStringList{"videoEncoders=avc1",
                       "resolutions=1920x1080",
                       "frameRates=30 fps",
                       "videoBitRates=5000 kbps",
                       "audioEncoders=opus|vorb",
                       "channels=2",
                       "sampleRates=48000 HZ",
                       "audioBitRates=64 kbps|128 kbps|256 kbps",
                       "extension=mkv",
                       "category=Video",
                       "formatId=mkv",
                       "videoEncoder=avc1",
                       "resolution=1920x1080",
                       "videoBitRateLow=2500 kbps",
                       "videoBitRateHigh=8000 kbps",
                       "videoBitRateDefault=5000 kbps",
                       "frameRateDefault=30 fps",
                       "audioEncoder=opus",
                       "channel=2",
                       "audioBitRateLow=64 kbps",
                       "audioBitRateHigh=256 kbps",
                       "audioBitRateDefault=128 kbps",
                       "sampleRateDefault=48000 HZ"};
    QTest::newRow("entry without channel, bit rates from the default")
        << QStringList{"Video", "mkv", "", "", "vorb", ""}
        << QStringList{"videoEncoders=avc1",
                       "resolutions=1920x1080",
                       "frameRates=30 fps",
                       "videoBitRates=5000 kbps",
                       "audioEncoders=opus|vorb",
                       "channels=",
                       "sampleRates=44100 HZ",
                       "audioBitRates=160 kbps",
                       "extension=mkv",
                       "category=Video",
                       "formatId=mkv",
                       "videoEncoder=avc1",
                       "resolution=1920x1080",
                       "videoBitRateLow=2500 kbps",
                       "videoBitRateHigh=8000 kbps",
                       "videoBitRateDefault=5000 kbps",
                       "frameRateDefault=30 fps",
                       "audioEncoder=vorb",
                       "audioBitRateLow=160 kbps",
                       "audioBitRateHigh=160 kbps",
                       "audioBitRateDefault=160 kbps",
                       "sampleRateDefault=44100 HZ"};
    QTest::newRow("audio only")
        << QStringList{"Audio", "mp3", "Auto", "Auto", "Auto", "Auto"}
        << QStringList{"audio only",
                       "auto",
                       "audioEncoders=Auto|mp3",
                       "channels=Auto|2|1",
                       "sampleRates=Auto|Auto|44100 HZ",
                       "audioBitRates=Auto|128 kbps|192 kbps|320 kbps",
                       "extension=mp3",
                       "category=Audio",
                       "formatId=mp3",
                       "audioEncoder=mp3",
                       "channel=2",
                       "audioBitRateLow=128 kbps",
                       "audioBitRateHigh=320 kbps",
                       "audioBitRateDefault=192 kbps",
                       "sampleRateDefault=44100 HZ"};
    QTest::newRow("format of base information only")
        << QStringList{"Audio", "bare", "", "", "", ""} << QStringList{"audio only", "category=Audio", "formatId=bare"};
    QTest::newRow("unknown format") << QStringList{"Video", "nope", "", "", "", ""}
                                    << QStringList{"category=Video", "formatId=nope"};
    QTest::newRow("format of another category")
        << QStringList{"Audio", "mp4", "", "", "", ""} << QStringList{"category=Audio", "formatId=mp4"};
    QTest::newRow("empty format id") << QStringList{"Video", "", "", "", "", ""} << QStringList{"null"};
    QTest::newRow("empty category") << QStringList{"", "mp4", "", "", "", ""} << QStringList{"null"};
}

void tst_QPlistReadFixture::formatInfo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, record);
    const FormatAllInfo *info = m_reader->GetFormatInfoForPlist(
        arguments.at(0).toStdString(), arguments.at(1).toStdString(), arguments.at(2).toStdString(),
        arguments.at(3).toStdString(), arguments.at(4).toStdString(), arguments.at(5).toStdString());
    QCOMPARE(describe(info), record);
}

void tst_QPlistReadFixture::formatInfo_recordReplaced()
{
    const FormatAllInfo *video = m_reader->GetFormatInfoForPlist("Video", "mp4", "", "", "", "");
    QVERIFY(video && !video->videoEncoders.empty());
    const FormatAllInfo *audio = m_reader->GetFormatInfoForPlist("Audio", "mp3", "", "", "", "");
    QVERIFY(audio && audio->videoEncoders.empty() && audio->videoEncoder.empty());
}

void tst_QPlistReadFixture::formatInfoForKey_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("value");
    QTest::newRow("title") << QStringList{"Video", "mp4", "title"} << "MPEG-4";
    QTest::newRow("icon") << QStringList{"Video", "webm", "icon"} << "i_webm";
    QTest::newRow("auto") << QStringList{"Audio", "mp3", "auto"} << "1";
    QTest::newRow("missing key") << QStringList{"Audio", "bare", "title"} << "";
    QTest::newRow("empty key") << QStringList{"Video", "mp4", ""} << "";
    QTest::newRow("unknown format") << QStringList{"Video", "nope", "title"} << "";
    QTest::newRow("other category") << QStringList{"Audio", "mp4", "title"} << "";
    QTest::newRow("empty category") << QStringList{"", "mp4", "title"} << "";
    QTest::newRow("empty id") << QStringList{"Video", "", "title"} << "";
}

void tst_QPlistReadFixture::formatInfoForKey()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, value);
    QCOMPARE(QString::fromStdString(m_reader->getFormatInfoForKey(
                 arguments.at(0).toStdString(), arguments.at(1).toStdString(), arguments.at(2).toStdString())),
             value);
}

void tst_QPlistReadFixture::codecs_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("Auto") << "Auto" << "Auto";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("four characters") << "avc1" << "H.264";
    QTest::newRow("three characters, padded") << "mp3" << "MP3";
    QTest::newRow("padded already") << "mp3 " << "MP3";
    QTest::newRow("unknown, three characters") << "xyz" << "xyz ";
    QTest::newRow("unknown, four characters") << "abcd" << "abcd";
    QTest::newRow("unknown, two characters") << "ab" << "ab";
}

void tst_QPlistReadFixture::codecs()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(m_reader->getCodecsForKey(code.toStdString())), name);
}

// In a child process: a reader without a catalogue answers nothing, and never fails.
class tst_QPlistReadNone : public QObject
{
    Q_OBJECT

private slots:
    void everyQuery_empty();
};

void tst_QPlistReadNone::everyQuery_empty()
{
    QPlistRead *reader = QPlistRead::getPlistRead(g_cataloguePath);
    QVERIFY(reader);
    QCOMPARE(QPlistRead::getPlistRead1(nullptr, 0), reader);
    QVERIFY(reader->getCategories().empty());
    QCOMPARE(reader->getCategoriesInfoList("Video"), nullptr);
    QCOMPARE(describe(reader->GetFormatInfoForPlist("Video", "mp4", "", "", "", "")),
             QStringList({"category=Video", "formatId=mp4"}));
    QCOMPARE(reader->getFormatInfoForKey("Video", "mp4", "title"), std::string());
    QCOMPARE(reader->getCodecsForKey("avc1"), std::string("avc1"));
    QCOMPARE(reader->getCodecsForKey("mp3"), std::string("mp3 "));
}

// In a child process: the catalogue we ship is complete for every choice it offers.
class tst_QPlistReadShipped : public QObject
{
    Q_OBJECT

private slots:
    void everyFormat_complete();
};

void tst_QPlistReadShipped::everyFormat_complete()
{
    QPlistRead *reader = QPlistRead::getPlistRead(g_cataloguePath);
    const std::vector<std::string> categories = reader->getCategories();
    QCOMPARE(toList(categories), QStringList({"Video", "Audio"}));
    QStringList ids;
    for (const std::string &category : categories) {
        const auto *formats = reader->getCategoriesInfoList(category);
        QVERIFY(formats && !formats->empty());
        std::vector<std::string> formatIds;
        for (const auto &format : *formats) {
            QVERIFY(!format->title.empty() && !format->extension.empty() && !format->icon.empty());
            formatIds.push_back(format->id);
        }
        for (const std::string &id : formatIds) {
            ids << QString::fromStdString(id);
            const FormatAllInfo *info = reader->GetFormatInfoForPlist(category, id, "", "", "", "");
            QVERIFY(info);
            QCOMPARE(info->bOnlyAudio, category == "Audio");
            const std::vector<std::string> videoEncoders = info->videoEncoders;
            std::vector<std::string> choices = videoEncoders;
            if (choices.empty())
                choices.push_back("");
            for (const std::string &videoEncoder : choices) {
                if (videoEncoder == "Auto")
                    continue;
                const FormatAllInfo *chosen = reader->GetFormatInfoForPlist(category, id, videoEncoder, "", "", "");
                const QString where = QString::fromStdString(category + "/" + id + "/" + videoEncoder);
                QVERIFY2(chosen->bOnlyAudio || !chosen->frameRateDefault.empty(), qPrintable(where));
                QVERIFY2(chosen->bOnlyAudio || chosen->videoBitRateDefault != " kbps", qPrintable(where));
                QVERIFY2(!chosen->audioEncoder.empty(), qPrintable(where));
                QVERIFY2(!chosen->channel.empty(), qPrintable(where));
                QVERIFY2(chosen->sampleRateDefault != " HZ", qPrintable(where));
                std::vector<std::string> codes = chosen->videoEncoders;
                codes.insert(codes.end(), chosen->audioEncoders.begin(), chosen->audioEncoders.end());
                for (const std::string &code : codes)
                    QVERIFY2(code == "Auto" || reader->getCodecsForKey(code) != code + (code.size() == 3 ? " " : ""),
                             qPrintable(where + ": " + QString::fromStdString(code)));
            }
        }
    }
    for (const char *id : {"mp4", "mkv", "webm", "mp3", "flac", "wav"})
        QVERIFY2(ids.contains(id), id);
}

// Runs the reader's tests in child processes, one catalogue each, and tests its static helpers.
class tst_QPlistRead : public QObject
{
    Q_OBJECT

private slots:
    void trim_data();
    void trim();
    void getDictValue_data();
    void getDictValue();
    void analysisTextInfo_appends();
    void analysisFilter_data();
    void analysisFilter();
    void catalogue_data();
    void catalogue();
};

void tst_QPlistRead::trim_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("both ends") << "  mp4a " << "mp4a";
    QTest::newRow("spaces only") << "   " << "";
    QTest::newRow("tab kept") << "\tmp4a " << "\tmp4a";
    QTest::newRow("inner space kept") << " a b " << "a b";
}

void tst_QPlistRead::trim()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    std::string value = text.toStdString();
    QCOMPARE(&::trim(value), &value);
    QCOMPARE(QString::fromStdString(value), trimmed);
}

void tst_QPlistRead::getDictValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("string") << "default" << "25";
    QTest::newRow("empty key reads supports") << "" << "0,25,30";
    QTest::newRow("missing") << "low" << "";
    QTest::newRow("not a string") << "count" << "";
}

void tst_QPlistRead::getDictValue()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "default", plist_new_string("25"));
    plist_dict_set_item(dict, "supports", plist_new_string("0,25,30"));
    plist_dict_set_item(dict, "count", plist_new_uint(3));
    QCOMPARE(QString::fromStdString(::getDictValue(dict, key.toStdString())), value);
    plist_free(dict);

    plist_t empty = plist_new_dict();
    plist_t array = plist_new_array();
    QCOMPARE(::getDictValue(empty, key.toStdString()), std::string());
    QCOMPARE(::getDictValue(array, key.toStdString()), std::string());
    QCOMPARE(::getDictValue(nullptr, key.toStdString()), std::string());
    plist_free(empty);
    plist_free(array);
}

void tst_QPlistRead::analysisTextInfo_appends()
{
    std::vector<std::string> list{"Auto"};
    QPlistRead::analysisTextInfo("0, 25 ,,29.97", " fps", list);
    QPlistRead::analysisTextInfo("", " fps", list);
    QPlistRead::analysisTextInfo("a, b", list);
    QCOMPARE(toList(list), QStringList({"Auto", "Auto", "25 fps", "29.97 fps", "a", "b"}));
}

void tst_QPlistRead::analysisFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("videoEncoder");
    QTest::addColumn<QStringList>("audioEncoders");
    QTest::newRow("two up to |") << "avc1:mp4a, mp3 |hvc1:mp4a" << "avc1" << QStringList{"kept", "mp4a", "mp3"};
    QTest::newRow("the last group") << "avc1:mp4a|hvc1:aac,opus" << "hvc1" << QStringList{"kept", "aac", "opus"};
    QTest::newRow("0 reads Auto") << "avc1:0,aac" << "avc1" << QStringList{"kept", "Auto", "aac"};
    QTest::newRow("first occurrence") << "navc1:aac|avc1:opus" << "avc1" << QStringList{"kept", "aac"};
    QTest::newRow("not named") << "avc1:mp4a" << "vp09" << QStringList{"kept"};
    QTest::newRow("code ends the text") << "x:aac|avc1" << "avc1" << QStringList{"kept"};
    QTest::newRow("separator ends the text") << "x:aac|avc1:" << "avc1" << QStringList{"kept"};
    QTest::newRow("empty filter") << "" << "avc1" << QStringList{"kept"};
    QTest::newRow("empty encoder") << "avc1:aac" << "" << QStringList{"kept"};
}

void tst_QPlistRead::analysisFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, videoEncoder);
    QFETCH(QStringList, audioEncoders);
    std::vector<std::string> list{"kept"};
    QPlistRead::analysisFilter(filter.toStdString(), videoEncoder.toStdString(), list);
    QCOMPARE(toList(list), audioEncoders);
}

void tst_QPlistRead::catalogue_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("binary");

    QTest::newRow("XML") << "fixture" << "catalogue.plist" << fixture() << false;
    QTest::newRow("binary") << "fixture" << "catalogue.plist" << fixture() << true;
    QTest::newRow("missing") << "none" << "missing.plist" << QByteArray() << false;
    QTest::newRow("empty") << "none" << "catalogue.plist" << QByteArray("") << false;
    QTest::newRow("cut short") << "none" << "catalogue.plist" << fixture().left(300) << false;
    QTest::newRow("array at the root")
        << "none" << "catalogue.plist"
        << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>Video</string></array></plist>")
        << false;
    QTest::newRow("200000 levels deep") << "none" << "catalogue.plist" << nestedXmlPlist(200000) << false;
    QTest::newRow("200000 levels deep, binary") << "none" << "catalogue.plist" << nestedBinaryPlist(200000) << false;
    QTest::newRow("binary, unfolding to 2^40 nodes") << "none" << "catalogue.plist" << nestedBinaryPlist(40, 2)
                                                     << false;
    QTest::newRow("made without a path first") << "first-without-path" << "catalogue.plist" << fixture() << false;
    QTest::newRow("shipped") << "shipped" << ZR_ROOT_DIR "/Resources/ConverterFormats.plist" << QByteArray() << false;
}

void tst_QPlistRead::catalogue()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFETCH(bool, binary);

    QTemporaryDir dir;
    if (QFileInfo(path).isRelative())
        path = dir.filePath(path);
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), qint64(content.size()));
    }
    if (binary) {
        const QString converted = dir.filePath("binary.plist");
        QCOMPARE(QProcess::execute("plistutil", {"-i", path, "-o", converted, "-f", "bin"}), 0);
        QFile file(converted);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(8), QByteArray("bplist00"));
        path = converted;
    }

    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--catalogue", kind, path});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--catalogue") == 0) {
        const QByteArray kind = argv[2];
        g_cataloguePath = argv[3];
        const QStringList arguments{app.arguments().first()};
        if (kind == "fixture") {
            tst_QPlistReadFixture test;
            return QTest::qExec(&test, arguments);
        }
        if (kind == "first-without-path")
            QPlistRead::getPlistRead1(argv[3], 0);
        if (kind == "shipped") {
            tst_QPlistReadShipped test;
            return QTest::qExec(&test, arguments);
        }
        tst_QPlistReadNone test;
        return QTest::qExec(&test, arguments);
    }
    tst_QPlistRead test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qplistread.moc"
