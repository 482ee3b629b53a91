#include "TestEnvironment.h"

#include "app/Application.h"
#include "platform/AppFolder.h"
#include "platform/Browser.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <unistd.h>

namespace Lunovex::Test {

namespace {

QString g_root;

void setEnv(const char* name, const QString& value)
{
    qputenv(name, value.toLocal8Bit());
}

} // namespace

TestEnvironment::TestEnvironment()
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/lunovex-test-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    root_ = QString::fromLocal8Bit(pattern);
    g_root = root_;
    for (const char* sub : {"home", "config", "data", "cache", "runtime", "app"})
        QDir(root_).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root_ + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    setEnv("HOME", root_ + QStringLiteral("/home"));
    setEnv("XDG_CONFIG_HOME", root_ + QStringLiteral("/config"));
    setEnv("XDG_DATA_HOME", root_ + QStringLiteral("/data"));
    setEnv("XDG_CACHE_HOME", root_ + QStringLiteral("/cache"));
    setEnv("XDG_RUNTIME_DIR", root_ + QStringLiteral("/runtime"));
    // No desktop session: nothing a test does may reach the user's desktop.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Browser::prepareProcess();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    // The search window opens the publisher's home page when it has nothing else to show; tests
    // that want a site point it at their own server.
    qputenv("LUNOVEX_PUBLISHER_HOME", "about:blank");
}

TestEnvironment::~TestEnvironment()
{
    if (!root_.isEmpty() && qEnvironmentVariableIsEmpty("LUNOVEX_KEEP_TEST_FILES"))
        QDir(root_).removeRecursively();
}

void TestEnvironment::prepare(QApplication& app)
{
    InitApplication(app);
    SetApplicationFolderOverride(root_ + QStringLiteral("/app"));
}

QString freshFolder(const QString& name)
{
    const QString path = g_root + QStringLiteral("/work/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace Lunovex::Test
