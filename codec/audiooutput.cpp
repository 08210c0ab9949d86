#include "codec/audiooutput.h"

#include "codec/audiodecoder.h"
#include "codec/globaloptions.h"
#include "codec/numeric.h"

#include <algorithm>
#include <cstring>

namespace rq {

namespace {
// Sound this far ahead of the silent clock moves the clock to it.
constexpr double kSilentJump = 1.0;
}

AudioOutput::AudioOutput(FrameQueue &chunks, SyncState &sync, SpectrumAnalyser &spectrum)
    : m_chunks(chunks), m_sync(sync), m_spectrum(spectrum)
{
}

AudioOutput::~AudioOutput()
{
    close();
}

bool AudioOutput::openDevice(const char *name)
{
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = m_rate;
    want.format = AUDIO_S16SYS;
    want.channels = AudioDecoder::kChannels;
    want.samples = uint16_t(bufferSamples());
    want.callback = &AudioOutput::callback;
    want.userdata = this;
    m_device = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    // SDL's dummy driver plays a buffer as soon as it is filled; a real device has about two more queued
    // ahead of it, which the clock must allow for.
    const char *driver = SDL_GetCurrentAudioDriver();
    const bool dummy = driver && std::strcmp(driver, "dummy") == 0;
    m_latency = dummy ? 0.0 : 2.0 * have.samples / std::max(1, have.freq);
    // The dummy driver's pace is its own, not real time: it takes the pace of the clock as a silent sink does.
    m_silent = dummy;
    m_sync.deviceClock = m_device != 0 && !dummy;
    return m_device != 0;
}

void AudioOutput::openSilently()
{
    m_latency = 0;
    m_silent = true;
    m_sync.deviceClock = false;
    const auto period = std::chrono::nanoseconds(int64_t(bufferSamples()) * 1000000000 / m_rate);
    m_sink = std::make_unique<SilentSink>(bufferSamples() * AudioDecoder::kBytesPerFrame, period,
                                          [this](uint8_t *stream, int length) { fill(stream, length); });
    m_sink->setPaused(m_paused);
}

bool AudioOutput::open(int rate, const std::string &device)
{
    close();
    if (rate <= 0)
        return false;
    m_rate = rate;
    m_spectrum.reset(rate);
    m_acquired = GlobalOptions::instance().acquireAudio();
    const char *name = device.empty() ? nullptr : device.c_str();
    if (m_acquired && (openDevice(name) || (name && openDevice(nullptr)))) {
        SDL_PauseAudioDevice(m_device, m_paused ? 1 : 0);
        return true;
    }
    openSilently();
    return true;
}

void AudioOutput::close()
{
    if (m_device) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    m_sink.reset();
    if (m_acquired) {
        GlobalOptions::instance().releaseAudio();
        m_acquired = false;
    }
    m_current = FrameQueue::Entry();
    m_hasCurrent = false;
}

void AudioOutput::setPaused(bool paused)
{
    m_paused = paused;
    if (m_device)
        SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
    if (m_sink)
        m_sink->setPaused(paused);
}

void AudioOutput::locked(const std::function<void()> &f)
{
    if (m_sink) {
        m_sink->locked(f);
        return;
    }
    if (m_device)
        SDL_LockAudioDevice(m_device);
    f();
    if (m_device)
        SDL_UnlockAudioDevice(m_device);
}

void AudioOutput::checkDevice()
{
    if (!m_device || SDL_GetAudioDeviceStatus(m_device) != SDL_AUDIO_STOPPED)
        return;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    if (openDevice(nullptr))
        SDL_PauseAudioDevice(m_device, m_paused ? 1 : 0);
    else
        openSilently();
}

void AudioOutput::callback(void *self, Uint8 *stream, int length)
{
    // Nothing may leave into SDL's thread.
    try {
        static_cast<AudioOutput *>(self)->fill(stream, length);
    } catch (const std::exception &) {
        std::memset(stream, 0, size_t(length));
    }
}

void AudioOutput::fill(uint8_t *stream, int length)
{
    const auto started = MediaClock::Clock::now();
    const int bytesPerFrame = AudioDecoder::kBytesPerFrame;
    const double bytesPerSecond = double(m_rate) * bytesPerFrame;
    const int serial = m_sync.serial;
    const int volume = m_sync.volume;
    // The clock shows the picture that belongs with the sound heard delay seconds ago.
    const double delay = m_sync.audioDelayMicros / 1e6;
    int written = 0;
    double firstPts = -1;
    double speed = 1;  // media seconds per second played, of the first chunk
    bool ended = false;
    // Nothing is heard: the clock runs on the wall clock, and the sound it has passed is let go unplayed.
    double clockAtStart = m_silent && !m_sync.paused ? m_sync.clock.now() : -1;
    double behind = clockAtStart;
    while (!m_sync.paused && written < length) {
        if (!m_hasCurrent) {
            if (!m_chunks.pop(m_current))
                break;
            m_hasCurrent = true;
        }
        if (m_current.serial != serial || m_current.end) {
            ended = ended || (m_current.serial == serial && m_current.end);
            m_current = FrameQueue::Entry();
            m_hasCurrent = false;
            continue;
        }
        const int total = m_current.frame->nb_samples * bytesPerFrame;
        // A chunk played at another speed covers more or less of the medium than its length.
        const double perByte = total > 0 ? m_current.duration / total : 1 / bytesPerSecond;
        const double skipUntil = std::max<double>(m_sync.audioSkipUntil, behind);
        if (skipUntil >= 0) {
            const double audioSkipUntil = skipUntil - delay;
            if (m_current.pts + m_current.duration <= audioSkipUntil) {
                m_current = FrameQueue::Entry();
                m_hasCurrent = false;
                continue;
            }
            // Damaged timestamps may put the target anywhere: only the chunk itself can be skipped.
            const double frames = (audioSkipUntil - m_current.pts) / perByte / bytesPerFrame;
            const int skip = int(std::clamp(frames, 0.0, double(total / bytesPerFrame))) * bytesPerFrame;
            m_current.consumed = std::max(m_current.consumed, skip);
            m_sync.audioSkipUntil = -1;
            behind = -1;
        }
        // Nor is sound played before the clock reaches it (the sound is heard later than the picture), unless
        // it lies far off, stamped apart from the pictures: then the clock goes to it, as with a device.
        if (clockAtStart >= 0 && written == 0) {
            const double at = m_current.pts + m_current.consumed * perByte;
            const double ahead = at - (clockAtStart - delay);
            if (ahead > kSilentJump) {
                clockAtStart = at + delay;
                m_sync.clock.set(clockAtStart);
            } else if (ahead > length / bytesPerSecond) {
                break;
            }
        }
        const int n = std::min(length - written, total - m_current.consumed);
        if (firstPts < 0) {
            firstPts = m_current.pts + (m_current.consumed - written) * perByte;
            speed = perByte * bytesPerSecond;
        }
        const auto *in = reinterpret_cast<const int16_t *>(m_current.frame->data[0] + m_current.consumed);
        auto *out = reinterpret_cast<int16_t *>(stream + written);
        if (volume == 100) {
            std::memcpy(out, in, size_t(n));
        } else {
            for (int i = 0; i < n / 2; ++i)
                out[i] = int16_t(std::clamp(int(in[i]) * volume / 100, -32768, 32767));
        }
        written += n;
        m_current.consumed += n;
        if (m_current.consumed >= total) {
            m_current = FrameQueue::Entry();
            m_hasCurrent = false;
        }
    }
    std::memset(stream + written, 0, size_t(length - written));
    if (firstPts >= 0) {
        if (!m_silent)
            m_sync.clock.set(firstPts + delay - m_latency * speed, started, speed);
        m_spectrum.feed(reinterpret_cast<const int16_t *>(stream), written / bytesPerFrame,
                        firstPts + written / bytesPerSecond * speed);
    }
    if (ended) {
        double left = written / bytesPerSecond + m_latency;
        // Silently, the sound ends when the clock reaches its last sample, which may lie ahead of the clock.
        if (clockAtStart >= 0 && firstPts >= 0)
            left = std::max(0.0, (firstPts + written / bytesPerSecond * speed + delay - clockAtStart)
                                     / std::max(0.01, m_sync.clock.speed()));
        const auto endsAt = started + std::chrono::duration_cast<MediaClock::Clock::duration>(
                                          std::chrono::duration<double>(left));
        m_sync.audioEndsAt = std::chrono::duration_cast<std::chrono::nanoseconds>(endsAt.time_since_epoch()).count();
    }
}

}
