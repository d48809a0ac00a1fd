// The engine against hand-written SQLite on the same job: append 100,000 rows of a stock-like
// table (25 columns, a unique index on the article number, a 2 KB XML text per row) in one
// transaction, then read every row with every column in index order.
#include "bench/benchmain.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kRows = 100000;

struct Column {
    QString name;
    FieldType type;
    int size;
};

const std::vector<Column> &columns()
{
    static const std::vector<Column> cols = {
        {u"LagerArtikelNr"_s, FieldType::WideString, 20},
        {u"EAN"_s, FieldType::WideString, 20},
        {u"AlternativArtikelNr"_s, FieldType::WideString, 20},
        {u"Katalog"_s, FieldType::WideString, 20},
        {u"Bezeichnung"_s, FieldType::WideString, 81},
        {u"BuchungsBestand"_s, FieldType::Float, 0},
        {u"SummeWareneingangMe"_s, FieldType::Float, 0},
        {u"Gruppe"_s, FieldType::WideString, 20},
        {u"Lagerort"_s, FieldType::WideString, 20},
        {u"Inventurartikel"_s, FieldType::Boolean, 0},
        {u"Anfangsbestand"_s, FieldType::Float, 0},
        {u"InventurErfassung"_s, FieldType::Float, 0},
        {u"Inventurdifferenz"_s, FieldType::Float, 0},
        {u"Rabattgruppen"_s, FieldType::WideString, 20},
        {u"ME"_s, FieldType::WideString, 20},
        {u"DEinstandsPreisbildung"_s, FieldType::Boolean, 0},
        {u"PREISEINHEIT"_s, FieldType::Integer, 0},
        {u"EKPreis"_s, FieldType::Float, 0},
        {u"VKZuschlag"_s, FieldType::Float, 0},
        {u"MwStSatz"_s, FieldType::Integer, 0},
        {u"SNPflicht"_s, FieldType::Boolean, 0},
        {u"STKL"_s, FieldType::WideString, 50},
        {u"VIEWCOLOR"_s, FieldType::Integer, 0},
        {u"ISNOTBESTANDSARTIKEL"_s, FieldType::Boolean, 0},
        {u"XMLDATA"_s, FieldType::WideMemo, 0},
    };
    return cols;
}

// The values of one row, made before timing starts so that both sides write the same data.
struct Source {
    std::vector<QString> numbers;
    std::vector<QString> texts;
    std::vector<QString> xml;

    Source()
    {
        numbers.reserve(kRows);
        for (int i = 0; i < kRows; ++i) // not in key order, as imports are not
            numbers.push_back(u"A%1"_s.arg((qint64(i) * 7919) % kRows, 8, 10, QChar(u'0')));
        for (int i = 0; i < 16; ++i)
            texts.push_back(u"Kupferrohr %1 x 1,0 mm hart, Stange 5 m"_s.arg(10 + i));
        for (int i = 0; i < 64; ++i) {
            QString x =
                u"<?xml version=\"1.0\"?><lagerartikel><pinfo vkp1=\"%1\" vkp2=\"2\"/>"_s.arg(i);
            while (x.size() < 2000)
                x += u"<text typ=\"lang\">Pressfitting aus Rotguss, DVGW-geprueft &amp; "
                     "trinkwassergeeignet</text>"_s;
            x += u"</lagerartikel>"_s;
            xml.push_back(x);
        }
    }

    QVariant value(int row, int col) const
    {
        switch (col) {
        case 0:
            return numbers[size_t(row)];
        case 4:
            return texts[size_t(row) % texts.size()];
        case 24:
            return xml[size_t(row) % xml.size()];
        default:
            break;
        }
        switch (columns()[size_t(col)].type) {
        case FieldType::Float:
            return row * 0.25 + col;
        case FieldType::Integer:
            return row % 1000 + col;
        case FieldType::Boolean:
            return (row + col) % 2 == 0;
        default:
            return u"W%1"_s.arg(col);
        }
    }
};

const Source &source()
{
    static const Source s;
    return s;
}

// STOCK_BENCH_DIR keeps the scanned tables between runs, so that a profiler sees only scans.
QString benchDir()
{
    static QTemporaryDir temp;
    const QString fixed = qEnvironmentVariable("STOCK_BENCH_DIR");
    return fixed.isEmpty() ? temp.path() : fixed;
}

// ---- engine ---------------------------------------------------------------------------

void engineAppend(const QString &dir)
{
    TTdbDatabase db;
    db.SetLocation(dir);
    db.Connect();
    TTdbTable t(&db);
    t.SetTableName(u"LAGER"_s);
    for (const Column &c : columns())
        t.FieldDefs().Add(c.name, c.type, c.size);
    t.IndexDefs().Add(u"001"_s, u"LagerArtikelNr"_s, ixUnique);
    t.CreateTable();
    t.SetIndexName(u"001"_s);
    t.Open();
    const Source &src = source();
    const auto &cols = columns();
    t.StartTransaction();
    for (int r = 0; r < kRows; ++r) {
        t.Append();
        for (int c = 0; c < int(cols.size()); ++c)
            t.FieldByName(cols[size_t(c)].name).SetAsVariant(src.value(r, c));
        t.Post();
    }
    t.Commit();
}

qint64 engineScan(const QString &dir)
{
    TTdbDatabase db;
    db.SetLocation(dir);
    db.Connect();
    TTdbTable t(&db);
    t.SetTableName(u"LAGER"_s);
    t.SetIndexName(u"001"_s);
    t.Open();
    const auto &cols = columns();
    qint64 sum = 0;
    int rows = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        for (const Column &c : cols) {
            TField &f = t.FieldByName(c.name);
            switch (c.type) {
            case FieldType::Float:
                sum += qint64(f.AsFloat());
                break;
            case FieldType::Integer:
                sum += f.AsInteger();
                break;
            case FieldType::Boolean:
                sum += f.AsBoolean();
                break;
            default:
                sum += f.AsString().size();
                break;
            }
        }
        ++rows;
    }
    if (rows != kRows)
        qFatal("engine scan saw %d rows", rows);
    return sum;
}

// ---- raw SQLite -----------------------------------------------------------------------

void check(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        qFatal("sqlite: %s", sqlite3_errmsg(db));
}

sqlite3 *rawOpen(const QString &file)
{
    sqlite3 *db = nullptr;
    check(db, sqlite3_open_v2(file.toUtf8().constData(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                              nullptr));
    sqlite3_busy_timeout(db, 10000);
    check(db, sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr,
                           nullptr, nullptr));
    return db;
}

void rawAppend(const QString &file)
{
    sqlite3 *db = rawOpen(file);
    const auto &cols = columns();
    QStringList defs;
    QStringList names;
    QStringList params;
    for (const Column &c : cols) {
        const QString aff = c.type == FieldType::Float ? u"REAL"_s
                            : (c.type == FieldType::Integer || c.type == FieldType::Boolean)
                                ? u"INTEGER"_s
                                : u"TEXT"_s;
        defs.append(c.name + u' ' + aff);
        names.append(c.name);
        params.append(u"?"_s);
    }
    check(db, sqlite3_exec(db,
                           (u"CREATE TABLE LAGER (%1); CREATE UNIQUE INDEX LAGER001 ON LAGER "
                            "(LagerArtikelNr)"_s.arg(defs.join(u", "_s)))
                               .toUtf8()
                               .constData(),
                           nullptr, nullptr, nullptr));
    sqlite3_stmt *ins = nullptr;
    check(db, sqlite3_prepare_v2(db,
                                 (u"INSERT INTO LAGER (%1) VALUES (%2)"_s.arg(names.join(u", "_s),
                                                                              params.join(u", "_s)))
                                     .toUtf8()
                                     .constData(),
                                 -1, &ins, nullptr));
    const Source &src = source();
    check(db, sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < int(cols.size()); ++c) {
            const QVariant v = src.value(r, c);
            switch (cols[size_t(c)].type) {
            case FieldType::Float:
                sqlite3_bind_double(ins, c + 1, v.toDouble());
                break;
            case FieldType::Integer:
                sqlite3_bind_int(ins, c + 1, v.toInt());
                break;
            case FieldType::Boolean:
                sqlite3_bind_int(ins, c + 1, v.toBool());
                break;
            default: {
                const QString s = v.toString();
                sqlite3_bind_text16(ins, c + 1, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        check(db, sqlite3_step(ins));
        sqlite3_reset(ins);
    }
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
    sqlite3_finalize(ins);
    sqlite3_close(db);
}

qint64 rawScan(const QString &file)
{
    sqlite3 *db = rawOpen(file);
    sqlite3_stmt *sel = nullptr;
    check(db,
          sqlite3_prepare_v2(db, "SELECT * FROM LAGER ORDER BY LagerArtikelNr", -1, &sel, nullptr));
    const auto &cols = columns();
    qint64 sum = 0;
    int rows = 0;
    while (sqlite3_step(sel) == SQLITE_ROW) {
        for (int c = 0; c < int(cols.size()); ++c) {
            switch (cols[size_t(c)].type) {
            case FieldType::Float:
                sum += qint64(sqlite3_column_double(sel, c));
                break;
            case FieldType::Integer:
                sum += sqlite3_column_int(sel, c);
                break;
            case FieldType::Boolean:
                sum += sqlite3_column_int(sel, c) != 0;
                break;
            default: {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(sel, c));
                sum += QString::fromUtf8(text, sqlite3_column_bytes(sel, c)).size();
                break;
            }
            }
        }
        ++rows;
    }
    sqlite3_finalize(sel);
    sqlite3_close(db);
    if (rows != kRows)
        qFatal("raw scan saw %d rows", rows);
    return sum;
}

// ---- benchmarks -----------------------------------------------------------------------

void BM_engine_append_Ours(benchmark::State &state)
{
    source();
    for (auto _ : state) {
        state.PauseTiming();
        const QString dir = benchDir() + u"/engine-append"_s;
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        state.ResumeTiming();
        engineAppend(dir);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_engine_append_Reference(benchmark::State &state)
{
    source();
    for (auto _ : state) {
        state.PauseTiming();
        const QString file = benchDir() + u"/raw-append.db"_s;
        QFile::remove(file);
        state.ResumeTiming();
        rawAppend(file);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_engine_scan_Ours(benchmark::State &state)
{
    const QString dir = benchDir() + u"/engine-scan"_s;
    if (!QFile::exists(dir + u"/LAGER.DAT"_s)) {
        QDir().mkpath(dir);
        engineAppend(dir);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engineScan(dir));
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_engine_scan_Reference(benchmark::State &state)
{
    const QString file = benchDir() + u"/raw-scan.db"_s;
    if (!QFile::exists(file))
        rawAppend(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(rawScan(file));
    state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_engine_append_Ours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_engine_append_Reference)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_engine_scan_Ours)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_engine_scan_Reference)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
