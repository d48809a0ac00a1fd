// While the label window is open, the main window's edit command collects labels instead of
// opening the article window.
#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "printing/ui/mod00501form9.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/support/articles.h"
#include "tests/support/scriptedinteraction.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(MainWindowLabels, EnterAndEditAddToTheOpenLabelWindowAndOpenNoEditor)
{
    ScriptedInteraction scripted;
    ScopedInteraction scope(&scripted);
    QTemporaryDir dir;
    writeArticles(dir.path(), {u"A1"_s, u"B2"_s});
    int editorOpened = 0;
    MainWindowContext c;
    c.etcDir = dir.path();
    c.showArticleWindow = [&](TLagerServerObj &, bool) { return ++editorOpened, false; };
    TMOD00501Form1 window(std::move(c));
    window.attachStock(nullptr, nullptr,
                       new TLagerAnzeigenFrame(&window, dir.path(), IniFile(), 0, u"Ich"_s));
    window.show();
    window.stockList()->selectAll();

    window.showLabelWindow();
    ASSERT_TRUE(window.labelWindow()->isVisible());
    QTest::keyClick(window.stockList(), Qt::Key_Return);
    EXPECT_EQ(window.labelWindow()->Articles().size(), 2u);
    window.findChild<QPushButton *>(u"btEditArtikel"_s)->click();
    EXPECT_EQ(window.labelWindow()->Articles().size(), 4u);
    EXPECT_EQ(editorOpened, 0);

    // Closed again, edit edits.
    window.labelWindow()->close();
    window.findChild<QPushButton *>(u"btEditArtikel"_s)->click();
    EXPECT_EQ(editorOpened, 1);
    EXPECT_EQ(window.labelWindow()->Articles().size(), 4u);
}
