// Sorting and shuffling a download list of 10,000 rows, against std::sort of the same texts in
// the same run.

#include "BenchSupport.h"

#include "download/fFileDownload.h"
#include "platform/ReportList.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHeaderView>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Lunovex;

namespace {

constexpr int kRows = 10'000;

} // namespace

int main(int argc, char** argv)
{
    Test::TestEnvironment environment;
    QApplication app(argc, argv);
    environment.prepare(app);
    Test::ScriptedPrompts prompts;

    auto* window = new fFileDownload;
    std::vector<QString> names;
    names.reserve(kRows);
    quint32 seed = 12345;
    for (int i = 0; i < kRows; ++i) {
        seed = seed * 1103515245u + 12345u;
        const QString name = QStringLiteral("Article %1 on cells").arg(seed % 1000003);
        names.push_back(name);
        window->AddDownloadItem(QStringLiteral("https://h/doi/pdf/%1").arg(i), name, QStringLiteral("pdf"),
                                QStringLiteral("/tmp/x/"), QString());
        window->item(i).setSizeText(QString::number(seed % 50'000'000));
    }
    window->list()->flushChanges();

    QElapsedTimer t;
    t.start();
    std::vector<QString> copy = names;
    std::sort(copy.begin(), copy.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    const double baseline = Bench::elapsedMs(t);

    t.restart();
    emit window->list()->header()->sectionClicked(ColumnName);
    const double byName = Bench::elapsedMs(t);
    t.restart();
    emit window->list()->header()->sectionClicked(ColumnSize);
    const double bySize = Bench::elapsedMs(t);
    t.restart();
    window->findChild<QAction*>(QStringLiteral("menu随机排序列表"))->trigger();
    const double shuffle = Bench::elapsedMs(t);

    std::printf("std::sort of the %d names (case-insensitive): %.1f ms\n", kRows, baseline);
    std::printf("column sort by name:  %.1f ms (%.1fx)\n", byName, byName / baseline);
    std::printf("column sort by size (padded numbers): %.1f ms (%.1fx)\n", bySize, bySize / baseline);
    std::printf("shuffle:              %.1f ms (%.1fx)\n", shuffle, shuffle / baseline);
    std::fflush(stdout);
    window->list()->clear();
    window->close();
    return 0;
}
