#pragma once

#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/doublestring.h"

#include <QString>
#include <QStringList>

// The ordering module's configuration ("CONFIG.XML" of the ordering directory). This module
// only uses the automatic stock article search; the rest is kept so that writing the file
// back loses nothing.
class TBestellwesenConfig : public TDBXMLCoreObject
{
public:
    TBestellwesenConfig() { Clear(); }

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool complete, const QString &indent) override;

    QString EigeneAdrId;
    TDoubleString StdLiefAdr;
    TDoubleString StdRgAdr;
    QStringList Kennzeichen;
    QStringList NK;
    quint8 PosBeschrGenType = 0;
    bool AutoSearchLagerartikel = false;
    bool AutoFillBestellNr = false;
};
