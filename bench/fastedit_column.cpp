// Setting the storage place of 10,000 selected articles as the fast edit does (database lock,
// one keyed update per article, a commit after at least 500 rows and 250 ms) against a bare SQLite
// UPDATE of the same rows by key in one transaction, over the same file and with the engine's
// settings.
#include "base/interaction.h"
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "persistence/dateischutz.h"
#include "stock/bulkcolumnupdate.h"
#include "stock/dblagersearchresult.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kArticles = 20000;

QString stockDir()
{
    return KeptStock(BenchDataRoot() + u"/fastedit-%1/"_s.arg(kArticles), kArticles, 3);
}

// Every other article of the list, as a clerk's selection of half the stock would be.
QStringList selection(IModLagerDBServerObj &db, int count)
{
    TDBLagerSearchResultObjectList list;
    db.Search(QString(), QString(), list, false, false);
    QStringList numbers;
    for (qsizetype i = 0; i < list.Count() && numbers.size() < count; i += 2)
        numbers.append(list[i]->ArtikelNr().toString());
    return numbers;
}

void BM_fastedit_column_Ours(benchmark::State &state)
{
    IModLagerDBServerObj db;
    db.Open(stockDir());
    const QStringList numbers = selection(db, int(state.range(0)));
    int round = 0;
    int changed = 0;
    for (auto _ : state) {
        auto lock = db.LockDatabase(u"Bench"_s);
        if (!lock)
            qFatal("cannot lock the stock");
        // A new place each round: a value that is already there still costs the write.
        changed = BulkColumnUpdate::Run(db, u"Lagerort"_s, u"R%1"_s.arg(++round), numbers, nullptr)
                      .changed;
        TDatabaseStoreBase::Unlock(lock);
    }
    state.counters["rows"] = changed;
}
BENCHMARK(BM_fastedit_column_Ours)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_fastedit_column_Reference(benchmark::State &state)
{
    QStringList numbers;
    {
        IModLagerDBServerObj db;
        db.Open(stockDir());
        numbers = selection(db, int(state.range(0)));
    }
    sqlite3 *db = nullptr;
    const QByteArray path = (stockDir() + u"LAGER.DAT"_s).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        qFatal("cannot open %s", path.constData());
    sqlite3_exec(db,
                 "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA mmap_size=1073741824",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "UPDATE \"LAGER\" SET \"Lagerort\" = ?1 WHERE \"LagerArtikelNr\" = ?2",
                       -1, &stmt, nullptr);
    int round = 0;
    for (auto _ : state) {
        const QString place = u"S%1"_s.arg(++round);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const QString &nr : numbers) {
            sqlite3_bind_text16(stmt, 1, place.utf16(), int(place.size() * 2), SQLITE_STATIC);
            sqlite3_bind_text16(stmt, 2, nr.utf16(), int(nr.size() * 2), SQLITE_STATIC);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BM_fastedit_column_Reference)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
