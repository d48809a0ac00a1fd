#pragma once

#include <functional>

// The suite settings that catalog prices depend on. Callers hand them in, so that the price
// rules of catalog articles and merge records run without a logged-on client.
struct TKatalogPreisEinstellungen {
    bool FullCurrency = false;     // four-decimal money instead of cents
    bool SalePriceIsGross = false; // "ArtikelVKPreisIsBrutto": sale prices include VAT
    // Percent of a VAT code; without a function every code has 0 %.
    std::function<double(int vatCode)> VATRate;

    double VATRateOf(int vatCode) const { return VATRate ? VATRate(vatCode) : 0; }

    // The settings of the running program (TSystemEinstellungen).
    static TKatalogPreisEinstellungen FromSystem();
};
