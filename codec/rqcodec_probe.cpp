#include "codec/rqcodec.h"

#include "codec/handletable.h"
#include "codec/mediaprobe.h"

using rq::ChapterDescription;
using rq::MediaProbe;

namespace {

rq::HandleTable<MediaProbe> &probes()
{
    static rq::HandleTable<MediaProbe> table;
    return table;
}

template <typename Call, typename Result>
Result withProbe(uint64_t handle, Call call, Result fallback)
{
    // A failure (no memory) never leaves through the C interface.
    try {
        const std::shared_ptr<MediaProbe> probe = probes().find(handle);
        return probe ? call(*probe) : fallback;
    } catch (const std::exception &) {
        return fallback;
    }
}

} // namespace

uint64_t codecCreateProbe(int)
{
    return probes().add(std::make_shared<MediaProbe>());
}

int codecProbeOpenFile(uint64_t probe, const char *path)
{
    return withProbe(probe, [path](MediaProbe &p) { return int(p.openFile(path)); }, 0);
}

int codecProbeOpenDisc(uint64_t probe, const char *path)
{
    return withProbe(probe, [path](MediaProbe &p) { return int(p.openDisc(path)); }, 0);
}

void codecCloseProbe(uint64_t probe)
{
    withProbe(probe, [](MediaProbe &p) { p.close(); return 0; }, 0);
}

void codecDestroyProbe(uint64_t probe)
{
    probes().remove(probe);
}

uint64_t codecProbeGetDuration(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return p.duration(); }, uint64_t(0));
}

const char *codecProbeGetFormatName(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return p.formatName(); }, static_cast<const char *>(nullptr));
}

const char *codecProbeGetTag(uint64_t probe, const char *key)
{
    return withProbe(probe, [key](MediaProbe &p) { return p.tag(key); }, static_cast<const char *>(nullptr));
}

int codecProbeGetProgramCount(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return p.programCount(); }, 0);
}

int codecProbeSelectProgram(uint64_t probe, int index)
{
    return withProbe(probe, [index](MediaProbe &p) { return int(p.selectProgram(index)); }, 0);
}

const char *codecProbeGetProgramName(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return p.programName(); }, static_cast<const char *>(nullptr));
}

int codecProbeHasVideo(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return int(p.hasVideo()); }, 0);
}

int codecProbeHasAudio(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return int(p.hasAudio()); }, 0);
}

// Stream counts, selection and field readers all take these shapes.
#define ZR_PROBE_STREAMS(kind, lower)                                                                          \
    int codecProbeGet##kind##StreamCount(uint64_t probe)                                                       \
    {                                                                                                          \
        return withProbe(probe, [](MediaProbe &p) { return p.lower##StreamCount(); }, 0);                      \
    }                                                                                                          \
    int codecProbeSelect##kind##Stream(uint64_t probe, int index)                                              \
    {                                                                                                          \
        return withProbe(probe, [index](MediaProbe &p) { return int(p.select##kind##Stream(index)); }, 0);     \
    }

#define ZR_PROBE_FIELD(kind, name, type, expression, fallback)                                                 \
    type codecProbeGet##kind##name(uint64_t probe)                                                             \
    {                                                                                                          \
        return withProbe(                                                                                      \
            probe,                                                                                             \
            [](MediaProbe &p) {                                                                                \
                return p.read##kind([](const rq::kind##StreamDescription &s) -> type { return expression; },   \
                                    static_cast<type>(fallback));                                              \
            },                                                                                                 \
            static_cast<type>(fallback));                                                                      \
    }

ZR_PROBE_STREAMS(Video, video)

ZR_PROBE_FIELD(Video, Title, const char *, MediaProbe::text(s.title), nullptr)
ZR_PROBE_FIELD(Video, Codec, const char *, MediaProbe::text(s.codec), nullptr)
ZR_PROBE_FIELD(Video, Language, const char *, MediaProbe::text(s.language), nullptr)
ZR_PROBE_FIELD(Video, Width, int, s.width, 0)
ZR_PROBE_FIELD(Video, Height, int, s.height, 0)
ZR_PROBE_FIELD(Video, BitRate, int, s.bitRate, 0)
ZR_PROBE_FIELD(Video, AspectNum, int, s.aspectNum, 0)
ZR_PROBE_FIELD(Video, AspectDen, int, s.aspectDen, 0)
ZR_PROBE_FIELD(Video, FrameRateNum, int, s.frameRateNum, 0)
ZR_PROBE_FIELD(Video, FrameRateDen, int, s.frameRateDen, 0)
ZR_PROBE_FIELD(Video, Duration, uint64_t, s.duration, 0)

ZR_PROBE_STREAMS(Audio, audio)

ZR_PROBE_FIELD(Audio, Title, const char *, MediaProbe::text(s.title), nullptr)
ZR_PROBE_FIELD(Audio, Codec, const char *, MediaProbe::text(s.codec), nullptr)
ZR_PROBE_FIELD(Audio, Language, const char *, MediaProbe::text(s.language), nullptr)
ZR_PROBE_FIELD(Audio, SampleRate, int, s.sampleRate, 0)
ZR_PROBE_FIELD(Audio, Channels, int, s.channels, 0)
ZR_PROBE_FIELD(Audio, ChannelLayout, uint64_t, s.channelLayout, 0)
ZR_PROBE_FIELD(Audio, BitRate, int, s.bitRate, 0)
ZR_PROBE_FIELD(Audio, BitDepth, int, s.bitDepth, 0)
ZR_PROBE_FIELD(Audio, Duration, uint64_t, s.duration, 0)

ZR_PROBE_STREAMS(Subtitle, subtitle)

ZR_PROBE_FIELD(Subtitle, Title, const char *, MediaProbe::text(s.title), nullptr)
ZR_PROBE_FIELD(Subtitle, Codec, const char *, MediaProbe::text(s.codec), nullptr)
ZR_PROBE_FIELD(Subtitle, Language, const char *, MediaProbe::text(s.language), nullptr)
ZR_PROBE_FIELD(Subtitle, Duration, uint64_t, s.duration, 0)

#undef ZR_PROBE_FIELD
#undef ZR_PROBE_STREAMS

int codecProbeGetChapterCount(uint64_t probe)
{
    return withProbe(probe, [](MediaProbe &p) { return p.chapterCount(); }, 0);
}

uint64_t codecProbeGetChapterStart(uint64_t probe, int index)
{
    return withProbe(
        probe, [index](MediaProbe &p) { return p.readChapter(index, [](const ChapterDescription &c) { return c.start; }, uint64_t(0)); },
        uint64_t(0));
}

uint64_t codecProbeGetChapterDuration(uint64_t probe, int index)
{
    return withProbe(
        probe, [index](MediaProbe &p) { return p.readChapter(index, [](const ChapterDescription &c) { return c.duration; }, uint64_t(0)); },
        uint64_t(0));
}

const char *codecProbeGetChapterTitle(uint64_t probe, int index)
{
    return withProbe(
        probe,
        [index](MediaProbe &p) {
            return p.readChapter(index, [](const ChapterDescription &c) { return MediaProbe::text(c.title); },
                                 static_cast<const char *>(nullptr));
        },
        static_cast<const char *>(nullptr));
}
