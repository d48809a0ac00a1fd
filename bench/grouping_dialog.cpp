// Opening the grouping dialog's models over a generated stock of 100,000 articles (every
// article read as number and description, 1,000 groupings loaded, the ungrouped list built),
// against a bare SQLite scan of the stock list's columns over the same file.
#include "base/interaction.h"
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "movements/articlegroupings.h"
#include "movements/groupingeditor.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include "bench/barelagerscan.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace
{

bool generateGrouped(const QString &path, int articles, QString *error)
{
    if (!SuiteGenerator::generateStock(path, articles, 1, error))
        return false;
    IModLagerDBServerObj db;
    db.Open(path);
    GroupingEditor editor;
    editor.Load(db, path);
    // Pairs from the whole list, the way a clerk ties numbers of the same goods together.
    // The list shrinks by two rows per grouping; the step keeps every pair inside it.
    const int step = int(editor.Ungrouped().rowCount()) / 1000 - 2;
    for (int i = 0; i < 1000; ++i)
        if (!editor.GroupRows({i * step, i * step + 1}))
            qFatal("cannot group rows %d", i * step);
    if (!editor.Save())
        qFatal("cannot write the groupings");
    return true;
}

// Generated once per data directory and kept; its own directory, as the groupings file is
// written into it.
QString stockDir(int articles)
{
    return KeptGenerated(BenchDataRoot() + u"/groupings-%1/"_s.arg(articles),
                         [articles](const QString &path, QString *error) {
                             return generateGrouped(path, articles, error);
                         });
}

void BM_grouping_dialog_open_Ours(benchmark::State &state)
{
    const QString dir = stockDir(int(state.range(0)));
    IModLagerDBServerObj db;
    db.Open(dir);
    qsizetype ungrouped = 0;
    for (auto _ : state) {
        GroupingEditor editor;
        editor.Load(db, dir);
        ungrouped = editor.Ungrouped().rowCount();
        benchmark::DoNotOptimize(editor.Tree().rowCount());
    }
    state.counters["ungrouped"] = double(ungrouped);
}
BENCHMARK(BM_grouping_dialog_open_Ours)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_grouping_dialog_open_Reference(benchmark::State &state)
{
    RunBareLagerScan(state, stockDir(int(state.range(0))) + u"LAGER.DAT"_s);
}
BENCHMARK(BM_grouping_dialog_open_Reference)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
