// Receipts from the orders of a generated installation, checked where they end up: the order
// document against expected files (each line's delivered quantity, kind and article number,
// the state), and the new stock articles made from free lines.
#include "movements/freelinearticle.h"
#include "movements/orderreceiptcommand.h"
#include "movements/tablereceiptcommand.h"
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "tests/movements/movementtests.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

const QDateTime kNow(QDate(2026, 12, 6), QTime(10, 15, 0));
const QString kOpen = u"B2026-9001"_s;
const QString kPart = u"B2026-9002"_s;
// Enough for the stock to hold a serial article.
constexpr int kArticles = 150;

// The generated demo orders; the catalog of supplier 70001 is the
// one registered for their delivery address.
class OrderDocument : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(generateInstallation(tmp.path(), {}, {}, kArticles));
        stockDir = tmp.path() + u"/DATA/DEMO/LAGER/"_s;
        orderDir = tmp.path() + u"/DATA/DEMO/BESTELLWESEN/"_s;
        db.Open(stockDir);
        ASSERT_TRUE(orders.Open(orderDir));
    }

    static QString catalogOf(const QString &addressNr)
    {
        return addressNr == u"70001" ? u"MUELLER"_s : QString();
    }

    TableReceiptCommand::Outcome runTable(const QString &nr,
                                          std::function<void(TBestellServerObj &)> table)
    {
        TableReceiptCommand::Hooks h;
        h.chooseOrder = [nr] { return nr; };
        h.clock = [] { return kNow; };
        h.showTable = [table](TBestellServerObj &o) {
            table(o);
            return true;
        };
        h.confirm = [] { return true; };
        QString supplier;
        return TableReceiptCommand(db, orderDir, u"Lager Meier"_s, true, false, h).Run(supplier);
    }

    std::unique_ptr<TBestellServerObj> order(const QString &nr)
    {
        orders.Refresh();
        auto o = std::make_unique<TBestellServerObj>();
        o->BestellNr = nr;
        EXPECT_EQ(orders.ReadOrder(o.get(), true), 0);
        return o;
    }
    // The order as stored, header and lines in one document.
    QString document(const QString &nr) { return order(nr)->GetXMLText(true); }

    TLagerServerObj article(const QString &nr) { return MovementTests::article(db, nr); }

    QTemporaryDir tmp;
    QString stockDir, orderDir;
    IModLagerDBServerObj db;
    IModBestellDBServerObj orders;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
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
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_EQ(ui.messages.last().text,
              u"Alle Artikel wurden geliefert. Die Bestellung ist abgeschlossen."_s);
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
    QStringList texts;
    for (const auto &m : ui.messages)
        texts.append(m.text.section(u'\n', 0, 0));
    EXPECT_EQ(texts,
              (QStringList{u"Der Artikel \"ARM100000\" existiert bereits. Artikelnummer aendern?"_s,
                           u"Der Lagerartikel \"WZ-ENTFALLEN\" ist nicht vorhanden. Der bestellte "
                           u"Artikel \"MU-08150\" kann nicht zugeordnet werden."_s,
                           u"Alle Informationen zu diesem Warenzugang liegen nun vor."_s,
                           u"Die Bestellung befindet sich jetzt im Stadium \"Teillieferung\", da "
                           u"noch nicht alle Artikel geliefert wurden."_s}));
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
    const FreeLineArticle::TableConversion convert{db,
                                                   stockDir,
                                                   u"Lager Meier"_s,
                                                   false,
                                                   edit,
                                                   catalogOf,
                                                   [] { return DateTime::fromQDateTime(kNow); },
                                                   {}};
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
                           EXPECT_EQ(free->Typ, u"N"_s);
                           EXPECT_EQ(free->ArtikelNr, u"EV-20"_s);
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
    const TLagerBuchungList rows = MovementTests::history(db, u"EV-20"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].BestellNr, kOpen);
}

} // namespace
