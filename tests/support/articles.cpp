#include "tests/support/articles.h"

#include "stock/modlagerdbserverobj.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TLagerArtikelDaten fullArticle()
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = u"A<1>&'\""_s;
    a.Katalog = u"DATANORM1"_s; // the column fields stay out of the XML text
    a.Bezeichnung = u"Kupferrohr"_s;
    a.MwStSatz = 2;
    a.SNPflicht = true;
    a.Seriennummern.emplace().Add().SN = u"S1"_s;
    a.BuchungsBestand = 12;
    a.EKPreis = Money::fromDouble(3.5);
    a.VKZuschlag = 1.4;
    a.Created = 45678.5;
    a.CreatedBy = u"M&M"_s;
    a.Changed = 45679.25;
    a.ChangedBy = u"O'Neil"_s;
    a.PE = 100;
    a.VKPreis = {Money::fromDouble(12.3456), Money::fromDouble(-3.5), Money::fromUnits(1000000),
                 Money::fromRaw(1), Money::fromDouble(99.99)};
    a.EKProKg = Money::fromDouble(4.1234);
    a.Breite = 0.5;
    a.Laenge = 3;
    a.Dicke = 0.0025;
    a.Dichte = 7.85;
    a.Oberflaeche = 1.5;
    a.Volumen = 0.00375;
    a.GewichtQm = 19.625;
    a.Gewicht = 2.5;
    a.Verpackungsmenge = 0;
    a.VerpackungsME = u"Pak \"10\""_s;
    a.Arbeitszeit = 7.5;
    a.Lohn = Money::fromDouble(45.5);
    a.OhneRabatt = a.OhneProvision = a.EKSperre = a.VKSperre = a.KeineEKPflege = true;
    a.Langtext = u"Zeile <1>\r\nZeile & \"2\""_s;
    a.Kurztext = u"Kurz 'ü' 😀"_s;
    a.Etikett = u"Etikett\n"_s;
    a.LetzteSeriennummer = u"SN<42>"_s;
    a.MindestBestand = {u"<from>0101</from><to>1406</to><mb>3,000</mb><bm>12,500</bm>"_s,
                        u"<from>1506</from><to>3112</to><mb>0</mb><bm>0</bm>"_s};
    a.Bilder.Add(QString(), u"bild1.jpg"_s);
    a.Bilder.Add(u"k&2"_s, u"Bild \"2\".png"_s);
    const auto extra = [&](const QString &name, quint8 kind) -> TDsnElement & {
        TDsnElement &e = a.Zusatzdaten.Add();
        e.Name = name;
        e.Kind = kind;
        return e;
    };
    extra(u"Farbe"_s, TDsnElement::Text).TextValue = u"rot & blau\r\n"_s;
    extra(u"Anzahl"_s, TDsnElement::Integer).IntValue = -42;
    extra(u"Geprüft"_s, TDsnElement::Boolean).BoolValue = true;
    extra(u"Datum"_s, TDsnElement::Date).FloatValue = 45678;
    extra(u"Zeit"_s, TDsnElement::Time).FloatValue = 0.5;
    extra(u"Stempel"_s, TDsnElement::DateAndTime).FloatValue = 45678.75;
    extra(u"Alt"_s, 0);
    a.KatRefs.Add(u"DATANORM1"_s, u"4711-0815"_s);
    a.KatRefs.Add(u"[10001_2]"_s, u"Müller GmbH, Hauptstr. 1"_s);
    a.KatRefs.Add(u"[10001_2]"_s, u"[B-77]"_s);
    a.ExtensionData = u"<ext a=\"1\">x & y</ext>"_s;
    return a;
}

void writeArticles(const QString &stockDir, const QStringList &numbers,
                   const std::function<void(TLagerServerObj &)> &edit)
{
    IModLagerDBServerObj db;
    db.Open(stockDir);
    for (const QString &nr : numbers) {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        if (edit)
            edit(a);
        EXPECT_EQ(db.WriteArticle(&a), 0) << qPrintable(nr);
    }
}
