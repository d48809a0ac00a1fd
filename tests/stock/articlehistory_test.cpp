#include "stock/articlecommands.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/stock/stocktest.h"
#include "tests/support/articles.h"

namespace
{
// New and copied articles start their booking history with their opening stock; a new
// article whose window was cancelled leaves none, since its row goes again.
TEST(ArticleHistory, NewAndCopiedArticlesOpenTheirHistory)
{
    QTemporaryDir dir;
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    writeArticles(dir.path(), {u"SRC"_s}, [](TLagerServerObj &a) { a.BuchungsBestand = 4; });
    IModLagerDBServerObj db;
    db.Open(dir.path());

    bool confirm = true;
    ArticleCommands commands(db, dir.path() + u'/', u"Ich"_s,
                             {[] { return u"SRC"_s; }, [](const TLagerServerObj &) {},
                              [](const QString &) {},
                              [&confirm](TLagerServerObj &, bool) { return confirm; }});
    ui.inputs = {u"NEU"_s, u"KOPIE"_s};
    ASSERT_TRUE(commands.NewArticle());
    ASSERT_TRUE(commands.CopyArticle());
    confirm = false;
    ui.inputs = {u"WEG"_s};
    EXPECT_FALSE(commands.NewArticle());

    const auto rows = [&db](const QString &nr) {
        TLagerBuchungList list;
        EXPECT_EQ(db.ReadBookings(nr, list), 0);
        return list;
    };
    ASSERT_EQ(rows(u"NEU"_s).size(), 1);
    EXPECT_EQ(rows(u"NEU"_s)[0].Art, TLagerBuchung::Opening);
    ASSERT_EQ(rows(u"KOPIE"_s).size(), 1);
    const TLagerBuchung copy = rows(u"KOPIE"_s)[0];
    EXPECT_EQ(std::tuple(copy.Art, copy.BestandVorher, copy.BestandNachher),
              std::tuple(int(TLagerBuchung::Copy), 0.0, 4.0));
    EXPECT_TRUE(rows(u"WEG"_s).isEmpty());
    EXPECT_TRUE(rows(u"SRC"_s).isEmpty());
}
} // namespace
