#pragma once

#include "catalogs/katalogpreiseinstellungen.h"
#include "persistence/money.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "stock/lagerserverobj.h"

#include <QString>
#include <QStringView>
#include <array>

// An article of a simple catalog apart from the XML machinery, so that it can be copied and
// compared. Everything but the images, the computed sales price 1 and the catalog name comes
// from the columns of the SCATALOG table; the images travel in its XMLDATA text.
struct TKatalog2ArtikelDaten {
    QString ArtikelNr;
    QString EAN; // the catalog does not take it over on reading
    QString Beschreibung;
    QString ME;
    bool MEKalkulationSpezial = false; // prices are calculated in the unit MEKalkulation
    QString MEKalkulation;
    double MEKalkulationUmrechFakt = 1.0;
    double MindBestMenge = 0;
    qint32 Preiseinheit = 1;
    Money EK; // list price before the discount
    quint8 MwStSatz = 0;
    double Rabatt = 0; // percent
    QString Info;
    double Voraetig = 0; // in stock at the supplier
    double Created = 0;
    double Changed = 0;
    QString CreatedBy;
    QString ChangedBy;
    QString Rabattgruppe;
    double VKZuschlag = 0;           // sales factor applied to the net price
    Money VKPreis1;                  // computed on reading, see BerechneVKPreis1
    std::array<Money, 4> VKPreise{}; // sales prices 2 to 5
    double Gewicht = 0;
    double Oberflaeche = 0;
    double Abwicklung = 0;
    double Volumen = 0;
    double Umrechnungsfaktor = 0;
    double Arbeitszeit = 0;
    Money Lohn;
    qint32 Verpackungsmenge = 1;
    double Bestellmenge = 0;
    QString Langtext;
    QString Kurztext;
    TLagerDoubleStringList Bilder; // key = image key, value = file name
    QString Katalog;               // set by whoever loads the article; not stored
    QString Text1;                 // the two further texts stay empty in this program
    QString Text2;

    bool operator==(const TKatalog2ArtikelDaten &) const = default;

    // Purchase price less the discount, rounded as money.
    Money Nettopreis(bool fourDecimals) const;
    // Net price times the sales factor, with the VAT of MwStSatz added first when sale prices
    // are gross, rounded as money.
    Money BerechneVKPreis1(const TKatalogPreisEinstellungen &settings) const;

    // The XMLDATA lines, each starting with the indent and ending with CR LF.
    void AppendXML(QString &out, QStringView indent) const;
};

// An article of a simple catalog with its XMLDATA text. A load starts from the cleared state,
// so the catalog reads the XML before the columns.
class TKatalog2Artikel : public TDBXMLCoreObject, public TKatalog2ArtikelDaten
{
public:
    TKatalog2Artikel() { Clear(); }
    ~TKatalog2Artikel() override;
    void Assign(const TKatalog2ArtikelDaten &data) { TKatalog2ArtikelDaten::operator=(data); }

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    // complete makes no difference: the images are always written whole.
    void WriteXML(bool complete, const QString &indent) override;

private:
    // The image whose file name is being read.
    TDoubleString *m_image = nullptr;
};
