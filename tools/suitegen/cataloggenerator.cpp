#include "tools/suitegen/cataloggenerator.h"

#include "base/inifile.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/searchtextindex.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tools/suitegen/stockassortment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
// What both wholesalers sell. dimension is the "$" template of the DATANORM catalog's insert
// block; its values come from the size ("22x1" fills two fields).
struct Kind {
    const char16_t *name;
    const char16_t *matchcode;
    const char16_t *sizes[4];
    double price;
    const char16_t *unit;
    const char16_t *picture; // file name stem in IMAGES, or none
    const char16_t *dimension;
    const char16_t *mainGroup;
    const char16_t *groupName;
};

const Kind kKinds[] = {
    {u"Kupferrohr",
     u"KUPFERROHR",
     {u"15x1", u"18x1", u"22x1", u"28x1,5"},
     4.8,
     u"m",
     u"rohr",
     u"Außendurchmesser $$$ mm, Wandstärke $$$ mm",
     u"110",
     u"Rohre"},
    {u"Pressfitting Bogen 90°",
     u"PRESSBOGEN",
     {u"15", u"18", u"22", u"28"},
     3.9,
     u"Stk",
     u"pressfitting",
     u"Nennweite DN $$",
     u"120",
     u"Fittings"},
    {u"Kugelhahn",
     u"KUGELHAHN",
     {u"1/2", u"3/4", u"1", u"5/4"},
     14.5,
     u"Stk",
     u"kugelhahn",
     nullptr,
     u"130",
     u"Armaturen"},
    {u"Röhrenheizkörper",
     u"ROEHRENHEIZK",
     {u"500x600", u"500x1000", u"900x600", u"1800x400"},
     189,
     u"Stk",
     u"heizkoerper",
     u"Bauhöhe $$$$ mm, Baulänge $$$$ mm",
     u"140",
     u"Heizkörper"},
    {u"Thermostatkopf",
     u"THERMOSTATKOPF",
     {u"M30x1,5", u"M28x1,5", u"RA", u"Klemm"},
     17.9,
     u"Stk",
     u"thermostatkopf",
     nullptr,
     u"140",
     u"Heizkörper"},
    {u"Umwälzpumpe",
     u"UMWAELZPUMPE",
     {u"25-40", u"25-60", u"32-60", u"25-80"},
     229,
     u"Stk",
     u"pumpe",
     u"Förderhöhe $ m",
     u"150",
     u"Pumpen und Zubehör"},
    {u"Überwurfmutter",
     u"UEBERWURFMUTT",
     {u"1/2", u"3/4", u"1", u"15"},
     1.95,
     u"Stk",
     nullptr,
     nullptr,
     u"120",
     u"Fittings"},
    {u"Rohrschelle für Kupferrohr",
     u"ROHRSCHELLE",
     {u"15", u"18", u"22", u"28"},
     0.85,
     u"Stk",
     nullptr,
     nullptr,
     u"160",
     u"Befestigung"},
    {u"Geräteanschlussventil",
     u"GERAETEVENTIL",
     {u"1/2", u"3/8", u"3/4", u"1/2x3/8"},
     9.4,
     u"Stk",
     nullptr,
     nullptr,
     u"130",
     u"Armaturen"},
    {u"Heizöl-Filter",
     u"HEIZOELFILTER",
     {u"3/8", u"1/2", u"50 µm", u"100 µm"},
     24.5,
     u"Stk",
     nullptr,
     nullptr,
     u"150",
     u"Pumpen und Zubehör"},
    {u"Flexschlauch",
     u"FLEXSCHLAUCH",
     {u"300 mm", u"500 mm", u"800 mm", u"1000 mm"},
     6.2,
     u"Stk",
     nullptr,
     nullptr,
     u"160",
     u"Befestigung"},
    {u"Gußbogen",
     u"GUSSBOGEN",
     {u"DN 50", u"DN 70", u"DN 100", u"DN 125"},
     11.6,
     u"Stk",
     nullptr,
     nullptr,
     u"120",
     u"Fittings"},
};
constexpr int kKindCount = int(std::size(kKinds));

const struct {
    const char16_t *name;
    double factor;
} kMaterials[] = {{u"Messing", 1.0},
                  {u"Rotguss", 1.3},
                  {u"Edelstahl", 1.6},
                  {u"verzinkt", 0.8},
                  {u"Kunststoff", 0.6}};

const char16_t *const kRemarks[] = {u"DVGW",        u"PN 16", u"für Trinkwasser",
                                    u"für Heizung", u"blank", u"weiß"};

// Discount groups: percentage and sales surcharge; "RG3" has none, so its articles take the
// surcharge of their net price.
const struct {
    const char16_t *id;
    const char16_t *name;
    double discount;
    double surcharge;
} kDiscountGroups[] = {{u"RG1", u"Rohre", 35, 30},
                       {u"RG2", u"Fittings", 40, 45},
                       {u"RG3", u"Armaturen", 25, 0},
                       {u"RG4", u"Heizung", 20, 25}};

// Net price up to BISNETTO: AUFSCHLAG percent.
const double kSurchargeTable[][2] = {{10, 60}, {50, 40}, {200, 25}, {1000, 15}};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

Money price(double value)
{
    return Money::fromDouble(std::round(value * 100) / 100);
}

QString withSeparator(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

struct Drawn {
    const Kind *kind;
    int size;
    int material;
    int remark;
    double listPrice;
};

Drawn draw(QRandomGenerator &rng, int i)
{
    Drawn d;
    d.kind = &kKinds[i % kKindCount];
    d.size = int(rng.bounded(4));
    d.material = int(rng.bounded(int(std::size(kMaterials))));
    d.remark = int(rng.bounded(int(std::size(kRemarks))));
    const double jitter = 0.9 + rng.bounded(20) / 100.0;
    d.listPrice = d.kind->price * (1 + d.size * 0.35) * kMaterials[d.material].factor * jitter;
    return d;
}

QString sizeOf(const Drawn &d)
{
    return QString::fromUtf16(d.kind->sizes[d.size]);
}

QString ean(int catalog, int i)
{
    return StockAssortment::Ean13(u"4%1%2"_s.arg(catalog).arg(i, 10, 10, QChar(u'0')));
}

QString longText(const Drawn &d)
{
    return QString::fromUtf16(d.kind->name) + u" für die Sanitär- und Heizungsinstallation, "_s +
           QString::fromUtf16(kMaterials[d.material].name) +
           u".\r\nGeprüfte Qualität, "_s
           u"Lieferung ab Lager."_s;
}

bool writeSupplierIni(const QString &dir, int type, const QString &description,
                      const QString &supplier, const QString &info, QString *error)
{
    IniFile ini;
    ini.writeInteger(u"Catalog"_s, u"Type"_s, type);
    ini.writeString(u"Catalog"_s, u"Description"_s, description);
    ini.writeString(u"Supplier"_s, u"ID"_s, supplier);
    ini.writeString(u"Supplier"_s, u"SUBID"_s, QString());
    ini.writeString(u"Supplier"_s, u"INFO"_s, info);
    ini.writeBool(u"Online"_s, u"Enabled"_s, false);
    return ini.saveAs(dir + u"SUPPLIER.INI"_s) ||
           fail(error, u"cannot write %1SUPPLIER.INI"_s.arg(dir));
}

bool writeCp1252(const QString &path, const QString &text, QString *error)
{
    QByteArray bytes;
    QFile file(path);
    if (!SearchtextIndex::EncodeCp1252(text, bytes) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size())
        return fail(error, u"cannot write %1"_s.arg(path));
    return true;
}

void append(TTdbTable &t, std::initializer_list<std::pair<const char16_t *, QVariant>> values)
{
    t.Append();
    for (const auto &[name, value] : values)
        t.FieldByName(QString::fromUtf16(name)).SetAsVariant(value);
    t.Post();
}

// The dimension values of a size: "22x1" gives "22$1"; a pump's head comes from its type.
QString dimensionValues(const Drawn &d)
{
    QString size = sizeOf(d);
    if (size.contains(u'-'))
        return QString::number(size.section(u'-', 1).toInt() / 10);
    return size.replace(u'x', u'$');
}

void fillDatanormArticle(const Drawn &d, int i, TKatalog1Artikel &a)
{
    const int kindIndex = int(d.kind - kKinds);
    const auto &group = kDiscountGroups[kindIndex % int(std::size(kDiscountGroups))];
    a.ArtikelNr = u"D%1"_s.arg(i + 1, 7, 10, QChar(u'0'));
    a.KurzZeile1 = (QString::fromUtf16(d.kind->name) + u' ' + sizeOf(d)).left(40);
    a.KurzZeile2 = (QString::fromUtf16(kMaterials[d.material].name) + u' ' +
                    QString::fromUtf16(kRemarks[d.remark]))
                       .left(40);
    a.TextKZ = 4;
    a.ME = QString::fromUtf16(d.kind->unit);
    a.Preiseinheit = d.kind->price < 1 ? 100 : 1;
    a.Listenpreis = price(d.listPrice * a.Preiseinheit);
    // Every seventh article is a net-price article: no list price, no discount.
    if (i % 7 == 3) {
        a.PreisKZ = 2;
        a.Netto = a.Listenpreis;
        a.Listenpreis = Money();
    } else {
        a.PreisKZ = 1;
        a.Rabatt = group.discount;
        a.Netto = price((a.Listenpreis.toDouble() * (100 - a.Rabatt)) / 100);
    }
    a.Rabattgruppe = QString::fromUtf16(group.id);
    a.VKPreise = {price(a.Netto.toDouble() * 1.5), price(a.Netto.toDouble() * 1.4),
                  price(a.Netto.toDouble() * 1.3), Money()};
    a.Matchcode = QString::fromUtf16(d.kind->matchcode);
    a.Katalogseite = u"S. %1"_s.arg(100 + kindIndex * 4 + d.size);
    a.Hauptwarengruppe = QString::fromUtf16(d.kind->mainGroup);
    a.Warengruppe = a.Hauptwarengruppe + u"10"_s;
    a.Kostenart = u"Material"_s;
    a.EAN = ean(1, i);
    a.MwStMerker = 1;
    a.Verpackungsmenge = a.Preiseinheit == 100 ? 100 : (i % 3 == 0 ? 10 : 1);
    a.Arbeitszeit = 5 + kindIndex;
    if (a.ME == u"m") {
        // Pipes are sold by the metre and calculated per bar of five metres.
        a.MEKalkulationSpezial = true;
        a.MEKalkulation = u"Stg"_s;
        a.MEKalkulationUmrechFakt = 5;
    }
    const QString block = u"LT%1"_s.arg(kindIndex, 2, 10, QChar(u'0'));
    a.LangtextNr = block;
    a.Dimensionslangtexte.Add({ltBaustein, QString(), block});
    if (d.kind->dimension)
        a.Dimensionslangtexte.Add(
            {ltDimension, dimensionValues(d), u"DIM%1"_s.arg(kindIndex, 2, 10, QChar(u'0'))});
    a.Dimensionslangtexte.Add({ltZeile, a.KurzZeile2, QString()});
    if (d.kind->picture)
        a.AnbindNr = u"G%1"_s.arg(kindIndex, 2, 10, QChar(u'0'));
    if (i % 5 == 0) {
        a.Staffelpreise.Add({1, u"ab 10 Stück"_s, QString(), 0, 2, a.Preiseinheit,
                             price(a.Netto.toDouble() * 0.95), 0, 0, 10, 49, 0, 0});
        a.Staffelpreise.Add({2, u"ab 50 Stück"_s, QString(), 0, 2, a.Preiseinheit,
                             price(a.Netto.toDouble() * 0.9), 0, 0, 50, 0, 0, 0});
    }
}

void fillSimpleArticle(const Drawn &d, int i, TKatalog2Artikel &a)
{
    const int kindIndex = int(d.kind - kKinds);
    const auto &group = kDiscountGroups[kindIndex % int(std::size(kDiscountGroups))];
    // Some suppliers number with a blank; the word index stores it as ";".
    a.ArtikelNr = i % 50 == 7 ? u"K %1"_s.arg(i + 1, 7, 10, QChar(u'0'))
                              : u"K%1"_s.arg(i + 1, 7, 10, QChar(u'0'));
    a.Beschreibung = QString::fromUtf16(d.kind->name) + u' ' + sizeOf(d) + u' ' +
                     QString::fromUtf16(kMaterials[d.material].name);
    a.ME = QString::fromUtf16(d.kind->unit);
    a.MindBestMenge = i % 4 == 0 ? 10 : 1;
    a.Preiseinheit = 1;
    a.EK = price(d.listPrice);
    a.MwStSatz = 1;
    a.Rabatt = group.discount;
    a.Info = i % 11 == 0 ? u"Auslaufmodell"_s : QString();
    a.Voraetig = double((i * 37) % 200);
    a.Created = 45000 + i % 1000;
    a.Changed = a.Created + 30;
    a.CreatedBy = u"ADMIN"_s;
    a.ChangedBy = u"ADMIN"_s;
    a.Rabattgruppe = QString::fromUtf16(group.name);
    a.VKZuschlag = 1.3 + (kindIndex % 4) * 0.1;
    const double net = a.EK.toDouble() * (100 - a.Rabatt) / 100;
    a.VKPreise = {price(net * 1.4), price(net * 1.3), price(net * 1.2), Money()};
    a.Gewicht = 0.1 * (1 + d.size) * (1 + kindIndex % 3);
    a.Arbeitszeit = 5 + kindIndex;
    a.Lohn = price(52.5);
    a.Verpackungsmenge = i % 3 == 0 ? 10 : 1;
    a.Bestellmenge = a.Verpackungsmenge;
    a.Kurztext = a.Beschreibung;
    a.Langtext = longText(d);
    if (a.ME == u"m") {
        a.MEKalkulationSpezial = true;
        a.MEKalkulation = u"Stg"_s;
        a.MEKalkulationUmrechFakt = 5;
    }
    if (d.kind->picture)
        a.Bilder.Add(u"Foto"_s, QString::fromUtf16(d.kind->picture) + u".png"_s);
}

template <typename Db> bool openFresh(Db &db, const QString &dir, QString *error)
{
    if (!QDir().mkpath(dir))
        return fail(error, u"cannot create directory %1"_s.arg(dir));
    // A catalog is written whole: older tables of a previous run go first.
    for (const QString &f : QDir(dir).entryList({u"*.DAT"_s, u"STX.*"_s}, QDir::Files))
        QFile::remove(dir + f);
    db.Open(dir);
    return true;
}
} // namespace

namespace CatalogGenerator
{

bool GenerateDatanormCatalog(const QString &directory, int articles, quint32 seed, QString *error)
{
    const QString dir = withSeparator(directory);
    QString reported;
    TKatalog1DB db([&reported](const std::exception *, const QString &text) { reported = text; });
    TSearchtextIndexWriter index;
    try {
        if (!openFresh(db, dir, error))
            return false;
        db.Database().StartTransaction();
        for (const auto &g : kDiscountGroups)
            append(db.DiscountGroups(), {{u"ID", QString::fromUtf16(g.id)},
                                         {u"BESCHREIBUNG", QString::fromUtf16(g.name)},
                                         {u"RABATT", g.discount},
                                         {u"VKZUSCHLAG", g.surcharge}});
        for (const auto &row : kSurchargeTable)
            append(db.Surcharges(), {{u"BISNETTO", row[0]}, {u"AUFSCHLAG", row[1]}});
        QStringList mainGroups;
        for (int k = 0; k < kKindCount; ++k) {
            const Kind &kind = kKinds[k];
            const QString main = QString::fromUtf16(kind.mainGroup);
            if (!mainGroups.contains(main)) {
                mainGroups << main;
                append(db.GoodsGroups(), {{u"HAUPTWRG", main},
                                          {u"WRG", QString()},
                                          {u"ISHAUPTWRG", true},
                                          {u"BESCHREIBUNG", QString::fromUtf16(kind.groupName)}});
                append(db.GoodsGroups(), {{u"HAUPTWRG", main},
                                          {u"WRG", main + u"10"_s},
                                          {u"ISHAUPTWRG", false},
                                          {u"BESCHREIBUNG", QString::fromUtf16(kind.groupName)}});
            }
            const QString nr = u"%1"_s.arg(k, 2, 10, QChar(u'0'));
            append(db.Langtexte(),
                   {{u"ID", u"LT"_s + nr},
                    {u"IDTYPE", 2},
                    {u"LT", QString::fromUtf16(kind.name) +
                                u" in Markenqualität.\r\nGeprüft nach DIN, für Trinkwasser "_s
                                u"und Heizung geeignet."_s}});
            if (kind.dimension)
                append(db.Langtexte(), {{u"ID", u"DIM"_s + nr},
                                        {u"IDTYPE", 3},
                                        {u"LT", QString::fromUtf16(kind.dimension)}});
            if (kind.picture)
                append(db.Graphics(), {{u"ID", u"G"_s + nr},
                                       {u"IDTYPE", 1},
                                       {u"BESCHREIBUNG", u"Foto"_s},
                                       {u"DATEINAME", QString::fromUtf16(kind.picture)},
                                       {u"ERWEITERUNG", u"png"_s}});
        }
        QRandomGenerator rng(seed);
        TKatalog1Artikel a;
        TTdbTable &catalog = db.Catalog();
        for (int i = 0; i < articles; ++i) {
            a.Clear();
            fillDatanormArticle(draw(rng, i), i, a);
            catalog.Append();
            db.WriteRow(a);
            catalog.Post();
            index.Add(a.ArtikelNr, {a.KurzZeile1, a.KurzZeile2, a.Matchcode, a.ArtikelNr, a.EAN});
        }
        db.Database().Commit();
        db.Close();
    } catch (const std::exception &e) {
        if (db.Database().InTransaction())
            db.Database().Rollback();
        return fail(error, u"cannot write the catalog in %1: %2 %3"_s.arg(
                               dir, QString::fromUtf8(e.what()), reported));
    }
    return index.Write(dir, error) &&
           writeCp1252(dir + u"STXSYNONYM.TXT"_s,
                       u"Kugelhahn,Absperrhahn\r\nRohrschelle,Schelle\r\n"
                       u"Umwälzpumpe,Heizungspumpe\r\n"_s,
                       error) &&
           StockAssortment::WritePictures(dir + u"IMAGES"_s, error);
}

bool GenerateSimpleCatalog(const QString &directory, int articles, quint32 seed, QString *error)
{
    const QString dir = withSeparator(directory);
    QString reported;
    TKatalog2DB db([&reported](const std::exception *, const QString &text) { reported = text; });
    TSearchtextIndexWriter index;
    try {
        if (!openFresh(db, dir, error))
            return false;
        QRandomGenerator rng(seed ^ 0x5A5A5A5Au);
        TKatalog2Artikel a;
        TTdbTable &t = db.Table();
        TField &eanField = t.FieldByName(u"EAN"_s);
        TField &groupField = t.FieldByName(u"WARENGR"_s);
        db.Database().StartTransaction();
        for (int i = 0; i < articles; ++i) {
            a.Clear();
            const Drawn d = draw(rng, i);
            fillSimpleArticle(d, i, a);
            const QString code = ean(2, i);
            t.Append();
            db.WriteRow(a);
            // The article does not carry these two; the table has columns for them.
            eanField.SetAsString(code);
            groupField.SetAsString(QString::fromUtf16(d.kind->mainGroup));
            t.Post();
            index.Add(a.ArtikelNr, {a.Beschreibung, a.ArtikelNr, code});
        }
        db.Database().Commit();
        db.Close();
    } catch (const std::exception &e) {
        if (db.Database().InTransaction())
            db.Database().Rollback();
        return fail(error, u"cannot write the catalog in %1: %2 %3"_s.arg(
                               dir, QString::fromUtf8(e.what()), reported));
    }
    return index.Write(dir, error) && StockAssortment::WritePictures(dir + u"IMAGES"_s, error);
}

bool GenerateCatalogs(const QString &catalogBaseDir, int articles, quint32 seed, QString *error)
{
    const QString base = withSeparator(catalogBaseDir);
    const QString mueller = base + u"MUELLER/"_s;
    const QString koehler = base + u"KOEHLER/"_s;
    return GenerateDatanormCatalog(mueller, articles, seed, error) &&
           writeSupplierIni(mueller, 1, u"DATANORM-Katalog Sanitär-Großhandel Müller"_s, u"70001"_s,
                            u"Sanitär-Großhandel Müller GmbH"_s, error) &&
           GenerateSimpleCatalog(koehler, articles, seed, error) &&
           writeSupplierIni(koehler, 0, u"Preisliste Köhler"_s, u"70002"_s,
                            u"Heizungsbau Köhler & Söhne KG"_s, error);
}

} // namespace CatalogGenerator
