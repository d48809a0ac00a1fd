#pragma once

#include "persistence/money.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/doublestring.h"
#include "stock/dsnelement.h"
#include "stock/seriennummer.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Key/value pairs of an article (supplier references, pictures). Copyable and comparable, unlike
// the plain owning list, so that whole records can be copied and compared.
class TLagerDoubleStringList : public TDoubleStringListObjectList
{
public:
    TLagerDoubleStringList() = default;
    TLagerDoubleStringList(const TLagerDoubleStringList &other);
    TLagerDoubleStringList &operator=(const TLagerDoubleStringList &other);
    TLagerDoubleStringList(TLagerDoubleStringList &&) noexcept = default;
    TLagerDoubleStringList &operator=(TLagerDoubleStringList &&) noexcept = default;
    bool operator==(const TLagerDoubleStringList &other) const;
};

// The stock article's data apart from the XML machinery, so that a record can be copied (the
// editor works on a copy) and compared as a whole.
struct TLagerArtikelDaten {
    // Kept in their own columns of the stock table.
    QString LagerArtikelNr;
    QString Katalog;
    QString EAN;
    QString Bezeichnung;
    double BuchungsBestand = 0;
    double SummeWareneingangMe = 0;
    QString Gruppe;
    QString Lagerort;
    bool Inventurartikel = false;
    double Anfangsbestand = 0;
    double InventurErfassung = 0;
    double Inventurdifferenz = 0;
    QString Rabattgruppen;
    QString ME;
    bool DEinstandsPreisbildung = false;
    Money EKPreis;
    double VKZuschlag = 1.0;
    quint8 MwStSatz = 0;
    bool SNPflicht = false;
    bool IsNotBestandsartikel = false;
    qint32 ViewColor = 0;

    // Carried in the XMLDATA text.
    double Created = 0;
    QString CreatedBy;
    double Changed = 0;
    QString ChangedBy;
    qint32 PE = 1; // prices are per this many units, never below 1
    std::array<Money, 5> VKPreis{};
    Money EKProKg;
    double Breite = 0;      // m
    double Laenge = 0;      // m
    double Dicke = 0;       // m
    double Dichte = 0;      // kg per m² per mm
    double Oberflaeche = 0; // m²
    double Volumen = 0;     // m³
    double GewichtQm = 0;   // kg/m²
    double Gewicht = 0;     // kg per unit
    double Verpackungsmenge = 1.0;
    QString VerpackungsME;
    double Arbeitszeit = 0; // minutes
    Money Lohn;
    bool OhneRabatt = false;
    bool OhneProvision = false;
    bool EKSperre = false;
    bool VKSperre = false;
    bool KeineEKPflege = false;
    QString Langtext;
    QString Kurztext;
    QString Etikett;
    QString LetzteSeriennummer;
    // One "<from>ddmm</from><to>ddmm</to><mb>..</mb><bm>..</bm>" text per period; the periods
    // cover the year without gaps.
    QStringList MindestBestand;
    TLagerDoubleStringList KatRefs; // first entry = standard supplier
    TLagerDoubleStringList Bilder;
    TDsnElementList Zusatzdaten;
    QString ExtensionData; // opaque, written back unchanged
    // Serial numbers entered during a goods receipt, booked by the caller; never stored here.
    std::optional<TSeriennummerObjectList> Seriennummern;

    bool operator==(const TLagerArtikelDaten &) const = default;

    // Replaces the periods with those of the template file (one per line) or, without one,
    // with the single full-year period.
    void InitPeriods(const QString &templateFile);
    // Starts a new period at the date (a date-time); the period containing it is cut in two
    // with the same quantities. Templates are loaded first when there are no periods yet.
    void SplitPeriod(const QString &templateFile, double date);
    // Removes a period and lets a neighbour take over its days; needs at least two periods.
    void DeletePeriod(qsizetype index);

    // The article's XML lines, each starting with the indent and ending with CR LF.
    void AppendXML(QString &out, QStringView indent) const;
};

// One stock article: the data above plus reading and writing its XMLDATA text.
class TLagerServerObj : public TDBXMLCoreObject, public TLagerArtikelDaten
{
public:
    TLagerServerObj() { Clear(); }
    ~TLagerServerObj() override;
    // The editor's copy comes back through here; the XML machinery is not copied.
    void Assign(const TLagerArtikelDaten &data) { TLagerArtikelDaten::operator=(data); }

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    // complete makes no difference: the article always writes all of its text.
    void WriteXML(bool complete, const QString &indent) override;

private:
    // Where the character data of the current element goes.
    enum class TextTarget : quint8 { None, Langtext, Kurztext, Etikett, Buffer, Picture };
    TextTarget m_target = TextTarget::None;
    QString *m_targetText = nullptr;
};
