#pragma once

#include <QString>

namespace Lunovex {

// The folder the product keeps its own files in (the folder history, the notification sounds):
// the executable's folder when it is writable, else the per-user data folder. No trailing separator.
QString ApplicationFolder();

// Points ApplicationFolder() somewhere else (tests); an empty path restores the rule above.
void SetApplicationFolderOverride(const QString& folder);

} // namespace Lunovex
