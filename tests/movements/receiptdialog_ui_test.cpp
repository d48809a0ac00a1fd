#include "movements/ui/mod00501form3.h"
#include "stock/ui/lagerartikelframe1.h"
#include "tests/movements/movementtests.h"
#include "tests/support/scriptedinteraction.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

using MovementTests::child;

// The receipt dialog over an empty stock directory (default configuration), its basis kept
// in a MOD00501.INI of its own; the serial-number dialog answered by the test.
class ReceiptDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        context.stockDir = tmp.path() + u'/';
        article.LagerArtikelNr = u"A1"_s;
        article.ME = u"Stk"_s;
        article.BuchungsBestand = 10;
        article.EKPreis = Money::fromUnits(10);
        article.DEinstandsPreisbildung = true;
    }

    std::unique_ptr<TMOD00501Form3> dialog()
    {
        return std::make_unique<TMOD00501Form3>(
            context, GoodsReceipt(GoodsReceipt::Settings{}), tmp.filePath(u"MOD00501.INI"_s),
            [this](TSeriennummerObjectList &list, const TLagerArtikelDaten &,
                   const QStringList &inStock, QString &) {
                asked.append(int(list.Count()));
                known = inStock;
                for (qsizetype i = 0; i < list.Count(); ++i)
                    list.Item(i).SN = u"S%1"_s.arg(i + 1);
                return enterSerials;
            },
            [](const QString &) { return QStringList{u"OLD"_s}; });
    }

    // What OK leaves for the booking; false when the dialog books nothing.
    bool finish(TMOD00501Form3 &d)
    {
        booked = article;
        return d.Finish(booked, quantity, reset, supplier, net, &unit);
    }
    static void type(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        emit edit->editingFinished();
    }

    QTemporaryDir tmp;
    TLagerArtikelEditContext context;
    TLagerServerObj article, booked;
    double quantity = 0;
    bool reset = true;
    QString supplier;
    Money net, unit;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QList<int> asked;
    QStringList known;
    bool enterSerials = true;
};

TEST_F(ReceiptDialog, ShowsThePricesItWillStoreAndAppliesTheReceipt)
{
    auto d = dialog();
    d->Setup(article, 0, {}, u"L-1"_s, Money(), 0);
    type(child<QLineEdit>(*d, u"edZugangsmenge"_s), u"10"_s);
    type(child<QLineEdit>(*d, u"edRabatt"_s), u"10"_s);
    type(child<QLineEdit>(*d, u"edEinkaufspreis"_s), u"13,33"_s);
    // 13.33 less 10 % = 12.00; (10 * 10.00 + 10 * 12.00) / 20
    EXPECT_EQ(child<QLineEdit>(*d, u"edNettopreis"_s)->text(), u"12,00"_s);
    EXPECT_EQ(child<QLineEdit>(*d->Frame(), u"edEK"_s)->text(), u"11,00"_s);

    d->done(QDialog::Accepted);
    ASSERT_TRUE(finish(*d));
    EXPECT_EQ(std::tuple(quantity, reset, supplier, net),
              std::tuple(10.0, false, u"L-1"_s, Money::fromUnits(12)));
    EXPECT_EQ(std::tuple(booked.BuchungsBestand, booked.EKPreis),
              std::tuple(20.0, Money::fromUnits(11)));
}

TEST_F(ReceiptDialog, OrderQuantityOffersTheResetOnlyForAPartialDelivery)
{
    auto d = dialog();
    d->Setup(article, 5, {}, {}, Money(), 0);
    QCheckBox *box = child<QCheckBox>(*d, u"ckbReset"_s);
    EXPECT_TRUE(box->isHidden());
    QLineEdit *quantity = child<QLineEdit>(*d, u"edZugangsmenge"_s);
    for (const auto &[text, offered] : {std::pair{u"3"_s, true}, std::pair{u"5"_s, false},
                                        std::pair{u"0"_s, false}, std::pair{u"7"_s, false}}) {
        type(quantity, text);
        EXPECT_EQ(!box->isHidden(), offered) << qPrintable(text);
        box->setChecked(offered);
    }
    EXPECT_FALSE(box->isChecked()); // hidden means unchecked
}

TEST_F(ReceiptDialog, TheBasisIsRememberedAndNamedBesideThePrice)
{
    {
        auto d = dialog();
        d->Setup(article, 0, {}, {}, Money(), 0);
        child<QRadioButton>(*d, u"rbProKg"_s)->setChecked(true);
        EXPECT_EQ(child<QLabel>(*d, u"lbWaehrung"_s)->text(), u"EUR/kg"_s);
    }
    auto again = dialog();
    EXPECT_TRUE(child<QRadioButton>(*again, u"rbProKg"_s)->isChecked());
}

TEST_F(ReceiptDialog, OkChecksTheQuantityAndAsksForSerialNumbers)
{
    article.SNPflicht = true;
    auto d = dialog();
    d->Setup(article, 0, {}, {}, Money(), 0);
    QLineEdit *edit = child<QLineEdit>(*d, u"edZugangsmenge"_s);
    for (const QString &refused : {u"-1"_s, u"2,5"_s, u"zwei"_s}) {
        edit->setText(refused);
        d->done(QDialog::Accepted);
        EXPECT_EQ(d->result(), QDialog::Rejected) << qPrintable(refused);
    }
    ASSERT_EQ(ui.messages.size(), 3);
    EXPECT_EQ(ui.messages[1].text, u"Fuer Lagerartikel mit Seriennummern duerfen nur "
                                   "ganzzahlige Zugangsmengen angegeben werden."_s);
    EXPECT_TRUE(asked.isEmpty());

    // "Zurueck" in the serial-number dialog returns to the receipt.
    edit->setText(u"2"_s);
    enterSerials = false;
    d->done(QDialog::Accepted);
    EXPECT_EQ(std::tuple(asked, known), std::tuple(QList<int>{2}, QStringList{u"OLD"_s}));
    EXPECT_FALSE(finish(*d));

    enterSerials = true;
    d->done(QDialog::Accepted);
    ASSERT_TRUE(finish(*d));
    ASSERT_TRUE(booked.Seriennummern);
    EXPECT_EQ(booked.Seriennummern->JoinedText(), u"S1 S2"_s);
    EXPECT_EQ(booked.BuchungsBestand, 12);
}

} // namespace
