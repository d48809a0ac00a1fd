#include "catalogs/katalogdbclipboard.h"
#include "stock/lagerserverobj.h"

#include "tests/catalogs/catalogtesthelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace CatalogTest;

namespace
{
Money m(double value)
{
    return Money::fromDouble(value);
}

template <typename Article> Article normalUnit(Article a)
{
    a.MEKalkulationSpezial = false;
    return a;
}

std::unique_ptr<TKatalog1Artikel> datanorm(const QString &catalog, const QString &nr)
{
    auto a = std::make_unique<TKatalog1Artikel>();
    a->Katalog = catalog;
    a->ArtikelNr = nr;
    a->KurzZeile1 = u"Kupferrohr 22 x 1,0"_s;
    a->KurzZeile2 = u"hart"_s;
    return a;
}

std::unique_ptr<TKatalog2Artikel> simple(const QString &catalog, const QString &nr)
{
    auto a = std::make_unique<TKatalog2Artikel>();
    a->Katalog = catalog;
    a->ArtikelNr = nr;
    a->Beschreibung = u"Waschtisch"_s;
    a->Kurztext = u"Waschtisch weiss"_s;
    return a;
}
} // namespace

// ---- The clipboard --------------------------------------------------------------------

TEST(KatalogDBClipBoard, ContainsComparesExactlyAndNeverMatchesAnEmptyNumber)
{
    TKatalogDBClipBoard clip;
    EXPECT_FALSE(clip.Contains(u"AB-1"_s));
    clip.Add(datanorm(u"GC"_s, u"AB-1"_s));
    clip.Add(simple(u"SAN"_s, u"wt 7"_s));
    // A stock article has no place here; its number must not count.
    auto stock = std::make_unique<TLagerServerObj>();
    stock->LagerArtikelNr = u"L-1"_s;
    clip.Add(std::move(stock));
    clip.Add(datanorm(u"GC"_s, QString()));

    EXPECT_TRUE(clip.Contains(u"AB-1"_s));
    EXPECT_TRUE(clip.Contains(u"wt 7"_s));
    EXPECT_FALSE(clip.Contains(u"ab-1"_s));
    EXPECT_FALSE(clip.Contains(u"WT 7"_s));
    EXPECT_FALSE(clip.Contains(u"AB-1 "_s));
    EXPECT_FALSE(clip.Contains(u"L-1"_s));
    EXPECT_FALSE(clip.Contains(QString()));
}

TEST(KatalogDBClipBoard, EntriesAnswerNumberCatalogAndTextByKindAndOtherClassesNothing)
{
    TKatalogDBClipBoard clip;
    clip.Add(datanorm(u"GC"_s, u"CU22"_s));
    auto oneLine = datanorm(u"GC"_s, u"CU15"_s);
    oneLine->KurzZeile2.clear();
    clip.Add(std::move(oneLine));
    clip.Add(simple(u"SAN"_s, u"WT-100"_s));
    clip.Add(std::make_unique<TLagerServerObj>());
    ASSERT_EQ(clip.Count(), 4);

    EXPECT_EQ(clip.ArtikelNr(0), u"CU22"_s);
    EXPECT_EQ(clip.KatalogName(0), u"GC"_s);
    EXPECT_EQ(clip.Text(0), u"Kupferrohr 22 x 1,0 hart"_s);
    EXPECT_EQ(clip.Text(1), u"Kupferrohr 22 x 1,0 "_s);
    EXPECT_EQ(clip.ArtikelNr(2), u"WT-100"_s);
    EXPECT_EQ(clip.KatalogName(2), u"SAN"_s);
    EXPECT_EQ(clip.Text(2), u"Waschtisch weiss"_s) << "the short text, not the description";
    EXPECT_EQ(clip.ArtikelNr(3), QString());
    EXPECT_EQ(clip.KatalogName(3), QString());
    EXPECT_EQ(clip.Text(3), QString());

    EXPECT_NE(clip.MergeObj(0, priceSettings(false)), nullptr);
    EXPECT_NE(clip.MergeObj(2, priceSettings(false)), nullptr);
    EXPECT_EQ(clip.MergeObj(3, priceSettings(false)), nullptr);
}

TEST(KatalogDBClipBoard, TheSameNumberFromASecondCatalogIsNotAddedAgain)
{
    TKatalogDBClipBoard clip;
    EXPECT_TRUE(clip.AddIfNew(datanorm(u"GC"_s, u"4711"_s)));
    EXPECT_FALSE(clip.AddIfNew(simple(u"SAN"_s, u"4711"_s)));
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, u"4712"_s)));
    // Articles without a number are not the same article.
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, QString())));
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, QString())));
    ASSERT_EQ(clip.Count(), 4);
    EXPECT_EQ(clip.KatalogName(0), u"GC"_s);
    EXPECT_EQ(clip.ArtikelNr(1), u"4712"_s);

    clip.Delete(0);
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, u"4711"_s)));
    clip.Clear();
    EXPECT_TRUE(clip.IsEmpty());
}

// ---- Merge records ---------------------------------------------------------------------

TEST(KatalogMergeObj, FromDatanormArticle)
{
    TKatalogDBClipBoardMergeObj merge;
    merge.LoadFrom(normalUnit(fullDatanormArticle()), priceSettings(false));
    EXPECT_EQ(merge.ArtikelNr, u"CU22"_s);
    EXPECT_EQ(merge.KatalogTyp, 1);
    EXPECT_EQ(merge.Beschreibung, u" Kupferrohr 22 hart "_s);
    EXPECT_EQ(merge.Kurzzeilen.Key, u" Kupferrohr 22"_s);
    EXPECT_EQ(merge.Kurzzeilen.Value, u"hart "_s);
    EXPECT_EQ(merge.MwStSatz, 19.0);
    EXPECT_EQ(merge.Basispreis, m(48.5)) << "price flag 1: the list price";
    EXPECT_EQ(merge.Rabattgruppe, QString()) << "a DATANORM group is no stock discount group";
    EXPECT_EQ(merge.NettoEK, m(31.53));
    EXPECT_EQ(merge.VKFaktor, 1.0);
    // 31.53 + 12.345 % = 35.4223785
    EXPECT_EQ(merge.VKPreise,
              (std::array<Money, 5>{m(35.42), m(40.002), m(41.5), m(0), m(-1.002)}));
    EXPECT_EQ(merge.Kurztext, u"Kupferrohr 22 hart"_s);
    EXPECT_EQ(merge.Langtext, u"Kupferrohr nach EN 1057"_s);
    ASSERT_EQ(merge.Bilder.Count(), 2);
    EXPECT_EQ(merge.Bilder[0].Key, u"G22 Foto"_s);
    EXPECT_EQ(merge.Bilder[0].Value, u"cu22.jpg"_s);
    EXPECT_EQ(merge.Bilder[1].Key, u"G22"_s);
    EXPECT_EQ(merge.Bilder[1].Value, u"datenblatt.pdf"_s);
    EXPECT_EQ(merge.Text1, u"frei 1"_s);

    TKatalog1ArtikelDaten byNet = normalUnit(fullDatanormArticle());
    byNet.PreisKZ = 2;
    byNet.Langtext = u" \r\n "_s;
    merge.LoadFrom(byNet, priceSettings(true));
    EXPECT_EQ(merge.Basispreis, m(31.53)) << "any other price flag: the net price";
    EXPECT_EQ(merge.VKPreise[0], m(35.4224));
    EXPECT_EQ(merge.Langtext, u"Kupferrohr 22 hart"_s) << "an empty long text takes the short";
    EXPECT_EQ(merge.Bilder.Count(), 2) << "a new load starts from a cleared record";
}

TEST(KatalogMergeObj, DatanormArticleInAnotherUnitInBothMoneyModes)
{
    TKatalog1ArtikelDaten a = fullDatanormArticle();

    TKatalogDBClipBoardMergeObj cents;
    cents.LoadFrom(a, priceSettings(false));
    EXPECT_EQ(cents.ME, u"Stk"_s);
    EXPECT_EQ(cents.Basispreis, m(121.25)); // 48.50 * 2.5
    // 121.25 - 35 % = 78.8125; sales price 1 is the net price, the surcharge is dropped.
    EXPECT_EQ(cents.NettoEK, m(78.81));
    EXPECT_EQ(cents.VKPreise,
              (std::array<Money, 5>{m(78.81), m(100.01), m(103.75), m(0), m(-2.51)}));
    EXPECT_EQ(cents.Preiseinheit, 100);

    TKatalogDBClipBoardMergeObj full;
    full.LoadFrom(a, priceSettings(true));
    EXPECT_EQ(full.NettoEK, m(78.8125));
    EXPECT_EQ(full.VKPreise,
              (std::array<Money, 5>{m(78.8125), m(100.005), m(103.75), m(0), m(-2.505)}));

    // With the net price as base the discount is taken off the net price once more.
    a.PreisKZ = 0;
    cents.LoadFrom(a, priceSettings(false));
    EXPECT_EQ(cents.Basispreis, m(78.83)); // 31.53 * 2.5 = 78.825
    EXPECT_EQ(cents.NettoEK, m(51.24));    // 78.83 - 35 % = 51.2395
}

TEST(KatalogMergeObj, FromSimpleArticle)
{
    TKatalogDBClipBoardMergeObj merge;
    merge.LoadFrom(normalUnit(fullSimpleArticle()), priceSettings(false));
    EXPECT_EQ(merge.ArtikelNr, u"WT-100"_s);
    EXPECT_EQ(merge.EAN, QString());
    EXPECT_EQ(merge.KatalogTyp, 0);
    EXPECT_EQ(merge.MwStSatz, 19.0);
    EXPECT_EQ(merge.MwStMerker, 1);
    EXPECT_EQ(merge.Basispreis, m(100));
    EXPECT_EQ(merge.Rabattgruppe, u"SAN"_s);
    EXPECT_EQ(merge.NettoEK, m(90));
    EXPECT_EQ(merge.VKFaktor, 1.5);
    EXPECT_EQ(merge.VKPreise, (std::array<Money, 5>{m(135), m(150.005), m(140), m(130), m(120)}));
    EXPECT_EQ(merge.MindBestMenge, 2);
    EXPECT_EQ(merge.Kurztext, u"Waschtisch"_s);
    EXPECT_EQ(merge.Langtext, u"Waschtisch aus Keramik\r\nmit Überlauf"_s);
    EXPECT_EQ(merge.Arbeitszeit, 0) << "a simple catalog's working time is not taken over";
    EXPECT_EQ(merge.Bilder, normalUnit(fullSimpleArticle()).Bilder);

    // Gross sale prices: sales price 1 carries the VAT, prices 2 to 5 stay as they are.
    merge.LoadFrom(normalUnit(fullSimpleArticle()), priceSettings(false, true));
    EXPECT_EQ(merge.VKPreise[0], m(160.65));
    EXPECT_EQ(merge.VKPreise[1], m(150.005));

    TKatalog2ArtikelDaten noShortText = normalUnit(fullSimpleArticle());
    noShortText.Kurztext.clear();
    noShortText.Langtext = u" \r\n"_s;
    merge.LoadFrom(noShortText, priceSettings(false));
    EXPECT_EQ(merge.Kurztext, u"Waschtisch 100 cm"_s);
    EXPECT_EQ(merge.Langtext, u"Waschtisch 100 cm"_s);
}

TEST(KatalogMergeObj, SimpleArticleInAnotherUnitInBothMoneyModes)
{
    TKatalog2ArtikelDaten a = fullSimpleArticle();
    a.EK = m(33.335);
    a.Rabatt = 7;
    a.VKZuschlag = 1.333;

    TKatalogDBClipBoardMergeObj cents;
    cents.LoadFrom(a, priceSettings(false, true));
    EXPECT_EQ(cents.ME, u"Pal"_s);
    EXPECT_EQ(cents.Basispreis, m(100.01)); // 100.005
    EXPECT_EQ(cents.NettoEK, m(93.01));     // 100.01 - 7 % = 93.0093
    // Net times factor without VAT, even with gross sale prices: 123.98233
    EXPECT_EQ(cents.VKPreise, (std::array<Money, 5>{m(123.98), m(450.02), m(420), m(390), m(360)}));

    TKatalogDBClipBoardMergeObj full;
    full.LoadFrom(a, priceSettings(true, true));
    EXPECT_EQ(full.Basispreis, m(100.005));
    EXPECT_EQ(full.NettoEK, m(93.0046)); // 93.00465, a tie to even at the fourth decimal
    EXPECT_EQ(full.VKPreise,
              (std::array<Money, 5>{m(123.9751), m(450.015), m(420), m(390), m(360)}));
}

TEST(KatalogMergeObj, FromStockArticle)
{
    TLagerArtikelDaten s;
    s.LagerArtikelNr = u"L-4711"_s;
    s.Katalog = u"GC"_s;
    s.MwStSatz = 3;
    s.EKPreis = m(12.3456);
    s.VKZuschlag = 1.8;
    s.VKPreis = {m(22.22), m(21), m(20), m(19), m(18)};
    s.Kurztext = u"kurz"_s;
    s.Langtext = u"lang"_s;
    s.Rabattgruppen = u"R1"_s;
    s.Bilder.Add(u"Bild"_s, u"rohr.png"_s);

    TKatalogDBClipBoardMergeObj merge;
    merge.LoadFrom(s, priceSettings(false, true));
    EXPECT_EQ(merge.ArtikelNr, u"L-4711"_s);
    EXPECT_EQ(merge.Katalog, u"LAGER"_s) << "the stock, not the article's supplier catalog";
    EXPECT_EQ(merge.KatalogTyp, 4);
    EXPECT_EQ(merge.MwStSatz, 7.0);
    EXPECT_EQ(merge.NettoEK, m(12.3456)) << "taken as it is, not rounded";
    EXPECT_EQ(merge.Rabatt, 0);
    EXPECT_EQ(merge.Rabattgruppe, QString());
    EXPECT_EQ(merge.VKFaktor, 1.8);
    EXPECT_EQ(merge.VKPreise, s.VKPreis);
    EXPECT_EQ(merge.Kurztext, QString());
    EXPECT_EQ(merge.Langtext, QString());
    EXPECT_EQ(merge.Bilder, s.Bilder);

    merge.Clear();
    EXPECT_EQ(merge.KatalogTyp, 3);
    EXPECT_EQ(merge.VKFaktor, 1.0);
    EXPECT_EQ(merge.Preiseinheit, 1);
    EXPECT_TRUE(merge.Bilder.IsEmpty());
}
