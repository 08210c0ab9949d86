// Request body, headers, cookies, user agent and derived requests.
#include "support/zrhttprequest.h"

#include "support/zrcachedelegate.h"
#include "support/zrcookiestorage.h"
#include "support/zrdatacompressor.h"
#include "services/zrcommoninterface.h"
#include "services/zrpropertylist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QUuid>

#include <plist/plist.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const qint64 FileChunkSize = 262144;

struct SessionCookies
{
    QRecursiveMutex lock;
    ZRCookieList cookies;
};

SessionCookies &sessionCookieStore()
{
    static SessionCookies store;
    return store;
}

struct UserAgent
{
    QMutex lock;
    bool made = false;
    QString text;
};

UserAgent &userAgent()
{
    static UserAgent agent;
    return agent;
}


// A string value of the bundle's property list, empty when missing.
QString plistString(plist_t dictionary, const char *key)
{
    plist_t node = dictionary ? plist_dict_get_item(dictionary, key) : nullptr;
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return QString();
    char *value = nullptr;
    plist_get_string_val(node, &value);
    const QString text = QString::fromUtf8(value);
    std::free(value);
    return text;
}

QString makeUserAgent()
{
    QFile info(ZrCommonInterface::getAppInfoFile());
    QByteArray contents;
    if (info.open(QIODevice::ReadOnly))
        contents = info.readAll();
    plist_t root = ZrPropertyList::fromMemory(contents.constData(), size_t(contents.size()));
    QString name = plistString(root, "CFBundleDisplayName");
    if (name.isEmpty())
        name = plistString(root, "CFBundleName");
    const QString shortVersion = plistString(root, "CFBundleShortVersionString");
    const QString build = plistString(root, "CFBundleVersion");
    if (root)
        plist_free(root);
    if (name.isEmpty())
        return QString();
    // Header values go out as Latin-1; this keeps the name's UTF-8 bytes on the wire.
    name = QString::fromLatin1(name.toUtf8());
    QString version = shortVersion.isEmpty() ? build : shortVersion;
    if (!shortVersion.isEmpty() && !build.isEmpty() && shortVersion != build)
        version = QString("%1 rv:%2").arg(shortVersion, build);

    // Numbers the system refuses stay at the marker.
    const uint32_t unknown = UINT32_MAX;
    uint32_t major = unknown, minor = unknown, patch = unknown;
    ZrCommonInterface::SystemVersionInfoValue(major, minor, patch);
    if (major == unknown || minor == unknown || patch == unknown)
        return QString();
    const QString system = QString("%1 %2.%3.%4").arg("Linux").arg(major).arg(minor).arg(patch);
    const QString product = version.isEmpty() ? name : QString("%1 %2").arg(name, version);
    return QString("%1 (%2; %3; %4)").arg(product, "X11", system, QLocale::system().name());
}

enum class KernelCopy { Done, Failed, NotPossible };

// Copies length bytes of the regular file from, starting at offset, to the end of output inside
// the kernel (copy_file_range, else sendfile), leaving from's own position alone; NotPossible
// when neither moved a byte, for the caller's own read loop. *copied counts what arrived.
KernelCopy copyFileInKernel(int from, qint64 offset, qint64 length, QFile &output, qint64 *copied, int *failure)
{
    const int to = output.handle();
    *copied = 0;
    if (from < 0 || to < 0 || !output.flush())
        return KernelCopy::NotPossible;
    const qint64 chunk = qint64(1) << 30;
    bool useSendfile = false;
    off_t position = static_cast<off_t>(offset);
    while (*copied < length) {
        const size_t wanted = static_cast<size_t>(qMin(chunk, length - *copied));
        const ssize_t done = useSendfile ? ::sendfile(to, from, &position, wanted)
                                         : ::copy_file_range(from, &position, to, nullptr, wanted, 0);
        if (done > 0) {
            *copied += done;
            continue;
        }
        if (done == 0)
            break;
        if (errno == EINTR)
            continue;
        const bool unsupported = errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
        if (*copied == 0 && unsupported && !useSendfile) {
            useSendfile = true;
            continue;
        }
        if (*copied == 0 && unsupported)
            return KernelCopy::NotPossible;
        *failure = errno;
        return KernelCopy::Failed;
    }
    // QFile's next writes go to the descriptor's position, past the copy.
    return *copied == 0 && length > 0 ? KernelCopy::NotPossible : KernelCopy::Done;
}

bool isRegularFile(int descriptor, qint64 *size)
{
    struct stat status {};
    if (descriptor < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    *size = static_cast<qint64>(status.st_size);
    return true;
}

ZrError osError(int number)
{
    return ZrError("NSCocoaErrorDomain", QFileDevice::WriteError, QString::fromLocal8Bit(std::strerror(number)));
}

bool hasHeader(const QVariantMap &headers, const QString &name)
{
    for (auto header = headers.constBegin(); header != headers.constEnd(); ++header) {
        if (header.key().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

void ZRHTTPRequest::addRequestHeader(const QString &header, const QString &value)
{
    QMutexLocker locker(&m_propertyLock);
    m_requestHeaders.insert(header, value);
}

QString ZRHTTPRequest::temporaryFilePath() const
{
    for (;;) {
        const QString path =
            QDir::temp().filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (file.exists())
            continue;
        return path;
    }
}

QString ZRHTTPRequest::postBodyFilePath() const
{
    // Whoever asks may read the file: a body still in pieces is written to it first.
    ZRHTTPRequest *self = const_cast<ZRHTTPRequest *>(this);
    const ZrError failure = self->writeBodySegmentsToFile();
    if (!failure.isNull())
        self->failWithError(failure);
    return bodyFilePath();
}

void ZRHTTPRequest::setPostBodyFilePath(const QString &path)
{
    QMutexLocker locker(&m_propertyLock);
    m_postBodyFilePath = path;
}

QString ZRHTTPRequest::bodyFilePath() const
{
    QMutexLocker locker(&m_propertyLock);
    return m_postBodyFilePath;
}

bool ZRHTTPRequest::openPostBodyWriteStream()
{
    const QString path = bodyFilePath();
    m_postBodyWriteStream.reset(new QFile(path));
    // A temporary file made just now is empty: truncating it would only cost a journal entry.
    const QIODevice::OpenMode mode = didCreateTemporaryPostDataFile() && QFileInfo(path).size() == 0
                                         ? QIODevice::WriteOnly
                                         : QIODevice::WriteOnly | QIODevice::Truncate;
    return m_postBodyWriteStream->open(mode);
}

void ZRHTTPRequest::setupPostBody()
{
    if (shouldStreamPostDataFromDisk()) {
        if (bodyFilePath().isEmpty()) {
            setPostBodyFilePath(temporaryFilePath());
            setDidCreateTemporaryPostDataFile(true);
            QMutexLocker locker(&m_bodySegmentsLock);
            m_bodyInSegments = true;
        }
        if (!m_postBodyWriteStream && !bodySegments(nullptr) && !openPostBodyWriteStream())
            failWithError(zrRequestError(ZRFileManagementError,
                                         QString("Failed to write file at path '%1'").arg(bodyFilePath()),
                                         zrFileError(*m_postBodyWriteStream)));
    } else if (postBody().isNull()) {
        setPostBody(QByteArray(""));
    }
}

bool ZRHTTPRequest::appendBodySegment(const ZrSegmentedBody::Segment &segment)
{
    // Small pieces of bytes, such as a form's boundaries, join the piece before them.
    const int JoinLimit = 16384;
    QMutexLocker locker(&m_bodySegmentsLock);
    if (!m_bodyInSegments)
        return false;
    if (!segment.file && !m_bodySegments.isEmpty() && !m_bodySegments.last().file
        && m_bodySegments.last().data.size() < JoinLimit && segment.data.size() < JoinLimit) {
        ZrSegmentedBody::Segment &last = m_bodySegments.last();
        last.data.append(segment.data);
        last.length = last.data.size();
    } else {
        m_bodySegments.append(segment);
    }
    return true;
}

bool ZRHTTPRequest::bodySegments(ZrSegmentedBody::Segments *segments) const
{
    QMutexLocker locker(&m_bodySegmentsLock);
    if (segments)
        *segments = m_bodySegments;
    return m_bodyInSegments;
}

void ZRHTTPRequest::dropBodySegments()
{
    QMutexLocker locker(&m_bodySegmentsLock);
    m_bodyInSegments = false;
    m_bodySegments.clear();
}

ZrError ZRHTTPRequest::writeBodySegmentsToFile()
{
    QMutexLocker locker(&m_bodySegmentsLock);
    if (!m_bodyInSegments)
        return ZrError();
    m_bodyInSegments = false;
    const ZrSegmentedBody::Segments segments = m_bodySegments;
    m_bodySegments.clear();
    const QString path = bodyFilePath();
    const ZrError writeFailure =
        zrRequestError(ZRFileManagementError, QString("Failed to write file at path '%1'").arg(path));
    auto failed = [&](const ZrError &underlying) {
        return ZrError(writeFailure.domain(), writeFailure.code(), writeFailure.localizedDescription(), underlying);
    };
    if (!m_postBodyWriteStream && !openPostBodyWriteStream())
        return failed(zrFileError(*m_postBodyWriteStream));
    QFile &output = *m_postBodyWriteStream;
    QByteArray chunk;
    for (const ZrSegmentedBody::Segment &segment : segments) {
        if (!segment.file) {
            if (output.write(segment.data) != segment.data.size())
                return failed(zrFileError(output));
            continue;
        }
        qint64 copied = 0;
        int failure = 0;
        switch (copyFileInKernel(segment.file->handle(), 0, segment.length, output, &copied, &failure)) {
        case KernelCopy::Failed:
            return failed(osError(failure));
        case KernelCopy::Done:
            break;
        case KernelCopy::NotPossible:
            chunk.resize(static_cast<int>(FileChunkSize));
            while (copied < segment.length) {
                const ssize_t read = ::pread(segment.file->handle(), chunk.data(),
                                             static_cast<size_t>(qMin(FileChunkSize, segment.length - copied)), copied);
                if (read < 0 && errno == EINTR)
                    continue;
                if (read <= 0)
                    break;
                if (output.write(chunk.constData(), read) != read)
                    return failed(zrFileError(output));
                copied += read;
            }
            break;
        }
        if (copied < segment.length)
            return zrRequestError(ZRFileManagementError,
                                  QString("Failed to read file at path '%1'").arg(segment.file->fileName()));
    }
    if (!output.flush())
        return failed(zrFileError(output));
    // Built already: nothing more is appended, and the file is read from now on.
    if (haveBuiltPostBody())
        m_postBodyWriteStream.reset();
    return ZrError();
}

void ZRHTTPRequest::appendPostData(const QByteArray &data)
{
    setupPostBody();
    if (data.isEmpty())
        return;
    if (shouldStreamPostDataFromDisk()) {
        if (appendBodySegment({data, {}, data.size()}))
            return;
        if (m_postBodyWriteStream->isOpen() && m_postBodyWriteStream->write(data) != data.size())
            failWithError(zrRequestError(ZRFileManagementError,
                                         QString("Failed to write file at path '%1'").arg(bodyFilePath()),
                                         zrFileError(*m_postBodyWriteStream)));
    } else {
        QMutexLocker locker(&m_propertyLock);
        m_postBody.append(data);
    }
}

void ZRHTTPRequest::appendPostDataFromFile(const QString &file)
{
    setupPostBody();
    QSharedPointer<QFile> input(new QFile(file));
    const ZrError readFailure =
        zrRequestError(ZRFileManagementError, QString("Failed to read file at path '%1'").arg(file));
    // A body cut short by an unreadable file would go out as if whole.
    if (!input->open(QIODevice::ReadOnly)) {
        failWithError(ZrError(readFailure.domain(), readFailure.code(), readFailure.localizedDescription(),
                              zrFileError(*input)));
        return;
    }
    qint64 size = 0;
    const bool regular = isRegularFile(input->handle(), &size);
    // A regular file is read when the body is sent; it stays open, so it can go away meanwhile.
    if (regular && shouldStreamPostDataFromDisk() && (size == 0 || appendBodySegment({{}, input, size})))
        return;
    if (regular && shouldStreamPostDataFromDisk() && m_postBodyWriteStream && m_postBodyWriteStream->isOpen()) {
        qint64 copied = 0;
        int failure = 0;
        switch (copyFileInKernel(input->handle(), 0, size, *m_postBodyWriteStream, &copied, &failure)) {
        case KernelCopy::Done:
            return;
        case KernelCopy::Failed:
            failWithError(zrRequestError(ZRFileManagementError,
                                         QString("Failed to write file at path '%1'").arg(bodyFilePath()),
                                         osError(failure)));
            return;
        case KernelCopy::NotPossible:
            break;
        }
    }
    for (;;) {
        const QByteArray chunk = input->read(FileChunkSize);
        if (chunk.isEmpty()) {
            if (input->error() != QFileDevice::NoError || !input->atEnd())
                failWithError(ZrError(readFailure.domain(), readFailure.code(), readFailure.localizedDescription(),
                                      zrFileError(*input)));
            return;
        }
        appendPostData(chunk);
    }
}

void ZRHTTPRequest::buildPostBody()
{
    if (haveBuiltPostBody())
        return;
    ZrSegmentedBody::Segments segments;
    bool inSegments = bodySegments(&segments);
    // A compressed body is made from the body file.
    if (inSegments && shouldCompressRequestBody()) {
        const ZrError failure = writeBodySegmentsToFile();
        if (!failure.isNull()) {
            failWithError(failure);
            return;
        }
        inSegments = false;
    }
    if (inSegments) {
        setPostLength(static_cast<quint64>(ZrSegmentedBody::lengthOf(segments)));
    } else if (!bodyFilePath().isEmpty()) {
        // Buffered bytes that never reach the file would leave a short body sent as whole.
        if (m_postBodyWriteStream && m_postBodyWriteStream->isOpen() && !m_postBodyWriteStream->flush()) {
            failWithError(zrRequestError(ZRFileManagementError,
                                         QString("Failed to write file at path '%1'").arg(bodyFilePath()),
                                         zrFileError(*m_postBodyWriteStream)));
            return;
        }
        m_postBodyWriteStream.reset();
        QString measured = bodyFilePath();
        if (shouldCompressRequestBody()) {
            if (compressedPostBodyFilePath().isEmpty()) {
                setCompressedPostBodyFilePath(temporaryFilePath());
                ZrError compressionError;
                if (!ZRDataCompressor::compressDataFromFile(bodyFilePath(), compressedPostBodyFilePath(),
                                                            &compressionError)) {
                    failWithError(compressionError);
                    return;
                }
            }
            measured = compressedPostBodyFilePath();
        }
        QFileInfo info(measured);
        if (!info.isFile()) {
            failWithError(zrRequestError(ZRFileManagementError,
                                         QString("Failed to get attributes for file at path '%1'").arg(measured),
                                         ZrError("NSCocoaErrorDomain", QFileDevice::OpenError,
                                                 "No such file or directory")));
            return;
        }
        setPostLength(static_cast<quint64>(info.size()));
    } else if (shouldCompressRequestBody()) {
        ZrError compressionError;
        const QByteArray compressed = ZRDataCompressor::compressData(postBody(), &compressionError);
        if (!compressionError.isNull()) {
            failWithError(compressionError);
            return;
        }
        setCompressedPostBody(compressed);
        setPostLength(static_cast<quint64>(compressed.size()));
    } else {
        setPostLength(static_cast<quint64>(postBody().size()));
    }

    if (postLength() > 0) {
        const QString method = requestMethod();
        if (method == "GET" || method == "DELETE" || method == "HEAD")
            setRequestMethod("POST");
        addRequestHeader("Content-Length", QString::number(postLength()));
    }
    setHaveBuiltPostBody(true);
}

void ZRHTTPRequest::buildRequestHeaders()
{
    if (haveBuiltRequestHeaders())
        return;
    setHaveBuiltRequestHeaders(true);

    if (ZRHTTPRequest *main = mainRequest()) {
        const QVariantMap headers = main->requestHeaders();
        for (auto header = headers.constBegin(); header != headers.constEnd(); ++header)
            addRequestHeader(header.key(), header.value().toString());
        return;
    }
    applyCookieHeader();

    if (!hasHeader(requestHeaders(), "User-Agent")) {
        QString agent = userAgentString();
        if (agent.isEmpty())
            agent = defaultUserAgentString();
        if (!agent.isEmpty())
            addRequestHeader("User-Agent", agent);
    }
    if (allowCompressedResponse())
        addRequestHeader("Accept-Encoding", "gzip");
    if (shouldCompressRequestBody())
        addRequestHeader("Content-Encoding", "gzip");

    updatePartialDownloadSize();
    if (partialDownloadSize() > 0)
        addRequestHeader("Range", QString("bytes=%1-").arg(partialDownloadSize()));
}

void ZRHTTPRequest::applyCookieHeader()
{
    if (useCookiePersistence()) {
        const ZRCookieList stored = ZrCookieStorage::cookiesForUrl(url());
        if (!stored.isEmpty()) {
            QMutexLocker locker(&m_propertyLock);
            m_requestCookies.append(stored);
        }
    }
    ZRHTTPRequest *main = mainRequest();
    const ZRCookieList cookies = main ? main->requestCookies() : requestCookies();
    if (cookies.isEmpty())
        return;
    QStringList pairs;
    for (const QNetworkCookie &cookie : cookies)
        pairs << QString("%1=%2").arg(QString::fromUtf8(cookie.name()), QString::fromUtf8(cookie.value()));
    addRequestHeader("Cookie", pairs.join("; "));
}

void ZRHTTPRequest::updatePartialDownloadSize()
{
    const QString temporary = temporaryFileDownloadPath();
    if (!allowResumeForFileDownloads() || downloadDestinationPath().isEmpty() || temporary.isEmpty()
        || !QFileInfo::exists(temporary))
        return;
    QFileInfo info(temporary);
    if (!info.isFile()) {
        failWithError(zrRequestError(ZRFileManagementError,
                                     QString("Failed to get attributes for file at path '%1'").arg(temporary)));
        return;
    }
    setPartialDownloadSize(static_cast<quint64>(info.size()));
}

QSharedPointer<ZRHTTPRequest> ZRHTTPRequest::HEADRequest()
{
    QSharedPointer<ZRHTTPRequest> head = newRequestOfSameClass(url());
    head->setMainRequest(this);
    head->setRequestMethod("HEAD");
    head->setRequestHeaders(requestHeaders());
    head->setRequestCookies(requestCookies());
    head->setUseCookiePersistence(useCookiePersistence());
    head->setUseKeychainPersistence(useKeychainPersistence());
    head->setUseSessionPersistence(useSessionPersistence());
    head->setAllowCompressedResponse(allowCompressedResponse());
    head->setUsername(username());
    head->setPassword(password());
    head->setDomain(domain());
    head->setProxyUsername(proxyUsername());
    head->setProxyPassword(proxyPassword());
    head->setProxyDomain(proxyDomain());
    head->setProxyHost(proxyHost());
    head->setProxyPort(proxyPort());
    head->setProxyType(proxyType());
    head->setShouldPresentAuthenticationDialog(shouldPresentAuthenticationDialog());
    head->setShouldPresentProxyAuthenticationDialog(shouldPresentProxyAuthenticationDialog());
    head->setTimeOutSeconds(timeOutSeconds());
    head->setUseHTTPVersionOne(useHTTPVersionOne());
    head->setValidatesSecureCertificate(validatesSecureCertificate());
    {
        QMutexLocker locker(&m_propertyLock);
        head->m_clientIdentity = m_clientIdentity;
    }
    head->setClientCertificates(clientCertificates());
    head->setPACurl(PACurl());
    head->setShouldPresentCredentialsBeforeChallenge(shouldPresentCredentialsBeforeChallenge());
    head->setNumberOfTimesToRetryOnTimeout(numberOfTimesToRetryOnTimeout());
    head->setShouldUseRFC2616RedirectBehaviour(shouldUseRFC2616RedirectBehaviour());
    head->setShouldAttemptPersistentConnection(shouldAttemptPersistentConnection());
    head->setPersistentConnectionTimeoutSeconds(persistentConnectionTimeoutSeconds());
    return head;
}

QSharedPointer<ZRHTTPRequest> ZRHTTPRequest::copyWithZone()
{
    QSharedPointer<ZRHTTPRequest> copy = newRequestOfSameClass(url());
    copy->setDelegate(delegate());
    copy->setRequestMethod(requestMethod());
    copy->setPostBody(postBody());
    copy->setShouldStreamPostDataFromDisk(shouldStreamPostDataFromDisk());
    copy->setPostBodyFilePath(postBodyFilePath());
    copy->setRequestHeaders(requestHeaders());
    copy->setRequestCookies(requestCookies());
    copy->setUseCookiePersistence(useCookiePersistence());
    copy->setUseKeychainPersistence(useKeychainPersistence());
    copy->setUseSessionPersistence(useSessionPersistence());
    copy->setAllowCompressedResponse(allowCompressedResponse());
    copy->setDownloadDestinationPath(downloadDestinationPath());
    copy->setTemporaryFileDownloadPath(temporaryFileDownloadPath());
    copy->setUsername(username());
    copy->setPassword(password());
    copy->setDomain(domain());
    copy->setProxyUsername(proxyUsername());
    copy->setProxyPassword(proxyPassword());
    copy->setProxyDomain(proxyDomain());
    copy->setProxyHost(proxyHost());
    copy->setProxyPort(proxyPort());
    copy->setProxyType(proxyType());
    copy->setUploadProgressDelegate(uploadProgressDelegate());
    copy->setDownloadProgressDelegate(downloadProgressDelegate());
    copy->setShouldPresentAuthenticationDialog(shouldPresentAuthenticationDialog());
    copy->setShouldPresentProxyAuthenticationDialog(shouldPresentProxyAuthenticationDialog());
    copy->setPostLength(postLength());
    copy->setHaveBuiltPostBody(haveBuiltPostBody());
    copy->setDidStartSelector(didStartSelector());
    copy->setDidFinishSelector(didFinishSelector());
    copy->setDidFailSelector(didFailSelector());
    copy->setTimeOutSeconds(timeOutSeconds());
    copy->setShouldResetDownloadProgress(shouldResetDownloadProgress());
    copy->setShouldResetUploadProgress(shouldResetUploadProgress());
    copy->setShowAccurateProgress(showAccurateProgress());
    copy->setDefaultResponseEncoding(defaultResponseEncoding());
    copy->setAllowResumeForFileDownloads(allowResumeForFileDownloads());
    copy->setUserInfo(userInfo());
    copy->setTag(tag());
    copy->setUseHTTPVersionOne(useHTTPVersionOne());
    copy->setShouldRedirect(shouldRedirect());
    copy->setValidatesSecureCertificate(validatesSecureCertificate());
    {
        QMutexLocker locker(&m_propertyLock);
        copy->m_clientIdentity = m_clientIdentity;
    }
    copy->setClientCertificates(clientCertificates());
    copy->setPACurl(PACurl());
    copy->setShouldPresentCredentialsBeforeChallenge(shouldPresentCredentialsBeforeChallenge());
    copy->setNumberOfTimesToRetryOnTimeout(numberOfTimesToRetryOnTimeout());
    copy->setShouldUseRFC2616RedirectBehaviour(shouldUseRFC2616RedirectBehaviour());
    copy->setShouldAttemptPersistentConnection(shouldAttemptPersistentConnection());
    copy->setPersistentConnectionTimeoutSeconds(persistentConnectionTimeoutSeconds());
    copy->setAuthenticationScheme(authenticationScheme());
    return copy;
}

// Session cookies, user agent and MIME types.

ZRCookieList ZRHTTPRequest::sessionCookies()
{
    QMutexLocker locker(&sessionCookieStore().lock);
    return sessionCookieStore().cookies;
}

void ZRHTTPRequest::setSessionCookies(const ZRCookieList &newSessionCookies)
{
    QMutexLocker locker(&sessionCookieStore().lock);
    for (const QNetworkCookie &cookie : qAsConst(sessionCookieStore().cookies))
        ZrCookieStorage::deleteCookie(cookie);
    sessionCookieStore().cookies = newSessionCookies;
}

void ZRHTTPRequest::addSessionCookie(const QNetworkCookie &newCookie)
{
    QMutexLocker locker(&sessionCookieStore().lock);
    ZRCookieList &cookies = sessionCookieStore().cookies;
    for (int i = 0; i < cookies.size(); ++i) {
        const QNetworkCookie &stored = cookies.at(i);
        if (stored.domain() == newCookie.domain() && stored.path() == newCookie.path()
            && stored.name() == newCookie.name()) {
            cookies.removeAt(i);
            break;
        }
    }
    cookies.append(newCookie);
}

void ZRHTTPRequest::clearSession()
{
    clearSessionCredentials();
    setSessionCookies(ZRCookieList());
    if (ZRCacheDelegate *cache = defaultCache())
        cache->clearCachedResponsesForStoragePolicy(0);
}

QString ZRHTTPRequest::defaultUserAgentString()
{
    QMutexLocker locker(&userAgent().lock);
    if (!userAgent().made) {
        userAgent().text = makeUserAgent();
        userAgent().made = true;
    }
    return userAgent().text;
}

void ZRHTTPRequest::setDefaultUserAgentString(const QString &agent)
{
    QMutexLocker locker(&userAgent().lock);
    userAgent().text = agent;
    userAgent().made = true;
}

QString ZRHTTPRequest::mimeTypeForFileAtPath(const QString &path)
{
    if (!QFileInfo::exists(path))
        return QString();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return type.isValid() ? type.name() : QString("application/octet-stream");
}
