// The once-per-start update check of the start window: the version file asked of the maker's site,
// and its reply compared with our own version.

#include "app/UpdateCheck.h"

#include "app/Globals.h"
#include "app/fCover.h"
#include "platform/Prompts.h"
#include "transfer/uXMLHTTP.h"
#include "util/Product.h"
#include "util/ShellHelpers.h"

#include <QLabel>

namespace Lunovex {

std::optional<float> VersionNumber(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3) return std::nullopt;
    std::array<float, 3> numbers{};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[size_t(i)] = parts[i].trimmed().toFloat(&ok);
        if (!ok || parts[i].trimmed().isEmpty()) return std::nullopt;
    }
    const float sum = numbers[0] * 10'000'000.0F + numbers[1] * 10'000.0F + numbers[2];
    return sum;
}

bool IsNewerRelease(const QString& reply, const QString& ownVersion)
{
    const QString text = reply.trimmed();
    if (text.isEmpty() || text.size() >= 21) return false;
    const std::optional<float> remote = VersionNumber(text);
    const std::optional<float> local = VersionNumber(ownVersion);
    return remote && local && *remote > *local;
}

void fCover::CheckForNewVersion()
{
    const QString site = Product::updateSite();
    if (site.isEmpty()) return; // no maker's site in this build: nothing to ask
    uXMLHTTP2->Open_(QStringLiteral("GET"), site + Product::executableName() + QStringLiteral("/newver.txt"));
    uXMLHTTP2->Send_();
}

void fCover::uXMLHTTP2_OnDateArrived()
{
    const QString text = uXMLHTTP2->ResponseText().trimmed();
    if (!text.isEmpty() && text.size() < 21) CompareVersionReply(text);
}

void fCover::uXMLHTTP2_OnDateErr()
{
    MsgBox(this, QStringLiteral("请保持网络畅通！"), PromptIcon::Critical);
}

void fCover::CompareVersionReply(const QString& text)
{
    if (!IsNewerRelease(text, Product::version())) return;
    Globals().LatestVersion = text;
    Label3->setText(QStringLiteral("有最新版本：V") + text + QStringLiteral("可以下载升级。"));
    Label3->show();
    OpenUrl(Product::productPage());
    MsgBox(this, QStringLiteral("有新版本发布，请下载安装升级！"), PromptIcon::Information);
}

} // namespace Lunovex
