#pragma once

#include <QString>
#include <QUrl>

namespace Lunovex {

// The desktop shell: opening addresses, files and folders with the desktop's own programs.
// Every call answers whether the desktop accepted it. Tests install a recording shell so that
// nothing is launched.
class Shell
{
public:
    virtual ~Shell() = default;

    virtual bool openUrl(const QUrl& url) = 0;
    // Starts the desktop's web browser with the address (when the default handler refused it).
    virtual bool startBrowser(const QString& address) = 0;
    virtual bool openFile(const QString& path) = 0;
    virtual bool openFolder(const QString& folder) = 0;
    // Shows the file selected in the desktop's file manager; false when no file manager took it.
    virtual bool showInFolder(const QString& filePath) = 0;
    virtual bool openInTextEditor(const QString& filePath) = 0;

    static Shell& current();
    // Installs a shell (not owned); nullptr returns to the desktop's.
    static void install(Shell* shell);
};

} // namespace Lunovex
