#include "movements/ui/lsnform1.h"
#include "movements/ui/mod00501form4.h"
#include "movements/ui/mod00501form7.h"
#include "movements/ui/mod00512form2.h"
#include "ordering/customeraddress.h"
#include "stock/lagerserverobj.h"
#include "tests/movements/movementtests.h"
#include "tests/support/scriptedinteraction.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

using MovementTests::child;

void pressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

QStringList column(QTableWidget *grid, int c)
{
    QStringList cells;
    for (int row = 0; row < grid->rowCount(); ++row)
        cells.append(grid->item(row, c)->text());
    return cells;
}

TSeriennummerObjectList serials(const QStringList &numbers, const QString &nr = u"SER"_s)
{
    TSeriennummerObjectList list;
    for (const QString &n : numbers) {
        TSeriennummer &s = list.Add();
        s.SN = n;
        s.LagerArtikelNr = nr;
        s.INFO = n.isEmpty() ? QString() : u"Info "_s + n;
    }
    return list;
}

class MovementDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TMOD00501Form4::ForgetPassword();
        article.LagerArtikelNr = u"SER"_s;
        article.Bezeichnung = u"Kessel"_s;
        article.BuchungsBestand = 5;
        article.SNPflicht = true;
        article.LetzteSeriennummer = u"SN0099"_s;
    }
    QStringList shownTexts() const { return MovementTests::texts(ui); }

    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    TLagerArtikelDaten article;
    const std::function<bool(const QString &)> check = [](const QString &p) {
        return p == u"geheim"_s;
    };
};

} // namespace

TEST_F(MovementDialogs, StockChangeNeedsThePasswordAndRemembersIt)
{
    TMOD00501Form4 dialog(check);
    dialog.Setup(article);
    dialog.show();
    auto *stock = child<QLineEdit>(dialog, u"edBestand"_s);
    auto *password = child<QLineEdit>(dialog, u"edPasswort"_s);
    auto *ok = child<QPushButton>(dialog, u"btOK"_s);
    EXPECT_EQ(stock->text(), u"5"_s);

    // Enter walks from the stock to the password and on to OK without pressing it
    stock->setText(u"7,5"_s);
    pressEnter(stock);
    EXPECT_EQ(dialog.focusWidget(), password);
    password->setText(u"falsch"_s);
    pressEnter(password);
    EXPECT_EQ(dialog.focusWidget(), ok);
    EXPECT_TRUE(dialog.isVisible());

    ok->click();
    EXPECT_EQ(shownTexts(), QStringList{u"Falsches Passwort."_s});
    EXPECT_EQ(dialog.focusWidget(), password);

    stock->setText(u"7.5.1"_s);
    password->setText(u"geheim"_s);
    ok->click();
    EXPECT_EQ(ui.messages.last().text, u"\"7.5.1\" ist keine gueltige Menge."_s);
    EXPECT_TRUE(dialog.isVisible());

    stock->setText(u" 7,5 "_s);
    ok->click();
    double changed = 0;
    ASSERT_TRUE(dialog.Changed(changed));
    EXPECT_EQ(changed, 7.5);

    // the next dialog of the run proposes the password; the unchanged stock is no change
    TMOD00501Form4 next(check);
    next.Setup(article);
    next.show();
    EXPECT_EQ(child<QLineEdit>(next, u"edPasswort"_s)->text(), u"geheim"_s);
    child<QPushButton>(next, u"btOK"_s)->click();
    EXPECT_FALSE(next.Changed(changed));
}

TEST_F(MovementDialogs, EntryInputProposesTheNextNumberRowByRow)
{
    TMOD00501Form7 dialog([] {
        auto address = std::make_unique<TCustomerAddress>();
        address->Id = u"1047"_s;
        return address;
    });
    dialog.Setup(serials({u""_s, u""_s, u""_s}), article, false, {}, u"  "_s);
    dialog.show();
    auto *input = child<QLineEdit>(dialog, u"edEingabe"_s);
    auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
    EXPECT_EQ(input->text(), u"SN0100"_s);

    pressEnter(input);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(input->text(), u"SN0101"_s);
    input->setText(u"  X7 "_s);
    pressEnter(input);
    EXPECT_EQ(input->text(), u"X8"_s);
    pressEnter(input);
    EXPECT_EQ(column(grid, 0), (QStringList{u"SN0100"_s, u"X7"_s, u"X8"_s}));
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), child<QPushButton>(dialog, u"btOK"_s));

    grid->item(1, 1)->setText(u"  Kratzer "_s); // edited texts are trimmed
    child<QPushButton>(dialog, u"btLieferant"_s)->click();
    EXPECT_EQ(child<QLineEdit>(dialog, u"edLieferant"_s)->text(), u"1047"_s);
    child<QLineEdit>(dialog, u"edLieferant"_s)->setText(u" 1047_2 "_s);
    child<QPushButton>(dialog, u"btOK"_s)->click();
    TSeriennummerObjectList result;
    QString supplier;
    ASSERT_TRUE(dialog.Finish(result, supplier));
    EXPECT_EQ(
        std::tuple(supplier, result.JoinedText(), result.Item(1).INFO, result.Item(2).LIEFERANT),
        std::tuple(u"1047_2"_s, u"SN0100 X7 X8"_s, u"Kratzer"_s, u"1047_2"_s));
}

// Which entries are refused is the entry check's own table; here only that the dialog asks it
// with its check box and keeps itself open for everything but the back button.
TEST_F(MovementDialogs, EntryChecksEveryClosingButTheBackButton)
{
    for (const bool checkDuplicates : {false, true}) {
        SCOPED_TRACE(checkDuplicates);
        ui.messages.clear();
        TMOD00501Form7 dialog;
        dialog.Setup(serials({u""_s, u""_s}), article, true, {u"S3"_s}, QString());
        dialog.show();
        auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
        grid->item(0, 0)->setText(u"S3"_s);
        grid->item(1, 0)->setText(u"A2"_s);
        child<QCheckBox>(dialog, u"cbDoppelt"_s)->setChecked(checkDuplicates);
        child<QPushButton>(dialog, u"btOK"_s)->click();
        TSeriennummerObjectList result;
        QString supplier;
        if (!checkDuplicates) {
            EXPECT_TRUE(ui.messages.isEmpty());
            EXPECT_TRUE(dialog.Finish(result, supplier));
            continue;
        }
        EXPECT_EQ(shownTexts(), QStringList{u"Ein Artikel mit der Seriennummer \"S3\" ist bereits "
                                            u"im Lager vorhanden."_s});
        dialog.reject(); // Esc and the window's close button are checked as well
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(ui.messages.size(), 2);
        child<QPushButton>(dialog, u"btZurueck"_s)->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Finish(result, supplier));
    }
}

TEST_F(MovementDialogs, SelectionKeepsTheFocusInTheSearchField)
{
    TMOD00512Form2 dialog;
    dialog.Setup(article, serials({u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s}), 2, true);
    dialog.show();
    auto *search = child<QLineEdit>(dialog, u"edSuche"_s);
    auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
    auto *needed = child<QLabel>(dialog, u"lbErforderlich"_s);

    QTest::keyClicks(search, u" S3"_s);
    EXPECT_EQ(grid->currentRow(), 2);
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(dialog.focusWidget(), search);
    pressEnter(search);
    EXPECT_EQ(needed->text(), u"1 weitere Seriennummern erforderlich."_s);
    EXPECT_EQ(search->selectedText(), u" S3"_s);

    pressEnter(search); // S4 again
    EXPECT_EQ(shownTexts(),
              QStringList{u"Diese Seriennummer ist bereits in der Auswahlliste enthalten."_s});
    child<QPushButton>(dialog, u"btOK"_s)->click();
    EXPECT_EQ(ui.messages.last().text, u"Die Anzahl der ausgewaehlten Seriennummern stimmt "
                                       u"nicht mit der angegebenen Menge ueberein."_s);
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClick(search, Qt::Key_Up);
    QTest::keyClick(search, Qt::Key_Up);
    pressEnter(search); // S2
    EXPECT_EQ(needed->text(), u"0 weitere Seriennummern erforderlich."_s);
    pressEnter(search); // complete: Enter confirms
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Chosen().JoinedText(), u"S4 S2"_s);
    EXPECT_EQ(dialog.Chosen().Item(1).INFO, u"Info S2"_s);
}

TEST_F(MovementDialogs, SelectionRemovesAndF7ReturnsToTheSearch)
{
    TMOD00512Form2 dialog;
    dialog.Setup(article, serials({u"S1"_s, u"S2"_s}), 1, false);
    dialog.show();
    child<QPushButton>(dialog, u"btHinzufuegen"_s)->click();
    auto *selection = child<QTableWidget>(dialog, u"vstAuswahl"_s);
    ASSERT_EQ(selection->rowCount(), 1);
    selection->setCurrentCell(0, 0);
    child<QPushButton>(dialog, u"btEntfernen"_s)->click();
    EXPECT_EQ(selection->rowCount(), 0);
    EXPECT_EQ(child<QLabel>(dialog, u"lbErforderlich"_s)->text(),
              u"1 weitere Seriennummern erforderlich."_s);
    selection->setFocus();
    QTest::keyClick(&dialog, Qt::Key_F7);
    EXPECT_EQ(dialog.focusWidget(), child<QLineEdit>(dialog, u"edSuche"_s));
}

TEST_F(MovementDialogs, ViewUnlocksTheNumbersWithThePasswordAndPostsEdits)
{
    QStringList answers{u"falsch"_s, u"geheim"_s};
    TLSNForm1 dialog(check, [&](QString &password) {
        password = answers.takeFirst();
        return true;
    });
    QList<std::pair<QString, QString>> posted;
    bool accept = true;
    dialog.Setup(u"SER"_s, u"Kessel"_s, serials({u"S1"_s, u"S2"_s}),
                 [&](const TSeriennummer &before, const TSeriennummer &after) {
                     posted.append({before.SN + u'|' + before.INFO, after.SN + u'|' + after.INFO});
                     return accept;
                 });
    dialog.show();
    auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
    EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);

    grid->item(1, 1)->setText(u"neu "_s);
    auto *edit = child<QPushButton>(dialog, u"btBearbeiten"_s);
    edit->click();
    EXPECT_FALSE(dialog.SerialNumbersEditable());
    EXPECT_EQ(ui.messages.last().text, u"Falsches Passwort."_s);
    edit->click();
    EXPECT_TRUE(dialog.SerialNumbersEditable());
    EXPECT_TRUE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(grid->item(1, 1)->text(), u"neu"_s); // the posted edit survives the unlock

    grid->item(0, 0)->setText(u"S1A"_s);
    accept = false;
    grid->item(1, 0)->setText(u"S1A"_s); // refused by the table: the cell shows S2 again
    EXPECT_EQ(column(grid, 0), (QStringList{u"S1A"_s, u"S2"_s}));
    const QList<std::pair<QString, QString>> expected{{u"S2|Info S2"_s, u"S2|neu"_s},
                                                      {u"S1|Info S1"_s, u"S1A|Info S1"_s},
                                                      {u"S2|neu"_s, u"S1A|neu"_s}};
    EXPECT_EQ(posted, expected);
}
