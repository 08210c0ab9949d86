// Response headers, redirects, text encodings, the body in memory or in a file, cached responses.
#include "support/zrhttprequest.h"

#include "support/zrcachedelegate.h"
#include "support/zrcookiestorage.h"
#include "support/zrdatadecompressor.h"
#include "support/zrhttpauthentication.h"
#include "support/zrhttpmessage.h"
#include "support/zrhttpstream.h"
#include "support/zrinputstream.h"
#include "support/zrselector.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTextCodec>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char *const CachedStatusKey = "X-ZRHTTPRequest-Response-Status-Code";

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
           && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port() == b.port();
}

// The first byte position of a "Content-Range: bytes first-last/length" value, or -1.
qint64 contentRangeStart(const QString &value)
{
    const QRegularExpressionMatch match = QRegularExpression("^\\s*bytes\\s+(\\d+)-").match(value);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

ZrError moveFailure(const QString &from, const QString &to)
{
    return zrRequestError(ZRFileManagementError, QString("Failed to move file from '%1' to '%2'").arg(from, to),
                          ZrError("NSPOSIXErrorDomain", errno, QString::fromLocal8Bit(std::strerror(errno))));
}

// Replaces the destination in one step, so a failure leaves the old file as it was.
bool moveOver(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

void ZRHTTPRequest::readResponseHeaders()
{
    setAuthenticationNeeded(0);
    if (!m_readStream)
        return;
    const QSharedPointer<ZrHttpMessage> header = m_readStream->responseHeader();
    if (!header->isHeaderComplete())
        return;
    setResponseHeaders(header->allHeaderFields());
    setResponseStatusCode(header->responseStatusCode());
    setResponseStatusMessage(header->responseStatusLine());

    ZRCacheDelegate *cache = downloadCache();
    if (cache && cache->canUseCachedDataForRequest(this)) {
        cache->updateExpiryForRequest(this, secondsToCache());
        useDataFromCache();
        return;
    }

    m_responseHeader = header;
    const int status = header->responseStatusCode();
    if (status == 401 || status == 407) {
        const bool forProxy = status == 407;
        setAuthenticationNeeded(forProxy ? 2 : 1);
        if (const QSharedPointer<ZrHttpAuthentication> &used = forProxy ? m_proxyAuthentication : m_requestAuthentication)
            used->updateFromResponse(*header);
    } else if (!m_requestAuthentication && authenticationScheme() == ZrHttpAuthentication::Basic
               && !username().isEmpty() && !password().isEmpty() && useSessionPersistence() && isOriginalOrigin()) {
        // Credentials sent before any challenge were accepted: later requests may use them too.
        storeAuthenticationCredentialsInSessionStore(
            QVariantMap{{"Credentials", QVariantMap{{ZrHttpAuthentication::UsernameKey, username()},
                                                    {ZrHttpAuthentication::PasswordKey, password()}}},
                        {"URL", url()},
                        {"AuthenticationScheme", ZrHttpAuthentication::Basic}});
    }

    parseStringEncodingFromHeaders();

    const QVariantMap headers = responseHeaders();
    const QUrl here = url();
    const ZRCookieList cookies =
        QNetworkCookie::parseCookies(headers.value("Set-Cookie").toString().toLatin1());
    setResponseCookies(cookies);
    if (useCookiePersistence() && !cookies.isEmpty()) {
        ZrCookieStorage::setCookiesFromUrl(cookies, here);
        for (const QNetworkCookie &cookie : cookies)
            addSessionCookie(cookie);
    }

    if (!willRedirect()) {
        ZRHTTPRequest *target = mainRequest() ? mainRequest() : this;
        const bool measured = showAccurateProgress() && shouldResetDownloadProgress();
        if (headers.contains("Content-Length")) {
            // Decimal only: "010" is ten bytes, not eight.
            bool ok = false;
            const quint64 length = headers.value("Content-Length").toString().trimmed().toULongLong(&ok, 10);
            if (mainRequest() && allowCompressedResponse() && length == 20 && measured) {
                // A HEAD answered with the size of a compressed empty body tells nothing.
                target->setShowAccurateProgress(false);
                target->incrementDownloadSizeBy(1);
            } else {
                target->setContentLength(ok ? length : 0);
                if (measured)
                    target->incrementDownloadSizeBy(
                        static_cast<qint64>(target->contentLength() + target->partialDownloadSize()));
            }
        } else if (measured) {
            target->setShowAccurateProgress(false);
            target->incrementDownloadSizeBy(1);
        }
    }

    if (shouldAttemptPersistentConnection()) {
        const QString connection = headers.value("Connection").toString().toLower();
        if ((header->responseVersion() != "HTTP/1.0" || connection == "keep-alive") && connection != "close") {
            if (!headers.contains("Keep-Alive")) {
                setConnectionCanBeReused(true);
            } else {
                const QString keepAlive = headers.value("Keep-Alive").toString();
                const QRegularExpressionMatch timeout = QRegularExpression("timeout=(\\d+)").match(keepAlive);
                const QRegularExpressionMatch max = QRegularExpression("max=(\\d+)").match(keepAlive);
                if (max.hasMatch() && max.captured(1).toInt() > 5) {
                    setConnectionCanBeReused(true);
                    setPersistentConnectionTimeoutSeconds(timeout.captured(1).toInt());
                }
            }
        }
    }
    requestReceivedResponseHeaders(headers);
}

bool ZRHTTPRequest::willRedirect()
{
    const QVariantMap headers = responseHeaders();
    const int status = responseStatusCode();
    if (!shouldRedirect() || !headers.contains("Location")
        || (status != 301 && status != 302 && status != 303 && status != 307))
        return false;
    requestRedirected();

    if (status == 303 || ((status == 301 || status == 302) && !shouldUseRFC2616RedirectBehaviour())) {
        setRequestMethod("GET");
        setPostBody(QByteArray());
        setPostLength(0);
        QVariantMap kept;
        const QVariantMap sent = requestHeaders();
        for (const char *name : {"User-Agent", "Accept"}) {
            if (sent.contains(name))
                kept.insert(name, sent.value(name));
        }
        setRequestHeaders(kept);
        setHaveBuiltRequestHeaders(false);
        m_redirectKeepsHeaders = false;
    } else {
        m_redirectKeepsHeaders = true;
    }
    setRedirectURL(url().resolved(QUrl(headers.value("Location").toString())).adjusted(QUrl::NormalizePathSegments));
    setNeedsRedirect(true);
    setRequestCookies(ZRCookieList());
    return true;
}

bool ZRHTTPRequest::willAskDelegateToConfirmRedirect()
{
    QMutexLocker locker(&m_cancelledLock);
    const bool delegateAsks = ZrSelector::answers<ZRHTTPRequest *, QUrl>(delegate(), willRedirectSelector());
    const bool queueAsks = ZrSelector::answers<ZRHTTPRequest *, QUrl>(queue(), "requestWillRedirectToURL");
    if (!delegateAsks && !queueAsks)
        return false;
    const QUrl newURL = redirectURL();
    setRedirectURL(QUrl());
    requestWillRedirectToURL(newURL);
    return true;
}

void ZRHTTPRequest::redirectToURL(const QUrl &newURL)
{
    performOnRequestThread([this, newURL] {
        QMutexLocker locker(&m_cancelledLock);
        if (isCancelled() || !error().isNull())
            return;
        setRedirectURL(newURL);
        performRedirect();
    });
}

void ZRHTTPRequest::performRedirect()
{
    QMutexLocker locker(&m_cancelledLock);
    const QUrl previous = url();
    setURL(redirectURL());
    setComplete(true);
    setNeedsRedirect(false);
    setRedirectCount(redirectCount() + 1);
    if (m_redirectKeepsHeaders) {
        // Kept headers must not carry one origin's credentials and cookies to another.
        QVariantMap headers = requestHeaders();
        headers.remove("Cookie");
        if (!sameOrigin(previous, url()))
            headers.remove("Authorization");
        setRequestHeaders(headers);
        applyCookieHeader();
    }
    if (redirectCount() >= 6) {
        failWithError(zrRequestError(ZRTooMuchRedirectionErrorType,
                                     "The request failed because it redirected too many times"));
        return;
    }
    main();
}

void ZRHTTPRequest::parseStringEncodingFromHeaders()
{
    int encoding = defaultResponseEncoding();
    QString mimeType;
    parseMimeType(&mimeType, &encoding, responseHeaders().value("Content-Type").toString());
    setResponseEncoding(encoding);
}

void ZRHTTPRequest::parseMimeType(QString *mimeType, int *stringEncoding, const QString &contentType)
{
    if (contentType.isEmpty())
        return;
    const int semicolon = contentType.indexOf(';');
    if (semicolon <= 0) {
        *mimeType = contentType.trimmed();
        return;
    }
    *mimeType = contentType.left(semicolon).trimmed();
    const int charset = contentType.indexOf("charset=", semicolon);
    if (charset < 0)
        return;
    const QString name = contentType.mid(charset + 8).section(';', 0, 0).trimmed().remove('"');
    if (QTextCodec *codec = QTextCodec::codecForName(name.toLatin1()))
        *stringEncoding = codec->mibEnum();
}

void ZRHTTPRequest::handleBytesAvailable()
{
    if (responseHeaders().isEmpty())
        readResponseHeaders();
    if (complete() || !m_readStream || !m_readStream->hasBytesAvailable())
        return;

    const quint64 announced = contentLength();
    qint64 size = announced > 262144 ? 262144 : announced > 65536 ? 65536 : 16384;
    size = throttledReadLength(size);
    QByteArray buffer(static_cast<int>(size), Qt::Uninitialized);
    const qint64 read = m_readStream->read(buffer.data(), size);
    if (read <= 0)
        return;
    buffer.truncate(static_cast<int>(read));

    QByteArray inflated;
    const bool inflating = isResponseCompressed() && !shouldWaitToInflateCompressedResponses();
    if (inflating) {
        if (!dataDecompressor())
            setDataDecompressor(ZRDataDecompressor::decompressor());
        ZrError inflateError;
        inflated = dataDecompressor()->uncompressBytes(buffer.constData(), buffer.size(), &inflateError);
        if (!inflateError.isNull()) {
            failWithError(inflateError);
            return;
        }
    }
    setTotalBytesRead(totalBytesRead() + static_cast<quint64>(read));
    setLastActivityTime(QDateTime::currentDateTimeUtc());
    incrementBandwidthUsedInLastSecond(static_cast<unsigned long>(read));

    if (needsRedirect() && shouldRedirect() && allowResumeForFileDownloads())
        return;
    const QByteArray &received = inflating ? inflated : buffer;
    bool dataBlockSet;
    {
        QMutexLocker locker(&m_propertyLock);
        dataBlockSet = static_cast<bool>(m_dataReceivedBlock);
    }
    if (dataBlockSet || ZrSelector::answers<ZRHTTPRequest *, QByteArray>(delegate(), didReceiveDataSelector())) {
        passOnReceivedData(received);
        return;
    }
    if (downloadDestinationPath().isEmpty()) {
        QMutexLocker locker(&m_propertyLock);
        m_rawResponseData.append(received);
        return;
    }
    if (!m_fileDownloadOutputStream && !openDownloadFiles())
        return;
    if (m_fileDownloadOutputStream->write(buffer) != buffer.size()
        || (inflating && m_inflatedFileDownloadOutputStream->write(inflated) != inflated.size()))
        failWithError(zrRequestError(ZRFileManagementError,
                                     QString("Failed to write file at path '%1'").arg(temporaryFileDownloadPath())));
}

bool ZRHTTPRequest::openDownloadFiles()
{
    bool append = false;
    if (temporaryFileDownloadPath().isEmpty()) {
        setTemporaryFileDownloadPath(temporaryFilePath());
    } else if (allowResumeForFileDownloads() && requestHeaders().contains("Range")) {
        // Only an answer for exactly the missing part may follow what is on disk; any other
        // answer is the whole resource, or none of it.
        const qint64 start = contentRangeStart(responseHeaders().value("Content-Range").toString());
        if (responseStatusCode() == 206 && start == static_cast<qint64>(partialDownloadSize())) {
            append = true;
        } else {
            ZRHTTPRequest *target = mainRequest() ? mainRequest() : this;
            target->incrementDownloadSizeBy(-static_cast<qint64>(partialDownloadSize()));
            setPartialDownloadSize(0);
        }
    }
    m_fileDownloadOutputStream.reset(new QFile(temporaryFileDownloadPath()));
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate);
    bool opened = m_fileDownloadOutputStream->open(mode);
    if (opened && isResponseCompressed() && !shouldWaitToInflateCompressedResponses()) {
        if (temporaryUncompressedDataDownloadPath().isEmpty())
            setTemporaryUncompressedDataDownloadPath(temporaryFilePath());
        m_inflatedFileDownloadOutputStream.reset(new QFile(temporaryUncompressedDataDownloadPath()));
        opened = m_inflatedFileDownloadOutputStream->open(mode);
    }
    if (!opened)
        failWithError(zrRequestError(ZRFileManagementError,
                                     QString("Failed to write file at path '%1'").arg(temporaryFileDownloadPath())));
    return opened;
}

void ZRHTTPRequest::handleStreamComplete()
{
    stopStatusTimer();
    setDownloadComplete(true);
    if (responseHeaders().isEmpty())
        readResponseHeaders();
    if (complete())
        return;
    {
        QMutexLocker locker(&progressLock());
        setLastBytesSent(totalBytesSent());
        if (m_readStream)
            setTotalBytesSent(static_cast<quint64>(m_readStream->bytesWritten()));
        setComplete(true);
        if (contentLength() == 0)
            setContentLength(totalBytesRead());
        updateProgressIndicators();
        m_postBodyReadStream.reset();
        setDataDecompressor(QSharedPointer<ZRDataDecompressor>());
    }
    // A body made by the request is kept while another leg of the exchange still needs it.
    if (didCreateTemporaryPostDataFile() && !authenticationNeeded() && !needsRedirect()) {
        removeTemporaryUploadFile();
        removeTemporaryCompressedUploadFile();
        setDidCreateTemporaryPostDataFile(false);
    }

    ZrError fileError;
    if (!temporaryFileDownloadPath().isEmpty()) {
        const bool wroteBody = static_cast<bool>(m_fileDownloadOutputStream);
        m_fileDownloadOutputStream.reset();
        m_inflatedFileDownloadOutputStream.reset();
        if (!wroteBody && allowResumeForFileDownloads() && requestHeaders().contains("Range")
            && responseStatusCode() != 206) {
            // Not the missing part: the partial file is not part of this answer.
            QFile(temporaryFileDownloadPath()).resize(0);
        }
        if (!(shouldRedirect() && needsRedirect() && allowResumeForFileDownloads())) {
            const QString destination = downloadDestinationPath();
            if (!isResponseCompressed()) {
                if (moveOver(temporaryFileDownloadPath(), destination))
                    setTemporaryFileDownloadPath(QString());
                else
                    fileError = moveFailure(temporaryFileDownloadPath(), destination);
            } else if (!shouldWaitToInflateCompressedResponses()) {
                if (moveOver(temporaryUncompressedDataDownloadPath(), destination))
                    setTemporaryUncompressedDataDownloadPath(QString());
                else
                    fileError = moveFailure(temporaryUncompressedDataDownloadPath(), destination);
                removeTemporaryDownloadFile();
            } else {
                const QString inflatedPath = temporaryFilePath();
                if (!ZRDataDecompressor::uncompressDataFromFile(temporaryFileDownloadPath(), inflatedPath,
                                                                &fileError)) {
                    QFile::remove(inflatedPath);
                } else if (!moveOver(inflatedPath, destination)) {
                    fileError = moveFailure(inflatedPath, destination);
                    QFile::remove(inflatedPath);
                }
                removeTemporaryDownloadFile();
            }
        }
    }

    ZRCacheDelegate *cache = downloadCache();
    if (cache && !didUseCachedResponse())
        cache->storeResponseForRequest(this, secondsToCache());

    releaseConnection();
    if (!authenticationNeeded())
        destroyReadStream();

    if (!needsRedirect() && !authenticationNeeded() && !didUseCachedResponse()) {
        if (!fileError.isNull())
            failWithError(fileError);
        else
            reportFinished();
        markAsFinished();
    }
}

void ZRHTTPRequest::useDataFromCache()
{
    ZRCacheDelegate *cache = downloadCache();
    ZRHTTPRequest *target = mainRequest() ? mainRequest() : this;
    const QUrl here = url();
    const QVariantMap headers = cache ? cache->cachedResponseHeadersForURL(here) : QVariantMap();
    const QString dataPath = cache ? cache->pathToCachedResponseDataForURL(here) : QString();
    if (!headers.isEmpty() && !dataPath.isEmpty()) {
        setResponseStatusCode(headers.value(CachedStatusKey).toInt());
        setDidUseCachedResponse(true);
        setResponseHeaders(headers);
        target->setResponseHeaders(headers);
        if (!target->downloadDestinationPath().isEmpty())
            target->setDownloadDestinationPath(dataPath);
        else
            target->setRawResponseData(cache->cachedResponseDataForURL(here));
        setContentLength(headers.value("Content-Length").toString().toULongLong());
        setTotalBytesRead(contentLength());
        parseStringEncodingFromHeaders();
        setResponseCookies(QNetworkCookie::parseCookies(headers.value("Set-Cookie").toString().toLatin1()));
        if (willRedirect()) {
            if (!willAskDelegateToConfirmRedirect())
                performRedirect();
            return;
        }
    }
    target->setComplete(true);
    target->setDownloadComplete(true);
    if (redirectCount() == 0)
        setOriginalURL(here);
    updateProgressIndicators();
    target->reportFinished();
    target->markAsFinished();
    if (target != this)
        markAsFinished();
}

void ZRHTTPRequest::requestWillRedirectToURL(const QUrl &newURL)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    performOnMainThread([guard, keep, newURL] {
        if (!guard || !guard->error().isNull() || guard->mainRequest())
            return;
        ZRHTTPRequest *request = guard.data();
        ZrSelector::call(request->delegate(), request->willRedirectSelector(), request, newURL);
        ZrSelector::call(request->queue(), "requestWillRedirectToURL", request, newURL);
    });
}

void ZRHTTPRequest::requestRedirected()
{
    report("requestRedirected", &ZRHTTPRequest::m_requestRedirectedBlock, "", true);
}

QDateTime ZRHTTPRequest::expiryDateForRequest(ZRHTTPRequest *request, double maxAge)
{
    const QVariantMap headers = request->responseHeaders();
    if (maxAge == 0) {
        const QString control = headers.value("Cache-Control").toString().toLower();
        const QRegularExpressionMatch match = QRegularExpression("max-age\\s*=\\s*(\\d+)").match(control);
        if (match.hasMatch())
            maxAge = match.captured(1).toDouble();
        if (maxAge == 0) {
            const QString expires = headers.value("Expires").toString();
            return expires.isEmpty() ? QDateTime() : dateFromRFC1123String(expires);
        }
    }
    return QDateTime::currentDateTimeUtc().addMSecs(static_cast<qint64>(maxAge * 1000));
}

QDateTime ZRHTTPRequest::dateFromRFC1123String(const QString &string)
{
    const QString text = string.trimmed();
    QString format = QString("%1dd MMM yyyy HH:mm%2")
                         .arg(text.contains(',') ? "ddd, " : "", text.split(':').size() == 3 ? ":ss" : "");
    // The zone is read by hand: Qt's formats have no RFC 1123 zone name.
    const int zoneAt = text.lastIndexOf(' ');
    QString zone = zoneAt > 0 ? text.mid(zoneAt + 1) : QString();
    QDateTime date = QLocale::c().toDateTime(zoneAt > 0 ? text.left(zoneAt) : text, format);
    if (!date.isValid())
        return QDateTime();
    int offsetSeconds = 0;
    const QRegularExpressionMatch numeric = QRegularExpression("^([+-])(\\d\\d)(\\d\\d)$").match(zone);
    if (numeric.hasMatch())
        offsetSeconds = (numeric.captured(2).toInt() * 3600 + numeric.captured(3).toInt() * 60)
                        * (numeric.captured(1) == "-" ? -1 : 1);
    date.setTimeSpec(Qt::UTC);
    return date.addSecs(-offsetSeconds);
}
