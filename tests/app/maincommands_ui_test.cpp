// The booking commands of the main window's functions menu: each checks its right before
// anything opens, and with it reaches its road with the logged-on client's directories. What
// the roads then do is tested with the commands themselves.
#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "stock/dblagersearchresult.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/articles.h"
#include "tests/support/installation.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// The client's stock holds A1, a plain article with 5 in stock, selected in the list.
class MainCommands : public GeneratedInstallation
{
protected:
    void SetUp() override
    {
        GeneratedInstallation::SetUp();
        ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"admin"_s));
        stockDir = TSystemEinstellungen::instance().LagerDir;
        writeArticles(stockDir, {u"A1"_s}, [](TLagerServerObj &a) { a.BuchungsBestand = 5; });
    }

    // The window with every right but the one missing.
    std::unique_ptr<TMOD00501Form1> window(const QString &missingRight)
    {
        MainWindowContext c;
        c.hasRight = [missingRight](const QString &right) { return right != missingRight; };
        c.editContext.stockDir = stockDir;
        c.userFullName = u"Administrator"_s;
        c.chooseOrder = [this](const QString &orderDir) {
            orderDirs.append(orderDir);
            return u"B2026-GIBTESNICHT"_s;
        };
        c.receiveGoods = [this](TLagerServerObj &article,
                                const std::vector<const TLagerArtikelDaten *> &,
                                QString &supplier) {
            suppliersSeen.append(supplier);
            supplier = u"L-%1"_s.arg(suppliersSeen.size());
            article.BuchungsBestand += 5;
            return true;
        };
        auto w = std::make_unique<TMOD00501Form1>(c);
        w->attachStock(nullptr, nullptr,
                       new TLagerAnzeigenFrame(w.get(), stockDir, IniFile(), 0, u"Ich"_s));
        w->stockList()->selectAll();
        return w;
    }

    static void trigger(TMOD00501Form1 &w, const char *entry)
    {
        QAction *action = w.functionsMenu()->findChild<QAction *>(QString::fromLatin1(entry));
        ASSERT_TRUE(action) << entry;
        action->trigger();
    }

    QString stockDir;
    QStringList orderDirs;
    QStringList suppliersSeen;
};

} // namespace

TEST_F(MainCommands, MissingRightRefusesBeforeAnythingOpens)
{
    const struct {
        const char *entry;
        const char16_t *right;
        const char16_t *refusal;
    } cases[] = {
        {"miZugangBestEinz", u"44", u"Sie sind nicht berechtigt, Artikel zu buchen!"},
        {"miZugangBestTab", u"44", u"Sie sind nicht berechtigt, Artikel zu buchen!"},
        {"miZugangEinzeln", u"44", u"Sie sind nicht berechtigt, Artikel zu buchen!"},
        {"pmFuncEditBestand", u"42", u"Sie sind nicht berechtigt, Artikel zu bearbeiten!"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry);
        ui.messages.clear();
        trigger(*window(QString::fromUtf16(c.right)), c.entry);
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, QString::fromUtf16(c.refusal));
    }
    EXPECT_TRUE(orderDirs.isEmpty() && suppliersSeen.isEmpty());
}

// The order roads open the client's order table and look for the chosen order there.
TEST_F(MainCommands, OrderRoadsLookInTheClientsOrderTable)
{
    for (const char *entry : {"miZugangBestEinz", "miZugangBestTab"}) {
        SCOPED_TRACE(entry);
        ui.messages.clear();
        orderDirs.clear();
        trigger(*window({}), entry);
        EXPECT_EQ(orderDirs, QStringList{TSystemEinstellungen::instance().BestellwesenDir});
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, u"Bestellung \"B2026-GIBTESNICHT\" nicht gefunden."_s);
    }
}

// Each receipt starts with the supplier the one before left; the row shows the booked stock.
TEST_F(MainCommands, ReceiptBooksTheSelectedArticleAndKeepsTheSupplierText)
{
    const auto w = window({});
    trigger(*w, "miZugangEinzeln");
    trigger(*w, "miZugangEinzeln");
    EXPECT_EQ(suppliersSeen, (QStringList{QString(), u"L-1"_s}));
    IModLagerDBServerObj db;
    db.Open(stockDir);
    EXPECT_EQ(db.GetArticleValue(u"A1"_s, u"BuchungsBestand"_s), 15);
    ASSERT_EQ(w->stockFrame()->DisplayedList().Count(), 1);
    EXPECT_EQ(w->stockFrame()->DisplayedList()[0]->Info().Bestand, 15);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// Viewing serial numbers needs no right; an article without them gets the short notice.
TEST_F(MainCommands, SerialViewOfAPlainArticleOnlyAlerts)
{
    trigger(*window(u"42"_s), "SeriennummernzumLagerartikel1");
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].text, u"Keine Seriennummern vorhanden."_s);
    EXPECT_TRUE(ui.messages.isEmpty());
}
