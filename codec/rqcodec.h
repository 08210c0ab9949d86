#ifndef RQCODEC_H
#define RQCODEC_H

// The codec library: decoding, playing and probing media through a C interface.
// Handles are opaque 64-bit values (0: none); times are unsigned 64-bit microseconds;
// strings are UTF-8; a success result is a non-zero int.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Global set-up ---- */

/* ---- Player ---- */

/* ---- Picture, sound and subtitle processing ---- */

/* ---- Probe ---- */

/* A probe describes a file or a disc on a handle of its own, beside any player. Texts it returns
   are null when there is none and stay valid until the next open or close on the same handle.
   On a disc the programs are its titles followed by six entries that are not titles. Before a
   program is selected, the duration is the whole medium's and the streams are the first program's. */
uint64_t codecCreateProbe(int reserved);
int codecProbeOpenFile(uint64_t probe, const char *path);
int codecProbeOpenDisc(uint64_t probe, const char *path);
void codecCloseProbe(uint64_t probe);
void codecDestroyProbe(uint64_t probe);

uint64_t codecProbeGetDuration(uint64_t probe);
const char *codecProbeGetFormatName(uint64_t probe);
const char *codecProbeGetTag(uint64_t probe, const char *key);

int codecProbeGetProgramCount(uint64_t probe);
int codecProbeSelectProgram(uint64_t probe, int index);
const char *codecProbeGetProgramName(uint64_t probe);
int codecProbeHasVideo(uint64_t probe);
int codecProbeHasAudio(uint64_t probe);

int codecProbeGetVideoStreamCount(uint64_t probe);
int codecProbeSelectVideoStream(uint64_t probe, int index);
const char *codecProbeGetVideoTitle(uint64_t probe);
const char *codecProbeGetVideoCodec(uint64_t probe);
const char *codecProbeGetVideoLanguage(uint64_t probe);
int codecProbeGetVideoWidth(uint64_t probe);
int codecProbeGetVideoHeight(uint64_t probe);
int codecProbeGetVideoBitRate(uint64_t probe);
int codecProbeGetVideoAspectNum(uint64_t probe);
int codecProbeGetVideoAspectDen(uint64_t probe);
int codecProbeGetVideoFrameRateNum(uint64_t probe);
int codecProbeGetVideoFrameRateDen(uint64_t probe);
uint64_t codecProbeGetVideoDuration(uint64_t probe);

int codecProbeGetAudioStreamCount(uint64_t probe);
int codecProbeSelectAudioStream(uint64_t probe, int index);
const char *codecProbeGetAudioTitle(uint64_t probe);
const char *codecProbeGetAudioCodec(uint64_t probe);
const char *codecProbeGetAudioLanguage(uint64_t probe);
int codecProbeGetAudioSampleRate(uint64_t probe);
int codecProbeGetAudioChannels(uint64_t probe);
uint64_t codecProbeGetAudioChannelLayout(uint64_t probe);
int codecProbeGetAudioBitRate(uint64_t probe);
int codecProbeGetAudioBitDepth(uint64_t probe);
uint64_t codecProbeGetAudioDuration(uint64_t probe);

int codecProbeGetSubtitleStreamCount(uint64_t probe);
int codecProbeSelectSubtitleStream(uint64_t probe, int index);
const char *codecProbeGetSubtitleTitle(uint64_t probe);
const char *codecProbeGetSubtitleCodec(uint64_t probe);
const char *codecProbeGetSubtitleLanguage(uint64_t probe);
uint64_t codecProbeGetSubtitleDuration(uint64_t probe);

/* Chapters of the selected program, from its start. */
int codecProbeGetChapterCount(uint64_t probe);
uint64_t codecProbeGetChapterStart(uint64_t probe, int index);
uint64_t codecProbeGetChapterDuration(uint64_t probe, int index);
const char *codecProbeGetChapterTitle(uint64_t probe, int index);

#ifdef __cplusplus
}
#endif

#endif
