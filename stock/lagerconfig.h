#pragma once

#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/doublestring.h"

#include <QStringList>

// The settings shared by every user of one stock database (CONFIG.XML in the stock
// directory): the value lists offered for group, storage place and discount group, and the
// switches for searching and catalog transfer. Unknown switches are carried unchanged.
class TLagerConfig : public TDBXMLCoreObject
{
public:
    TLagerConfig();

    // CONFIG.XML of a stock directory.
    static QString FileNameIn(const QString &stockDir);

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool complete, const QString &indent) override;

    QStringList Artikelgruppen;
    QStringList Lagerorte;
    TDoubleStringListObjectList Rabattgruppen; // key = identifier, value = display text
    QStringList Pnk;
    qint32 StdUebernahmepreis = 1;
    qint32 VKPEurKgToVKP = 1; // 2..5: that sale price follows the per-kg price
    bool StdMRabF = true;
    bool SpEAN = false; // search fields look up scanned codes as a whole
    bool Vars = false;

private:
    enum class TextTarget { None, Groups, Places, Pnk, Discount };
    TextTarget m_target = TextTarget::None;
};

// A list as one text, each entry followed by CR LF, and back; a final line break adds no
// empty entry.
QString ListToText(const QStringList &list);
QStringList TextToList(QStringView text);
