#include "movements/goodsreceipt.h"
#include "stock/lagerserverobj.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

Money eur(double value)
{
    return Money::fromDouble(value);
}

GoodsReceipt receipt(bool fourDecimals = false, bool gross = false, int perKgToSalePrice = 1)
{
    GoodsReceipt::Settings s;
    s.prices.fourDecimals = fourDecimals;
    s.prices.salePriceIsGross = gross;
    s.prices.perKgToSalePrice = perKgToSalePrice;
    s.vatRate = [](int vatClass) { return vatClass == 1 ? 19.0 : 0.0; };
    return GoodsReceipt(s);
}

TLagerArtikelDaten article(double stock, double price, bool average = true)
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = u"A1"_s;
    a.BuchungsBestand = stock;
    a.EKPreis = eur(price);
    a.DEinstandsPreisbildung = average;
    return a;
}

// The new purchase price of one receipt, with and without averaging over the article's
// stock and its grouping.
TEST(GoodsReceipt, NewPurchasePrice)
{
    const struct {
        const char *name;
        double stock, storedPrice, quantity, price;
        bool average, fourDecimals;
        std::vector<std::pair<double, double>> grouped; // stock, price
        double expected;
    } cases[] = {
        // Stock sold before it was bought is valued at the new price: (5*12 + 10*12) / 15.
        {"negative stock", -5, 10.00, 10, 12.00, true, false, {}, 12.00},
        {"plain average", 10, 10.00, 10, 12.00, true, false, {}, 11.00},
        {"zero price keeps stored", 10, 7.50, 5, 0, false, false, {}, 7.50},
        {"zero price averaged", 10, 8.00, 10, 0, true, false, {}, 4.00},
        {"without average takes price", 10, 8.00, 10, 9.99, false, false, {}, 9.99},
        // (10*10 + 5*12 + 5*8 + 20*15) / 40
        {"grouping of three", 10, 10.00, 20, 15.00, true, false, {{5, 12}, {5, 8}}, 12.50},
        // A grouped article below zero counts with its amount, at the new price.
        {"grouped negative", 10, 10.00, 10, 20.00, true, false, {{-10, 99}}, 16.67},
        {"nothing in stock nothing received", 0, 10.00, 0, 12.00, true, false, {}, 12.00},
        // (1.00 + 2*1.01) / 3 = 1.00666..
        {"two decimals", 1, 1.00, 2, 1.01, true, false, {}, 1.01},
        {"four decimals", 1, 1.00, 2, 1.01, true, true, {}, 1.0067},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const TLagerArtikelDaten stored = article(c.stock, c.storedPrice, c.average);
        std::vector<TLagerArtikelDaten> members;
        for (const auto &[stock, price] : c.grouped)
            members.push_back(article(stock, price));
        std::vector<const TLagerArtikelDaten *> grouped;
        for (const auto &m : members)
            grouped.push_back(&m);
        TLagerArtikelDaten shown = stored;
        receipt(c.fourDecimals)
            .UpdatePrices(shown, stored, grouped, c.quantity, eur(c.price),
                          GoodsReceipt::Basis::PerUnit);
        EXPECT_EQ(shown.EKPreis, eur(c.expected)) << shown.EKPreis.toDouble();
    }
}

TEST(GoodsReceipt, PackagesBookUnitsAtTheUnitPrice)
{
    const GoodsReceipt r = receipt();
    TLagerArtikelDaten stored = article(0, 3.00, false);
    stored.Verpackungsmenge = 10;
    TLagerArtikelDaten a = stored;
    r.UpdatePrices(a, stored, {}, 2, eur(50.00), GoodsReceipt::Basis::PerUnit);
    EXPECT_EQ(a.EKPreis, eur(5.00));
    GoodsReceipt::Apply(a, 2, nullptr, 46000.5, u"Lager"_s);
    EXPECT_EQ(std::tuple(a.BuchungsBestand, a.SummeWareneingangMe, a.ChangedBy),
              std::tuple(20.0, 20.0, u"Lager"_s));
    // Averaging counts the units too: (10*3 + 20*5) / 30.
    stored.BuchungsBestand = 10;
    stored.DEinstandsPreisbildung = true;
    a = stored;
    r.UpdatePrices(a, stored, {}, 2, eur(50.00), GoodsReceipt::Basis::PerUnit);
    EXPECT_EQ(a.EKPreis, eur(4.33));
}

TEST(GoodsReceipt, QuantityRules)
{
    TLagerArtikelDaten serial = article(0, 1);
    serial.SNPflicht = true;
    EXPECT_NE(GoodsReceipt::Refusal(serial, 2.5), nullptr);
    EXPECT_EQ(GoodsReceipt::Refusal(serial, 2), nullptr);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(serial, 2), 2);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(serial, 0), 0);
    // 0.5 packages of 4 are 2 whole units.
    serial.Verpackungsmenge = 4;
    EXPECT_EQ(GoodsReceipt::Refusal(serial, 0.5), nullptr);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(serial, 0.5), 2);

    const TLagerArtikelDaten plain = article(0, 1);
    EXPECT_EQ(GoodsReceipt::Refusal(plain, 2.5), nullptr);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(plain, 3), 0);
    for (double bad : {-1.0, std::nan(""), 1e16})
        EXPECT_NE(GoodsReceipt::Refusal(plain, bad), nullptr) << bad;
}

TEST(GoodsReceipt, SerialNumbersAttachAfterThoseAttachedAlready)
{
    TLagerArtikelDaten a = article(1, 1);
    a.SNPflicht = true;
    a.LetzteSeriennummer = u"S1"_s;
    TSeriennummerObjectList first, second;
    first.Add().SN = u"S2"_s;
    second.Add().SN = u"S3"_s;
    second.Add(); // an empty entry never becomes the last number
    GoodsReceipt::Apply(a, 1, &first, 0, {});
    GoodsReceipt::Apply(a, 2, &second, 0, {});
    ASSERT_TRUE(a.Seriennummern);
    EXPECT_EQ(a.Seriennummern->JoinedText(), u"S2 S3 "_s);
    EXPECT_EQ(a.LetzteSeriennummer, u"S3"_s);
    EXPECT_EQ(a.BuchungsBestand, 4);
}

// Purchase price 10.00, factor 1.5, 2 kg per unit; sale price 3 follows the price per kg.
TLagerArtikelDaten weighed()
{
    TLagerArtikelDaten a = article(0, 10.00, false);
    a.VKZuschlag = 1.5;
    a.Gewicht = 2;
    a.EKProKg = eur(5.00);
    a.VKPreis = {eur(15.00), eur(20.00), eur(7.50), eur(30.00), eur(40.00)};
    return a;
}

// Per unit, 12.00 a unit moves the price per kg to 6.00 and leaves the sale prices; per kg,
// 6.00 a kg makes 12.00 a unit and sale prices 1 and 3 follow at the factor 1.5.
TEST(GoodsReceipt, TheBasisDecidesWhichPricesFollow)
{
    const TLagerArtikelDaten stored = weighed();
    for (const auto &[basis, price, sale1, sale3] :
         {std::tuple(GoodsReceipt::Basis::PerUnit, 12.00, 15.00, 7.50),
          std::tuple(GoodsReceipt::Basis::PerKg, 6.00, 18.00, 9.00)}) {
        TLagerArtikelDaten a = stored;
        receipt(false, false, 3).UpdatePrices(a, stored, {}, 1, eur(price), basis);
        EXPECT_EQ(std::tuple(a.EKPreis, a.EKProKg, a.VKPreis[0], a.VKPreis[1], a.VKPreis[2]),
                  std::tuple(eur(12), eur(6), eur(sale1), eur(20), eur(sale3)))
            << price;
    }
}

TEST(GoodsReceipt, GroupedArticlesTakeThePricesAndRecomputeTheirSalePrices)
{
    TLagerArtikelDaten booked = weighed();
    booked.EKPreis = eur(12.00);
    booked.EKProKg = eur(6.00);
    TLagerArtikelDaten member = article(3, 1.00);
    member.VKZuschlag = 2;
    member.MwStSatz = 1;
    member.VKPreis = {eur(2), eur(3), eur(4), eur(5), eur(6)};

    TLagerArtikelDaten net = member;
    receipt(false, false, 3).CopyPrices(booked, net);
    // Sale price 2 is not the per-kg one: untouched, as is the stock.
    EXPECT_EQ(std::tuple(net.EKPreis, net.EKProKg, net.VKPreis[0], net.VKPreis[1], net.VKPreis[2],
                         net.BuchungsBestand),
              std::tuple(eur(12), eur(6), eur(24), eur(3), eur(12), 3.0));

    // Gross sale prices: 24.00 and 12.00 with 19 % VAT.
    TLagerArtikelDaten gross = member;
    receipt(false, true, 3).CopyPrices(booked, gross);
    EXPECT_EQ(gross.VKPreis[0], eur(28.56));
    EXPECT_EQ(gross.VKPreis[2], eur(14.28));

    // A number outside 2..5 leaves the sale prices 2 to 5 alone.
    TLagerArtikelDaten none = member;
    receipt(false, false, 1).CopyPrices(booked, none);
    EXPECT_EQ(none.VKPreis[2], eur(4));
}

TEST(GoodsReceipt, NetAndUnitPrices)
{
    const GoodsReceipt two = receipt();
    EXPECT_EQ(two.NetPrice(eur(100.00), 12.5), eur(87.50));
    EXPECT_EQ(two.UnitPrice(eur(10.00), 3), eur(3.33));
    EXPECT_EQ(two.UnitPrice(eur(10.00), 0), eur(10.00));
    EXPECT_EQ(receipt(true).UnitPrice(eur(10.00), 3), eur(3.3333));
}

} // namespace
