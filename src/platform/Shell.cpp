#include "platform/Shell.h"

#include "platform/EventPump.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace Lunovex {

namespace {

class DesktopShell final : public Shell
{
public:
    bool openUrl(const QUrl& url) override { return url.isValid() && QDesktopServices::openUrl(url); }

    bool startBrowser(const QString& address) override
    {
        for (const char* browser : {"x-www-browser", "sensible-browser", "xdg-open"}) {
            const QString program = QStandardPaths::findExecutable(QString::fromLatin1(browser));
            if (!program.isEmpty() && QProcess::startDetached(program, {address})) return true;
        }
        return false;
    }

    bool openFile(const QString& path) override { return openUrl(QUrl::fromLocalFile(path)); }

    bool openFolder(const QString& folder) override { return openUrl(QUrl::fromLocalFile(folder)); }

    bool showInFolder(const QString& filePath) override
    {
        // The freedesktop file-manager interface selects the item; a desktop without it gets the
        // folder opened instead.
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(filePath).toString()} << QString();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() &&
            bus.call(call, QDBus::BlockWithGui, 5000).type() == QDBusMessage::ReplyMessage)
            return true;
        return openFolder(QFileInfo(filePath).absolutePath());
    }

    bool openInTextEditor(const QString& filePath) override
    {
        // The desktop's handler for plain text, whatever the file's own name says.
        const QString desktopFile = defaultTextEditor();
        if (!desktopFile.isEmpty()) {
            const QString gtkLaunch = QStandardPaths::findExecutable(QStringLiteral("gtk-launch"));
            if (!gtkLaunch.isEmpty() && QProcess::startDetached(gtkLaunch, {desktopFile, filePath}))
                return true;
        }
        for (const char* editor : {"editor", "gedit", "mousepad", "kate", "xed"}) {
            const QString program = QStandardPaths::findExecutable(QString::fromLatin1(editor));
            if (!program.isEmpty() && QProcess::startDetached(program, {filePath})) return true;
        }
        return openFile(filePath);
    }

private:
    static QString defaultTextEditor()
    {
        const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
        if (xdgMime.isEmpty()) return {};
        QProcess query;
        query.start(xdgMime,
                    {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
        EventPump::waitUntil([&] { return query.state() == QProcess::NotRunning; }, milliseconds(3000));
        if (query.state() != QProcess::NotRunning) {
            query.kill();
            return {};
        }
        if (query.exitCode() != 0) return {};
        return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    }
};

Shell*& installed()
{
    static Shell* shell = nullptr;
    return shell;
}

} // namespace

Shell& Shell::current()
{
    static DesktopShell desktop;
    return installed() ? *installed() : desktop;
}

void Shell::install(Shell* shell)
{
    installed() = shell;
}

} // namespace Lunovex
