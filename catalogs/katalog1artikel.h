#pragma once

#include "persistence/money.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/owninglist.h"

#include <QString>
#include <QStringView>
#include <array>
#include <functional>

// The pieces of a DATANORM article's long text. Type 1 is a line of its own, type 2 names a
// long-text block of the catalog, type 3 carries values for the "$" fields of a dimension
// text block.
enum TKatalog1LangtextTyp : int {
    ltZeile = 1,
    ltBaustein = 2,
    ltDimension = 3,
};

struct TKatalog1Dimensionslangtext {
    int Typ = 0;
    QString Text;
    QString Baustein; // number of the long-text block (types 2 and 3)

    bool operator==(const TKatalog1Dimensionslangtext &) const = default;
};

// Scale price. Only carried: this program does not compute with "za", "sam" and "bm".
struct TKatalog1Staffelpreis {
    int Nr = 0;
    QString Text;
    QString Zusatztext;
    int ZA = 0;
    int PreisKZ = 0;
    int Preiseinheit = 0;
    Money Wert;
    int SAM = 0;
    int BM = 0;
    int VonMenge = 0;
    int BisMenge = 0;
    double VonDatum = 0;
    double BisDatum = 0;

    bool operator==(const TKatalog1Staffelpreis &) const = default;
};

// Raw-material surcharge, carried unchanged.
struct TKatalog1Rohstoff {
    int Rohstofftyp = 0;
    int Preiseinheit = 0;
    double RBM2BPB = 0;
    double RBM2FBPB = 0;
    double RBM2G = 0;
    double RBM2FG = 0;

    bool operator==(const TKatalog1Rohstoff &) const = default;
};

struct TKatalog1Sonderkosten {
    int Nr = 0;
    QString Bezeichnung;
    Money Wert;
    int Typ = 0;

    bool operator==(const TKatalog1Sonderkosten &) const = default;
};

// A graphic or document attached to the article (one row of the catalog's CATALOGGS table,
// whose key is the article's AnbindNr).
struct TKatalog1AnbindObj {
    quint8 Typ = 0;
    QString Beschreibung;
    QString Dateiname;
    QString Erweiterung;

    bool operator==(const TKatalog1AnbindObj &) const = default;
};

// Owning lists that compare item by item, so that whole articles can be compared.
template <typename T> class TKatalog1ObjectList : public TOwningList<T>
{
public:
    bool operator==(const TKatalog1ObjectList &other) const
    {
        if (this->Count() != other.Count())
            return false;
        for (qsizetype i = 0; i < this->Count(); ++i)
            if (!(this->Item(i) == other.Item(i)))
                return false;
        return true;
    }
};

using TKatalog1DimensionslangtextObjectList = TKatalog1ObjectList<TKatalog1Dimensionslangtext>;
using TKatalog1StaffelpreisObjectList = TKatalog1ObjectList<TKatalog1Staffelpreis>;
using TKatalog1RohstoffObjectList = TKatalog1ObjectList<TKatalog1Rohstoff>;
using TKatalog1SonderkostenObjectList = TKatalog1ObjectList<TKatalog1Sonderkosten>;
using TKatalog1AnbindObjObjectList = TKatalog1ObjectList<TKatalog1AnbindObj>;

// A DATANORM catalog article apart from the XML machinery, so that it can be copied and
// compared. The fields up to LangtextNr are the columns of the CATALOG table; the lists up to
// Sonderkosten travel in its XMLDATA text; the rest is filled by the catalog when it reads
// the article.
struct TKatalog1ArtikelDaten {
    QString Katalog; // set by whoever loads the article; not stored
    QString Text1;   // the two further texts stay empty in this program
    QString Text2;

    QString ArtikelNr;
    QString KurzZeile1;
    QString KurzZeile2;
    quint8 TextKZ = 0;
    Money Listenpreis;
    double Rabatt = 0; // percent
    Money Netto;
    quint8 PreisKZ = 0; // 1: the list price is the base price, otherwise the net price
    qint32 Preiseinheit = 1;
    Money LastNetto;
    double LastNettoChanged = 0;
    std::array<Money, 4> VKPreise{}; // sales prices 2 to 5
    QString ME;
    bool MEKalkulationSpezial = false; // prices are calculated in the unit MEKalkulation
    QString MEKalkulation;
    double MEKalkulationUmrechFakt = 1.0;
    double Oberflaeche = 0;
    double Volumen = 0;
    double Abwicklung = 0;
    double Gewicht = 0;
    QString Matchcode;
    QString Katalogseite;
    QString Rabattgruppe;
    QString Hauptwarengruppe;
    QString Warengruppe;
    QString Kostenart;
    QString AlternativArtikelNrErsteller;
    QString AlternativArtikelNr;
    QString HerstellerNrErsteller;
    QString HerstellerNr;
    QString HerstellerType;
    QString ReferenzNrErsteller;
    QString ReferenzNr;
    QString EAN;
    quint8 MwStMerker = 0;
    quint8 LagerMerker = 0;
    qint32 Verpackungsmenge = 1;
    QString LangtextNr;

    TKatalog1DimensionslangtextObjectList Dimensionslangtexte;
    QString AnbindNr;
    TKatalog1StaffelpreisObjectList Staffelpreise;
    TKatalog1RohstoffObjectList Rohstoffe;
    TKatalog1SonderkostenObjectList Sonderkosten;
    double Arbeitszeit = 0;
    TKatalog1AnbindObjObjectList AnbindObjekte;
    QString Langtext;      // assembled from Dimensionslangtexte; not stored
    double VKZuschlag = 0; // sales surcharge in percent; determined on reading, not stored

    bool operator==(const TKatalog1ArtikelDaten &) const = default;

    // The two short-text lines joined by one blank, as lists and merge records show them.
    QString Kurzzeilen() const;

    // A long-text block of the catalog by number and type (2 or 3); empty when missing.
    using BausteinLookup = std::function<QString(const QString &nr, int typ)>;
    // Builds Langtext from the entries, one line each, joined by CR LF.
    void AssembleLangtext(const BausteinLookup &baustein);
    // Fills the "$" fields of a dimension text block: the n-th run of "$" takes the n-th of the
    // "$"-separated values, padded with blanks or cut to the run's length.
    static QString FillDimensionTemplate(QStringView templ, QStringView values);

    // The discount group's surcharge, or the net price's when that is 0 (no group, or a group
    // without surcharge). The net price is handed over in currency units.
    void DetermineVKZuschlag(const std::function<double(const QString &group)> &ofGroup,
                             const std::function<double(double net)> &ofNet);
    // Net price plus the sales surcharge, rounded as money.
    Money VKPreis1(bool fourDecimals) const;

    // The XMLDATA lines, each starting with the indent and ending with CR LF.
    void AppendXML(QString &out, QStringView indent) const;
};

// A DATANORM catalog article with its XMLDATA text. A load starts from the cleared state, so
// the catalog reads the XML before the columns.
class TKatalog1Artikel : public TDBXMLCoreObject, public TKatalog1ArtikelDaten
{
public:
    TKatalog1Artikel() { Clear(); }
    ~TKatalog1Artikel() override;
    void Assign(const TKatalog1ArtikelDaten &data) { TKatalog1ArtikelDaten::operator=(data); }

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    // The XML holds attributes only.
    void Characters(QStringView) override {}
    void EndElement(const QString &name) override;
    void Clear() override;
    // complete makes no difference: the lists are always written whole.
    void WriteXML(bool complete, const QString &indent) override;
};
