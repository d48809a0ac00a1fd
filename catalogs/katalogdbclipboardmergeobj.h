#pragma once

#include "catalogs/katalogpreiseinstellungen.h"
#include "catalogs/ukatkatalogtypehelper.h"
#include "persistence/money.h"
#include "persistence/xml/doublestring.h"
#include "stock/lagerserverobj.h"

#include <QString>
#include <array>

struct TKatalog1ArtikelDaten;
struct TKatalog2ArtikelDaten;

// The two short-text lines of a DATANORM article: line 1 as key, line 2 as value. Comparable,
// so that whole merge records can be compared.
struct TKurzzeilenPaar : TDoubleString {
    bool operator==(const TKurzzeilenPaar &o) const { return Key == o.Key && Value == o.Value; }
};

// One article in the same shape whatever it came from (a DATANORM or simple catalog, or the
// stock), from which a new stock article is built.
class TKatalogDBClipBoardMergeObj
{
public:
    TKatalogDBClipBoardMergeObj() = default;

    QString ArtikelNr;
    QString EAN;
    QString Katalog;
    quint8 KatalogTyp = kkNone;
    QString Beschreibung;
    TKurzzeilenPaar Kurzzeilen;
    double MwStSatz = 0;   // percent of the VAT code
    quint8 MwStMerker = 0; // the VAT code
    Money Basispreis;
    double Rabatt = 0; // percent
    QString Rabattgruppe;
    Money NettoEK;
    double VKFaktor = 1.0;
    qint32 Preiseinheit = 1;
    std::array<Money, 5> VKPreise{}; // sales prices 1 to 5
    double MindBestMenge = 0;
    QString ME;
    QString Kurztext;
    QString Langtext;
    double Arbeitszeit = 0;
    TLagerDoubleStringList Bilder; // key = picture key, value = file name
    QString Text1;
    QString Text2;

    bool operator==(const TKatalogDBClipBoardMergeObj &) const = default;

    void Clear();
    // Each fills the record anew from one article; prices of articles calculated in another
    // unit are converted to that unit.
    void LoadFrom(const TKatalog1ArtikelDaten &article, const TKatalogPreisEinstellungen &settings);
    void LoadFrom(const TKatalog2ArtikelDaten &article, const TKatalogPreisEinstellungen &settings);
    void LoadFrom(const TLagerArtikelDaten &article, const TKatalogPreisEinstellungen &settings);

private:
    // Unit, base price and sales prices 2 to 5 in the other unit; the net price follows from the
    // converted base price.
    void ConvertToOtherUnit(const QString &unit, double factor, bool fourDecimals);
    // The short text, else the description; the long text, else the short text.
    void SetTexts(const QString &kurztext, const QString &langtext);
};
