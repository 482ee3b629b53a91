#pragma once

#include <QString>
#include <QStringList>

namespace Lunovex {

// Folder walkers and name splitters for the cache viewer and the copy dialog.
//
// The walkers append to a caller-owned list that starts with one empty element and always ends
// with exactly one: each found path is written into the last element, then an empty one is added.
// Entries are full paths. ".", "..", "pagefile.sys" (any case, anywhere) and "RECYCLER" (any case,
// directly under the root) are never reported or entered. Hidden and system entries are listed.
// Symbolic links to folders are reported but not entered, so a link loop cannot trap the walk.

// Sub-folders of an absolute folder (a relative one lists nothing).
void ListSubfolders(const QString& folder, QStringList& found, bool recursive);
// Files under a folder.
void ListFiles(const QString& folder, QStringList& found, bool recursive);

// The extension (no dot, at most six characters) of an address or path; the file part in *filePart.
QString UrlExtension(const QString& urlOrPath, QString* filePart);

// Folder (with its trailing separator, empty when there is none), *extension and *baseName of a path.
QString SplitPathParts(const QString& path, QString* extension, QString* baseName);

// The number of a trailing "[n]" and, in *nameWithoutNumber, the name before it.
QString SplitBracketNumber(const QString& name, QString* nameWithoutNumber);

} // namespace Lunovex
