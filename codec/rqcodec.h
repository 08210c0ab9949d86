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

/* Process-wide options; they may be set before or after players exist and apply to media opened later.
 * 1: decoder threads (0 one thread, 1 as many as the machine has, n > 1 that many; default 1).
 * 3: deinterlacing mode of players opening media later (0 off, 1 pictures marked interlaced, 2 all).
 * 7: how much media, in microseconds, the demuxer reads ahead of playback (default 2000000). */
void codecSetGlobalOption(int option, int64_t value);
/* Quiets FFmpeg's own log when flags is non-zero; answers 1. */
int codecGlobalInit(int flags);
/* Folder for the library's own files (UTF-8). */
void codecSetWorkDirectory(const char *path);
/* Frame formats the callback accepts, by preference: 0 (planar YUV 4:2:0) and/or 30 (packed BGRA).
 * Decoded pictures in another format are converted to the first that fits. Default {0, 30}. */
void codecSetGlobalIntList(const int *values, int count);

/* ---- Player ---- */

/* Called on a library thread at each picture's presentation time; the frame is valid only during the call.
 * The result is not looked at. */
typedef int (*CodecFrameCallback)(void *context, void *frame);

/* flags: reserved, pass -1 or 0. Answers 0 when the player cannot be made. */
uint64_t codecCreatePlayer(int flags);
/* Ends the medium; also fine with none open. After it returns no callback runs and every query answers 0.
 * From inside a frame callback it does nothing: the thread running the callback cannot stop itself. */
void codecClosePlayer(uint64_t player);
/* Closes the player and frees it; the handle is gone at once. Called from inside that player's own frame
 * callback it is safe too: it returns at once, no further callback runs, and the player is closed and freed
 * on a library thread once the callback has returned. */
void codecDestroyPlayer(uint64_t player);

/* Opens a file and leaves it paused at its start, the first picture presented. flags, options and the two
 * pointers are reserved (pass 0). Answers 0, with the player closed and usable, when nothing can be played.
 * Sound above 192 kHz is resampled down to it; sound declaring a rate above 768 kHz is not played. Full-range
 * YUV pictures reach the callback in limited range, and one stream keeps one frame format.
 * Disc titles are opened through the same path with a custom AVIOContext (see codec/mediasource.h). */
int codecOpenFile(uint64_t player, const char *path, unsigned int flags, unsigned int options,
                  void *reserved0, void *reserved1);
/* Opens a DVD folder or disc image as codecOpenFile opens a file, with its first title; its titles are then
 * the programs. Answers 0, with the player closed and usable, for anything that is no readable disc. */
int codecOpenDisc(uint64_t player, const char *path, unsigned int flags, unsigned int options,
                  void *reserved0, void *reserved1);
/* Plays the program (MPEG-TS program, disc title) of that index, from its start; 0 for an ordinary file. */
int codecSelectProgram(uint64_t player, int index);
/* How late, in microseconds, a picture may be before it is dropped (default 50000). */
void codecSetPlayerParameter(uint64_t player, int64_t lateness);
/* 0 to 200 percent; above 100 amplifies with clipping. */
void codecSetVolume(uint64_t player, int percent);
/* Exact seek, clamped to the medium; the picture at the target is presented also while paused.
 * Between codecBeginAsyncSeek and codecEndAsyncSeek it returns at once and shows the keyframe before the
 * latest target, silently; the end makes one exact seek and restores play or pause. interval is reserved. */
int codecSeek(uint64_t player, uint64_t time);
int codecBeginAsyncSeek(uint64_t player, uint64_t interval);
int codecEndAsyncSeek(uint64_t player);
/* Replaces the callback; after it returns the old one no longer runs. While paused the current picture is
 * presented again to the new callback. */
void codecSetFrameCallback(uint64_t player, CodecFrameCallback callback, void *context);
/* Pictures shown, shown again and dropped late by the player; any pointer may be null. */
void codecGetFrameCounts(uint64_t player, int64_t *shown, int64_t *repeated, int64_t *dropped);
int codecFrameGetFormat(void *frame);
int codecFrameGetWidth(void *frame);
int codecFrameGetHeight(void *frame);
int codecFrameGetLineSize(void *frame, int plane);
unsigned char *codecFrameGetPlane(void *frame, int plane);

int codecPlay(uint64_t player);
int codecPause(uint64_t player);
int codecIsPlaying(uint64_t player);
int codecIsPaused(uint64_t player);
/* Set once the last picture and the last sample have been presented; cleared by the next open or seek. */
int codecIsEndReached(uint64_t player);
int codecHasVideo(uint64_t player);
int codecHasAudio(uint64_t player);
/* Microseconds; 0 when unknown. The current time is clamped to 0..duration. */
uint64_t codecGetDuration(uint64_t player);
uint64_t codecGetCurrentTime(uint64_t player);
/* Synchronous: 1 presents the next picture, -1 the previous one; the medium stays paused. Other calls on the
 * player do not wait for it; a seek or a close while it waits makes it answer 0 at once, and so does the end
 * of the medium. */
int codecStepFrame(uint64_t player, int direction);
/* Housekeeping, every 50 ms or so from any thread; never blocks. */
void codecPlayerTick(uint64_t player);
int codecGetVideoWidth(uint64_t player);
int codecGetVideoHeight(uint64_t player);
/* The source's display aspect, reduced; 0 and 0 when unknown. */
unsigned int codecGetDisplayAspectNum(uint64_t player);
unsigned int codecGetDisplayAspectDen(uint64_t player);
/* A 24-bit BMP file in memory ("BM", 32-bit little-endian file length at byte 2) of the last presented picture
 * at width x height (0 x 0: the source height at its display aspect); null when none was presented. */
unsigned char *codecCaptureSnapshot(uint64_t player, int width, int height, int flags);
void codecFreeSnapshot(uint64_t player, unsigned char *block);
/* Spectrum of the latest audio (kind 1). Block: "RQAB" at byte 0, the time in microseconds of its last sample
 * (64-bit) at byte 8, the number of bins (32-bit) at byte 16, the sample rate (64-bit) at byte 24, the payload
 * length in bytes (32-bit) at byte 40 and, from byte 44, unsigned 16-bit magnitudes from 0 Hz up to half the
 * sample rate (bin k at k * rate / 2 / bins), on a decibel scale: 0 is silence (-80 dB or less), 65535 a
 * full-scale sine. All values in host byte order. Null without audio. */
unsigned char *codecGetAudioBuffer(uint64_t player, int kind);
void codecReleaseAudioBuffer(uint64_t player, unsigned char *block);
/* Index among the audio streams of the current program, in stream order. */
int codecSelectAudioTrack(uint64_t player, int index);
/* SDL output device name (UTF-8) for media opened later; null or empty: the default device. Without a device
 * (ZR_AUDIO=null in the environment, or none opens) each player's sound goes to a silent output of its own
 * that takes it in real time. */
int codecSetAudioDevice(uint64_t player, const char *name);

/* ---- Picture, sound and subtitle processing ---- */

/* Every setting applies at once, while playing and while paused (the paused picture is shown again with it),
 * and is kept for media opened later. */

/* Aspect the picture is scaled to after cropping, before turning: its height stays and its width follows.
 * 0 and 0: the picture keeps its own size. */
void codecSetOutputAspect(uint64_t player, unsigned int num, unsigned int den);
/* The part of the source shown, as fractions of its width and height; sizes are kept even. */
void codecSetCropRect(uint64_t player, double x, double y, double width, double height);
/* Degrees anticlockwise: 0, 90, 180 or 270 (others round to the nearest quarter turn). */
void codecSetRotation(uint64_t player, int degree);
/* Non-zero mirrors the turned picture left to right. */
void codecSetFlip(uint64_t player, int mirror);
/* -255..255, neutral 0. */
void codecSetBrightness(uint64_t player, int brightness);
/* Percent, 0..300, neutral 100. */
void codecSetContrast(uint64_t player, int contrast);
/* Percent, 0..200, neutral 100. */
void codecSetSaturation(uint64_t player, int saturation);
/* Degrees, -180..180, neutral 0. */
void codecSetHue(uint64_t player, int hue);
/* 0 off, 1 only pictures marked interlaced, 2 every picture. Until it is called, a player takes the global
 * option 3 at each open. */
void codecSetDeinterlace(uint64_t player, int mode);
/* Microseconds the sound is heard after the picture it belongs to; negative: before. */
void codecSetAudioDelay(uint64_t player, int64_t delay);
/* Percent, 20..800: pictures and sound play that much faster, the sound at its own pitch. */
void codecSetPlaybackSpeed(uint64_t player, unsigned int percent);
/* The pitch as percent x 100 / speed, sent after the speed: 10000 / speed keeps the pitch, 0 always keeps it. */
void codecSetAudioRatePercent(uint64_t player, unsigned int percent);
/* Peaking bands at the frequencies (Hz) with the gains (dB), lowered together as far as the loudest point of
 * the curve rises above 0 dB. The arrays are copied; no bands: flat. */
void codecSetEqualizer(uint64_t player, const double *frequencies, const double *gains, int count);

/* Subtitles are drawn into the pictures before the callback, from one source at a time; each of the next
 * three calls replaces the source before it, and the next open drops it. Asking for the source already shown
 * (the same stream, the captions again, the same path) keeps it as it is and answers 1. Answer 1 on success. */
/* Index among the subtitle streams of the current program; negative: no subtitles. */
int codecSelectSubtitleStream(uint64_t player, int index);
/* Non-zero shows the EIA-608 closed captions carried in the video stream. */
int codecSelectVideoCaptions(uint64_t player, int enable);
/* ASS, SSA, SubRip, WebVTT, VobSub (.idx, or .sub beside its .idx), MicroDVD, SAMI, PGS (.sup), LRC and the
 * other formats FFmpeg reads. Text in UTF-8, in UTF-16 with a byte order mark, or in a legacy encoding that
 * uchardet recognises (Windows-1252, Latin-1, Windows-1251, GBK...) is read. A file that does not parse, has no
 * events or has text that no encoding explains answers 0 and leaves no subtitles. */
int codecOpenSubtitleFile(uint64_t player, const char *path);

/* The style of text subtitles: the setters between Begin and Apply change a copy of the style in use, which
 * Apply puts in use, also for lines already on screen. Formats with a look of their own (ASS, SSA) keep it and
 * follow only the scale; the opacity and the delay apply to every source. Text is held to what a screen can
 * show (no glyph larger than the picture, 2000 characters a line), and text whose layout keeps taking longer
 * than its picture's time is left out while those lines show. */
void codecBeginSubtitleStyle(uint64_t player);
/* Opacity 0 (transparent) .. 255. */
void codecSetSubtitleAlpha(uint64_t player, int alpha);
/* Percent of the normal size, across and down. */
void codecSetSubtitleScale(uint64_t player, int scaleX, int scaleY);
/* Microseconds the subtitles show later; negative: earlier. */
void codecSetSubtitleDelay(uint64_t player, int64_t delay);
/* UTF-8 family name; null or empty: the default sans-serif font. */
void codecSetSubtitleFontName(uint64_t player, const char *name);
void codecSetSubtitleBold(uint64_t player, int bold);
void codecSetSubtitleItalic(uint64_t player, int italic);
void codecSetSubtitleUnderline(uint64_t player, int underline);
void codecSetSubtitleStrikeOut(uint64_t player, int strikeOut);
/* Size on a picture 288 units high. */
void codecSetSubtitleFontSize(uint64_t player, double size);
/* Colours as 0xAARRGGBB. */
void codecSetSubtitleFontColour(uint64_t player, uint32_t colour);
void codecSetSubtitleShadowColour(uint64_t player, uint32_t colour);
void codecSetSubtitleOutlineColour(uint64_t player, uint32_t colour);
/* In the same units as the size. */
void codecSetSubtitleShadowOffset(uint64_t player, double offset);
void codecSetSubtitleOutlineSize(uint64_t player, double size);
/* 0 bottom, 16 top, 32 middle. */
void codecSetSubtitlePosition(uint64_t player, int position);
/* Extra space between letters, and between lines in pixels. */
void codecSetSubtitleSpacingH(uint64_t player, double spacing);
void codecSetSubtitleSpacingV(uint64_t player, double spacing);
/* Fractions of the picture width (left and right) and height (from the edge the text sits at). */
void codecSetSubtitleMarginX(uint64_t player, double margin);
void codecSetSubtitleMarginY(uint64_t player, double margin);
/* Extra 1: edge blur; extra 2: text angle in degrees. */
void codecSetSubtitleExtra1(uint64_t player, double value);
void codecSetSubtitleExtra2(uint64_t player, double value);
void codecApplySubtitleStyle(uint64_t player);

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
