#ifndef RQ_AUDIOOUTPUT_H
#define RQ_AUDIOOUTPUT_H

#include "codec/framequeue.h"
#include "codec/silentsink.h"
#include "codec/spectrumanalyser.h"
#include "codec/syncstate.h"

#include <SDL2/SDL.h>

#include <functional>
#include <memory>
#include <string>

namespace rq {

// The SDL audio device of an open medium. Its callback takes converted sound from the queue, applies the
// volume, and sets the master clock to the position it plays. Without a usable device (ZR_AUDIO=null, no
// driver, no device) a silent sink of its own takes the samples instead; then the clock keeps to the wall
// clock, and the sink lets go of the sound the clock has passed.
class AudioOutput
{
public:
    AudioOutput(FrameQueue &chunks, SyncState &sync, SpectrumAnalyser &spectrum);
    ~AudioOutput();
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    bool open(int rate, const std::string &device);
    void close();
    void setPaused(bool paused);
    // Runs f while the callback cannot run.
    void locked(const std::function<void()> &f);
    // Goes on with the default device, or silently, when the device went away.
    void checkDevice();

private:
    static void callback(void *self, Uint8 *stream, int length);
    void fill(uint8_t *stream, int length);
    bool openDevice(const char *name);
    void openSilently();
    // Samples in one buffer: about 20 ms, so that the clock moves in steps no coarser than that.
    int bufferSamples() const { return m_rate <= 24000 ? 512 : 1024; }

    FrameQueue &m_chunks;
    SyncState &m_sync;
    SpectrumAnalyser &m_spectrum;
    SDL_AudioDeviceID m_device = 0;
    std::unique_ptr<SilentSink> m_sink;
    bool m_acquired = false;
    bool m_paused = true;
    bool m_silent = false;
    int m_rate = 0;
    double m_latency = 0;  // seconds between filling a buffer and hearing it
    // Touched by the callback only.
    FrameQueue::Entry m_current;
    bool m_hasCurrent = false;
};

}

#endif
