#include "codec/dvdifo.h"

extern "C" {
#include <dvdread/dvd_reader.h>
}

#include <algorithm>
#include <cstring>
#include <memory>

namespace rq {

namespace {

constexpr size_t kSector = DVD_VIDEO_LB_LEN;
constexpr ssize_t kMaxIfoBlocks = 4096;   // 8 MiB, far above any real IFO

// Bounds-checked big-endian reads over one IFO file in memory; any read past the end marks it bad.
class Bytes {
public:
    explicit Bytes(std::vector<uint8_t> data)
        : m_data(std::move(data))
    {
    }
    bool ok() const { return m_ok; }
    size_t size() const { return m_data.size(); }
    bool has(size_t offset, size_t length)
    {
        if (offset > m_data.size() || length > m_data.size() - offset)
            m_ok = false;
        return m_ok;
    }
    template <size_t N>
    std::array<uint8_t, N> array(size_t offset)
    {
        std::array<uint8_t, N> bytes{};
        if (has(offset, N))
            std::memcpy(bytes.data(), m_data.data() + offset, N);
        return bytes;
    }
    uint8_t u8(size_t offset) { return has(offset, 1) ? m_data[offset] : 0; }
    uint16_t u16(size_t offset) { return has(offset, 2) ? uint16_t(m_data[offset] << 8 | m_data[offset + 1]) : 0; }
    uint32_t u32(size_t offset) { return has(offset, 4) ? uint32_t(u16(offset)) << 16 | u16(offset + 2) : 0; }

private:
    std::vector<uint8_t> m_data;
    bool m_ok = true;
};

std::optional<Bytes> readFile(dvd_reader_t *reader, int titleSet, dvd_read_domain_t domain, const char *identifier)
{
    const std::unique_ptr<dvd_file_t, void (*)(dvd_file_t *)> file(DVDOpenFile(reader, titleSet, domain), DVDCloseFile);
    if (!file)
        return std::nullopt;
    const ssize_t blocks = DVDFileSize(file.get());
    if (blocks <= 0 || blocks > kMaxIfoBlocks)
        return std::nullopt;
    std::vector<uint8_t> data(size_t(blocks) * kSector);
    if (DVDReadBytes(file.get(), data.data(), data.size()) != ssize_t(data.size()))
        return std::nullopt;
    if (std::memcmp(data.data(), identifier, 12) != 0)
        return std::nullopt;
    return Bytes(std::move(data));
}

std::vector<DvdIfo::TitleEntry> parseTitles(Bytes &ifo)
{
    const size_t table = size_t(ifo.u32(0xc4)) * kSector;
    const int count = ifo.u16(table);
    std::vector<DvdIfo::TitleEntry> titles;
    for (int i = 0; i < count && ifo.has(table + 8 + size_t(i) * 12, 12); ++i) {
        const size_t entry = table + 8 + size_t(i) * 12;
        titles.push_back(DvdIfo::TitleEntry{ifo.u8(entry + 6), ifo.u8(entry + 7)});
    }
    return ifo.ok() ? titles : std::vector<DvdIfo::TitleEntry>();
}

std::optional<DvdIfo::Chain> parseChain(Bytes &ifo, size_t pgc)
{
    DvdIfo::Chain chain;
    const int programs = ifo.u8(pgc + 2);
    const int cells = ifo.u8(pgc + 3);
    chain.duration = dvdTimeMicros(ifo.array<4>(pgc + 4).data());
    for (int i = 0; i < 8; ++i)
        chain.audioControl[size_t(i)] = ifo.u16(pgc + 0x0c + size_t(i) * 2);
    for (int i = 0; i < 32; ++i)
        chain.subpictureControl[size_t(i)] = ifo.u32(pgc + 0x1c + size_t(i) * 4);
    const size_t programMap = pgc + ifo.u16(pgc + 0xe6);
    const size_t cellTable = pgc + ifo.u16(pgc + 0xe8);
    for (int i = 0; i < programs; ++i)
        chain.programs.push_back(ifo.u8(programMap + size_t(i)));
    for (int i = 0; i < cells; ++i) {
        const size_t cell = cellTable + size_t(i) * 24;
        DvdIfo::Cell info;
        info.blockMode = ifo.u8(cell) >> 6;
        info.blockType = (ifo.u8(cell) >> 4) & 3;
        info.duration = dvdTimeMicros(ifo.array<4>(cell + 4).data());
        info.first = ifo.u32(cell + 8);
        info.last = ifo.u32(cell + 20);
        chain.cells.push_back(info);
    }
    if (!ifo.ok())
        return std::nullopt;
    return chain;
}

bool parseTitleSet(Bytes &ifo, DvdIfo &set)
{
    set.videoAttributes = ifo.array<2>(0x200);
    const int audio = std::min<int>(ifo.u16(0x202), 8);
    for (int i = 0; i < audio; ++i)
        set.audioAttributes.push_back(ifo.array<8>(0x204 + size_t(i) * 8));
    const int subpictures = std::min<int>(ifo.u16(0x254), 32);
    for (int i = 0; i < subpictures; ++i)
        set.subpictureAttributes.push_back(ifo.array<6>(0x256 + size_t(i) * 6));

    // Parts of title: per title an offset to its list of (chain, program) pairs.
    const size_t parts = size_t(ifo.u32(0xc8)) * kSector;
    const int titles = ifo.u16(parts);
    const size_t partsEnd = parts + size_t(ifo.u32(parts + 4)) + 1;
    for (int t = 0; t < titles && ifo.ok(); ++t) {
        const size_t begin = parts + ifo.u32(parts + 8 + size_t(t) * 4);
        const size_t end = t + 1 < titles ? parts + ifo.u32(parts + 12 + size_t(t) * 4) : std::min(partsEnd, ifo.size());
        std::vector<DvdIfo::Part> list;
        for (size_t entry = begin; entry + 4 <= end && ifo.ok(); entry += 4)
            list.push_back(DvdIfo::Part{ifo.u16(entry), ifo.u16(entry + 2)});
        set.titleParts.push_back(std::move(list));
    }

    const size_t chains = size_t(ifo.u32(0xcc)) * kSector;
    const int count = ifo.u16(chains);
    for (int c = 0; c < count && ifo.ok(); ++c) {
        std::optional<DvdIfo::Chain> chain = parseChain(ifo, chains + ifo.u32(chains + 8 + size_t(c) * 8 + 4));
        if (!chain)
            return false;
        set.chains.push_back(std::move(*chain));
    }
    return ifo.ok();
}

} // namespace

uint64_t dvdTimeMicros(const uint8_t *time)
{
    const auto bcd = [](uint8_t value) { return uint64_t((value >> 4) * 10 + (value & 0x0f)); };
    const uint64_t seconds = bcd(time[0]) * 3600 + bcd(time[1]) * 60 + bcd(time[2]);
    const uint64_t frames = bcd(time[3] & 0x3f);
    switch (time[3] >> 6) {
    case 1:
        return seconds * 1000000 + frames * 40000;
    case 3:
        return seconds * 1000000 + frames * 1001000 / 30;
    default:
        return seconds * 1000000;
    }
}

std::vector<DvdIfo::TitleEntry> DvdIfo::readTitles(dvd_reader_s *reader)
{
    for (const dvd_read_domain_t domain : {DVD_READ_INFO_FILE, DVD_READ_INFO_BACKUP_FILE}) {
        std::optional<Bytes> ifo = readFile(reader, 0, domain, "DVDVIDEO-VMG");
        if (!ifo)
            continue;
        std::vector<TitleEntry> titles = parseTitles(*ifo);
        if (!titles.empty())
            return titles;
    }
    return {};
}

std::optional<DvdIfo> DvdIfo::readTitleSet(dvd_reader_s *reader, int titleSet)
{
    if (titleSet < 1 || titleSet > 99)
        return std::nullopt;
    for (const dvd_read_domain_t domain : {DVD_READ_INFO_FILE, DVD_READ_INFO_BACKUP_FILE}) {
        std::optional<Bytes> ifo = readFile(reader, titleSet, domain, "DVDVIDEO-VTS");
        DvdIfo set;
        if (ifo && parseTitleSet(*ifo, set))
            return set;
    }
    return std::nullopt;
}

}
