#pragma once

#include "platform/Shell.h"

#include <QStringList>

namespace Lunovex::Test {

// A shell that launches nothing: it records each request as "kind target" and answers as told.
class RecordingShell final : public Shell
{
public:
    RecordingShell() { Shell::install(this); }
    ~RecordingShell() override { Shell::install(nullptr); }

    QStringList calls;
    bool acceptOpenUrl = true;
    bool acceptShowInFolder = true;

    bool openUrl(const QUrl& url) override
    {
        return record(QStringLiteral("openUrl ") + url.toString(QUrl::FullyEncoded), acceptOpenUrl);
    }
    bool startBrowser(const QString& address) override
    {
        return record(QStringLiteral("startBrowser ") + address, true);
    }
    bool openFile(const QString& path) override { return record(QStringLiteral("openFile ") + path, true); }
    bool openFolder(const QString& folder) override
    {
        return record(QStringLiteral("openFolder ") + folder, true);
    }
    bool showInFolder(const QString& filePath) override
    {
        return record(QStringLiteral("showInFolder ") + filePath, acceptShowInFolder);
    }
    bool openInTextEditor(const QString& filePath) override
    {
        return record(QStringLiteral("openInTextEditor ") + filePath, true);
    }

private:
    bool record(const QString& call, bool answer)
    {
        calls.append(call);
        return answer;
    }
};

} // namespace Lunovex::Test
