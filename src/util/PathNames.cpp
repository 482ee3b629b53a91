#include "util/PathNames.h"

#include "platform/Prompts.h"
#include "util/HeaderText.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace Lunovex {

QChar PathSeparator()
{
    return QDir::separator();
}

QString ExpandHomeFolder(const QString& path)
{
    if (path == QLatin1String("~")) return QDir::toNativeSeparators(QDir::homePath());
    if (path.startsWith(QLatin1String("~/")) || path.startsWith(QStringLiteral("~") + PathSeparator()))
        return QDir::toNativeSeparators(QDir::homePath()) + path.mid(1);
    return path;
}

QString WithTrailingSeparator(const QString& folder)
{
    return folder.endsWith(PathSeparator()) ? folder : folder + PathSeparator();
}

QString LocalPathOf(const QString& path)
{
    QString p = TrimSpaces(path);
    if (p.left(8).toLower() == QLatin1String("file:///")) {
        // Keep the root: file:///home/a.pdf is /home/a.pdf here, file:///C:/a.pdf is C:/a.pdf on Windows.
        p = p.mid(PathSeparator() == QLatin1Char('/') ? 7 : 8);
    }
    return QDir::toNativeSeparators(p);
}

bool IsFilePresent(const QString& path)
{
    const QString p = LocalPathOf(path);
    if (p.isEmpty()) return false;
    return QFileInfo(p).isFile();
}

bool IsFolderPresent(const QString& path)
{
#ifdef Q_OS_WIN
    // The floppy drive answers without being touched.
    if (path.toUpper() == QLatin1String("A:\\")) return true;
#endif
    const QString p = TrimSpaces(path);
    if (p.isEmpty()) return false;
    return QFileInfo(p).isDir();
}

QString SplitFileName(const QString& path, QString* baseName)
{
    QString name = TrimSpaces(path);
    const qsizetype sep = name.lastIndexOf(PathSeparator());
    if (sep >= 0) name = name.mid(sep + 1);
    QString base = name;
    QString extension;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        base = name.left(dot);
        extension = name.mid(dot + 1);
        if (extension.size() >= 7) {
            base = name;
            extension.clear();
        }
    }
    if (baseName) *baseName = TrimSpaces(base);
    return TrimSpaces(extension);
}

QString FileNameFromPath(const QString& path, bool withoutExtension)
{
    // Used on addresses as well as paths, so both slashes separate.
    QString text = path;
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype sep = text.lastIndexOf(QLatin1Char('/'));
    if (sep >= 0) text = TrimSpaces(text.mid(sep + 1));
    if (withoutExtension) {
        const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0) return TrimSpaces(text.left(dot));
    }
    return text;
}

QString SafeFileName(const QString& text)
{
    QString name = text;
    for (const QChar c : {u'\\', u'/', u':', u'*', u'?', u'"', u'<', u'>', u'|'})
        name.remove(c);
    name.remove(QStringLiteral("\r\n"));
    name.remove(QLatin1Char('\n'));
    name.remove(QLatin1Char('\r'));
    name.remove(QChar(0));
    qsizetype first = 0;
    while (first < name.size() && name[first] == QLatin1Char('.'))
        ++first;
    qsizetype last = name.size();
    while (last > first && name[last - 1] == QLatin1Char('.'))
        --last;
    name = LimitAnsiBytes(name.mid(first, last - first), 200);
    // The cut may end on a dot.
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name;
}

QString LimitAnsiBytes(const QString& text, int maxBytes)
{
    if (maxBytes <= 0) return {};
    if (text.toLocal8Bit().size() <= maxBytes) return text;
    // Count whole characters (a surrogate pair is one) until the next would not fit.
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype width =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2 : 1;
        const qsizetype charBytes = text.mid(end, width).toLocal8Bit().size();
        if (bytes + charBytes > maxBytes) break;
        bytes += charBytes;
        end += width;
    }
    return text.left(end);
}

namespace {

// Makes the folders along the path; *whole tells whether every segment was made. A message about
// an unusable segment goes to owner unless quiet.
QString makeFolders(const QString& folderPath, QWidget* owner, bool quiet, bool* whole)
{
    const QChar sep = PathSeparator();
    const QStringList segments = folderPath.split(sep);
    *whole = false;
    auto reportBadName = [owner, quiet] {
        if (!quiet) MsgBox(owner, QStringLiteral("文件夹名称有误！不能创建文件夹！"), PromptIcon::Critical);
    };

    QString current;
    qsizetype next = 0;
    if (folderPath.startsWith(QString(2, sep))) {
        // A network path: the server name comes first.
        const QString server = segments.value(2);
        if (server.isEmpty()) {
            reportBadName();
            return {};
        }
        current = QString(2, sep) + server;
        next = 3;
    } else {
        // The first segment is the drive on Windows, empty (the root) for an absolute path here.
        current = segments.value(0);
#ifndef Q_OS_WIN
        if (!current.isEmpty()) {
            current = SafeFileName(current);
            if (current.isEmpty()) {
                reportBadName();
                return {};
            }
        }
#endif
        next = 1;
    }

    bool stoppedByName = false;
    for (; next < segments.size(); ++next) {
        if (segments[next].isEmpty()) break;
        // Spaces around a name go, as Windows drops them: the folder made is the folder returned.
        const QString safe = TrimSpaces(SafeFileName(segments[next]));
        if (safe.isEmpty()) {
            reportBadName();
            stoppedByName = true;
            break;
        }
        current += sep + safe;
        if (!QFileInfo(current).isDir()) QDir().mkdir(current);
    }
    const bool made = !current.isEmpty() && QFileInfo(current).isDir();
    // A trailing separator leaves one empty segment at the end; any other stop is part of the way.
    *whole = made && !stoppedByName && (next >= segments.size() - (segments.last().isEmpty() ? 1 : 0));
    return made ? current : QString();
}

} // namespace

QString CreateFolderPath(const QString& folderPath, QWidget* owner)
{
    bool whole = false;
    return makeFolders(folderPath, owner, false, &whole);
}

QString CreateWholeFolderPath(const QString& folderPath)
{
    bool whole = false;
    const QString made = makeFolders(folderPath, nullptr, true, &whole);
    return whole ? made : QString();
}

namespace {

bool anythingAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString UniqueFilePath(const QString& requested)
{
    // The path tested is the path numbered and returned.
    const QString path = LocalPathOf(requested);
    if (!IsFilePresent(path)) return path;
    const qsizetype sep = path.lastIndexOf(PathSeparator());
    if (sep < 0) return path;

    const QString folder = path.left(sep + 1);
    const QString name = path.mid(sep + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString base = dot >= 0 ? name.left(dot) : name;
    const QString extension = dot >= 0 ? name.mid(dot + 1) : QString();
    const QString dotExtension = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;

    // At most 100 UTF-16 units, never half a character.
    if (base.size() > 100) base.truncate(base.at(99).isHighSurrogate() ? 99 : 100);
    // Number from the bare name rather than nesting brackets.
    const qsizetype open = base.lastIndexOf(QLatin1Char('['));
    if (base.endsWith(QLatin1Char(']')) && open >= 0 &&
        IsNumericText(base.mid(open + 1, base.size() - open - 2)))
        base = base.left(open);

    QString candidate = folder + base + dotExtension;
    for (int n = 1; anythingAt(candidate); ++n)
        candidate = folder + base + QStringLiteral("[%1]").arg(n, 4, 10, QLatin1Char('0')) + dotExtension;
    return candidate;
}

std::optional<double> ParseNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (!std::any_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt; // also keeps out "inf" and "nan"

    bool ok = false;
    double value = QLocale::c().toDouble(t, &ok);
    if (!ok) value = QLocale::system().toDouble(t, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

bool IsNumericText(const QString& text)
{
    return ParseNumber(text).has_value();
}

} // namespace Lunovex
