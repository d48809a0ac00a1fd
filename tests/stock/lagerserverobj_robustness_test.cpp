// Bad XMLDATA never takes the program down: whatever the bytes, a load ends, keeps what it
// could read and reports the rest. These run under the sanitizers in CI as well.
#include "stock/lagerserverobj.h"
#include "tests/support/scriptedinteraction.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
QByteArray fullDocument()
{
    QFile f(QStringLiteral(STOCK_TESTS_DIR "/stock/data/lagerartikel_full.xml"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void load(TLagerServerObj &obj, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    obj.LoadFromStream(&buffer);
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

class ArticleRobustness : public ::testing::Test
{
protected:
    ScriptedInteraction ui; // parse reports land here instead of in message boxes
    ScopedInteraction scope{&ui};
};
} // namespace

TEST_F(ArticleRobustness, TruncatedDocumentsKeepTheirPrefix)
{
    const QByteArray full = fullDocument();
    ASSERT_FALSE(full.isEmpty());
    const qsizetype complete = full.lastIndexOf(utf16(u"</lagerartikel>"_s)) + 30;
    const qsizetype ainfoStart = full.indexOf(utf16(u"<ainfo"_s));
    // expat may hold a complete tag back until it sees what follows; one line later it is out.
    const qsizetype ainfoSurelyRead = full.indexOf(utf16(u"<lt>"_s));
    TLagerServerObj obj;
    for (qsizetype n = 0; n <= full.size(); ++n) {
        load(obj, full.left(n));
        // Half a UTF-16 code unit at the end is an error too.
        EXPECT_EQ(obj.HasError(), n > 0 && (n < complete || n % 2 == 1)) << n;
        if (n >= ainfoSurelyRead) {
            EXPECT_EQ(obj.Gewicht, 2.5) << n;
        } else if (n <= ainfoStart + 10) {
            EXPECT_EQ(obj.Gewicht, 0.0) << n;
        }
    }
}

TEST_F(ArticleRobustness, ForeignBytesAndWrongEncodingsAreRefused)
{
    const QByteArray inputs[] = {
        QByteArray("x"),
        QByteArray("{\"lagerartikel\": 1}"),
        QByteArray("\xFF\xFE<\0", 4),
        QByteArray("\0\0\0\0\0\0", 6),
        // UTF-8 bytes under a UTF-16 byte-order mark.
        QByteArray("\xFF\xFE<lagerartikel><ainfo gew=\"1\" /></lagerartikel>"),
        // Latin-1 umlauts in a document that claims UTF-8.
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><lagerartikel cby=\"M\xFCller\"/>"),
        // An unpaired surrogate in UTF-16.
        QByteArray("\xFF\xFE<\0l\0t\0>\0\x00\xD8<\0/\0l\0t\0>\0", 20),
        QByteArray("<lagerartikel><![CDATA[ never closed"),
        QByteArray("<!DOCTYPE x [<!ENTITY a \"&a;&a;\">]><lagerartikel>&a;</lagerartikel>"),
    };
    TLagerServerObj obj;
    for (const QByteArray &bytes : inputs) {
        load(obj, bytes);
        EXPECT_TRUE(obj.HasError()) << bytes.toHex().toStdString();
        EXPECT_EQ(obj.Gewicht, 0.0);
    }
    EXPECT_EQ(ui.messages.size(), std::size(inputs));
}

TEST_F(ArticleRobustness, HugeValuesAreReadWithoutFuss)
{
    const QString digits(2'000'000, u'7');
    const QString name(1'000'000, u'N');
    TLagerServerObj obj;
    ASSERT_TRUE(obj.LoadFromXMLText(
        u"<lagerartikel cby=\"%1\"><ainfo gew=\"%2\" ufme=\"%1\" />"
        u"<pinfo pe=\"%2\" vkp1=\"%2\" /><lt>%1</lt></lagerartikel>"_s.arg(name, digits)));
    EXPECT_FALSE(obj.HasError());
    EXPECT_EQ(obj.CreatedBy.size(), name.size());
    EXPECT_EQ(obj.Langtext.size(), name.size());
    EXPECT_TRUE(std::isinf(obj.Gewicht) || obj.Gewicht == 0); // out of range, but no crash
    EXPECT_EQ(obj.PE, 1);
}

TEST_F(ArticleRobustness, DeepUnknownNestingIsBoundedAndShallowNestingIgnored)
{
    QString deep = u"<lagerartikel>"_s;
    for (int i = 0; i < 200'000; ++i)
        deep += u"<x>";
    TLagerServerObj obj;
    obj.LoadFromXMLText(deep);
    EXPECT_TRUE(obj.HasError());

    QString nested = u"<lagerartikel>"_s;
    for (int i = 0; i < 1000; ++i)
        nested += u"<x a=\"1\"><lt>";
    for (int i = 0; i < 1000; ++i)
        nested += u"</lt></x>";
    nested += u"<ainfo gew=\"3\" /></lagerartikel>";
    ASSERT_TRUE(obj.LoadFromXMLText(nested));
    EXPECT_FALSE(obj.HasError());
    EXPECT_EQ(obj.Gewicht, 3.0);
    EXPECT_TRUE(obj.Langtext.isEmpty());
}

TEST_F(ArticleRobustness, EndTagsWithoutTheirStartChangeNothing)
{
    // A dsnobj end whose start was an unknown element must not touch a missing extra value.
    TLagerServerObj obj;
    obj.LoadFromXMLText(u"<lagerartikel><mindb>x<dsnobj/>y</mindb></lagerartikel>"_s);
    EXPECT_FALSE(obj.HasError());
    EXPECT_EQ(obj.Zusatzdaten.Count(), 1);
    EXPECT_TRUE(obj.MindestBestand.isEmpty());
}
