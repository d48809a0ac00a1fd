#pragma once

#include "ordering/bestellartikel.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/doublestring.h"
#include "stock/dsnelement.h"

#include <QString>
#include <QStringList>
#include <memory>

// State of an order as the ordering module and the goods receipt set it (column Stadium).
enum class OrderState : quint8 {
    Unbekannt = 0,
    InBearbeitung = 1,
    OffeneLieferung = 2,
    Storniert = 3,
    Teillieferung = 4,
    Geliefert = 5,
};

// The untranslated name of a state; empty for a value outside 0 to 5.
const char *OrderStateMsgid(int state);
// The translated name of a state, as lists show it.
QString OrderStateName(int state);

// Splits a multi-line text into its lines (CR LF, LF or CR); an empty text gives no line and a
// final line break no empty last line.
QStringList SplitTextLines(QStringView text);

// A purchase order of the suite's ordering module. The complete document carries everything;
// the short form is what the order table keeps beside its columns.
class TBestellServerObj : public TDBXMLCoreObject
{
public:
    TBestellServerObj();
    ~TBestellServerObj() override;

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool complete, const QString &indent) override;

    // From the lines: delivered, partly delivered or open, except that an order still in
    // preparation stays there.
    void UpdateStadium();
    // Net total from the lines, in the suite's money setting.
    void CalcNetto();
    void CalcNetto(bool fourDecimals);

    TBestellartikelHelper &LineWriter() { return *m_lineWriter; }

    QString BestellNr;
    QString Anzeigetext;
    double Datum = 0;
    double LieferDatum = 0;
    quint8 Stadium = 0;
    double Netto = 0;
    QString Waehrung;
    QString WaehrungK;
    TTripleString BestellAdr; // id, address text, catalog name
    TDoubleString LieferAdr;  // id, address text
    TDoubleString RgAdr;      // id, address text
    double Angelegt = 0;
    QString AngelegtVon;
    double Geaendert = 0;
    QString GeaendertVon;
    int TerminRef = -1;
    QStringList Kennzeichen;
    double WV = 0;
    QString WVText;
    QString WVUser;
    TBestellartikelObjectList Artikel;
    TDsnElementList DsnElements;
    QString Info;

private:
    void ReadDbData(const TXMLAttributes &a);

    std::unique_ptr<TBestellartikelHelper> m_lineWriter;
};
