// The word search of a simple catalog of 500,000 articles, two words, against what a shell
// user would do with the same files: grep -F of the same folded words over STX.IDX, then
// reading the bucket lines the matching index lines point to. Repeated: the manager keeps
// its index and buckets, as a view does between two searches. Cold: a new manager reads
// them first.
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "catalogs/searchtextindex.h"
#include "catalogs/searchtextmanager.h"
#include "tools/suitegen/cataloggenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>
#include <map>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 500000;
const QString kQuery = u"kugelhahn messing"_s;

QString catalogDir()
{
    static const QString dir =
        KeptGenerated(BenchDataRoot() + u"/catalog-%1/"_s.arg(kArticles),
                      [](const QString &path, QString *error) {
                          return CatalogGenerator::GenerateSimpleCatalog(path, kArticles, 1, error);
                      });
    return dir;
}

void BM_catalog_search_Ours(benchmark::State &state)
{
    TSearchtextManager manager(catalogDir());
    manager.Search(kQuery, false, false); // loads what the repeated search keeps
    for (auto _ : state) {
        manager.Search(kQuery, false, false);
        benchmark::DoNotOptimize(manager.ResultCount());
    }
    state.counters["hits"] = manager.ResultCount();
}
BENCHMARK(BM_catalog_search_Ours)->Unit(benchmark::kMillisecond);

void BM_catalog_search_cold_Ours(benchmark::State &state)
{
    int hits = 0;
    for (auto _ : state) {
        TSearchtextManager manager(catalogDir());
        manager.Search(kQuery, false, false);
        hits = manager.ResultCount();
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_catalog_search_cold_Ours)->Unit(benchmark::kMillisecond);

void reference(benchmark::State &state)
{
    const QString dir = catalogDir();
    QStringList args{u"-F"_s};
    for (const QString &w : kQuery.split(u' '))
        args << u"-e"_s << SearchtextIndex::Fold(w);
    args << dir + u"STX.IDX"_s;
    qsizetype articles = 0;
    for (auto _ : state) {
        QProcess grep;
        grep.start(u"grep"_s, args);
        grep.waitForFinished(-1);
        // bucket -> wanted line numbers
        std::map<int, std::vector<int>> wanted;
        for (const QByteArray &line : grep.readAllStandardOutput().split('\n')) {
            const qsizetype eq = line.lastIndexOf('=');
            if (eq <= 0)
                continue;
            wanted[SearchtextIndex::BucketOf(QChar(char16_t(uchar(line[0]))))].push_back(
                line.mid(eq + 1).trimmed().toInt());
        }
        articles = 0;
        for (auto &[bucket, lines] : wanted) {
            QFile file(dir + u"STX."_s + QString::number(bucket));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> all = file.readAll().split('\n');
            for (int n : lines)
                if (n < all.size())
                    articles += all[n].count(',') + 1;
        }
        benchmark::DoNotOptimize(articles);
    }
    state.counters["articles"] = double(articles);
}

void BM_catalog_search_Reference(benchmark::State &state)
{
    reference(state);
}
BENCHMARK(BM_catalog_search_Reference)->Unit(benchmark::kMillisecond);

void BM_catalog_search_cold_Reference(benchmark::State &state)
{
    reference(state);
}
BENCHMARK(BM_catalog_search_cold_Reference)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
