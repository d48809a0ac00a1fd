#pragma once

#include "persistence/money.h"

#include <QString>
#include <array>

// The price and unit arithmetic of the article editor, kept apart from its widgets: the
// editor copies its fields in, calls the handler of the field the user left and shows the
// values back. Handlers that adjust a price the user did not touch return the notice to
// show (a message id for tx(), empty when there is none).
//
// Sale prices 1 to 5 are index 0 to 4. Prices are shown with two decimals, so computed
// prices go through RoundMoney (four decimals when the suite keeps four-decimal money).
class TArtikelPreisRechner
{
public:
    struct Settings {
        bool salePriceIsGross = false; // "ArtikelVKPreisIsBrutto"
        bool fourDecimals = false;     // four-decimal money of the suite
        int perKgToSalePrice = 0;      // vkpeurkgtovkp of the stock configuration: 2..5
    };

    explicit TArtikelPreisRechner(Settings settings) : m_settings(settings) {}
    const Settings &settings() const { return m_settings; }

    // Prices page
    Money purchasePrice;
    double factor = 1.0;
    double vatRate = 0; // percent, from the chosen VAT class
    std::array<Money, 5> net{}, gross{}, vat{}, profit{};

    // Units page
    double weightPerUnit = 0; // kg
    double weightPerSqm = 0;  // kg/m²
    double surface = 0, length = 0, width = 0, thickness = 0, density = 0, volume = 0;
    Money purchasePerKg;
    // read-only labels
    Money salePerKg, purchasePerSqm, salePerSqm;

    // The record keeps the net prices, or the gross ones when sale prices are gross. Showing
    // a record derives the other columns from them and leaves them as stored: price 1 is
    // not recomputed from purchase price and factor.
    void SetStoredPrices(const std::array<Money, 5> &stored);
    std::array<Money, 5> StoredPrices() const;

    void RecalcPrice(int n); // n = 1..5
    // Factor typed (only counts while the factor field has the focus) or VAT class chosen.
    void FactorChanged(bool factorHasFocus);
    void VatClassChosen(double rate);
    void NetLeft(int n, bool factorHasFocus);
    void GrossLeft(int n);
    void ProfitLeft(int n, bool factorHasFocus);
    const char *PurchasePriceLeft();
    const char *PurchasePerKgLeft();

    void CalcSurface();
    void CalcVolume();
    const char *CalcWeightPerSqm();
    const char *CalcWeightPerUnit();
    // The per-kg and per-m² labels, and the sale price that follows the per-kg price.
    void RefreshPerKg();
    // The labels alone, for showing a record without touching its prices.
    void CalcPerKgLabels();

private:
    Money round(Money m) const;
    Money toGross(Money netAmount) const;
    Money toNet(Money grossAmount) const;
    void recalcAll();

    Settings m_settings;
};
