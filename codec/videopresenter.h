#ifndef RQ_VIDEOPRESENTER_H
#define RQ_VIDEOPRESENTER_H

#include "codec/callbackslot.h"
#include "codec/frameconverter.h"
#include "codec/framequeue.h"
#include "codec/lastframe.h"
#include "codec/pictureprocessor.h"
#include "codec/stepcache.h"
#include "codec/subtitlerenderer.h"
#include "codec/syncstate.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

namespace rq {

// The thread that processes pictures, draws the subtitles into them and hands them to the frame callback at
// their presentation time on the master clock.
// The first picture of every serial (an open, a seek) is presented at once, also while paused, and so is the
// first one after the clock was held for play: the clock starts from it. Late pictures are dropped when a
// newer one is waiting. Pictures presented while paused go to the step cache, if any, for stepping back.
// While paused the thread only waits for the queue to change.
class VideoPresenter
{
public:
    VideoPresenter(FrameQueue &frames, SyncState &sync, CallbackSlot &callback, LastFrame &last,
                   PictureProcessor &picture, SubtitleRenderer &subtitles, StepCache *steps = nullptr);
    ~VideoPresenter();
    VideoPresenter(const VideoPresenter &) = delete;
    VideoPresenter &operator=(const VideoPresenter &) = delete;

    void start();
    // Stops the thread and lets every waiting caller go with a failure. The frame queue may go after it.
    void join();

    // Presents the next picture of the serial; false at the end of the stream, when none came in time, or
    // when a seek (a new serial) or join() came first.
    bool step(int serial, std::chrono::milliseconds timeout);
    // Waits until the first picture of the serial was presented; false when the stream ended first, or as
    // step() does.
    bool waitForSerial(int serial, std::chrono::milliseconds timeout);
    // Lets callers waiting in step() or waitForSerial() look at the serial again, after a seek.
    void wakeWaiters();
    // Presents the last picture again, to a callback that has just been set or with changed processing.
    void presentAgain();

private:
    void run();
    // duration: how long the picture shows, in seconds; 0 for one shown again.
    void present(const AVFrame *frame, double pts, double duration);
    void finishStep(bool presented);

    FrameQueue &m_frames;
    SyncState &m_sync;
    CallbackSlot &m_callback;
    LastFrame &m_last;
    PictureProcessor &m_picture;
    SubtitleRenderer &m_subtitles;
    StepCache *const m_steps;
    FrameConverter m_converter;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_presentAgain{false};

    std::mutex m_mutex;
    std::condition_variable m_cond;
    int m_shownSerial = -1;
    int m_endSerial = -1;
    uint64_t m_stepsAsked = 0;
    uint64_t m_stepsDone = 0;
    bool m_stepResult = false;
    bool m_running = false;
};

}

#endif
