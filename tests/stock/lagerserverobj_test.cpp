#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/xmltextsink.h"

#include "tests/support/articles.h"
#include "tests/support/documents.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace TestDocuments;

namespace
{
QByteArray writtenDocument(const TLagerArtikelDaten &a)
{
    TLagerServerObj obj;
    obj.Assign(a);
    return TestDocuments::written(obj);
}

// What survives the XML text: the column fields come from the table row instead.
TLagerArtikelDaten xmlPart(TLagerArtikelDaten a)
{
    using D = TLagerArtikelDaten;
    const D columns;
    const auto fromColumns = [&](auto... fields) { ((a.*fields = columns.*fields), ...); };
    fromColumns(&D::LagerArtikelNr, &D::Katalog, &D::EAN, &D::Bezeichnung, &D::BuchungsBestand,
                &D::SummeWareneingangMe, &D::Gruppe, &D::Lagerort, &D::Inventurartikel,
                &D::Anfangsbestand, &D::InventurErfassung, &D::Inventurdifferenz, &D::Rabattgruppen,
                &D::ME, &D::DEinstandsPreisbildung, &D::EKPreis, &D::VKZuschlag, &D::MwStSatz,
                &D::SNPflicht, &D::IsNotBestandsartikel, &D::ViewColor);
    a.Seriennummern.reset();
    return a;
}

// A document around the given article lines, as another writer might have produced it.
QString document(const QString &body)
{
    return withDeclaration(u"<lagerartikel>"_s + body + u"</lagerartikel>"_s);
}

} // namespace

TEST(LagerArtikelXml, DefaultArticleWritesTheBareSkeletonAndReadsBack)
{
    const QByteArray golden = TestDocuments::golden("stock", "lagerartikel_default.xml");
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(writtenDocument(TLagerArtikelDaten()), golden);

    TLagerServerObj read;
    read.InitPeriods(QString()); // reading must start from a cleared record
    TestDocuments::read(read, golden);
    EXPECT_FALSE(read.HasError());
    EXPECT_EQ(static_cast<const TLagerArtikelDaten &>(read), TLagerArtikelDaten());
}

TEST(LagerArtikelXml, FullArticleWritesEveryPartInOrderAndReadsBackEqual)
{
    const QByteArray golden = TestDocuments::golden("stock", "lagerartikel_full.xml");
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(asText(writtenDocument(fullArticle())), asText(golden));

    TLagerServerObj read;
    TestDocuments::read(read, golden);
    EXPECT_FALSE(read.HasError()) << read.ErrorText().toStdString();
    const TLagerArtikelDaten expected = xmlPart(fullArticle());
    EXPECT_EQ(static_cast<const TLagerArtikelDaten &>(read), expected);
    // The same through the column's text form rather than a byte stream.
    TLagerServerObj fromText;
    EXPECT_TRUE(fromText.LoadFromXMLText(fromUtf16(golden)));
    EXPECT_EQ(static_cast<const TLagerArtikelDaten &>(fromText), expected);
}

TEST(LagerArtikelXml, IndentStartsEveryLineButExtensionDataLosesItsTwoBlanks)
{
    TLagerServerObj obj;
    obj.Assign(fullArticle());
    const QString fragment = obj.GetXMLFragment(true, u"\t"_s);
    // The golden document with the indent in front of each line stands for the expectation.
    QString expected;
    const QString golden = fromUtf16(TestDocuments::golden("stock", "lagerartikel_full.xml"));
    const QStringList lines = golden.mid(golden.indexOf(u"\r\n") + 2).split(u"\r\n"_s);
    for (const QString &line : lines)
        if (!line.isEmpty())
            expected += u'\t' + line + u"\r\n"_s;
    EXPECT_EQ(fragment.toStdString(), expected.toStdString());
    EXPECT_TRUE(fragment.contains(u"\r\n\t<extensiondata>"));
}

TEST(LagerArtikelXml, MoneyAndPriceUnitEdges)
{
    TLagerArtikelDaten a;
    a.VKPreis = {Money::fromRaw(123456), Money::fromRaw(-1), Money::fromRaw(999999999999999),
                 Money::fromRaw(5), Money::fromRaw(-123456789)};
    a.Lohn = Money::fromRaw(10001);
    a.PE = 1; // the default is not written
    TLagerServerObj obj;
    obj.Assign(a);
    const QString text = obj.GetXMLText(true);
    EXPECT_TRUE(text.contains(u"<pinfo vkp1=\"12,3456\" vkp2=\"-0,0001\" vkp3=\"99999999999,9999\" "
                              u"vkp4=\"0,0005\" vkp5=\"-12345,6789\" />"_s))
        << text.toStdString();
    TLagerServerObj read;
    ASSERT_TRUE(read.LoadFromXMLText(text));
    EXPECT_EQ(read.VKPreis, a.VKPreis);
    EXPECT_EQ(read.Lohn.raw(), 10001);
    EXPECT_EQ(read.PE, 1);

    for (const char16_t *pe : {u"0", u"-5", u"", u"x", u"99999999999999999999"}) {
        read.LoadFromXMLText(document(u"<pinfo pe=\"%1\" />"_s.arg(QString::fromUtf16(pe))));
        EXPECT_EQ(read.PE, 1) << QString::fromUtf16(pe).toStdString();
    }
    read.LoadFromXMLText(document(u"<pinfo pe=\"7 Stk\" />"_s));
    EXPECT_EQ(read.PE, 7);
}

TEST(LagerArtikelXml, PackingQuantityOneIsTheDefaultButZeroIsKept)
{
    TLagerServerObj obj;
    obj.Verpackungsmenge = 1.0;
    EXPECT_TRUE(obj.GetXMLText(true).contains(u"  <ainfo />\r\n"));
    obj.Verpackungsmenge = 0;
    EXPECT_TRUE(obj.GetXMLText(true).contains(u"  <ainfo uf=\"0\" />\r\n"));
    TLagerServerObj read;
    ASSERT_TRUE(read.LoadFromXMLText(obj.GetXMLText(true)));
    EXPECT_EQ(read.Verpackungsmenge, 0.0);
    ASSERT_TRUE(read.LoadFromXMLText(document(u"<ainfo gew=\"1\" />"_s)));
    EXPECT_EQ(read.Verpackungsmenge, 1.0);
    // Unparsable values fall back to each attribute's own default.
    ASSERT_TRUE(read.LoadFromXMLText(document(u"<ainfo uf=\"viel\" gew=\"schwer\" />"_s)));
    EXPECT_EQ(read.Verpackungsmenge, 1.0);
    EXPECT_EQ(read.Gewicht, 0.0);
}

TEST(LagerArtikelXml, ReadingIsLenientAboutWhatOthersWrote)
{
    TLagerServerObj read;
    const double before = DateTime::now();
    ASSERT_TRUE(read.LoadFromXMLText(document(
        u"<minfo orab=\"1\" oprov=\"TRUE\" eksp=\"ja\" vksp=\"0\" ncek=\"-1\" az=\"1.234,5 min\" />"
        u"<mindb>a\nb\rc&#13;&#10;</mindb><lt>Lang<b>fett</b>weg</lt>"
        u"<dsnobj name=\"n\">ohne Typ</dsnobj><dsnobj name=\"i\" type=\"2\">zwei</dsnobj>"
        u"<dsnobj name=\"b\" type=\"3\">true</dsnobj><dsnobj name=\"x\" type=\"258\">1</dsnobj>"
        u"<EXTENSIONDATA>roh</EXTENSIONDATA><unbekannt lt=\"x\"><kt>innen</kt></unbekannt>"_s)));
    EXPECT_TRUE(read.OhneRabatt);
    EXPECT_TRUE(read.OhneProvision);
    EXPECT_FALSE(read.EKSperre);
    EXPECT_FALSE(read.VKSperre);
    EXPECT_TRUE(read.KeineEKPflege);
    EXPECT_EQ(read.Arbeitszeit, 1234.5);
    EXPECT_EQ(read.MindestBestand, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    // Text of a nested element does not belong to the outer one.
    EXPECT_EQ(read.Langtext, u"Lang"_s);
    EXPECT_EQ(read.Kurztext, u"innen"_s);
    ASSERT_EQ(read.Zusatzdaten.Count(), 4);
    EXPECT_EQ(read.Zusatzdaten.Item(0), (TDsnElement{u"n"_s, 0, 0, QString(), 0, false}));
    EXPECT_EQ(read.Zusatzdaten.Item(1).IntValue, 0);
    EXPECT_TRUE(read.Zusatzdaten.Item(2).BoolValue);
    EXPECT_EQ(read.Zusatzdaten.Item(3).Kind, 0);
    EXPECT_EQ(read.ExtensionData, u"roh"_s);

    // A stamp that cannot be read is taken as the time of reading.
    ASSERT_TRUE(
        read.LoadFromXMLText(u"<lagerartikel nr=\"9\" c=\"gestern\" ch=\"45000,5\" cby=\"a\"/>"_s));
    EXPECT_GE(read.Created, before);
    EXPECT_LE(read.Created, DateTime::now());
    EXPECT_EQ(read.Changed, 45000.5);
    EXPECT_EQ(read.LagerArtikelNr, QString()); // the number comes from the table row
}

TEST(LagerArtikelXml, ExtensionDataComesBackUnchanged)
{
    const QString hostile = u"a]]>b]]]>c]]\r\nd\re]]"_s;
    TLagerServerObj obj;
    obj.ExtensionData = hostile;
    const QString text = obj.GetXMLText(true);
    EXPECT_TRUE(text.contains(u"\r\n<extensiondata><![CDATA[a]]]]><![CDATA[>b]]]]]><![CDATA[>c]]"
                              u"]]>&#13;<![CDATA[\nd]]>&#13;<![CDATA[e]]]]></extensiondata>\r\n"_s))
        << text.toStdString();
    TLagerServerObj read;
    ASSERT_TRUE(read.LoadFromXMLText(text));
    EXPECT_EQ(read.ExtensionData, hostile);

    // Plain data stays in one section, as every other writer of these texts produces it.
    obj.ExtensionData = u"<x>\n</x>"_s;
    EXPECT_TRUE(
        obj.GetXMLText(true).contains(u"<extensiondata><![CDATA[<x>\n</x>]]></extensiondata>"_s));
}

TEST(LagerArtikelXml, ExponentFormValuesReadBack)
{
    TLagerServerObj obj;
    obj.Dicke = 0.000005; // a 5 micrometre foil
    obj.Verpackungsmenge = 1e20;
    obj.Arbeitszeit = -1.5e-7;
    TDsnElement &time = obj.Zusatzdaten.Add();
    time.Kind = TDsnElement::Time;
    time.FloatValue = 1.0 / 86400; // one second past midnight
    const QString text = obj.GetXMLText(true);
    EXPECT_TRUE(text.contains(u"dicke=\"5E-6\" uf=\"1E20\""_s)) << text.toStdString();
    TLagerServerObj read;
    ASSERT_TRUE(read.LoadFromXMLText(text));
    EXPECT_EQ(read.Dicke, 0.000005);
    EXPECT_EQ(read.Verpackungsmenge, 1e20);
    EXPECT_EQ(read.Arbeitszeit, -1.5e-7);
    EXPECT_NEAR(read.Zusatzdaten.Item(0).FloatValue, 1.0 / 86400, 1e-18); // 15 digits

    // Anything that is not plainly a number with exponent stays with the tolerant reading.
    EXPECT_EQ(DecimalFromXML(u" 1,25E+3 "_s, -1), 1250.0);
    EXPECT_EQ(DecimalFromXML(u"12 Euro"_s, -1), 12.0);
    EXPECT_EQ(DecimalFromXML(u"E5"_s, -1), 5.0);
    EXPECT_EQ(DecimalFromXML(u"1.234,5E"_s, -1), 1234.5);
    EXPECT_EQ(DecimalFromXML(u"2E-x"_s, -1), -1.0);
}
