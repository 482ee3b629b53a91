#include "app/Settings.h"

#include "platform/AppFolder.h"
#include "util/Product.h"

#include <QDir>
#include <QLocale>
#include <QSettings>

#include <cmath>
#include <memory>
#include <optional>

namespace Lunovex {

namespace {

// INI file in the per-user config folder; application name = the application title, group = section.
std::unique_ptr<QSettings> openStore(const QString& section)
{
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                Product::executableName(), Product::title());
    settings->beginGroup(section);
    return settings;
}

std::optional<double> toNumber(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(t, &ok);
    if (!ok) value = QLocale::system().toDouble(t, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QVariant value = openStore(section)->value(key);
    return value.isValid() ? value.toString() : defaultValue;
}

void SaveSetting(const QString& section, const QString& key, const QString& value)
{
    openStore(section)->setValue(key, value);
}

QString GetSetting(const SettingKey& setting)
{
    return GetSetting(setting.section, setting.key, setting.defaultValue);
}

void SaveSetting(const SettingKey& setting, const QString& value)
{
    SaveSetting(setting.section, setting.key, value);
}

double GetSettingDouble(const SettingKey& setting)
{
    if (const auto value = toNumber(GetSetting(setting))) return *value;
    return toNumber(setting.defaultValue).value_or(0);
}

int GetSettingInt(const SettingKey& setting)
{
    // Whole numbers round as the store's readers always did; out-of-range values keep the default.
    const double value = GetSettingDouble(setting);
    if (std::abs(value) > 2'000'000'000.0) return int(toNumber(setting.defaultValue).value_or(0));
    return int(std::lround(value));
}

void SaveSetting(const SettingKey& setting, double value)
{
    SaveSetting(setting, QLocale::c().toString(value, 'g', 15));
}

void SaveSetting(const SettingKey& setting, int value)
{
    SaveSetting(setting, QString::number(value));
}

namespace Setting {

SettingKey SaveFolder()
{
    return {QStringLiteral("设置"), QStringLiteral("下载文件保存路径"),
            QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/12345"))};
}
SettingKey MaxFileSize()
{
    return {QStringLiteral("设置"), QStringLiteral("文件最大值"), QStringLiteral("10")};
}
SettingKey DownloadMethod()
{
    return {QStringLiteral("设置"), QStringLiteral("下载方式"), QStringLiteral("2")};
}
SettingKey ProxyEnabled()
{
    return {QStringLiteral("设置"), QStringLiteral("代理服务器有效"), QStringLiteral("0")};
}
SettingKey ProxyAddress()
{
    return {QStringLiteral("设置"), QStringLiteral("代理服务器网址"), QString()};
}
SettingKey ProxyPort()
{
    return {QStringLiteral("设置"), QStringLiteral("代理服务器端口"), QString()};
}
SettingKey ExtractSavePathFlag()
{
    return {QStringLiteral("设置"), QStringLiteral("提取网页信息时提示下载保存路径"), QStringLiteral("1")};
}
SettingKey ThreadCountIndex()
{
    return {QStringLiteral("下载"), QStringLiteral("线程"), QStringLiteral("2")};
}
SettingKey DuplicateNamePolicy()
{
    return {QStringLiteral("专利下载"), QStringLiteral("重复文件名设置"), QStringLiteral("重命名")};
}
SettingKey SearchPauseIndex()
{
    return {QStringLiteral("fWebSearch"), QStringLiteral("combo2"), QStringLiteral("10")};
}
SettingKey SearchPageUrl()
{
    return {QStringLiteral("fWebSearch"), QStringLiteral("Web1Url"), QString()};
}
SettingKey SearchOtherUrl()
{
    return {QStringLiteral("fWebSearch"), QStringLiteral("otherUrl"), QString()};
}
SettingKey CopyDestinationFolder()
{
    return {QStringLiteral("Form_Copy_Move"), QStringLiteral("目的文件夹"), ApplicationFolder()};
}
SettingKey CopyOptionIndex()
{
    return {QStringLiteral("Form_Copy_Move"), QStringLiteral("OpIndex"), QStringLiteral("4")};
}

} // namespace Setting

} // namespace Lunovex
