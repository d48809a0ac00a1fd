// The stock list of 100,000 articles as the main window shows it, from the start of LoadAll
// to the first painted grid: its tables on the database server against the same generated
// stock in the SQLite files. The list itself is one query either way; the server adds the
// transfer of the rows and, for the rows painted, the details read one article at a time.
#include "base/inifile.h"
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "bench/quietinteraction.h"
#include "bench/serverbench.h"
#include "stock/dblagersearchresult.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tools/suitegen/suitegenerator.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTreeView>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 100000;

// The files are kept between runs (the stock-list benchmark shares them); the server's tables
// are made anew in every run, as the server may be a new one.
QString stockDir(bool server)
{
    if (server) {
        const QString path = FreshServerDirectory(u"server-stock-%1"_s.arg(kArticles));
        QString error;
        if (!SuiteGenerator::generateStock(path, kArticles, 1, &error))
            qFatal("%s", qPrintable(error));
        return path;
    }
    return KeptStock(BenchDataRoot() + u"/stock-%1"_s.arg(kArticles), kArticles);
}

void firstPaint(benchmark::State &state, const QString &dir)
{
    TLagerAnzeigenFrame frame(nullptr, dir, IniFile(), 0, u"Bench"_s);
    frame.resize(1200, 700);
    frame.show();
    for (auto _ : state) {
        frame.LoadAll();
        benchmark::DoNotOptimize(frame.Grid()->viewport()->grab());
    }
    state.counters["rows"] = double(frame.DisplayedList().Count());
}

void BM_server_stock_list_first_paint_Ours(benchmark::State &state)
{
    if (ServerMissing(state))
        return;
    ServerTables server;
    firstPaint(state, stockDir(true));
}
BENCHMARK(BM_server_stock_list_first_paint_Ours)->Unit(benchmark::kMillisecond);

void BM_server_stock_list_first_paint_Reference(benchmark::State &state)
{
    firstPaint(state, stockDir(false));
}
BENCHMARK(BM_server_stock_list_first_paint_Reference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietInteraction quiet;
    ScopedInteraction scope(&quiet);
    return RunBenchmarks(argc, argv);
}
