// The receipt demo orders must give both receipt roads every kind of line they treat apart.
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ReceiptOrderGenerator, OpenAndPartOrdersCoverEveryKindOfLine)
{
    QTemporaryDir root;
    SuiteGenerator::Options options;
    options.targetDir = root.path();
    options.articles = 150;
    QString error;
    ASSERT_TRUE(SuiteGenerator::generate(options, &error)) << error.toStdString();
    IModLagerDBServerObj stock;
    stock.Open(root.path() + u"/DATA/DEMO/LAGER/"_s);
    IModBestellDBServerObj orders;
    ASSERT_TRUE(orders.Open(root.path() + u"/DATA/DEMO/BESTELLWESEN/"_s));

    QSet<QString> kinds;
    int serial = 0, packed = 0, gone = 0, freeNamingStock = 0, twice = 0, delivered = 0;
    for (const auto &[nr, state] : {std::pair{u"B2026-9001"_s, OrderState::OffeneLieferung},
                                    std::pair{u"B2026-9002"_s, OrderState::Teillieferung}}) {
        SCOPED_TRACE(nr.toStdString());
        TBestellServerObj order;
        order.BestellNr = nr;
        ASSERT_EQ(orders.ReadOrder(&order, true), 0);
        EXPECT_EQ(order.Stadium, quint8(state));
        order.UpdateStadium();
        EXPECT_EQ(order.Stadium, quint8(state)); // the deliveries agree with the state
        QSet<QString> seen;
        for (const TBestellartikel &line : order.Artikel) {
            kinds.insert(line.Typ);
            delivered += int(line.Geliefert > 0);
            TLagerServerObj article;
            article.LagerArtikelNr = line.Typ == u"F" ? line.BestellNr : line.ArtikelNr;
            const int read = line.IsTextLine() ? -2 : stock.ReadArticle(&article);
            if (line.Typ == u"F") {
                freeNamingStock += int(read == 0);
                continue;
            }
            if (line.Typ != u"N")
                continue;
            gone += int(read == -2);
            serial += int(read == 0 && article.SNPflicht);
            packed += int(read == 0 && article.Verpackungsmenge == 10);
            twice += int(seen.contains(line.ArtikelNr));
            seen.insert(line.ArtikelNr);
        }
    }
    EXPECT_EQ(kinds, QSet<QString>({u"N"_s, u"F"_s, u"T"_s}));
    EXPECT_EQ(serial, 2);
    EXPECT_EQ(packed, 1);
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(freeNamingStock, 1);
    EXPECT_EQ(twice, 1);
    EXPECT_GT(delivered, 0);
}
