#include "stock/lagerconfig.h"
#include "tests/stock/stocktest.h"

TEST(LagerConfig, WrittenDocumentAndReadBack)
{
    TLagerConfig c;
    c.Artikelgruppen = {u"Rohre"_s, u"Fittings"_s};
    c.Lagerorte = {u"Regal <A>"_s};
    c.Rabattgruppen.Add(u"R1"_s, u"Kupfer & Messing"_s);
    c.Rabattgruppen.Add(u"R1"_s, u"doppelt"_s);
    c.VKPEurKgToVKP = 3;
    c.SpEAN = true;

    QTemporaryDir tmp;
    const QString path = TLagerConfig::FileNameIn(tmp.path());
    c.SaveToFile(path);
    TestDocuments::expectGoldenText("stock", "lagerconfig.xml",
                                    TestDocuments::fromUtf16(TestDocuments::fileBytes(path)));
    TLagerConfig back;
    back.LoadFromFile(path);
    EXPECT_FALSE(back.HasError()) << back.ErrorText().toStdString();
    EXPECT_EQ(back.GetXMLText(true), c.GetXMLText(true));
    EXPECT_EQ(back.Rabattgruppen.ValueOf(u"R1"_s), u"Kupfer & Messing"_s);
}

TEST(LagerConfig, MissingAndUnparsableValuesTakeTheirDefaults)
{
    TLagerConfig c;
    c.Artikelgruppen = {u"alt"_s};
    c.StdMRabF = false;
    c.LoadFromXMLText(u"<lagerconfig><stduebernahmepreis val=\"x\"/><vkpeurkgtovkp val=\"4\"/>"
                      "<spean val=\"?\"/><lagerorte>A\nB\r\n\r\nC</lagerorte></lagerconfig>"_s);
    EXPECT_TRUE(c.Artikelgruppen.isEmpty()); // loading starts from the defaults
    EXPECT_TRUE(c.StdMRabF);
    EXPECT_EQ(c.StdUebernahmepreis, 1);
    EXPECT_EQ(c.VKPEurKgToVKP, 4);
    EXPECT_FALSE(c.SpEAN);
    EXPECT_EQ(c.Lagerorte, QStringList({u"A"_s, u"B"_s, QString(), u"C"_s}));

    c.LoadFromXMLText(u"<lagerconfig><stdmrabf val=\"0\"/></lagerconfig>"_s);
    EXPECT_FALSE(c.StdMRabF);

    QTemporaryDir tmp;
    c.LoadFromFile(TLagerConfig::FileNameIn(tmp.path())); // no file: defaults, no message
    EXPECT_TRUE(c.StdMRabF);
    EXPECT_FALSE(c.HasError());
}
