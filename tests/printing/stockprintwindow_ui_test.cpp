// "[0501 - 10] - Drucken" on the offscreen platform: what it offers, what it refuses on OK and
// what it keeps for the next print.
#include "printing/ui/mod00501form10.h"
#include "tests/support/installation.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace
{
class StockPrintWindow : public GeneratedInstallation
{
protected:
    StockPrintContext context() const
    {
        StockPrintContext c;
        c.groups = {u"Rohre"_s, u"Fittings"_s};
        c.places = {u"R01"_s};
        c.formsDir = root + u"DATA/DEMO/ETC/FORMS/de_DE"_s;
        c.settingsFile = tmp.filePath(u"MOD00501.INI"_s);
        c.chooseForm = [](QWidget *, const QString &) { return u"Lagerliste Querformat"_s; };
        return c;
    }
};
} // namespace

TEST_F(StockPrintWindow, OkWantsALayoutSetThenAFormAndKeepsBothForTheNextPrint)
{
    {
        TMOD00501Form10 w(context());
        // No filter unless chosen: an empty entry before the configured groups and places.
        EXPECT_EQ(w.GroupBox()->itemText(0) + w.PlaceBox()->itemText(0), QString());
        EXPECT_EQ(w.DateField()->date(), QDate::currentDate());
        w.accept();
        EXPECT_EQ(w.result(), QDialog::Rejected);
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].text.startsWith(u"Sie muessen ein Drucklayout auswaehlen!"_s));

        w.LayoutSets()->setCurrentRow(0);
        w.accept();
        EXPECT_EQ(w.result(), QDialog::Rejected);
        ASSERT_EQ(ui.messages.size(), 2);
        EXPECT_TRUE(ui.messages[1].text.startsWith(u"Sie muessen ein Formular auswaehlen!"_s));
        EXPECT_EQ(w.focusWidget(), w.FormField());

        w.ChooseForm();
        w.GroupBox()->setCurrentIndex(1);
        w.OnlyStockButton()->setChecked(true);
        w.FirstPageField()->setText(u"3"_s);
        w.accept();
        EXPECT_EQ(w.result(), QDialog::Accepted);
        const TLagerDruckAuswahl c = w.Choice();
        EXPECT_EQ(c.Group, u"Rohre"_s);
        EXPECT_EQ(c.Place, QString());
        EXPECT_TRUE(c.OnlyStock);
        EXPECT_EQ(c.Form, u"Lagerliste Querformat"_s);
        EXPECT_EQ(c.LayoutSet, u"Lagerliste"_s);
        EXPECT_EQ(c.FirstPage, u"3"_s);
    }
    TMOD00501Form10 again(context());
    EXPECT_EQ(again.FormField()->text(), u"Lagerliste Querformat"_s);
    ASSERT_NE(again.LayoutSets()->currentItem(), nullptr);
    EXPECT_EQ(again.Choice().LayoutSet, u"Lagerliste"_s);
    // Filters and page number are chosen afresh each time.
    EXPECT_EQ(again.Choice().Group, QString());
    EXPECT_EQ(again.Choice().FirstPage, QString());
}
