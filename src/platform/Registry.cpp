#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace Lunovex::Registry {

namespace {

quint32 lastMask = 0;

const QStringList& builtInKeys()
{
    static const QStringList keys = {
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\"
                       "FEATURE_BROWSER_EMULATION"),
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
    };
    return keys;
}

// A key's section in the file: the view, then the key path with "/" for "\" (QSettings keeps "\"
// for itself), upper case, since key names are not case-sensitive.
QString section(View view, const QString& root, const QString& subkey)
{
    QString path = root.trimmed().toUpper();
    if (!subkey.isEmpty()) path += QLatin1Char('\\') + subkey.toUpper();
    return (view == View::Bits64 ? QStringLiteral("view64/") : QStringLiteral("view32/")) +
           path.replace(QLatin1Char('/'), QLatin1Char('|')).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// Value names keep their case in the file but are found without regard to it.
QString valueKey(QSettings& store, const QString& name)
{
    for (const QString& key : store.childKeys())
        if (key.compare(name, Qt::CaseInsensitive) == 0) return key;
    return name;
}

// Opens the key for one operation: the store positioned at its section, or nothing.
std::unique_ptr<QSettings> openKey(View view, const QString& root, const QString& subkey)
{
    lastMask = view == View::Bits64 ? kAccess64 : kAccess32;
    auto store = std::make_unique<QSettings>(storePath(), QSettings::IniFormat);
    const QString key = section(view, root, subkey);
    QString full = root.trimmed().toUpper();
    if (!subkey.isEmpty()) full += QLatin1Char('\\') + subkey;
    // A key is there from the start, or was put into the file by hand with its marker.
    bool exists = store->contains(key + QStringLiteral("/.key"));
    for (const QString& builtIn : builtInKeys())
        if (builtIn.compare(full, Qt::CaseInsensitive) == 0) exists = true;
    if (!exists) return nullptr;
    store->beginGroup(key);
    return store;
}

bool stored(QSettings& store)
{
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace

QString storePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           QCoreApplication::applicationName() + QStringLiteral("/registry.ini");
}

quint32 lastAccessMask()
{
    return lastMask;
}

bool keyExists(View view, const QString& root, const QString& subkey)
{
    return openKey(view, root, subkey) != nullptr;
}

std::optional<quint32> readDword(View view, const QString& root, const QString& subkey, const QString& name)
{
    const auto key = openKey(view, root, subkey);
    if (!key) return std::nullopt;
    const QString text = key->value(valueKey(*key, name)).toString();
    if (!text.startsWith(QLatin1String("dword:"))) return std::nullopt;
    bool ok = false;
    const quint32 value = text.mid(6).toUInt(&ok);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

std::optional<QString> readString(View view, const QString& root, const QString& subkey, const QString& name)
{
    const auto key = openKey(view, root, subkey);
    if (!key) return std::nullopt;
    const QString text = key->value(valueKey(*key, name)).toString();
    if (!text.startsWith(QLatin1String("sz:"))) return std::nullopt;
    return text.mid(3);
}

bool writeDword(View view, const QString& root, const QString& subkey, const QString& name, quint32 value)
{
    const auto key = openKey(view, root, subkey);
    if (!key) return false;
    key->setValue(valueKey(*key, name), QStringLiteral("dword:%1").arg(value));
    return stored(*key);
}

bool writeString(View view, const QString& root, const QString& subkey, const QString& name,
                 const QString& value)
{
    const auto key = openKey(view, root, subkey);
    if (!key) return false;
    key->setValue(valueKey(*key, name), QStringLiteral("sz:") + value);
    return stored(*key);
}

bool deleteValue(View view, const QString& root, const QString& subkey, const QString& name)
{
    const auto key = openKey(view, root, subkey);
    if (!key) return false;
    key->remove(valueKey(*key, name));
    stored(*key);
    return true;
}

} // namespace Lunovex::Registry
