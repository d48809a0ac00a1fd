#include "movements/orderreceiptcommand.h"
#include "movements/tablereceiptcommand.h"
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "tests/movements/movementtests.h"
#include "tests/support/articles.h"
#include "tests/support/documents.h"
#include "tests/support/lockholders.h"
#include "tests/support/scriptedinteraction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace
{

const QDateTime kNow(QDate(2026, 12, 6), QTime(10, 15, 0));

// What the scripted receipt dialog does with one stock line; a quantity below 0 cancels.
struct LineAnswer {
    double quantity;
    bool reset = false;
    QStringList serials = {};
};

// Stock: A1 (10 at 10.00) and SER (serial numbers). Order B-1 (data/order_b1.xml) from
// supplier 4711: two lines of A1, a free line, a text line, a line whose article is gone, and
// a free line whose supplier number is the stock article SER.
class OrderReceipt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stockDir = tmp.path() + u"/LAGER/"_s;
        orderDir = tmp.path() + u"/BESTELL/"_s;
        QDir().mkpath(stockDir);
        QDir().mkpath(orderDir);
        writeArticles(stockDir, {u"A1"_s, u"SER"_s}, [](TLagerServerObj &a) {
            a.SNPflicht = a.LagerArtikelNr == u"SER";
            a.BuchungsBestand = a.SNPflicht ? 0 : 10;
            a.EKPreis = Money::fromDouble(a.SNPflicht ? 50.00 : 10.00);
        });
        db.Open(stockDir);
        ASSERT_TRUE(orders.Open(orderDir));
        addOrder("order_b1.xml");
    }

    void addOrder(const char *file)
    {
        TBestellServerObj order;
        TestDocuments::read(order, TestDocuments::utf16(QString::fromUtf8(
                                       TestDocuments::golden("movements", file))));
        ASSERT_EQ(orders.WriteOrder(&order, true), 0);
    }

    OrderReceiptCommand::Outcome run(const QString &orderNr = u"B-1"_s)
    {
        ReceiptCommand dialog(db, stockDir, u"Lager Meier"_s, GoodsReceipt({}), {});
        OrderReceiptCommand::Hooks h;
        h.chooseOrder = [orderNr] { return orderNr; };
        h.clock = [] { return kNow; };
        h.receive = [&](TLagerServerObj &article, ReceiptCommand::Receipt &io) {
            offered.append(io.quantity);
            if (stockAnswers.isEmpty() || stockAnswers.first().quantity < 0)
                return false;
            const LineAnswer answer = stockAnswers.takeFirst();
            io.quantity = answer.quantity;
            io.reset = answer.reset;
            return dialog
                .ReceiveWithoutWindow(article, {}, io, GoodsReceipt::Basis::PerUnit, answer.serials,
                                      true)
                .isEmpty();
        };
        h.receiveFree = [&](OrderReceiptCommand::FreeReceipt &io) {
            offered.append(io.quantity);
            if (freeAnswers.isEmpty())
                return int(OrderReceiptCommand::FreeCancelled);
            const auto [choice, quantity] = freeAnswers.takeFirst();
            if (quantity >= 0)
                io.quantity = quantity;
            return choice;
        };
        h.editNewArticle = [](TLagerServerObj &) { return true; };
        h.updateArticle = [&](const TLagerServerObj &a) { updated.append(a.LagerArtikelNr); };
        OrderReceiptCommand command(db, orderDir, stockDir, u"Lager Meier"_s, autoSearch, h);
        return command.Run(supplier);
    }

    // The table road; table plays the user in the table dialog.
    TableReceiptCommand::Outcome runTable(std::function<void(TBestellServerObj &)> table,
                                          bool yes = true, const QString &orderNr = u"B-1"_s)
    {
        TableReceiptCommand::Hooks h;
        h.chooseOrder = [orderNr] { return orderNr; };
        h.clock = [] { return kNow; };
        h.showTable = [table](TBestellServerObj &o) {
            table(o);
            return true;
        };
        h.confirm = [yes] { return yes; };
        h.updateArticle = [&](const TLagerServerObj &a) { updated.append(a.LagerArtikelNr); };
        TableReceiptCommand command(db, orderDir, u"Lager Meier"_s, autoSearch, false, h);
        return command.Run(supplier);
    }

    std::unique_ptr<TBestellServerObj> order(const QString &nr = u"B-1"_s)
    {
        orders.Refresh();
        auto o = std::make_unique<TBestellServerObj>();
        o->BestellNr = nr;
        EXPECT_EQ(orders.ReadOrder(o.get(), true), 0);
        return o;
    }

    TLagerServerObj article(const QString &nr) { return MovementTests::article(db, nr); }
    QStringList texts() const { return MovementTests::texts(ui); }

    // The tables as files: a road that writes nothing leaves them byte for byte.
    QByteArray tables() const
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QString &file : {orderDir + u"BESTELL.DAT"_s, stockDir + u"LAGER.DAT"_s,
                                    stockDir + u"LAGERSN.DAT"_s, stockDir + u"LAGERBUCH.DAT"_s}) {
            QFile f(file);
            if (f.open(QIODevice::ReadOnly))
                hash.addData(f.readAll());
        }
        return hash.result();
    }

    QTemporaryDir tmp;
    QString stockDir, orderDir;
    IModLagerDBServerObj db;
    IModBestellDBServerObj orders;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QList<LineAnswer> stockAnswers;
    QList<std::pair<int, double>> freeAnswers; // choice, quantity (below 0 keeps the offer)
    QList<double> offered;
    QStringList updated;
    QString supplier = u"alt"_s;
    bool autoSearch = true;
};

const QString kPartial =
    u"Die Bestellung befindet sich jetzt im Stadium \"Teillieferung\", da noch "
    "nicht alle Artikel geliefert wurden."_s;
const QString kComplete = u"Alle Artikel wurden geliefert. Die Bestellung ist abgeschlossen."_s;
const QString kQuestion = u"Alle Informationen zu diesem Warenzugang liegen nun vor.\nSoll die "
                          "Buchung nun ausgefuehrt werden?"_s;

TEST_F(OrderReceipt, ZeroLeavesALineAndZeroWithResetCompletesIt)
{
    autoSearch = false;
    stockAnswers = {{0, true}, {0}};
    freeAnswers = {{OrderReceiptCommand::BookFree, 3},
                   {OrderReceiptCommand::BookFree, 2},
                   {OrderReceiptCommand::BookFree, 2}};
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    // The first line reset, the second left, the last without the search stays free.
    const auto o = order();
    EXPECT_EQ(std::tuple(o->Artikel[0].Geliefert, o->Artikel[1].Geliefert, o->Artikel[5].Typ),
              std::tuple(10.0, 0.0, u"F"_s));
    EXPECT_EQ(article(u"A1"_s).BuchungsBestand, 10);
    EXPECT_EQ(MovementTests::history(db, u"A1"_s).size(), 1); // the completed line, no units
}

TEST_F(OrderReceipt, EveryLineDeliveredGoesStraightToTheQuestion)
{
    stockAnswers = {{6}, {5}, {2, false, {u"S-1"_s, u"S-2"_s}}};
    freeAnswers = {{OrderReceiptCommand::BookFree, 3}, {OrderReceiptCommand::BookFree, 2}};
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    EXPECT_EQ(order()->Stadium, quint8(OrderState::Geliefert));
    offered.clear();
    ui.messages.clear();
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_EQ(texts(), (QStringList{kQuestion, kComplete}));
}

// Until the final Yes everything lives in memory: answering No, cancelling a dialog or
// meeting a held article leaves the tables as they were, and no lock behind.
TEST_F(OrderReceipt, NothingIsWrittenBeforeYes)
{
    const QByteArray before = tables();
    using O = OrderReceiptCommand::Outcome;
    const QList<LineAnswer> all = {{6}, {5}, {2, false, {u"S-1"_s, u"S-2"_s}}};
    const QList<std::pair<int, double>> free = {{0, 3}, {0, 2}};
    const struct {
        const char *name;
        QList<LineAnswer> stock;
        QList<std::pair<int, double>> free;
        O outcome;
        QString held;
    } cases[] = {
        {"no", all, free, O::Declined, {}},
        {"receipt cancelled", {{6}, {-1}}, {}, O::Cancelled, {}},
        {"free cancelled", {{6}, {5}}, {}, O::Cancelled, {}},
        {"article held", {{6}, {5}}, free, O::Locked, u"SER"_s},
        {"order held", {}, {}, O::Locked, u"B-1"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        stockAnswers = c.stock;
        freeAnswers = c.free;
        ui.answers = {ModalResult::OK, ModalResult::No}; // the gone article's message, then No
        ui.cancelWaitAfterIdles = 1;
        std::optional<ArticleLockHolder> colleague;
        if (!c.held.isEmpty()) {
            ASSERT_TRUE(
                colleague.emplace(c.held == u"B-1" ? orderDir : stockDir, c.held).holding());
        }
        EXPECT_EQ(run(), c.outcome);
        colleague.reset();
        EXPECT_EQ(tables(), before);
        // a colleague's process can take the locks again
        EXPECT_TRUE(ArticleLockHolder(orderDir, u"B-1"_s).holding());
        EXPECT_TRUE(ArticleLockHolder(stockDir, u"A1"_s).holding());
    }
}

// The table dialog's column "jetzt geliefert" over line 1 (10 ordered, 4 delivered) with and
// without its stock article, and over the free line.
TEST_F(OrderReceipt, TheTableClampsWhatIsTyped)
{
    const auto o = order();
    TBestellartikel &stock = o->Artikel[0];
    const struct {
        double typed;
        bool matched;
        double kept;
    } cases[] = {{15, true, 6}, {2.5, true, 2}, {2.5, false, 2.5}, {-3, true, 0}};
    for (const auto &c : cases) {
        stock.Lagerartikel =
            c.matched ? std::make_unique<TLagerServerObj>(article(u"A1"_s)) : nullptr;
        TableReceiptCommand::EnterQuantity(stock, c.typed);
        EXPECT_EQ(stock.Zugangsmenge, c.kept) << c.typed << c.matched;
    }
    // Fewer units leave fewer serial numbers; those kept are the first ones.
    TBestellartikel &serial = o->Artikel[5];
    serial.Typ = u"N"_s;
    serial.Lagerartikel = std::make_unique<TLagerServerObj>(article(u"SER"_s));
    serial.Lagerartikel->Seriennummern.emplace().SetCount(2, u"SER"_s);
    serial.Lagerartikel->Seriennummern->Item(0).SN = u"S-1"_s;
    TableReceiptCommand::EnterQuantity(serial, 1.5);
    const TSeriennummerObjectList &kept = *serial.Lagerartikel->Seriennummern;
    EXPECT_EQ(std::tuple(kept.JoinedText(), TableReceiptCommand::MissingSerials(serial)),
              std::tuple(u"S-1"_s, 0));
    TableReceiptCommand::EnterQuantity(serial, 2);
    EXPECT_EQ(TableReceiptCommand::MissingSerials(serial), 1);
}

// The table road averages over the signed stock: -5 at 10.00 plus 10 at 12.00 is 14.00.
TEST_F(OrderReceipt, TheTableBooksLineByLineWithItsOwnAverage)
{
    TLagerServerObj a1 = article(u"A1"_s);
    a1.BuchungsBestand = -5;
    a1.DEinstandsPreisbildung = true;
    ASSERT_EQ(db.WriteArticle(&a1), 0);
    addOrder("order_b2.xml");

    const QByteArray before = tables();
    const auto table = [](TBestellServerObj &o) {
        TBestellartikel &serial = o.Artikel[1]; // found by the automatic search
        ASSERT_EQ(serial.Typ, u"N"_s);
        TableReceiptCommand::EnterQuantity(serial, 2);
        serial.Lagerartikel->Seriennummern.emplace().SetCount(2, u"SER"_s);
        serial.Lagerartikel->Seriennummern->Item(0).SN = u"S-1"_s;
        serial.Lagerartikel->Seriennummern->Item(1).SN = u"S-2"_s;
    };
    EXPECT_EQ(runTable(table, false, u"B-2"_s), TableReceiptCommand::Outcome::Declined);
    EXPECT_EQ(tables(), before);

    ASSERT_EQ(runTable(table, true, u"B-2"_s), TableReceiptCommand::Outcome::Booked);
    a1 = article(u"A1"_s);
    EXPECT_EQ(std::tuple(a1.BuchungsBestand, a1.EKPreis), std::tuple(5.0, Money::fromDouble(14)));
    EXPECT_EQ(article(u"SER"_s).LetzteSeriennummer, u"S-2"_s);
    const TLagerBuchungList rows = MovementTests::history(db, u"SER"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Seriennummern, rows[0].BestellNr, rows[0].BestellPos,
                         rows[0].BestandNachher),
              std::tuple(u"S-1 S-2"_s, u"B-2"_s, 2, 2.0));
    EXPECT_EQ(order(u"B-2"_s)->Artikel[1].Geliefert, 2);
    EXPECT_EQ(texts(), QStringList{kPartial});
}

} // namespace
