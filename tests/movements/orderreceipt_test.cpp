#include "movements/orderreceiptcommand.h"
#include "movements/tablereceiptcommand.h"
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "tests/support/lockholders.h"
#include "tests/support/scriptedinteraction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

// Stock: A1 (10 at 10.00) and SER (serial numbers). Order B-1 in "Offene Lieferung" from
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
        db.Open(stockDir);
        addArticle(u"A1"_s, 10, 10.00);
        addArticle(u"SER"_s, 0, 50.00, true);

        TBestellServerObj order;
        order.BestellNr = u"B-1"_s;
        order.Anzeigetext = u"Baustelle Nord"_s;
        order.Stadium = quint8(OrderState::OffeneLieferung);
        order.BestellAdr = {u"4711_2"_s, u"Sanitaer Gross"_s, QString()};
        addLine(order, u"N"_s, u"A1"_s, u"K-100"_s, 10, 4, 12.00);
        addLine(order, u"N"_s, u"A1"_s, u"K-100"_s, 5, 0, 12.00);
        addLine(order, u"F"_s, QString(), u"FR-7"_s, 3, 0, 20.00);
        addLine(order, u"T"_s, QString(), QString(), 0, 0, 0);
        addLine(order, u"N"_s, u"GONE"_s, u"LX-9"_s, 2, 0, 5.00);
        addLine(order, u"F"_s, QString(), u"SER"_s, 2, 0, 40.00);
        ASSERT_TRUE(orders.Open(orderDir));
        ASSERT_EQ(orders.WriteOrder(&order, true), 0);
    }

    void addArticle(const QString &nr, double stock, double price, bool serials = false)
    {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        a.BuchungsBestand = stock;
        a.EKPreis = Money::fromDouble(price);
        a.SNPflicht = serials;
        ASSERT_EQ(db.WriteArticle(&a), 0);
    }

    static void addLine(TBestellServerObj &order, const QString &typ, const QString &nr,
                        const QString &supplierNr, double ordered, double delivered, double ek)
    {
        TBestellartikel line;
        line.Typ = typ;
        line.ArtikelNr = nr;
        line.BestellNr = supplierNr;
        line.Anzeigetext = u"Zeile "_s + supplierNr;
        line.Menge = ordered;
        line.Geliefert = delivered;
        line.EK = ek;
        order.Artikel.Add(std::move(line));
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
        h.editNewArticle = [&](TLagerServerObj &article) {
            article.Verpackungsmenge = newArticlePacking;
            return newArticlePacking > 0;
        };
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
        const auto outcome = command.Run(supplier);
        skipped = command.Skipped();
        return outcome;
    }

    std::unique_ptr<TBestellServerObj> order(const QString &nr = u"B-1"_s)
    {
        orders.Refresh();
        auto o = std::make_unique<TBestellServerObj>();
        o->BestellNr = nr;
        EXPECT_EQ(orders.ReadOrder(o.get(), true), 0);
        return o;
    }

    TLagerServerObj article(const QString &nr)
    {
        db.Refresh();
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        EXPECT_EQ(db.ReadArticle(&a), 0) << qPrintable(nr);
        return a;
    }

    TLagerBuchungList history(const QString &nr)
    {
        TLagerBuchungList rows;
        EXPECT_EQ(db.ReadBookings(nr, rows), 0);
        return rows;
    }

    QStringList texts() const
    {
        QStringList list;
        for (const auto &m : ui.messages)
            list.append(m.text);
        return list;
    }

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

    // A child process can take the lock, so none of ours survived the road.
    static bool lockable(const QString &dir, const QString &key)
    {
        ArticleLockHolder child(dir, key, u"Kollege"_s);
        return child.holding();
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
    QStringList updated, skipped;
    QString supplier = u"alt"_s;
    bool autoSearch = true;
    double newArticlePacking = 1;
};

const QString kPartial =
    u"Die Bestellung befindet sich jetzt im Stadium \"Teillieferung\", da noch "
    "nicht alle Artikel geliefert wurden."_s;
const QString kComplete = u"Alle Artikel wurden geliefert. Die Bestellung ist abgeschlossen."_s;
const QString kQuestion = u"Alle Informationen zu diesem Warenzugang liegen nun vor.\nSoll die "
                          "Buchung nun ausgefuehrt werden?"_s;

TEST_F(OrderReceipt, TwoLinesOfOneArticleBookOnceWithAHistoryRowEach)
{
    stockAnswers = {{6}, {2}, {2, false, {u"S-1"_s, u"S-2"_s}}};
    freeAnswers = {{OrderReceiptCommand::BookFree, 1}, {OrderReceiptCommand::BookFree, -1}};
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);

    EXPECT_EQ(supplier, u"4711"_s);
    // A1 twice at the open quantity, the free line, the gone article's line as a free line,
    // and SER found by the automatic search.
    EXPECT_EQ(offered, (QList<double>{6, 5, 3, 2, 2}));
    EXPECT_EQ(texts(), (QStringList{u"Der Lagerartikel \"GONE\" ist nicht vorhanden. Der bestellte "
                                    "Artikel \"LX-9\" kann nicht zugeordnet werden.\nDer Artikel "
                                    "wird in einen freien Artikel umgewandelt."_s,
                                    kQuestion, kPartial}));

    const auto o = order();
    EXPECT_EQ(o->Stadium, quint8(OrderState::Teillieferung));
    const QList<double> delivered{10, 2, 1, 0, 2, 2};
    for (qsizetype i = 0; i < o->Artikel.Count(); ++i)
        EXPECT_EQ(o->Artikel[i].Geliefert, delivered[i]) << i;
    EXPECT_EQ(o->Artikel[4].Typ, u"F"_s);
    EXPECT_EQ(o->Artikel[5].Typ, u"N"_s);
    EXPECT_EQ(o->Artikel[5].ArtikelNr, u"SER"_s);

    const TLagerServerObj a1 = article(u"A1"_s);
    EXPECT_EQ(a1.BuchungsBestand, 18);
    EXPECT_EQ(a1.ChangedBy, u"Lager Meier"_s);
    const TLagerBuchungList rows = history(u"A1"_s);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].Art, TLagerBuchung::OrderReceipt);
    EXPECT_EQ(std::tuple(rows[0].BestandVorher, rows[0].BestandNachher, rows[0].BestellPos),
              std::tuple(10.0, 16.0, 1));
    EXPECT_EQ(std::tuple(rows[1].BestandVorher, rows[1].BestandNachher, rows[1].BestellPos),
              std::tuple(16.0, 18.0, 2));
    EXPECT_EQ(rows[1].BestellNr, u"B-1"_s);
    EXPECT_EQ(rows[0].Preis, Money::fromDouble(12.00));

    const TLagerBuchungList serRows = history(u"SER"_s);
    ASSERT_EQ(serRows.size(), 1);
    EXPECT_EQ(serRows[0].Seriennummern, u"S-1 S-2"_s);
    QStringList inStock;
    db.SerialsOfArticle(u"SER"_s, inStock);
    db.SerialTable().SetFiltered(false);
    EXPECT_EQ(inStock, (QStringList{u"S-1"_s, u"S-2"_s}));
    EXPECT_EQ(updated, (QStringList{u"A1"_s, u"SER"_s}));

    EXPECT_TRUE(lockable(orderDir, u"B-1"_s));
    EXPECT_TRUE(lockable(stockDir, u"A1"_s) && lockable(stockDir, u"SER"_s));
}

TEST_F(OrderReceipt, ZeroLeavesALineAndZeroWithResetCompletesIt)
{
    autoSearch = false;
    stockAnswers = {{0, true}, {0}};
    freeAnswers = {{OrderReceiptCommand::BookFree, 3},
                   {OrderReceiptCommand::BookFree, 2},
                   {OrderReceiptCommand::BookFree, 2}};
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    const auto o = order();
    EXPECT_EQ(o->Artikel[0].Geliefert, 10); // reset
    EXPECT_EQ(o->Artikel[1].Geliefert, 0);  // left
    EXPECT_EQ(o->Artikel[5].Typ, u"F"_s);   // no search: stays a free line
    EXPECT_EQ(o->Stadium, quint8(OrderState::Teillieferung));
    EXPECT_EQ(article(u"A1"_s).BuchungsBestand, 10);
    EXPECT_EQ(history(u"A1"_s).size(), 1); // the completed line, without units
}

TEST_F(OrderReceipt, EveryLineDeliveredGoesStraightToTheQuestion)
{
    stockAnswers = {{6}, {5}, {2, false, {u"S-1"_s, u"S-2"_s}}};
    freeAnswers = {{OrderReceiptCommand::BookFree, 3}, {OrderReceiptCommand::BookFree, 2}};
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    EXPECT_EQ(ui.messages.last().text, kComplete);
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
    struct Case {
        const char *name;
        QList<LineAnswer> stock;
        QList<std::pair<int, double>> free;
        OrderReceiptCommand::Outcome outcome;
    };
    const Case cases[] = {
        {"no",
         {{6}, {5}, {2, false, {u"S-1"_s, u"S-2"_s}}},
         {{0, 3}, {0, 2}},
         OrderReceiptCommand::Outcome::Declined},
        {"receipt cancelled", {{6}, {-1}}, {}, OrderReceiptCommand::Outcome::Cancelled},
        {"free cancelled", {{6}, {5}}, {}, OrderReceiptCommand::Outcome::Cancelled},
    };
    for (const Case &c : cases) {
        stockAnswers = c.stock;
        freeAnswers = c.free;
        ui.answers = {ModalResult::OK, ModalResult::No}; // the gone article's message, then No
        EXPECT_EQ(run(), c.outcome) << c.name;
        EXPECT_EQ(tables(), before) << c.name;
    }
    EXPECT_TRUE(lockable(orderDir, u"B-1"_s));
    EXPECT_TRUE(lockable(stockDir, u"A1"_s));
}

TEST_F(OrderReceipt, AnArticleHeldElsewhereEndsTheRoad)
{
    const QByteArray before = tables();
    {
        ArticleLockHolder colleague(stockDir, u"SER"_s);
        ASSERT_TRUE(colleague.holding());
        ui.cancelWaitAfterIdles = 1;
        stockAnswers = {{6}, {5}};
        freeAnswers = {{0, 3}, {0, 2}};
        EXPECT_EQ(run(), OrderReceiptCommand::Outcome::Locked);
    }
    EXPECT_EQ(tables(), before);
    EXPECT_TRUE(lockable(orderDir, u"B-1"_s));
    EXPECT_TRUE(lockable(stockDir, u"A1"_s));
}

TEST_F(OrderReceipt, AHeldOrUnknownOrderEndsTheRoadBeforeAnyDialog)
{
    {
        ArticleLockHolder colleague(orderDir, u"B-1"_s);
        ASSERT_TRUE(colleague.holding());
        ui.cancelWaitAfterIdles = 1;
        EXPECT_EQ(run(), OrderReceiptCommand::Outcome::Locked);
    }
    EXPECT_EQ(run(u"B-9"_s), OrderReceiptCommand::Outcome::NotFound);
    EXPECT_EQ(texts(), QStringList{u"Bestellung \"B-9\" nicht gefunden."_s});
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_EQ(supplier, u"alt"_s);
}

TEST_F(OrderReceipt, AFreeLineBecomesANewStockArticle)
{
    autoSearch = false;
    stockAnswers = {{6}, {5}};
    freeAnswers = {{OrderReceiptCommand::BookAsNewArticle, 3},
                   {OrderReceiptCommand::BookFree, 2},
                   {OrderReceiptCommand::BookFree, 2}};
    newArticlePacking = 10;
    // A1 is taken: the user says Yes to changing the number.
    ui.inputs = {u"A1"_s, u" NEU-1 "_s};
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    EXPECT_EQ(ui.messages.first().text,
              u"Der Artikel \"A1\" existiert bereits. Artikelnummer aendern?"_s);
    const TLagerServerObj created = article(u"NEU-1"_s);
    EXPECT_EQ(created.BuchungsBestand, 30);
    EXPECT_EQ(created.SummeWareneingangMe, 30);
    EXPECT_EQ(created.EKPreis, Money::fromDouble(2.00)); // 20.00 a package of 10
    EXPECT_EQ(created.Bezeichnung, u"Zeile FR-7"_s);
    const TLagerBuchungList rows = history(u"NEU-1"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].BestandVorher, rows[0].BestandNachher, rows[0].BestellPos),
              std::tuple(0.0, 30.0, 3));
    EXPECT_EQ(order()->Artikel[2].ArtikelNr, u"NEU-1"_s);
    EXPECT_EQ(order()->Artikel[2].Geliefert, 3);
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
    EXPECT_EQ(serial.Lagerartikel->Seriennummern->Count(), 1);
    EXPECT_EQ(serial.Lagerartikel->Seriennummern->Item(0).SN, u"S-1"_s);
    EXPECT_EQ(TableReceiptCommand::MissingSerials(serial), 0);
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
    TBestellServerObj b2;
    b2.BestellNr = u"B-2"_s;
    b2.Stadium = quint8(OrderState::OffeneLieferung);
    addLine(b2, u"N"_s, u"A1"_s, u"K-100"_s, 10, 0, 12.00);
    addLine(b2, u"F"_s, QString(), u"SER"_s, 3, 0, 40.00);
    addLine(b2, u"F"_s, QString(), u"FR-7"_s, 3, 0, 20.00);
    ASSERT_EQ(orders.WriteOrder(&b2, true), 0);

    const QByteArray before = tables();
    const auto table = [](TBestellServerObj &o) {
        TBestellartikel &serial = o.Artikel[1]; // found by the automatic search
        ASSERT_EQ(serial.Typ, u"N"_s);
        TableReceiptCommand::EnterQuantity(serial, 2);
        serial.Lagerartikel->Seriennummern.emplace().SetCount(2, u"SER"_s);
        serial.Lagerartikel->Seriennummern->Item(0).SN = u"S-1"_s;
        serial.Lagerartikel->Seriennummern->Item(1).SN = u"S-2"_s;
        o.Artikel[2].Zugangsmenge = 0;
        o.Artikel[2].OffeneMengeZuruecksetzen = true;
    };
    EXPECT_EQ(runTable(table, false, u"B-2"_s), TableReceiptCommand::Outcome::Declined);
    EXPECT_EQ(tables(), before);

    ASSERT_EQ(runTable(table, true, u"B-2"_s), TableReceiptCommand::Outcome::Booked);
    a1 = article(u"A1"_s);
    EXPECT_EQ(a1.BuchungsBestand, 5);
    EXPECT_EQ(a1.EKPreis, Money::fromDouble(14.00));
    const TLagerServerObj ser = article(u"SER"_s);
    EXPECT_EQ(ser.BuchungsBestand, 2);
    EXPECT_EQ(ser.LetzteSeriennummer, u"S-2"_s);
    const TLagerBuchungList rows = history(u"SER"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Seriennummern, rows[0].BestellNr, rows[0].BestellPos),
              std::tuple(u"S-1 S-2"_s, u"B-2"_s, 2));
    const auto o = order(u"B-2"_s);
    EXPECT_EQ(o->Artikel[0].Geliefert, 10);
    EXPECT_EQ(o->Artikel[1].Geliefert, 2);
    EXPECT_EQ(o->Artikel[2].Geliefert, 3); // reset
    EXPECT_EQ(o->Stadium, quint8(OrderState::Teillieferung));
    EXPECT_EQ(texts(), QStringList{kPartial});
}

TEST_F(OrderReceipt, TheTableSkipsALineWhoseArticleIsHeld)
{
    {
        ArticleLockHolder colleague(stockDir, u"A1"_s);
        ASSERT_TRUE(colleague.holding());
        ui.cancelWaitAfterIdles = 1;
        ASSERT_EQ(runTable([](TBestellServerObj &) {}), TableReceiptCommand::Outcome::Booked);
    }
    EXPECT_EQ(skipped, (QStringList{u"A1"_s, u"A1"_s}));
    EXPECT_EQ(article(u"A1"_s).BuchungsBestand, 10);
    const auto o = order();
    EXPECT_EQ(o->Artikel[0].Geliefert, 4);
    EXPECT_EQ(o->Artikel[2].Geliefert, 3);
    EXPECT_TRUE(lockable(orderDir, u"B-1"_s));
    EXPECT_TRUE(lockable(stockDir, u"A1"_s));
}

} // namespace
