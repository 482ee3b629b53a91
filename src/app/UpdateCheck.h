#pragma once

#include <QString>

#include <optional>

namespace Lunovex {

// "1.2.300" → 1 × 10,000,000 + 2 × 10,000 + 300, summed in single precision as the version file's
// readers always have (so 1.0.10000 equals 1.1.0); nothing unless the text is three numbers.
std::optional<float> VersionNumber(const QString& text);

// Whether a reply of the version file names a release newer than ours: trimmed, shorter than 21
// characters, three numbers, and strictly greater.
bool IsNewerRelease(const QString& reply, const QString& ownVersion);

} // namespace Lunovex
