// Eight writer processes each put one article 110 times, all the same article, as eight
// `lager article put` jobs on one shared installation would: lock the record, read the stored
// article, write it back changed, unlock. The reference is the same 880 puts by one writer,
// which never waits; the ratio is what contention costs. The pause after a wait is the
// companion's (none); STOCK_BENCH_SETTLE_MS sets another, e.g. 1000 for the window's.
#include "bench/benchdata.h"
#include "persistence/dateischutz.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kWriters = 8;
constexpr int kPutsPerWriter = 110;
const QString kArticle = u"BENCH-PUT"_s;

QString stockDir()
{
    static const QString dir = [] {
        const QString path = BenchDataRoot() + u"/contended-puts"_s;
        QDir(path).removeRecursively();
        QString error;
        if (!SuiteGenerator::generateStock(path, 100, 1, &error))
            qFatal("%s", qPrintable(error));
        IModLagerDBServerObj db;
        db.Open(path);
        TLagerServerObj article;
        article.LagerArtikelNr = kArticle;
        article.Bezeichnung = u"Wettbewerb"_s;
        if (db.WriteArticle(&article) != 0)
            qFatal("cannot write the article");
        return path;
    }();
    return dir;
}

// In a child process: puts the article `puts` times and ends the process.
[[noreturn]] void writer(const QString &dir, int puts, int settle)
{
    // Every wait shows its text on the console; the benchmark's output stays a table.
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, 2);
    TDateischutz::SetSettleMilliseconds(settle);
    IModLagerDBServerObj db;
    db.Open(dir);
    const QString owner = u"Schreiber %1"_s.arg(::getpid());
    for (int i = 0; i < puts; ++i) {
        auto lock = db.LockRecord(owner, kArticle);
        if (!lock)
            ::_exit(2);
        TLagerServerObj article;
        article.LagerArtikelNr = kArticle;
        if (db.ReadArticle(&article) != 0)
            ::_exit(3);
        article.Changed = DateTime::now();
        article.ChangedBy = owner;
        if (db.WriteArticle(&article) != 0)
            ::_exit(4);
        TDatabaseStoreBase::Unlock(lock);
    }
    ::_exit(0);
}

void run(benchmark::State &state, int writers, int putsEach)
{
    const QString dir = stockDir();
    const int settle = qEnvironmentVariableIsSet("STOCK_BENCH_SETTLE_MS")
                           ? qEnvironmentVariableIntValue("STOCK_BENCH_SETTLE_MS")
                           : 0;
    for (auto _ : state) {
        std::vector<pid_t> children;
        for (int w = 0; w < writers; ++w) {
            const pid_t pid = ::fork();
            if (pid == 0)
                writer(dir, putsEach, settle);
            children.push_back(pid);
        }
        for (pid_t pid : children) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                state.SkipWithError("a writer failed");
        }
    }
    state.counters["puts"] = writers * putsEach;
    state.counters["settle_ms"] = settle;
}

void BM_contended_puts_Ours(benchmark::State &state)
{
    run(state, kWriters, kPutsPerWriter);
}
BENCHMARK(BM_contended_puts_Ours)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_contended_puts_Reference(benchmark::State &state)
{
    run(state, 1, kWriters * kPutsPerWriter);
}
BENCHMARK(BM_contended_puts_Reference)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
