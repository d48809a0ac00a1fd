#include "catalogs/katalog1db.h"
#include "persistence/engine/tdbtable.h"

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
        append(db.Graphics(), {{u"ID", u"G1"_s},
                               {u"IDTYPE", 1},
                               {u"BESCHREIBUNG", u"Foto"_s},
                               {u"DATEINAME", u"kugelhahn"_s},
                               {u"ERWEITERUNG", u"png"_s}});
        append(db.Graphics(), {{u"ID", u"G1"_s},
                               {u"IDTYPE", 2},
                               {u"DATEINAME", u"datenblatt"_s},
                               {u"ERWEITERUNG", u"pdf"_s}});
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
