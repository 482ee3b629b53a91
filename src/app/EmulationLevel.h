#pragma once

#include <QString>

namespace Lunovex {

// The embedded browser's emulation level, kept as a per-program value under the browser
// feature-control key of the registry, with the registry helpers it is read and written by, the
// system's bitness and its description.
//
// Chromium has no document modes: the level is recorded, shown and kept from run to run, but it
// does not change how pages render.

// Predefined root keys, as their handles read.
using RegistryRoot = quint32;
constexpr RegistryRoot HKEY_CLASSES_ROOT_ = 0x80000000;
constexpr RegistryRoot HKEY_CURRENT_USER_ = 0x80000001;
constexpr RegistryRoot HKEY_LOCAL_MACHINE_ = 0x80000002;
constexpr RegistryRoot HKEY_USERS_ = 0x80000003;
constexpr RegistryRoot HKEY_PERFORMANCE_DATA_ = 0x80000004;
constexpr RegistryRoot HKEY_CURRENT_CONFIG_ = 0x80000005;
constexpr RegistryRoot HKEY_DYN_DATA_ = 0x80000006;

// "HKEY_LOCAL_MACHINE" (any case, spaces around it ignored) → its handle; 0 when unknown.
RegistryRoot RegistryRootFromName(const QString& name);
// "HKEY_…\subkey" → the root's handle, *path becoming the subkey; 0 (path unchanged) for a path that
// does not start with "HKEY_" or ends with "\".
RegistryRoot RegistrySplitPath(QString* path);

// A full key path, a value name and a view ("64", anything else 32; empty: the system's bitness).
QString RegistryReadDword(const QString& path, const QString& name, const QString& view);  // or "Error"
QString RegistryReadString(const QString& path, const QString& name, const QString& view); // or "Error"
bool RegistryWriteDword(const QString& path, const QString& name, quint32 number, const QString& view);
bool RegistryDeleteValue(const QString& path, const QString& name, const QString& view);

// The browser feature-control key the level lives under, and this program's value name in it.
QString EmulationKeyPath();
QString EmulationValueName();

// The browser feature-control key the level lives under, and this program's value name in it.
QString EmulationKeyPath();
QString EmulationValueName();

// The level name ("IE11" … "IE7", else "IE默认") and *mode (1 or 2) of the value stored for this
// program.
QString GetEmulationLevel(const QString& bitness, int* mode);
// Removes the value, then writes the level's (none for a name not in the table), in the 32-bit view
// and on a 64-bit system in the 64-bit one too. Failures are silent.
void SetEmulationLevel(const QString& levelName, int mode, const QString& bitness);

// "64" or "32".
QString DetectOsBitness();
// The system's product name and version; here the distribution and the kernel.
QString BuildOsDescription();

// The start window's steps: the bitness, the description and the level at start-up; the newest
// level written at the end when none was chosen.
void DetermineSystemValues();
void SaveEmulationLevelAtExit();

} // namespace Lunovex
