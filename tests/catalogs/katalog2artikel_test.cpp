#include "catalogs/katalog2artikel.h"

#include "tests/catalogs/catalogtesthelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace CatalogTest;

namespace
{
TKatalog2ArtikelDaten fullArticle()
{
    TKatalog2ArtikelDaten a;
    a.ArtikelNr = u"WT-100"_s;
    a.EAN = u"4009876543210"_s;
    a.Beschreibung = u"Waschtisch 100 cm"_s;
    a.ME = u"Stk"_s;
    a.MEKalkulationSpezial = true;
    a.MEKalkulation = u"Pal"_s;
    a.MEKalkulationUmrechFakt = 12;
    a.MindBestMenge = 2;
    a.Preiseinheit = 10;
    a.EK = Money::fromDouble(289.9);
    a.MwStSatz = 1;
    a.Rabatt = 22.5;
    a.Info = u"Auslaufmodell"_s;
    a.Voraetig = 14;
    a.Created = 45000.5;
    a.Changed = 45100.75;
    a.CreatedBy = u"ADMIN"_s;
    a.ChangedBy = u"MEIER"_s;
    a.Rabattgruppe = u"SAN"_s;
    a.VKZuschlag = 1.45;
    a.VKPreis1 = Money::fromDouble(325.84);
    a.VKPreise = {Money::fromDouble(310), Money::fromDouble(300), Money::fromDouble(290),
                  Money::fromDouble(280)};
    a.Gewicht = 18.5;
    a.Oberflaeche = 0.55;
    a.Abwicklung = 2.1;
    a.Volumen = 0.12;
    a.Umrechnungsfaktor = 0.5;
    a.Arbeitszeit = 45;
    a.Lohn = Money::fromDouble(52.5);
    a.Verpackungsmenge = 3;
    a.Bestellmenge = 6;
    a.Langtext = u"Waschtisch aus Keramik\r\nmit Überlauf"_s;
    a.Kurztext = u"Waschtisch"_s;
    a.Bilder.Add(u"Hauptbild"_s, u"rohr_22.jpg"_s);
    a.Bilder.Add(u"Maß & \"Zeichnung\""_s, u"a&b <1>.pdf"_s);
    a.Katalog = u"SANITAER"_s;
    a.Text1 = u"frei 1"_s;
    a.Text2 = u"frei 2"_s;
    return a;
}

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
    article.Assign(fullArticle());
    const QByteArray written = writtenDocument(article);
    EXPECT_EQ(asText(written), asText(golden));
    EXPECT_EQ(written, golden);

    TKatalog2Artikel read;
    read.Assign(fullArticle());
    readDocument(read, golden);
    EXPECT_FALSE(read.HasError()) << read.ErrorText().toStdString();
    TKatalog2ArtikelDaten expected;
    expected.Bilder = fullArticle().Bilder;
    EXPECT_EQ(data(read), expected);
}

TEST(Katalog2ArtikelXml, ImageTextInPiecesAndWithoutImagesElement)
{
    TKatalog2Artikel article;
    // Character references split an element's text into several pieces for the reader.
    ASSERT_TRUE(
        article.LoadFromXMLText(u"<ukat2><images><img key=\"k\">a&amp;b&#13;&#10;c"
                                "</img><img>ohne Schlüssel</img></images>"
                                "<img key=\"x\">direkt</img><other>nein</other></ukat2>"_s));
    ASSERT_EQ(article.Bilder.Count(), 3);
    EXPECT_EQ(article.Bilder[0].Key, u"k"_s);
    EXPECT_EQ(article.Bilder[0].Value, u"a&b\r\nc"_s);
    EXPECT_EQ(article.Bilder[1].Key, QString());
    EXPECT_EQ(article.Bilder[1].Value, u"ohne Schlüssel"_s);
    EXPECT_EQ(article.Bilder[2].Value, u"direkt"_s);

    TKatalog2Artikel empty;
    EXPECT_EQ(empty.GetXMLFragment(true, u"  "_s),
              u"  <ukat2>\r\n    <images>\r\n    </images>\r\n  </ukat2>\r\n"_s);
}

TEST(Katalog2Artikel, ClearingGivesFactorOneUnitOnePackingOne)
{
    TKatalog2Artikel article;
    article.Assign(fullArticle());
    article.Clear();
    EXPECT_EQ(article.MEKalkulationUmrechFakt, 1.0);
    EXPECT_EQ(article.Preiseinheit, 1);
    EXPECT_EQ(article.Verpackungsmenge, 1);
    EXPECT_TRUE(article.Bilder.IsEmpty());
    EXPECT_EQ(data(article), TKatalog2ArtikelDaten());
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
