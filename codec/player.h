#ifndef RQ_PLAYER_H
#define RQ_PLAYER_H

#include "codec/audiodecoder.h"
#include "codec/audiooutput.h"
#include "codec/callbackslot.h"
#include "codec/demuxer.h"
#include "codec/dvddisc.h"
#include "codec/lastframe.h"
#include "codec/mediainput.h"
#include "codec/pictureprocessor.h"
#include "codec/spectrumanalyser.h"
#include "codec/subtitledecoder.h"
#include "codec/subtitlescanner.h"
#include "codec/syncstate.h"
#include "codec/videodecoder.h"
#include "codec/videopresenter.h"
#include "codec/wakesignal.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace rq {

// One player of the C interface: opens a medium and runs its pipeline (reader, a decoder per stream, the
// picture presenter and the audio device), and carries out play, pause, seek and step on it. Operations
// that change what plays are serialised by one lock, which none holds while it waits for a picture; queries
// read atomics and never wait for it. Called from inside a frame callback, such an operation fails instead
// of waiting while another one runs, and those that stop threads (open, close, program and track changes)
// fail there always.
class Player
{
public:
    Player();
    ~Player();
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    bool open(MediaSource source);
    // A DVD folder or image; its titles are then the programs, the first one open.
    bool openDisc(const std::string &path);
    void close();
    bool selectProgram(int index);
    bool selectAudioTrack(int index);

    void setLateness(int64_t micros);
    void setVolume(int percent);
    void setAudioDevice(const std::string &name);
    void setFrameCallback(CodecFrameCallback callback, void *context);

    // Picture settings, kept from one medium to the next; after a change, redraw() shows the paused picture
    // with it.
    PictureProcessor &picture() { return m_picture; }
    void redraw();
    // 0 off, 1 pictures marked interlaced, 2 all; a paused picture is decoded again with the new mode.
    void setDeinterlace(int mode);
    // Equaliser and the pitch of the sound, kept from one medium to the next.
    AudioProcessor &sound() { return m_sound; }
    // Percent, 20..800; the clock runs at that speed.
    void setPlaybackSpeed(int percent);
    void setAudioDelay(int64_t micros);

    // One subtitle source at a time: an embedded stream (index among the program's subtitle streams, negative:
    // none), the captions of the video, or a file. Each replaces the others; the source already shown is kept
    // as it is, without starting anything over.
    bool selectSubtitleStream(int index);
    bool selectVideoCaptions(bool on);
    bool openSubtitleFile(const std::string &path);
    // The style, kept from one medium to the next; after it is applied, redraw() shows it.
    SubtitleRenderer &subtitles() { return m_subtitles; }

    bool seek(uint64_t micros);
    bool beginAsyncSeek();
    bool endAsyncSeek();
    bool play();
    bool pause();
    // Waits for its picture without the operation lock; a seek or a close meanwhile makes it fail at once.
    bool stepFrame(int direction);
    void tick();

    bool isOpen() const { return m_open; }
    bool isPlaying() const;
    bool isPaused() const;
    bool isEndReached() const;
    bool hasVideo() const { return m_open && m_hasVideo; }
    bool hasAudio() const { return m_open && m_hasAudio; }
    uint64_t duration() const { return m_open ? m_duration.load() : 0; }
    uint64_t currentTime() const;
    int videoWidth() const { return hasVideo() ? m_width.load() : 0; }
    int videoHeight() const { return hasVideo() ? m_height.load() : 0; }
    unsigned aspectNum() const { return hasVideo() ? m_aspectNum.load() : 0; }
    unsigned aspectDen() const { return hasVideo() ? m_aspectDen.load() : 0; }

    // Pictures of the medium open (or last open) shown, shown again and dropped late; any pointer may be null.
    void frameCounts(int64_t *shown, int64_t *repeated, int64_t *dropped) const;

    unsigned char *snapshot(int width, int height);
    unsigned char *audioBlock(int kind);

private:
    std::unique_lock<std::mutex> lockOperations(bool stopsThreads = false);
    bool openLocked(MediaSource source);
    bool startPipeline(double position, bool paused, bool seekFirst);
    void stopPipeline();
    void closeLocked();
    // Stops the pipeline, runs change and starts again where it was, playing or paused.
    bool restartWith(const std::function<bool()> &change);
    // A backward step's seek keeps the step cache and fills it; `first`, if any, is shown before what the
    // decoder brings.
    void seekLocked(double target, bool exact, bool stepBack = false, FrameQueue::Entry *first = nullptr);
    void setPausedLocked(bool paused);
    // Lets the picture queue fill before the clock runs, so that the pictures after a start or a seek come
    // on time: decoding, warming up, falls behind at first.
    void prerollLocked();
    void wakePresenter();
    // Presents the paused picture again when subtitles from..to seconds (to < 0: open-ended) cover it.
    void redrawIfShown(double from, double to);

    std::mutex m_api;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_abort{false};
    SyncState m_sync;
    CallbackSlot m_callback;
    LastFrame m_last;
    PictureProcessor m_picture;
    AudioProcessor m_sound;
    SubtitleRenderer m_subtitles;
    bool m_captions = false;
    // The subtitle file shown, empty when the source is another one.
    std::string m_subtitleFile;
    // The embedded stream shown and its source in the renderer, kept while the pipeline starts again with
    // another audio track; and what reads its lines before a seek target.
    int m_shownStream = -1;
    int m_shownSource = 0;
    std::unique_ptr<SubtitleScanner> m_scanner;
    bool m_deinterlaceChosen = false;
    SpectrumAnalyser m_spectrum;
    std::string m_audioDevice;

    // Outlives the decoders that fill it.
    StepCache m_stepCache;
    std::unique_ptr<MediaInput> m_input;
    std::shared_ptr<DvdDisc> m_disc;
    // Outlives the queues that notify it.
    WakeSignal m_readerWake;
    std::unique_ptr<PacketQueue> m_videoPackets;
    std::unique_ptr<PacketQueue> m_audioPackets;
    std::unique_ptr<FrameQueue> m_videoFrames;
    std::unique_ptr<FrameQueue> m_audioFrames;
    std::unique_ptr<Demuxer> m_demuxer;
    std::unique_ptr<VideoDecoder> m_videoDecoder;
    std::unique_ptr<AudioDecoder> m_audioDecoder;
    std::unique_ptr<SubtitleDecoder> m_subtitleDecoder;
    std::unique_ptr<SubtitleDecoder> m_captionDecoder;
    std::unique_ptr<AudioOutput> m_audio;
    // Guards the presenter pointer for callers that must not take the operation lock.
    std::mutex m_presenterMutex;
    // Shared with a step waiting for its picture, which stopPipeline() lets go before the queues go.
    std::shared_ptr<VideoPresenter> m_presenter;

    std::atomic<bool> m_hasVideo{false};
    std::atomic<bool> m_hasAudio{false};
    std::atomic<uint64_t> m_duration{0};
    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
    std::atomic<unsigned> m_aspectNum{0};
    std::atomic<unsigned> m_aspectDen{0};
    double m_frameDuration = 0.04;
    bool m_stepped = false;
    // A seek while playing holds the clock until pictures are queued; the player still counts as playing.
    std::atomic<bool> m_seekingOnPlay{false};
    bool m_dragging = false;
    bool m_dragWasPlaying = false;
    bool m_dragMoved = false;
    double m_dragTarget = 0;
};

}

#endif
