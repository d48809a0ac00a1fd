#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/documents.h"

#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
void append(TTdbTable &t, std::initializer_list<std::pair<const char16_t *, QVariant>> values)
{
    t.Append();
    for (const auto &[name, value] : values)
        t.FieldByName(QString::fromUtf16(name)).SetAsVariant(value);
    t.Post();
}

// Discount groups RG1 (30 %) and RG0 (0 %, falls back); net-price bounds 10, 50 and 200.
struct DatanormCatalog {
    QTemporaryDir dir;
    TKatalog1DB db;
    DatanormCatalog()
    {
        db.Open(dir.path());
        append(db.DiscountGroups(), {{u"ID", u"RG1"_s}, {u"VKZUSCHLAG", 30.0}});
        append(db.DiscountGroups(), {{u"ID", u"RG0"_s}, {u"VKZUSCHLAG", 0.0}});
        for (auto [bound, surcharge] : {std::pair{10.0, 60.0}, {50.0, 40.0}, {200.0, 25.0}})
            append(db.Surcharges(), {{u"BISNETTO", bound}, {u"AUFSCHLAG", surcharge}});
        append(db.Langtexte(), {{u"ID", u"LT1"_s}, {u"IDTYPE", 3}, {u"LT", u"falscher Typ"_s}});
        append(db.Langtexte(), {{u"ID", u"LT1"_s}, {u"IDTYPE", 2}, {u"LT", u"Baustein 1"_s}});
        append(db.Langtexte(), {{u"ID", u"DIM1"_s}, {u"IDTYPE", 3}, {u"LT", u"DN $$$$ x $$"_s}});
        // clang-format off
        append(db.Graphics(), {{u"ID", u"G1"_s}, {u"IDTYPE", 1}, {u"BESCHREIBUNG", u"Foto"_s},
                               {u"DATEINAME", u"kugelhahn"_s}, {u"ERWEITERUNG", u"png"_s}});
        append(db.Graphics(), {{u"ID", u"G1"_s}, {u"IDTYPE", 2}, {u"DATEINAME", u"datenblatt"_s},
                               {u"ERWEITERUNG", u"pdf"_s}});
        // clang-format on
        append(db.Graphics(), {{u"ID", u"G2"_s}, {u"DATEINAME", u"fremd"_s}});
    }
    void add(const QString &nr, const QString &group, double net, int packing = 1)
    {
        TKatalog1Artikel a;
        a.ArtikelNr = nr;
        a.Rabattgruppe = group;
        a.Netto = Money::fromDouble(net);
        a.Verpackungsmenge = packing;
        a.AnbindNr = u"G1"_s;
        a.Dimensionslangtexte.Add({ltBaustein, QString(), u"LT1"_s});
        a.Dimensionslangtexte.Add({ltDimension, u"50$1,5"_s, u"DIM1"_s});
        a.Dimensionslangtexte.Add({ltZeile, u"Zeile"_s, QString()});
        db.Catalog().Append();
        db.WriteRow(a);
        db.Catalog().Post();
    }
};
} // namespace

TEST(Katalog1DB, SurchargeComesFromTheGroupElseFromTheNetPriceBounds)
{
    DatanormCatalog c;
    const struct {
        const char16_t *nr;
        const char16_t *group;
        double net;
        double surcharge;
    } cases[] = {
        {u"A1", u"RG1", 31.53, 30}, // the group's surcharge
        {u"A2", u"RG0", 50, 40},    // a group with 0 falls back; a net price at a bound
        {u"A3", u"", 50.01, 25},    // no group: the next bound up
        {u"A4", u"", 200.01, 0},    // above every bound
        {u"A5", u"XX", 0, 60},      // an unknown group gives 0 and falls back too
        {u"A6", u"", -5, 0},        // a negative net price gets nothing
    };
    for (const auto &k : cases)
        c.add(QString::fromUtf16(k.nr), QString::fromUtf16(k.group), k.net);
    for (const auto &k : cases) {
        TKatalog1Artikel a;
        a.ArtikelNr = QString::fromUtf16(k.nr);
        ASSERT_EQ(c.db.ReadArticle(a), 0);
        EXPECT_DOUBLE_EQ(a.VKZuschlag, k.surcharge) << a.ArtikelNr.toStdString();
    }
}

TEST(Katalog1DB, ReadAssemblesTheLongTextLoadsGraphicsAndMendsThePackingQuantity)
{
    DatanormCatalog c;
    c.add(u"A1"_s, u"RG1"_s, 10, 0);
    c.add(u"A2"_s, u"RG1"_s, 10, -4);

    TKatalog1Artikel a;
    a.ArtikelNr = u"A1"_s;
    ASSERT_EQ(c.db.ReadArticle(a), 0);
    EXPECT_EQ(a.Langtext, u"Baustein 1\r\nDN 50   x 1,\r\nZeile"_s);
    EXPECT_EQ(a.Verpackungsmenge, 1);
    ASSERT_EQ(a.AnbindObjekte.Count(), 2);
    EXPECT_EQ(a.AnbindObjekte.Item(0),
              (TKatalog1AnbindObj{1, u"Foto"_s, u"kugelhahn"_s, u"png"_s}));
    EXPECT_EQ(a.AnbindObjekte.Item(1).Dateiname, u"datenblatt"_s);

    // The current row reads without a number; the row alone has no long text.
    TKatalog1Artikel row;
    c.db.GoTo(u"A2"_s);
    c.db.ReadCurrentRow(row);
    EXPECT_EQ(row.ArtikelNr, u"A2"_s);
    EXPECT_EQ(row.Verpackungsmenge, 1);
    EXPECT_TRUE(row.Langtext.isEmpty());

    TKatalog1Artikel missing;
    missing.ArtikelNr = u"A15"_s;
    missing.KurzZeile1 = u"alt"_s;
    EXPECT_EQ(c.db.ReadArticle(missing), 1);
    TKatalog1Artikel onlyNumber;
    onlyNumber.ArtikelNr = u"A15"_s;
    EXPECT_TRUE(static_cast<const TKatalog1ArtikelDaten &>(missing) == onlyNumber);
    // Go-to stands on the next number up.
    EXPECT_FALSE(c.db.GoTo(u"A15"_s));
    EXPECT_EQ(c.db.CurrentArticleNr(), u"A2"_s);
}

namespace
{
struct SimpleCatalog {
    QTemporaryDir dir;
    TKatalog2DB db;
    SimpleCatalog() { db.Open(dir.path()); }

    void add(const TKatalog2ArtikelDaten &data, const QString &ean = {})
    {
        TKatalog2Artikel a;
        a.Assign(data);
        TTdbTable &t = db.Table();
        t.Append();
        db.WriteRow(a);
        t.FieldByName(u"EAN"_s).SetAsString(ean);
        t.FieldByName(u"WARENGR"_s).SetAsString(u"110"_s);
        t.Post();
    }
};

TKatalog2ArtikelDaten article(const QString &nr)
{
    TKatalog2ArtikelDaten a = CatalogTest::fullSimpleArticle();
    a.ArtikelNr = nr;
    return a;
}
} // namespace

TEST(Katalog2DB, ReadAndSearchResultsTakeEveryColumnButEanAndGoodsGroupAndComputeSalesPriceOne)
{
    SimpleCatalog c;
    c.add(article(u"WT-100"_s), u"4009876543210"_s);
    TKatalog2ArtikelDaten odd = article(u"WT-200"_s);
    odd.Preiseinheit = 0;
    odd.Verpackungsmenge = -3;
    c.add(odd, u"4009876543227"_s);

    // The catalog's price settings reach sales price 1: gross here, not the default.
    c.db.Prices = CatalogTest::priceSettings(false, true);
    TKatalog2Artikel a;
    a.ArtikelNr = u"WT-100"_s;
    ASSERT_EQ(c.db.ReadArticle(a), 0);
    TKatalog2ArtikelDaten expected = article(u"WT-100"_s);
    expected.EAN.clear();
    expected.Katalog.clear();
    expected.Text1.clear();
    expected.Text2.clear();
    expected.VKPreis1 = Money::fromDouble(160.65);
    EXPECT_TRUE(static_cast<const TKatalog2ArtikelDaten &>(a) == expected);

    // Price unit 0 and a negative packing quantity read as 1.
    TKatalog2Artikel b;
    b.ArtikelNr = u"WT-200"_s;
    ASSERT_EQ(c.db.ReadArticle(b), 0);
    EXPECT_EQ(b.Preiseinheit, 1);
    EXPECT_EQ(b.Verpackungsmenge, 1);

    // An empty number reads the current row; a missing one gives 1.
    TKatalog2Artikel current;
    ASSERT_EQ(c.db.ReadArticle(current), 0);
    EXPECT_EQ(current.ArtikelNr, u"WT-200"_s);
    TKatalog2Artikel missing;
    missing.ArtikelNr = u"NIX"_s;
    EXPECT_EQ(c.db.ReadArticle(missing), 1);
    EXPECT_TRUE(c.db.Exists(u"WT-100"_s));
    EXPECT_FALSE(c.db.Exists(u"WT-1"_s));

    // Sales price 1 of a hit is never gross; numbers not in the table are left out.
    const std::vector<TSearchtextResultKatalog2> hits =
        c.db.SearchResults({u"WT-200"_s, u"GONE"_s, u"WT-100"_s});
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].ArtikelNr, u"WT-200"_s);
    EXPECT_EQ(hits[0].Netto, Money::fromDouble(90));
    EXPECT_EQ(hits[0].VKPreis1, Money::fromDouble(135));
    EXPECT_EQ(hits[0].VKPreise[0], Money::fromDouble(150.005));
    EXPECT_EQ(hits[0].ME, u"Stk"_s);
    // Go-to and the EAN look-up: the catalog view's test types into both fields.
}

// A table from before the later columns: MWSTSATZ an integer, no EAN, no goods group, only
// the primary index. Opening brings it up to date and keeps its rows.
TEST(Katalog2DB, UpgradeGivesAnOldTableItsColumnsAndIndexes)
{
    QTemporaryDir dir;
    {
        TTdbDatabase db;
        db.SetDatabaseType(TTdbDatabase::Directory);
        db.SetLocation(dir.path());
        db.Connect();
        TTdbTable t(&db);
        t.SetTableName(u"SCATALOG"_s);
        // Name, stored type code, size, required: the table as an old installation has it.
        const QString old =
            QString::fromUtf8(TestDocuments::golden("catalogs", "scatalog_old.txt"));
        for (const QString &line : old.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList c = line.split(u' ');
            t.FieldDefs().Add(c[0], FieldType(c[1].toInt()), c[2].toInt(), c[3] == u"1");
        }
        t.IndexDefs().Add(u"SCATALOG001"_s, u"ID"_s, ixUnique);
        t.CreateTable();
        t.Open();
        append(t, {{u"ID", u"ALT-1"_s},
                   {u"DESCRIPTION", u"Spülkasten"_s},
                   {u"EK", 100.0},
                   {u"MWSTSATZ", 1},
                   {u"RABATT", 10.0},
                   {u"CREATED", 45000.0},
                   {u"CHANGED", 45000.0}});
        t.Close();
        db.Disconnect();
    }
    for (int open = 0; open < 2; ++open) {
        TKatalog2DB db;
        db.Prices = CatalogTest::priceSettings(false);
        db.Open(dir.path());
        TTdbTable &t = db.Table();
        TTdbTable fresh;
        TKatalog2DB::DefineCatalogTable(fresh);
        for (const TFieldDef &def : fresh.FieldDefs().list())
            EXPECT_TRUE(t.FieldDefs().Contains(def.name)) << def.name.toStdString();
        EXPECT_EQ(t.FieldDefs().Count(), fresh.FieldDefs().Count());
        EXPECT_EQ(t.FieldByName(u"MWSTSATZ"_s).DataType(), FieldType::Byte);
        for (const char16_t *index : {u"SCATALOG002", u"SCATALOG003", u"SCATALOG001EAN"})
            EXPECT_GE(t.IndexDefs().IndexOf(QString::fromUtf16(index)), 0);

        TKatalog2Artikel a;
        a.ArtikelNr = u"ALT-1"_s;
        ASSERT_EQ(db.ReadArticle(a), 0);
        EXPECT_EQ(a.Beschreibung, u"Spülkasten"_s);
        EXPECT_EQ(a.MwStSatz, 1);
        EXPECT_EQ(a.Nettopreis(false), Money::fromDouble(90));
        EXPECT_EQ(a.Preiseinheit, 1);
        EXPECT_EQ(db.ArticleNrOfEAN(u"4009876543210"_s), QString());
    }
}
