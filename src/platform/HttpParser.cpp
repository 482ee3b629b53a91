#include "platform/HttpParser.h"

#include <cstring>

namespace Lunovex {

namespace {

bool isDigits(const QByteArray& text)
{
    if (text.isEmpty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "1a2b; name=value" → 0x1a2b; -1 when the line does not start with a size.
qint64 chunkSize(const QByteArray& line)
{
    qint64 size = 0;
    int digits = 0;
    qsizetype i = 0;
    for (; i < line.size() && hexValue(line[i]) >= 0; ++i) {
        if (++digits > 15) return -1; // more than any body, and more than a qint64 holds
        size = size * 16 + hexValue(line[i]);
    }
    if (digits == 0) return -1;
    for (; i < line.size(); ++i) {
        if (line[i] == ';') break;
        if (line[i] != ' ' && line[i] != '\t') return -1;
    }
    return size;
}

} // namespace

QByteArray HttpParser::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers_)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

void HttpParser::fail(const QString& why)
{
    if (phase_ == Phase::Failed || phase_ == Phase::Done) return;
    phase_ = Phase::Failed;
    error_ = why;
}

bool HttpParser::takeLine(const char*& data, const char* end, qsizetype limit, QByteArray* line)
{
    const char* newline = static_cast<const char*>(std::memchr(data, '\n', size_t(end - data)));
    const char* stop = newline ? newline : end;
    if (line_.size() + (stop - data) > limit) {
        fail(QStringLiteral("a header or chunk line is too long"));
        return false;
    }
    line_.append(data, stop - data);
    data = newline ? newline + 1 : end;
    if (!newline) return false;
    if (line_.endsWith('\r')) line_.chop(1);
    *line = std::move(line_);
    line_.clear();
    return true;
}

void HttpParser::feed(const char* data, qsizetype size, QByteArray* body)
{
    const char* end = data + size;
    while (data < end && phase_ != Phase::Done && phase_ != Phase::Failed) {
        if (phase_ == Phase::Body && body_ != BodyPhase::ChunkSize && body_ != BodyPhase::ChunkDataEnd &&
            body_ != BodyPhase::Trailer) {
            bodyBytes(data, end, body);
            continue;
        }
        const bool inHead = phase_ != Phase::Body;
        const qsizetype limit =
            inHead || body_ == BodyPhase::Trailer ? kMaxHeaderBytes - headerBytes_ : kMaxChunkLineBytes;
        QByteArray line;
        if (!takeLine(data, end, limit, &line)) continue;
        if (inHead || body_ == BodyPhase::Trailer) headerBytes_ += line.size() + 1;

        if (phase_ == Phase::StatusLine) {
            statusLine(line);
        } else if (phase_ == Phase::Headers) {
            if (line.isEmpty())
                headersDone();
            else
                headerLine(line);
        } else if (body_ == BodyPhase::ChunkSize) {
            const qint64 n = chunkSize(line);
            if (n < 0) {
                fail(QStringLiteral("a chunk has no size"));
            } else if (n == 0) {
                body_ = BodyPhase::Trailer;
            } else {
                remaining_ = n;
                body_ = BodyPhase::ChunkData;
            }
        } else if (body_ == BodyPhase::ChunkDataEnd) {
            if (!line.isEmpty())
                fail(QStringLiteral("a chunk is longer than its size"));
            else
                body_ = BodyPhase::ChunkSize;
        } else if (line.isEmpty()) { // the end of the trailer, and of the body
            phase_ = Phase::Done;
        }
    }
}

void HttpParser::statusLine(const QByteArray& line)
{
    // "HTTP/1.1 200 OK"; the reason may be missing or empty.
    const qsizetype space = line.indexOf(' ');
    const QByteArray version = line.left(space);
    const QByteArray code = space < 0 ? QByteArray() : line.mid(space + 1, 3);
    const bool codeEnds =
        space >= 0 && line.size() >= space + 4 && (line.size() == space + 4 || line.at(space + 4) == ' ');
    if (!version.startsWith("HTTP/1.") || version.size() != 8 || !isDigits(code) || !codeEnds) {
        fail(QStringLiteral("the answer is not HTTP"));
        return;
    }
    version_ = version;
    status_ = code.toInt();
    reason_ = line.mid(space + 5).trimmed();
    headers_.clear();
    phase_ = Phase::Headers;
}

void HttpParser::headerLine(const QByteArray& line)
{
    if (line.front() == ' ' || line.front() == '\t') {
        // An obsolete folded line continues the previous value.
        if (headers_.isEmpty()) {
            fail(QStringLiteral("a header line continues nothing"));
            return;
        }
        headers_.last().second += ' ' + line.trimmed();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) {
        fail(QStringLiteral("a header line has no name"));
        return;
    }
    headers_.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
}

void HttpParser::headersDone()
{
    if (status_ >= 100 && status_ < 200) {
        if (status_ == 101) {
            fail(QStringLiteral("the server switched protocols"));
            return;
        }
        phase_ = Phase::StatusLine; // an interim answer; the real one follows
        return;
    }
    phase_ = Phase::Body;
    if (headRequest_ || status_ == 204 || status_ == 304) {
        phase_ = Phase::Done;
        return;
    }
    const QList<QByteArray> codings = header("Transfer-Encoding").toLower().split(',');
    if (!header("Transfer-Encoding").isEmpty()) {
        // Chunked when it is the last coding; any other coding is framed by the end of the connection.
        chunked_ = codings.last().trimmed() == "chunked";
        body_ = chunked_ ? BodyPhase::ChunkSize : BodyPhase::UntilClose;
        return;
    }
    for (const auto& [key, value] : headers_) {
        if (key.compare("Content-Length", Qt::CaseInsensitive) != 0) continue;
        const QByteArray text = value.trimmed();
        if (!isDigits(text) || text.size() > 18 ||
            (contentLength_ >= 0 && contentLength_ != text.toLongLong())) {
            fail(QStringLiteral("the answer's length is not a number"));
            return;
        }
        contentLength_ = text.toLongLong();
    }
    if (contentLength_ == 0) {
        phase_ = Phase::Done;
    } else if (contentLength_ > 0) {
        remaining_ = contentLength_;
        body_ = BodyPhase::Length;
    } else {
        body_ = BodyPhase::UntilClose;
    }
}

void HttpParser::bodyBytes(const char*& data, const char* end, QByteArray* body)
{
    qint64 take = end - data;
    if (body_ != BodyPhase::UntilClose) take = std::min(take, remaining_);
    body->append(data, take);
    data += take;
    bodyBytes_ += take;
    if (body_ == BodyPhase::UntilClose) return;
    remaining_ -= take;
    if (remaining_ > 0) return;
    if (body_ == BodyPhase::Length)
        phase_ = Phase::Done;
    else
        body_ = BodyPhase::ChunkDataEnd;
}

void HttpParser::endOfStream()
{
    if (phase_ == Phase::Body && body_ == BodyPhase::UntilClose) {
        phase_ = Phase::Done;
        return;
    }
    if (phase_ == Phase::StatusLine && headerBytes_ == 0 && line_.isEmpty())
        fail(QStringLiteral("the server closed the connection without an answer"));
    else
        fail(QStringLiteral("the connection ended before the answer did"));
}

} // namespace Lunovex
