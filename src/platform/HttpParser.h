#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace Lunovex {

// Reads one HTTP/1.x response as it comes off the connection: the status line, the header lines,
// then the body framed by its Content-Length, by chunks, or by the end of the connection.
//
// It knows exactly where a body ends, which is the point of it: a body shorter than its length, or
// a chunked body whose last chunk never came, is cut short however the connection ended. A body
// framed by the connection's end has no such mark; a close and a reset end it alike.
//
// Every byte is looked at once (a line is searched from where the last search stopped), and what a
// server may make long is bounded: the status line and headers together, a chunk-size line, the
// trailer. Nothing recurses.
class HttpParser
{
public:
    enum class Phase { StatusLine, Headers, Body, Done, Failed };

    // A response to HEAD has no body, whatever its headers say.
    explicit HttpParser(bool headRequest = false) : headRequest_(headRequest) {}

    // Takes the next bytes of the connection; body bytes are appended to *body. Bytes after the end
    // of the response are ignored.
    void feed(const char* data, qsizetype size, QByteArray* body);
    // The connection has ended: a body framed by the end is done; anything else unfinished failed.
    void endOfStream();

    Phase phase() const { return phase_; }
    bool headersComplete() const { return phase_ == Phase::Body || phase_ == Phase::Done; }
    bool done() const { return phase_ == Phase::Done; }
    bool failed() const { return phase_ == Phase::Failed; }
    QString error() const { return error_; }

    QByteArray version() const { return version_; } // "HTTP/1.1"
    int status() const { return status_; }
    QByteArray reason() const { return reason_; }
    const QList<QPair<QByteArray, QByteArray>>& headers() const { return headers_; }
    // The first header of that name (case-insensitive), empty when there is none.
    QByteArray header(const QByteArray& name) const;
    // The announced length, -1 when the body is chunked or framed by the connection's end.
    qint64 contentLength() const { return contentLength_; }
    bool chunked() const { return chunked_; }
    // Body bytes taken so far (after chunk framing is removed).
    qint64 bodyBytes() const { return bodyBytes_; }

    static constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
    static constexpr qsizetype kMaxChunkLineBytes = 1024;

private:
    enum class BodyPhase { Length, UntilClose, ChunkSize, ChunkData, ChunkDataEnd, Trailer };

    // The next line (without CR LF) when one is complete, consuming the bytes it used.
    bool takeLine(const char*& data, const char* end, qsizetype limit, QByteArray* line);
    void statusLine(const QByteArray& line);
    void headerLine(const QByteArray& line);
    void headersDone();
    void bodyBytes(const char*& data, const char* end, QByteArray* body);
    void fail(const QString& why);

    bool headRequest_;
    Phase phase_ = Phase::StatusLine;
    BodyPhase body_ = BodyPhase::UntilClose;
    QByteArray line_; // a line not yet complete
    qsizetype headerBytes_ = 0;
    QString error_;

    QByteArray version_;
    int status_ = 0;
    QByteArray reason_;
    QList<QPair<QByteArray, QByteArray>> headers_;
    qint64 contentLength_ = -1;
    bool chunked_ = false;
    qint64 remaining_ = 0; // of the length or of the current chunk
    qint64 bodyBytes_ = 0;
};

} // namespace Lunovex
