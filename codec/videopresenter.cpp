#include "codec/videopresenter.h"

#include "codec/globaloptions.h"

#include <algorithm>

namespace rq {

namespace {
// A presenter waiting for a picture's time looks round at least this often, for changes of the clock.
constexpr std::chrono::milliseconds kIdle(100);
// How often a first picture looks whether the subtitles of its time were read, and how long it waits at most.
constexpr std::chrono::milliseconds kReadPoll(2);
constexpr std::chrono::milliseconds kMostReadWait(1000);
// Paused, nothing falls behind while the picture waits: a busy machine gets longer to read the lines before it.
constexpr std::chrono::milliseconds kMostPausedScanWait(10000);
}

VideoPresenter::VideoPresenter(FrameQueue &frames, SyncState &sync, CallbackSlot &callback, LastFrame &last,
                               PictureProcessor &picture, SubtitleRenderer &subtitles, StepCache *steps)
    : m_frames(frames), m_sync(sync), m_callback(callback), m_last(last), m_picture(picture), m_subtitles(subtitles),
      m_steps(steps), m_converter(GlobalOptions::instance().frameFormats())
{
}

VideoPresenter::~VideoPresenter()
{
    join();
}

void VideoPresenter::start()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = true;
    }
    m_thread = std::thread(&VideoPresenter::run, this);
}

void VideoPresenter::join()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Once joined, the frame queue may be gone: a second call touches nothing of it.
        if (!m_thread.joinable())
            return;
        m_stop = true;
        m_running = false;
        m_cond.notify_all();
    }
    m_frames.wake();
    m_thread.join();
}

bool VideoPresenter::step(int serial, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_running)
        return false;
    const uint64_t ticket = ++m_stepsAsked;
    // Woken under the lock, which join() takes before the queue can go.
    m_frames.wake();
    const bool answered = m_cond.wait_for(lock, timeout, [&] {
        return m_stepsDone >= ticket || !m_running || m_sync.serial != serial;
    });
    if (answered && m_stepsDone >= ticket)
        return m_stepResult && m_sync.serial == serial;
    // Withdrawn, so that it cannot fire later.
    m_stepsDone = m_stepsAsked;
    return false;
}

bool VideoPresenter::waitForSerial(int serial, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cond.wait_for(lock, timeout, [&] {
        return m_shownSerial == serial || m_endSerial == serial || !m_running || m_sync.serial != serial;
    }) && m_shownSerial == serial && m_sync.serial == serial;
}

void VideoPresenter::wakeWaiters()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cond.notify_all();
}

void VideoPresenter::presentAgain()
{
    m_presentAgain = true;
    m_frames.wake();
}

void VideoPresenter::finishStep(bool presented)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stepsDone < m_stepsAsked) {
        m_stepsDone = m_stepsAsked;
        m_stepResult = presented;
    }
    m_cond.notify_all();
}

void VideoPresenter::present(const AVFrame *frame, double pts, double duration)
{
    // A picture that cannot be processed (no memory for it) is passed over; the presenting goes on.
    try {
        FramePtr shown = m_picture.process(frame);
        m_subtitles.render(shown, pts, duration);
        CodecFrame out;
        if (shown && m_converter.convert(shown.get(), out))
            m_callback.invoke(&out);
    } catch (const std::exception &) {
    }
    ++(duration > 0 ? m_sync.shownPictures : m_sync.repeatedPictures);
    m_last.store(frame, pts);
    if (m_steps && duration > 0 && m_sync.paused)
        m_steps->keep(frame, pts, duration);
}

void VideoPresenter::run()
{
    FrameQueue::Entry entry;
    // Since when the first picture of a serial has waited for the subtitles of its time.
    int readWaitSerial = -1;
    FrameQueue::Clock::time_point readWaitSince;
    while (!m_stop) {
        const uint64_t generation = m_frames.generation();
        const auto now = FrameQueue::Clock::now();
        bool stepping, shown;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            stepping = m_stepsDone < m_stepsAsked;
            shown = m_shownSerial == m_sync.serial || m_endSerial == m_sync.serial;
        }
        // Before the first picture of a serial the one kept is of another position; that first picture comes
        // with everything changed meanwhile.
        if (m_presentAgain.exchange(false) && shown) {
            double pts = 0;
            if (FramePtr again = m_last.take(&pts))
                present(again.get(), pts, 0);
        }
        if (!m_frames.front(entry)) {
            if (stepping && m_sync.videoEnded)
                finishStep(false);
            m_frames.waitChange(generation);
            continue;
        }
        // Read after the front: a seek sets the serial before it flushes, so an entry of the new serial is
        // never taken for a stale one. Entries are popped only while they still are what was looked at.
        const int serial = m_sync.serial;
        if (entry.serial != serial) {
            m_frames.pop(entry, entry.serial);
            continue;
        }
        if (entry.end) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_endSerial = serial;
                m_cond.notify_all();
            }
            // Paused on the last picture is not the end yet: playing on from it is.
            if (stepping) {
                finishStep(false);
            } else if (m_sync.paused) {
                m_frames.waitChange(generation);
            } else if (m_frames.pop(entry, serial)) {
                m_sync.videoEnded = true;
                // No picture comes to start a held clock: the sound plays on from where it stands.
                m_sync.clock.start(m_sync.clock.now());
            }
            continue;
        }
        bool first;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            first = m_shownSerial != serial;
        }
        if (first && m_sync.embeddedSubtitles && !m_sync.hasRead(serial, entry.pts)) {
            if (readWaitSerial != serial) {
                readWaitSerial = serial;
                readWaitSince = now;
            }
            const auto most = m_sync.paused && m_sync.scanning(serial) ? kMostPausedScanWait : kMostReadWait;
            if (now - readWaitSince < most) {
                m_frames.waitChange(generation, now + kReadPoll);
                continue;
            }
        }
        if (!first && !stepping && !m_sync.clock.held()) {
            if (m_sync.paused) {
                m_frames.waitChange(generation);
                continue;
            }
            const double delay = entry.pts - m_sync.clock.now();
            if (delay > 0.0005) {
                const auto wait = std::chrono::duration_cast<FrameQueue::Clock::duration>(
                    std::chrono::duration<double>(delay / std::max(0.01, m_sync.clock.speed())));
                m_frames.waitChange(generation, now + std::min<FrameQueue::Clock::duration>(wait, kIdle));
                continue;
            }
            if (-delay > m_sync.latenessMicros / 1e6 && m_frames.size() > 1) {
                if (m_frames.pop(entry, serial))
                    ++m_sync.droppedPictures;
                continue;
            }
        }
        if (!m_frames.pop(entry, serial) || entry.end || m_stop)
            continue;
        present(entry.frame.get(), entry.pts, entry.duration);
        if (!stepping)
            m_sync.clock.start(entry.pts);
        // A seek past the last picture lands on it.
        if (stepping || (first && entry.pts + entry.duration <= m_sync.startOf(serial)))
            m_sync.clock.set(entry.pts);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shownSerial = serial;
        if (stepping) {
            m_stepsDone = m_stepsAsked;
            m_stepResult = true;
        }
        m_cond.notify_all();
    }
}

}
