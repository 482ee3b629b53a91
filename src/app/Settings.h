#pragma once

#include <QString>

namespace Lunovex {

// The per-user settings store: text values addressed by section and key, kept under the
// application title. Nothing else is offered (no listing, no deletion).
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = {});
void SaveSetting(const QString& section, const QString& key, const QString& value);

// One value of the store with its default.
struct SettingKey
{
    QString section;
    QString key;
    QString defaultValue;
};

QString GetSetting(const SettingKey& setting);
void SaveSetting(const SettingKey& setting, const QString& value);

// Typed reads. A stored text that does not convert leaves the default in force.
double GetSettingDouble(const SettingKey& setting);
int GetSettingInt(const SettingKey& setting);
// Numbers are stored as their decimal text.
void SaveSetting(const SettingKey& setting, double value);
void SaveSetting(const SettingKey& setting, int value);

// Every value the product keeps, with its default.
namespace Setting {
SettingKey SaveFolder();            // "设置"/"下载文件保存路径": the home folder + "/12345"
SettingKey MaxFileSize();           // "设置"/"文件最大值", MB: 10
SettingKey DownloadMethod();        // "设置"/"下载方式": 2
SettingKey ProxyEnabled();          // "设置"/"代理服务器有效": 0
SettingKey ProxyAddress();          // "设置"/"代理服务器网址": ""
SettingKey ProxyPort();             // "设置"/"代理服务器端口": ""
SettingKey ExtractSavePathFlag();   // "设置"/"提取网页信息时提示下载保存路径": 1
SettingKey ThreadCountIndex();      // "下载"/"线程": 2
SettingKey DuplicateNamePolicy();   // "专利下载"/"重复文件名设置": "重命名"
SettingKey SearchPauseIndex();      // "fWebSearch"/"combo2": 10
SettingKey SearchPageUrl();         // "fWebSearch"/"Web1Url": ""
SettingKey SearchOtherUrl();        // "fWebSearch"/"otherUrl": ""
SettingKey CopyDestinationFolder(); // "Form_Copy_Move"/"目的文件夹": the application folder
SettingKey CopyOptionIndex();       // "Form_Copy_Move"/"OpIndex": 4
} // namespace Setting

} // namespace Lunovex
