#pragma once

#include <QString>

namespace Lunovex {

class DownloadItem;

// What a row does when its file's name is taken.
enum class NamePolicy { Skip, Overwrite, Rename };

// The policy as its option button and the settings store spell it ("跳过", "覆盖", "重命名").
QString NamePolicyText(NamePolicy policy);
// The policy a stored text names (spaces around it ignored); anything else is Rename, the default.
NamePolicy NamePolicyFromText(const QString& text);

// The name a harvested article starts with: the address's last segment without extension, or the
// title without line breaks; either made safe as a file name. When that leaves nothing, the address's
// segment, else "未命名": never an empty name (a hidden ".pdf").
QString InitialBaseName(const QString& title, const QString& address, bool useOriginalFileName);

// Applies the skip policy before a row is started: false (and the row Finished with "已存在，跳过")
// when its file exists and the policy is Skip.
bool 重命名保存路径(const DownloadItem& item, NamePolicy policy);

// The path a file is saved under: folder/name.extension, numbered name[001] ... when taken (unless
// the policy is Overwrite). *name becomes the base name used.
QString MakeNumberedSavePath(const QString& folder, QString* name, const QString& extension,
                             NamePolicy policy);

// The extension the response headers announce: from the content type, else from the
// Content-Disposition file name, else "htm" when a charset was given; empty otherwise.
QString ResponseExtension(const QString& contentType, const QString& headerBlock);

// Renames a downloaded file whose content shows another type (paper.pdf holding HTML becomes
// paper.htm, or paper[0001].htm when that is taken); true when it did.
bool CorrectItemFileType(const DownloadItem& item);

// A finished row whose file is a PDF that is not whole (cut short, a preview) is no article: the
// file goes and the row fails with "文件不完整", so it counts as a problem and "出错项" fetches it
// again. False when it did.
bool KeepOnlyWholePdf(const DownloadItem& item);

} // namespace Lunovex
