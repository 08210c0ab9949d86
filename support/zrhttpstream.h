#ifndef ZRHTTPSTREAM_H
#define ZRHTTPSTREAM_H

#include "support/zrerror.h"
#include "support/zrrunloop.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

#include <curl/curl.h>

#include <functional>
#include <memory>

class QIODevice;
class ZrHttpMessage;

// The read stream of one HTTP exchange, on a curl easy handle driven by a ZrRunLoop.
// Received bytes wait in the stream until read; receiving pauses while a read's worth
// waits or while the stream is unscheduled, so a reader decides the pace. Events reach the
// client from the loop, only while scheduled.
class ZrHttpStream : public ZrRunLoop::Transfer, public std::enable_shared_from_this<ZrHttpStream>
{
public:
    enum Event { HasBytesAvailable, ErrorOccurred, EndEncountered };

    // The body, when given, is read from the device (not owned) for bodyLength bytes.
    ZrHttpStream(const QSharedPointer<ZrHttpMessage> &message, QIODevice *body, qint64 bodyLength);
    ~ZrHttpStream() override;
    ZrHttpStream(const ZrHttpStream &) = delete;
    ZrHttpStream &operator=(const ZrHttpStream &) = delete;

    // Settings, before open().
    void setValidatesSecureCertificate(bool validates);
    // PEM: the client's certificate followed by its chain, and its key.
    void setClientIdentity(const QByteArray &certificates, const QByteArray &key);
    // "" for a direct connection, else "http://host:port" or "socks5h://host:port".
    void setProxy(const QString &proxy);
    // "user:password" for curl's NTLM exchange with the server or the proxy.
    void setNTLMCredentials(const QString &credentials, bool forProxy);
    void setFreshConnect(bool fresh);
    void setMaxConnectionAge(long seconds);
    // A body that may be large is received a read's worth at a time; others in curl's own
    // smaller pieces, whose buffer costs less to make for every request.
    void setReceivesLargeBody(bool large);

    void setClient(std::function<void(Event)> client);
    bool open(const std::shared_ptr<ZrRunLoop> &loop);
    void close();

    void schedule();
    void unschedule();
    bool isScheduled() const { return m_scheduled; }

    qint64 read(char *data, qint64 maxSize);
    bool hasBytesAvailable() const { return buffered() > 0; }
    qint64 bytesWritten() const { return m_bytesWritten; }
    // Whether any byte of an answer arrived.
    bool receivedAnything() const { return m_receivedAnything; }
    QSharedPointer<ZrHttpMessage> responseHeader() const;
    // The answer a proxy gave to CONNECT, when it refused the tunnel.
    int connectResponseCode() const;
    CURLcode result() const { return m_result; }
    QString errorText() const;
    ZrError streamError() const;
    static bool isSecureTransportError(CURLcode code);

    void transferDone(CURLcode result) override;
    void afterPerform() override;

private:
    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onWrite(char *data, size_t size, size_t count, void *self);
    static size_t onRead(char *data, size_t size, size_t count, void *self);
    static int onSeek(void *self, curl_off_t offset, int origin);
    static int onProgress(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded);
    void resumeIfWaiting();

    // The loop that lent the easy handle; it takes it back.
    std::weak_ptr<ZrRunLoop> m_handleSource;
    CURL *m_easy;
    curl_slist *m_headerList = nullptr;
    curl_slist *m_proxyHeaderList = nullptr;
    QSharedPointer<ZrHttpMessage> m_message;
    QSharedPointer<ZrHttpMessage> m_response;
    QIODevice *m_body;
    std::weak_ptr<ZrRunLoop> m_loop;
    std::function<void(Event)> m_client;
    // Received bytes from m_bufferStart on wait to be read.
    int buffered() const { return m_buffer.size() - m_bufferStart; }
    QByteArray m_buffer;
    int m_bufferStart = 0;
    QByteArray m_certificates;
    QByteArray m_key;
    QByteArray m_proxy;
    QByteArray m_url;
    QByteArray m_method;
    QByteArray m_ntlmCredentials;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
    qint64 m_bytesWritten = 0;
    bool m_scheduled = false;
    bool m_paused = false;
    bool m_inCallback = false;
    bool m_resumePending = false;
    bool m_opened = false;
    bool m_done = false;
    bool m_endDelivered = false;
    bool m_receivedAnything = false;
    CURLcode m_result = CURLE_OK;
};

#endif
