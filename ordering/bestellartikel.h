#pragma once

#include "persistence/xml/xmltext.h"

#include "persistence/money.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/owninglist.h"
#include "stock/lagerserverobj.h"

#include <QString>
#include <QStringList>
#include <memory>

class TBestellServerObj;

// One line of a purchase order. Only the first block is carried by the documents; the working
// fields serve a goods receipt against the order.
class TBestellartikel
{
public:
    QString Typ; // "N" stock article, "F" free article, "T" text line
    QString ArtikelNr;
    QString BestellNr; // the supplier's article number used when ordering
    QString Anzeigetext;
    QString Langtext;
    double Menge = 0;
    double Geliefert = 0;
    double EK = 0; // per price unit
    int PE = 1;    // price unit; below 1 counts as 1
    double Rabatt = 0;
    QString Mengeneinheit;

    double Zeilenwert = 0; // net value of the line, set by CalcNetTotal

    // Working fields of a goods receipt.
    double Zugangsmenge = 0;
    bool OffeneMengeZuruecksetzen = false;
    // The stock article found or created for the line; freed with the line.
    std::unique_ptr<TLagerServerObj> Lagerartikel;
    QString SnLieferantText;

    QString PosNr; // set by NumberPositions

    bool IsTextLine() const { return Typ == u"T"; }
    int EffectivePE() const { return PE < 1 ? 1 : PE; }
};

class TBestellartikelObjectList : public TOwningList<TBestellartikel>
{
public:
    // The net total in ten-thousandths; also stores each line's value. Price units below 1
    // are set to 1 on the way.
    Money CalcNetTotal(bool fourDecimals);
    // Numbers the lines that are not text lines 1, 2, ... padded with "0" to the number of
    // digits of the line count.
    void NumberPositions();
};

// Writes and reads the lines document ("bestellung") of an order. Reading appends to the
// line list it refers to and recomputes the owning order's net total at the end.
class TBestellartikelHelper : public TDBXMLCoreObject
{
public:
    TBestellartikelHelper(TBestellartikelObjectList &lines, TBestellServerObj *order)
        : m_lines(lines), m_order(order)
    {
    }

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    // Parsing appends, so there is nothing to reset.
    void Clear() override {}
    void WriteXML(bool complete, const QString &indent) override;

    // Writes the document's lines with prefix indent into out.
    void AppendLinesDocument(QString &out, const QString &indent) const;

    // The reading steps, shared with the order's own parser for the complete document.
    void BeginLine(const TXMLAttributes &attributes);
    void EndLine(const QString &longText);
    void EndLinesDocument();

private:
    TBestellartikelObjectList &m_lines;
    TBestellServerObj *m_order;
};
