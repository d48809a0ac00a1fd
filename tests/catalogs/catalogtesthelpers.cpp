#include "tests/catalogs/catalogtesthelpers.h"

#include "base/inifile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace CatalogTest
{
namespace
{
Money m(double value)
{
    return Money::fromDouble(value);
}
} // namespace

TKatalog1ArtikelDaten fullDatanormArticle()
{
    TKatalog1ArtikelDaten a;
    a.Katalog = u"GC"_s;
    a.Text1 = u"frei 1"_s;
    a.Text2 = u"frei 2"_s;
    a.ArtikelNr = u"CU22"_s;
    a.KurzZeile1 = u" Kupferrohr 22"_s;
    a.KurzZeile2 = u"hart "_s;
    a.TextKZ = 3;
    a.Listenpreis = m(48.5);
    a.Rabatt = 35;
    a.Netto = m(31.53);
    a.PreisKZ = 1;
    a.Preiseinheit = 100;
    a.LastNetto = m(30.1);
    a.LastNettoChanged = 45200.25;
    a.VKPreise = {m(40.002), m(41.5), m(0), m(-1.002)};
    a.ME = u"m"_s;
    a.MEKalkulationSpezial = true;
    a.MEKalkulation = u"Stk"_s;
    a.MEKalkulationUmrechFakt = 2.5;
    a.Oberflaeche = 0.35;
    a.Volumen = 0.0019;
    a.Abwicklung = 69.1;
    a.Gewicht = 2.85;
    a.Matchcode = u"KUPFERROHR"_s;
    a.Katalogseite = u"S. 117"_s;
    a.Rabattgruppe = u"CU1"_s;
    a.Hauptwarengruppe = u"110"_s;
    a.Warengruppe = u"11020"_s;
    a.Kostenart = u"Material"_s;
    a.AlternativArtikelNrErsteller = u"ALT"_s;
    a.AlternativArtikelNr = u"A-22"_s;
    a.HerstellerNrErsteller = u"HST"_s;
    a.HerstellerNr = u"H-4711"_s;
    a.HerstellerType = u"Typ R"_s;
    a.ReferenzNrErsteller = u"REF"_s;
    a.ReferenzNr = u"R-9"_s;
    a.EAN = u"4001234567890"_s;
    a.MwStMerker = 1;
    a.LagerMerker = 1;
    a.Verpackungsmenge = 10;
    a.LangtextNr = u"LT0815"_s;
    a.Dimensionslangtexte.Add({ltZeile, u"Kupferrohr \"hart\" & blank"_s, QString()});
    a.Dimensionslangtexte.Add({ltBaustein, QString(), u"LT0815"_s});
    a.Dimensionslangtexte.Add({ltDimension, u"22$1,0$"_s, u"DIM7"_s});
    a.Dimensionslangtexte.Add({ltDimension, u"5000"_s, u"DIM7"_s});
    a.AnbindNr = u"G22"_s;
    a.Staffelpreise.Add({1, u"ab 10 Stück"_s, u"Größe <50>"_s, 2, 1, 100, m(12.3456), 3, 4, 10, 99,
                         45292, 45657.5});
    a.Staffelpreise.Add({2, QString(), QString(), 0, 0, 1, m(-0.5), 0, 0, 100, 0, 0, 0});
    a.Rohstoffe.Add({1, 100, 1.25, -3, 8.96, 0.00001});
    a.Sonderkosten.Add({1, u"Schneiden 'Zuschnitt'\r\n2. Zeile"_s, m(4.5), 2});
    a.Arbeitszeit = 12.5;
    a.AnbindObjekte.Add({1, u"Foto"_s, u"cu22"_s, u"jpg"_s});
    a.AnbindObjekte.Add({2, QString(), u"datenblatt"_s, u"pdf"_s});
    a.Langtext = u"  Kupferrohr nach EN 1057\r\n"_s;
    a.VKZuschlag = 12.345;
    return a;
}

TKatalog2ArtikelDaten fullSimpleArticle()
{
    TKatalog2ArtikelDaten a;
    a.ArtikelNr = u"WT-100"_s;
    a.EAN = u"4009876543210"_s;
    a.Beschreibung = u"Waschtisch 100 cm"_s;
    a.ME = u"Stk"_s;
    a.MEKalkulationSpezial = true;
    a.MEKalkulation = u"Pal"_s;
    a.MEKalkulationUmrechFakt = 3;
    a.MindBestMenge = 2;
    a.Preiseinheit = 10;
    a.EK = m(100);
    a.MwStSatz = 1;
    a.Rabatt = 10;
    a.Info = u"Auslaufmodell"_s;
    a.Voraetig = 14;
    a.Created = 45000.5;
    a.Changed = 45100.75;
    a.CreatedBy = u"ADMIN"_s;
    a.ChangedBy = u"MEIER"_s;
    a.Rabattgruppe = u"SAN"_s;
    a.VKZuschlag = 1.5;
    a.VKPreis1 = m(999); // whatever reading computed: merge records compute it anew
    a.VKPreise = {m(150.005), m(140), m(130), m(120)};
    a.Gewicht = 18.5;
    a.Oberflaeche = 0.55;
    a.Abwicklung = 2.1;
    a.Volumen = 0.12;
    a.Umrechnungsfaktor = 0.5;
    a.Arbeitszeit = 45;
    a.Lohn = m(52.5);
    a.Verpackungsmenge = 3;
    a.Bestellmenge = 6;
    a.Langtext = u"\tWaschtisch aus Keramik\r\nmit Überlauf\r\n"_s;
    a.Kurztext = u"  Waschtisch  "_s;
    a.Bilder.Add(u"Hauptbild"_s, u"rohr_22.jpg"_s);
    a.Bilder.Add(u"Maß & \"Zeichnung\""_s, u"a&b <1>.pdf"_s);
    a.Katalog = u"SANITAER"_s;
    a.Text1 = u"frei 1"_s;
    a.Text2 = u"frei 2"_s;
    return a;
}

TKatalogPreisEinstellungen priceSettings(bool fourDecimals, bool gross)
{
    TKatalogPreisEinstellungen s;
    s.FullCurrency = fourDecimals;
    s.SalePriceIsGross = gross;
    s.VATRate = [](int code) { return code == 1 ? 19.0 : code == 3 ? 7.0 : 0.0; };
    return s;
}
QString catalogDir(const QString &dir, const QStringList &markers, const QString &type,
                   const QString &supplierId, const QString &info)
{
    QDir().mkpath(dir);
    for (const QString &m : markers)
        QFile(QDir(dir).filePath(m)).open(QIODevice::WriteOnly);
    if (!type.isEmpty()) {
        IniFile ini;
        ini.writeString(u"Catalog"_s, u"Type"_s, type);
        if (!supplierId.isEmpty())
            ini.writeString(u"Supplier"_s, u"ID"_s, supplierId);
        if (!info.isEmpty())
            ini.writeString(u"Supplier"_s, u"INFO"_s, info);
        ini.saveAs(QDir(dir).filePath(u"SUPPLIER.INI"_s));
    }
    return dir;
}

} // namespace CatalogTest
