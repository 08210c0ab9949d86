// Bandwidth throttling shared by all requests, and progress reports on the main thread.
#include "support/zrhttprequest.h"

#include "support/zrrunloop.h"
#include "support/zrselector.h"

const unsigned long ZRWWANBandwidthThrottleAmount = 14800;

namespace {

struct Bandwidth
{
    QMutex lock;
    unsigned long maximum = 0;
    unsigned long used = 0;
    QDateTime measurementDate;
    QList<unsigned long> samples;
    unsigned long average = 0;
    QDateTime wakeUpTime;
};

Bandwidth &bandwidth()
{
    static Bandwidth state;
    return state;
}

// Drops the samples of windows gone by, keeps at most five, and starts a new window.
void recordLocked(Bandwidth &state)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (state.used > 0) {
        while (!state.samples.isEmpty()) {
            if (state.measurementDate.isValid() && state.measurementDate < now)
                state.measurementDate = state.measurementDate.addMSecs(1000);
            else if (state.samples.size() < 6)
                break;
            state.samples.removeFirst();
        }
    } else {
        state.samples.clear();
    }
    state.samples.append(state.used);
    state.measurementDate = now.addMSecs(1000);
    state.used = 0;
    unsigned long long sum = 0;
    for (unsigned long sample : qAsConst(state.samples))
        sum += sample;
    state.average = static_cast<unsigned long>(sum / static_cast<unsigned long long>(state.samples.size()));
}

} // namespace

unsigned long ZRHTTPRequest::maxBandwidthPerSecond()
{
    QMutexLocker locker(&bandwidth().lock);
    return bandwidth().maximum;
}

void ZRHTTPRequest::setMaxBandwidthPerSecond(unsigned long bytes)
{
    QMutexLocker locker(&bandwidth().lock);
    bandwidth().maximum = bytes;
}

bool ZRHTTPRequest::isBandwidthThrottled()
{
    QMutexLocker locker(&bandwidth().lock);
    return bandwidth().maximum != 0;
}

void ZRHTTPRequest::incrementBandwidthUsedInLastSecond(unsigned long bytes)
{
    QMutexLocker locker(&bandwidth().lock);
    bandwidth().used += bytes;
}

void ZRHTTPRequest::measureBandwidthUsage()
{
    QMutexLocker locker(&bandwidth().lock);
    Bandwidth &state = bandwidth();
    if (!state.measurementDate.isValid() || state.measurementDate <= QDateTime::currentDateTimeUtc())
        recordLocked(state);
    if (state.maximum > 0 && state.used > state.maximum) {
        // Overuse is paid back with proportionally longer sleep.
        const double over = static_cast<double>(state.used - state.maximum) / state.maximum;
        state.wakeUpTime = state.measurementDate.addMSecs(static_cast<qint64>(over * 1000));
    }
}

void ZRHTTPRequest::recordBandwidthUsage()
{
    QMutexLocker locker(&bandwidth().lock);
    recordLocked(bandwidth());
}

unsigned long ZRHTTPRequest::averageBandwidthUsedPerSecond()
{
    QMutexLocker locker(&bandwidth().lock);
    return bandwidth().average;
}

unsigned long ZRHTTPRequest::maxUploadReadLength()
{
    QMutexLocker locker(&bandwidth().lock);
    Bandwidth &state = bandwidth();
    unsigned long allowance = state.maximum / 4;
    if (state.used + allowance > state.maximum)
        allowance = state.used >= state.maximum ? 0 : state.maximum - state.used;
    if (allowance > 0 && state.measurementDate.isValid() && state.measurementDate > QDateTime::currentDateTimeUtc())
        return allowance;
    state.wakeUpTime = state.measurementDate;
    return allowance;
}

QRecursiveMutex &ZRHTTPRequest::progressLock()
{
    static QRecursiveMutex lock;
    return lock;
}

qint64 ZRHTTPRequest::throttledReadLength(qint64 size)
{
    QMutexLocker locker(&bandwidth().lock);
    const Bandwidth &state = bandwidth();
    if (state.maximum == 0)
        return size;
    // A quarter of what is left of this second's allowance, never less than a byte.
    const qint64 remaining = static_cast<qint64>(state.maximum) - static_cast<qint64>(state.used);
    return remaining < 0 ? 1 : qMax<qint64>(1, qMin(remaining / 4, size));
}

QDateTime ZRHTTPRequest::bandwidthMeasurementDate()
{
    QMutexLocker locker(&bandwidth().lock);
    return bandwidth().measurementDate;
}

QDateTime ZRHTTPRequest::throttleWakeUpTime()
{
    QMutexLocker locker(&bandwidth().lock);
    return bandwidth().wakeUpTime;
}

void ZRHTTPRequest::performThrottling()
{
    if (!m_readStream)
        return;
    measureBandwidthUsage();
    if (isBandwidthThrottled()) {
        const QDateTime wakeUp = throttleWakeUpTime();
        if (!wakeUp.isValid())
            return;
        // A request asleep for throttling is unscheduled, so it neither reads nor times out.
        if (wakeUp > QDateTime::currentDateTimeUtc())
            unscheduleReadStream();
        else
            scheduleReadStream();
    } else {
        scheduleReadStream();
    }
}

void ZRHTTPRequest::updateProgressIndicator(QObject *indicator, quint64 progress, quint64 total)
{
    // An empty body has nothing to measure: it counts as no progress, never as NaN.
    const double fraction = total == 0 ? 0.0 : static_cast<double>(progress) / static_cast<double>(total);
    QPointer<QObject> target(indicator);
    ZrRunLoop::performOnMainThread([target, fraction] {
        QMutexLocker locker(&progressLock());
        if (target)
            ZrSelector::call(target.data(), "setDoubleValue", fraction);
    });
}

// Progress of one request.

QObject *ZRHTTPRequest::reportTarget(ReportTarget target) const
{
    QMutexLocker locker(&m_cancelledLock);
    switch (target) {
    case ReportTarget::Delegate:
        return m_delegate.data();
    case ReportTarget::Queue:
        return m_queue.data();
    case ReportTarget::UploadProgress:
        return m_uploadProgressDelegate.data();
    case ReportTarget::DownloadProgress:
        return m_downloadProgressDelegate.data();
    }
    return nullptr;
}

ZRHTTPRequest::Report ZRHTTPRequest::selectorReport(const QByteArray &selector, ReportTarget target, qint64 amount)
{
    return [selector, target, amount](ZRHTTPRequest *request) {
        ZrSelector::call(request->reportTarget(target), selector, request, amount);
    };
}

ZRHTTPRequest::Report ZRHTTPRequest::indicatorReport(ReportTarget target, quint64 progress, quint64 total)
{
    return [target, progress, total](ZRHTTPRequest *request) {
        if (QObject *indicator = request->reportTarget(target))
            updateProgressIndicator(indicator, progress, total);
    };
}

template <typename Getter, typename... Args>
ZRHTTPRequest::Report ZRHTTPRequest::blockReport(Getter getter, const Args &...args)
{
    return [getter, args...](ZRHTTPRequest *request) {
        const auto block = [&] {
            QMutexLocker locker(&request->m_propertyLock);
            return request->*getter;
        }();
        if (block)
            block(args...);
    };
}

void ZRHTTPRequest::performReports(const QVector<Report> &reports)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    ZrRunLoop::performOnMainThread([guard, keep, reports] {
        for (const Report &report : reports) {
            if (!guard)
                return;
            report(guard.data());
        }
    });
}

void ZRHTTPRequest::updateProgressIndicators()
{
    if (!showAccurateProgress() && (!complete() || updatedProgress()))
        return;
    updateUploadProgress();
    updateDownloadProgress();
}

void ZRHTTPRequest::updateDownloadProgress()
{
    if (mainRequest() || responseHeaders().isEmpty() || needsRedirect() || (contentLength() == 0 && !complete()))
        return;
    const quint64 soFar = totalBytesRead() + partialDownloadSize();
    qint64 step;
    if (!showAccurateProgress() || contentLength() == 0) {
        step = 1;
        setUpdatedProgress(true);
    } else {
        step = static_cast<qint64>(soFar - lastBytesRead());
    }
    if (step == 0)
        return;
    const quint64 total = contentLength() + partialDownloadSize();
    performReports({selectorReport("requestDidReceiveBytes", ReportTarget::Queue, step),
                    selectorReport("requestDidReceiveBytes", ReportTarget::DownloadProgress, step),
                    indicatorReport(ReportTarget::DownloadProgress, soFar, total),
                    blockReport(&ZRHTTPRequest::m_bytesReceivedBlock, step, total)});
    setLastBytesRead(soFar);
}

void ZRHTTPRequest::updateUploadProgress()
{
    if (mainRequest() || isCancelled() || totalBytesSent() == 0)
        return;
    // The first count below the body's length is what the transport took at once.
    if (uploadBufferSize() == 0 && totalBytesSent() < postLength()) {
        setUploadBufferSize(totalBytesSent());
        incrementUploadSizeBy(-static_cast<qint64>(uploadBufferSize()));
    }
    qint64 step;
    if (showAccurateProgress()) {
        if (lastBytesSent() == 0 && totalBytesSent() < postLength())
            return;
        step = static_cast<qint64>(totalBytesSent() - lastBytesSent());
        if (step == 0)
            return;
    } else {
        step = 1;
        setUpdatedProgress(true);
    }
    performReports({selectorReport("requestDidSendBytes", ReportTarget::Queue, step),
                    selectorReport("requestDidSendBytes", ReportTarget::UploadProgress, step),
                    indicatorReport(ReportTarget::UploadProgress, totalBytesSent() - uploadBufferSize(),
                                    postLength() - uploadBufferSize()),
                    blockReport(&ZRHTTPRequest::m_bytesSentBlock, step, postLength())});
}

void ZRHTTPRequest::incrementDownloadSizeBy(qint64 length)
{
    performReports({selectorReport("requestIncrementDownloadSizeBy", ReportTarget::Queue, length),
                    selectorReport("requestIncrementDownloadSizeBy", ReportTarget::DownloadProgress, length),
                    blockReport(&ZRHTTPRequest::m_downloadSizeIncrementedBlock, length)});
}

void ZRHTTPRequest::incrementUploadSizeBy(qint64 length)
{
    performReports({selectorReport("requestIncrementUploadSizeBy", ReportTarget::Queue, length),
                    selectorReport("requestIncrementUploadSizeBy", ReportTarget::UploadProgress, length),
                    blockReport(&ZRHTTPRequest::m_uploadSizeIncrementedBlock, length)});
}

void ZRHTTPRequest::removeUploadProgressSoFar()
{
    const qint64 step = -static_cast<qint64>(totalBytesSent());
    performReports({selectorReport("requestDidSendBytes", ReportTarget::Queue, step),
                    selectorReport("requestDidSendBytes", ReportTarget::UploadProgress, step),
                    indicatorReport(ReportTarget::UploadProgress, 0, postLength()),
                    blockReport(&ZRHTTPRequest::m_bytesSentBlock, step, postLength())});
}

QObject *ZRHTTPRequest::uploadProgressDelegate() const
{
    return reportTarget(ReportTarget::UploadProgress);
}

void ZRHTTPRequest::setUploadProgressDelegate(QObject *newDelegate)
{
    {
        QMutexLocker locker(&m_cancelledLock);
        m_uploadProgressDelegate = newDelegate;
    }
    sendMaxValue(newDelegate);
}

QObject *ZRHTTPRequest::downloadProgressDelegate() const
{
    return reportTarget(ReportTarget::DownloadProgress);
}

void ZRHTTPRequest::setDownloadProgressDelegate(QObject *newDelegate)
{
    {
        QMutexLocker locker(&m_cancelledLock);
        m_downloadProgressDelegate = newDelegate;
    }
    sendMaxValue(newDelegate);
}

void ZRHTTPRequest::sendMaxValue(QObject *indicator)
{
    performSelector("setMaxValue", indicator, 1.0);
}

void ZRHTTPRequest::performSelector(const QByteArray &selector, QObject *target, double value)
{
    if (!target)
        return;
    QPointer<QObject> guard(target);
    ZrRunLoop::performOnMainThread([guard, selector, value] {
        if (guard)
            ZrSelector::call(guard.data(), selector, value);
    });
}
