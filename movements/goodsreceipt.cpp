#include "movements/goodsreceipt.h"

#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "persistence/conversions.h"
#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"
#include "suite/systemeinstellungen.h"

#include <cmath>

namespace
{
// Beyond this a double no longer holds every whole number of units.
constexpr double kLargestQuantity = 1e15;

bool packs(double packing)
{
    return packing != 1 && packing > 0;
}
} // namespace

GoodsReceipt::Settings GoodsReceipt::Settings::FromSuite(const QString &stockDir)
{
    const TSystemEinstellungen &suite = TSystemEinstellungen::instance();
    TLagerConfig config;
    config.LoadFromFile(TLagerConfig::FileNameIn(stockDir));
    Settings s;
    s.prices.salePriceIsGross = suite.SalePriceIsGross;
    s.prices.fourDecimals = suite.FullCurrency;
    s.prices.perKgToSalePrice = config.VKPEurKgToVKP;
    s.vatRate = [&suite](int vatClass) { return suite.VATRate(vatClass); };
    return s;
}

Money GoodsReceipt::NetPrice(Money price, double discount) const
{
    return ApplyDiscount(m_settings.prices.fourDecimals, price, discount);
}

double GoodsReceipt::Units(double quantity, double packing)
{
    return packs(packing) ? quantity * packing : quantity;
}

Money GoodsReceipt::UnitPrice(Money netPrice, double packing) const
{
    return packing > 0 ? RoundMoney(m_settings.prices.fourDecimals, netPrice / packing) : netPrice;
}

TArtikelPreisRechner GoodsReceipt::calculator(const TLagerArtikelDaten &a) const
{
    TArtikelPreisRechner calc(m_settings.prices);
    calc.purchasePrice = a.EKPreis;
    calc.factor = a.VKZuschlag;
    calc.vatRate = m_settings.vatRate(a.MwStSatz);
    calc.SetStoredPrices(a.VKPreis);
    calc.weightPerUnit = a.Gewicht;
    calc.weightPerSqm = a.GewichtQm;
    calc.purchasePerKg = a.EKProKg;
    return calc;
}

void GoodsReceipt::takeFrom(const TArtikelPreisRechner &calc, TLagerArtikelDaten &a)
{
    a.EKPreis = calc.purchasePrice;
    a.EKProKg = calc.purchasePerKg;
    a.VKZuschlag = calc.factor;
    a.VKPreis = calc.StoredPrices();
}

void GoodsReceipt::UpdatePrices(TLagerArtikelDaten &article, const TLagerArtikelDaten &stored,
                                const std::vector<const TLagerArtikelDaten *> &grouped,
                                double quantity, Money netPrice, Basis basis) const
{
    const double packing = article.Verpackungsmenge;
    const Money unitPrice = UnitPrice(netPrice, packing);
    const auto basisPrice = [basis](const TLagerArtikelDaten &a) {
        return basis == Basis::PerUnit ? a.EKPreis : a.EKProKg;
    };

    Money newPrice = unitPrice;
    if (article.DEinstandsPreisbildung) {
        const double q = std::fabs(Units(quantity, packing));
        // Stock below zero was sold before it was bought: it is valued at what it costs now.
        const auto value = [&](const TLagerArtikelDaten &a) {
            return a.BuchungsBestand >= 0 ? basisPrice(a) * a.BuchungsBestand
                                          : unitPrice * std::fabs(a.BuchungsBestand);
        };
        double units = std::fabs(stored.BuchungsBestand);
        Money total = value(stored);
        for (const TLagerArtikelDaten *member : grouped) {
            units += std::fabs(member->BuchungsBestand);
            total += value(*member);
        }
        total += unitPrice * q;
        if (q + units != 0)
            newPrice = RoundMoney(m_settings.prices.fourDecimals, total / (q + units));
    } else if (unitPrice == Money()) {
        // A delivery without a price (a replacement, a sample) says nothing about the price.
        article.EKPreis = stored.EKPreis;
        article.EKProKg = stored.EKProKg;
        return;
    }

    TArtikelPreisRechner calc = calculator(article);
    if (basis == Basis::PerUnit) {
        calc.purchasePrice = newPrice;
        calc.PurchasePriceLeft();
    } else {
        calc.purchasePerKg = newPrice;
        calc.PurchasePerKgLeft();
    }
    takeFrom(calc, article);
}

const char *GoodsReceipt::Refusal(const TLagerArtikelDaten &article, double quantity)
{
    if (!std::isfinite(quantity) || quantity < 0)
        return txNoop("Geben Sie eine positive Zugangsmenge an!");
    const double units = Units(quantity, article.Verpackungsmenge);
    if (units >= kLargestQuantity || std::fabs(article.BuchungsBestand + units) >= kLargestQuantity)
        return txNoop("Die Zugangsmenge ist zu gross.");
    if (article.SNPflicht && !ManualStockChange::IsWhole(units))
        return txNoop("Fuer Lagerartikel mit Seriennummern duerfen nur ganzzahlige "
                      "Zugangsmengen angegeben werden.");
    return nullptr;
}

qint64 GoodsReceipt::SerialsWanted(const TLagerArtikelDaten &article, double quantity)
{
    const double units = Units(quantity, article.Verpackungsmenge);
    return article.SNPflicht && units >= 1 ? qint64(units) : 0;
}

void GoodsReceipt::Apply(TLagerArtikelDaten &article, double quantity,
                         const TSeriennummerObjectList *serials, double now, const QString &user)
{
    const double units = Units(quantity, article.Verpackungsmenge);
    if (serials && !serials->IsEmpty() && units >= 1) {
        if (!article.Seriennummern)
            article.Seriennummern.emplace();
        article.Seriennummern->AddCopiesOf(*serials);
        article.LetzteSeriennummer = serials->LastSerialNumber(article.LetzteSeriennummer);
    }
    article.BuchungsBestand += units;
    article.SummeWareneingangMe += units;
    article.Changed = now;
    article.ChangedBy = user;
}

void GoodsReceipt::CopyPrices(const TLagerArtikelDaten &booked, TLagerArtikelDaten &member) const
{
    member.EKPreis = booked.EKPreis;
    member.EKProKg = booked.EKProKg;
    TArtikelPreisRechner calc = calculator(member);
    calc.RecalcPrice(1);
    const int n = m_settings.prices.perKgToSalePrice;
    if (n >= 2 && n <= 5) {
        // The labels' computation is the rule: rounded per-kg price times factor, gross
        // when sale prices are gross.
        calc.CalcPerKgLabels();
        if (m_settings.prices.salePriceIsGross)
            calc.gross[size_t(n - 1)] = calc.salePerKg;
        else
            calc.net[size_t(n - 1)] = calc.salePerKg;
    }
    takeFrom(calc, member);
}
