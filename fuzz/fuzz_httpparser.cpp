// Answers as a server may send them: the parser never crashes, takes no more body than came, and
// reads an answer the same whether it comes whole or byte by byte.

#include "FuzzCheck.h"

#include "platform/HttpParser.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    using Lunovex::HttpParser;
    const char* bytes = reinterpret_cast<const char*>(data);

    HttpParser whole;
    QByteArray wholeBody;
    whole.feed(bytes, qsizetype(size), &wholeBody);
    HttpParser pieces;
    QByteArray piecesBody;
    for (size_t at = 0; at < size; ++at)
        pieces.feed(bytes + at, 1, &piecesBody);

    FUZZ_CHECK(wholeBody == piecesBody);
    FUZZ_CHECK(whole.phase() == pieces.phase());
    FUZZ_CHECK(whole.status() == pieces.status());
    FUZZ_CHECK(qsizetype(size) >= wholeBody.size());
    FUZZ_CHECK(whole.bodyBytes() == wholeBody.size());
    if (whole.done()) FUZZ_CHECK(whole.headersComplete());

    whole.endOfStream();
    FUZZ_CHECK(whole.done() || whole.failed());
    return 0;
}
