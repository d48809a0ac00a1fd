#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/documents.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace CatalogTest;
using namespace TestDocuments;

namespace
{
const TKatalog2ArtikelDaten &data(const TKatalog2Artikel &a)
{
    return a;
}
} // namespace

TEST(Katalog2ArtikelXml, FullArticleWritesTheGoldenDocumentAndReadsBackItsImages)
{
    const QByteArray golden = TestDocuments::golden("catalogs", "katalog2artikel_full.xml");
    ASSERT_FALSE(golden.isEmpty());
    TKatalog2Artikel article;
    article.Assign(fullSimpleArticle());
    EXPECT_EQ(asText(written(article)), asText(golden));

    TKatalog2Artikel read;
    read.Assign(fullSimpleArticle());
    TestDocuments::read(read, golden);
    EXPECT_FALSE(read.HasError()) << read.ErrorText().toStdString();
    TKatalog2ArtikelDaten expected;
    expected.Bilder = fullSimpleArticle().Bilder;
    EXPECT_EQ(data(read), expected) << "nothing of before may survive a load";
}

TEST(Katalog2ArtikelXml, ImageTextComesInPiecesEmptyListKeepsItsElementTabsSurvive)
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

    // Found by fuzzing: a tab in an image key became a blank on its way through one save.
    empty.Bilder.Add(TDoubleString{u"Haupt\tbild\t"_s, u"rohr\t22.jpg"_s});
    ASSERT_TRUE(article.LoadFromXMLText(empty.GetXMLText(true)));
    EXPECT_EQ(data(article), data(empty));
}

TEST(Katalog2Preise, NetAndSalesPriceOneRoundInTheMoneyModeWithVatBeforeRounding)
{
    struct Case {
        double ek, rabatt, zuschlag;
        int vat;
        bool four, gross;
        double net, vk1;
    };
    const Case cases[] = {
        {100, 10, 1.5, 1, false, false, 90, 135},
        {100, 10, 1.5, 1, false, true, 90, 160.65},
        {100, 10, 1.5, 3, true, true, 90, 144.45},
        // 8.75875: the sales price builds on the rounded net price of its mode.
        {10.01, 12.5, 1.3, 0, false, false, 8.76, 11.39},
        {10.01, 12.5, 1.3, 0, true, false, 8.7588, 11.3864},
        // VAT is added before rounding: 1.0049 would round to 1.00 and give 1.19 afterwards.
        {1, 0, 1.0049, 1, false, true, 1, 1.2},
        {1, 0, 1.0049, 1, true, true, 1, 1.1958},
        {-2.345, 0, 1, 0, false, false, -2.35, -2.35},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.ek << " four " << c.four << " gross " << c.gross);
        TKatalog2ArtikelDaten a;
        a.EK = Money::fromDouble(c.ek);
        a.Rabatt = c.rabatt;
        a.VKZuschlag = c.zuschlag;
        a.MwStSatz = c.vat;
        EXPECT_EQ(a.Nettopreis(c.four), Money::fromDouble(c.net));
        EXPECT_EQ(a.BerechneVKPreis1(priceSettings(c.four, c.gross)), Money::fromDouble(c.vk1));
    }
}
