#pragma once

#include <QString>

namespace Lunovex {

// A local file's real type from its content, as a lower-case extension without dot ("pdf", "htm",
// "doc", ...), or empty text when it cannot be told. The file is only read: at most 10,240 bytes
// from the start, 128 from the end, and the whole file only when it is under 3 KB.
QString 打开文件判断文件类型(const QString& path);

// Whether a PDF file is whole, as far as two small reads can tell: it starts with "%PDF-" and an
// end-of-file marker "%%EOF" stands within its last 1,024 bytes (an incrementally updated PDF ends
// with its last update's marker). A cut-off or preview file fails.
bool IsWholePdf(const QString& path);

} // namespace Lunovex
