#include "platform/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Lunovex {

namespace {

QString& overrideFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString ApplicationFolder()
{
    if (!overrideFolder().isEmpty()) return overrideFolder();
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable()) return QDir::toNativeSeparators(exeFolder);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
}

void SetApplicationFolderOverride(const QString& folder)
{
    overrideFolder() = folder;
}

} // namespace Lunovex
