#pragma once

#include "persistence/money.h"

#include <QString>

struct TLagerArtikelDaten;
struct TPrintValue;

// The value of the printed stock at purchase prices, summed article by article as the
// stock list prints them; the list's totals area shows it.
class TLagerBewertung
{
public:
    // Booked stock times purchase price, to the cent. Always two decimals: a stock valuation
    // for the balance sheet must not change with the installation's four-decimal setting.
    static Money Value(const TLagerArtikelDaten &article);
    void Add(const TLagerArtikelDaten &article);

    // The totals area's variables; the kind delivered, 0 for a name that is not one of them.
    int Resolve(const QString &variable, TPrintValue &value) const;

    qint32 Count = 0; // articles with stock above zero
    Money PositiveValue;
    Money NonPositiveValue;
    QString CurrencyText;
};

// Quantity times price in money's four decimals, then rounded as money is; 0 for a product
// outside the money range, which only damaged data reaches.
Money RoundedProduct(Money price, double quantity, bool fourDecimals);

// "$100" followed by the rest: the rest, or a null string for any other name.
QString StockListVariableRest(const QString &variable);
