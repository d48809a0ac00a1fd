#include "tests/catalogs/catalogtesthelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace CatalogTest;

namespace
{
const TKatalog2ArtikelDaten &data(const TKatalog2Artikel &a)
{
    return a;
}
} // namespace

TEST(Katalog2ArtikelXml, FullArticleWritesTheGoldenDocumentAndReadsBackItsImages)
{
    const QByteArray golden = goldenFile("katalog2artikel_full.xml");
    ASSERT_FALSE(golden.isEmpty());
    TKatalog2Artikel article;
    article.Assign(fullSimpleArticle());
    const QByteArray written = writtenDocument(article);
    EXPECT_EQ(asText(written), asText(golden));
    EXPECT_EQ(written, golden);

    TKatalog2Artikel read;
    read.Assign(fullSimpleArticle());
    readDocument(read, golden);
    EXPECT_FALSE(read.HasError()) << read.ErrorText().toStdString();
    TKatalog2ArtikelDaten expected;
    expected.Bilder = fullSimpleArticle().Bilder;
    EXPECT_EQ(data(read), expected);
    // The defaults of a cleared article that are not zero.
    EXPECT_EQ(read.MEKalkulationUmrechFakt, 1.0);
    EXPECT_EQ(read.Preiseinheit, 1);
    EXPECT_EQ(read.Verpackungsmenge, 1);
}

TEST(Katalog2ArtikelXml, ImageTextComesInPiecesAndAnEmptyListKeepsItsElement)
{
    TKatalog2Artikel article;
    // Character references split an element's text into several pieces for the reader; text
    // outside an image belongs to no image.
    ASSERT_TRUE(article.LoadFromXMLText(u"<ukat2><images><img key=\"k\">a&amp;b&#13;&#10;c"
                                        "</img><img>ohne Schlüssel</img></images>"
                                        "nein<other>nein</other></ukat2>"_s));
    ASSERT_EQ(article.Bilder.Count(), 2);
    EXPECT_EQ(article.Bilder[0].Key, u"k"_s);
    EXPECT_EQ(article.Bilder[0].Value, u"a&b\r\nc"_s);
    EXPECT_EQ(article.Bilder[1].Key, QString());
    EXPECT_EQ(article.Bilder[1].Value, u"ohne Schlüssel"_s);

    TKatalog2Artikel empty;
    EXPECT_EQ(empty.GetXMLFragment(true, u"  "_s),
              u"  <ukat2>\r\n    <images>\r\n    </images>\r\n  </ukat2>\r\n"_s);
}

TEST(Katalog2Preise, NetAndSalesPriceOneOfTheTextbookArticle)
{
    TKatalog2ArtikelDaten a;
    a.EK = Money::fromDouble(100);
    a.Rabatt = 10;
    a.VKZuschlag = 1.5;
    a.MwStSatz = 1;
    EXPECT_EQ(a.Nettopreis(false), Money::fromDouble(90));
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(false)), Money::fromDouble(135));
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(false, true)), Money::fromDouble(160.65));
    a.MwStSatz = 3;
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(true, true)), Money::fromDouble(144.45));
}

TEST(Katalog2Preise, RoundingFollowsTheMoneyMode)
{
    TKatalog2ArtikelDaten a;
    a.EK = Money::fromDouble(10.01);
    a.Rabatt = 12.5; // 8.75875
    a.VKZuschlag = 1.3;
    EXPECT_EQ(a.Nettopreis(false), Money::fromDouble(8.76));
    EXPECT_EQ(a.Nettopreis(true), Money::fromDouble(8.7588));
    // The sales price builds on the rounded net price of its mode.
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(false)), Money::fromDouble(11.39)); // 8.76 * 1.3
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(true)), Money::fromDouble(11.3864));

    // VAT is added before rounding: 1.0049 would round to 1.00 and give 1.19 afterwards.
    a.EK = Money::fromDouble(1);
    a.Rabatt = 0;
    a.VKZuschlag = 1.0049;
    a.MwStSatz = 1;
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(false, true)), Money::fromDouble(1.2));
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(true, true)), Money::fromDouble(1.1958));

    a.EK = Money::fromDouble(-2.345);
    a.VKZuschlag = 1;
    EXPECT_EQ(a.BerechneVKPreis1(priceSettings(false)), Money::fromDouble(-2.35));
}

// Found by fuzzing: a tab in an image key became a blank on its way through one save.
TEST(Katalog2ArtikelXml, TabsInKeyAndFileNameSurviveASave)
{
    TKatalog2Artikel article;
    article.Bilder.Add(TDoubleString{u"Haupt\tbild\t"_s, u"rohr\t22.jpg"_s});
    TKatalog2Artikel read;
    ASSERT_TRUE(read.LoadFromXMLText(article.GetXMLText(true)));
    EXPECT_EQ(data(read), data(article));
}
