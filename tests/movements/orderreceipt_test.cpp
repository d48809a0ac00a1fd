// Receipts from orders, line by line and in the table: what the roads leave in the stock and
// order tables, the order documents of a generated installation against expected files, and
// the dialogs of both roads.
#include "movements/freelinearticle.h"
#include "movements/orderreceiptcommand.h"
#include "movements/tablereceiptcommand.h"
#include "movements/ui/mod00501form6.h"
#include "movements/ui/mod00501form8.h"
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "tests/movements/movementtests.h"
#include "tests/support/articles.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"
#include "tests/support/lockholders.h"
#include "tests/support/scriptedinteraction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace
{

const QDateTime kNow(QDate(2026, 12, 6), QTime(10, 15, 0));

// The stock and order tables a receipt from an order works on, its user answered by a script.
class OrderTables : public ::testing::Test
{
protected:
    void open(const QString &stock, const QString &ordersAt)
    {
        stockDir = stock;
        orderDir = ordersAt;
        db.Open(stockDir);
        ASSERT_TRUE(orders.Open(orderDir));
    }

    // The table road; table plays the user in the table dialog, yes answers the last question.
    TableReceiptCommand::Outcome
    runTable(const QString &nr, std::function<void(TBestellServerObj &)> table, bool yes = true)
    {
        TableReceiptCommand::Hooks h;
        h.chooseOrder = [nr] { return nr; };
        h.clock = [] { return kNow; };
        h.showTable = [table](TBestellServerObj &o) {
            table(o);
            return true;
        };
        h.confirm = [yes] { return yes; };
        h.updateArticle = [](const TLagerServerObj &) {};
        QString supplier;
        return TableReceiptCommand(db, orderDir, u"Lager Meier"_s, autoSearch, false, h)
            .Run(supplier);
    }

    std::unique_ptr<TBestellServerObj> order(const QString &nr)
    {
        orders.Refresh();
        auto o = std::make_unique<TBestellServerObj>();
        o->BestellNr = nr;
        EXPECT_EQ(orders.ReadOrder(o.get(), true), 0);
        return o;
    }
    TLagerServerObj article(const QString &nr) { return MovementTests::article(db, nr); }

    QTemporaryDir tmp;
    QString stockDir, orderDir;
    IModLagerDBServerObj db;
    IModBestellDBServerObj orders;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    bool autoSearch = true;
};

// What the scripted receipt dialog does with one stock line; a quantity below 0 cancels.
struct LineAnswer {
    double quantity;
    bool reset = false;
    QStringList serials = {};
};

// Stock: A1 (10 at 10.00) and SER (serial numbers). Order B-1 (data/order_b1.xml) from
// supplier 4711: two lines of A1, a free line, a text line, a line whose article is gone, and
// a free line whose supplier number is the stock article SER.
class OrderReceipt : public OrderTables
{
protected:
    void SetUp() override
    {
        const QString stock = tmp.path() + u"/LAGER/"_s;
        QDir().mkpath(stock);
        QDir().mkpath(tmp.path() + u"/BESTELL/"_s);
        writeArticles(stock, {u"A1"_s, u"SER"_s}, [](TLagerServerObj &a) {
            a.SNPflicht = a.LagerArtikelNr == u"SER";
            a.BuchungsBestand = a.SNPflicht ? 0 : 10;
            a.EKPreis = Money::fromDouble(a.SNPflicht ? 50.00 : 10.00);
        });
        open(stock, tmp.path() + u"/BESTELL/"_s);
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
        h.updateArticle = [](const TLagerServerObj &) {};
        OrderReceiptCommand command(db, orderDir, stockDir, u"Lager Meier"_s, autoSearch, h);
        return command.Run(supplier);
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

    QList<LineAnswer> stockAnswers;
    QList<std::pair<int, double>> freeAnswers; // choice, quantity (below 0 keeps the offer)
    QList<double> offered;
    QString supplier = u"alt"_s;
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
    const auto o = order(u"B-1"_s);
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
    EXPECT_EQ(order(u"B-1"_s)->Stadium, quint8(OrderState::Geliefert));
    offered.clear();
    ui.messages.clear();
    ASSERT_EQ(run(), OrderReceiptCommand::Outcome::Booked);
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_EQ(messageTexts(ui), (QStringList{kQuestion, kComplete}));
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
    const auto o = order(u"B-1"_s);
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
    EXPECT_EQ(runTable(u"B-2"_s, table, false), TableReceiptCommand::Outcome::Declined);
    EXPECT_EQ(tables(), before);

    ASSERT_EQ(runTable(u"B-2"_s, table), TableReceiptCommand::Outcome::Booked);
    a1 = article(u"A1"_s);
    EXPECT_EQ(std::tuple(a1.BuchungsBestand, a1.EKPreis), std::tuple(5.0, Money::fromDouble(14)));
    EXPECT_EQ(article(u"SER"_s).LetzteSeriennummer, u"S-2"_s);
    const TLagerBuchungList rows = MovementTests::history(db, u"SER"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Seriennummern, rows[0].BestellNr, rows[0].BestellPos,
                         rows[0].BestandNachher),
              std::tuple(u"S-1 S-2"_s, u"B-2"_s, 2, 2.0));
    EXPECT_EQ(order(u"B-2"_s)->Artikel[1].Geliefert, 2);
    EXPECT_EQ(messageTexts(ui), QStringList{kPartial});
}

const QString kOpen = u"B2026-9001"_s;
const QString kPart = u"B2026-9002"_s;
// Enough for the stock to hold a serial article.
constexpr int kArticles = 150;

// The generated demo orders; the catalog of supplier 70001 is the
// one registered for their delivery address.
class OrderDocument : public OrderTables
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(generateInstallation(tmp.path(), {}, {}, kArticles));
        open(tmp.path() + u"/DATA/DEMO/LAGER/"_s, tmp.path() + u"/DATA/DEMO/BESTELLWESEN/"_s);
    }

    static QString catalogOf(const QString &addressNr)
    {
        return addressNr == u"70001" ? u"MUELLER"_s : QString();
    }

    // The order as stored, header and lines in one document.
    QString document(const QString &nr) { return order(nr)->GetXMLText(true); }
};

// Partly in the table: a line in full, one closed early by the reset flag, one pack of ten, a
// free line counted, the serial line left; the line whose article is gone stays open.
TEST_F(OrderDocument, PartialDeliveryInTheTable)
{
    ASSERT_EQ(runTable(kOpen,
                       [](TBestellServerObj &order) {
                           const double quantities[] = {10, 2, 1, 0, 0, 4, 0, 0};
                           ASSERT_EQ(order.Artikel.Count(), qsizetype(std::size(quantities)));
                           for (qsizetype i = 0; i < order.Artikel.Count(); ++i)
                               TableReceiptCommand::EnterQuantity(order.Artikel[i], quantities[i]);
                           order.Artikel[1].OffeneMengeZuruecksetzen = true;
                       }),
              TableReceiptCommand::Outcome::Booked);
    TestDocuments::expectGoldenText("movements", "order_partial.xml", document(kOpen));

    // The pack line's article is kept in pieces: one pack of ten at the pack price.
    const auto stored = order(kOpen);
    const TBestellartikel &pack = stored->Artikel[2];
    const TLagerBuchungList rows = MovementTests::history(db, pack.ArtikelNr);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].Menge, rows[0].Preis),
              std::tuple(10.0, Money::fromDouble(pack.EK / 10)));
}

// Everything still open arrives, serial numbers included: the order is complete.
TEST_F(OrderDocument, CompleteDeliveryInTheTable)
{
    ASSERT_EQ(runTable(kPart,
                       [](TBestellServerObj &order) {
                           for (TBestellartikel &line : order.Artikel) {
                               if (!line.Lagerartikel || !line.Lagerartikel->SNPflicht)
                                   continue;
                               TSeriennummerObjectList &serials =
                                   line.Lagerartikel->Seriennummern.emplace();
                               for (const QString &sn : {u"WZ-SN-1"_s, u"WZ-SN-2"_s})
                                   serials.Add().SN = sn;
                           }
                       }),
              TableReceiptCommand::Outcome::Booked);
    TestDocuments::expectGoldenText("movements", "order_complete.xml", document(kPart));
    EXPECT_EQ(messageTexts(ui).last(), kComplete);
}

// Line by line, the lines change kind: the free line becomes a new serial stock article in packs
// of two (its number first asked again, as the one typed is taken), the free line naming a
// stock article is received as it, the line whose article is gone becomes a free one. The
// order keeps all of it.
TEST_F(OrderDocument, ConvertedLinesLineByLine)
{
    ui.inputs = {u"ARM100000"_s, u" EV-12 "_s};
    ui.answers = {int(ModalResult::Yes)};
    QStringList asked;
    QString serialSupplier;
    OrderReceiptCommand::Hooks h;
    h.chooseOrder = [] { return kOpen; };
    h.clock = [] { return kNow; };
    h.receive = [&](TLagerServerObj &article, ReceiptCommand::Receipt &io) {
        asked.append(article.LagerArtikelNr);
        if (article.SNPflicht)
            io.quantity = 0; // left for another day
        article.BuchungsBestand += io.quantity;
        io.unitPrice = io.price;
        return true;
    };
    h.receiveFree = [&](OrderReceiptCommand::FreeReceipt &io) {
        asked.append(io.supplierNr);
        if (io.supplierNr == u"MU-77310")
            return int(OrderReceiptCommand::BookAsNewArticle);
        io.quantity = 1;
        return int(OrderReceiptCommand::BookFree);
    };
    h.editNewArticle = [](TLagerServerObj &article) {
        article.SNPflicht = true;
        article.Verpackungsmenge = 2;
        return true;
    };
    h.enterSerials = [&](TSeriennummerObjectList &serials, const TLagerArtikelDaten &,
                         QString &supplier) {
        serialSupplier = supplier;
        for (qsizetype i = 0; i < serials.Count(); ++i)
            serials.Item(i).SN = u"EV-%1"_s.arg(i + 1);
        return true;
    };
    h.catalogOf = catalogOf;
    h.formatText = [](const QString &plain) { return u"<p>"_s + plain + u"</p>"_s; };
    h.updateArticle = [](const TLagerServerObj &) {};
    QString supplier;
    OrderReceiptCommand command(db, orderDir, stockDir, u"Lager Meier"_s, true, h);
    ASSERT_EQ(command.Run(supplier), OrderReceiptCommand::Outcome::Booked);
    EXPECT_EQ(supplier, u"70001"_s);
    EXPECT_EQ(asked.size(), 7) << qPrintable(asked.join(u' '));
    EXPECT_EQ(messageTexts(ui, true),
              (QStringList{u"Der Artikel \"ARM100000\" existiert bereits. Artikelnummer aendern?"_s,
                           u"Der Lagerartikel \"WZ-ENTFALLEN\" ist nicht vorhanden. Der bestellte "
                           u"Artikel \"MU-08150\" kann nicht zugeordnet werden."_s,
                           kQuestion.section(u'\n', 0, 0), kPartial}));
    TestDocuments::expectGoldenText("movements", "order_converted.xml", document(kOpen));
    // Two lines of one article: booked once, a history row each under its position.
    const TLagerBuchungList twice = MovementTests::history(db, u"ARM100000"_s);
    ASSERT_EQ(twice.size(), 2);
    EXPECT_EQ(std::tuple(twice[0].Art, twice[0].BestellPos, twice[1].BestellPos,
                         twice[0].BestandNachher, twice[1].BestandVorher),
              std::tuple(TLagerBuchung::OrderReceipt, 1, 2, twice[0].BestandVorher + 10,
                         twice[0].BestandNachher));
    EXPECT_EQ(article(u"ARM100000"_s).BuchungsBestand, twice[1].BestandNachher);

    const TLagerServerObj made = article(u"EV-12"_s);
    // 4 packs of 2 at 7.85 a pack, before the discount; the catalog is the supplier's.
    EXPECT_EQ(std::tuple(made.BuchungsBestand, made.SummeWareneingangMe, made.EKPreis,
                         made.Bezeichnung, made.Langtext, made.LetzteSeriennummer),
              std::tuple(8.0, 8.0, Money::fromDouble(3.93), u"Eckventil mit Filter 1/2 Zoll"_s,
                         u"<p>Eckventil mit Filter 1/2 Zoll</p>"_s, u"EV-8"_s));
    ASSERT_EQ(made.KatRefs.Count(), 1);
    EXPECT_EQ(std::tuple(made.KatRefs[0].Key, made.KatRefs[0].Value, serialSupplier),
              std::tuple(u"MUELLER"_s, u"MU-77310"_s, u"70001"_s));
    EXPECT_EQ(MovementTests::serials(db, u"EV-12"_s).size(), 8);
    const TLagerBuchungList rows = MovementTests::history(db, u"EV-12"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::tuple(rows[0].BestandVorher, rows[0].BestandNachher, rows[0].BestellNr),
              std::tuple(0.0, 8.0, kOpen));
}

// In the table, a free line turns into a stock line at once; its article is written only
// when the line is booked, priced per piece after the discount.
TEST_F(OrderDocument, TheTableTurnsAFreeLineIntoAStockArticle)
{
    const auto edit = [](TLagerServerObj &article) {
        article.Verpackungsmenge = 2;
        return article.LagerArtikelNr != u"ABBRUCH";
    };
    const auto clock = [] { return DateTime::fromQDateTime(kNow); };
    const FreeLineArticle::TableConversion convert{
        db, stockDir, u"Lager Meier"_s, false, edit, catalogOf, clock, {}};
    QString taken;
    ASSERT_EQ(runTable(kOpen,
                       [&](TBestellServerObj &order) {
                           TBestellartikel *free = nullptr;
                           for (TBestellartikel &line : order.Artikel)
                               if (line.BestellNr == u"MU-77310")
                                   free = &line;
                           ASSERT_TRUE(free);
                           taken = order.Artikel[0].ArtikelNr;
                           // Given up three ways: cancelled, kept the taken number, editor
                           // cancelled. The line stays free each time.
                           ui.inputs = {};
                           EXPECT_FALSE(convert.Convert(order, *free));
                           ui.inputs = {taken};
                           ui.answers = {int(ModalResult::No)};
                           EXPECT_FALSE(convert.Convert(order, *free));
                           ui.inputs = {u"ABBRUCH"_s};
                           EXPECT_FALSE(convert.Convert(order, *free));
                           EXPECT_EQ(free->Typ, u"F"_s);
                           EXPECT_FALSE(free->Lagerartikel);

                           ui.inputs = {taken, u"EV-20"_s};
                           ui.answers = {int(ModalResult::Yes)};
                           ASSERT_TRUE(convert.Convert(order, *free));
                           // A second free line cannot take the number still in memory.
                           TBestellartikel &other = order.Artikel.Add(TBestellartikel{});
                           other.Typ = u"F"_s;
                           ui.inputs = {u"EV-20"_s};
                           ui.answers = {int(ModalResult::No)};
                           EXPECT_FALSE(convert.Convert(order, other));
                           for (qsizetype i = 0; i < order.Artikel.Count(); ++i)
                               if (&order.Artikel[i] != free)
                                   order.Artikel[i].Zugangsmenge = 0;
                       }),
              TableReceiptCommand::Outcome::Booked);
    const TLagerServerObj made = article(u"EV-20"_s);
    // 4 packs of 2; 7.85 less 5 % is 7.46 a pack, 3.73 a piece.
    EXPECT_EQ(std::tuple(made.BuchungsBestand, made.SummeWareneingangMe, made.EKPreis),
              std::tuple(8.0, 8.0, Money::fromDouble(3.73)));
    ASSERT_EQ(made.KatRefs.Count(), 1);
    EXPECT_EQ(made.KatRefs[0].Key, u"MUELLER"_s);
}

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
    tree->setCurrentItem(tree->topLevelItem(0));
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
    EXPECT_FALSE(dialog.ConvertButton()->isEnabled()); // a stock line now
    EXPECT_EQ(ui.alerts.size(), 1);
}

} // namespace
