#include "stock/lagerconfig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

QByteArray utf16le(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(LagerConfig, WrittenDocumentByteForByte)
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
    const QString expected =
        u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
        "<lagerconfig>\r\n"
        "  <artikelgruppen>Rohre&#13;&#10;Fittings&#13;&#10;</artikelgruppen>\r\n"
        "  <lagerorte>Regal &lt;A&gt;&#13;&#10;</lagerorte>\r\n"
        "  <pnk></pnk>\r\n"
        "  <rabattgruppe id=\"R1\">Kupfer &amp; Messing</rabattgruppe>\r\n"
        "  <rabattgruppe id=\"R1\">doppelt</rabattgruppe>\r\n"
        "  <stduebernahmepreis val=\"1\" />\r\n"
        "  <vkpeurkgtovkp val=\"3\" />\r\n"
        "  <stdmrabf val=\"-1\" />\r\n"
        "  <spean val=\"-1\" />\r\n"
        "  <vars val=\"0\" />\r\n"
        "</lagerconfig>\r\n"_s;
    EXPECT_EQ(readFile(path), utf16le(expected));

    TLagerConfig back;
    back.LoadFromFile(path);
    EXPECT_FALSE(back.HasError()) << back.ErrorText().toStdString();
    EXPECT_EQ(back.Artikelgruppen, c.Artikelgruppen);
    EXPECT_EQ(back.Lagerorte, c.Lagerorte);
    EXPECT_TRUE(back.Pnk.isEmpty());
    ASSERT_EQ(back.Rabattgruppen.Count(), 2);
    EXPECT_EQ(back.Rabattgruppen.ValueOf(u"R1"_s), u"Kupfer & Messing"_s);
    EXPECT_EQ(back.Rabattgruppen[1].Value, u"doppelt"_s);
    EXPECT_EQ(back.VKPEurKgToVKP, 3);
    EXPECT_TRUE(back.SpEAN);
    EXPECT_TRUE(back.StdMRabF);
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
