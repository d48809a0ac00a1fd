// A whole DATANORM catalog of 100,000 articles into an empty stock as the command does it (stock
// lock, merge record and stock article per row, article row and history row, commits in
// batches) against a bare SQLite insert of the same articles (number, description, price and
// their XML text) into the same table in one transaction. And the DATANORM importer over a
// generated delivery of 100,000 articles, word index included, in MB/s and articles/s.
#include "base/inifile.h"
#include "base/interaction.h"
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "catalogs/datanorm/datanormimport.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/katalogtransfer.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/cataloggenerator.h"
#include "tools/suitegen/datanormgenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 100000;

QString benchDir()
{
    return BenchDataRoot() + u'/';
}

// Made once and kept between runs, like the other benchmarks' installations.
QString generated(const QString &name, const std::function<bool(const QString &, QString *)> &make)
{
    return KeptGenerated(benchDir() + name + u'/', make);
}

QString catalogBase()
{
    return generated(u"transfer-%1"_s.arg(kArticles), [](const QString &dir, QString *error) {
        if (!CatalogGenerator::GenerateDatanormCatalog(dir + u"MUELLER"_s, kArticles, 5, error))
            return false;
        // Without it the pool would take the directory for a simple catalog.
        IniFile ini;
        ini.writeInteger(u"Catalog"_s, u"Type"_s, 1);
        return ini.saveAs(dir + u"MUELLER/SUPPLIER.INI"_s);
    });
}

KatalogTransfer::Settings settings(const QString &base, const QString &stock)
{
    KatalogTransfer::Settings s;
    s.catalogBaseDir = base;
    s.stockDir = stock;
    s.imagesDir = stock + u"IMAGES/"_s;
    s.userFullName = u"Bench"_s;
    s.minBatchMs = 250; // as the program runs it
    return s;
}

QString freshStock()
{
    const QString stock = benchDir() + u"transfer-stock/"_s;
    QDir(stock).removeRecursively();
    IModLagerDBServerObj db;
    db.Open(stock);
    return stock;
}

void BM_catalog_transfer_Ours(benchmark::State &state)
{
    const QString base = catalogBase();
    int written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString stock = freshStock();
        state.ResumeTiming();
        TKatalogDBPool pool(base, stock, {});
        IModLagerDBServerObj db;
        db.Open(stock);
        auto lock = db.LockDatabase(u"Bench"_s);
        written = KatalogTransfer(pool, db, settings(base, stock)).ImportWholeCatalog(u"MUELLER"_s);
        if (written != kArticles)
            qFatal("transferred %d articles", written);
        TDatabaseStoreBase::Unlock(lock);
    }
    state.counters["articles"] = written;
}
BENCHMARK(BM_catalog_transfer_Ours)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_catalog_transfer_Reference(benchmark::State &state)
{
    struct Row {
        QString nr, text, xml;
        double price;
    };
    std::vector<Row> rows;
    {
        const QString base = catalogBase();
        TKatalogDBPool pool(base, QString(), {});
        const KatalogTransfer::Settings s = settings(base, benchDir() + u"none/"_s);
        KatalogTransfer::WalkCatalog(
            *pool.GetItem(u"MUELLER"_s, true), s.prices, [&](const TKatalogDBClipBoardMergeObj &m) {
                auto a = KatalogTransfer::BuildStockArticle(m, m.ArtikelNr, s);
                QString xml;
                a->AppendXML(xml, u"");
                rows.push_back({a->LagerArtikelNr, a->Bezeichnung, xml, a->EKPreis.toDouble()});
                return true;
            });
    }
    for (auto _ : state) {
        state.PauseTiming();
        const QByteArray path = (freshStock() + u"LAGER.DAT"_s).toUtf8();
        state.ResumeTiming();
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            qFatal("cannot open %s", path.constData());
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr,
                     nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO \"LAGER\" (\"LagerArtikelNr\", \"Bezeichnung\", "
                           "\"EKPreis\", \"XMLDATA\") VALUES (?1, ?2, ?3, ?4)",
                           -1, &stmt, nullptr);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const Row &r : rows) {
            sqlite3_bind_text16(stmt, 1, r.nr.utf16(), int(r.nr.size() * 2), SQLITE_STATIC);
            sqlite3_bind_text16(stmt, 2, r.text.utf16(), int(r.text.size() * 2), SQLITE_STATIC);
            sqlite3_bind_double(stmt, 3, r.price);
            sqlite3_bind_text16(stmt, 4, r.xml.utf16(), int(r.xml.size() * 2), SQLITE_STATIC);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    state.counters["articles"] = double(rows.size());
}
BENCHMARK(BM_catalog_transfer_Reference)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_datanorm_import(benchmark::State &state)
{
    const QString delivery =
        generated(u"datanorm-%1"_s.arg(kArticles), [](const QString &dir, QString *error) {
            return DatanormGenerator::GenerateDelivery(dir, kArticles, 9, error);
        });
    DatanormImport::Result r;
    for (auto _ : state) {
        state.PauseTiming();
        const QString catalog = benchDir() + u"datanorm-catalog/"_s;
        QDir(catalog).removeRecursively();
        state.ResumeTiming();
        r = DatanormImport::Import(delivery, catalog);
        if (!r.ok)
            qFatal("%s", qPrintable(r.error));
    }
    state.counters["MB/s"] = benchmark::Counter(double(r.bytes) / 1e6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
    state.counters["articles/s"] = benchmark::Counter(
        double(r.written) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_datanorm_import)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
