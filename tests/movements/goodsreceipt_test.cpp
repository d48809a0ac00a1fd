// Goods receipt of one stock article: the price and quantity rules, the command that books
// them, and its dialog.
#include "movements/articlegroupings.h"
#include "movements/goodsreceipt.h"
#include "movements/receiptcommand.h"
#include "movements/ui/mod00501form3.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lagerartikelframe1.h"
#include "tests/movements/movementtests.h"
#include "tests/support/scriptedinteraction.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

using MovementTests::child;

Money eur(double value)
{
    return Money::fromDouble(value);
}

GoodsReceipt receipt(bool fourDecimals = false, bool gross = false, int perKgToSalePrice = 1)
{
    GoodsReceipt::Settings s;
    s.prices.fourDecimals = fourDecimals;
    s.prices.salePriceIsGross = gross;
    s.prices.perKgToSalePrice = perKgToSalePrice;
    s.vatRate = [](int vatClass) { return vatClass == 1 ? 19.0 : 0.0; };
    return GoodsReceipt(s);
}

TLagerArtikelDaten article(double stock, double price, bool average = true)
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = u"A1"_s;
    a.BuchungsBestand = stock;
    a.EKPreis = eur(price);
    a.DEinstandsPreisbildung = average;
    return a;
}

// The new purchase price of one receipt, with and without averaging over the article's
// stock and its grouping.
TEST(GoodsReceipt, NewPurchasePrice)
{
    const struct {
        const char *name;
        double stock, storedPrice, quantity, price;
        bool average, fourDecimals;
        std::vector<std::pair<double, double>> grouped; // stock, price
        double expected;
    } cases[] = {
        // Stock sold before it was bought is valued at the new price: (5*12 + 10*12) / 15.
        {"negative stock", -5, 10.00, 10, 12.00, true, false, {}, 12.00},
        {"plain average", 10, 10.00, 10, 12.00, true, false, {}, 11.00},
        {"zero price keeps stored", 10, 7.50, 5, 0, false, false, {}, 7.50},
        {"zero price averaged", 10, 8.00, 10, 0, true, false, {}, 4.00},
        {"without average takes price", 10, 8.00, 10, 9.99, false, false, {}, 9.99},
        // A grouped article below zero counts with its amount, at the new price.
        {"grouped negative", 10, 10.00, 10, 20.00, true, false, {{-10, 99}}, 16.67},
        {"nothing in stock nothing received", 0, 10.00, 0, 12.00, true, false, {}, 12.00},
        // (1.00 + 2*1.01) / 3 = 1.00666..
        {"two decimals", 1, 1.00, 2, 1.01, true, false, {}, 1.01},
        {"four decimals", 1, 1.00, 2, 1.01, true, true, {}, 1.0067},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const TLagerArtikelDaten stored = article(c.stock, c.storedPrice, c.average);
        std::vector<TLagerArtikelDaten> members;
        for (const auto &[stock, price] : c.grouped)
            members.push_back(article(stock, price));
        std::vector<const TLagerArtikelDaten *> grouped;
        for (const auto &m : members)
            grouped.push_back(&m);
        TLagerArtikelDaten shown = stored;
        receipt(c.fourDecimals)
            .UpdatePrices(shown, stored, grouped, c.quantity, eur(c.price),
                          GoodsReceipt::Basis::PerUnit);
        EXPECT_EQ(shown.EKPreis, eur(c.expected)) << shown.EKPreis.toDouble();
    }
}

TEST(GoodsReceipt, PackagesBookUnitsAtTheUnitPrice)
{
    const GoodsReceipt r = receipt();
    TLagerArtikelDaten stored = article(0, 3.00, false);
    stored.Verpackungsmenge = 10;
    TLagerArtikelDaten a = stored;
    r.UpdatePrices(a, stored, {}, 2, eur(50.00), GoodsReceipt::Basis::PerUnit);
    EXPECT_EQ(a.EKPreis, eur(5.00));
    GoodsReceipt::Apply(a, 2, nullptr, 46000.5, u"Lager"_s);
    EXPECT_EQ(std::tuple(a.BuchungsBestand, a.SummeWareneingangMe, a.ChangedBy),
              std::tuple(20.0, 20.0, u"Lager"_s));
    // Averaging counts the units too: (10*3 + 20*5) / 30.
    stored.BuchungsBestand = 10;
    stored.DEinstandsPreisbildung = true;
    a = stored;
    r.UpdatePrices(a, stored, {}, 2, eur(50.00), GoodsReceipt::Basis::PerUnit);
    EXPECT_EQ(a.EKPreis, eur(4.33));
    // The unit price is cut to the price digits; no packaging size is one unit.
    EXPECT_EQ(std::tuple(r.UnitPrice(eur(10), 3), r.UnitPrice(eur(10), 0)),
              std::tuple(eur(3.33), eur(10)));
    EXPECT_EQ(receipt(true).UnitPrice(eur(10.00), 3), eur(3.3333));
    EXPECT_EQ(r.NetPrice(eur(100.00), 12.5), eur(87.50));
}

TEST(GoodsReceipt, QuantityRules)
{
    TLagerArtikelDaten serial = article(0, 1);
    serial.SNPflicht = true;
    EXPECT_NE(GoodsReceipt::Refusal(serial, 2.5), nullptr);
    EXPECT_EQ(GoodsReceipt::Refusal(serial, 2), nullptr);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(serial, 2), 2);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(serial, 0), 0);
    // 0.5 packages of 4 are 2 whole units.
    serial.Verpackungsmenge = 4;
    EXPECT_EQ(GoodsReceipt::Refusal(serial, 0.5), nullptr);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(serial, 0.5), 2);

    const TLagerArtikelDaten plain = article(0, 1);
    EXPECT_EQ(GoodsReceipt::Refusal(plain, 2.5), nullptr);
    EXPECT_EQ(GoodsReceipt::SerialsWanted(plain, 3), 0);
    for (double bad : {-1.0, std::nan(""), 1e16})
        EXPECT_NE(GoodsReceipt::Refusal(plain, bad), nullptr) << bad;
}

TEST(GoodsReceipt, SerialNumbersAttachAfterThoseAttachedAlready)
{
    TLagerArtikelDaten a = article(1, 1);
    a.SNPflicht = true;
    a.LetzteSeriennummer = u"S1"_s;
    TSeriennummerObjectList first, second;
    first.Add().SN = u"S2"_s;
    second.Add().SN = u"S3"_s;
    second.Add(); // an empty entry never becomes the last number
    GoodsReceipt::Apply(a, 1, &first, 0, {});
    GoodsReceipt::Apply(a, 2, &second, 0, {});
    ASSERT_TRUE(a.Seriennummern);
    EXPECT_EQ(a.Seriennummern->JoinedText(), u"S2 S3 "_s);
    EXPECT_EQ(a.LetzteSeriennummer, u"S3"_s);
    EXPECT_EQ(a.BuchungsBestand, 4);
}

// Purchase price 10.00, factor 1.5, 2 kg per unit; sale price 3 follows the price per kg.
TLagerArtikelDaten weighed()
{
    TLagerArtikelDaten a = article(0, 10.00, false);
    a.VKZuschlag = 1.5;
    a.Gewicht = 2;
    a.EKProKg = eur(5.00);
    a.VKPreis = {eur(15.00), eur(20.00), eur(7.50), eur(30.00), eur(40.00)};
    return a;
}

// Per unit, 12.00 a unit moves the price per kg to 6.00 and leaves the sale prices; per kg,
// 6.00 a kg makes 12.00 a unit and sale prices 1 and 3 follow at the factor 1.5.
TEST(GoodsReceipt, TheBasisDecidesWhichPricesFollow)
{
    const TLagerArtikelDaten stored = weighed();
    for (const auto &[basis, price, sale1, sale3] :
         {std::tuple(GoodsReceipt::Basis::PerUnit, 12.00, 15.00, 7.50),
          std::tuple(GoodsReceipt::Basis::PerKg, 6.00, 18.00, 9.00)}) {
        TLagerArtikelDaten a = stored;
        receipt(false, false, 3).UpdatePrices(a, stored, {}, 1, eur(price), basis);
        EXPECT_EQ(std::tuple(a.EKPreis, a.EKProKg, a.VKPreis[0], a.VKPreis[1], a.VKPreis[2]),
                  std::tuple(eur(12), eur(6), eur(sale1), eur(20), eur(sale3)))
            << price;
    }
}

TEST(GoodsReceipt, GroupedArticlesTakeThePricesAndRecomputeTheirSalePrices)
{
    TLagerArtikelDaten booked = weighed();
    booked.EKPreis = eur(12.00);
    booked.EKProKg = eur(6.00);
    TLagerArtikelDaten member = article(3, 1.00);
    member.VKZuschlag = 2;
    member.MwStSatz = 1;
    member.VKPreis = {eur(2), eur(3), eur(4), eur(5), eur(6)};

    TLagerArtikelDaten net = member;
    receipt(false, false, 3).CopyPrices(booked, net);
    // Sale price 2 is not the per-kg one: untouched, as is the stock.
    EXPECT_EQ(std::tuple(net.EKPreis, net.EKProKg, net.VKPreis[0], net.VKPreis[1], net.VKPreis[2],
                         net.BuchungsBestand),
              std::tuple(eur(12), eur(6), eur(24), eur(3), eur(12), 3.0));

    // Gross sale prices: 24.00 and 12.00 with 19 % VAT.
    TLagerArtikelDaten gross = member;
    receipt(false, true, 3).CopyPrices(booked, gross);
    EXPECT_EQ(gross.VKPreis[0], eur(28.56));
    EXPECT_EQ(gross.VKPreis[2], eur(14.28));

    // A number outside 2..5 leaves the sale prices 2 to 5 alone.
    TLagerArtikelDaten none = member;
    receipt(false, false, 1).CopyPrices(booked, none);
    EXPECT_EQ(none.VKPreis[2], eur(4));
}

const QDateTime kNow(QDate(2026, 12, 6), QTime(10, 15, 0));

// A stock whose article MAIN (10 at 10.00, average prices) is grouped with G1 (5 at 12.00),
// a number that no longer exists and G2 (5 at 8.00); SER requires serial numbers. Receipts
// come in through the dialog's window-free twin, so the flow runs as the command line runs it.
class Receipt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stockDir = tmp.path() + u'/';
        db.Open(stockDir);
        add(u"MAIN"_s, 10, 10.00, true);
        add(u"G1"_s, 5, 12.00);
        add(u"G2"_s, 5, 8.00);
        add(u"SER"_s, 1, 100.00, false, true);
        TStringStringlistObjectList groupings;
        groupings.Add(TStringStringlist{u"1"_s, {u"MAIN"_s, u"G1"_s, u"GONE"_s, u"G2"_s}});
        ASSERT_TRUE(ArticleGroupings::SaveGroupings(stockDir, groupings));
    }

    void add(const QString &nr, double stock, double price, bool average = false,
             bool serials = false)
    {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        a.BuchungsBestand = stock;
        a.EKPreis = eur(price);
        a.VKZuschlag = 2;
        a.DEinstandsPreisbildung = average;
        a.SNPflicht = serials;
        ASSERT_EQ(db.WriteArticle(&a), 0);
    }

    TLagerServerObj read(const QString &nr) { return MovementTests::article(db, nr); }
    TLagerBuchungList history(const QString &nr) { return MovementTests::history(db, nr); }
    QStringList serials(const QString &nr) { return MovementTests::serials(db, nr); }

    // True when nobody holds the article's lock any more.
    bool unlocked(const QString &nr)
    {
        auto lock = db.LockRecord(u"Test"_s, nr);
        const bool free = lock != nullptr;
        TDatabaseStoreBase::Unlock(lock);
        return free;
    }

    ReceiptCommand::Outcome book(const QString &nr, double quantity, double price,
                                 const QStringList &serials = {})
    {
        ReceiptCommand *self = nullptr;
        ReceiptCommand::Hooks h;
        h.selectedArticleNr = [nr] { return nr; };
        h.updateArticle = [this](const TLagerServerObj &a) { updated.append(a.LagerArtikelNr); };
        h.clock = [] { return kNow; };
        h.receive = [&](TLagerServerObj &article,
                        const std::vector<const TLagerArtikelDaten *> &grouped,
                        ReceiptCommand::Receipt &io) {
            for (const TLagerArtikelDaten *g : grouped)
                seenGrouped.append(g->LagerArtikelNr);
            if (cancel)
                return false;
            io.quantity = quantity;
            io.price = eur(price);
            return self
                ->ReceiveWithoutWindow(article, grouped, io, GoodsReceipt::Basis::PerUnit, serials,
                                       true)
                .isEmpty();
        };
        GoodsReceipt::Settings settings;
        ReceiptCommand command(db, stockDir, u"Lager Meier"_s, GoodsReceipt(settings), h);
        self = &command;
        QString supplier = u"L-7"_s;
        return command.Run(supplier);
    }

    QTemporaryDir tmp;
    QString stockDir;
    IModLagerDBServerObj db;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QStringList updated, seenGrouped;
    bool cancel = false;
};

TEST_F(Receipt, BooksTheArticleAndHandsItsPricesToTheGrouping)
{
    // (10*10 + 5*12 + 5*8 + 20*15) / 40
    ASSERT_EQ(book(u"MAIN"_s, 20, 15.00), ReceiptCommand::Outcome::Booked);
    EXPECT_EQ(seenGrouped, (QStringList{u"G1"_s, u"G2"_s})); // GONE skipped without a word
    const TLagerServerObj main = read(u"MAIN"_s);
    EXPECT_EQ(
        std::tuple(main.BuchungsBestand, main.SummeWareneingangMe, main.EKPreis, main.ChangedBy),
        std::tuple(30.0, 20.0, eur(12.50), u"Lager Meier"_s));
    for (const QString &nr : {u"G1"_s, u"G2"_s}) {
        const TLagerServerObj g = read(nr);
        EXPECT_EQ(g.EKPreis, eur(12.50)) << qPrintable(nr);
        EXPECT_EQ(g.VKPreis[0], eur(25.00)) << qPrintable(nr);
        EXPECT_EQ(g.BuchungsBestand, 5) << qPrintable(nr); // prices only
        EXPECT_TRUE(history(nr).isEmpty());
    }
    EXPECT_EQ(updated, (QStringList{u"MAIN"_s, u"G1"_s, u"G2"_s}));
    const TLagerBuchungList rows = history(u"MAIN"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Art, rows[0].BestandVorher, rows[0].BestandNachher, rows[0].Menge,
                         rows[0].Preis),
              std::tuple(TLagerBuchung::Receipt, 10.0, 30.0, 20.0, eur(15.00)));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(unlocked(u"MAIN"_s) && unlocked(u"G1"_s) && unlocked(u"G2"_s));
}

// A refused receipt is the command line's test; a cancelled one ends the same way.
TEST_F(Receipt, CancelWritesNothingAndReleasesTheLock)
{
    cancel = true;
    EXPECT_EQ(book(u"MAIN"_s, 20, 15.00), ReceiptCommand::Outcome::Cancelled);
    EXPECT_EQ(read(u"MAIN"_s).BuchungsBestand, 10);
    EXPECT_EQ(read(u"G1"_s).EKPreis, eur(12.00));
    EXPECT_TRUE(history(u"MAIN"_s).isEmpty() && updated.isEmpty());
    EXPECT_TRUE(unlocked(u"MAIN"_s));
}

// The history table is written in the article's transaction: when its row cannot be
// written, neither the article nor its serial numbers are.
TEST_F(Receipt, SerialNumbersAreBookedWithTheArticleAndItsHistoryOrNotAtAll)
{
    db.BookingTable().Close();
    EXPECT_EQ(book(u"SER"_s, 1, 90.00, {u"Y-1"_s}), ReceiptCommand::Outcome::Failed);
    db.BookingTable().Open();
    EXPECT_EQ(read(u"SER"_s).BuchungsBestand, 1);
    EXPECT_TRUE(serials(u"SER"_s).isEmpty());
    EXPECT_TRUE(unlocked(u"SER"_s));

    ASSERT_EQ(book(u"SER"_s, 2, 90.00, {u"X-1"_s, u"X-2"_s}), ReceiptCommand::Outcome::Booked);
    EXPECT_EQ(serials(u"SER"_s), (QStringList{u"X-1"_s, u"X-2"_s}));
    const TLagerServerObj ser = read(u"SER"_s);
    EXPECT_EQ(std::tuple(ser.BuchungsBestand, ser.LetzteSeriennummer), std::tuple(3.0, u"X-2"_s));
    const TLagerBuchungList rows = history(u"SER"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Seriennummern, u"X-1 X-2"_s);
}

TEST_F(Receipt, AReceiptOfNothingRecordsThePriceChange)
{
    ASSERT_EQ(book(u"G1"_s, 0, 14.00), ReceiptCommand::Outcome::Booked);
    EXPECT_EQ(read(u"G1"_s).EKPreis, eur(14.00));
    const TLagerBuchungList rows = history(u"G1"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Menge, rows[0].BestandVorher, rows[0].BestandNachher),
              std::tuple(0.0, 5.0, 5.0));
}

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
