// One goods receipt through the core on the database server against the same receipt on the
// SQLite files: record lock with its holder's name, read, price update, one transaction for
// the article and its history row, unlock. Every step is a round trip to the server where
// the files answer from this process, so this is where the server costs most.
#include "bench/benchmain.h"
#include "bench/receiptbench.h"
#include "bench/serverbench.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{
void BM_server_receipt_booking_Ours(benchmark::State &state)
{
    if (ServerMissing(state))
        return;
    NoteServerDurability(state);
    ServerTables server;
    BookReceipts(state, MakeReceiptStock(FreshServerDirectory(u"server-receipt-booking"_s)));
}
BENCHMARK(BM_server_receipt_booking_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_server_receipt_booking_Reference(benchmark::State &state)
{
    BookReceipts(state, MakeReceiptStock(BenchDataRoot() + u"/server-receipt-booking-files"_s));
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
