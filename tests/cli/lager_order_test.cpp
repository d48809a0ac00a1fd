#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/cli/lagerprogram.h"
#include "tests/support/articles.h"

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
        writeArticles(stockDir(), {u"PLAIN"_s, u"SER"_s}, [](TLagerServerObj &a) {
            a.SNPflicht = a.LagerArtikelNr == u"SER";
            a.BuchungsBestand = a.SNPflicht ? 0 : 4;
            a.EKPreis = Money::fromDouble(10);
        });
        IModBestellDBServerObj orders;
        ASSERT_TRUE(orders.Open(file(u"DATA/DEMO/BESTELLWESEN"_s)));
        for (const auto &[nr, state] : {std::pair{u"T-1"_s, OrderState::OffeneLieferung},
                                        std::pair{u"T-5"_s, OrderState::Geliefert}}) {
            TBestellServerObj order;
            order.BestellNr = nr;
            order.Stadium = quint8(state);
            const auto add = [&order](const QString &typ, const QString &article,
                                      const QString &supplierNr, double quantity) {
                TBestellartikel &line = order.Artikel.Add(TBestellartikel{});
                line.Typ = typ;
                line.ArtikelNr = article;
                line.BestellNr = supplierNr;
                line.Menge = quantity;
                line.EK = 12;
            };
            add(u"N"_s, u"PLAIN"_s, u"P-1"_s, 10);
            add(u"F"_s, QString(), u"FREI-9"_s, 3);
            add(u"N"_s, u"SER"_s, u"S-1"_s, 2);
            ASSERT_EQ(orders.WriteOrder(&order, true), 0);
        }
    }

    QJsonObject show(const QString &nr)
    {
        const Outcome r = expect(0, {u"order"_s, u"show"_s, nr, u"--format"_s, u"json"_s});
        return QJsonDocument::fromJson(r.out).object();
    }

    QList<double> delivered(const QString &nr)
    {
        QList<double> list;
        for (const QJsonValue line : show(nr)[u"lines"_s].toArray())
            list.append(line[u"delivered"_s].toDouble());
        return list;
    }

    int receive(const QStringList &args)
    {
        return lager(QStringList{u"order"_s, u"receive"_s} + args).exitCode;
    }
};

TEST_F(LagerOrder, ReceivesNamedLinesAndRefusesWhatCannotBe)
{
    const struct {
        QStringList args;
        int exitCode;
    } refused[] = {
        {{u"T-9"_s, u"--all"_s}, 3},
        {{u"T-5"_s, u"--all"_s}, 5},
        {{u"T-1"_s, u"--line"_s, u"3=2"_s, u"--serials"_s, u"3=A"_s}, 5},
        {{u"T-1"_s, u"--line"_s, u"7=1"_s}, 5},
    };
    for (const auto &r : refused)
        EXPECT_EQ(receive(r.args), r.exitCode) << qPrintable(r.args.join(u' '));
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{0, 0, 0}));

    EXPECT_EQ(receive({u"T-1"_s, u"--line"_s, u"01=4"_s, u"--line"_s, u"3=2"_s, u"--serials"_s,
                       u"03=A,B"_s}),
              0);
    // What the booking does to stock, history and the order's state is the table road's own
    // test; here the lines reach it as named and the booking kind comes out under its name.
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{4, 0, 2}));
    const Outcome history = lager({u"history"_s, u"PLAIN"_s, u"--format"_s, u"json"_s});
    const QJsonArray rows = QJsonDocument::fromJson(history.out).array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][u"kind"_s].toString(), u"order-receipt"_s);

    // 0 with reset completes the free line; a stock line is booked only with a quantity.
    EXPECT_EQ(receive({u"T-1"_s, u"--line"_s, u"1=0:reset"_s, u"--line"_s, u"2=0:reset"_s}), 0);
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{4, 3, 2}));
    EXPECT_EQ(receive({u"T-1"_s, u"--line"_s, u"1=6"_s}), 0);
    EXPECT_EQ(delivered(u"T-1"_s), (QList<double>{10, 3, 2}));
    const Outcome listed = lager({u"order"_s, u"list"_s, u"--state"_s, u"5"_s});
    EXPECT_TRUE(listed.out.contains("T-1\t5")) << listed.out.constData();
}

TEST_F(LagerOrder, AHeldArticleIsSkippedAndTheRestBooked)
{
    {
        ArticleLockHolder holder(stockDir(), u"PLAIN"_s, u"Kollege Meier"_s);
        const Outcome r =
            expect(4, {u"order"_s, u"receive"_s, u"T-1"_s, u"--all"_s, u"--serials"_s, u"3=A,B"_s});
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
        start({u"receipt"_s, u"PLAIN"_s, u"1"_s, u"--price"_s, u"10"_s});
        start({u"order"_s, u"receive"_s, u"T-1"_s, u"--line"_s, u"1=1"_s});
    }
    double booked = 0;
    for (const auto &p : running) {
        ASSERT_TRUE(p->waitForFinished(60000));
        if (p->exitCode() == 0)
            ++booked;
    }
    EXPECT_EQ(getJson(u"PLAIN"_s).value(u"BuchungsBestand"_s).toDouble(), 4 + booked);
    QProcess check;
    check.start(u"python3"_s,
                {QStringLiteral(STOCK_TESTS_DIR) + u"/../tools/check-history"_s, stockDir()});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().constData();
}

} // namespace
