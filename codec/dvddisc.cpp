#include "codec/dvddisc.h"

#include "codec/dvdifo.h"
#include "codec/dvdtitlestream.h"

extern "C" {
#include <dvdread/dvd_reader.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace rq {

namespace {

constexpr int kTrailingEntries = 6;
constexpr unsigned kChildSeconds = 20;
constexpr uint32_t kScrambleCheckSectors = 16;
constexpr int kAngleBlock = 1;
constexpr int kFirstCellOfBlock = 1;

void discardLog(void *, dvd_logger_level_t, const char *, va_list) {}

// libdvdread sets up its input layer in globals on every open.
std::mutex &openMutex()
{
    static std::mutex mutex;
    return mutex;
}

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

std::string language(uint8_t first, uint8_t second)
{
    if (!std::isalpha(first) || !std::isalpha(second))
        return {};
    return std::string{char(first), char(second)};
}

VideoStreamDescription describeVideo(const std::array<uint8_t, 2> &attributes, uint64_t duration)
{
    const bool pal = (attributes[0] >> 4 & 3) == 1;
    const bool wide = (attributes[0] >> 2 & 3) == 3;
    const int pictureSize = attributes[1] >> 2 & 3;
    static const int widths[] = {720, 704, 352, 352};
    VideoStreamDescription video;
    video.codec = attributes[0] >> 6 == 0 ? "mpeg1video" : "mpeg2video";
    video.width = widths[pictureSize];
    video.height = (pal ? 576 : 480) / (pictureSize == 3 ? 2 : 1);
    video.aspectNum = wide ? 16 : 4;
    video.aspectDen = wide ? 9 : 3;
    video.frameRateNum = pal ? 25 : 30000;
    video.frameRateDen = pal ? 1 : 1001;
    video.duration = duration;
    return video;
}

AudioStreamDescription describeAudio(const std::array<uint8_t, 8> &attributes, uint64_t duration)
{
    AudioStreamDescription audio;
    switch (attributes[0] >> 5) {
    case 0:
        audio.codec = "ac3";
        break;
    case 2:
    case 3:
        audio.codec = "mp2";
        break;
    case 4:
        audio.codec = "pcm_dvd";
        audio.bitDepth = 16 + 4 * (attributes[1] >> 6);
        break;
    case 6:
        audio.codec = "dts";
        break;
    default:
        break;
    }
    if ((attributes[0] >> 2 & 3) == 1)
        audio.language = language(attributes[2], attributes[3]);
    audio.sampleRate = (attributes[1] >> 4 & 3) == 1 ? 96000 : 48000;
    audio.channels = (attributes[1] & 7) + 1;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, audio.channels);
    if (layout.order == AV_CHANNEL_ORDER_NATIVE)
        audio.channelLayout = layout.u.mask;
    audio.duration = duration;
    return audio;
}

SubtitleStreamDescription describeSubtitle(const std::array<uint8_t, 6> &attributes, uint64_t duration)
{
    SubtitleStreamDescription subtitle;
    subtitle.codec = "dvd_subtitle";
    if ((attributes[0] & 3) == 1)
        subtitle.language = language(attributes[2], attributes[3]);
    subtitle.duration = duration;
    return subtitle;
}

// Builds one title from its parts of title: each part is a program of a program chain, and the
// chapters start where their first cells start. False when the tables do not hold together.
bool readTitle(const DvdIfo &set, int titleNumber, DvdTitle &title)
{
    if (titleNumber < 1 || titleNumber > int(set.titleParts.size()))
        return false;
    uint64_t elapsed = 0;
    uint64_t chainTime = 0;
    std::vector<int> chainsSeen;
    const DvdIfo::Chain *firstChain = nullptr;
    for (const DvdIfo::Part &part : set.titleParts[size_t(titleNumber - 1)]) {
        if (part.chain < 1 || part.chain > int(set.chains.size()))
            return false;
        const DvdIfo::Chain &chain = set.chains[size_t(part.chain - 1)];
        const int programs = int(chain.programs.size());
        const int cells = int(chain.cells.size());
        if (part.program < 1 || part.program > programs)
            return false;
        if (!firstChain)
            firstChain = &chain;
        if (std::find(chainsSeen.begin(), chainsSeen.end(), part.chain) == chainsSeen.end()) {
            chainsSeen.push_back(part.chain);
            chainTime += chain.duration;
        }
        const int firstCell = chain.programs[size_t(part.program - 1)];
        const int lastCell = part.program < programs ? chain.programs[size_t(part.program)] - 1 : cells;
        if (firstCell < 1 || lastCell < firstCell || lastCell > cells)
            return false;
        ChapterDescription chapter;
        chapter.start = elapsed;
        title.description.chapters.push_back(chapter);
        for (int c = firstCell; c <= lastCell; ++c) {
            const DvdIfo::Cell &cell = chain.cells[size_t(c - 1)];
            if (cell.blockType == kAngleBlock && cell.blockMode != kFirstCellOfBlock)
                continue;
            elapsed += cell.duration;
            if (cell.last >= cell.first)
                title.cells.push_back(DvdCell{cell.first, cell.last});
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

    program.video.push_back(describeVideo(set.videoAttributes, program.duration));
    for (size_t i = 0; i < set.audioAttributes.size(); ++i) {
        if (firstChain->audioControl[i] & 0x8000)
            program.audio.push_back(describeAudio(set.audioAttributes[i], program.duration));
    }
    for (size_t i = 0; i < set.subpictureAttributes.size(); ++i) {
        if (firstChain->subpictureControl[i] & 0x80000000u)
            program.subtitles.push_back(describeSubtitle(set.subpictureAttributes[i], program.duration));
    }
    return true;
}

// A CSS-scrambled sector says so in the PES header that follows its pack header (a navigation
// pack has a system header there instead); without a descrambler such a title cannot play.
bool scrambled(const unsigned char *sector)
{
    static const unsigned char packStart[] = {0, 0, 1, 0xba};
    static const unsigned char packetStart[] = {0, 0, 1};
    constexpr unsigned char systemHeader = 0xbb;
    return std::memcmp(sector, packStart, 4) == 0 && std::memcmp(sector + 0x0e, packetStart, 3) == 0
           && sector[0x11] != systemHeader && (sector[0x14] & 0x30) != 0;
}

// True when the first and last sectors of the title read (a cut-short image fails here) and its
// first sectors are not scrambled.
bool titlePlayable(dvd_reader_t *reader, const DvdTitle &title)
{
    const DvdFilePointer file(DVDOpenFile(reader, title.titleSet, DVD_READ_TITLE_VOBS));
    if (!file)
        return false;
    const DvdCell &first = title.cells.front();
    const int count = int(std::min<uint32_t>(first.last - first.first + 1, kScrambleCheckSectors));
    std::vector<unsigned char> blocks(size_t(count) * DVD_VIDEO_LB_LEN);
    if (DVDReadBlocks(file.get(), int(first.first), size_t(count), blocks.data()) != count)
        return false;
    for (int i = 0; i < count; ++i) {
        if (scrambled(blocks.data() + size_t(i) * DVD_VIDEO_LB_LEN))
            return false;
    }
    uint32_t last = 0;
    for (const DvdCell &cell : title.cells)
        last = std::max(last, cell.last);
    return DVDReadBlocks(file.get(), int(last), 1, blocks.data()) == 1;
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
    if (!target.has_filename() && target.has_parent_path())
        target = target.parent_path();
    if (fs::is_directory(target, error))
        return load(discFolder(target), true);
    if (!fs::is_regular_file(target, error) || !isDiscImage(target) || !loadsInChild(target))
        return nullptr;
    return load(target, true);
}

std::unique_ptr<DvdDisc> DvdDisc::load(const fs::path &target, bool shared)
{
    if (target.empty())
        return nullptr;
    static const dvd_logger_cb logger = {discardLog};
    dvd_reader_t *raw = nullptr;
    if (shared) {
        std::lock_guard<std::mutex> lock(openMutex());
        raw = DVDOpen2(nullptr, &logger, target.c_str());
    } else {
        raw = DVDOpen2(nullptr, &logger, target.c_str());
    }
    if (!raw)
        return nullptr;
    std::unique_ptr<DvdDisc> disc(new DvdDisc(std::shared_ptr<dvd_reader_s>(raw, DVDClose)));
    if (!disc->readTitles())
        return nullptr;
    return disc;
}

// libdvdread's UDF reader can crash on a damaged image, so an image is first read in a child process:
// only when the child gets through does this process read it. No other thread is inside libdvdread's
// open (and its dlopen) at the fork; the child, alone with its one thread, takes no lock, and a hang
// ends with its alarm.
bool DvdDisc::loadsInChild(const fs::path &image)
{
    std::lock_guard<std::mutex> lock(openMutex());
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM})
            std::signal(signal, SIG_DFL);
        alarm(kChildSeconds);
        _exit(load(image, false) ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool DvdDisc::readTitles()
{
    std::map<int, std::optional<DvdIfo>> titleSets;
    for (const DvdIfo::TitleEntry &entry : DvdIfo::readTitles(m_reader.get())) {
        auto found = titleSets.find(entry.titleSet);
        if (found == titleSets.end())
            found = titleSets.emplace(entry.titleSet, DvdIfo::readTitleSet(m_reader.get(), entry.titleSet)).first;
        DvdTitle title;
        title.titleSet = entry.titleSet;
        if (found->second && readTitle(*found->second, entry.titleNumber, title) && titlePlayable(m_reader.get(), title))
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
