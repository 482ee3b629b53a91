#include "download/SaveNaming.h"

#include "download/DownloadItem.h"
#include "util/FileTypeSniff.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>

namespace Lunovex {

namespace {

QString numbered(const QString& name, qint64 n)
{
    return name + QStringLiteral("[%1]").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace

QString InitialBaseName(const QString& title, const QString& address, bool useOriginalFileName)
{
    const QString chosen =
        useOriginalFileName ? FileNameFromPath(address, true) : TrimSpaces(RemoveLineBreaks(title));
    // A name that cleans to nothing (a title of dots) would give a hidden ".pdf": the server's name
    // stands in, else a word the user can see.
    for (const QString& name : {chosen, FileNameFromPath(address, true)}) {
        // Spaces and dots around the name go together: " . x . " is "x", never a hidden ". x".
        const QString safe = SafeFileName(name);
        qsizetype from = 0, to = safe.size();
        const auto edge = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('.'); };
        while (from < to && edge(safe.at(from)))
            ++from;
        while (to > from && edge(safe.at(to - 1)))
            --to;
        if (from < to) return safe.mid(from, to - from);
    }
    return QStringLiteral("未命名");
}

// Paths of names without an extension get no trailing dot (this file system would keep it, and the
// file would then not be found under the item's path).
QString NamePolicyText(NamePolicy policy)
{
    switch (policy) {
    case NamePolicy::Skip:
        return QStringLiteral("跳过");
    case NamePolicy::Overwrite:
        return QStringLiteral("覆盖");
    case NamePolicy::Rename:
        break;
    }
    return QStringLiteral("重命名");
}

NamePolicy NamePolicyFromText(const QString& text)
{
    for (NamePolicy policy : {NamePolicy::Skip, NamePolicy::Overwrite})
        if (text.trimmed() == NamePolicyText(policy)) return policy;
    return NamePolicy::Rename;
}

bool 重命名保存路径(const DownloadItem& item, NamePolicy policy)
{
    const QString path =
        ItemFilePath(WithTrailingSeparator(item.TargetFolder()), item.BaseName(), item.Extension());
    if (IsFilePresent(path) && policy == NamePolicy::Skip) {
        const QString length = QString::number(QFileInfo(path).size());
        item.setState(Finished);
        item.setSizeText(length);
        item.setReceivedText(length);
        item.setProgressText(QStringLiteral("已存在，跳过"));
        return false;
    }
    return true;
}

QString MakeNumberedSavePath(const QString& folder, QString* name, const QString& extension,
                             NamePolicy policy)
{
    const QString dir = WithTrailingSeparator(folder);
    QString base = *name;
    const QString path = ItemFilePath(dir, base, extension);
    if (policy == NamePolicy::Overwrite || !IsFilePresent(path)) return path;

    // Number on from a numeric suffix rather than nesting brackets.
    qint64 n = 0;
    const qsizetype open = base.lastIndexOf(QLatin1Char('['));
    const qsizetype close = base.lastIndexOf(QLatin1Char(']'));
    if (open >= 0 && close > open) {
        const QString inside = base.mid(open + 1, close - open - 1).trimmed();
        const double value = inside.toDouble();
        if (IsNumericText(inside) && std::abs(value) < 1e15) {
            n = std::llround(value);
            base = base.left(open);
        }
    }
    base.replace(QLatin1Char('['), QStringLiteral("『"));
    base.replace(QLatin1Char(']'), QStringLiteral("』"));

    QString candidate = n != 0 ? numbered(base, n) : base;
    while (IsFilePresent(ItemFilePath(dir, candidate, extension)))
        candidate = numbered(base, ++n);
    *name = candidate;
    return ItemFilePath(dir, candidate, extension);
}

QString ResponseExtension(const QString& contentType, const QString& headerBlock)
{
    const QStringList parts = TrimSpaces(contentType).split(QLatin1Char(';'));
    const QString media = TrimSpaces(parts.value(0));
    QString charset;
    if (parts.size() > 1) {
        const QString second = TrimSpaces(parts[1]);
        if (second.left(8).toLower() == QLatin1String("charset=")) charset = second.mid(8);
    }

    QString extension = MimeTypeToExtension(media);
    if (extension.isEmpty()) {
        QString announced;
        从下载头信息ContentDisposition获取文件名(从网络文件Header获取ContentDisposition(headerBlock),
                                                 &announced);
        extension = announced;
    }
    if (extension.isEmpty() && !charset.isEmpty()) extension = QStringLiteral("htm");
    return extension;
}

bool CorrectItemFileType(const DownloadItem& item)
{
    const QString current = ItemFilePath(item);
    if (!IsFilePresent(current)) return false;
    const QString real = 打开文件判断文件类型(current);
    if (real.isEmpty() || real.toUpper() == item.Extension().toUpper()) return false;

    const QString target = UniqueFilePath(item.TargetFolder() + item.BaseName() + QLatin1Char('.') + real);
    QFile::rename(current, target);
    if (!IsFilePresent(target)) return false;
    QString base;
    SplitFileName(target, &base);
    item.setExtension(real);
    item.setBaseName(base);
    return true;
}

bool KeepOnlyWholePdf(const DownloadItem& item)
{
    if (item.state() != Finished || item.Extension().toLower() != QLatin1String("pdf")) return true;
    const QString path = ItemFilePath(item);
    if (!IsFilePresent(path) || IsWholePdf(path)) return true;
    QFile::remove(path);
    item.setState(Failed);
    item.setProgressText(QStringLiteral("文件不完整"));
    return false;
}

} // namespace Lunovex
