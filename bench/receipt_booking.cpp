// One goods receipt of 1 unit at a time on one article, as `lager receipt` books it: record
// lock, read, the price update, one transaction for the article row and its history row (the
// history file attached to the stock table's connection), unlock. The reference is what any
// program must do at least for the same durability: a bare read, update and history insert in
// one SQLite transaction over the same two attached files, with the same journal and sync
// settings. The article is a plain one; a serial number adds one insert into a third file.
#include "bench/benchdata.h"
#include "bench/receiptbench.h"

#include <QDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{
QString stockDir()
{
    static const QString dir = MakeReceiptStock(BenchDataRoot() + u"/receipt-booking/"_s);
    return dir;
}

void BM_receipt_booking_Ours(benchmark::State &state)
{
    BookReceipts(state, stockDir());
}
BENCHMARK(BM_receipt_booking_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void exec(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
}

void BM_receipt_booking_Reference(benchmark::State &state)
{
    const QByteArray dir = stockDir().toUtf8();
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
                       "VALUES (?1, 1, 1, ?2, ?3, 10)",
                       -1, &insert, nullptr);
    const QByteArray nr = kReceiptArticle.toUtf8();
    for (auto _ : state) {
        exec(db, "BEGIN IMMEDIATE");
        sqlite3_bind_text(read, 1, nr.constData(), -1, SQLITE_STATIC);
        if (sqlite3_step(read) != SQLITE_ROW)
            qFatal("article missing");
        const qint64 rowid = sqlite3_column_int64(read, 0);
        const double stock = sqlite3_column_double(read, 1);
        const QByteArray xml(static_cast<const char *>(sqlite3_column_blob(read, 2)),
                             sqlite3_column_bytes(read, 2));
        sqlite3_reset(read);
        sqlite3_bind_double(update, 1, stock + 1);
        sqlite3_bind_text(update, 2, xml.constData(), int(xml.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(update, 3, rowid);
        sqlite3_step(update);
        sqlite3_reset(update);
        sqlite3_bind_text(insert, 1, nr.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 2, stock);
        sqlite3_bind_double(insert, 3, stock + 1);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        exec(db, "COMMIT");
    }
    sqlite3_finalize(read);
    sqlite3_finalize(update);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}
BENCHMARK(BM_receipt_booking_Reference)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

} // namespace

BENCHMARK_MAIN();
