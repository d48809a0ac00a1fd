#include "tools/suitegen/addressgenerator.h"

#include "ordering/customeraddress.h"
#include "persistence/datetime.h"

#include <QDate>
#include <QDir>
#include <exception>

using namespace Qt::StringLiterals;

namespace
{

TCustomerAnschrift &addAnschrift(TCustomerAddress &a, const QString &id, const QString &kind,
                                 const QString &name1, const QString &name2, const QString &street,
                                 const QString &plz, const QString &town, bool standard)
{
    TCustomerAnschrift &adr = a.Anschriften.Add(TCustomerAnschrift{});
    adr.Id = id;
    adr.AArt = kind;
    adr.Name1 = name1;
    adr.Name2 = name2;
    adr.Strasse = street;
    adr.Land = u"D"_s;
    adr.Plz = plz;
    adr.Ort = town;
    adr.Std = standard;
    return adr;
}

TCustomerContact &addContact(TCustomerAddress &a, const QString &name, bool standard,
                             std::initializer_list<TCustomerContactData> data)
{
    TCustomerContact &c = a.Kontakte.Add(TCustomerContact{});
    c.Name = name;
    c.Std = standard;
    for (const TCustomerContactData &d : data)
        c.Data.Add(TCustomerContactData(d));
    return c;
}

void stamp(TCustomerAddress &a, const QString &id, int month)
{
    a.Id = id;
    a.AddrGrp = u"LIEF"_s;
    a.Cr = DateTime::fromQDate(QDate(2024, month, 1));
    a.CrBy = u"ADMIN"_s;
    a.Ch = DateTime::fromQDate(QDate(2024, month, 15));
    a.ChBy = u"ADMIN"_s;
    a.Sprache = u"de_DE"_s;
}

void fillMueller(TCustomerAddress &a)
{
    stamp(a, u"70001"_s, 1);
    a.At = u"Sanitär-Großhandel Müller GmbH"_s;
    a.UstIdNr = u"DE123456789"_s;
    a.StNr = u"143/215/50012"_s;
    a.MwStAusw = 1;
    a.MahnTyp = 2;
    a.KreditorNr = u"K-70001"_s;
    a.KreditorSachbearbeiter = u"Frau Jäger"_s;
    a.Info = u"Lieferung nur werktags bis 15 Uhr.\r\nTor 3 benutzen."_s;
    addAnschrift(a, u"1"_s, u"Hauptsitz"_s, u"Sanitär-Großhandel Müller GmbH"_s, QString(),
                 u"Königstraße 12"_s, u"70173"_s, u"Stuttgart"_s, true);
    addAnschrift(a, u"2"_s, u"Lager"_s, u"Sanitär-Großhandel Müller GmbH"_s, u"Zentrallager Süd"_s,
                 u"Industriestraße 7-9"_s, u"73760"_s, u"Ostfildern"_s, false);
    addAnschrift(a, u"3"_s, u"Rechnung"_s, u"Müller Holding GmbH & Co. KG"_s, u"Buchhaltung"_s,
                 u"Postfach 10 20 30"_s, u"70020"_s, u"Stuttgart"_s, false);
    addContact(a, u"Jürgen Weiß"_s, true,
               {{1, u"Telefon"_s, u"0711 123456-0"_s, u"geschäftlich"_s},
                {3, u"E-Mail"_s, u"j.weiss@mueller-sanitaer.example"_s, QString()}});
    addContact(a, u"Anja Groß"_s, false, {{1, u"Telefon"_s, u"0711 123456-22"_s, QString()}});
    TPaymentWay &way = a.PaymentWays.Add(TPaymentWay{});
    way.Kind = 1;
    way.Comment = u"Überweisung"_s;
    way.Institute = u"Volksbank Stuttgart"_s;
    way.IBAN = u"DE02600901000012345678"_s;
    way.BIC = u"VOBADESSXXX"_s;
    a.PaymentTerms.Add(TPaymentTerm{1, 2, 10, 7});
    a.PaymentTerms.Add(TPaymentTerm{0, 0, 30, 7});
    TDsnElement &kunde = a.DsnElements.Add();
    kunde.Name = u"Kundennummer beim Lieferanten"_s;
    kunde.Kind = TDsnElement::Text;
    kunde.TextValue = u"4711-Ö"_s;
    a.Kz = {u"Hauptlieferant"_s, u"Rahmenvertrag 2024"_s};
}

void fillKoehler(TCustomerAddress &a)
{
    stamp(a, u"70002"_s, 2);
    a.KreditorNr = u"K-70002"_s;
    addAnschrift(a, u"1"_s, QString(), u"Heizungsbau Köhler & Söhne KG"_s, QString(),
                 u"Am Mühlbach 4"_s, u"79098"_s, u"Freiburg im Breisgau"_s, true);
    addContact(
        a, u"Björn Köhler"_s, true,
        {{1, u"Telefon"_s, u"0761 98765"_s, QString()}, {2, u"Fax"_s, u"0761 98766"_s, QString()}});
    a.PaymentTerms.Add(TPaymentTerm{0, 0, 14, 7});
}

// Known by number only: the address module has no postal address for it yet.
void fillWeiss(TCustomerAddress &a)
{
    stamp(a, u"70003"_s, 3);
    a.At = u"Elektro Weiß Lieferdienst"_s;
    a.Alarm = true;
    a.AlarmText = u"Anschrift fehlt, bitte nachtragen."_s;
}

void fillOeztuerk(TCustomerAddress &a)
{
    stamp(a, u"70004"_s, 4);
    a.Wv = DateTime::fromQDate(QDate(2024, 9, 30));
    a.WvTxt = u"Preisliste anfordern"_s;
    a.WvUser = u"LAGER"_s;
    a.Paragr13b = true;
    addAnschrift(a, u"1"_s, QString(), u"Klimatechnik Öztürk"_s, u"Inh. Gül Öztürk"_s,
                 u"Große Straße 1"_s, u"20095"_s, u"Hamburg"_s, true);
    TPaymentWay &way = a.PaymentWays.Add(TPaymentWay{});
    way.Kind = 2;
    way.Comment = u"Lastschrift"_s;
    way.Institute = u"Hamburger Sparkasse"_s;
    way.IBAN = u"DE89200505501234567890"_s;
    way.BIC = u"HASPDEHHXXX"_s;
}

} // namespace

bool GenerateSupplierAddresses(const QString &addressDir, QString *error)
{
    if (!QDir().mkpath(addressDir)) {
        if (error)
            *error = u"cannot create directory %1"_s.arg(addressDir);
        return false;
    }
    for (void (*fill)(TCustomerAddress &) : {fillMueller, fillKoehler, fillWeiss, fillOeztuerk}) {
        TCustomerAddress address;
        fill(address);
        const QString path = QDir(addressDir).filePath(address.Id + u".XML"_s);
        try {
            address.SaveToFile(path);
        } catch (const std::exception &) {
            if (error)
                *error = u"cannot write %1"_s.arg(path);
            return false;
        }
    }
    return true;
}
