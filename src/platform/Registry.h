#pragma once

#include <QString>

#include <optional>

namespace Lunovex {

// The system registry as this platform has it: keys under the predefined roots, each seen in a
// 32-bit and a 64-bit view that are kept apart, holding DWORD and string values. Keys are opened,
// never created; the keys a Windows system has from the start (the browser feature-control key the
// emulation level lives under, and the system's version key) exist in both views.
//
// Kept in an INI file in the per-user config folder (one section per view and key). A file that
// cannot be read reads as empty, and a write that cannot be stored fails quietly.
namespace Registry {

enum class View { Bits32, Bits64 };

// The access masks keys are opened with: the six basic key rights and READ_CONTROL, plus
// KEY_WOW64_64KEY in the 64-bit view.
constexpr quint32 kAccess32 = 0x2003F;
constexpr quint32 kAccess64 = 0x2013F;

// Whether the key (root name such as "HKEY_LOCAL_MACHINE", subkey "SOFTWARE\\…") exists in the view.
bool keyExists(View view, const QString& root, const QString& subkey);

// Each opens the existing key in the view, does one thing and closes it; empty / false when the key
// does not exist, the value is missing or of another type, or the store cannot be written.
std::optional<quint32> readDword(View view, const QString& root, const QString& subkey, const QString& name);
std::optional<QString> readString(View view, const QString& root, const QString& subkey, const QString& name);
bool writeDword(View view, const QString& root, const QString& subkey, const QString& name, quint32 value);
bool writeString(View view, const QString& root, const QString& subkey, const QString& name,
                 const QString& value);
// True when the key could be opened, whether or not the value was there.
bool deleteValue(View view, const QString& root, const QString& subkey, const QString& name);

// The access mask of the last key opened (0 before any), for tests.
quint32 lastAccessMask();
// The file the registry is kept in.
QString storePath();

} // namespace Registry

} // namespace Lunovex
