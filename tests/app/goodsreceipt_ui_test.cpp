#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/support/articles.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// Command 101 from the main window, its receipt dialog answered by the test: each receipt
// adds 5 units and leaves the supplier the next receipt starts with.
TEST(MainWindowReceipt, BooksTheSelectedArticleAndKeepsTheSupplierText)
{
    ScriptedInteraction scripted;
    ScopedInteraction scope(&scripted);
    QTemporaryDir dir;
    QStringList suppliersSeen;
    bool mayBook = false;
    MainWindowContext c;
    c.hasRight = [&mayBook](const QString &r) { return r != u"44" || mayBook; };
    c.receiveGoods = [&](TLagerServerObj &article, const std::vector<const TLagerArtikelDaten *> &,
                         QString &supplier) {
        suppliersSeen.append(supplier);
        supplier = u"L-%1"_s.arg(suppliersSeen.size());
        article.BuchungsBestand += 5;
        return true;
    };
    TMOD00501Form1 window(c);
    writeArticles(dir.path(), {u"A1"_s});
    window.attachStock(nullptr, nullptr,
                       new TLagerAnzeigenFrame(&window, dir.path(), IniFile(), 0, u"Ich"_s));
    window.stockList()->selectAll();

    window.receiveGoods();
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_EQ(scripted.messages[0].text, u"Sie sind nicht berechtigt, Artikel zu buchen!"_s);
    EXPECT_TRUE(suppliersSeen.isEmpty());

    mayBook = true;
    window.receiveGoods();
    window.receiveGoods();
    EXPECT_EQ(suppliersSeen, (QStringList{QString(), u"L-1"_s}));
    IModLagerDBServerObj db;
    db.Open(dir.path());
    TLagerServerObj a;
    a.LagerArtikelNr = u"A1"_s;
    ASSERT_EQ(db.ReadArticle(&a), 0);
    EXPECT_EQ(a.BuchungsBestand, 10);
    for (const TDBLagerSearchResult *shown : window.stockFrame()->DisplayedList())
        EXPECT_EQ(shown->Info().Bestand, 10); // the row was refreshed
}

} // namespace
