#include "support/zrrunloop.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <iterator>
#include <cmath>

#include <poll.h>

namespace {

// The loop whose pass runs on this thread, if any.
thread_local ZrRunLoop *passingLoop = nullptr;

// Spare easy handles a loop keeps: as many as transfers usually run at once on it.
const size_t MaxSpareEasyHandles = 8;

// What loops handed to the main thread and it has not run yet, in order. While some waits, one
// event is on its way to run it: passes that hand over meanwhile post nothing and wake nothing.
struct MainThreadWork
{
    QMutex lock;
    std::vector<std::function<void()>> functions;
    bool posted = false;
};

MainThreadWork &mainThreadWork()
{
    static MainThreadWork work;
    return work;
}

void runMainThreadWork()
{
    std::vector<std::function<void()>> functions;
    {
        QMutexLocker locker(&mainThreadWork().lock);
        functions.swap(mainThreadWork().functions);
        mainThreadWork().posted = false;
    }
    for (const std::function<void()> &function : functions)
        function();
}

} // namespace

ZrRunLoop::ZrRunLoop() : m_multi(curl_multi_init()), m_thread(std::this_thread::get_id())
{
}

ZrRunLoop::~ZrRunLoop()
{
    for (const auto &entry : m_transfers)
        curl_multi_remove_handle(m_multi, entry.first);
    for (CURL *easy : m_spareEasyHandles)
        curl_easy_cleanup(easy);
    curl_multi_cleanup(m_multi);
}

CURL *ZrRunLoop::takeEasyHandle()
{
    {
        QMutexLocker locker(&m_spareLock);
        if (!m_spareEasyHandles.empty()) {
            CURL *easy = m_spareEasyHandles.back();
            m_spareEasyHandles.pop_back();
            return easy;
        }
    }
    return curl_easy_init();
}

void ZrRunLoop::giveBackEasyHandle(CURL *easy)
{
    if (!easy)
        return;
    curl_easy_reset(easy);
    {
        QMutexLocker locker(&m_spareLock);
        if (m_spareEasyHandles.size() < MaxSpareEasyHandles) {
            m_spareEasyHandles.push_back(easy);
            return;
        }
    }
    curl_easy_cleanup(easy);
}

std::shared_ptr<ZrRunLoop> ZrRunLoop::current()
{
    thread_local std::shared_ptr<ZrRunLoop> loop(new ZrRunLoop);
    return loop;
}

void ZrRunLoop::perform(std::function<void()> function)
{
    {
        QMutexLocker locker(&m_performLock);
        m_performed.push_back(std::move(function));
    }
    // The loop's own thread is in a pass, or about to start one that runs it at once.
    if (std::this_thread::get_id() != m_thread)
        curl_multi_wakeup(m_multi);
}

void ZrRunLoop::performOnMainThread(std::function<void()> function)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread())
        function();
    else if (passingLoop)
        passingLoop->m_forMainThread.push_back(std::move(function));
    else
        QMetaObject::invokeMethod(application, std::move(function), Qt::QueuedConnection);
}

void ZrRunLoop::handOverToMainThread()
{
    if (m_forMainThread.empty())
        return;
    QCoreApplication *application = QCoreApplication::instance();
    if (!application) {
        m_forMainThread.clear();
        return;
    }
    MainThreadWork &work = mainThreadWork();
    {
        QMutexLocker locker(&work.lock);
        std::move(m_forMainThread.begin(), m_forMainThread.end(), std::back_inserter(work.functions));
        m_forMainThread.clear();
        if (work.posted)
            return;
        work.posted = true;
    }
    QMetaObject::invokeMethod(application, &runMainThreadWork, Qt::QueuedConnection);
}

int ZrRunLoop::addTimer(double seconds, bool repeats, std::function<void()> function)
{
    const auto interval = std::chrono::nanoseconds(static_cast<long long>(std::max(0.0, seconds) * 1e9));
    m_timers[++m_lastTimerId] = Timer{Clock::now() + interval, interval, repeats, std::move(function)};
    return m_lastTimerId;
}

void ZrRunLoop::removeTimer(int timerId)
{
    m_timers.erase(timerId);
}

bool ZrRunLoop::addTransfer(CURL *easy, Transfer *transfer)
{
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK)
        return false;
    m_transfers[easy] = transfer;
    m_transferAdded = true;
    return true;
}

void ZrRunLoop::removeTransfer(CURL *easy)
{
    if (m_transfers.erase(easy))
        curl_multi_remove_handle(m_multi, easy);
}

void ZrRunLoop::watchDescriptor(int fd, std::function<void()> onReadable)
{
    m_descriptors[fd] = std::move(onReadable);
}

void ZrRunLoop::unwatchDescriptor(int fd)
{
    m_descriptors.erase(fd);
}

void ZrRunLoop::runOnce(double maxSeconds)
{
    ZrRunLoop *const outer = passingLoop;
    passingLoop = this;
    ++m_passDepth;
    pass(maxSeconds);
    passingLoop = outer;
    if (--m_passDepth == 0)
        handOverToMainThread();
}

void ZrRunLoop::pass(double maxSeconds)
{
    double wait = maxSeconds;
    const Clock::time_point now = Clock::now();
    for (const auto &entry : m_timers)
        wait = std::min(wait, std::chrono::duration<double>(entry.second.fire - now).count());
    long curlTimeout = -1;
    if (!m_transfers.empty() && curl_multi_timeout(m_multi, &curlTimeout) == CURLM_OK && curlTimeout >= 0)
        wait = std::min(wait, curlTimeout / 1000.0);
    {
        QMutexLocker locker(&m_performLock);
        if (!m_performed.empty())
            wait = 0;
    }
    const int timeoutMs = static_cast<int>(std::ceil(std::clamp(wait, 0.0, 3600.0) * 1000));

    std::vector<curl_waitfd> fds;
    for (const auto &entry : m_descriptors)
        fds.push_back(curl_waitfd{entry.first, CURL_WAIT_POLLIN, 0});
    curl_multi_poll(m_multi, fds.data(), static_cast<unsigned>(fds.size()), timeoutMs, nullptr);

    m_transferAdded = false;
    performTransfers();
    // curl reports no hang-up on extra descriptors, so their state is asked of poll() itself:
    // a closed writer is an event too (the read that follows sees the end).
    for (const curl_waitfd &fd : fds) {
        pollfd state{fd.fd, POLLIN, 0};
        const auto found = m_descriptors.find(fd.fd);
        if (::poll(&state, 1, 0) > 0 && state.revents != 0 && found != m_descriptors.end()) {
            const std::function<void()> onReadable = found->second;
            onReadable();
        }
    }
    fireDueTimers();
    runPerformed();
    // A transfer started by this pass sends its request now rather than after another poll.
    if (m_transferAdded)
        performTransfers();
}

void ZrRunLoop::performTransfers()
{
    if (m_transfers.empty())
        return;
    int running = 0;
    curl_multi_perform(m_multi, &running);
    handleDoneTransfers();
    std::vector<CURL *> handles;
    for (const auto &entry : m_transfers)
        handles.push_back(entry.first);
    for (CURL *easy : handles) {
        const auto found = m_transfers.find(easy);
        if (found != m_transfers.end())
            found->second->afterPerform();
    }
}

void ZrRunLoop::run()
{
    for (;;)
        runOnce(1e10);
}

void ZrRunLoop::handleDoneTransfers()
{
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const auto found = m_transfers.find(message->easy_handle);
        if (found != m_transfers.end())
            found->second->transferDone(message->data.result);
    }
}

void ZrRunLoop::fireDueTimers()
{
    const Clock::time_point now = Clock::now();
    std::vector<int> due;
    for (const auto &entry : m_timers) {
        if (entry.second.fire <= now)
            due.push_back(entry.first);
    }
    for (int timerId : due) {
        const auto found = m_timers.find(timerId);
        if (found == m_timers.end())
            continue;
        const std::function<void()> function = found->second.function;
        if (found->second.repeats)
            found->second.fire = now + found->second.interval;
        else
            m_timers.erase(found);
        function();
    }
}

void ZrRunLoop::runPerformed()
{
    std::vector<std::function<void()>> performed;
    {
        QMutexLocker locker(&m_performLock);
        performed.swap(m_performed);
    }
    for (const std::function<void()> &function : performed)
        function();
}
