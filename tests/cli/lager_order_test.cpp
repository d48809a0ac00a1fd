#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "tests/cli/lagerprogram.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace
{

// The generated installation plus PLAIN (4 at 10.00), SER (serial numbers, none in stock)
// and order T-1, open: 10 PLAIN, 3 of a free article, 2 SER; T-5 is delivered already.
class LagerOrder : public LagerProgram
{
protected:
    void SetUp() override
    {
        LagerProgram::SetUp();
        addPlainAndSerialArticles();
        IModBestellDBServerObj orders;
        ASSERT_TRUE(orders.Open(file(u"DATA/DEMO/BESTELLWESEN"_s)));
        for (const auto &[nr, state] : {std::pair{u"T-1"_s, OrderState::OffeneLieferung},
                                        std::pair{u"T-5"_s, OrderState::Geliefert}}) {
            TBestellServerObj order;
            order.BestellNr = nr;
            order.Stadium = quint8(state);
            using Line = std::tuple<QString, QString, QString, int>;
            for (const auto &[typ, article, supplierNr, quantity] :
                 {Line{u"N"_s, u"PLAIN"_s, u"P-1"_s, 10}, Line{u"F"_s, QString(), u"FREI-9"_s, 3},
                  Line{u"N"_s, u"SER"_s, u"S-1"_s, 2}}) {
                TBestellartikel &line = order.Artikel.Add(TBestellartikel{});
                line.Typ = typ;
                line.ArtikelNr = article;
                line.BestellNr = supplierNr;
                line.Menge = quantity;
                line.EK = 12;
            }
            ASSERT_EQ(orders.WriteOrder(&order, true), 0);
        }
    }

    QList<double> delivered(const QString &nr)
    {
        QList<double> list;
        const Outcome shown = expect(0, words(u"order show %1 --format json"_s.arg(nr)));
        for (const QJsonValue line : QJsonDocument::fromJson(shown.out)[u"lines"_s].toArray())
            list.append(line[u"delivered"_s].toDouble());
        return list;
    }

    int receive(const QString &line) { return lager(words(u"order receive "_s + line)).exitCode; }
};

TEST_F(LagerOrder, ReceivesNamedLinesAndRefusesWhatCannotBe)
{
    for (const auto &[line, exitCode] : {std::pair{u"T-9 --all"_s, 3},
                                         {u"T-5 --all"_s, 5},
                                         {u"T-1 --line 3=2 --serials 3=A"_s, 5},
                                         {u"T-1 --line 7=1"_s, 5}})
        EXPECT_EQ(receive(line), exitCode) << qPrintable(line);
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{0, 0, 0}));
    EXPECT_EQ(receive(u"T-1 --line 01=4 --line 3=2 --serials 03=A,B"_s), 0);
    // What the booking does to stock, history and the order's state is the table road's own
    // test; here the lines reach it as named and the booking kind comes out under its name.
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{4, 0, 2}));
    const QJsonArray rows =
        QJsonDocument::fromJson(lager(words(u"history PLAIN --format json"_s)).out).array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][u"kind"_s].toString(), u"order-receipt"_s);

    // 0 with reset completes the free line; a stock line is booked only with a quantity.
    EXPECT_EQ(receive(u"T-1 --line 1=0:reset --line 2=0:reset"_s), 0);
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{4, 3, 2}));
    EXPECT_EQ(receive(u"T-1 --line 1=6"_s), 0);
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{10, 3, 2}));
    EXPECT_TRUE(lager(words(u"order list --state 5"_s)).out.contains("T-1\t5"));
}

TEST_F(LagerOrder, AHeldArticleIsSkippedAndTheRestBooked)
{
    {
        ArticleLockHolder holder(stockDir(), u"PLAIN"_s, u"Kollege Meier"_s);
        const Outcome r = expect(4, words(u"order receive T-1 --all --serials 3=A,B"_s));
        EXPECT_TRUE(r.err.contains(u"Kann Artikel \"PLAIN\" nicht sperren."_s));
    }
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{0, 3, 2}));
    EXPECT_EQ(getJson(u"PLAIN"_s).value(u"BuchungsBestand"_s).toDouble(), 4);
}

// Receipts for the article and receipts from the order, in separate processes at once:
// whatever each of them reports, the history adds up to the stock.
TEST_F(LagerOrder, ConcurrentReceiptsLoseNoBooking)
{
    std::vector<std::unique_ptr<QProcess>> running;
    const auto start = [&](const QStringList &args) {
        auto p = std::make_unique<QProcess>();
        p->start(bin(), QStringList{u"DEMO"_s, u"ADMIN"_s} + args);
        running.push_back(std::move(p));
    };
    for (int i = 0; i < 4; ++i) {
        start(words(u"receipt PLAIN 1 --price 10"_s));
        start(words(u"order receive T-1 --line 1=1"_s));
    }
    double booked = 0;
    for (const auto &p : running) {
        ASSERT_TRUE(p->waitForFinished(60000));
        if (p->exitCode() == 0)
            ++booked;
    }
    EXPECT_EQ(getJson(u"PLAIN"_s).value(u"BuchungsBestand"_s).toDouble(), 4 + booked);
    const Outcome check = checkHistory();
    EXPECT_EQ(check.exitCode, 0) << qPrintable(check.err);
}

} // namespace
