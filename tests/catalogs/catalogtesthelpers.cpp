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
    // clang-format off
    TKatalog1ArtikelDaten a{
        .Katalog = u"GC"_s, .Text1 = u"frei 1"_s, .Text2 = u"frei 2"_s, .ArtikelNr = u"CU22"_s,
        .KurzZeile1 = u" Kupferrohr 22"_s, .KurzZeile2 = u"hart "_s, .TextKZ = 3,
        .Listenpreis = m(48.5), .Rabatt = 35, .Netto = m(31.53), .PreisKZ = 1, .Preiseinheit = 100,
        .LastNetto = m(30.1), .LastNettoChanged = 45200.25,
        .VKPreise = {m(40.002), m(41.5), m(0), m(-1.002)}, .ME = u"m"_s,
        .MEKalkulationSpezial = true, .MEKalkulation = u"Stk"_s, .MEKalkulationUmrechFakt = 2.5,
        .Oberflaeche = 0.35, .Volumen = 0.0019, .Abwicklung = 69.1, .Gewicht = 2.85,
        .Matchcode = u"KUPFERROHR"_s, .Katalogseite = u"S. 117"_s, .Rabattgruppe = u"CU1"_s,
        .Hauptwarengruppe = u"110"_s, .Warengruppe = u"11020"_s, .Kostenart = u"Material"_s,
        .AlternativArtikelNrErsteller = u"ALT"_s, .AlternativArtikelNr = u"A-22"_s,
        .HerstellerNrErsteller = u"HST"_s, .HerstellerNr = u"H-4711"_s,
        .HerstellerType = u"Typ R"_s, .ReferenzNrErsteller = u"REF"_s, .ReferenzNr = u"R-9"_s,
        .EAN = u"4001234567890"_s, .MwStMerker = 1, .LagerMerker = 1, .Verpackungsmenge = 10,
        .LangtextNr = u"LT0815"_s, .Dimensionslangtexte = {}, .AnbindNr = u"G22"_s,
        .Staffelpreise = {}, .Rohstoffe = {}, .Sonderkosten = {}, .Arbeitszeit = 12.5,
        .AnbindObjekte = {}, .Langtext = u"  Kupferrohr nach EN 1057\r\n"_s, .VKZuschlag = 12.345};
    // clang-format on
    a.Dimensionslangtexte.Add({ltZeile, u"Kupferrohr \"hart\" & blank"_s, QString()});
    a.Dimensionslangtexte.Add({ltBaustein, QString(), u"LT0815"_s});
    a.Dimensionslangtexte.Add({ltDimension, u"22$1,0$"_s, u"DIM7"_s});
    a.Dimensionslangtexte.Add({ltDimension, u"5000"_s, u"DIM7"_s});
    a.Staffelpreise.Add({1, u"ab 10 Stück"_s, u"Größe <50>"_s, 2, 1, 100, m(12.3456), 3, 4, 10, 99,
                         45292, 45657.5});
    a.Staffelpreise.Add({2, QString(), QString(), 0, 0, 1, m(-0.5), 0, 0, 100, 0, 0, 0});
    a.Rohstoffe.Add({1, 100, 1.25, -3, 8.96, 0.00001});
    a.Sonderkosten.Add({1, u"Schneiden 'Zuschnitt'\r\n2. Zeile"_s, m(4.5), 2});
    a.AnbindObjekte.Add({1, u"Foto"_s, u"cu22"_s, u"jpg"_s});
    a.AnbindObjekte.Add({2, QString(), u"datenblatt"_s, u"pdf"_s});
    return a;
}

TKatalog2ArtikelDaten fullSimpleArticle()
{
    // clang-format off
    TKatalog2ArtikelDaten a{
        .ArtikelNr = u"WT-100"_s, .EAN = u"4009876543210"_s, .Beschreibung = u"Waschtisch 100 cm"_s,
        .ME = u"Stk"_s, .MEKalkulationSpezial = true, .MEKalkulation = u"Pal"_s,
        .MEKalkulationUmrechFakt = 3, .MindBestMenge = 2, .Preiseinheit = 10, .EK = m(100),
        .MwStSatz = 1, .Rabatt = 10, .Info = u"Auslaufmodell"_s, .Voraetig = 14,
        .Created = 45000.5, .Changed = 45100.75, .CreatedBy = u"ADMIN"_s, .ChangedBy = u"MEIER"_s,
        .Rabattgruppe = u"SAN"_s, .VKZuschlag = 1.5,
        .VKPreis1 = m(999), // whatever reading computed: merge records compute it anew
        .VKPreise = {m(150.005), m(140), m(130), m(120)}, .Gewicht = 18.5, .Oberflaeche = 0.55,
        .Abwicklung = 2.1, .Volumen = 0.12, .Umrechnungsfaktor = 0.5, .Arbeitszeit = 45,
        .Lohn = m(52.5), .Verpackungsmenge = 3, .Bestellmenge = 6,
        .Langtext = u"\tWaschtisch aus Keramik\r\nmit Überlauf\r\n"_s,
        .Kurztext = u"  Waschtisch  "_s, .Bilder = {}, .Katalog = u"SANITAER"_s,
        .Text1 = u"frei 1"_s, .Text2 = u"frei 2"_s};
    // clang-format on
    a.Bilder.Add(u"Hauptbild"_s, u"rohr_22.jpg"_s);
    a.Bilder.Add(u"Maß & \"Zeichnung\""_s, u"a&b <1>.pdf"_s);
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
