#pragma once

#include "persistence/money.h"

#include <QString>
#include <functional>
#include <vector>

struct TLagerArtikelDaten;
class IModLagerDBServerObj;
class TPrintEtikett;

// Fills a label's variable and barcode elements from one stock article.
class TEtikettHelperLager
{
public:
    // What the values depend on besides the article; FromSuite() takes them from the
    // logged-on installation, tests set them directly.
    struct Settings {
        bool salePriceIsGross = false; // "ArtikelVKPreisIsBrutto"
        bool fourDecimals = false;
        std::function<double(int vatClass)> vatRate;
        std::function<QString(Money)> formatMoney;
        QString homeCurrencyShort;
    };
    static Settings FromSuite();

    explicit TEtikettHelperLager(Settings settings) : m_settings(std::move(settings)) {}

    // The value of one variable; the element's own name stands for variable 1.
    QString Value(int variable, const TLagerArtikelDaten &article,
                  const QString &elementName) const;
    // A variable text that is not a number counts as 0, which fills nothing.
    static int VariableNumber(const QString &var);
    void Fill(TPrintEtikett &etikett, const TLagerArtikelDaten &article) const;
    // Reads an article for a label: the record and the EAN, which the stock table keeps in a
    // column of its own beside the record. False when there is no such article.
    static bool ReadArticle(IModLagerDBServerObj &db, const QString &nr,
                            TLagerArtikelDaten &article);
    // The label printer's data callback over a print list: one label per entry, in order.
    std::function<int(TPrintEtikett &, int)>
    Callback(const std::vector<TLagerArtikelDaten> &articles) const;

private:
    struct Prices {
        Money net, gross, vat;
    };
    Prices prices(const TLagerArtikelDaten &article, int index) const;

    Settings m_settings;
};
