#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace Lunovex {

// Path and file-name rules on native paths: the separator is QDir::separator() ("/" on Linux) and
// the other slash is tolerated where a rule says so. All are free functions without state.

// The native separator as a character.
QChar PathSeparator();

// "~" and "~/..." as the home folder and what lies in it; any other text as it is.
QString ExpandHomeFolder(const QString& path);

// The folder with the separator at its end (added when missing).
QString WithTrailingSeparator(const QString& folder);

// The local path a text names, as the file tests read it: spaces around trimmed, a file:/// address
// taken as its path.
QString LocalPathOf(const QString& path);

// Whether a file (not a folder) exists. A file:/// address is taken as its local path.
bool IsFilePresent(const QString& path);
// Whether a folder exists.
bool IsFolderPresent(const QString& path);

// The extension (no dot, at most six characters) of a path's last segment; the base in *baseName.
QString SplitFileName(const QString& path, QString* baseName);
// The last segment of a path, without its extension when asked.
QString FileNameFromPath(const QString& path, bool withoutExtension);

// The text made usable as one file or folder name: no separators, no characters Windows forbids,
// no line breaks or NULs, no leading or trailing dots, at most 200 bytes in the locale's encoding.
QString SafeFileName(const QString& text);
// The longest prefix whose encoding in the locale's 8-bit code page has at most maxBytes bytes.
// Never cuts inside a character.
QString LimitAnsiBytes(const QString& text, int maxBytes);

// Creates every missing folder along the path and returns it without a trailing separator, or
// empty text when no folder exists in the end. A segment that is unusable after SafeFileName
// stops the walk with an error message shown to owner.
QString CreateFolderPath(const QString& folderPath, QWidget* owner = nullptr);
// The same without a word to the user (for work that runs from a timer): the folder when every
// segment could be made, else empty. A folder made part of the way is not the one asked for.
QString CreateWholeFolderPath(const QString& folderPath);

// A path in the same folder under which no file exists yet: name[0001].ext, name[0002].ext, ...
// The text is read as the file tests read it (spaces around trimmed, file:/// taken as its path), and
// the path returned is that one, numbered when taken.
QString UniqueFilePath(const QString& path);

// Whether a text reads as a number (leading and trailing spaces allowed), and the number it reads
// as: "5,000" is 5000, in the C locale or the user's. Whoever asks the one reads the other.
bool IsNumericText(const QString& text);
std::optional<double> ParseNumber(const QString& text);

} // namespace Lunovex
