#include "stock/artikelpreisrechner.h"

#include "base/translation.h"
#include "persistence/conversions.h"

namespace
{
// Money as a plain number for ratios; only used where the result is a factor, not money.
double asNumber(Money m)
{
    return m.toDouble();
}
} // namespace

Money TArtikelPreisRechner::round(Money m) const
{
    return RoundMoney(m_settings.fourDecimals, m);
}

Money TArtikelPreisRechner::toGross(Money netAmount) const
{
    return NetToGross(m_settings.fourDecimals, netAmount, vatRate);
}

Money TArtikelPreisRechner::toNet(Money grossAmount) const
{
    return GrossToNet(m_settings.fourDecimals, grossAmount, vatRate);
}

void TArtikelPreisRechner::SetStoredPrices(const std::array<Money, 5> &stored)
{
    for (size_t i = 0; i < stored.size(); ++i) {
        if (!m_settings.salePriceIsGross) {
            net[i] = stored[i];
            gross[i] = toGross(net[i]);
        } else {
            gross[i] = stored[i];
            net[i] = toNet(gross[i]);
        }
        vat[i] = gross[i] - net[i];
        profit[i] = net[i] - purchasePrice;
    }
}

std::array<Money, 5> TArtikelPreisRechner::StoredPrices() const
{
    return m_settings.salePriceIsGross ? gross : net;
}

void TArtikelPreisRechner::RecalcPrice(int n)
{
    if (n < 1 || n > 5)
        return;
    const size_t i = size_t(n - 1);
    if (n == 1) {
        const Money fromFactor = round(purchasePrice * factor);
        if (!m_settings.salePriceIsGross) {
            net[0] = fromFactor;
            gross[0] = toGross(net[0]);
        } else {
            gross[0] = toGross(fromFactor);
            net[0] = toNet(gross[0]);
        }
    } else if (!m_settings.salePriceIsGross) {
        gross[i] = toGross(net[i]);
    } else {
        net[i] = toNet(gross[i]);
    }
    vat[i] = gross[i] - net[i];
    profit[i] = net[i] - purchasePrice;
}

void TArtikelPreisRechner::recalcAll()
{
    for (int n = 1; n <= 5; ++n)
        RecalcPrice(n);
}

void TArtikelPreisRechner::FactorChanged(bool factorHasFocus)
{
    if (factorHasFocus)
        recalcAll();
}

void TArtikelPreisRechner::VatClassChosen(double rate)
{
    vatRate = rate;
    recalcAll();
}

void TArtikelPreisRechner::NetLeft(int n, bool factorHasFocus)
{
    if (n < 1 || n > 5)
        return;
    const size_t i = size_t(n - 1);
    if (m_settings.salePriceIsGross)
        gross[i] = toGross(net[i]);
    if (n == 1 && !factorHasFocus)
        factor = (net[0] != Money() && purchasePrice != Money())
                     ? asNumber(net[0]) / asNumber(purchasePrice)
                     : 1.0;
    RecalcPrice(n);
}

void TArtikelPreisRechner::GrossLeft(int n)
{
    if (n < 1 || n > 5)
        return;
    const size_t i = size_t(n - 1);
    if (!m_settings.salePriceIsGross)
        net[i] = toNet(gross[i]);
    if (n == 1)
        factor = (gross[0] != Money() && purchasePrice != Money())
                     ? asNumber(toNet(gross[0])) / asNumber(purchasePrice)
                     : 1.0;
    RecalcPrice(n);
}

void TArtikelPreisRechner::ProfitLeft(int n, bool factorHasFocus)
{
    if (n < 1 || n > 5)
        return;
    net[size_t(n - 1)] = purchasePrice + profit[size_t(n - 1)];
    NetLeft(n, factorHasFocus);
}

const char *TArtikelPreisRechner::PurchasePriceLeft()
{
    if (weightPerUnit == 0)
        return nullptr;
    const Money perKg = round(purchasePrice / weightPerUnit);
    if (perKg == purchasePerKg)
        return nullptr;
    purchasePerKg = perKg;
    // Only the labels: a purchase price typed by the user leaves the sale prices alone.
    CalcPerKgLabels();
    return txNoop("Der Einkaufspreis pro kg wurde angepasst.");
}

const char *TArtikelPreisRechner::PurchasePerKgLeft()
{
    RefreshPerKg();
    const Money perUnit = round(purchasePerKg * weightPerUnit);
    if (perUnit == purchasePrice)
        return nullptr;
    purchasePrice = perUnit;
    recalcAll();
    // The rule holds without a price per kg too, but a purchase price that drops to 0 must
    // not go unnoticed.
    if (purchasePerKg == Money())
        return txNoop("Ohne Einkaufspreis pro kg ist der Einkaufspreis jetzt 0.");
    return txNoop("Der Einkaufspreis pro Mengeneinheit wurde angepasst.");
}

void TArtikelPreisRechner::CalcSurface()
{
    surface = length * width;
    RefreshPerKg();
}

void TArtikelPreisRechner::CalcVolume()
{
    volume = length * width * thickness;
    RefreshPerKg();
}

const char *TArtikelPreisRechner::CalcWeightPerSqm()
{
    weightPerSqm = density * thickness * 1000;
    return PurchasePerKgLeft();
}

const char *TArtikelPreisRechner::CalcWeightPerUnit()
{
    weightPerUnit = density * thickness * length * width * 1000;
    return PurchasePerKgLeft();
}

void TArtikelPreisRechner::CalcPerKgLabels()
{
    salePerKg = round(purchasePerKg * factor);
    if (m_settings.salePriceIsGross)
        salePerKg = toGross(salePerKg);
    purchasePerSqm = purchasePerKg * weightPerSqm;
    salePerSqm = round(purchasePerKg * (weightPerSqm * factor));
    if (m_settings.salePriceIsGross)
        salePerSqm = toGross(salePerSqm);
}

void TArtikelPreisRechner::RefreshPerKg()
{
    CalcPerKgLabels();
    const int n = m_settings.perKgToSalePrice;
    if (n >= 2 && n <= 5) {
        if (!m_settings.salePriceIsGross) {
            net[size_t(n - 1)] = salePerKg;
            NetLeft(n, false);
        } else {
            gross[size_t(n - 1)] = salePerKg;
            GrossLeft(n);
        }
    }
}
