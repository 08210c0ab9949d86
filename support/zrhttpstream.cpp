#include "support/zrhttpstream.h"

#include "support/zrhttpmessage.h"

#include <QIODevice>

namespace {

// The largest read a request makes: receiving stops once that much waits unread, and a large
// body is received that much at a time.
const qint64 ReadAhead = 262144;
// curl's largest upload buffer.
const qint64 LargeUpload = 2097152;

} // namespace

ZrHttpStream::ZrHttpStream(const QSharedPointer<ZrHttpMessage> &message, QIODevice *body, qint64 bodyLength)
    : m_handleSource(ZrRunLoop::current()), m_easy(ZrRunLoop::current()->takeEasyHandle()), m_message(message),
      m_response(ZrHttpMessage::createEmptyResponse()), m_body(body)
{
    m_url = message->url().toEncoded();
    m_method = message->method().toLatin1();
    curl_easy_setopt(m_easy, CURLOPT_URL, m_url.constData());
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(m_easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(m_easy, CURLOPT_HTTP_TRANSFER_DECODING, 1L);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_PROXY, "");
    curl_easy_setopt(m_easy, CURLOPT_HTTP_VERSION,
                     message->isVersionOne() ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(m_easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &ZrHttpStream::onHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &ZrHttpStream::onWrite);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFOFUNCTION, &ZrHttpStream::onProgress);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFODATA, this);

    bool hasContentType = false;
    for (const QPair<QString, QString> &field : message->headerFields()) {
        hasContentType = hasContentType || field.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
        const QByteArray line = field.first.toLatin1() + ": " + field.second.toLatin1();
        // Proxy credentials reach only the proxy: on its requests, or on the CONNECT of a tunnel.
        if (field.first.compare("Proxy-Authorization", Qt::CaseInsensitive) == 0)
            m_proxyHeaderList = curl_slist_append(m_proxyHeaderList, line.constData());
        else
            m_headerList = curl_slist_append(m_headerList, line.constData());
    }
    curl_easy_setopt(m_easy, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
    curl_easy_setopt(m_easy, CURLOPT_PROXYHEADER, m_proxyHeaderList);
    // Never "Expect: 100-continue", and no content type the caller did not choose.
    m_headerList = curl_slist_append(m_headerList, "Expect:");

    if (body && bodyLength > 0) {
        if (!hasContentType)
            m_headerList = curl_slist_append(m_headerList, "Content-Type:");
        curl_easy_setopt(m_easy, CURLOPT_POST, 1L);
        curl_easy_setopt(m_easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodyLength));
        // A large body goes out in large pieces: fewer reads and sends.
        if (bodyLength > LargeUpload)
            curl_easy_setopt(m_easy, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(LargeUpload));
        curl_easy_setopt(m_easy, CURLOPT_READFUNCTION, &ZrHttpStream::onRead);
        curl_easy_setopt(m_easy, CURLOPT_READDATA, this);
        // A body sent again (a connection that died under it, an authentication round) starts over.
        curl_easy_setopt(m_easy, CURLOPT_SEEKFUNCTION, &ZrHttpStream::onSeek);
        curl_easy_setopt(m_easy, CURLOPT_SEEKDATA, this);
        if (m_method != "POST")
            curl_easy_setopt(m_easy, CURLOPT_CUSTOMREQUEST, m_method.constData());
    } else if (m_method == "HEAD") {
        curl_easy_setopt(m_easy, CURLOPT_NOBODY, 1L);
    } else if (m_method != "GET") {
        curl_easy_setopt(m_easy, CURLOPT_CUSTOMREQUEST, m_method.constData());
    }
    curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headerList);
}

ZrHttpStream::~ZrHttpStream()
{
    close();
    if (const std::shared_ptr<ZrRunLoop> source = m_handleSource.lock())
        source->giveBackEasyHandle(m_easy);
    else
        curl_easy_cleanup(m_easy);
    curl_slist_free_all(m_headerList);
    curl_slist_free_all(m_proxyHeaderList);
}

void ZrHttpStream::setValidatesSecureCertificate(bool validates)
{
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYPEER, validates ? 1L : 0L);
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYHOST, validates ? 2L : 0L);
}

void ZrHttpStream::setClientIdentity(const QByteArray &certificates, const QByteArray &key)
{
    m_certificates = certificates;
    m_key = key;
    curl_blob certificateBlob{m_certificates.data(), static_cast<size_t>(m_certificates.size()), CURL_BLOB_NOCOPY};
    curl_blob keyBlob{m_key.data(), static_cast<size_t>(m_key.size()), CURL_BLOB_NOCOPY};
    curl_easy_setopt(m_easy, CURLOPT_SSLCERTTYPE, "PEM");
    curl_easy_setopt(m_easy, CURLOPT_SSLCERT_BLOB, &certificateBlob);
    curl_easy_setopt(m_easy, CURLOPT_SSLKEYTYPE, "PEM");
    curl_easy_setopt(m_easy, CURLOPT_SSLKEY_BLOB, &keyBlob);
}

void ZrHttpStream::setProxy(const QString &proxy)
{
    m_proxy = proxy.toLatin1();
    curl_easy_setopt(m_easy, CURLOPT_PROXY, m_proxy.constData());
}

void ZrHttpStream::setNTLMCredentials(const QString &credentials, bool forProxy)
{
    m_ntlmCredentials = credentials.toUtf8();
    curl_easy_setopt(m_easy, forProxy ? CURLOPT_PROXYAUTH : CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_NTLM));
    curl_easy_setopt(m_easy, forProxy ? CURLOPT_PROXYUSERPWD : CURLOPT_USERPWD, m_ntlmCredentials.constData());
}

void ZrHttpStream::setFreshConnect(bool fresh)
{
    curl_easy_setopt(m_easy, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
}

void ZrHttpStream::setMaxConnectionAge(long seconds)
{
    curl_easy_setopt(m_easy, CURLOPT_MAXAGE_CONN, seconds);
}

void ZrHttpStream::setReceivesLargeBody(bool large)
{
    curl_easy_setopt(m_easy, CURLOPT_BUFFERSIZE, large ? static_cast<long>(ReadAhead) : 0L);
}

void ZrHttpStream::setClient(std::function<void(Event)> client)
{
    m_client = std::move(client);
}

bool ZrHttpStream::open(const std::shared_ptr<ZrRunLoop> &loop)
{
    if (m_opened || !loop || !loop->addTransfer(m_easy, this))
        return false;
    m_loop = loop;
    m_opened = true;
    return true;
}

void ZrHttpStream::close()
{
    m_client = nullptr;
    if (!m_opened)
        return;
    m_opened = false;
    if (std::shared_ptr<ZrRunLoop> loop = m_loop.lock())
        loop->removeTransfer(m_easy);
}

void ZrHttpStream::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    m_paused = true;
    resumeIfWaiting();
}

// The callbacks pause the transfer while unscheduled: sending and receiving both stop.
void ZrHttpStream::unschedule()
{
    m_scheduled = false;
}

qint64 ZrHttpStream::read(char *data, qint64 maxSize)
{
    const qint64 length = qMin<qint64>(maxSize, buffered());
    if (length > 0) {
        memcpy(data, m_buffer.constData() + m_bufferStart, static_cast<size_t>(length));
        m_bufferStart += static_cast<int>(length);
        // Drained: the reserved memory stays for the next bytes.
        if (m_bufferStart == m_buffer.size()) {
            m_buffer.resize(0);
            m_bufferStart = 0;
        }
    }
    if (buffered() < ReadAhead)
        resumeIfWaiting();
    return length;
}

void ZrHttpStream::resumeIfWaiting()
{
    if (!m_paused || !m_scheduled || !m_opened || m_done)
        return;
    // Inside one of curl's callbacks the transfer is resumed after the pass instead.
    if (m_inCallback) {
        m_resumePending = true;
        return;
    }
    m_paused = false;
    curl_easy_pause(m_easy, CURLPAUSE_CONT);
}

QSharedPointer<ZrHttpMessage> ZrHttpStream::responseHeader() const
{
    return QSharedPointer<ZrHttpMessage>(new ZrHttpMessage(*m_response));
}

int ZrHttpStream::connectResponseCode() const
{
    long code = 0;
    curl_easy_getinfo(m_easy, CURLINFO_HTTP_CONNECTCODE, &code);
    return static_cast<int>(code);
}

QString ZrHttpStream::errorText() const
{
    const QString text = QString::fromLocal8Bit(m_errorBuffer);
    return text.isEmpty() ? QString::fromLatin1(curl_easy_strerror(m_result)) : text;
}

ZrError ZrHttpStream::streamError() const
{
    if (m_result == CURLE_OK)
        return ZrError();
    return ZrError("CURLErrorDomain", static_cast<int>(m_result), errorText());
}

bool ZrHttpStream::isSecureTransportError(CURLcode code)
{
    switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_USE_SSL_FAILED:
        return true;
    default:
        return false;
    }
}

void ZrHttpStream::transferDone(CURLcode result)
{
    m_done = true;
    m_result = result;
}

void ZrHttpStream::afterPerform()
{
    // The client may drop the stream while it handles an event.
    const std::shared_ptr<ZrHttpStream> self = shared_from_this();
    if (m_resumePending) {
        m_resumePending = false;
        resumeIfWaiting();
    }
    while (m_scheduled && m_client && buffered() > 0) {
        const int before = buffered();
        m_client(HasBytesAvailable);
        if (buffered() == before)
            break;
    }
    if (m_done && !m_endDelivered && m_scheduled && m_client && buffered() == 0) {
        m_endDelivered = true;
        m_client(m_result == CURLE_OK ? EndEncountered : ErrorOccurred);
    }
}

size_t ZrHttpStream::onHeader(char *data, size_t size, size_t count, void *self)
{
    ZrHttpStream *stream = static_cast<ZrHttpStream *>(self);
    stream->m_receivedAnything = true;
    stream->m_response->appendHeaderLine(QByteArray(data, static_cast<int>(size * count)));
    return size * count;
}

size_t ZrHttpStream::onWrite(char *data, size_t size, size_t count, void *self)
{
    ZrHttpStream *stream = static_cast<ZrHttpStream *>(self);
    stream->m_receivedAnything = true;
    // Bytes wait until read; while a read's worth waits, and while unscheduled, curl stops receiving.
    QByteArray &buffer = stream->m_buffer;
    if (!stream->m_scheduled || stream->buffered() >= ReadAhead) {
        stream->m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    const int length = static_cast<int>(size * count);
    // What was read is dropped from the front only when the bytes would not fit behind it.
    if (stream->m_bufferStart > 0 && buffer.capacity() < buffer.size() + length) {
        buffer.remove(0, stream->m_bufferStart);
        stream->m_bufferStart = 0;
    }
    // Reserved memory stays when the buffer is drained: memory given back and taken again
    // would be faulted in anew for every read.
    if (buffer.capacity() < buffer.size() + length)
        buffer.reserve(buffer.size() + length);
    buffer.append(data, length);
    return size * count;
}

size_t ZrHttpStream::onRead(char *data, size_t size, size_t count, void *self)
{
    ZrHttpStream *stream = static_cast<ZrHttpStream *>(self);
    if (!stream->m_scheduled) {
        stream->m_paused = true;
        return CURL_READFUNC_PAUSE;
    }
    stream->m_inCallback = true;
    const qint64 read = stream->m_body->read(data, static_cast<qint64>(size * count));
    stream->m_inCallback = false;
    return read < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(read);
}

int ZrHttpStream::onSeek(void *self, curl_off_t offset, int origin)
{
    QIODevice *body = static_cast<ZrHttpStream *>(self)->m_body;
    if (origin != SEEK_SET || body->isSequential())
        return CURL_SEEKFUNC_CANTSEEK;
    return body->seek(static_cast<qint64>(offset)) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

int ZrHttpStream::onProgress(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded)
{
    static_cast<ZrHttpStream *>(self)->m_bytesWritten = static_cast<qint64>(uploaded);
    return 0;
}
