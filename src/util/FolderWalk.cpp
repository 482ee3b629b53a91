#include "util/FolderWalk.h"

#include "util/HeaderText.h"
#include "util/PathNames.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Lunovex {

namespace {

bool isAbsoluteFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    return folder.startsWith(QLatin1String("\\\\")) || (folder.size() >= 2 && folder[1] == QLatin1Char(':'));
#else
    return folder.startsWith(PathSeparator());
#endif
}

bool isRootFolder(const QString& folderWithSeparator)
{
#ifdef Q_OS_WIN
    return folderWithSeparator.size() == 3;
#else
    return folderWithSeparator == PathSeparator();
#endif
}

bool isSkipped(const QString& folderWithSeparator, const QString& name)
{
    if (name == QLatin1String(".") || name == QLatin1String("..")) return true;
    if (name.compare(QLatin1String("pagefile.sys"), Qt::CaseInsensitive) == 0) return true;
    return isRootFolder(folderWithSeparator) &&
           name.compare(QLatin1String("RECYCLER"), Qt::CaseInsensitive) == 0;
}

void appendFound(QStringList& found, const QString& path)
{
    if (found.isEmpty()) found.append(QString());
    found.last() = path;
    found.append(QString());
}

// One listing of a folder, read to its end before anything descends into it.
QStringList listingOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

void ListSubfolders(const QString& folder, QStringList& found, bool recursive)
{
    if (!isAbsoluteFolder(folder)) return;
    const QString base = WithTrailingSeparator(folder);
    QStringList descendInto;
    for (const QString& name : listingOf(base)) {
        if (isSkipped(base, name)) continue;
        const QFileInfo info(base + name);
        if (!info.isDir()) continue;
        if (!info.isSymLink()) descendInto.append(name);
        appendFound(found, base + name);
    }
    if (recursive)
        for (const QString& name : descendInto)
            ListSubfolders(base + name, found, true);
}

void ListFiles(const QString& folder, QStringList& found, bool recursive)
{
    const QString base = WithTrailingSeparator(folder);
    QStringList descendInto;
    for (const QString& name : listingOf(base)) {
        if (isSkipped(base, name)) continue;
        const QFileInfo info(base + name);
        if (info.isDir()) {
            if (!info.isSymLink()) descendInto.append(name);
            continue;
        }
        appendFound(found, base + name);
    }
    if (recursive)
        for (const QString& name : descendInto)
            ListFiles(base + name, found, true);
}

QString UrlExtension(const QString& urlOrPath, QString* filePart)
{
    static const QString schemeMark = QStringLiteral("://");
    QString text = urlOrPath;
    bool nested = false;
    const qsizetype scheme = text.indexOf(schemeMark);
    if (scheme >= 0) {
        text = text.mid(scheme + schemeMark.size());
        const qsizetype second = text.indexOf(schemeMark);
        if (second >= 0) {
            text = text.left(second);
            nested = true;
        }
    }

    const qsizetype sep = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    if (sep >= 0) text = text.mid(sep + 1);

    for (const QChar stop : {u'#', u'\b', u'\t', u'\n', u'\r', u':', u'*', u'<', u'>', u'|', u'"', u'\''}) {
        const qsizetype at = text.indexOf(stop);
        if (at >= 0) text.truncate(at);
    }

    if (filePart) {
        const qsizetype at = nested ? urlOrPath.indexOf(text) : -1;
        *filePart = at >= 0 ? urlOrPath.mid(at) : text;
    }

    for (const QChar stop : {u'=', u'?'}) {
        const qsizetype at = text.indexOf(stop);
        if (at >= 0) text.truncate(at);
    }

    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return {};
    const QString extension = TrimSpaces(text.mid(dot + 1));
    return extension.size() >= 7 ? QString() : extension;
}

QString SplitPathParts(const QString& path, QString* extension, QString* baseName)
{
    const QString trimmed = TrimSpaces(path);
    const qsizetype sep = trimmed.lastIndexOf(PathSeparator());
    const QString folder = sep >= 0 ? trimmed.left(sep + 1) : QString();
    const QString name = sep >= 0 ? trimmed.mid(sep + 1) : trimmed;

    QString base = name;
    QString ext;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && name.size() - dot - 1 < 7) {
        base = name.left(dot);
        ext = name.mid(dot + 1);
    }
    base = TrimSpaces(base);
    ext = TrimSpaces(ext);
    if (base.isEmpty()) {
        base = name;
        ext.clear();
    }
    if (extension) *extension = ext;
    if (baseName) *baseName = base;
    return folder;
}

QString SplitBracketNumber(const QString& name, QString* nameWithoutNumber)
{
    QString number;
    QString rest = name;
    const qsizetype open = name.lastIndexOf(QLatin1Char('['));
    if (name.endsWith(QLatin1Char(']')) && open >= 0) {
        const QString inside = TrimSpaces(name.mid(open + 1, name.size() - open - 2));
        if (IsNumericText(inside)) {
            number = inside;
            rest = name.left(open);
        }
    }
    if (rest.isEmpty()) {
        rest = name;
        number.clear();
    }
    if (nameWithoutNumber) *nameWithoutNumber = rest;
    return number;
}

} // namespace Lunovex
