#include "stock/artikelpreisrechner.h"
#include "tests/stock/stocktest.h"

namespace
{
TArtikelPreisRechner pricedArticle(bool gross, bool fourDecimals = false)
{
    TArtikelPreisRechner r({gross, fourDecimals, 0});
    r.purchasePrice = m(10.00);
    r.factor = 1.5;
    r.VatClassChosen(19);
    return r;
}

// Net, gross, VAT and profit of one sale price (1..5).
auto price(const TArtikelPreisRechner &r, int n)
{
    return std::tuple(r.net[n - 1], r.gross[n - 1], r.vat[n - 1], r.profit[n - 1]);
}
} // namespace

TEST(ArtikelPreisRechner, MasterSideDecidesWhichPriceFollows)
{
    for (bool gross : {false, true})
        EXPECT_EQ(price(pricedArticle(gross), 1), std::tuple(m(15), m(17.85), m(2.85), m(5)));

    TArtikelPreisRechner net = pricedArticle(false);
    net.net[2] = m(12.34);
    net.RecalcPrice(3);
    EXPECT_EQ(price(net, 3), std::tuple(m(12.34), m(14.68), m(2.34), m(2.34))); // 14.6846
    TArtikelPreisRechner gross = pricedArticle(true);
    gross.gross[2] = m(14.68);
    gross.RecalcPrice(3);
    EXPECT_EQ(price(gross, 3), std::tuple(m(12.34), m(14.68), m(2.34), m(2.34))); // 12.3361
    // four-decimal money keeps what two decimals would cut
    TArtikelPreisRechner four = pricedArticle(false, true);
    four.net[1] = m(12.34);
    four.RecalcPrice(2);
    EXPECT_EQ(four.gross[1], m(14.6846));
}

TEST(ArtikelPreisRechner, LeavingPriceOneSetsTheFactor)
{
    TArtikelPreisRechner r = pricedArticle(false);
    const auto factorAndNet = [&r] { return std::pair(r.factor, r.net[0]); };
    // Net or gross price 1 left sets the factor: the frame's test. While the factor field has
    // the focus the factor is the user's and price 1 follows it.
    r.net[0] = m(30.00);
    r.NetLeft(1, true);
    EXPECT_EQ(factorAndNet(), std::pair(1.5, m(15)));
    r.profit[0] = m(2.50);
    r.ProfitLeft(1, false);
    EXPECT_EQ(factorAndNet(), std::pair(1.25, m(12.50)));
    // without a purchase price the factor falls back to 1 and price 1 to 0
    r.purchasePrice = Money();
    r.net[0] = m(20.00);
    r.NetLeft(1, false);
    EXPECT_EQ(factorAndNet(), std::pair(1.0, Money()));
}

TEST(ArtikelPreisRechner, VatClassAndFactorRecomputeAllPrices)
{
    TArtikelPreisRechner r = pricedArticle(false);
    r.net[4] = m(100);
    r.VatClassChosen(7);
    EXPECT_EQ(std::pair(r.gross[0], r.gross[4]), std::pair(m(16.05), m(107)));
    r.factor = 2;
    r.FactorChanged(false); // programmatic change: nothing
    EXPECT_EQ(r.net[0], m(15));
    r.FactorChanged(true);
    EXPECT_EQ(r.net[0], m(20));
}

// Surface, volume and weights come through the unit buttons in the frame's test; here what
// follows a price per kg.
TEST(ArtikelPreisRechner, PricesFollowThePurchasePricePerKg)
{
    TArtikelPreisRechner r({false, false, 3});
    r.factor = 2;
    r.VatClassChosen(19);
    r.weightPerUnit = 31.4;
    r.weightPerSqm = 15.7;
    r.purchasePerKg = m(1.50);
    EXPECT_STREQ(r.PurchasePerKgLeft(), "Der Einkaufspreis pro Mengeneinheit wurde angepasst.");
    EXPECT_EQ(std::tuple(r.purchasePrice, r.net[0], r.salePerKg, r.purchasePerSqm, r.salePerSqm),
              std::tuple(m(47.10), m(94.20), m(3), m(23.55), m(47.10)));
    EXPECT_EQ(std::pair(r.net[2], r.gross[2]), std::pair(m(3), m(3.57))); // follows per kg
    EXPECT_EQ(r.PurchasePerKgLeft(), nullptr); // unchanged: no second notice
}

TEST(ArtikelPreisRechner, LeavingThePurchasePriceKeepsEverySalePrice)
{
    // The per-kg rule moves a sale price only when the per-kg price or the weight changes;
    // a purchase price the user typed must not overwrite, say, VK3 99.00 with 7.50.
    for (int target = 2; target <= 5; ++target) {
        for (bool gross : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "vkpeurkgtovkp " << target << (gross ? " gross" : " net"));
            TArtikelPreisRechner r({gross, false, target});
            r.VatClassChosen(19);
            r.factor = 1.5;
            r.weightPerUnit = 2;
            r.purchasePerKg = m(4.00);
            r.SetStoredPrices({m(12), m(50), m(99), m(120), m(130)});
            const std::array<Money, 5> before = r.StoredPrices();
            r.purchasePrice = m(10.00);
            EXPECT_STREQ(r.PurchasePriceLeft(), "Der Einkaufspreis pro kg wurde angepasst.");
            EXPECT_EQ(r.purchasePerKg, m(5.00));
            EXPECT_EQ(r.salePerKg, gross ? m(8.93) : m(7.50)); // the label follows
            EXPECT_EQ(r.StoredPrices(), before);
        }
    }
}

TEST(ArtikelPreisRechner, WeightWithoutPerKgPriceZeroesThePurchasePriceVisibly)
{
    for (auto calc :
         {&TArtikelPreisRechner::CalcWeightPerUnit, &TArtikelPreisRechner::CalcWeightPerSqm}) {
        TArtikelPreisRechner r({false, false, 0});
        r.purchasePrice = m(25.00);
        r.weightPerUnit = 15.7; // what the per-m2 button leaves alone
        r.density = 7.85;
        r.thickness = 0.002;
        r.length = r.width = 1;
        EXPECT_STREQ((r.*calc)(), "Ohne Einkaufspreis pro kg ist der Einkaufspreis jetzt 0.");
        EXPECT_EQ(r.purchasePrice, Money());
    }
}
