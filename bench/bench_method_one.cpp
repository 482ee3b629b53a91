// Method one fetching a 100 MB file from a loopback server, against curl fetching the same file
// from the same server in the same run. Prints the ratio of wall times, the peak memory growth and
// the longest stall of the event loop during the transfer.

#include "BenchSupport.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "support/FixtureServer.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

using namespace Lunovex;
using Lunovex::Bench::resetPeakMemory;
using Lunovex::Bench::statusKb;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;

namespace {

double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr qint64 kFileBytes = 100LL * 1024 * 1024;

} // namespace

int main(int argc, char** argv)
{
    Test::TestEnvironment environment;
    QApplication app(argc, argv);
    environment.prepare(app);

    const Bench::ServerThread server(
        [&](Test::FixtureServer& s) { s.route(QStringLiteral("/big.pdf"), Route::pdf(kFileBytes)); });
    const QString url = server.url(QStringLiteral("/big.pdf"));
    const QString folder = Test::freshFolder(QStringLiteral("bench"));

    // Baseline: curl.
    QElapsedTimer timer;
    timer.start();
    const int curlExit =
        QProcess::execute(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"),
                                                   folder + QStringLiteral("/curl.pdf"), url});
    const double curlSeconds = timer.nsecsElapsed() / 1e9;
    if (curlExit != 0 || QFileInfo(folder + QStringLiteral("/curl.pdf")).size() != kFileBytes) {
        std::printf("curl failed (exit %d)\n", curlExit);
        return 1;
    }

    // Method one through the real download window.
    Timing::current().schedulingTick = milliseconds(5);
    SaveSetting(Setting::DownloadMethod(), QStringLiteral("1"));
    SaveSetting(Setting::MaxFileSize(), QStringLiteral("200"));
    auto* window = new fFileDownload;
    window->AddDownloadItem(url, QStringLiteral("big"), QStringLiteral("pdf"), folder + QLatin1Char('/'),
                            QString());

    qint64 longestGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        if (sinceTick.isValid()) longestGapMs = std::max(longestGapMs, sinceTick.elapsed());
        sinceTick.start();
    });

    const long rssBefore = statusKb("VmRSS:");
    resetPeakMemory();
    heartbeat.start(10);
    const double cpuBefore = threadCpuSeconds();
    timer.restart();
    window->StartDownloads();
    EventPump::waitUntil([&] { return window->检测是否下载列表完毕() && !window->DownloadBusy(); },
                         milliseconds(600'000));
    const double oursSeconds = timer.nsecsElapsed() / 1e9;
    const double windowThreadCpu = threadCpuSeconds() - cpuBefore;
    heartbeat.stop();
    const long peak = statusKb("VmHWM:");

    const qint64 got = QFileInfo(folder + QStringLiteral("/big.pdf")).size();
    std::printf("method one, 100 MB over loopback: %.2f s (file %lld bytes, row %s)\n", oursSeconds,
                qint64(got), qPrintable(window->item(0).ProgressText()));
    std::printf("  of which the window's thread was busy: %.2f s\n", windowThreadCpu);
    std::printf("curl -o, same file, same server:  %.2f s\n", curlSeconds);
    std::printf("ratio of wall times: %.2f (goal: at most 2.0)\n", oursSeconds / curlSeconds);
    std::printf("peak memory growth during the transfer: %.1f MB (goal: under 32 MB)\n",
                (peak - rssBefore) / 1024.0);
    std::printf("longest gap between 10 ms timer ticks during the transfer: %lld ms\n", longestGapMs);

    std::fflush(stdout);
    window->StopDownloads();
    window->close();
    return got == kFileBytes ? 0 : 1;
}
