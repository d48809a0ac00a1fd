#include "movements/ui/mod00501form6.h"
#include "movements/ui/mod00501form8.h"
#include "ordering/bestellserverobj.h"
#include "stock/seriennummer.h"
#include "tests/support/scriptedinteraction.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// "Weiter" books at the net price, while a new stock article gets the price as entered,
// because it applies the discount itself; mixing them up charges the discount twice. A
// negative quantity keeps the dialog open.
TEST(FreeArticleDialog, EachChoiceReturnsThePriceItsBookingWants)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    const struct {
        int choice;
        const char16_t *typed;
        int result;
        double quantity, price;
    } cases[] = {
        {OrderReceiptCommand::BookFree, u"3", OrderReceiptCommand::BookFree, 3, 18.00},
        {OrderReceiptCommand::BookAsNewArticle, u"3", OrderReceiptCommand::BookAsNewArticle, 3,
         20.00},
        {OrderReceiptCommand::BookFree, u"-1", OrderReceiptCommand::FreeCancelled, 4, 20.00}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.choice);
        TMOD00501Form6 dialog;
        OrderReceiptCommand::FreeReceipt io{4, Money::fromDouble(20.00), u"Ventil"_s, u"FR-7"_s,
                                            10};
        dialog.Setup(io);
        dialog.findChild<QLineEdit *>(u"edZugangsmenge"_s)->setText(QString::fromUtf16(c.typed));
        EXPECT_EQ(dialog.Finish(c.choice, io), c.result);
        EXPECT_EQ(std::tuple(io.quantity, io.price, io.discount),
                  std::tuple(c.quantity, Money::fromDouble(c.price), 10.0));
    }
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Geben Sie eine positive Zugangsmenge an!"_s);
}

// The table over a stock line (10 ordered, 4 delivered) of a serial-number article and a
// text line: typed cells are clamped and shown again, OK waits for the serial numbers.
TEST(OrderTableDialog, CellsAndSerialNumbers)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    TBestellServerObj order;
    order.BestellNr = u"B-1"_s;
    TBestellartikel &stock = order.Artikel.Add(TBestellartikel{});
    stock.Typ = u"N"_s;
    stock.Menge = 10;
    stock.Geliefert = 4;
    stock.Zugangsmenge = 6;
    stock.Lagerartikel = std::make_unique<TLagerServerObj>();
    stock.Lagerartikel->LagerArtikelNr = u"SER"_s;
    stock.Lagerartikel->SNPflicht = true;
    order.Artikel.Add(TBestellartikel{}).Typ = u"T"_s;

    int asked = 0;
    TMOD00501Form8 dialog(
        [&asked](TSeriennummerObjectList &serials, const TLagerArtikelDaten &, const QStringList &,
                 QString &) {
            asked = int(serials.Count());
            serials.Item(0).SN = u"S-1"_s; // the second one left empty
            return true;
        },
        {}, nullptr);
    dialog.Setup(order);
    QTreeWidget *tree = dialog.Tree();
    EXPECT_FALSE(tree->topLevelItem(1)->flags() & Qt::ItemIsEditable);
    tree->topLevelItem(0)->setText(5, u"2,5"_s);
    EXPECT_EQ(tree->topLevelItem(0)->text(5), u"2"_s);
    tree->topLevelItem(0)->setText(6, u"JA"_s);
    EXPECT_TRUE(stock.OffeneMengeZuruecksetzen);
    EXPECT_EQ(tree->topLevelItem(0)->text(7), u"Es fehlen noch 2 Seriennummern."_s);

    dialog.EditSerials(0); // the empty entry is dropped
    EXPECT_EQ(std::tuple(asked, stock.Lagerartikel->Seriennummern->Count()), std::tuple(2, 1));
    dialog.done(QDialog::Accepted);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Es fehlen noch Seriennummern."_s);
}

// The table's button "In einen Lagerartikel umwandeln" works on free lines only, and a
// converted row shows its new article at once.
TEST(OrderTableDialog, ConvertsTheFocusedFreeLine)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    TBestellServerObj order;
    order.Artikel.Add(TBestellartikel{}).Typ = u"N"_s;
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
    dialog.ConvertButton()->click(); // refused: nothing changes

    EXPECT_EQ(std::tuple(asked, int(ui.alerts.size())), std::tuple(1, 0));
    agree = true;
    dialog.ConvertButton()->click();
    // stock lines take whole units
    EXPECT_EQ(std::tuple(tree->topLevelItem(1)->text(2), tree->topLevelItem(1)->text(5)),
              std::tuple(u"EV-1"_s, u"2"_s));
    EXPECT_FALSE(dialog.ConvertButton()->isEnabled());
    EXPECT_EQ(ui.alerts.size(), 1);
}

} // namespace
