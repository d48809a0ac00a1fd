// The stock list as the main window shows it, over generated stocks of 100,000 and 500,000
// articles: from the start of LoadAll to the first painted grid, against a bare SQLite scan
// of the same four columns over the same file; the memory of the full list before any details
// are loaded; a search and the end of the search.
#include "base/inifile.h"
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "bench/quietinteraction.h"
#include "stock/dblagersearchresult.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tools/suitegen/suitegenerator.h"

#include "bench/barelagerscan.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeView>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{
// Generated once per data directory and size, and kept.
QString stockDir(int articles)
{
    static std::map<int, QString> dirs;
    auto found = dirs.find(articles);
    if (found != dirs.end())
        return found->second;
    const QString path = KeptStock(BenchDataRoot() + u"/stock-%1"_s.arg(articles), articles);
    dirs[articles] = path;
    return path;
}

std::unique_ptr<TLagerAnzeigenFrame> openFrame(int articles)
{
    auto frame = std::make_unique<TLagerAnzeigenFrame>(nullptr, stockDir(articles), IniFile(), 0,
                                                       u"Bench"_s);
    frame->resize(1200, 700);
    frame->show();
    return frame;
}

void paint(TLagerAnzeigenFrame &frame)
{
    benchmark::DoNotOptimize(frame.Grid()->viewport()->grab());
}

void BM_stock_list_first_paint_Ours(benchmark::State &state)
{
    auto frame = openFrame(int(state.range(0)));
    for (auto _ : state) {
        frame->LoadAll();
        paint(*frame);
    }
    state.counters["rows"] = double(frame->DisplayedList().Count());
}
BENCHMARK(BM_stock_list_first_paint_Ours)->Arg(100000)->Arg(500000)->Unit(benchmark::kMillisecond);

// Reading the same four columns in the list's order is the least any list can do.
void BM_stock_list_first_paint_Reference(benchmark::State &state)
{
    RunBareLagerScan(state, stockDir(int(state.range(0))) + u"/LAGER.DAT"_s);
}
BENCHMARK(BM_stock_list_first_paint_Reference)
    ->Arg(100000)
    ->Arg(500000)
    ->Unit(benchmark::kMillisecond);

void BM_stock_list_memory(benchmark::State &state)
{
    auto frame = openFrame(int(state.range(0)));
    double perArticle = 0;
    for (auto _ : state) {
        frame->FullList().Clear();
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        frame->LoadAll();
        const size_t after = mallinfo2().uordblks;
        perArticle = double(after - before) / double(frame->FullList().Count());
    }
    state.counters["bytes_per_article"] = perArticle;
}
BENCHMARK(BM_stock_list_memory)
    ->Arg(100000)
    ->Arg(500000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_stock_list_search(benchmark::State &state)
{
    auto frame = openFrame(int(state.range(0)));
    auto *search = frame->findChild<QLineEdit *>(u"edSearch"_s);
    qsizetype hits = 0;
    for (auto _ : state) {
        search->setText(u"kugelhahn 3/4"_s);
        frame->StartSearch();
        paint(*frame);
        hits = frame->DisplayedList().Count();
        state.PauseTiming();
        frame->EndSearch();
        state.ResumeTiming();
    }
    state.counters["hits"] = double(hits);
}
BENCHMARK(BM_stock_list_search)->Arg(100000)->Arg(500000)->Unit(benchmark::kMillisecond);

void BM_stock_list_end_search(benchmark::State &state)
{
    auto frame = openFrame(int(state.range(0)));
    auto *search = frame->findChild<QLineEdit *>(u"edSearch"_s);
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(u"kugelhahn"_s);
        frame->StartSearch();
        frame->Grid()->setCurrentIndex(frame->Model().index(frame->Model().rowCount() / 2, 0));
        state.ResumeTiming();
        frame->EndSearch();
        paint(*frame);
    }
}
BENCHMARK(BM_stock_list_end_search)->Arg(100000)->Arg(500000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietInteraction quiet;
    ScopedInteraction scope(&quiet);
    return RunBenchmarks(argc, argv);
}
