// The generated installation is what a new user sees first and what the receipt, log-on and
// command-line tests start from; one smoke check that it opens, holds together and is the
// same for the same seed. Its values and users are read back by the log-on tests, which lines
// the receipts meet is pinned by the receipt tests' expected documents.
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/inifilesec.h"
#include "tests/support/documents.h"
#include "tools/suitegen/stockassortment.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// Generates into root and reads back one row per article ("EAN|number|...") and per order
// ("number|state|line kinds"), checking on the way what must hold in every installation.
std::pair<QStringList, QStringList> generateAndRead(const QString &root)
{
    SuiteGenerator::Options o;
    o.targetDir = root;
    o.client = u"demo"_s;
    o.articles = 300;
    o.seed = 11;
    QString error;
    EXPECT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);

    IModLagerDBServerObj stock;
    stock.Open(root + u"/DATA/DEMO/LAGER/"_s);
    QHash<QString, int> serials;
    TTdbTable &sn = stock.SerialTable();
    for (sn.First(); !sn.Eof(); sn.Next())
        ++serials[sn.FieldByName(u"LagerArtikelNr"_s).AsString()];
    QStringList articles, orderRows;
    TTdbTable &t = stock.LagerTable();
    for (t.First(); !t.Eof(); t.Next()) {
        TLagerServerObj a;
        stock.ReadRow(a);
        // A serial article holds a number per unit in stock.
        EXPECT_EQ(serials.value(a.LagerArtikelNr), a.SNPflicht ? a.BuchungsBestand : 0)
            << qPrintable(a.LagerArtikelNr);
        articles.append(u"%1|%2|%3|%4|%5"_s.arg(a.EAN, a.LagerArtikelNr, a.Bezeichnung,
                                                QString::number(a.EKPreis.raw()),
                                                QString::number(a.BuchungsBestand)));
    }

    IModBestellDBServerObj orders;
    EXPECT_TRUE(orders.Open(root + u"/DATA/DEMO/BESTELLWESEN/"_s));
    for (orders.Table()->First(); !orders.Table()->Eof(); orders.Table()->Next()) {
        TBestellServerObj order;
        order.BestellNr = orders.CurrentOrderNr();
        EXPECT_EQ(orders.ReadOrder(&order, true), 0) << qPrintable(order.BestellNr);
        QString kinds;
        for (const TBestellartikel &line : order.Artikel)
            kinds += line.Typ;
        // The stored state is what a receipt would compute from the deliveries.
        const quint8 stored = order.Stadium;
        if (stored == 2 || stored == 4 || stored == 5) {
            order.UpdateStadium();
            EXPECT_EQ(order.Stadium, stored) << qPrintable(order.BestellNr);
        }
        orderRows.append(u"%1|%2|%3"_s.arg(order.BestellNr).arg(stored).arg(kinds));
    }
    return {articles, orderRows};
}

} // namespace

TEST(SuiteGenerator, InstallationOpensHoldsTogetherAndIsTheSameForTheSameSeed)
{
    QTemporaryDir tmp;
    const QString root = tmp.filePath(u"mixedCase"_s); // the target keeps its case
    const auto [articles, orders] = generateAndRead(root);
    for (const char *sub : {"DATA/DEMO/KATALOGE", "USR/ADMIN/ETC/DEMO", "USR/LAGER/MSG"})
        EXPECT_TRUE(QDir(root + u'/' + QString::fromLatin1(sub)).exists()) << sub;
    // Protected: the plain directory text must not be in the file.
    const QString sysdata = root + u"/DATA/DEMO/ETC/SYSDATA.INI"_s;
    EXPECT_FALSE(TestDocuments::fileBytes(sysdata).contains("DATADIR"));
    EXPECT_EQ(TIniFileSec(sysdata).ReadString(u"System"_s, u"Lager"_s, {}),
              u"[DATADIR]DEMO/LAGER/"_s);

    EXPECT_EQ(articles.size(), 300);
    // Orders in every state, so that the check of the stored states above has something to do.
    QSet<QString> states;
    for (const QString &row : orders)
        states.insert(row.section(u'|', 1, 1));
    EXPECT_EQ(states, (QSet<QString>{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));

    EXPECT_EQ(generateAndRead(tmp.filePath(u"again"_s)), std::pair(articles, orders));
}

TEST(SuiteGenerator, RefusesAMissingTargetOrClientAndComputesEanCheckDigits)
{
    QTemporaryDir tmp;
    SuiteGenerator::Options o;
    o.targetDir = tmp.path();
    o.client.clear();
    QString error;
    EXPECT_FALSE(SuiteGenerator::generate(o, &error));
    o.client = u"demo"_s;
    o.targetDir.clear();
    EXPECT_FALSE(SuiteGenerator::generate(o, &error));

    for (const auto &[digits, code] : {std::pair{"400638133393", "4006381333931"},
                                       {"590123412345", "5901234123457"},
                                       {"000000000000", "0000000000000"},
                                       {"400000000001", "4000000000013"}})
        EXPECT_EQ(StockAssortment::Ean13(QString::fromLatin1(digits)), QString::fromLatin1(code));
}
