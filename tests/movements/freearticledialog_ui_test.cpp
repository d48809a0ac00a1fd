#include "movements/ui/mod00501form6.h"
#include "tests/support/scriptedinteraction.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// "Weiter" books at the net price, while a new stock article gets the price as entered,
// because it applies the discount itself; mixing them up charges the discount twice.
TEST(FreeArticleDialog, EachChoiceReturnsThePriceItsBookingWants)
{
    const struct {
        int choice;
        double price;
    } cases[] = {{OrderReceiptCommand::BookFree, 18.00},
                 {OrderReceiptCommand::BookAsNewArticle, 20.00}};
    for (const auto &c : cases) {
        TMOD00501Form6 dialog;
        OrderReceiptCommand::FreeReceipt io{4, Money::fromDouble(20.00), u"Ventil"_s, u"FR-7"_s,
                                            10};
        dialog.Setup(io);
        EXPECT_EQ(dialog.findChild<QLabel *>(u"lbBestellmenge"_s)->text(), u"Bestellmenge : 4"_s);
        dialog.findChild<QLineEdit *>(u"edZugangsmenge"_s)->setText(u"3"_s);
        ASSERT_EQ(dialog.Finish(c.choice, io), c.choice);
        EXPECT_EQ(io.quantity, 3);
        EXPECT_EQ(io.price, Money::fromDouble(c.price)) << c.choice;
        EXPECT_EQ(io.discount, 10);
    }
}

TEST(FreeArticleDialog, ANegativeQuantityKeepsItOpen)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    TMOD00501Form6 dialog;
    OrderReceiptCommand::FreeReceipt io{4, Money::fromDouble(20.00), {}, {}, 0};
    dialog.Setup(io);
    dialog.findChild<QLineEdit *>(u"edZugangsmenge"_s)->setText(u"-1"_s);
    EXPECT_EQ(dialog.Finish(OrderReceiptCommand::BookFree, io), OrderReceiptCommand::FreeCancelled);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Geben Sie eine positive Zugangsmenge an!"_s);
    EXPECT_EQ(io.quantity, 4);
}

} // namespace
