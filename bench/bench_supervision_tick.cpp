// One supervision tick's list work (the counts, the end-of-run test and the automatic-start test)
// on a list of 10,000 rows, against a plain loop over the same states and texts in a std::vector.

#include "download/fFileDownload.h"
#include "platform/ReportList.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>

#include <array>
#include <cstdio>
#include <vector>

using namespace Lunovex;

namespace {

constexpr int kRows = 10'000;
constexpr int kRounds = 50;

struct PlainRow
{
    int state;
    std::array<QString, 3> texts;
};

template <typename F> double bestOf(F&& work)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

volatile int sink = 0;

} // namespace

int main(int argc, char** argv)
{
    Test::TestEnvironment environment;
    QApplication app(argc, argv);
    environment.prepare(app);

    auto* window = new fFileDownload;
    std::vector<PlainRow> plain;
    plain.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        window->AddDownloadItem(QStringLiteral("https://h/doi/pdf/%1?needAccess=true").arg(i),
                                QStringLiteral("Article %1").arg(i), QStringLiteral("pdf"),
                                QStringLiteral("/tmp/x/"), QString());
        const ItemState state = i < kRows - 1 ? Finished : Waiting; // the last row keeps the run going
        window->item(i).setState(state);
        if (state == Finished) {
            window->item(i).setSizeText(QStringLiteral("1000"));
            window->item(i).setReceivedText(QStringLiteral("1000"));
            window->item(i).setProgressText(QStringLiteral("100%"));
        }
        plain.push_back(
            {int(state),
             {window->item(i).SizeText(), window->item(i).ReceivedText(), window->item(i).ProgressText()}});
    }

    const double tick = bestOf([&] {
        window->UpdateStatusCounts();
        sink = sink + int(window->检测是否下载列表完毕()) + window->统计未下载项数目();
    });
    const double baseline = bestOf([&] {
        std::array<int, 5> perState{};
        for (const PlainRow& r : plain)
            ++perState[size_t(r.state)];
        bool finished = true;
        for (const PlainRow& r : plain)
            if (r.state != Finished && r.state != Failed) {
                finished = false;
                break;
            }
        int notStarted = 0;
        for (const PlainRow& r : plain)
            if (r.texts[0].isEmpty() && r.texts[1].isEmpty() && r.texts[2].isEmpty()) ++notStarted;
        const QString text = QStringLiteral("总数:%1 正在下载:%2 等待:%3 已完成:%4 失败:%5")
                                 .arg(plain.size())
                                 .arg(perState[2])
                                 .arg(perState[1])
                                 .arg(perState[3])
                                 .arg(perState[4]);
        sink = sink + int(finished) + notStarted + int(text.size());
    });

    std::printf("supervision tick over %d rows: %.3f ms (best of %d)\n", kRows, tick, kRounds);
    std::printf("plain loop over a std::vector of the same rows: %.3f ms\n", baseline);
    std::printf("ratio: %.1fx (goal: at most 10x)\n", tick / baseline);
    std::fflush(stdout);
    window->list()->clear();
    window->close();
    return 0;
}
