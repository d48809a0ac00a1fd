#include "catalogs/katalogpreiseinstellungen.h"

#include "suite/systemeinstellungen.h"

TKatalogPreisEinstellungen TKatalogPreisEinstellungen::FromSystem()
{
    const TSystemEinstellungen &settings = TSystemEinstellungen::instance();
    TKatalogPreisEinstellungen result;
    result.FullCurrency = settings.FullCurrency;
    result.SalePriceIsGross = settings.SalePriceIsGross;
    // Read when asked, so that a rate changed after this call still counts.
    result.VATRate = [](int vatCode) { return TSystemEinstellungen::instance().VATRate(vatCode); };
    return result;
}
