// The orders of a generated installation must give goods receipts and the journal every case
// they handle: all states with consistent deliveries and all line kinds. Which lines the
// receipts meet is pinned by the receipt tests' expected documents.
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/documents.h"
#include "tools/suitegen/suitegenerator.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
// The configuration's bytes, then every order's number and lines as stored.
QStringList generateOrders(const QString &root, IModBestellDBServerObj &db)
{
    SuiteGenerator::Options options;
    options.targetDir = root;
    options.seed = 7;
    QString error;
    EXPECT_TRUE(SuiteGenerator::generate(options, &error)) << error.toStdString();
    const QString dir = root + u"/DATA/DEMO/BESTELLWESEN/"_s;
    QStringList out{QString::fromUtf8(TestDocuments::fileBytes(dir + u"CONFIG.XML"_s))};
    EXPECT_TRUE(db.Open(dir));
    for (db.Table()->First(); !db.Table()->Eof(); db.Table()->Next())
        out.append(db.CurrentOrderNr() + u'|' + db.Table()->FieldByName(u"XMLBDATA"_s).AsString());
    return out;
}
} // namespace

TEST(OrderGenerator, OrdersInEveryStateWithTheLinesReceiptsMeetAndTheSameEachTime)
{
    QTemporaryDir root;
    IModBestellDBServerObj db;
    const QStringList stored = generateOrders(root.filePath(u"a"_s), db);
    ASSERT_GE(stored.size(), 13);
    QSet<int> states;
    QSet<QString> kinds;
    for (const QString &row : stored.mid(1)) {
        SCOPED_TRACE(row.section(u'|', 0, 0).toStdString());
        TBestellServerObj order;
        order.BestellNr = row.section(u'|', 0, 0);
        ASSERT_EQ(db.ReadOrder(&order, true), 0);
        states.insert(order.Stadium);
        ASSERT_FALSE(order.Artikel.IsEmpty());
        for (const TBestellartikel &line : order.Artikel)
            kinds.insert(line.Typ);
        // The stored state is what a receipt would compute from the deliveries.
        const quint8 before = order.Stadium;
        if (before == 2 || before == 4 || before == 5) {
            order.UpdateStadium();
            EXPECT_EQ(order.Stadium, before);
        }
    }
    EXPECT_EQ(states, QSet<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(kinds, QSet<QString>({u"N"_s, u"F"_s, u"T"_s}));
    IModBestellDBServerObj again;
    EXPECT_EQ(generateOrders(root.filePath(u"b"_s), again), stored);
}
