// The booking of the receipt table over one order of 500 stock lines, 500 articles: per line
// the article's record lock and the stock database lock, a fresh read, the signed average
// price, one transaction for the article row and its history row, unlock. The table, its
// preparation and the order write are left out. The reference is the least any program does
// for the same durability: 500 bare reads, updates and history inserts, each line in its own
// SQLite transaction over the same two attached files, with the same journal and sync
// settings (no lock files).
#include "bench/benchdata.h"
#include "movements/tablereceiptcommand.h"
#include "ordering/bestellserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kLines = 500;

QString stockDir()
{
    static const QString dir = [] {
        const QString path = BenchDataRoot() + u"/order-receipt-table/"_s;
        QDir(path).removeRecursively();
        QString error;
        if (!SuiteGenerator::generateStock(path, 2000, 1, &error))
            qFatal("%s", qPrintable(error));
        return path;
    }();
    return dir;
}

// The first 500 stock articles without serial numbers, as the order names them.
QStringList articleNumbers()
{
    static const QStringList numbers = [] {
        QStringList out;
        IModLagerDBServerObj db;
        db.Open(stockDir());
        TTdbTable &table = db.LagerTable();
        for (table.First(); !table.Eof() && out.size() < kLines; table.Next()) {
            TLagerServerObj a;
            db.ReadRow(a);
            if (!a.SNPflicht && !a.IsNotBestandsartikel)
                out.append(a.LagerArtikelNr);
        }
        if (out.size() < kLines)
            qFatal("too few stock articles");
        return out;
    }();
    return numbers;
}

void BM_order_receipt_table_Ours(benchmark::State &state)
{
    IModLagerDBServerObj db;
    db.Open(stockDir());
    TableReceiptCommand::Hooks hooks;
    TableReceiptCommand command(db, QString(), u"Bench"_s, false, false, hooks);
    for (auto _ : state) {
        state.PauseTiming();
        TBestellServerObj order;
        order.BestellNr = u"BENCH-500"_s;
        for (const QString &nr : articleNumbers()) {
            TBestellartikel &line = order.Artikel.Add(TBestellartikel{});
            line.Typ = u"N"_s;
            line.ArtikelNr = nr;
            line.Menge = 2;
            line.EK = 12.5;
        }
        command.PrepareLines(order);
        state.ResumeTiming();
        command.BookLines(order);
        if (!command.Skipped().isEmpty() || order.Artikel[kLines - 1].Geliefert != 2)
            state.SkipWithError("lines not booked");
    }
    state.counters["lines"] = kLines;
}
BENCHMARK(BM_order_receipt_table_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void exec(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
}

void BM_order_receipt_table_Reference(benchmark::State &state)
{
    const QByteArray dir = stockDir().toUtf8();
    std::vector<QByteArray> numbers;
    for (const QString &nr : articleNumbers())
        numbers.push_back(nr.toUtf8());
    sqlite3 *db = nullptr;
    sqlite3_open_v2((dir + "LAGER.DAT").constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt *attach = nullptr;
    sqlite3_prepare_v2(db, "ATTACH DATABASE ?1 AS buch", -1, &attach, nullptr);
    const QByteArray buch = dir + "LAGERBUCH.DAT";
    sqlite3_bind_text(attach, 1, buch.constData(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(attach) != SQLITE_DONE)
        qFatal("attach: %s", sqlite3_errmsg(db));
    sqlite3_finalize(attach);
    exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; "
             "PRAGMA buch.journal_mode=DELETE; PRAGMA buch.synchronous=FULL");
    sqlite3_stmt *read = nullptr, *update = nullptr, *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid, \"BuchungsBestand\", \"XMLDATA\" FROM \"LAGER\" "
                       "WHERE \"LagerArtikelNr\" = ?1",
                       -1, &read, nullptr);
    sqlite3_prepare_v2(db,
                       "UPDATE \"LAGER\" SET \"BuchungsBestand\" = ?1, \"XMLDATA\" = ?2 "
                       "WHERE rowid = ?3",
                       -1, &update, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO buch.\"LAGERBUCH\" (\"LagerArtikelNr\", \"ART\", \"MENGE\", "
                       "\"BESTANDVORHER\", \"BESTANDNACHHER\", \"EKPREIS\") "
                       "VALUES (?1, 2, 2, ?2, ?3, 12.5)",
                       -1, &insert, nullptr);
    for (auto _ : state) {
        for (const QByteArray &nr : numbers) {
            exec(db, "BEGIN IMMEDIATE");
            sqlite3_bind_text(read, 1, nr.constData(), -1, SQLITE_STATIC);
            if (sqlite3_step(read) != SQLITE_ROW)
                qFatal("article missing");
            const qint64 rowid = sqlite3_column_int64(read, 0);
            const double stock = sqlite3_column_double(read, 1);
            const QByteArray xml(static_cast<const char *>(sqlite3_column_blob(read, 2)),
                                 sqlite3_column_bytes(read, 2));
            sqlite3_reset(read);
            sqlite3_bind_double(update, 1, stock + 2);
            sqlite3_bind_text(update, 2, xml.constData(), int(xml.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(update, 3, rowid);
            sqlite3_step(update);
            sqlite3_reset(update);
            sqlite3_bind_text(insert, 1, nr.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_double(insert, 2, stock);
            sqlite3_bind_double(insert, 3, stock + 2);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            exec(db, "COMMIT");
        }
    }
    sqlite3_finalize(read);
    sqlite3_finalize(update);
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.counters["lines"] = kLines;
}
BENCHMARK(BM_order_receipt_table_Reference)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
