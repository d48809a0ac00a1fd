#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/support/installation.h"
#include "tests/support/scriptedinteraction.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(MovementCommands, MainWindowChecksTheRightAndAlertsWithoutSerialNumbers)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(generateInstallation(tmp.path(), {}, {}, 30));
    const QString stockDir = tmp.filePath(u"DATA/DEMO/LAGER/"_s);

    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    MainWindowContext c;
    c.hasRight = [](const QString &right) { return right != u"42"; };
    c.editContext.stockDir = stockDir;
    TMOD00501Form1 w(c);
    w.attachStock(nullptr, nullptr, new TLagerAnzeigenFrame(&w, stockDir, IniFile(), 0, u"Ich"_s));
    const auto entry = [&w](const char *name) {
        return w.functionsMenu()->findChild<QAction *>(QString::fromLatin1(name));
    };
    entry("pmFuncEditBestand")->trigger();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Sie sind nicht berechtigt, Artikel zu bearbeiten!"_s);

    // Viewing needs no right; an article without serial numbers gets the short notice.
    const TDBLagerSearchResultObjectList &list = w.stockFrame()->DisplayedList();
    QString plain;
    for (const TDBLagerSearchResult *e : list)
        if (w.stockFrame()->Database().GetArticleValue(e->ArtikelNr().toString(), u"SNPflicht"_s) ==
            0)
            plain = e->ArtikelNr().toString();
    ASSERT_TRUE(w.stockFrame()->GotoArticle(plain));
    entry("SeriennummernzumLagerartikel1")->trigger();
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].text, u"Keine Seriennummern vorhanden."_s);
}
