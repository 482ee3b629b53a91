#pragma once

#include <QString>

class QWidget;

namespace Lunovex {

// Opens an address with the desktop's handler, falling back to starting the web browser.
// newWindow asks for a new browser window; the desktop decides where the page opens.
void OpenUrl(const QString& address, bool newWindow = false);

// Opens a file with its program; a missing file is reported with "文件不存在！".
void OpenFileWithShell(const QString& path, QWidget* owner);

// Shows the folder that holds the file, with the file selected; false when there is no such
// file or the desktop took neither request.
bool OpenFolderAndSelect(const QString& path);

// Opens a suggestion mail to the maker in the desktop's mail program.
void SendSuggestionMail(QWidget* owner);

// Lets the user pick a folder, starting at the parent of startFolder; the chosen folder, or the
// start folder when cancelled, always ending in the separator.
QString BrowseForFolder(QWidget* owner, const QString& startFolder, const QString& prompt, bool showFiles);

} // namespace Lunovex
