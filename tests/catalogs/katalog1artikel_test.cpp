#include "tests/catalogs/catalogtesthelpers.h"

#include <QMap>
#include <QPair>
#include <QStringList>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;
using namespace CatalogTest;

namespace
{
// Only the lists travel in the XML text; the rest comes from the table's columns.
TKatalog1ArtikelDaten xmlPart(const TKatalog1ArtikelDaten &a)
{
    TKatalog1ArtikelDaten x;
    x.Dimensionslangtexte = a.Dimensionslangtexte;
    x.Staffelpreise = a.Staffelpreise;
    x.Rohstoffe = a.Rohstoffe;
    x.Sonderkosten = a.Sonderkosten;
    return x;
}

const TKatalog1ArtikelDaten &data(const TKatalog1Artikel &a)
{
    return a;
}
} // namespace

TEST(Katalog1ArtikelXml, FullArticleWritesTheGoldenDocumentAndReadsBackItsLists)
{
    const QByteArray golden = goldenFile("katalog1artikel_full.xml");
    ASSERT_FALSE(golden.isEmpty());
    TKatalog1Artikel article;
    article.Assign(fullDatanormArticle());
    const QByteArray written = writtenDocument(article);
    EXPECT_EQ(asText(written), asText(golden));
    EXPECT_EQ(written, golden);

    // Reading into a filled article: nothing of before may survive a load.
    TKatalog1Artikel read;
    read.Assign(fullDatanormArticle());
    readDocument(read, golden);
    EXPECT_FALSE(read.HasError()) << read.ErrorText().toStdString();
    EXPECT_EQ(data(read), xmlPart(fullDatanormArticle()));
    // The defaults of a cleared article that are not zero.
    EXPECT_EQ(read.Preiseinheit, 1);
    EXPECT_EQ(read.Verpackungsmenge, 1);
    EXPECT_EQ(read.MEKalkulationUmrechFakt, 1.0);

    TKatalog1Artikel fromText;
    EXPECT_TRUE(fromText.LoadFromXMLText(asQString(golden)));
    EXPECT_EQ(data(fromText), xmlPart(fullDatanormArticle()));
}

TEST(Katalog1ArtikelXml, EmptyArticleKeepsTheFourListsAndEveryLineTakesTheIndent)
{
    TKatalog1Artikel article;
    EXPECT_EQ(article.GetXMLFragment(true, u"\t"_s),
              u"\t<ukat1>\r\n\t  <dlt>\r\n\t  </dlt>\r\n\t  <stp>\r\n\t  </stp>\r\n"
              "\t  <rohst>\r\n\t  </rohst>\r\n\t  <sonderkosten>\r\n\t  </sonderkosten>\r\n"
              "\t</ukat1>\r\n"_s);
}

TEST(Katalog1ArtikelXml, MissingAttributesReadAsZeroAndStrangeElementsAreIgnored)
{
    TKatalog1Artikel article;
    ASSERT_TRUE(article.LoadFromXMLText(
        u"<ukat1><dlt><dlti instxt=\"B1\" color=\"red\"/></dlt><note nr=\"9\"/>"
        "<stp><stpi txt=\"x\"/></stp><rohst><rohsti/></rohst><sonderkosten/></ukat1>"_s));
    EXPECT_FALSE(article.HasError());
    ASSERT_EQ(article.Dimensionslangtexte.Count(), 1);
    EXPECT_EQ(article.Dimensionslangtexte[0], (TKatalog1Dimensionslangtext{0, {}, u"B1"_s}));
    ASSERT_EQ(article.Staffelpreise.Count(), 1);
    TKatalog1Staffelpreis onlyText;
    onlyText.Text = u"x"_s;
    EXPECT_EQ(article.Staffelpreise[0], onlyText);
    ASSERT_EQ(article.Rohstoffe.Count(), 1);
    EXPECT_EQ(article.Rohstoffe[0], TKatalog1Rohstoff());
    EXPECT_TRUE(article.Sonderkosten.IsEmpty());
}

// ---- Long text --------------------------------------------------------------------------

TEST(Katalog1Langtext, DimensionTemplatePadsCutsAndBlanksTheDollarRuns)
{
    const auto fill = [](const QString &t, const QString &v) {
        return TKatalog1ArtikelDaten::FillDimensionTemplate(t, v);
    };
    EXPECT_EQ(fill(u"L=$$$$ mm"_s, u"50"_s), u"L=50   mm"_s);
    EXPECT_EQ(fill(u"L=$$$$ mm"_s, u"12345"_s), u"L=1234 mm"_s);
    EXPECT_EQ(fill(u"L=$$$$ mm"_s, u"1234"_s), u"L=1234 mm"_s);
    EXPECT_EQ(fill(u"$$ x $$$!"_s, u"7"_s), u"7  x    !"_s);
    EXPECT_EQ(fill(u"$$ x $$$"_s, u"12$345$9"_s), u"12 x 345"_s);
    EXPECT_EQ(fill(u"DN $$$$$$"_s, QString()), u"DN       "_s);
    EXPECT_EQ(fill(u"ohne Felder"_s, u"1$2"_s), u"ohne Felder"_s);
    // An empty value between two separators leaves its run blank, the next value goes on.
    EXPECT_EQ(fill(u"$$/$$/$$"_s, u"1$$3"_s), u"1 /  /3 "_s);
}

TEST(Katalog1Langtext, EntriesBecomeLinesWithBlocksFetchedOnceAndDimensionValuesCollected)
{
    QMap<QPair<QString, int>, QString> blocks;
    blocks[{u"A"_s, ltBaustein}] = u"Baustein A"_s;
    blocks[{u"B"_s, ltBaustein}] = u"Baustein B"_s;
    // The same number names another block as a dimension text.
    blocks[{u"A"_s, ltDimension}] = u"Rohr $$ x $$$ mm, $$$$ lang"_s;
    blocks[{u"D"_s, ltDimension}] = u"[$$]"_s;
    QStringList asked;
    const auto lookup = [&](const QString &nr, int typ) {
        asked.append(nr + u'/' + QString::number(typ));
        return blocks.value({nr, typ});
    };

    TKatalog1ArtikelDaten a;
    const auto add = [&](int typ, const QString &text, const QString &nr) {
        a.Dimensionslangtexte.Add(TKatalog1Dimensionslangtext{typ, text, nr});
    };
    add(ltZeile, u"Erste Zeile"_s, {});
    add(ltBaustein, {}, u"A"_s);
    add(ltBaustein, {}, u"A"_s);
    add(ltBaustein, {}, u"B"_s);
    add(ltZeile, u"Zwischen"_s, {});
    add(ltBaustein, {}, u"B"_s);
    add(ltBaustein, {}, u"A"_s);
    add(ltDimension, u"22$1,"_s, u"A"_s);
    add(ltDimension, u"0$5000"_s, u"A"_s);
    add(ltDimension, u"1"_s, u"D"_s);
    add(ltDimension, u"2"_s, u"A"_s);
    add(7, u"unbekannt"_s, {});
    add(ltZeile, u""_s, {});
    a.AssembleLangtext(lookup);

    EXPECT_EQ(a.Langtext,
              u"Erste Zeile\r\nBaustein A\r\nBaustein B\r\nZwischen\r\nBaustein A\r\n"
              "Rohr 22 x 1,0 mm, 5000 lang\r\n[1 ]\r\nRohr 2  x     mm,      lang\r\n"_s);
    EXPECT_EQ(asked, (QStringList{u"A/2"_s, u"B/2"_s, u"A/2"_s, u"A/3"_s, u"D/3"_s, u"A/3"_s}));

    a.Dimensionslangtexte.Clear();
    a.AssembleLangtext(lookup);
    EXPECT_TRUE(a.Langtext.isEmpty());
}

// ---- Sales surcharge and sales price 1 ----------------------------------------------------

TEST(Katalog1Preise, DiscountGroupSurchargeWinsUnlessItIsZero)
{
    TKatalog1ArtikelDaten a;
    a.Netto = Money::fromDouble(123.45);
    QStringList groupsAsked;
    double netAsked = -1;
    double groupSurcharge = 0;
    const auto ofGroup = [&](const QString &g) {
        groupsAsked.append(g);
        return groupSurcharge;
    };
    const auto ofNet = [&](double net) {
        netAsked = net;
        return 7.5;
    };

    a.DetermineVKZuschlag(ofGroup, ofNet);
    EXPECT_TRUE(groupsAsked.isEmpty()) << "no discount group, no group lookup";
    EXPECT_DOUBLE_EQ(netAsked, 123.45);
    EXPECT_EQ(a.VKZuschlag, 7.5);

    a.Rabattgruppe = u"CU1"_s;
    groupSurcharge = 0;
    a.DetermineVKZuschlag(ofGroup, ofNet);
    EXPECT_EQ(groupsAsked, QStringList{u"CU1"_s});
    EXPECT_EQ(a.VKZuschlag, 7.5);

    groupSurcharge = 30;
    netAsked = -1;
    a.DetermineVKZuschlag(ofGroup, ofNet);
    EXPECT_EQ(a.VKZuschlag, 30);
    EXPECT_EQ(netAsked, -1);
}

TEST(Katalog1Preise, SalesPriceOneIsNetPlusSurchargeRoundedHalfAwayFromZero)
{
    TKatalog1ArtikelDaten a;
    a.Netto = Money::fromDouble(10);
    a.VKZuschlag = 12.345;
    EXPECT_EQ(a.VKPreis1(false), Money::fromDouble(11.23));
    EXPECT_EQ(a.VKPreis1(true), Money::fromDouble(11.2345));

    a.Netto = Money::fromDouble(0.1);
    a.VKZuschlag = 5; // 0.105
    EXPECT_EQ(a.VKPreis1(false), Money::fromDouble(0.11));
    a.Netto = Money::fromDouble(-0.1);
    EXPECT_EQ(a.VKPreis1(false), Money::fromDouble(-0.11));
    EXPECT_EQ(a.VKPreis1(true), Money::fromDouble(-0.105));
}

// Found by fuzzing: values that changed on their way through one save.
TEST(Katalog1ArtikelXml, TabsAndMoneyBeyondFifteenDigitsSurviveASave)
{
    TKatalog1Artikel article;
    TKatalog1Dimensionslangtext line{ltZeile, u"22\tmm\t"_s, u"\t"_s};
    article.Dimensionslangtexte.Add(line);
    TKatalog1Staffelpreis scale;
    scale.Text = u"ab\t10"_s;
    scale.Wert = Money::fromRaw(1234567890123456); // 16 significant digits
    article.Staffelpreise.Add(scale);
    TKatalog1Staffelpreis largest;
    largest.Wert = Money::fromRaw(std::numeric_limits<qint64>::max());
    article.Staffelpreise.Add(largest);
    TKatalog1Staffelpreis smallest;
    smallest.Wert = Money::fromRaw(std::numeric_limits<qint64>::min() + 1);
    article.Staffelpreise.Add(smallest);
    TKatalog1Sonderkosten cost{1, u"Schneiden\tZuschnitt"_s, Money::fromRaw(-1), 2};
    article.Sonderkosten.Add(cost);

    TKatalog1Artikel read;
    ASSERT_TRUE(read.LoadFromXMLText(article.GetXMLText(true)));
    EXPECT_EQ(data(read), xmlPart(article));
    // Short values keep their usual text.
    EXPECT_TRUE(article.GetXMLText(true).contains(u"val=\"-0,0001\""_s));
}

// Found by fuzzing: fifteen digits round the largest doubles up beyond the double range, and
// reading that text gave 0.
TEST(Katalog1ArtikelXml, LargestFactorsSurviveASave)
{
    TKatalog1Artikel article;
    const double largest = std::numeric_limits<double>::max();
    article.Rohstoffe.Add(TKatalog1Rohstoff{1, 1, largest, -largest, 1e308, 0});
    TKatalog1Artikel read;
    ASSERT_TRUE(read.LoadFromXMLText(article.GetXMLText(true)));
    EXPECT_EQ(data(read), xmlPart(article));
    // A text far beyond the range is no number.
    ASSERT_TRUE(read.LoadFromXMLText(u"<ukat1><rohst><rohsti rbm2g=\"1E999\"/></rohst></ukat1>"_s));
    ASSERT_EQ(read.Rohstoffe.Count(), 1);
    EXPECT_EQ(read.Rohstoffe[0].RBM2G, 0);
}
