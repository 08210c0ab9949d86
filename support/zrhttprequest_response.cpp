// Response headers, redirects, text encodings, the body in memory or in a file, cached responses.
#include "support/zrhttprequest.h"

#include "support/zrcachedelegate.h"
#include "support/zrcookiestorage.h"
#include "support/zrdatadecompressor.h"
#include "support/zrhttpauthentication.h"
#include "support/zrhttpmessage.h"
#include "support/zrhttpstream.h"
#include "support/zrinputstream.h"
#include "support/zrrunloop.h"
#include "support/zrselector.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTextCodec>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char *const CachedStatusKey = "X-ZRHTTPRequest-Response-Status-Code";
const qint64 CopyChunkSize = 262144;
// Inflating a kept body to check it takes this much of it at a time.
const qint64 CheckSliceSize = 16384;

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

ZrError posixError(int code)
{
    return ZrError("NSPOSIXErrorDomain", code, QString::fromLocal8Bit(std::strerror(code)));
}

// Copies the file to a new one beside the destination and renames that over it, so the
// destination is replaced whole or not at all.
ZrError copyBesideAndRename(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return zrFileError(source);
    QTemporaryFile copy(QFileInfo(to).absoluteDir().filePath(".download-XXXXXX"));
    if (!copy.open())
        return zrFileError(copy);
    QByteArray buffer(static_cast<int>(CopyChunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(buffer.data(), CopyChunkSize);
        if (read < 0)
            return zrFileError(source);
        if (read == 0)
            break;
        if (copy.write(buffer.constData(), read) != read)
            return zrFileError(copy);
    }
    if (!copy.flush())
        return zrFileError(copy);
    copy.setPermissions(source.permissions());
    if (std::rename(QFile::encodeName(copy.fileName()).constData(), QFile::encodeName(to).constData()) != 0)
        return posixError(errno);
    copy.setAutoRemove(false);
    return ZrError();
}

// Moves a finished download over the destination: by rename where both lie on one file
// system, else by a copy. The moved file is gone afterwards either way.
ZrError moveOver(const QString &from, const QString &to)
{
    ZrError cause;
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        cause = errno == EXDEV ? copyBesideAndRename(from, to) : posixError(errno);
        QFile::remove(from);
    }
    if (cause.isNull())
        return ZrError();
    return zrRequestError(ZRFileManagementError, QString("Failed to move file from '%1' to '%2'").arg(from, to),
                          cause);
}

// Writes what the file still buffers; the error when that or an earlier write failed.
ZrError flushed(std::unique_ptr<QFile> &file)
{
    ZrError failure;
    if (file && !file->flush())
        failure = zrRequestError(ZRFileManagementError,
                                 QString("Failed to write file at path '%1'").arg(file->fileName()),
                                 zrFileError(*file));
    file.reset();
    return failure;
}

// Inflates a kept compressed body once, dropping the output, to learn that it is whole, that
// it fits in memory inflated, and that inflating it ends before the deadline.
ZrError checkInflates(const QByteArray &compressed, const QDeadlineTimer &deadline)
{
    ZRDataDecompressor decompressor;
    ZrError failure = decompressor.setupStream();
    qint64 inflated = 0;
    for (qint64 at = 0; failure.isNull() && at < compressed.size() && !decompressor.streamEnded();
         at += CheckSliceSize) {
        if (deadline.hasExpired())
            return zrRequestError(ZRRequestTimedOutErrorType, "The request timed out");
        inflated += decompressor
                        .uncompressBytes(compressed.constData() + at,
                                         std::min<qint64>(CheckSliceSize, compressed.size() - at), &failure)
                        .size();
        if (inflated > ZRDataDecompressor::MaximumDataLength)
            return ZRDataDecompressor::dataTooLargeError();
    }
    if (failure.isNull() && !decompressor.streamEnded())
        failure = ZRDataDecompressor::inflateErrorWithCode(Z_BUF_ERROR);
    return failure;
}

// A "Content-Length" value: decimal only ("010" is ten bytes, not eight); a list of equal
// values, as repeated fields arrive, is one length. None at all is valid and 0.
quint64 contentLengthValue(const QString &field, bool *valid)
{
    *valid = true;
    if (field.isNull())
        return 0;
    quint64 length = 0;
    const QStringList values = field.split(',');
    for (int i = 0; i < values.size(); ++i) {
        bool ok = false;
        const quint64 value = values.at(i).trimmed().toULongLong(&ok, 10);
        if (!ok || (i > 0 && value != length)) {
            *valid = false;
            return 0;
        }
        length = value;
    }
    return length;
}

ZrError bodyTooLargeError()
{
    return zrRequestError(ZRFileManagementError,
                          QString("The response is larger than %1 bytes, the most that can be kept in memory")
                              .arg(ZRDataDecompressor::MaximumDataLength));
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
    bool lengthValid = true;
    const quint64 length = contentLengthValue(headers.value("Content-Length").toString(), &lengthValid);
    if (!lengthValid) {
        // curl refuses a length that is no number, but reads one too large for 64 bits to the
        // end of the connection: a body whose end cannot be known is no answer.
        cancelLoad();
        failWithError(zrRequestError(
            ZRConnectionFailureErrorType, "A connection failure occurred",
            ZrError("NSURLErrorDomain", -1017,
                    QString("Invalid Content-Length: %1").arg(headers.value("Content-Length").toString()))));
        return;
    }
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
            if (mainRequest() && allowCompressedResponse() && length == 20 && measured) {
                // A HEAD answered with the size of a compressed empty body tells nothing.
                target->setShowAccurateProgress(false);
                target->incrementDownloadSizeBy(1);
            } else {
                target->setContentLength(length);
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
    // Every read of the request goes to one buffer: a new one each time would be faulted in
    // anew. What is kept past this call is copied.
    if (m_readBuffer.size() < size)
        m_readBuffer.resize(static_cast<int>(size));
    const qint64 read = m_readStream->read(m_readBuffer.data(), size);
    if (read <= 0)
        return;
    const QByteArray buffer = QByteArray::fromRawData(m_readBuffer.constData(), static_cast<int>(read));

    QByteArray inflated;
    const bool inflating = isResponseCompressed() && !shouldWaitToInflateCompressedResponses();
    if (inflating) {
        if (!dataDecompressor())
            setDataDecompressor(ZRDataDecompressor::decompressor());
        ZrError inflateError;
        inflated = dataDecompressor()->uncompressBytes(buffer.constData(), buffer.size(), &inflateError);
        if (!inflateError.isNull()) {
            cancelLoad();
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
        passOnReceivedData(inflating ? inflated : QByteArray(buffer.constData(), buffer.size()));
        return;
    }
    if (downloadDestinationPath().isEmpty()) {
        QMutexLocker locker(&m_propertyLock);
        if (m_rawResponseData.size() + static_cast<qint64>(received.size()) <= ZRDataDecompressor::MaximumDataLength) {
            m_rawResponseData.append(received);
            return;
        }
        locker.unlock();
        cancelLoad();
        failWithError(inflating ? ZRDataDecompressor::dataTooLargeError() : bodyTooLargeError());
        return;
    }
    if (!m_fileDownloadOutputStream && !openDownloadFiles())
        return;
    QFile *failed = nullptr;
    if (m_fileDownloadOutputStream->write(buffer) != buffer.size())
        failed = m_fileDownloadOutputStream.get();
    else if (inflating && m_inflatedFileDownloadOutputStream->write(inflated) != inflated.size())
        failed = m_inflatedFileDownloadOutputStream.get();
    if (failed) {
        const ZrError writeError = zrRequestError(
            ZRFileManagementError, QString("Failed to write file at path '%1'").arg(failed->fileName()),
            zrFileError(*failed));
        cancelLoad();
        failWithError(writeError);
    }
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
    ZrError bodyError;
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
        if (dataDecompressor() && !dataDecompressor()->streamEnded())
            bodyError = ZRDataDecompressor::inflateErrorWithCode(Z_BUF_ERROR);
        setDataDecompressor(QSharedPointer<ZRDataDecompressor>());
    }
    // Only the final answer's body counts; a redirect's or a challenge's is dropped anyway.
    const bool finalAnswer = !needsRedirect() && !authenticationNeeded() && !didUseCachedResponse();
    if (!finalAnswer)
        bodyError = ZrError();
    // Inflating runs after the last byte came, within the request's time-out.
    const QDeadlineTimer inflatingDeadline =
        timeOutSeconds() > 0 ? QDeadlineTimer(static_cast<qint64>(timeOutSeconds() * 1000)
                                              - lastActivityTime().msecsTo(QDateTime::currentDateTimeUtc()))
                             : QDeadlineTimer(QDeadlineTimer::Forever);
    if (finalAnswer && bodyError.isNull() && isResponseCompressed() && shouldWaitToInflateCompressedResponses()
        && downloadDestinationPath().isEmpty() && !rawResponseData().isEmpty()) {
        bodyError = checkInflates(rawResponseData(), inflatingDeadline);
        if (bodyError == ZRDataDecompressor::dataTooLargeError())
            setRawResponseData(QByteArray());
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
        fileError = flushed(m_fileDownloadOutputStream);
        const ZrError inflatedError = flushed(m_inflatedFileDownloadOutputStream);
        if (fileError.isNull())
            fileError = inflatedError;
        if (!wroteBody && allowResumeForFileDownloads() && requestHeaders().contains("Range")
            && responseStatusCode() != 206) {
            // Not the missing part: the partial file is not part of this answer.
            QFile(temporaryFileDownloadPath()).resize(0);
        }
        if (!fileError.isNull() || !bodyError.isNull()) {
            // A file that did not reach the disk whole never replaces the destination.
            if (!allowResumeForFileDownloads())
                removeTemporaryDownloadFile();
            removeTemporaryUncompressedDownloadFile();
        } else if (!(shouldRedirect() && needsRedirect() && allowResumeForFileDownloads())) {
            const QString destination = downloadDestinationPath();
            if (!isResponseCompressed()) {
                fileError = moveOver(temporaryFileDownloadPath(), destination);
                setTemporaryFileDownloadPath(QString());
            } else if (!shouldWaitToInflateCompressedResponses()) {
                fileError = moveOver(temporaryUncompressedDataDownloadPath(), destination);
                setTemporaryUncompressedDataDownloadPath(QString());
                removeTemporaryDownloadFile();
            } else {
                const QString inflatedPath = temporaryFilePath();
                if (ZRDataDecompressor::uncompressDataFromFile(temporaryFileDownloadPath(), inflatedPath,
                                                               &fileError, inflatingDeadline))
                    fileError = moveOver(inflatedPath, destination);
                else
                    QFile::remove(inflatedPath);
                removeTemporaryDownloadFile();
            }
        }
    }
    if (fileError.isNull())
        fileError = bodyError;

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
    ZrRunLoop::performOnMainThread([guard, keep, newURL] {
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
