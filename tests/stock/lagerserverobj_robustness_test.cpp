// Bad XMLDATA never takes the program down: whatever the bytes, a load ends, keeps what it
// could read and reports the rest. These run under the sanitizers in CI as well.
#include "stock/lagerserverobj.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
class ArticleRobustness : public ::testing::Test
{
protected:
    ScriptedInteraction ui; // parse reports land here instead of in message boxes
    ScopedInteraction scope{&ui};
};
} // namespace

TEST_F(ArticleRobustness, TruncatedDocumentsKeepTheirPrefix)
{
    const QByteArray full = TestDocuments::golden("stock", "lagerartikel_full.xml");
    ASSERT_FALSE(full.isEmpty());
    const qsizetype complete = full.lastIndexOf(TestDocuments::utf16(u"</lagerartikel>"_s)) + 30;
    const qsizetype ainfoStart = full.indexOf(TestDocuments::utf16(u"<ainfo"_s));
    // expat may hold a complete tag back until it sees what follows; one line later it is out.
    const qsizetype ainfoSurelyRead = full.indexOf(TestDocuments::utf16(u"<lt>"_s));
    TLagerServerObj obj;
    for (qsizetype n = 0; n <= full.size(); ++n) {
        TestDocuments::read(obj, full.left(n));
        // Half a UTF-16 code unit at the end is an error too.
        EXPECT_EQ(obj.HasError(), n > 0 && (n < complete || n % 2 == 1)) << n;
        if (n >= ainfoSurelyRead) {
            EXPECT_EQ(obj.Gewicht, 2.5) << n;
        } else if (n <= ainfoStart + 10) {
            EXPECT_EQ(obj.Gewicht, 0.0) << n;
        }
    }
}

// Foreign bytes, wrong encodings, huge values and nesting beyond any bound are the parser's
// and are met in the XML core's tests and the article reader's fuzz target.
TEST_F(ArticleRobustness, ElementsInsideUnknownOnesAreNotTheArticles)
{
    TLagerServerObj obj;
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
