#include "ordering/ui/chooseanschrift.h"
#include "tests/ordering/orderingtest.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace
{

TCustomerAnschrift anschrift(const QString &id, const QString &kind, const QString &name1,
                             bool standard)
{
    TCustomerAnschrift a;
    a.Id = id;
    a.AArt = kind;
    a.Name1 = name1;
    a.Std = standard;
    return a;
}

void fill(TCustomerAddress &address)
{
    address.Anschriften.Add(anschrift(u"1"_s, QString(), u"Hauptsitz"_s, false));
    address.Anschriften.Add(anschrift(u"2"_s, u"Lager"_s, u"Lager Süd"_s, true));
    address.Anschriften.Add(anschrift(u"3"_s, QString(), u"Rechnung"_s, false));
}

} // namespace

TEST(AnschriftRowText, JoinsIdKindNamesStreetAndTownCuttingLongNames)
{
    TCustomerAnschrift a = anschrift(u"2"_s, u"Lager"_s, u"Müller GmbH"_s, false);
    a.Name3 = u"z. Hd. Frau Groß"_s;
    a.Strasse = u"Königstr. 1"_s;
    a.Land = u"D"_s;
    a.Plz = u"70173"_s;
    a.Ort = u"Stuttgart"_s;
    EXPECT_EQ(AnschriftRowText(a),
              u"2 - Lager, Müller GmbH, z. Hd. Frau Groß, Königstr. 1, D-70173 Stuttgart"_s);
    EXPECT_EQ(AnschriftRowText(anschrift(u"7"_s, QString(), QString(), false)), u"7"_s);

    // Names longer than 35 characters are cut.
    const QString exact(35, u'x');
    TCustomerAnschrift b = anschrift(u"1"_s, QString(), exact, false);
    b.Name2 = exact + u"ü"_s;
    EXPECT_EQ(AnschriftRowText(b), u"1, "_s + exact + u", "_s + exact + u"..."_s);
}

TEST(ChooseAnschriftDialog, ListsEveryPostalAddressAndOkNeedsAChosenRow)
{
    ScriptedInteraction script;
    ScopedInteraction scope(&script);
    TCustomerAddress address;
    fill(address);
    TChooseAnschriftDialog dialog(address, u"Müller"_s);
    ASSERT_EQ(dialog.List()->count(), 3);

    dialog.show();
    dialog.Buttons()->button(QDialogButtonBox::Ok)->click();
    ASSERT_EQ(script.messages.size(), 1);
    EXPECT_EQ(script.messages[0].text, u"Waehlen Sie eine Anschrift fuer \"Müller\"."_s);
    EXPECT_TRUE(dialog.isVisible());

    dialog.List()->setCurrentRow(2);
    dialog.Buttons()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(std::tuple(dialog.result(), dialog.ChosenIndex()),
              std::tuple(int(QDialog::Accepted), 2));
}

TEST(ChooseAnschriftDialog, ModalChoiceByDoubleClickOrCancel)
{
    TCustomerAddress address;
    fill(address);
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<TChooseAnschriftDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        emit dialog->List()->itemDoubleClicked(dialog->List()->item(1));
    });
    EXPECT_EQ(ChooseAnschrift(address, u"Müller"_s), 1);

    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<TChooseAnschriftDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->List()->setCurrentRow(0);
        dialog->Buttons()->button(QDialogButtonBox::Cancel)->click();
    });
    TQtAnschriftChooser chooser;
    EXPECT_EQ(chooser.Choose(address, u"Müller"_s), -1);
}
