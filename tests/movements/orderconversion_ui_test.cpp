// The table's button "In einen Lagerartikel umwandeln" works on free lines only, and a
// converted row shows its new article at once.
#include "movements/ui/mod00501form8.h"
#include "ordering/bestellserverobj.h"
#include "tests/support/scriptedinteraction.h"

#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(OrderTableDialog, ConvertsTheFocusedFreeLine)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    TBestellServerObj order;
    TBestellartikel &stock = order.Artikel.Add(TBestellartikel{});
    stock.Typ = u"N"_s;
    stock.Menge = 4;
    TBestellartikel &free = order.Artikel.Add(TBestellartikel{});
    free.Typ = u"F"_s;
    free.Menge = 3;
    free.Zugangsmenge = 2.5;

    TMOD00501Form8 dialog({}, {}, nullptr);
    dialog.Setup(order);
    QTreeWidget *tree = dialog.Tree();
    tree->setCurrentItem(tree->topLevelItem(1));
    EXPECT_FALSE(dialog.ConvertButton()->isEnabled()); // no conversion given

    bool agree = false;
    int asked = 0;
    dialog.SetConvertLine([&](TBestellServerObj &, TBestellartikel &line) {
        ++asked;
        if (!agree)
            return false;
        line.Lagerartikel = std::make_unique<TLagerServerObj>();
        line.Lagerartikel->LagerArtikelNr = u"EV-1"_s;
        line.ArtikelNr = u"EV-1"_s;
        line.Typ = u"N"_s;
        return true;
    });
    EXPECT_TRUE(dialog.ConvertButton()->isEnabled());
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_FALSE(dialog.ConvertButton()->isEnabled());
    dialog.ConvertRow(0); // a stock line is not offered
    EXPECT_EQ(asked, 0);

    tree->setCurrentItem(tree->topLevelItem(1));
    dialog.ConvertButton()->click();
    EXPECT_EQ(std::tuple(asked, int(ui.alerts.size())), std::tuple(1, 0));

    agree = true;
    dialog.ConvertButton()->click();
    EXPECT_EQ(tree->topLevelItem(1)->text(2), u"EV-1"_s);
    EXPECT_EQ(tree->topLevelItem(1)->text(5), u"2"_s); // stock lines take whole units
    EXPECT_FALSE(dialog.ConvertButton()->isEnabled());
    EXPECT_EQ(ui.alerts.size(), 1);
}
