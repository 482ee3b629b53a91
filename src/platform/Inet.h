#pragma once

#include "platform/HttpGet.h"

#include <QByteArray>
#include <QNetworkProxy>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

namespace Lunovex {

// The Internet Transfer control: one HTTP(S) request at a time, its header block, its body read in
// chunks, and a whole-body fetch. Requests run on the event loop; every wait inside serves events.
//
// Both Execute and OpenURL follow redirects (at most Network::kMaxRedirects, never from https to
// http); the header block and the body are the final answer's. Requests carry the browser's user
// agent and the shared cookies; certificates are verified. The transfer is an HttpGet, so a body
// cut short (of its length, or of its last chunk) is a failure, never an end.
class Inet : public QObject
{
    Q_OBJECT

public:
    enum AccessTypes { icUseDefault = 0, icNamedProxy = 2 };
    enum Protocols { icHTTP = 4, icHTTPS = 5 };

    explicit Inet(QObject* parent = nullptr);
    ~Inet() override;

    // Taken at the next request. With icNamedProxy, Proxy is "host:port". RemotePort and Protocol
    // are kept for the caller; the address itself decides where the request goes.
    int AccessType = icUseDefault;
    QString Proxy;
    int RemotePort = 80;
    int Protocol = icHTTP;

    // Starts a request and returns at once. requestHeaders: "Name: value" lines joined by CR LF.
    void Execute(const QString& url, const QString& operation, const QByteArray& inputData = {},
                 const QString& requestHeaders = {});
    // True until the response headers have arrived or the request has ended.
    bool StillExecuting() const;

    // The header block: status line first ("HTTP/1.1 200 OK"), then "Name: value" lines, joined by
    // CR LF. Empty while there is no answer.
    QString GetHeader() const;
    // One header's value, empty when absent.
    QString GetHeader(const QString& name) const;

    // Up to size bytes of the body. Waits (serving events) until data comes, the body ends, or
    // Timing::chunkWait passes; an empty result therefore means "nothing yet" unless TransferEnded().
    QByteArray GetChunk(int size);

    // Fetches a whole body, following redirects; empty when nothing came.
    QByteArray OpenURL(const QString& url);

    // Ends whatever runs; harmless when nothing does.
    void Cancel();

    int ResponseCode() const { return responseCode_; }
    QString ResponseInfo() const { return responseInfo_; }

    // No more body will come: it arrived whole, failed, or was cancelled.
    bool TransferEnded() const;
    // The transfer ended by a transport error (reset, cut short, TLS failure, time-out).
    bool TransferFailed() const;
    // The whole body arrived without error and has been read to its end.
    bool BodyComplete() const;

signals:
    // 0 to 12, as the classic control reports them.
    void StateChanged(int state);

private:
    QNetworkProxy proxy() const;
    HttpGet* start(const QString& url, const QString& operation, const QByteArray& data,
                   const QString& requestHeaders, std::chrono::milliseconds stallTimeout);
    void release();

    QPointer<HttpGet> get_;
    bool finished_ = false;
    bool failed_ = false;
    int responseCode_ = 0;
    QString responseInfo_;
};

} // namespace Lunovex
