#include "app/EmulationLevel.h"

#include "app/Globals.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>

#include <array>

namespace Lunovex {

namespace {

const QString kEmulationKeyPath =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\"
                   "FEATURE_BROWSER_EMULATION");
const QString kVersionKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");

struct Level
{
    const char* name;
    quint32 mode1;
    quint32 mode2;
};
constexpr std::array<Level, 5> kLevels{{
    {"IE11", 11000, 11001},
    {"IE10", 10000, 10001},
    {"IE9", 9000, 9999},
    {"IE8", 8000, 8888},
    {"IE7", 7000, 7000},
}};

const std::array<std::pair<const char*, RegistryRoot>, 7> kRoots{{
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT_},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER_},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE_},
    {"HKEY_USERS", HKEY_USERS_},
    {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA_},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG_},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA_},
}};

QString rootName(RegistryRoot root)
{
    for (const auto& [name, handle] : kRoots)
        if (handle == root) return QString::fromLatin1(name);
    return {};
}

// The first step of the bitness detection: what the system says of its machine type.
QString machineBitness()
{
    return QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? QStringLiteral("64")
                                                                            : QStringLiteral("32");
}

Registry::View resolveView(const QString& view)
{
    QString v = view;
    if (v.isEmpty()) {
        if (Globals().OsBitness.isEmpty()) Globals().OsBitness = machineBitness();
        v = Globals().OsBitness;
    }
    return v == QLatin1String("64") ? Registry::View::Bits64 : Registry::View::Bits32;
}

// Splits a full path for the value helpers: the root's name and the subkey, or nothing.
bool splitForUse(const QString& path, QString* root, QString* subkey)
{
    QString rest = path;
    const RegistryRoot handle = RegistrySplitPath(&rest);
    if (handle == 0) return false;
    *root = rootName(handle);
    *subkey = rest;
    return true;
}

} // namespace

QString EmulationKeyPath()
{
    return kEmulationKeyPath;
}

// The executable's name with ".exe", as the feature-control key knows programs.
QString EmulationValueName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".exe");
}

RegistryRoot RegistryRootFromName(const QString& name)
{
    const QString key = name.trimmed().toUpper();
    for (const auto& [rootText, handle] : kRoots)
        if (key == QLatin1String(rootText)) return handle;
    return 0;
}

RegistryRoot RegistrySplitPath(QString* path)
{
    if (!path->startsWith(QLatin1String("HKEY_")) || path->endsWith(QLatin1Char('\\'))) return 0;
    const qsizetype slash = path->indexOf(QLatin1Char('\\'));
    if (slash < 0) {
        const RegistryRoot root = RegistryRootFromName(*path);
        path->clear();
        return root;
    }
    const RegistryRoot root = RegistryRootFromName(path->left(slash));
    *path = path->mid(slash + 1);
    return root;
}

QString RegistryReadDword(const QString& path, const QString& name, const QString& view)
{
    const Registry::View v = resolveView(view);
    QString root, subkey;
    if (!splitForUse(path, &root, &subkey)) return QStringLiteral("Error");
    const std::optional<quint32> value = Registry::readDword(v, root, subkey, name);
    return value ? QString::number(*value) : QStringLiteral("Error");
}

QString RegistryReadString(const QString& path, const QString& name, const QString& view)
{
    const Registry::View v = resolveView(view);
    QString root, subkey;
    if (!splitForUse(path, &root, &subkey)) return QStringLiteral("Error");
    const std::optional<QString> value = Registry::readString(v, root, subkey, name);
    // The classic query reads into 255 bytes, up to the first NUL.
    return value ? value->left(255).section(QChar(0), 0, 0).trimmed() : QStringLiteral("Error");
}

bool RegistryWriteDword(const QString& path, const QString& name, quint32 number, const QString& view)
{
    const Registry::View v = resolveView(view);
    QString root, subkey;
    return splitForUse(path, &root, &subkey) && Registry::writeDword(v, root, subkey, name, number);
}

bool RegistryDeleteValue(const QString& path, const QString& name, const QString& view)
{
    const Registry::View v = resolveView(view);
    QString root, subkey;
    return splitForUse(path, &root, &subkey) && Registry::deleteValue(v, root, subkey, name);
}

QString GetEmulationLevel(const QString& bitness, int* mode)
{
    bool numeric32 = false, numeric64 = false;
    const quint32 reading32 =
        RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")).toUInt(&numeric32);
    quint32 number = numeric32 ? reading32 : 0;
    if (bitness == QLatin1String("64")) {
        const quint32 reading64 =
            RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("64"))
                .toUInt(&numeric64);
        if (!numeric32 && numeric64) number = reading64;
    }
    for (const Level& level : kLevels) {
        if (number == level.mode2 && level.mode2 != level.mode1) {
            *mode = 2;
            return QString::fromLatin1(level.name);
        }
        if (number == level.mode1) {
            *mode = 1;
            return QString::fromLatin1(level.name);
        }
    }
    *mode = 1;
    return QStringLiteral("IE默认");
}

void SetEmulationLevel(const QString& levelName, int mode, const QString& bitness)
{
    std::optional<quint32> value;
    for (const Level& level : kLevels)
        if (levelName.toUpper() == QLatin1String(level.name)) value = mode == 2 ? level.mode2 : level.mode1;
    const bool both = bitness == QLatin1String("64");
    RegistryDeleteValue(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32"));
    if (both) RegistryDeleteValue(EmulationKeyPath(), EmulationValueName(), QStringLiteral("64"));
    if (!value) return; // the default: no value at all
    RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), *value, QStringLiteral("32"));
    if (both) RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), *value, QStringLiteral("64"));
}

QString DetectOsBitness()
{
    if (machineBitness() == QLatin1String("64")) return QStringLiteral("64");
    // A 32-bit program on a 64-bit kernel, as a process under WOW64 would be.
    return QSysInfo::currentCpuArchitecture() != QSysInfo::buildCpuArchitecture() &&
                   QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"))
               ? QStringLiteral("64")
               : QStringLiteral("32");
}

QString BuildOsDescription()
{
    const QString product = RegistryReadString(kVersionKey, QStringLiteral("ProductName"), QString());
    if (product == QLatin1String("Error"))
        return QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() +
               QLatin1Char(' ') + QSysInfo::kernelVersion() + QLatin1Char(')');
    const QString version = RegistryReadString(kVersionKey, QStringLiteral("CurrentVersion"), QString());
    const QString build = RegistryReadString(kVersionKey, QStringLiteral("CurrentBuildNumber"), QString());
    QString release = RegistryReadString(kVersionKey, QStringLiteral("ReleaseId"), QString());
    if (release == QLatin1String("Error")) release = version;
    const QString buildLab = RegistryReadString(kVersionKey, QStringLiteral("BuildLab"), QString());
    const QString servicePack = RegistryReadString(kVersionKey, QStringLiteral("CSDVersion"), QString());
    const QString ubr = RegistryReadDword(kVersionKey, QStringLiteral("UBR"), QString());
    QString buildText = build + QLatin1Char('.') + ubr;
    if (ubr == QLatin1String("Error"))
        buildText =
            servicePack != QLatin1String("Error") ? buildLab + QStringLiteral(" : ") + servicePack : buildLab;
    return product + QStringLiteral(" 版本:") + release + QStringLiteral(" (内部版本:") + buildText +
           QLatin1Char(')');
}

void DetermineSystemValues()
{
    GlobalState& g = Globals();
    g.OsBitness = DetectOsBitness();
    g.OsDescription = BuildOsDescription() + QStringLiteral("[") + g.OsBitness + QStringLiteral("位]");
    int mode = 1;
    g.EmulationLevelName = GetEmulationLevel(g.OsBitness, &mode);
}

void SaveEmulationLevelAtExit()
{
    const GlobalState& g = Globals();
    if (g.EmulationLevelName.isEmpty() || g.EmulationLevelName == QStringLiteral("IE默认"))
        SetEmulationLevel(QStringLiteral("IE11"), 1, g.OsBitness);
}

} // namespace Lunovex
