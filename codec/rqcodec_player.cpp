// The C entry points of the player: thin forwarders to rq::Player through the handle table.
#include "codec/rqcodec.h"

#include "codec/codecframe.h"
#include "codec/playercloser.h"
#include "codec/playerhandles.h"

#include <new>

using rq::Player;
using rq::withPlayer;

rq::HandleTable<Player> &rq::playerHandles()
{
    static rq::HandleTable<Player> table;
    return table;
}

namespace {

int flag(bool value)
{
    return value ? 1 : 0;
}

const rq::CodecFrame *frameOf(void *frame)
{
    return static_cast<const rq::CodecFrame *>(frame);
}

bool validPlane(void *frame, int plane)
{
    return frame && plane >= 0 && plane < 4;
}

}

uint64_t codecCreatePlayer(int)
{
    std::shared_ptr<Player> player(new (std::nothrow) Player);
    return player ? rq::playerHandles().add(std::move(player)) : 0;
}

void codecClosePlayer(uint64_t player)
{
    withPlayer(player, 0, [](Player &p) { p.close(); return 0; });
}

void codecDestroyPlayer(uint64_t player)
{
    std::shared_ptr<Player> removed = rq::playerHandles().remove(player);
    if (!removed)
        return;
    if (rq::CallbackSlot::insideCallback()) {
        // The callback running now is the last one; its thread cannot stop itself, another one closes.
        removed->setFrameCallback(nullptr, nullptr);
        rq::PlayerCloser::instance().closeLater(std::move(removed));
        return;
    }
    removed->close();
}

int codecOpenFile(uint64_t player, const char *path, unsigned int, unsigned int, void *, void *)
{
    if (!path)
        return 0;
    return withPlayer(player, 0, [&](Player &p) { return flag(p.open(rq::MediaSource::fromPath(path))); });
}

int codecOpenDisc(uint64_t player, const char *path, unsigned int, unsigned int, void *, void *)
{
    return path ? withPlayer(player, 0, [path](Player &p) { return flag(p.openDisc(path)); }) : 0;
}

int codecSelectProgram(uint64_t player, int index)
{
    return withPlayer(player, 0, [&](Player &p) { return flag(p.selectProgram(index)); });
}

void codecSetPlayerParameter(uint64_t player, int64_t lateness)
{
    withPlayer(player, 0, [&](Player &p) { p.setLateness(lateness); return 0; });
}

void codecSetVolume(uint64_t player, int percent)
{
    withPlayer(player, 0, [&](Player &p) { p.setVolume(percent); return 0; });
}

int codecSeek(uint64_t player, uint64_t time)
{
    return withPlayer(player, 0, [&](Player &p) { return flag(p.seek(time)); });
}

int codecBeginAsyncSeek(uint64_t player, uint64_t)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.beginAsyncSeek()); });
}

int codecEndAsyncSeek(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.endAsyncSeek()); });
}

void codecSetFrameCallback(uint64_t player, CodecFrameCallback callback, void *context)
{
    withPlayer(player, 0, [&](Player &p) { p.setFrameCallback(callback, context); return 0; });
}

// The player keeps no picture counts yet.
void codecGetFrameCounts(uint64_t, int64_t *shown, int64_t *repeated, int64_t *dropped)
{
    for (int64_t *count : {shown, repeated, dropped}) {
        if (count)
            *count = 0;
    }
}

int codecFrameGetFormat(void *frame)
{
    return frame ? frameOf(frame)->format : 0;
}

int codecFrameGetWidth(void *frame)
{
    return frame ? frameOf(frame)->width : 0;
}

int codecFrameGetHeight(void *frame)
{
    return frame ? frameOf(frame)->height : 0;
}

int codecFrameGetLineSize(void *frame, int plane)
{
    return validPlane(frame, plane) ? frameOf(frame)->lineSizes[plane] : 0;
}

unsigned char *codecFrameGetPlane(void *frame, int plane)
{
    return validPlane(frame, plane) ? frameOf(frame)->planes[plane] : nullptr;
}

int codecPlay(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.play()); });
}

int codecPause(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.pause()); });
}

int codecIsPlaying(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.isPlaying()); });
}

int codecIsPaused(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.isPaused()); });
}

int codecIsEndReached(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.isEndReached()); });
}

int codecHasVideo(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.hasVideo()); });
}

int codecHasAudio(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return flag(p.hasAudio()); });
}

uint64_t codecGetDuration(uint64_t player)
{
    return withPlayer(player, uint64_t(0), [](Player &p) { return p.duration(); });
}

uint64_t codecGetCurrentTime(uint64_t player)
{
    return withPlayer(player, uint64_t(0), [](Player &p) { return p.currentTime(); });
}

int codecStepFrame(uint64_t player, int direction)
{
    return withPlayer(player, 0, [&](Player &p) { return flag(p.stepFrame(direction)); });
}

void codecPlayerTick(uint64_t player)
{
    withPlayer(player, 0, [](Player &p) { p.tick(); return 0; });
}

int codecGetVideoWidth(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return p.videoWidth(); });
}

int codecGetVideoHeight(uint64_t player)
{
    return withPlayer(player, 0, [](Player &p) { return p.videoHeight(); });
}

unsigned int codecGetDisplayAspectNum(uint64_t player)
{
    return withPlayer(player, 0u, [](Player &p) { return p.aspectNum(); });
}

unsigned int codecGetDisplayAspectDen(uint64_t player)
{
    return withPlayer(player, 0u, [](Player &p) { return p.aspectDen(); });
}

unsigned char *codecCaptureSnapshot(uint64_t player, int width, int height, int)
{
    return withPlayer(player, static_cast<unsigned char *>(nullptr), [&](Player &p) { return p.snapshot(width, height); });
}

void codecFreeSnapshot(uint64_t, unsigned char *block)
{
    rq::LastFrame::release(block);
}

unsigned char *codecGetAudioBuffer(uint64_t player, int kind)
{
    return withPlayer(player, static_cast<unsigned char *>(nullptr), [&](Player &p) { return p.audioBlock(kind); });
}

void codecReleaseAudioBuffer(uint64_t, unsigned char *block)
{
    rq::SpectrumAnalyser::release(block);
}

int codecSelectAudioTrack(uint64_t player, int index)
{
    return withPlayer(player, 0, [&](Player &p) { return flag(p.selectAudioTrack(index)); });
}

int codecSetAudioDevice(uint64_t player, const char *name)
{
    return withPlayer(player, 0, [&](Player &p) {
        p.setAudioDevice(name ? name : "");
        return 1;
    });
}
