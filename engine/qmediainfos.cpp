#include "engine/qmediainfos.h"

#include "codec/rqcodec.h"
#include "engine/zrhelper.h"

#include <QFileInfo>

namespace {

struct Language
{
    const char *name;
    const char *iso6391;
    const char *iso6392T;
    const char *iso6392B;
};

const Language kLanguages[] = {
    {"Afar", "aa", "aar", "aar"},
    {"Abkhazian", "ab", "abk", "abk"},
    {"Afrikaans", "af", "afr", "afr"},
    {"Albanian", "sq", "sqi", "alb"},
    {"Amharic", "am", "amh", "amh"},
    {"Arabic", "ar", "ara", "ara"},
    {"Armenian", "hy", "hye", "arm"},
    {"Assamese", "as", "asm", "asm"},
    {"Avestan", "ae", "ave", "ave"},
    {"Aymara", "ay", "aym", "aym"},
    {"Azerbaijani", "az", "aze", "aze"},
    {"Bashkir", "ba", "bak", "bak"},
    {"Basque", "eu", "eus", "baq"},
    {"Belarusian", "be", "bel", "bel"},
    {"Bengali", "bn", "ben", "ben"},
    {"Bihari", "bh", "bih", "bih"},
    {"Bislama", "bi", "bis", "bis"},
    {"Bosnian", "bs", "bos", "bos"},
    {"Breton", "br", "bre", "bre"},
    {"Bulgarian", "bg", "bul", "bul"},
    {"Burmese", "my", "mya", "bur"},
    {"Catalan", "ca", "cat", "cat"},
    {"Chamorro", "ch", "cha", "cha"},
    {"Chechen", "ce", "che", "che"},
    {"Chinese", "zh", "zho", "chi"},
    {"Church Slavic", "cu", "chu", "chu"},
    {"Chuvash", "cv", "chv", "chv"},
    {"Cornish", "kw", "cor", "cor"},
    {"Corsican", "co", "cos", "cos"},
    {"Czech", "cs", "ces", "cze"},
    {"Danish", "da", "dan", "dan"},
    {"Dutch", "nl", "nld", "dut"},
    {"Dzongkha", "dz", "dzo", "dzo"},
    {"English", "en", "eng", "eng"},
    {"Esperanto", "eo", "epo", "epo"},
    {"Estonian", "et", "est", "est"},
    {"Faroese", "fo", "fao", "fao"},
    {"Fijian", "fj", "fij", "fij"},
    {"Finnish", "fi", "fin", "fin"},
    {"French", "fr", "fra", "fre"},
    {"Frisian", "fy", "fry", "fry"},
    {"Georgian", "ka", "kat", "geo"},
    {"German", "de", "deu", "ger"},
    {"Gaelic (Scots)", "gd", "gla", "gla"},
    {"Irish", "ga", "gle", "gle"},
    {"Gallegan", "gl", "glg", "glg"},
    {"Manx", "gv", "glv", "glv"},
    {"Greek, Modern ()", "el", "gre", "ell"},
    {"Guarani", "gn", "grn", "grn"},
    {"Gujarati", "gu", "guj", "guj"},
    {"Hebrew", "he", "heb", "heb"},
    {"Herero", "hz", "her", "her"},
    {"Hindi", "hi", "hin", "hin"},
    {"Hiri Motu", "ho", "hmo", "hmo"},
    {"Hungarian", "hu", "hun", "hun"},
    {"Icelandic", "is", "isl", "ice"},
    {"Inuktitut", "iu", "iku", "iku"},
    {"Interlingue", "ie", "ile", "ile"},
    {"Interlingua", "ia", "ina", "ina"},
    {"Indonesian", "id", "ind", "ind"},
    {"Inupiaq", "ik", "ipk", "ipk"},
    {"Italian", "it", "ita", "ita"},
    {"Javanese", "jv", "jaw", "jav"},
    {"Japanese", "ja", "jpn", "jpn"},
    {"Kalaallisut (Greenlandic)", "kl", "kal", "kal"},
    {"Kannada", "kn", "kan", "kan"},
    {"Kashmiri", "ks", "kas", "kas"},
    {"Kazakh", "kk", "kaz", "kaz"},
    {"Khmer", "km", "khm", "khm"},
    {"Kikuyu", "ki", "kik", "kik"},
    {"Kinyarwanda", "rw", "kin", "kin"},
    {"Kirghiz", "ky", "kir", "kir"},
    {"Komi", "kv", "kom", "kom"},
    {"Korean", "ko", "kor", "kor"},
    {"Kuanyama", "kj", "kua", "kua"},
    {"Kurdish", "ku", "kur", "kur"},
    {"Lao", "lo", "lao", "lao"},
    {"Latin", "la", "lat", "lat"},
    {"Latvian", "lv", "lav", "lav"},
    {"Lingala", "ln", "lin", "lin"},
    {"Lithuanian", "lt", "lit", "lit"},
    {"Letzeburgesch", "lb", "ltz", "ltz"},
    {"Macedonian", "mk", "mkd", "mac"},
    {"Marshall", "mh", "mah", "mah"},
    {"Malayalam", "ml", "mal", "mal"},
    {"Maori", "mi", "mri", "mao"},
    {"Marathi", "mr", "mar", "mar"},
    {"Malay", "ms", "msa", "may"},
    {"Malagasy", "mg", "mlg", "mlg"},
    {"Maltese", "mt", "mlt", "mlt"},
    {"Moldavian", "mo", "mol", "mol"},
    {"Mongolian", "mn", "mon", "mon"},
    {"Nauru", "na", "nau", "nau"},
    {"Navajo", "nv", "nav", "nav"},
    {"Ndebele, South", "nr", "nbl", "nbl"},
    {"Ndebele, North", "nd", "nde", "nde"},
    {"Ndonga", "ng", "ndo", "ndo"},
    {"Nepali", "ne", "nep", "nep"},
    {"Norwegian", "no", "nor", "nor"},
    {"Norwegian Nynorsk", "nn", "nno", "nno"},
    {"Norwegian Bokmaal", "nb", "nob", "nob"},
    {"Chichewa; Nyanja", "ny", "nya", "nya"},
    {"Occitan (post 1500); Provencal", "oc", "oci", "oci"},
    {"Oriya", "or", "ori", "ori"},
    {"Oromo", "om", "orm", "orm"},
    {"On Screen Display", "od", "osd", "osd"},
    {"Ossetian; Ossetic", "os", "oss", "oss"},
    {"Panjabi", "pa", "pan", "pan"},
    {"Persian", "fa", "fas", "per"},
    {"Pali", "pi", "pli", "pli"},
    {"Polish", "pl", "pol", "pol"},
    {"Portuguese", "pt", "por", "por"},
    {"Pushto", "ps", "pus", "pus"},
    {"Quechua", "qu", "que", "que"},
    {"Original audio", "", "qaa", "qaa"},
    {"Raeto-Romance", "rm", "roh", "roh"},
    {"Romanian", "ro", "ron", "rum"},
    {"Rundi", "rn", "run", "run"},
    {"Russian", "ru", "rus", "rus"},
    {"Sango", "sg", "sag", "sag"},
    {"Sanskrit", "sa", "san", "san"},
    {"Serbian", "sr", "srp", "scc"},
    {"Croatian", "hr", "hrv", "scr"},
    {"Sinhalese", "si", "sin", "sin"},
    {"Slovak", "sk", "slk", "slo"},
    {"Slovenian", "sl", "slv", "slv"},
    {"Northern Sami", "se", "sme", "sme"},
    {"Samoan", "sm", "smo", "smo"},
    {"Shona", "sn", "sna", "sna"},
    {"Sindhi", "sd", "snd", "snd"},
    {"Somali", "so", "som", "som"},
    {"Sotho, Southern", "st", "sot", "sot"},
    {"Spanish", "es", "spa", "spa"},
    {"Sardinian", "sc", "srd", "srd"},
    {"Swati", "ss", "ssw", "ssw"},
    {"Sundanese", "su", "sun", "sun"},
    {"Swahili", "sw", "swa", "swa"},
    {"Swedish", "sv", "swe", "swe"},
    {"Tahitian", "ty", "tah", "tah"},
    {"Tamil", "ta", "tam", "tam"},
    {"Tatar", "tt", "tat", "tat"},
    {"Telugu", "te", "tel", "tel"},
    {"Tajik", "tg", "tgk", "tgk"},
    {"Tagalog", "tl", "tgl", "tgl"},
    {"Thai", "th", "tha", "tha"},
    {"Tibetan", "bo", "bod", "tib"},
    {"Tigrinya", "ti", "tir", "tir"},
    {"Tonga (Tonga Islands)", "to", "ton", "ton"},
    {"Tswana", "tn", "tsn", "tsn"},
    {"Tsonga", "ts", "tso", "tso"},
    {"Turkish", "tr", "tur", "tur"},
    {"Turkmen", "tk", "tuk", "tuk"},
    {"Twi", "tw", "twi", "twi"},
    {"Uighur", "ug", "uig", "uig"},
    {"Ukrainian", "uk", "ukr", "ukr"},
    {"Urdu", "ur", "urd", "urd"},
    {"Uzbek", "uz", "uzb", "uzb"},
    {"Vietnamese", "vi", "vie", "vie"},
    {"Volapuk", "vo", "vol", "vol"},
    {"Welsh", "cy", "cym", "wel"},
    {"Wolof", "wo", "wol", "wol"},
    {"Xhosa", "xh", "xho", "xho"},
    {"Yiddish", "yi", "yid", "yid"},
    {"Yoruba", "yo", "yor", "yor"},
    {"Zhuang", "za", "zha", "zha"},
    {"Zulu", "zu", "zul", "zul"},
};

struct TagKey
{
    const char *key;
    std::string MediaTagInfo::*field;
};

// In the order the library is asked.
const TagKey kTagKeys[] = {
    {"title", &MediaTagInfo::title},
    {"artist", &MediaTagInfo::artist},
    {"album_artist", &MediaTagInfo::album_artist},
    {"composer", &MediaTagInfo::composer},
    {"album", &MediaTagInfo::album},
    {"genre", &MediaTagInfo::genre},
    {"disc", &MediaTagInfo::disc},
    {"track", &MediaTagInfo::track},
    {"year", &MediaTagInfo::year},
    {"date", &MediaTagInfo::date},
    {"grouping", &MediaTagInfo::grouping},
    {"comment", &MediaTagInfo::comment},
    {"copyright", &MediaTagInfo::copyright},
    {"dvd_clip", &MediaTagInfo::dvd_clip},
    {"dvd_size", &MediaTagInfo::dvd_size},
    {"lyrics", &MediaTagInfo::lyrics},
};

struct SubtitleExtension
{
    const char *extension;
    const char *format;
};

// External subtitle files are looked for in this order.
const SubtitleExtension kSubtitleExtensions[] = {
    {"ass", "ASS"}, {"ssa", "SSA"}, {"srt", "SRT"}, {"idx", "VOBSUB"}, {"sub", "SUB"},
    {"smi", "SMI"}, {"sami", "SAMI"}, {"sup", "SUP"}, {"vtt", "WEBVTT"}, {"lrc", "LRC"},
};

QString utf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// The table's name for a code, or the code itself; empty without a code.
QString languageText(const char *code)
{
    const QString text = utf8(code);
    if (text.isEmpty())
        return text;
    const QString name = QMediaInfos::languageName(text);
    return name.isEmpty() ? text : name;
}

// Title or codec name, one blank, then the language in parentheses when there is one.
QString streamLabel(const QString &title, const QString &codec, const char *code, QString *language)
{
    const QString text = languageText(code);
    const QString inParentheses = text.isEmpty() ? QString() : QStringLiteral("(%1)").arg(text);
    *language = QString(inParentheses).remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    return (title.isEmpty() ? codec : title) + QLatin1Char(' ') + inParentheses;
}

// What video and audio records share; on a disc a stream without a length takes the program's.
template <typename Stream>
Stream describedStream(int index, const char *title, const char *codec, const char *code,
                       unsigned long long duration, const ProgramInfo *program, bool disc)
{
    Stream stream;
    stream.m_index = index;
    stream.m_title = utf8(title);
    stream.m_codecName = utf8(codec);
    stream.m_label = streamLabel(stream.m_title, stream.m_codecName, code, &stream.m_language);
    stream.m_duration = duration == 0 && disc ? program->m_duration : duration;
    return stream;
}

// The medium's path up to and with the "." of its file name's extension; the "." is added when
// the name has none. Dots in folder names are never taken.
QString subtitleStem(const QString &mediaPath)
{
    const int nameStart = mediaPath.lastIndexOf(QLatin1Char('/')) + 1;
    const int dot = mediaPath.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return mediaPath + QLatin1Char('.');
    return mediaPath.left(dot + 1);
}

}

QMediaInfos::QMediaInfos(QObject *parent) : QObject(parent)
{
}

QMediaInfos::QMediaInfos(QString path, QObject *parent) : QObject(parent)
{
    setMediaInfo(path);
}

QMediaInfos::~QMediaInfos()
{
    deletePrograms();
    if (m_probe) {
        codecCloseProbe(m_probe);
        codecDestroyProbe(m_probe);
    }
}

QString QMediaInfos::languageName(const QString &code)
{
    const QByteArray lower = code.toLower().toLatin1();
    if (lower.size() == 2) {
        for (const Language &language : kLanguages) {
            if (lower == language.iso6391)
                return QString::fromUtf8(language.name);
        }
    } else if (lower.size() == 3) {
        if (lower == "und")
            return QStringLiteral("Undefined");
        for (const Language &language : kLanguages) {
            if (lower == language.iso6392T)
                return QString::fromUtf8(language.name);
        }
        for (const Language &language : kLanguages) {
            if (lower == language.iso6392B)
                return QString::fromUtf8(language.name);
        }
    }
    return QString();
}

bool QMediaInfos::openProbe(const QString &path, bool disc)
{
    m_mediaPath = path;
    if (!m_probe)
        m_probe = codecCreateProbe(-1);
    const QByteArray utf8Path = path.toUtf8();
    return (disc ? codecProbeOpenDisc(m_probe, utf8Path.constData())
                 : codecProbeOpenFile(m_probe, utf8Path.constData())) != 0;
}

void QMediaInfos::readMediaValues()
{
    m_mediaDuration = codecProbeGetDuration(m_probe);
    m_fileSize = QFileInfo(m_mediaPath).size();
    const char *format = codecProbeGetFormatName(m_probe);
    m_formatName = format ? QString::fromLatin1(format) : QString();
}

void QMediaInfos::setMediaInfo(PlayItemInfo *item)
{
    if (!item || item->path.isEmpty())
        return;
    m_isDisc = item->File_isDVD;
    if (!openProbe(item->path, m_isDisc))
        return;
    readMediaValues();
    item->Duration_ = m_mediaDuration;
    getTagInfo();
    getProgramInfo();
}

void QMediaInfos::setMediaInfo(QString path)
{
    if (path.isEmpty() || !openProbe(path, false))
        return;
    readMediaValues();
    getTagInfo();
    getProgramInfo();
}

void QMediaInfos::getTagInfo()
{
    m_tagInfo.reset();
    if (!m_probe)
        return;
    for (const TagKey &tag : kTagKeys) {
        if (const char *value = codecProbeGetTag(m_probe, tag.key))
            m_tagInfo.*tag.field = value;
    }
}

void QMediaInfos::deletePrograms()
{
    qDeleteAll(m_programList);
    m_programList.clear();
    m_currentProgram = nullptr;
}

void QMediaInfos::getProgramInfo()
{
    deletePrograms();
    m_programNames.clear();
    if (!m_probe)
        return;

    int count = codecProbeGetProgramCount(m_probe);
    m_currentIndex = 0;
    // A disc lists its titles, then six entries that are not titles.
    if (m_isDisc)
        count -= 6;
    m_programCount = count;
    m_programsDuration = 0;

    for (int i = 0; i < count; ++i) {
        ProgramInfo *program = new ProgramInfo;
        program->m_index = i;
        codecProbeSelectProgram(m_probe, i);
        if (codecProbeHasVideo(m_probe))
            program->m_type = MediaType_Video;
        else if (codecProbeHasAudio(m_probe))
            program->m_type = MediaType_Audio;
        else
            program->m_type = MediaType_None;

        program->m_start = m_programsDuration;
        program->m_duration = codecProbeGetDuration(m_probe);
        m_programsDuration += program->m_duration;
        program->m_end = m_programsDuration;

        if (m_isDisc)
            program->m_name = QStringLiteral("Title %1").arg(i + 1);
        else
            program->m_name = utf8(codecProbeGetProgramName(m_probe));
        if (program->m_name.isEmpty())
            program->m_name = QStringLiteral("Program %1").arg(i + 1);
        m_programNames.append(program->m_name);

        addVideoStreams(program);
        addAudioStreams(program);
        addSubtitleChoices(program);
        getChapterInfo(program);
        m_programList.append(program);
    }
    m_currentProgram = m_programList.value(m_currentIndex, nullptr);
}

void QMediaInfos::addVideoStreams(ProgramInfo *program)
{
    const int count = codecProbeGetVideoStreamCount(m_probe);
    for (int j = 0; j < count; ++j) {
        codecProbeSelectVideoStream(m_probe, j);
        StreamInfo stream = describedStream<StreamInfo>(
            j, codecProbeGetVideoTitle(m_probe), codecProbeGetVideoCodec(m_probe), codecProbeGetVideoLanguage(m_probe),
            codecProbeGetVideoDuration(m_probe), program, m_isDisc);
        stream.m_videoHeight = codecProbeGetVideoHeight(m_probe);
        stream.m_videoWidth = codecProbeGetVideoWidth(m_probe);
        stream.m_videoBitRate = codecProbeGetVideoBitRate(m_probe);
        stream.m_aspectNum = codecProbeGetVideoAspectNum(m_probe);
        stream.m_aspectDen = codecProbeGetVideoAspectDen(m_probe);
        stream.m_frameRateNum = codecProbeGetVideoFrameRateNum(m_probe);
        stream.m_frameRateDen = codecProbeGetVideoFrameRateDen(m_probe);
        program->m_videoList.append(stream);
    }
}

void QMediaInfos::addAudioStreams(ProgramInfo *program)
{
    const int count = codecProbeGetAudioStreamCount(m_probe);
    for (int j = 0; j < count; ++j) {
        codecProbeSelectAudioStream(m_probe, j);
        AudioStreamInfo stream = describedStream<AudioStreamInfo>(
            j, codecProbeGetAudioTitle(m_probe), codecProbeGetAudioCodec(m_probe), codecProbeGetAudioLanguage(m_probe),
            codecProbeGetAudioDuration(m_probe), program, m_isDisc);
        stream.m_bitDepth = codecProbeGetAudioBitDepth(m_probe);
        stream.m_audioBitRate = codecProbeGetAudioBitRate(m_probe);
        stream.m_channels = codecProbeGetAudioChannels(m_probe);
        stream.m_channelLayout = int(codecProbeGetAudioChannelLayout(m_probe));
        stream.m_sampleRate = codecProbeGetAudioSampleRate(m_probe);
        program->m_audioList.append(stream);
    }
}

void QMediaInfos::addSubtitleChoices(ProgramInfo *program)
{
    const int count = codecProbeGetSubtitleStreamCount(m_probe);
    program->m_subtitleCount = count;

    SubtitleStreamInfo disable;
    disable.m_index = -1;
    disable.m_label = QStringLiteral("Disable");
    program->m_subtitleList.append(disable);

    for (int j = 0; j < count; ++j) {
        codecProbeSelectSubtitleStream(m_probe, j);
        SubtitleStreamInfo stream;
        const QString language = languageText(codecProbeGetSubtitleLanguage(m_probe));
        QString label;
        if (!language.isEmpty())
            label += language + QLatin1Char(' ');
        stream.m_title = utf8(codecProbeGetSubtitleTitle(m_probe));
        if (!stream.m_title.isEmpty())
            label += QLatin1Char('(') + stream.m_title + QLatin1Char(')');
        stream.m_codecName = utf8(codecProbeGetSubtitleCodec(m_probe));
        if (!stream.m_codecName.isEmpty())
            label += QLatin1Char('[') + stream.m_codecName + QLatin1Char(']');
        stream.m_index = j;
        stream.m_kind = QStringLiteral("内嵌");
        stream.m_label = label;
        stream.m_language = QString(language).remove(QLatin1Char(' '));
        stream.m_duration = codecProbeGetSubtitleDuration(m_probe);
        program->m_subtitleList.append(stream);
    }

    SubtitleStreamInfo captions;
    captions.m_index = count;
    captions.m_label = QStringLiteral("Video Internal CC");
    program->m_subtitleList.append(captions);

    const QString stem = subtitleStem(m_mediaPath);
    for (const SubtitleExtension &candidate : kSubtitleExtensions) {
        const QString path = stem + QLatin1String(candidate.extension);
        const QFileInfo file(path);
        if (!file.isFile())
            continue;
        SubtitleStreamInfo external;
        external.m_kind = QStringLiteral("外接");
        external.m_index = -2;
        external.m_label = QStringLiteral("(%1)[%2]").arg(file.baseName(), QLatin1String(candidate.format));
        external.m_filePath = path;
        program->m_subtitleList.append(external);
    }
}

void QMediaInfos::getChapterInfo(ProgramInfo *program)
{
    if (!m_probe || !program)
        return;
    program->m_chapterList.clear();
    program->m_chapterTexts.clear();
    const int count = codecProbeGetChapterCount(m_probe);
    for (int i = 0; i < count; ++i) {
        ChapterInfo chapter;
        chapter.m_index = i + 1;
        chapter.m_start = codecProbeGetChapterStart(m_probe, i) + program->m_start;
        chapter.m_duration = codecProbeGetChapterDuration(m_probe, i);
        chapter.m_end = chapter.m_start + chapter.m_duration;
        chapter.m_title = utf8(codecProbeGetChapterTitle(m_probe, i));
        if (chapter.m_title.isEmpty())
            chapter.m_title = QString::number(chapter.m_index);
        chapter.m_text = QStringLiteral("%1 %2 - %3")
                             .arg(chapter.m_title, ZRHelper::getTime(chapter.m_start), ZRHelper::getTime(chapter.m_end));
        program->m_chapterList.append(chapter);
        program->m_chapterTexts.append(chapter.m_text);
    }
}

void QMediaInfos::setProgramIndex(int index)
{
    if (index < 0 || index >= m_programList.size())
        return;
    codecProbeSelectProgram(m_probe, index);
    m_currentIndex = index;
    m_currentProgram = m_programList.at(index);
    readMediaValues();
    getTagInfo();
}

void QMediaInfos::getSubltListOrAudioList(QList<SubltItemInfo> &subtitles, QList<QString> &audioNames,
                                          SubtitleValue_Info &selection)
{
    if (!m_currentProgram)
        return;
    for (const SubtitleStreamInfo &choice : m_currentProgram->m_subtitleList)
        subtitles.append(SubltItemInfo{choice.m_label.toUtf8().toStdString(), choice.m_filePath.toUtf8().toStdString()});
    for (const AudioStreamInfo &audio : m_currentProgram->m_audioList)
        audioNames.append(audio.m_label);
    selection.m_embeddedCount = m_currentProgram->m_subtitleCount;
}

ProgramInfo *QMediaInfos::getProgramInfoFromTime(unsigned long long time)
{
    for (ProgramInfo *program : m_programList) {
        if (program->m_start <= time && time <= program->m_end)
            return program;
    }
    return m_programList.isEmpty() ? nullptr : m_programList.last();
}

void QMediaInfos::getAudioAndSubtInfo()
{
    for (ProgramInfo *program : m_programList) {
        if (program->m_index == m_currentIndex) {
            m_currentProgram = program;
            return;
        }
    }
}

void QMediaInfos::checkChar(std::string &)
{
}

void QMediaInfos::clearData()
{
    m_currentIndex = 0;
    m_mediaPath.clear();
    m_formatName.clear();
    m_isDisc = false;
    m_mediaDuration = 0;
    m_fileSize = 0;
    m_programsDuration = 0;
    m_programCount = 0;
    deletePrograms();
    m_programNames.clear();
    m_tagInfo.reset();
}
