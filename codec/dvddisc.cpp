#include "codec/dvddisc.h"

#include "codec/dvdtitlestream.h"

extern "C" {
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace fs = std::filesystem;

namespace rq {

namespace {

constexpr int kTrailingEntries = 6;

void discardLog(void *, dvd_logger_level_t, const char *, va_list) {}

struct IfoCloser {
    void operator()(ifo_handle_t *ifo) const { ifoClose(ifo); }
};
using IfoPointer = std::unique_ptr<ifo_handle_t, IfoCloser>;

struct FileCloser {
    void operator()(dvd_file_t *file) const { DVDCloseFile(file); }
};
using DvdFilePointer = std::unique_ptr<dvd_file_t, FileCloser>;

std::string lower(std::string text)
{
    for (char &c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Discs come from other systems, so the names may be in either case.
fs::path findEntry(const fs::path &folder, const std::string &name)
{
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (lower(it->path().filename().string()) == lower(name))
            return it->path();
    }
    return {};
}

// libdvdread takes any folder; only one with VIDEO_TS/VIDEO_TS.IFO (or the VIDEO_TS folder itself)
// is a disc. Answers the folder to hand to libdvdread, empty when there is none.
fs::path discFolder(const fs::path &folder)
{
    std::error_code error;
    const fs::path videoTs = findEntry(folder, "VIDEO_TS");
    if (!videoTs.empty() && fs::is_regular_file(findEntry(videoTs, "VIDEO_TS.IFO"), error))
        return folder;
    if (lower(folder.filename().string()) == "video_ts"
        && fs::is_regular_file(findEntry(folder, "VIDEO_TS.IFO"), error))
        return folder.parent_path();
    return {};
}

// An ISO-9660 or UDF image starts its volume descriptors at sector 16.
bool isDiscImage(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    char descriptor[6] = {};
    if (!in.seekg(16 * DVD_VIDEO_LB_LEN) || !in.read(descriptor, sizeof descriptor))
        return false;
    return std::memcmp(descriptor + 1, "CD001", 5) == 0 || std::memcmp(descriptor + 1, "BEA01", 5) == 0;
}

int fromBcd(uint8_t value)
{
    return (value >> 4) * 10 + (value & 0x0f);
}

uint64_t micros(const dvd_time_t &time)
{
    const uint64_t seconds = uint64_t(fromBcd(time.hour)) * 3600 + fromBcd(time.minute) * 60 + fromBcd(time.second);
    const int frames = fromBcd(time.frame_u & 0x3f);
    uint64_t frameMicros = 0;
    switch (time.frame_u >> 6) {
    case 1:
        frameMicros = uint64_t(frames) * 40000;
        break;
    case 3:
        frameMicros = uint64_t(frames) * 1001000 / 30;
        break;
    default:
        break;
    }
    return seconds * 1000000 + frameMicros;
}

std::string language(uint16_t code)
{
    const char first = char(code >> 8), second = char(code & 0xff);
    if (!std::isalpha(static_cast<unsigned char>(first)) || !std::isalpha(static_cast<unsigned char>(second)))
        return {};
    return std::string{first, second};
}

VideoStreamDescription describeVideo(const video_attr_t &attr, uint64_t duration)
{
    const bool pal = attr.video_format == 1;
    static const int widths[] = {720, 704, 352, 352};
    VideoStreamDescription video;
    video.codec = attr.mpeg_version == 0 ? "mpeg1video" : "mpeg2video";
    video.width = widths[attr.picture_size];
    video.height = pal ? 576 : 480;
    if (attr.picture_size == 3)
        video.height /= 2;
    video.aspectNum = attr.display_aspect_ratio == 3 ? 16 : 4;
    video.aspectDen = attr.display_aspect_ratio == 3 ? 9 : 3;
    video.frameRateNum = pal ? 25 : 30000;
    video.frameRateDen = pal ? 1 : 1001;
    video.duration = duration;
    return video;
}

AudioStreamDescription describeAudio(const audio_attr_t &attr, uint64_t duration)
{
    AudioStreamDescription audio;
    switch (attr.audio_format) {
    case 0:
        audio.codec = "ac3";
        break;
    case 2:
    case 3:
        audio.codec = "mp2";
        break;
    case 4:
        audio.codec = "pcm_dvd";
        audio.bitDepth = 16 + 4 * attr.quantization;
        break;
    case 6:
        audio.codec = "dts";
        break;
    default:
        break;
    }
    if (attr.lang_type == 1)
        audio.language = language(attr.lang_code);
    audio.sampleRate = attr.sample_frequency == 1 ? 96000 : 48000;
    audio.channels = attr.channels + 1;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, audio.channels);
    if (layout.order == AV_CHANNEL_ORDER_NATIVE)
        audio.channelLayout = layout.u.mask;
    audio.duration = duration;
    return audio;
}

SubtitleStreamDescription describeSubtitle(const subp_attr_t &attr, uint64_t duration)
{
    SubtitleStreamDescription subtitle;
    subtitle.codec = "dvd_subtitle";
    if (attr.type == 1)
        subtitle.language = language(attr.lang_code);
    subtitle.duration = duration;
    return subtitle;
}

// Builds one title from its parts of title: each part is a program of a program chain, and the
// chapters start where their first cells start. False when the tables do not hold together.
bool readTitle(const ifo_handle_t &vts, int titleNumber, DvdTitle &title)
{
    const vts_ptt_srpt_t *parts = vts.vts_ptt_srpt;
    const pgcit_t *chains = vts.vts_pgcit;
    if (!parts || !chains || !vts.vtsi_mat || titleNumber < 1 || titleNumber > parts->nr_of_srpts)
        return false;
    const ttu_t &unit = parts->title[titleNumber - 1];
    uint64_t elapsed = 0;
    uint64_t chainTime = 0;
    std::vector<int> chainsSeen;
    const pgc_t *firstChain = nullptr;
    for (int p = 0; p < unit.nr_of_ptts; ++p) {
        const ptt_info_t &part = unit.ptt[p];
        if (part.pgcn < 1 || part.pgcn > chains->nr_of_pgci_srp)
            return false;
        const pgc_t *chain = chains->pgci_srp[part.pgcn - 1].pgc;
        if (!chain || !chain->program_map || !chain->cell_playback || part.pgn < 1 || part.pgn > chain->nr_of_programs)
            return false;
        if (!firstChain)
            firstChain = chain;
        if (std::find(chainsSeen.begin(), chainsSeen.end(), part.pgcn) == chainsSeen.end()) {
            chainsSeen.push_back(part.pgcn);
            chainTime += micros(chain->playback_time);
        }
        const int firstCell = chain->program_map[part.pgn - 1];
        const int lastCell = part.pgn < chain->nr_of_programs ? chain->program_map[part.pgn] - 1 : chain->nr_of_cells;
        if (firstCell < 1 || lastCell < firstCell || lastCell > chain->nr_of_cells)
            return false;
        ChapterDescription chapter;
        chapter.start = elapsed;
        title.description.chapters.push_back(chapter);
        for (int c = firstCell; c <= lastCell; ++c) {
            const cell_playback_t &cell = chain->cell_playback[c - 1];
            if (cell.block_type == BLOCK_TYPE_ANGLE_BLOCK && cell.block_mode != BLOCK_MODE_FIRST_CELL)
                continue;
            elapsed += micros(cell.playback_time);
            if (cell.last_sector >= cell.first_sector)
                title.cells.push_back(DvdCell{cell.first_sector, cell.last_sector});
        }
    }
    if (!firstChain || title.cells.empty())
        return false;

    ProgramDescription &program = title.description;
    program.duration = chainTime ? chainTime : elapsed;
    for (size_t i = 0; i < program.chapters.size(); ++i) {
        const uint64_t end = i + 1 < program.chapters.size() ? program.chapters[i + 1].start : program.duration;
        program.chapters[i].duration = end > program.chapters[i].start ? end - program.chapters[i].start : 0;
    }

    const vtsi_mat_t &attributes = *vts.vtsi_mat;
    program.video.push_back(describeVideo(attributes.vts_video_attr, program.duration));
    const int audioCount = std::min<int>(attributes.nr_of_vts_audio_streams, 8);
    for (int i = 0; i < audioCount; ++i) {
        if (firstChain->audio_control[i] & 0x8000)
            program.audio.push_back(describeAudio(attributes.vts_audio_attr[i], program.duration));
    }
    const int subtitleCount = std::min<int>(attributes.nr_of_vts_subp_streams, 32);
    for (int i = 0; i < subtitleCount; ++i) {
        if (firstChain->subp_control[i] & 0x80000000u)
            program.subtitles.push_back(describeSubtitle(attributes.vts_subp_attr[i], program.duration));
    }
    return true;
}

// True when the first and last sectors of the title read: a cut-short image fails here.
bool titleReadable(dvd_reader_t *reader, const DvdTitle &title)
{
    const DvdFilePointer file(DVDOpenFile(reader, title.titleSet, DVD_READ_TITLE_VOBS));
    if (!file)
        return false;
    unsigned char block[DVD_VIDEO_LB_LEN];
    uint32_t last = 0;
    for (const DvdCell &cell : title.cells)
        last = std::max(last, cell.last);
    return DVDReadBlocks(file.get(), int(title.cells.front().first), 1, block) == 1
           && DVDReadBlocks(file.get(), int(last), 1, block) == 1;
}

} // namespace

DvdDisc::DvdDisc(std::shared_ptr<dvd_reader_s> reader)
    : m_reader(std::move(reader))
{
}

std::unique_ptr<DvdDisc> DvdDisc::open(const std::string &path)
{
    std::error_code error;
    fs::path target(path);
    if (target.has_filename() == false && target.has_parent_path())
        target = target.parent_path();
    if (fs::is_directory(target, error))
        target = discFolder(target);
    else if (!fs::is_regular_file(target, error) || !isDiscImage(target))
        target.clear();
    if (target.empty())
        return nullptr;

    static const dvd_logger_cb logger = {discardLog};
    dvd_reader_t *raw = nullptr;
    {
        // libdvdread sets up its input layer in globals on every open.
        static std::mutex openMutex;
        std::lock_guard<std::mutex> lock(openMutex);
        raw = DVDOpen2(nullptr, &logger, target.c_str());
    }
    if (!raw)
        return nullptr;
    std::unique_ptr<DvdDisc> disc(new DvdDisc(std::shared_ptr<dvd_reader_s>(raw, DVDClose)));
    if (!disc->readTitles())
        return nullptr;
    return disc;
}

bool DvdDisc::readTitles()
{
    const IfoPointer manager(ifoOpen(m_reader.get(), 0));
    if (!manager || !manager->tt_srpt)
        return false;
    std::map<int, IfoPointer> titleSets;
    const tt_srpt_t &table = *manager->tt_srpt;
    for (int t = 0; t < table.nr_of_srpts; ++t) {
        const title_info_t &info = table.title[t];
        IfoPointer &vts = titleSets[info.title_set_nr];
        if (!vts && info.title_set_nr >= 1)
            vts.reset(ifoOpen(m_reader.get(), info.title_set_nr));
        DvdTitle title;
        title.titleSet = info.title_set_nr;
        if (vts && readTitle(*vts, info.vts_ttn, title) && titleReadable(m_reader.get(), title))
            m_titles.push_back(std::move(title));
    }
    return !m_titles.empty();
}

MediaDescription DvdDisc::describe() const
{
    MediaDescription media;
    media.formatName = "dvd";
    for (const DvdTitle &title : m_titles) {
        media.duration += title.description.duration;
        media.programs.push_back(title.description);
    }
    media.programs.resize(media.programs.size() + kTrailingEntries);
    return media;
}

std::optional<MediaSource> DvdDisc::titleSource(int index) const
{
    std::shared_ptr<DvdTitleStream> stream = openTitle(index);
    IOContextPtr context = stream ? stream->createContext() : nullptr;
    if (!context)
        return std::nullopt;
    const auto duration = int64_t(m_titles[size_t(index)].description.duration);
    return MediaSource::fromIO(std::move(context), std::move(stream), "mpeg", duration);
}

std::unique_ptr<DvdTitleStream> DvdDisc::openTitle(int index) const
{
    if (index < 0 || index >= titleCount())
        return nullptr;
    return DvdTitleStream::open(m_reader, m_titles[size_t(index)]);
}

}
