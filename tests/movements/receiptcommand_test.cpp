#include "movements/articlegroupings.h"
#include "movements/receiptcommand.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/movements/movementtests.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

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
        a.EKPreis = Money::fromDouble(price);
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
            io.price = Money::fromDouble(price);
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
        std::tuple(30.0, 20.0, Money::fromDouble(12.50), u"Lager Meier"_s));
    for (const QString &nr : {u"G1"_s, u"G2"_s}) {
        const TLagerServerObj g = read(nr);
        EXPECT_EQ(g.EKPreis, Money::fromDouble(12.50)) << qPrintable(nr);
        EXPECT_EQ(g.VKPreis[0], Money::fromDouble(25.00)) << qPrintable(nr);
        EXPECT_EQ(g.BuchungsBestand, 5) << qPrintable(nr); // prices only
        EXPECT_TRUE(history(nr).isEmpty());
    }
    EXPECT_EQ(updated, (QStringList{u"MAIN"_s, u"G1"_s, u"G2"_s}));
    const TLagerBuchungList rows = history(u"MAIN"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Art, rows[0].BestandVorher, rows[0].BestandNachher, rows[0].Menge,
                         rows[0].Preis),
              std::tuple(TLagerBuchung::Receipt, 10.0, 30.0, 20.0, Money::fromDouble(15.00)));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(unlocked(u"MAIN"_s) && unlocked(u"G1"_s) && unlocked(u"G2"_s));
}

// A refused receipt is the command line's test; a cancelled one ends the same way.
TEST_F(Receipt, CancelWritesNothingAndReleasesTheLock)
{
    cancel = true;
    EXPECT_EQ(book(u"MAIN"_s, 20, 15.00), ReceiptCommand::Outcome::Cancelled);
    EXPECT_EQ(read(u"MAIN"_s).BuchungsBestand, 10);
    EXPECT_EQ(read(u"G1"_s).EKPreis, Money::fromDouble(12.00));
    EXPECT_TRUE(history(u"MAIN"_s).isEmpty() && updated.isEmpty());
    EXPECT_TRUE(unlocked(u"MAIN"_s));
}

TEST_F(Receipt, SerialNumbersAreBookedWithTheArticleAndItsHistory)
{
    ASSERT_EQ(book(u"SER"_s, 2, 90.00, {u"X-1"_s, u"X-2"_s}), ReceiptCommand::Outcome::Booked);
    EXPECT_EQ(serials(u"SER"_s), (QStringList{u"X-1"_s, u"X-2"_s}));
    const TLagerServerObj ser = read(u"SER"_s);
    EXPECT_EQ(std::tuple(ser.BuchungsBestand, ser.LetzteSeriennummer), std::tuple(3.0, u"X-2"_s));
    const TLagerBuchungList rows = history(u"SER"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Seriennummern, u"X-1 X-2"_s);
}

// The history table is written in the article's transaction: when its row cannot be
// written, neither the article nor its serial numbers are.
TEST_F(Receipt, AFailedHistoryRowUndoesTheWholeBooking)
{
    db.BookingTable().Close();
    EXPECT_EQ(book(u"SER"_s, 1, 90.00, {u"Y-1"_s}), ReceiptCommand::Outcome::Failed);
    db.BookingTable().Open();
    EXPECT_EQ(read(u"SER"_s).BuchungsBestand, 1);
    EXPECT_TRUE(serials(u"SER"_s).isEmpty());
    EXPECT_TRUE(unlocked(u"SER"_s));
}

TEST_F(Receipt, AReceiptOfNothingRecordsThePriceChange)
{
    ASSERT_EQ(book(u"G1"_s, 0, 14.00), ReceiptCommand::Outcome::Booked);
    EXPECT_EQ(read(u"G1"_s).EKPreis, Money::fromDouble(14.00));
    const TLagerBuchungList rows = history(u"G1"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Menge, rows[0].BestandVorher, rows[0].BestandNachher),
              std::tuple(0.0, 5.0, 5.0));
}

} // namespace
