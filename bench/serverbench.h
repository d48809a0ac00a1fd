#pragma once

// What the benchmarks comparing the database server with the SQLite files share: the server
// to use (STOCK_TEST_PG, as the server tests take it; tools/pg-test-cluster start prints one),
// data directories whose tables live there, and a note when the server does not sync.
#include "bench/benchdata.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbdatabase.h"

#include <QDir>
#include <benchmark/benchmark.h>

inline QString BenchServer()
{
    return qEnvironmentVariable("STOCK_TEST_PG");
}

// Without a server the pair shows no ratio rather than a wrong one.
inline bool ServerMissing(benchmark::State &state)
{
    if (!BenchServer().isEmpty())
        return false;
    state.SkipWithError("STOCK_TEST_PG is not set");
    return true;
}

// A cluster started for the tests does not sync its writes, the SQLite files do: a ratio
// measured so flatters the server, and the table says so.
inline void NoteServerDurability(benchmark::State &state)
{
    PgConnection pg(BenchServer());
    if (pg.exec(QStringLiteral("SHOW fsync")).text(0, 0) != QStringLiteral("on"))
        state.SetLabel("server without fsync");
}

// While it lives, databases connected in this process put their tables on the server.
class ServerTables
{
public:
    ServerTables() { TTdbDatabase::UseServer(BenchServer(), BenchDataRoot()); }
    ~ServerTables() { TTdbDatabase::UseServer({}); }
    ServerTables(const ServerTables &) = delete;
    ServerTables &operator=(const ServerTables &) = delete;
};

// An empty directory below the data root whose schema on the server is empty too: what an
// earlier run (on a server that outlived it) left in either is gone.
inline QString FreshServerDirectory(const QString &name)
{
    const QString path = BenchDataRoot() + QLatin1Char('/') + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    PgConnection pg(BenchServer());
    const QString schema = pgSchemaName(name);
    // The schema's entry in the server's directory map stays: it names the same directory.
    pg.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(sqlName(schema)));
    return path;
}
