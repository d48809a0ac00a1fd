#pragma once

#include <QString>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

// The least any stock list can do: read the four list columns of LAGER in article-number
// order straight from SQLite. The reference the stock benchmarks compare with.
inline void RunBareLagerScan(benchmark::State &state, const QString &lagerDat)
{
    sqlite3 *db = nullptr;
    const QByteArray path = lagerDat.toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        qFatal("cannot open %s", path.constData());
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid, \"LagerArtikelNr\", \"Bezeichnung\", \"Gruppe\" FROM "
                       "\"LAGER\" ORDER BY \"LagerArtikelNr\", rowid",
                       -1, &stmt, nullptr);
    qint64 rows = 0;
    for (auto _ : state) {
        rows = 0;
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            bytes += size_t(sqlite3_column_int64(stmt, 0));
            for (int c = 1; c <= 3; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                bytes += size_t(sqlite3_column_bytes(stmt, c));
            }
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["rows"] = double(rows);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
