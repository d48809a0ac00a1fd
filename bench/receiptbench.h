#pragma once

// One goods receipt of 1 unit at a time on one plain article, as `lager receipt` books it:
// what the receipt benchmarks on the files and on the server share.
#include "movements/receiptcommand.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <benchmark/benchmark.h>

inline const QString kReceiptArticle = QStringLiteral("BENCH-RCPT");

// A fresh stock of 1,000 articles with the article to book on, in the backend in force.
inline QString MakeReceiptStock(const QString &path)
{
    QDir(path).removeRecursively();
    QString error;
    if (!SuiteGenerator::generateStock(path, 1000, 1, &error))
        qFatal("%s", qPrintable(error));
    IModLagerDBServerObj db;
    db.Open(path);
    TLagerServerObj article;
    article.LagerArtikelNr = kReceiptArticle;
    article.Bezeichnung = QStringLiteral("Wareneingang");
    article.DEinstandsPreisbildung = true;
    if (db.BookArticle(article, TLagerBuchung::Change(TLagerBuchung::Opening, kReceiptArticle, 0, 0,
                                                      0, QStringLiteral("BENCH"))) != 0)
        qFatal("cannot write the article");
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// Books one receipt per iteration through the command the window and `lager receipt` use.
inline void BookReceipts(benchmark::State &state, const QString &stockDir)
{
    IModLagerDBServerObj db;
    db.Open(stockDir);
    ReceiptCommand *self = nullptr;
    ReceiptCommand::Hooks hooks;
    hooks.selectedArticleNr = [] { return kReceiptArticle; };
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
    ReceiptCommand command(db, stockDir, QStringLiteral("Bench"),
                           GoodsReceipt(GoodsReceipt::Settings{}), hooks);
    self = &command;
    QString supplier;
    for (auto _ : state) {
        if (command.Run(supplier) != ReceiptCommand::Outcome::Booked)
            state.SkipWithError("receipt not booked");
    }
}
