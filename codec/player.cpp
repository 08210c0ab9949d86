#include "codec/player.h"

#include "codec/globaloptions.h"
#include "codec/numeric.h"
#include "codec/subtitlefile.h"

#include <algorithm>
#include <climits>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <optional>

namespace rq {

namespace {
// Pictures decoded ahead: as many as fit the bytes, so that small pictures queue deeper than 4K ones (two).
constexpr int kVideoFrames = 6;
constexpr size_t kVideoBytes = size_t(20) << 20;
constexpr int kAudioChunks = 32;
constexpr std::chrono::milliseconds kStepTimeout(10000);
// The longest a start or a seek waits for the picture queue to fill.
constexpr std::chrono::milliseconds kPreroll(1000);
// About 31,700 years: far past the end of anything, and still a time stamp in microseconds.
constexpr double kMostSeconds = 1e12;
}

Player::Player()
{
#if defined(__GLIBC__)
    // Picture buffers are mapped of their own, so that those of a closed medium go back to the system
    // instead of staying in the heap, where they come back only when nothing above them is used.
    static std::once_flag mapped;
    std::call_once(mapped, [] { mallopt(M_MMAP_THRESHOLD, 1 << 20); });
#endif
}

std::unique_lock<std::mutex> Player::lockOperations(bool stopsThreads)
{
    // The holder of the lock may be waiting for the very callback that calls in: there it is only tried.
    // A callback cannot stop the threads of its own pipeline, one of which runs it.
    if (CallbackSlot::insideCallback())
        return stopsThreads ? std::unique_lock<std::mutex>() : std::unique_lock<std::mutex>(m_api, std::try_to_lock);
    return std::unique_lock<std::mutex>(m_api);
}

Player::~Player()
{
    std::lock_guard<std::mutex> lock(m_api);
    closeLocked();
}

bool Player::open(MediaSource source)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock)
        return false;
    return openLocked(std::move(source));
}

bool Player::openDisc(const std::string &path)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock)
        return false;
    closeLocked();
    std::shared_ptr<DvdDisc> disc = DvdDisc::open(path);
    std::optional<MediaSource> title = disc ? disc->titleSource(0) : std::nullopt;
    if (!title || !openLocked(std::move(*title)))
        return false;
    m_disc = std::move(disc);
    return true;
}

bool Player::openLocked(MediaSource source)
{
    closeLocked();
    auto input = std::make_unique<MediaInput>();
    if (!input->open(std::move(source), &m_abort))
        return false;
    if (input->programCount() > 0 && !input->selectProgram(0))
        input->selectProgram(-1);
    m_input = std::move(input);
    m_duration = uint64_t(m_input->duration());
    m_sync.shownPictures = 0;
    m_sync.repeatedPictures = 0;
    m_sync.droppedPictures = 0;
    if (!m_deinterlaceChosen)
        m_sync.deinterlace = GlobalOptions::instance().deinterlaceMode();
    if (!startPipeline(0, true, false)) {
        closeLocked();
        return false;
    }
    m_open = true;
    return true;
}

void Player::close()
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock)
        return;
    closeLocked();
}

void Player::closeLocked()
{
    m_open = false;
    m_abort = true;
    stopPipeline();
    m_scanner.reset();
    m_input.reset();
    m_disc.reset();
    m_abort = false;
    m_hasVideo = false;
    m_hasAudio = false;
    m_duration = 0;
    m_width = 0;
    m_height = 0;
    m_aspectNum = 0;
    m_aspectDen = 0;
    m_last.clear();
    m_stepCache.release();
    m_subtitles.reset();
    m_captions = false;
    m_subtitleFile.clear();
    m_spectrum.reset(0);
    m_sync.paused = true;
    m_sync.clock.setPaused(true);
    m_sync.clock.set(0);
    m_stepped = false;
    m_dragging = false;
    m_dragMoved = false;
#if defined(__GLIBC__)
    // What the medium's threads freed in their own heaps is given back as well.
    malloc_trim(0);
#endif
}

bool Player::startPipeline(double position, bool paused, bool seekFirst)
{
    AVFormatContext *ctx = m_input->context();
    const int threads = GlobalOptions::instance().decoderThreads();
    const int videoIndex = m_input->videoStream();
    const int audioIndex = m_input->audioStream();

    m_videoPackets = std::make_unique<PacketQueue>(&m_readerWake);
    m_audioPackets = std::make_unique<PacketQueue>(&m_readerWake);
    m_videoFrames = std::make_unique<FrameQueue>(kVideoFrames, kVideoBytes);
    m_audioFrames = std::make_unique<FrameQueue>(kAudioChunks);

    const int serial = m_sync.serial + 1;
    m_sync.setSeekPoint({serial, position, true});
    m_sync.serial = serial;
    m_videoPackets->flush(serial);
    m_audioPackets->flush(serial);
    m_videoFrames->flush(serial);
    m_audioFrames->flush(serial);
    m_sync.videoEnded = false;
    m_sync.audioEndsAt = 0;
    m_sync.audioSkipUntil = -1;
    m_sync.paused = paused;
    m_sync.clock.setPaused(true);
    m_sync.clock.set(position);
    m_sync.clock.setSpeed(m_sound.settings().speed / 100.0);
    m_sync.clock.setPaused(paused);
    m_width = 0;
    m_height = 0;
    m_aspectNum = 0;
    m_aspectDen = 0;

    if (AVStream *st = m_input->stream(videoIndex)) {
        AVRational rate = av_guess_frame_rate(ctx, st, nullptr);
        m_frameDuration = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;
        if (m_captions) {
            auto captions = std::make_unique<SubtitleDecoder>(m_subtitles, m_subtitles.reset(),
                                                              [this](double from, double to) { redrawIfShown(from, to); });
            if (captions->openCaptions())
                m_captionDecoder = std::move(captions);
        }
        auto decoder = std::make_unique<VideoDecoder>(*m_videoPackets, *m_videoFrames, m_sync, m_frameDuration,
                                                      m_captionDecoder.get(), &m_stepCache);
        if (decoder->open(st, m_input->startTime(), threads)) {
            m_videoDecoder = std::move(decoder);
            const int w = st->codecpar->width, h = st->codecpar->height;
            AVRational sar = av_guess_sample_aspect_ratio(ctx, st, nullptr);
            if (sar.num <= 0 || sar.den <= 0)
                sar = AVRational{1, 1};
            int num = 0, den = 0;
            av_reduce(&num, &den, int64_t(w) * sar.num, int64_t(h) * sar.den, INT_MAX);
            m_width = w;
            m_height = h;
            m_aspectNum = unsigned(num);
            m_aspectDen = unsigned(den);
        }
    }
    if (AVStream *st = m_input->stream(audioIndex)) {
        const int rate = std::min(st->codecpar->sample_rate, AudioDecoder::kMostOutputRate);
        auto decoder = std::make_unique<AudioDecoder>(*m_audioPackets, *m_audioFrames, m_sync, rate, m_sound);
        auto output = std::make_unique<AudioOutput>(*m_audioFrames, m_sync, m_spectrum);
        if (decoder->open(st, m_input->startTime(), threads) && output->open(rate, m_audioDevice)) {
            m_audioDecoder = std::move(decoder);
            m_audio = std::move(output);
        }
    }
    m_hasVideo = bool(m_videoDecoder);
    m_hasAudio = bool(m_audioDecoder);
    if (!m_videoDecoder && !m_audioDecoder)
        return false;

    if (AVStream *st = m_input->stream(m_input->subtitleStream())) {
        // The lines of the stream shown before the pipeline stopped are kept.
        const bool kept = st->index == m_shownStream && m_subtitles.source() == m_shownSource;
        const int source = kept ? m_shownSource : m_subtitles.reset();
        auto changed = [this](double from, double to) { redrawIfShown(from, to); };
        auto subtitles = std::make_unique<SubtitleDecoder>(m_subtitles, source, changed);
        if (subtitles->open(st, std::string(), kept)) {
            m_subtitleDecoder = std::move(subtitles);
            m_shownStream = st->index;
            m_shownSource = source;
            if (!kept && !m_input->path().empty())
                m_scanner = std::make_unique<SubtitleScanner>(
                    m_input->path(), st->index, m_hasAudio ? audioIndex : videoIndex, m_input->startTime(),
                    m_subtitles, source, m_sync, changed);
        }
    }
    if (!m_subtitleDecoder)
        m_scanner.reset();
    if (m_scanner)
        m_scanner->scan(serial, position);
    m_demuxer = std::make_unique<Demuxer>(*m_input, m_videoDecoder ? m_videoPackets.get() : nullptr,
                                          m_audioDecoder ? m_audioPackets.get() : nullptr, m_readerWake,
                                          GlobalOptions::instance().readAheadMicros(), m_subtitleDecoder.get(), &m_sync);
    m_sync.embeddedSubtitles = bool(m_subtitleDecoder);
    if (seekFirst)
        m_demuxer->seek(serial, position);
    if (m_videoDecoder) {
        std::lock_guard<std::mutex> lock(m_presenterMutex);
        m_presenter = std::make_shared<VideoPresenter>(*m_videoFrames, m_sync, m_callback, m_last, m_picture,
                                                      m_subtitles, &m_stepCache);
        m_presenter->start();
        m_videoDecoder->start();
    }
    if (m_audioDecoder) {
        m_audioDecoder->start();
        m_audio->setPaused(paused);
    }
    m_demuxer->start(serial);
    return true;
}

void Player::stopPipeline()
{
    for (PacketQueue *queue : {m_videoPackets.get(), m_audioPackets.get()})
        if (queue)
            queue->abort();
    for (FrameQueue *queue : {m_videoFrames.get(), m_audioFrames.get()})
        if (queue)
            queue->abort();
    m_demuxer.reset();
    m_audio.reset();
    m_videoDecoder.reset();
    m_audioDecoder.reset();
    m_subtitleDecoder.reset();
    m_captionDecoder.reset();
    std::shared_ptr<VideoPresenter> presenter;
    {
        std::lock_guard<std::mutex> lock(m_presenterMutex);
        presenter = std::move(m_presenter);
    }
    // Joined outside the lock: a callback that sets a new callback takes it.
    if (presenter)
        presenter->join();
    m_videoPackets.reset();
    m_audioPackets.reset();
    m_videoFrames.reset();
    m_audioFrames.reset();
    m_stepCache.clear();
}

bool Player::selectProgram(int index)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock)
        return false;
    if (m_disc) {
        // A title is a medium of its own: open it in place, keeping play or pause.
        const std::shared_ptr<DvdDisc> disc = m_disc;
        std::optional<MediaSource> title = disc->titleSource(index);
        const bool paused = m_sync.paused;
        if (!m_open || !title || !openLocked(std::move(*title)))
            return false;
        m_disc = disc;
        setPausedLocked(paused);
        return true;
    }
    if (!m_open || index < 0 || index >= std::max(1, m_input->programCount()))
        return false;
    const bool paused = m_sync.paused;
    stopPipeline();
    m_open = false;
    if (!m_input->selectProgram(index) || !startPipeline(0, paused, true)) {
        closeLocked();
        return false;
    }
    m_open = true;
    return true;
}

bool Player::selectAudioTrack(int index)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock)
        return false;
    if (!m_open || index < 0 || index >= int(m_input->audioStreams().size()))
        return false;
    if (m_input->audioStreams()[size_t(index)] == m_input->audioStream())
        return true;
    return restartWith([&] { return m_input->selectAudio(index); });
}

bool Player::restartWith(const std::function<bool()> &change)
{
    const bool paused = m_sync.paused;
    const double position = currentTime() / 1e6;
    stopPipeline();
    m_open = false;
    if (!change() || !startPipeline(position, true, true)) {
        closeLocked();
        return false;
    }
    m_open = true;
    // Played on only from the picture where it stopped, shown again, so that the clock does not run ahead of
    // the pictures of the new pipeline.
    if (m_presenter)
        m_presenter->waitForSerial(m_sync.serial, kStepTimeout);
    setPausedLocked(paused);
    return true;
}

bool Player::selectSubtitleStream(int index)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock || !m_open || index >= int(m_input->subtitleStreams().size()))
        return false;
    const int stream = index < 0 ? -1 : m_input->subtitleStreams()[size_t(index)];
    if (stream == m_input->subtitleStream() && !m_captionDecoder && m_subtitleFile.empty()
        && (stream < 0 || m_subtitleDecoder))
        return true;
    m_captions = false;
    m_subtitleFile.clear();
    if (stream < 0 && m_input->subtitleStream() < 0 && !m_captionDecoder) {
        m_subtitles.reset();
        redraw();
        return true;
    }
    return restartWith([&] {
        m_subtitles.reset();
        return m_input->selectSubtitle(index);
    });
}

bool Player::selectVideoCaptions(bool on)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock || !m_open || !m_hasVideo)
        return false;
    if (on && m_captionDecoder)
        return true;
    m_captions = on;
    m_subtitleFile.clear();
    return restartWith([&] {
        m_subtitles.reset();
        return m_input->selectSubtitle(-1);
    });
}

bool Player::openSubtitleFile(const std::string &path)
{
    const std::unique_lock<std::mutex> lock = lockOperations(true);
    if (!lock || !m_open)
        return false;
    if (path == m_subtitleFile)
        return true;
    m_captions = false;
    m_subtitleFile.clear();
    if ((m_input->subtitleStream() >= 0 || m_captionDecoder)
        && !restartWith([&] { return m_input->selectSubtitle(-1); }))
        return false;
    const bool loaded = SubtitleFile::load(path, m_subtitles, m_subtitles.reset());
    if (loaded)
        m_subtitleFile = path;
    else
        m_subtitles.reset();
    redraw();
    return loaded;
}

void Player::setLateness(int64_t micros)
{
    m_sync.latenessMicros = std::max<int64_t>(0, micros);
}

void Player::setVolume(int percent)
{
    m_sync.volume = std::clamp(percent, 0, 200);
}

void Player::setAudioDevice(const std::string &name)
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return;
    m_audioDevice = name;
}

void Player::setFrameCallback(CodecFrameCallback callback, void *context)
{
    m_callback.set(callback, context);
    if (m_open && m_sync.paused && callback)
        wakePresenter();
}

void Player::redraw()
{
    if (m_open && m_sync.paused)
        wakePresenter();
}

void Player::redrawIfShown(double from, double to)
{
    double shown = 0;
    if (!m_open || !m_sync.paused || !m_last.take(&shown))
        return;
    const double at = shown - m_subtitles.style().delayMicros / 1e6;
    if (from <= at && (to < 0 || at < to))
        wakePresenter();
}

void Player::setDeinterlace(int mode)
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return;
    mode = std::clamp(mode, 0, 2);
    m_deinterlaceChosen = true;
    if (m_sync.deinterlace.exchange(mode) == mode || !m_open || !m_hasVideo || !m_sync.paused || m_dragging)
        return;
    double shown = 0;
    if (m_last.take(&shown))
        seekLocked(shown, true);
}

void Player::setPlaybackSpeed(int percent)
{
    m_sound.setSpeed(percent);
    // With sound the device moves the clock on at the speed of what it plays.
    if (!hasAudio() || !m_sync.deviceClock)
        m_sync.clock.setSpeed(m_sound.settings().speed / 100.0);
}

void Player::setAudioDelay(int64_t micros)
{
    constexpr int64_t kHour = 3600 * int64_t(1000000);
    m_sync.audioDelayMicros = std::clamp(micros, -kHour, kHour);
}

void Player::wakePresenter()
{
    std::lock_guard<std::mutex> lock(m_presenterMutex);
    if (m_presenter)
        m_presenter->presentAgain();
}

void Player::seekLocked(double target, bool exact, bool stepBack, FrameQueue::Entry *first)
{
    // Without a known duration the target is held to what time stamps can express.
    const double duration = m_duration > 0 ? m_duration / 1e6 : kMostSeconds;
    target = std::clamp(target, 0.0, duration);
    const int serial = m_sync.serial + 1;
    auto reset = [&] {
        m_sync.setSeekPoint({serial, target, exact});
        m_sync.serial = serial;
        for (PacketQueue *queue : {m_videoPackets.get(), m_audioPackets.get()})
            queue->flush(serial);
        for (FrameQueue *queue : {m_videoFrames.get(), m_audioFrames.get()})
            queue->flush(serial);
        m_sync.videoEnded = false;
        m_sync.audioEndsAt = 0;
        m_sync.audioSkipUntil = -1;
        m_sync.clock.set(target);
        if (stepBack)
            m_stepCache.arm(serial, target);
        else
            m_stepCache.clear();
        // Into the emptied queue ahead of anything of the new serial, which comes only after the seek below.
        if (first) {
            first->serial = serial;
            m_videoFrames->push(std::move(*first));
        }
    };
    if (m_audio)
        m_audio->locked(reset);
    else
        reset();
    m_stepped = false;
    if (m_scanner)
        m_scanner->scan(serial, target);
    m_demuxer->seek(serial, target);
    // A step waiting for a picture of the old position gives up.
    if (m_presenter)
        m_presenter->wakeWaiters();
}

bool Player::seek(uint64_t micros)
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return false;
    if (!m_open)
        return false;
    const double target = micros / 1e6;
    if (m_dragging) {
        m_dragTarget = target;
        m_dragMoved = true;
    }
    const bool playing = !m_sync.paused;
    if (playing) {
        m_seekingOnPlay = true;
        setPausedLocked(true);
    }
    seekLocked(target, !m_dragging);
    if (playing) {
        prerollLocked();
        setPausedLocked(false);
        m_seekingOnPlay = false;
    }
    return true;
}

void Player::prerollLocked()
{
    // Past the last picture nothing more comes.
    if (m_videoFrames && m_hasVideo && !m_sync.videoEnded)
        m_videoFrames->waitFilled(m_sync.serial, FrameQueue::Clock::now() + kPreroll);
}

bool Player::beginAsyncSeek()
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return false;
    if (!m_open)
        return false;
    if (!m_dragging) {
        m_dragging = true;
        m_dragMoved = false;
        m_dragWasPlaying = !m_sync.paused;
        setPausedLocked(true);
    }
    return true;
}

bool Player::endAsyncSeek()
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return false;
    if (!m_open || !m_dragging)
        return false;
    m_dragging = false;
    if (m_dragMoved)
        seekLocked(m_dragTarget, true);
    if (m_dragWasPlaying) {
        prerollLocked();
        setPausedLocked(false);
    }
    return true;
}

void Player::setPausedLocked(bool paused)
{
    if (paused == m_sync.paused)
        return;
    if (!paused && m_stepped) {
        // Pictures were stepped while the sound stood still: the sound catches up with them.
        m_sync.audioSkipUntil = m_sync.clock.now();
        m_stepped = false;
    }
    m_sync.paused = paused;
    // Without a sound device to drive it, the clock waits for the first picture played, so that a presenter
    // slow to get going does not start out behind.
    if (!paused && m_hasVideo && !m_sync.deviceClock)
        m_sync.clock.resumeHeld();
    else
        m_sync.clock.setPaused(paused);
    // Playing on needs no pictures to step back to.
    if (!paused)
        m_stepCache.clear();
    if (m_audio)
        m_audio->setPaused(paused);
    if (m_videoFrames)
        m_videoFrames->wake();
}

bool Player::play()
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return false;
    if (!m_open)
        return false;
    if (m_dragging) {
        m_dragWasPlaying = true;
        return true;
    }
    if (isEndReached())
        seekLocked(0, true);
    // A clock of its own waits for the first picture instead; a sound device plays on from the start.
    if (m_sync.paused && m_hasAudio && m_sync.deviceClock)
        prerollLocked();
    setPausedLocked(false);
    return true;
}

bool Player::pause()
{
    const std::unique_lock<std::mutex> lock = lockOperations();
    if (!lock)
        return false;
    if (!m_open)
        return false;
    if (m_dragging)
        m_dragWasPlaying = false;
    else
        setPausedLocked(true);
    return true;
}

bool Player::stepFrame(int direction)
{
    // A step waits for the presenting thread, which cannot be the one asking.
    if (CallbackSlot::insideCallback())
        return false;
    std::shared_ptr<VideoPresenter> presenter;
    int serial;
    {
        const std::unique_lock<std::mutex> lock = lockOperations();
        if (!lock || !m_open || !m_hasVideo || m_dragging || direction == 0)
            return false;
        setPausedLocked(true);
        presenter = m_presenter;
        serial = m_sync.serial;
        if (direction > 0)
            m_stepped = true;
    }
    // A seek still on its way shows its own picture first; the step counts from that picture.
    if (!presenter->waitForSerial(serial, kStepTimeout))
        return false;
    if (direction > 0)
        return presenter->step(serial, kStepTimeout);
    {
        const std::unique_lock<std::mutex> lock = lockOperations();
        double shown = 0;
        if (!lock || !m_open || m_sync.serial != serial || !m_last.take(&shown))
            return false;
        // The previous picture is the one that covers half a frame before the current one.
        const double target = shown - m_frameDuration / 2;
        if (target < 0)
            return false;
        FrameQueue::Entry cached;
        cached.frame = m_stepCache.find(target, shown, &cached.pts, &cached.duration);
        if (cached.frame) {
            // Decoded before: shown at once, while the decoder starts again from the picture after it, just
            // past its start so that the cached one is not brought twice.
            seekLocked(shown + 1e-3, true, true, &cached);
        } else {
            seekLocked(target, true, true);
        }
        serial = m_sync.serial;
    }
    if (!presenter->waitForSerial(serial, kStepTimeout))
        return false;
    const std::unique_lock<std::mutex> lock = lockOperations();
    double shown = 0;
    if (!lock || m_sync.serial != serial || !m_last.take(&shown))
        return false;
    m_sync.clock.set(shown);
    return true;
}

void Player::tick()
{
    if (!m_open)
        return;
    std::unique_lock<std::mutex> lock(m_api, std::try_to_lock);
    if (lock.owns_lock() && m_audio)
        m_audio->checkDevice();
}

bool Player::isPlaying() const
{
    return m_open && (!m_sync.paused || m_seekingOnPlay) && !isEndReached();
}

bool Player::isPaused() const
{
    return m_open && m_sync.paused && !m_seekingOnPlay;
}

bool Player::isEndReached() const
{
    if (!m_open)
        return false;
    if (m_hasVideo && !m_sync.videoEnded)
        return false;
    if (m_hasAudio) {
        const int64_t endsAt = m_sync.audioEndsAt;
        const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                MediaClock::Clock::now().time_since_epoch()).count();
        if (endsAt == 0 || now < endsAt)
            return false;
    }
    return true;
}

uint64_t Player::currentTime() const
{
    if (!m_open)
        return 0;
    const uint64_t duration = m_duration;
    if (duration > 0 && isEndReached())
        return duration;
    double t = std::max(0.0, m_sync.clock.now());
    // Without a duration the end is where the last picture shows.
    double last = 0;
    if (duration == 0 && isEndReached() && m_last.take(&last))
        t = std::min(t, last);
    const uint64_t micros = saturated<uint64_t>(t * 1e6);
    return duration > 0 ? std::min(micros, duration) : micros;
}

void Player::frameCounts(int64_t *shown, int64_t *repeated, int64_t *dropped) const
{
    if (shown)
        *shown = m_sync.shownPictures;
    if (repeated)
        *repeated = m_sync.repeatedPictures;
    if (dropped)
        *dropped = m_sync.droppedPictures;
}

unsigned char *Player::snapshot(int width, int height)
{
    if (!m_open)
        return nullptr;
    return m_last.snapshot(width, height, aspectNum(), aspectDen());
}

unsigned char *Player::audioBlock(int kind)
{
    if (!hasAudio() || kind != 1)
        return nullptr;
    return m_spectrum.block();
}

}
