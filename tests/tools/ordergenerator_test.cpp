// The orders of a generated installation must give goods receipts and the journal every case
// they handle: all states, consistent deliveries, all line kinds, unusual price units.
#include "ordering/bestellserverobj.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "tools/suitegen/suitegenerator.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(OrderGenerator, OrdersInEveryStateWithTheLinesReceiptsMeet)
{
    QTemporaryDir root;
    SuiteGenerator::Options options;
    options.targetDir = root.path();
    options.seed = 7;
    QString error;
    ASSERT_TRUE(SuiteGenerator::generate(options, &error)) << error.toStdString();
    const QString dir = root.path() + u"/DATA/DEMO/BESTELLWESEN/"_s;

    TBestellwesenConfig config;
    config.LoadFromFile(dir + u"CONFIG.XML"_s);
    EXPECT_TRUE(config.AutoSearchLagerartikel);
    EXPECT_FALSE(config.Kennzeichen.isEmpty());

    IModBestellDBServerObj db;
    ASSERT_TRUE(db.Open(dir));
    QSet<int> states;
    QSet<QString> kinds;
    int partlyDelivered = 0, perHundred = 0, discounted = 0, zeroPriceUnit = 0;
    QStringList numbers;
    for (db.Table()->First(); !db.Table()->Eof(); db.Table()->Next())
        numbers.append(db.CurrentOrderNr());
    ASSERT_GE(numbers.size(), 12);
    for (const QString &number : numbers) {
        SCOPED_TRACE(number.toStdString());
        TBestellServerObj order;
        order.BestellNr = number;
        ASSERT_EQ(db.ReadOrder(&order, true), 0);
        zeroPriceUnit +=
            int(db.Table()->FieldByName(u"XMLBDATA"_s).AsString().contains(u" pe=\"0\""_s));
        states.insert(order.Stadium);
        ASSERT_FALSE(order.Artikel.IsEmpty());
        for (const TBestellartikel &line : order.Artikel) {
            kinds.insert(line.Typ);
            partlyDelivered += int(line.Geliefert > 0 && line.Geliefert < line.Menge);
            perHundred += int(line.PE == 100);
            discounted += int(line.Rabatt > 0);
        }
        // The stored state is what a receipt would compute from the deliveries.
        const quint8 stored = order.Stadium;
        if (stored == 2 || stored == 4 || stored == 5) {
            order.UpdateStadium();
            EXPECT_EQ(order.Stadium, stored);
        }
    }
    EXPECT_EQ(states, QSet<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(kinds, QSet<QString>({u"N"_s, u"F"_s, u"T"_s}));
    EXPECT_GT(partlyDelivered, 0);
    EXPECT_GT(perHundred, 0);
    EXPECT_GT(discounted, 0);
    EXPECT_GT(zeroPriceUnit, 0);

    // Same options, same orders.
    QTemporaryDir again;
    options.targetDir = again.path();
    ASSERT_TRUE(SuiteGenerator::generate(options, &error));
    QFile a(dir + u"CONFIG.XML"_s), b(again.path() + u"/DATA/DEMO/BESTELLWESEN/CONFIG.XML"_s);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    IModBestellDBServerObj other;
    ASSERT_TRUE(other.Open(again.path() + u"/DATA/DEMO/BESTELLWESEN/"_s));
    for (const QString &number : numbers) {
        ASSERT_TRUE(other.OrderExists(number));
        ASSERT_TRUE(db.OrderExists(number));
        EXPECT_EQ(other.Table()->FieldByName(u"XMLBDATA"_s).AsString(),
                  db.Table()->FieldByName(u"XMLBDATA"_s).AsString());
    }
}
