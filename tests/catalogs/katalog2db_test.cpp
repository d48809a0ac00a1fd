#include "catalogs/katalog2db.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/catalogs/catalogtesthelpers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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

TEST(Katalog2DB, ReadTakesEveryColumnButEanAndGoodsGroupAndComputesSalesPriceOne)
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
}

TEST(Katalog2DB, SearchResultsGoToAndEanLookUp)
{
    SimpleCatalog c;
    c.add(article(u"WT-100"_s), u"4009876543210"_s);
    c.add(article(u"WT-200"_s), u"4009876543227"_s);
    c.db.Prices = CatalogTest::priceSettings(false, true);

    // Sales price 1 of a hit is never gross; numbers not in the table are left out.
    const std::vector<TSearchtextResultKatalog2> hits =
        c.db.SearchResults({u"WT-200"_s, u"GONE"_s, u"WT-100"_s});
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].ArtikelNr, u"WT-200"_s);
    EXPECT_EQ(hits[0].Netto, Money::fromDouble(90));
    EXPECT_EQ(hits[0].VKPreis1, Money::fromDouble(135));
    EXPECT_EQ(hits[0].VKPreise[0], Money::fromDouble(150.005));
    EXPECT_EQ(hits[0].ME, u"Stk"_s);

    c.db.GoTo(u"WT-15"_s);
    EXPECT_EQ(c.db.CurrentArticleNr(), u"WT-200"_s);
    EXPECT_EQ(c.db.ArticleNrOfEAN(u"4009876543210"_s), u"WT-100"_s);
    EXPECT_EQ(c.db.ArticleNrOfEAN(u"4000000000000"_s), QString());
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
        const std::tuple<const char16_t *, FieldType, int> columns[] = {
            {u"ID", FieldType::WideString, 50},        {u"DESCRIPTION", FieldType::WideString, 255},
            {u"ME", FieldType::WideString, 10},        {u"EK", FieldType::Float, 0},
            {u"MWSTSATZ", FieldType::Integer, 0},      {u"RABATT", FieldType::Float, 0},
            {u"MINDBESTMENGE", FieldType::Float, 0},   {u"INFO", FieldType::WideString, 255},
            {u"VORAETIG", FieldType::Float, 0},        {u"CREATED", FieldType::DateTime, 0},
            {u"CREATEDBY", FieldType::WideString, 20}, {u"CHANGED", FieldType::DateTime, 0},
            {u"CHANGEDBY", FieldType::WideString, 20}};
        for (const auto &[name, type, size] : columns)
            t.FieldDefs().Add(QString::fromUtf16(name), type, size,
                              name == std::u16string_view(u"ID") || type == FieldType::DateTime);
        t.IndexDefs().Add(u"SCATALOG001"_s, u"ID"_s, ixUnique);
        t.CreateTable();
        t.Open();
        t.Append();
        t.FieldByName(u"ID"_s).SetAsString(u"ALT-1"_s);
        t.FieldByName(u"DESCRIPTION"_s).SetAsString(u"Spülkasten"_s);
        t.FieldByName(u"EK"_s).SetAsFloat(100);
        t.FieldByName(u"MWSTSATZ"_s).SetAsInteger(1);
        t.FieldByName(u"RABATT"_s).SetAsFloat(10);
        t.FieldByName(u"CREATED"_s).SetAsDateTime(45000);
        t.FieldByName(u"CHANGED"_s).SetAsDateTime(45000);
        t.Post();
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
