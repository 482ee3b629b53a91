// Six slots of method two fetching six 50 MB files from a loopback server, against
// curl --parallel --parallel-max 6 fetching the same files from the same server in the same run.
// Prints the ratio of wall times and the peak memory growth.

#include "BenchSupport.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "support/FixtureServer.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cstdio>

using namespace Lunovex;
using Lunovex::Bench::resetPeakMemory;
using Lunovex::Bench::statusKb;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;

namespace {

constexpr qint64 kFileBytes = 50LL * 1024 * 1024;
constexpr int kFiles = 6;

} // namespace

int main(int argc, char** argv)
{
    Test::TestEnvironment environment;
    QApplication app(argc, argv);
    environment.prepare(app);

    const Bench::ServerThread server([&](Test::FixtureServer& s) {
        for (int i = 1; i <= kFiles; ++i)
            s.route(QStringLiteral("/f%1.pdf").arg(i), Route::pdf(kFileBytes));
    });
    const QString folder = Test::freshFolder(QStringLiteral("bench2"));

    QStringList curlArgs{QStringLiteral("-s"), QStringLiteral("--parallel"), QStringLiteral("--parallel-max"),
                         QStringLiteral("6")};
    for (int i = 1; i <= kFiles; ++i)
        curlArgs << QStringLiteral("-o") << folder + QStringLiteral("/curl%1.pdf").arg(i)
                 << server.url(QStringLiteral("/f%1.pdf").arg(i));
    // Best of three for each side: the disk takes 600 MB per round and its write-back is noisy.
    constexpr int kRounds = 3;
    QElapsedTimer timer;
    double curlSeconds = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        timer.start();
        const int curlExit = QProcess::execute(QStringLiteral("curl"), curlArgs);
        curlSeconds = std::min(curlSeconds, timer.nsecsElapsed() / 1e9);
        if (curlExit != 0) {
            std::printf("curl failed (exit %d)\n", curlExit);
            return 1;
        }
        for (int i = 1; i <= kFiles; ++i)
            QFile::remove(folder + QStringLiteral("/curl%1.pdf").arg(i));
    }

    Timing::current().schedulingTick = milliseconds(5);
    SaveSetting(Setting::DownloadMethod(), QStringLiteral("2"));
    SaveSetting(Setting::MaxFileSize(), QStringLiteral("200"));
    double oursSeconds = 1e9;
    long peak = 0;
    long rssBefore = 0;
    fFileDownload* window = nullptr;
    for (int round = 0; round < kRounds; ++round) {
        if (window) {
            window->StopDownloads();
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            for (int i = 1; i <= kFiles; ++i)
                QFile::remove(folder + QStringLiteral("/f%1.pdf").arg(i));
        }
        window = new fFileDownload;
        window->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("6"));
        for (int i = 1; i <= kFiles; ++i)
            window->AddDownloadItem(server.url(QStringLiteral("/f%1.pdf").arg(i)),
                                    QStringLiteral("f%1").arg(i), QStringLiteral("pdf"),
                                    folder + QLatin1Char('/'), QString());
        rssBefore = statusKb("VmRSS:");
        resetPeakMemory();
        timer.restart();
        window->StartDownloads();
        EventPump::waitUntil(
            [&] { return window->检测是否下载列表完毕() && window->CountLoadedSlots() == 1; },
            milliseconds(600'000));
        oursSeconds = std::min(oursSeconds, timer.nsecsElapsed() / 1e9);
        peak = std::max(peak, statusKb("VmHWM:") - rssBefore);
    }

    qint64 total = 0;
    for (int i = 1; i <= kFiles; ++i)
        total += QFileInfo(folder + QStringLiteral("/f%1.pdf").arg(i)).size();
    std::printf("method two, six slots, 6 x 50 MB over loopback: %.2f s, best of %d (%lld bytes on disk)\n",
                oursSeconds, kRounds, qint64(total));
    std::printf("curl --parallel --parallel-max 6, same files:  %.2f s, best of %d\n", curlSeconds, kRounds);
    std::printf("ratio of wall times: %.2f (goal: at most 1.2)\n", oursSeconds / curlSeconds);
    std::printf("peak memory growth during the transfers: %.1f MB (goal: under 48 MB)\n", peak / 1024.0);
    std::fflush(stdout);

    window->StopDownloads();
    window->close();
    return total == kFiles * kFileBytes ? 0 : 1;
}
