// The engine on the database server against the engine on SQLite files, through the same
// table API: append 20,000 stock-like rows in one transaction, then walk them in index order.
// The server runs where STOCK_TEST_PG points (tools/pg-test-cluster start); without it the
// server side reports an error and the table shows no ratio.
#include "bench/benchmain.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kRows = 20000;

void define(TTdbTable &t)
{
    t.SetTableName(u"LAGER"_s);
    t.FieldDefs().Add(u"LagerArtikelNr"_s, FieldType::WideString, 20, true);
    t.FieldDefs().Add(u"Bezeichnung"_s, FieldType::WideString, 81);
    t.FieldDefs().Add(u"Gruppe"_s, FieldType::WideString, 20);
    t.FieldDefs().Add(u"BuchungsBestand"_s, FieldType::Float);
    t.FieldDefs().Add(u"MwStSatz"_s, FieldType::Integer);
    t.FieldDefs().Add(u"XMLDATA"_s, FieldType::WideMemo);
    t.IndexDefs().Add(u"001"_s, u"LagerArtikelNr"_s, ixUnique);
    t.IndexDefs().Add(u"BEZ"_s, u"Bezeichnung"_s, ixCaseInsensitive);
}

// A database of its own per run: a directory (and on the server its schema).
struct Fixture {
    QTemporaryDir dir;
    TTdbDatabase db;
    TTdbTable table{&db};

    explicit Fixture(bool server)
    {
        TTdbDatabase::UseServer(server ? qEnvironmentVariable("STOCK_TEST_PG") : QString());
        db.SetLocation(dir.path());
        db.Connect();
        define(table);
        table.CreateTable();
        table.SetIndexName(u"001"_s);
        table.Open();
    }

    void fill()
    {
        const QString xml =
            u"<?xml version=\"1.0\"?><lagerartikel>"_s + QString(1500, u'x') + u"</lagerartikel>"_s;
        table.StartTransaction();
        for (int i = 0; i < kRows; ++i) {
            table.Append();
            table.FieldByName(u"LagerArtikelNr"_s)
                .SetAsString(u"A%1"_s.arg((qint64(i) * 7919) % kRows, 8, 10, QChar(u'0')));
            table.FieldByName(u"Bezeichnung"_s)
                .SetAsString(u"Kupferrohr %1 x 1,0 mm"_s.arg(i % 40));
            table.FieldByName(u"Gruppe"_s).SetAsString(u"G%1"_s.arg(i % 12));
            table.FieldByName(u"BuchungsBestand"_s).SetAsFloat(i * 0.25);
            table.FieldByName(u"MwStSatz"_s).SetAsInteger(1);
            table.FieldByName(u"XMLDATA"_s).SetAsString(xml);
            table.Post();
        }
        table.Commit();
    }
};

bool serverMissing(benchmark::State &state)
{
    if (!qEnvironmentVariableIsEmpty("STOCK_TEST_PG"))
        return false;
    state.SkipWithError("STOCK_TEST_PG is not set");
    return true;
}

void append(benchmark::State &state, bool server)
{
    if (server && serverMissing(state))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<Fixture>(server);
        state.ResumeTiming();
        f->fill();
        state.PauseTiming();
        f->table.DeleteTable();
        f.reset();
        state.ResumeTiming();
    }
}

void scan(benchmark::State &state, bool server)
{
    if (server && serverMissing(state))
        return;
    Fixture f(server);
    f.fill();
    f.table.SetIndexName(u"BEZ"_s);
    for (auto _ : state) {
        double sum = 0;
        for (f.table.First(); !f.table.Eof(); f.table.Next())
            sum += f.table.FieldByName(u"BuchungsBestand"_s).AsFloat();
        benchmark::DoNotOptimize(sum);
    }
    f.table.DeleteTable();
}

void BM_server_engine_append_Ours(benchmark::State &state)
{
    append(state, true);
}
void BM_server_engine_append_Reference(benchmark::State &state)
{
    append(state, false);
}
void BM_server_engine_scan_Ours(benchmark::State &state)
{
    scan(state, true);
}
void BM_server_engine_scan_Reference(benchmark::State &state)
{
    scan(state, false);
}

} // namespace

BENCHMARK(BM_server_engine_append_Ours)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_server_engine_append_Reference)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_server_engine_scan_Ours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_server_engine_scan_Reference)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
