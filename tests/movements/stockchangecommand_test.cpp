#include "movements/serialviewcommand.h"
#include "movements/stockchangecommand.h"
#include "movements/stockjournal.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/movements/movementtests.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 41, 30));

// A stock with a plain article, a serial-number article with its five numbers in the table
// and one whose table holds fewer numbers than its stock; the dialogs answered from a script.
class StockChange : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.Open(stockDir);
        addArticle(u"PLAIN"_s, 2, false, {});
        addArticle(u"SER"_s, 5, true, {u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s});
        addArticle(u"FEW"_s, 5, true, {u"F1"_s});
    }

    void addArticle(const QString &nr, double stock, bool serials, const QStringList &numbers)
    {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        a.BuchungsBestand = stock;
        a.SummeWareneingangMe = 40;
        a.SNPflicht = serials;
        a.LetzteSeriennummer = numbers.isEmpty() ? QString() : numbers.last();
        ASSERT_EQ(db.WriteArticle(&a), 0);
        for (const QString &n : numbers) {
            TSeriennummer s;
            s.SN = n;
            s.LagerArtikelNr = nr;
            s.INFO = u"alt"_s;
            ASSERT_EQ(db.WriteSerial(&s), 0);
        }
    }

    StockChangeCommand command(const QString &nr)
    {
        StockChangeCommand::Hooks h;
        h.selectedArticleNr = [nr] { return nr; };
        h.updateArticle = [this](const TLagerServerObj &a) { updated.append(a.LagerArtikelNr); };
        h.askNewStock = [this](const TLagerArtikelDaten &, double &stock) {
            stock = newStock;
            return confirm;
        };
        h.enterSerials = [this](TSeriennummerObjectList &list, const TLagerArtikelDaten &,
                                bool showBack, const QStringList &inStock, QString &) {
            EXPECT_TRUE(showBack);
            entryRows = int(list.Count());
            known = inStock;
            for (qsizetype i = 0; i < list.Count() && i < entered.size(); ++i)
                list.Item(i).SN = entered[i];
            return enterOk;
        };
        h.chooseSerials = [this](const TLagerArtikelDaten &, const TSeriennummerObjectList &cand,
                                 int count, bool showCancel, TSeriennummerObjectList &chosen) {
            EXPECT_TRUE(showCancel);
            asked = count;
            candidates = int(cand.Count());
            for (const QString &sn : toChoose)
                chosen.Add(cand.Item(cand.IndexOf(sn)));
            return chooseOk;
        };
        h.clock = [] { return kNow; };
        return StockChangeCommand(db, stockDir, u"anna"_s, u"Anna Berg"_s, std::move(h));
    }

    double stockOf(const QString &nr)
    {
        db.Refresh();
        return db.GetArticleValue(nr, u"BuchungsBestand"_s);
    }
    QStringList serialsOf(const QString &nr) { return MovementTests::serials(db, nr); }
    TSeriennummer serial(const QString &sn)
    {
        TSeriennummer s;
        s.SN = sn;
        s.LagerArtikelNr = u"SER"_s;
        EXPECT_EQ(db.ReadSerial(&s), 0) << qPrintable(sn);
        return s;
    }
    QByteArray journal() const
    {
        QFile f(StockJournal::FileName(stockDir));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir tmp;
    QString stockDir = tmp.path() + u'/';
    IModLagerDBServerObj db;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    double newStock = 0;
    bool confirm = true;
    QStringList entered;
    bool enterOk = true;
    QStringList toChoose;
    bool chooseOk = true;
    int entryRows = -1;
    int asked = -1;
    int candidates = -1;
    QStringList known;
    QStringList updated;
};

} // namespace

// One after the other on the same stock: a raise asks for the new numbers only, a lowering
// chooses among all numbers of the article, those just added included.
TEST_F(StockChange, BookingWritesStockSerialsAndTheJournalLine)
{
    newStock = 7;
    entered = {u"A17"_s, u"A18"_s};
    ASSERT_TRUE(command(u"SER"_s).Run());
    EXPECT_EQ(std::tuple(entryRows, asked), std::tuple(2, -1));
    EXPECT_EQ(known, (QStringList{u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
    EXPECT_EQ(serial(u"A18"_s).ZUGANG, DateTime::fromQDateTime(kNow));
    EXPECT_EQ(MovementTests::article(db, u"SER"_s).LetzteSeriennummer, u"A18"_s);

    newStock = 3;
    toChoose = {u"A17"_s, u"S4"_s, u"S2"_s, u"S5"_s};
    ASSERT_TRUE(command(u"SER"_s).Run());
    EXPECT_EQ(std::tuple(asked, candidates), std::tuple(4, 7)); // the numbers just added too
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"A18"_s, u"S1"_s, u"S3"_s}));
    EXPECT_EQ(journal(),
              "06.12.2026 09:41 anna: Artikel SER von 5 nach 7 - SN: + A17 A18\r\n"
              "06.12.2026 09:41 anna: Artikel SER von 7 nach 3 - SN: - A17 S4 S2 S5\r\n");
    EXPECT_EQ(stockOf(u"SER"_s), 3);
    EXPECT_EQ(db.GetArticleValue(u"SER"_s, u"SummeWareneingangMe"_s), 40); // receipts untouched
    EXPECT_EQ(updated, (QStringList{u"SER"_s, u"SER"_s}));
    EXPECT_FALSE(QFile::exists(stockDir + u"LOCKRECSER.SRW"_s));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(StockChange, DroppedChangesLeaveStockSerialsAndJournalAlone)
{
    const struct {
        const char *name;
        QString nr;
        double to;
        bool confirm, enterOk, chooseOk;
        QString message;
    } cases[] = {
        {"unchanged stock", u"PLAIN"_s, 2, true, true, true, QString()},
        {"dialog cancelled", u"PLAIN"_s, 9, false, true, true, QString()},
        {"fraction for serials", u"SER"_s, 6.5, true, true, true,
         u"Fuer Lagerartikel mit Seriennummern duerfen nur ganzzahlige Zugangsmengen "
         u"angegeben werden."_s},
        {"entry cancelled", u"SER"_s, 6, true, false, true, QString()},
        {"choice cancelled", u"SER"_s, 4, true, true, false, QString()},
        {"too few serial numbers", u"FEW"_s, 3, true, true, true,
         u"Fuer den Lagerartikel \"FEW\" sind nicht ausreichend Seriennummern verfuegbar."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        newStock = c.to;
        confirm = c.confirm;
        enterOk = c.enterOk;
        chooseOk = c.chooseOk;
        entered = {u"N1"_s};
        toChoose = {u"S3"_s};
        const double before = stockOf(c.nr);
        const QStringList serials = serialsOf(c.nr);
        EXPECT_FALSE(command(c.nr).Run());
        EXPECT_EQ(stockOf(c.nr), before);
        EXPECT_EQ(serialsOf(c.nr), serials);
        EXPECT_EQ(journal(), QByteArray());
        EXPECT_TRUE(updated.isEmpty());
        EXPECT_FALSE(QFile::exists(stockDir + u"LOCKREC"_s + c.nr + u".SRW"_s));
        EXPECT_EQ(MovementTests::texts(ui),
                  c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
}

TEST_F(StockChange, AnUnwritableJournalKeepsTheChange)
{
    ASSERT_TRUE(QDir(stockDir).mkdir(u"LAGER.NFO"_s)); // a directory cannot be appended to
    newStock = 8;
    EXPECT_TRUE(command(u"PLAIN"_s).Run());
    EXPECT_EQ(stockOf(u"PLAIN"_s), 8);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.startsWith(u"LogToFile\r\n"_s))
        << qPrintable(ui.messages[0].text);
}

TEST_F(StockChange, SerialViewAlertsWithoutNumbersAndPostsEdits)
{
    int shown = 0;
    SerialViewCommand::Post post;
    SerialViewCommand view(db, [&](const QString &nr, const QString &description,
                                   const TSeriennummerObjectList &rows,
                                   const SerialViewCommand::Post &p) {
        ++shown;
        EXPECT_EQ(nr, u"SER"_s);
        EXPECT_EQ(description, u"Kessel"_s);
        EXPECT_EQ(rows.Count(), 5);
        post = p;
    });
    EXPECT_FALSE(view.Run(u"PLAIN"_s, QString()));
    EXPECT_EQ(shown, 0);
    ASSERT_TRUE(view.Run(u"SER"_s, u"Kessel"_s));
    ASSERT_TRUE(post);
    const TSeriennummer before = serial(u"S2"_s);
    TSeriennummer after = before;
    after.INFO = u"geprueft"_s;
    EXPECT_TRUE(post(before, after));
    after.SN = u"S2X"_s;
    EXPECT_TRUE(post(before, after));
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"S1"_s, u"S2X"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
    const TSeriennummer moved = serial(u"S2X"_s);
    EXPECT_EQ(moved.INFO, u"geprueft"_s);

    // a number the article has already, and an empty one, leave both rows as they are
    ui.messages.clear();
    TSeriennummer clash = moved;
    clash.SN = u"S3"_s;
    EXPECT_FALSE(post(moved, clash));
    clash.SN.clear();
    EXPECT_FALSE(post(moved, clash));
    EXPECT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"S1"_s, u"S2X"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
}
