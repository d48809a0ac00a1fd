// One goods receipt through the core on the database server against the same receipt on the
// SQLite files: record lock with its holder's name, read, price update, one transaction for
// the article and its history row, unlock. Every step is a round trip to the server where
// the files answer from this process, so this is where the server costs most.
#include "bench/benchmain.h"
#include "bench/serverbench.h"
#include "movements/receiptcommand.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{
const QString kArticle = u"BENCH-RCPT"_s;

// A small stock with one plain article to book on, made in the backend chosen at the time.
QString makeStock(const QString &path)
{
    QString error;
    if (!SuiteGenerator::generateStock(path, 1000, 1, &error))
        qFatal("%s", qPrintable(error));
    IModLagerDBServerObj db;
    db.Open(path);
    TLagerServerObj article;
    article.LagerArtikelNr = kArticle;
    article.Bezeichnung = u"Wareneingang"_s;
    article.DEinstandsPreisbildung = true;
    if (db.BookArticle(article, TLagerBuchung::Change(TLagerBuchung::Opening, kArticle, 0, 0, 0,
                                                      u"BENCH"_s)) != 0)
        qFatal("cannot write the article");
    return path + u'/';
}

void book(benchmark::State &state, const QString &stockDir)
{
    IModLagerDBServerObj db;
    db.Open(stockDir);
    ReceiptCommand *self = nullptr;
    ReceiptCommand::Hooks hooks;
    hooks.selectedArticleNr = [] { return kArticle; };
    hooks.updateArticle = [](const TLagerServerObj &) {};
    hooks.receive = [&self](TLagerServerObj &article,
                            const std::vector<const TLagerArtikelDaten *> &grouped,
                            ReceiptCommand::Receipt &io) {
        io.quantity = 1;
        io.price = Money::fromUnits(10);
        return self
            ->ReceiveWithoutWindow(article, grouped, io, GoodsReceipt::Basis::PerUnit, {}, true)
            .isEmpty();
    };
    ReceiptCommand command(db, stockDir, u"Bench"_s, GoodsReceipt(GoodsReceipt::Settings{}), hooks);
    self = &command;
    QString supplier;
    for (auto _ : state) {
        if (command.Run(supplier) != ReceiptCommand::Outcome::Booked)
            state.SkipWithError("receipt not booked");
    }
}

void BM_server_receipt_booking_Ours(benchmark::State &state)
{
    if (ServerMissing(state))
        return;
    NoteServerDurability(state);
    ServerTables server;
    book(state, makeStock(FreshServerDirectory(u"server-receipt-booking"_s)));
}
BENCHMARK(BM_server_receipt_booking_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_server_receipt_booking_Reference(benchmark::State &state)
{
    const QString path = BenchDataRoot() + u"/server-receipt-booking-files"_s;
    QDir(path).removeRecursively();
    book(state, makeStock(path));
}
BENCHMARK(BM_server_receipt_booking_Reference)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
