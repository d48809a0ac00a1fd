// The stock list over a generated stock of 100,000 articles: the search that loads the list,
// against a bare SELECT of the same columns over the same file; the in-memory search of the
// list; loading details; writing changed articles in one transaction; and the memory of the
// full list.
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include "bench/barelagerscan.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 100000;

// Generated once per data directory and kept: the generator needs about as long as all the
// benchmarks together.
QString stockDir()
{
    static const QString dir =
        KeptStock(BenchDataRoot() + u"/stock-%1"_s.arg(kArticles), kArticles);
    return dir;
}

IModLagerDBServerObj &store()
{
    static IModLagerDBServerObj *db = [] {
        auto *d = new IModLagerDBServerObj;
        d->Open(stockDir());
        return d;
    }();
    return *db;
}

TDBLagerSearchResultObjectList &fullList()
{
    static TDBLagerSearchResultObjectList *list = [] {
        auto *l = new TDBLagerSearchResultObjectList;
        store().Search(QString(), QString(), *l, false, false);
        return l;
    }();
    return *list;
}

void BM_stock_search_Ours(benchmark::State &state)
{
    IModLagerDBServerObj &db = store();
    TDBLagerSearchResultObjectList list;
    for (auto _ : state) {
        db.Search(QString(), QString(), list, false, false);
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["rows"] = double(list.Count());
}
BENCHMARK(BM_stock_search_Ours)->Unit(benchmark::kMillisecond);

// The same columns in the same order from the same file, read as the bytes SQLite keeps.
void BM_stock_search_Reference(benchmark::State &state)
{
    RunBareLagerScan(state, stockDir() + u"/LAGER.DAT"_s);
}
BENCHMARK(BM_stock_search_Reference)->Unit(benchmark::kMillisecond);

void BM_stock_search_two_words(benchmark::State &state)
{
    IModLagerDBServerObj &db = store();
    TDBLagerSearchResultObjectList list;
    for (auto _ : state) {
        db.Search(u"kugelhahn 3/4"_s, QString(), list, false, false);
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["hits"] = double(list.Count());
}
BENCHMARK(BM_stock_search_two_words)->Unit(benchmark::kMillisecond);

// What the search costs when the cursor has to be walked (a filtered table).
void BM_stock_search_cursor_walk(benchmark::State &state)
{
    IModLagerDBServerObj &db = store();
    TTdbTable &t = db.LagerTable();
    t.SetFilter(u"LagerArtikelNr <> ''"_s);
    t.SetFiltered(true);
    TDBLagerSearchResultObjectList list;
    for (auto _ : state) {
        db.Search(QString(), QString(), list, false, false);
        benchmark::DoNotOptimize(list.Count());
    }
    t.SetFiltered(false);
    state.counters["rows"] = double(list.Count());
}
BENCHMARK(BM_stock_search_cursor_walk)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_stock_list_search_two_words(benchmark::State &state)
{
    const TDBLagerSearchResultObjectList &full = fullList();
    TDBLagerSearchResultObjectList hits(false);
    for (auto _ : state) {
        full.Search(u"kugelhahn 3/4"_s, QString(), hits);
        benchmark::DoNotOptimize(hits.Count());
    }
    state.counters["hits"] = double(hits.Count());
}
BENCHMARK(BM_stock_list_search_two_words)->Unit(benchmark::kMillisecond);

void BM_stock_list_search_group(benchmark::State &state)
{
    const TDBLagerSearchResultObjectList &full = fullList();
    TDBLagerSearchResultObjectList hits(false);
    for (auto _ : state) {
        full.Search(QString(), u"armaturen"_s, hits);
        benchmark::DoNotOptimize(hits.Count());
    }
    state.counters["hits"] = double(hits.Count());
}
BENCHMARK(BM_stock_list_search_group)->Unit(benchmark::kMillisecond);

// 1,000 rows spread over the list, as scrolling through it would load them.
void BM_stock_load_details_1000(benchmark::State &state)
{
    IModLagerDBServerObj &db = store();
    const TDBLagerSearchResultObjectList &full = fullList();
    for (auto _ : state) {
        for (qsizetype i = 0; i < 1000; ++i)
            benchmark::DoNotOptimize(db.LoadDetails(*full[i * (full.Count() / 1000)]));
    }
}
BENCHMARK(BM_stock_load_details_1000)->Unit(benchmark::kMillisecond);

// 10,000 articles read, changed and written back in one transaction. Only the stock changes,
// so the cached stock stays what the other benchmarks expect.
void BM_stock_write_10000_changed(benchmark::State &state)
{
    IModLagerDBServerObj &db = store();
    const TDBLagerSearchResultObjectList &full = fullList();
    std::vector<std::unique_ptr<TLagerServerObj>> records;
    for (qsizetype i = 0; i < 10000; ++i) {
        auto r = std::make_unique<TLagerServerObj>();
        r->LagerArtikelNr = full[i * 10]->ArtikelNr().toString();
        if (db.ReadArticle(r.get()) != 0)
            qFatal("cannot read %s", qPrintable(r->LagerArtikelNr));
        records.push_back(std::move(r));
    }
    double delta = 1;
    for (auto _ : state) {
        for (auto &r : records)
            r->BuchungsBestand += delta;
        db.Database().StartTransaction();
        for (auto &r : records) {
            if (db.WriteArticle(r.get()) != 0)
                qFatal("cannot write %s", qPrintable(r->LagerArtikelNr));
        }
        db.Database().Commit();
        delta = -delta;
    }
    if (delta < 0) { // an odd number of rounds: put the stock back
        for (auto &r : records)
            r->BuchungsBestand -= 1;
        db.Database().StartTransaction();
        for (auto &r : records)
            db.WriteArticle(r.get());
        db.Database().Commit();
    }
}
BENCHMARK(BM_stock_write_10000_changed)->Unit(benchmark::kMillisecond);

// The heap the full list takes, per article, before and after every entry's details loaded.
void BM_stock_full_list_memory(benchmark::State &state)
{
    IModLagerDBServerObj &db = store();
    double perArticle = 0;
    double perDetailed = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        TDBLagerSearchResultObjectList list;
        db.Search(QString(), QString(), list, false, false);
        const size_t after = mallinfo2().uordblks;
        perArticle = double(after - before) / double(list.Count());
        for (TDBLagerSearchResult *e : list)
            db.LoadDetails(*e);
        perDetailed = double(mallinfo2().uordblks - before) / double(list.Count());
    }
    state.counters["bytes_per_article"] = perArticle;
    state.counters["bytes_per_article_detailed"] = perDetailed;
    state.counters["entry_object_bytes"] = double(sizeof(TDBLagerSearchResult));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_stock_full_list_memory)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    stockDir();
    return RunBenchmarks(argc, argv);
}
