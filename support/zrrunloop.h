#ifndef ZRRUNLOOP_H
#define ZRRUNLOOP_H

#include <QMutex>

#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

// One event loop per driving thread, on a curl multi handle: timers, work handed over
// from other threads, transfers and watched descriptors. curl_multi_poll sleeps until
// the earliest timer, socket activity or a wake-up from perform().
class ZrRunLoop
{
public:
    using Clock = std::chrono::steady_clock;

    // Something on the loop that the multi handle drives (a transfer).
    class Transfer
    {
    public:
        virtual ~Transfer() = default;
        // The transfer ended with curl's result.
        virtual void transferDone(CURLcode result) = 0;
        // After every pass, so buffered events reach their client.
        virtual void afterPerform() = 0;
    };

    ~ZrRunLoop();

    // The calling thread's loop, made on first use; it lives as long as the thread
    // or the last holder of the shared pointer.
    static std::shared_ptr<ZrRunLoop> current();

    // Runs the function on the loop's thread at its next pass; callable from any thread.
    void perform(std::function<void()> function);

    // Runs the function on the application's main thread: at once when called there (or with
    // no application), else queued. What one pass of a loop hands over goes there in one
    // call, in order.
    static void performOnMainThread(std::function<void()> function);

    // Timers; the loop's thread only.
    int addTimer(double seconds, bool repeats, std::function<void()> function);
    void removeTimer(int timerId);

    // Transfers and descriptors; the loop's thread only.
    bool addTransfer(CURL *easy, Transfer *transfer);
    void removeTransfer(CURL *easy);
    void watchDescriptor(int fd, std::function<void()> onReadable);
    void unwatchDescriptor(int fd);
    CURLM *multi() const { return m_multi; }

    // Easy handles for the loop's transfers: one given back is reset and serves the next
    // transfer, which saves making one for every request. Callable from any thread.
    CURL *takeEasyHandle();
    void giveBackEasyHandle(CURL *easy);

    // Waits at most maxSeconds for one batch of events and handles them.
    void runOnce(double maxSeconds);
    // Forever.
    void run();

private:
    struct Timer
    {
        Clock::time_point fire;
        std::chrono::nanoseconds interval;
        bool repeats;
        std::function<void()> function;
    };

    ZrRunLoop();
    // One pass of runOnce().
    void pass(double maxSeconds);
    void handOverToMainThread();
    // curl's work on the transfers, then their buffered events.
    void performTransfers();
    void handleDoneTransfers();
    void fireDueTimers();
    void runPerformed();

    CURLM *m_multi = nullptr;
    const std::thread::id m_thread;
    QMutex m_performLock;
    std::vector<std::function<void()>> m_performed;
    std::map<int, Timer> m_timers;
    int m_lastTimerId = 0;
    std::map<CURL *, Transfer *> m_transfers;
    bool m_transferAdded = false;
    std::map<int, std::function<void()>> m_descriptors;
    QMutex m_spareLock;
    std::vector<CURL *> m_spareEasyHandles;
    std::vector<std::function<void()>> m_forMainThread;
    // Passes run inside a pass (a synchronous request driven from a callback) hand over with the outermost.
    int m_passDepth = 0;
};

#endif
