// Choosing a proxy: the request's own, the system's settings, or a PAC script's answer.
#include "support/zrhttprequest.h"

#include "support/zrpacscript.h"
#include "support/zrproxysettings.h"
#include "support/zrrunloop.h"
#include "support/zroperationqueue.h"

#include <QFile>
#include <QTextCodec>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int PACReadChunk = 16384;

} // namespace

bool ZRHTTPRequest::configureProxies()
{
    if (isPACFileRequest() || !proxyHost().isEmpty() || proxyPort() != 0)
        return true;
    if (PACurl().isEmpty()) {
        const QList<QVariantMap> proxies = ZrProxySettings::proxiesForURL(url());
        if (proxies.isEmpty())
            return true;
        const QVariantMap first = proxies.first();
        if (first.value(ZrProxySettings::TypeKey).toString() != ZrProxySettings::AutoConfigurationURLKey) {
            setProxyHost(first.value(ZrProxySettings::HostKey).toString());
            setProxyPort(first.value(ZrProxySettings::PortKey).toInt());
            setProxyType(first.value(ZrProxySettings::TypeKey).toString());
            return true;
        }
        setPACurl(first.value(ZrProxySettings::AutoConfigurationURLKey).toUrl());
    }
    fetchPACFile();
    return false;
}

void ZRHTTPRequest::fetchPACFile()
{
    const QUrl script = PACurl();
    if (script.isLocalFile()) {
        // Read without blocking, as the loop reports it readable: a file that never ends cannot stall the thread.
        m_PACFileDescriptor = ::open(QFile::encodeName(script.toLocalFile()).constData(), O_RDONLY | O_NONBLOCK);
        if (m_PACFileDescriptor < 0) {
            startRequest();
            return;
        }
        const std::shared_ptr<ZrRunLoop> loop = ZrRunLoop::current();
        m_runLoop = loop;
        QPointer<ZRHTTPRequest> guard(this);
        loop->watchDescriptor(m_PACFileDescriptor, [guard] {
            if (guard)
                guard->readPACFile();
        });
        m_PACReadTimer = loop->addTimer(timeOutSeconds(), false, [guard] {
            if (guard)
                guard->timeOutPACRead();
        });
        return;
    }
    const QString scheme = script.scheme().toLower();
    if (scheme != "http" && scheme != "https") {
        startRequest();
        return;
    }
    const QSharedPointer<ZRHTTPRequest> download = requestWithURL(script);
    download->setIsPACFileRequest(true);
    download->setTimeOutSeconds(timeOutSeconds());
    if (isSynchronous()) {
        download->startSynchronous();
        if (download->error().isNull() && !download->responseString().isEmpty())
            runPACScript(download->responseString());
        startRequest();
        return;
    }
    m_PACFileRequest = download;
    download->setQueuePriority(4);
    download->setDelegate(this);
    download->setDidFinishSelector("finishedDownloadingPACFile");
    download->setDidFailSelector("finishedDownloadingPACFile");
    // The script may wait behind requests that wait for it: the queue makes room for it, once it
    // is queued, so the room goes to it and not to another waiting request.
    download->startAsynchronous();
    ZrOperationQueue *shared = sharedQueue();
    shared->setMaxConcurrentOperationCount(shared->maxConcurrentOperationCount() + 1);
}

void ZRHTTPRequest::finishedDownloadingPACFile(ZRHTTPRequest *theRequest)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QMutexLocker locker(&m_cancelledLock);
    if (!theRequest || theRequest != m_PACFileRequest.data())
        return;
    if (theRequest->error().isNull() && !theRequest->responseString().isEmpty())
        runPACScript(theRequest->responseString());
    ZrOperationQueue *shared = sharedQueue();
    shared->setMaxConcurrentOperationCount(shared->maxConcurrentOperationCount() - 1);
    m_PACFileRequest.clear();
    startRequest();
}

void ZRHTTPRequest::readPACFile()
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QMutexLocker locker(&m_cancelledLock);
    if (m_PACFileDescriptor < 0)
        return;
    char buffer[PACReadChunk];
    const ssize_t read = ::read(m_PACFileDescriptor, buffer, sizeof buffer);
    if (read > 0)
        m_PACFileData.append(buffer, static_cast<int>(read));
    else if (read == 0)
        finishPACRead(true);
    else if (errno != EAGAIN && errno != EINTR)
        finishPACRead(false);
}

void ZRHTTPRequest::timeOutPACRead()
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QMutexLocker locker(&m_cancelledLock);
    m_PACReadTimer = 0;
    finishPACRead(false);
}

void ZRHTTPRequest::closePACFile()
{
    if (const std::shared_ptr<ZrRunLoop> loop = m_runLoop.lock()) {
        loop->unwatchDescriptor(m_PACFileDescriptor);
        if (m_PACReadTimer != 0)
            loop->removeTimer(m_PACReadTimer);
    }
    m_PACReadTimer = 0;
    ::close(m_PACFileDescriptor);
    m_PACFileDescriptor = -1;
}

void ZRHTTPRequest::finishPACRead(bool atEnd)
{
    if (m_PACFileDescriptor < 0)
        return;
    closePACFile();
    if (atEnd) {
        QTextCodec::ConverterState state;
        QString script = QTextCodec::codecForMib(106)->toUnicode(m_PACFileData.constData(), m_PACFileData.size(),
                                                                 &state);
        if (state.invalidChars > 0)
            script = QString::fromLatin1(m_PACFileData);
        runPACScript(script);
    }
    m_PACFileData.clear();
    startRequest();
}

void ZRHTTPRequest::runPACScript(const QString &script)
{
    if (script.isEmpty())
        return;
    ZrError scriptError;
    const QList<QVariantMap> proxies = ZrPacScript::proxiesForURL(script, url(), timeOutSeconds(), &scriptError);
    if (!scriptError.isNull() || proxies.isEmpty())
        return;
    const QVariantMap first = proxies.first();
    if (first.value(ZrProxySettings::TypeKey).toString() == "None")
        return;
    setProxyHost(first.value(ZrProxySettings::HostKey).toString());
    setProxyPort(first.value(ZrProxySettings::PortKey).toInt());
    setProxyType(first.value(ZrProxySettings::TypeKey).toString());
}

void ZRHTTPRequest::cancelPACLoad()
{
    if (m_PACFileDescriptor >= 0) {
        closePACFile();
        m_PACFileData.clear();
    } else if (m_PACFileRequest) {
        const QSharedPointer<ZRHTTPRequest> download = m_PACFileRequest;
        m_PACFileRequest.clear();
        download->setDelegate(nullptr);
        download->cancel();
        ZrOperationQueue *shared = sharedQueue();
        shared->setMaxConcurrentOperationCount(shared->maxConcurrentOperationCount() - 1);
    }
}
