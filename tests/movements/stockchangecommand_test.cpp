#include "movements/serialviewcommand.h"
#include "movements/stockchangecommand.h"
#include "movements/stockjournal.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
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
    void SetUp() override { reset(); }

    // A fresh stock, for cases that each start from it.
    void reset()
    {
        db.reset();
        tmp = std::make_unique<QTemporaryDir>();
        stockDir = tmp->path() + u'/';
        db = std::make_unique<IModLagerDBServerObj>();
        db->Open(stockDir);
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
        ASSERT_EQ(db->WriteArticle(&a), 0);
        for (const QString &n : numbers) {
            TSeriennummer s;
            s.SN = n;
            s.LagerArtikelNr = nr;
            s.INFO = u"alt"_s;
            ASSERT_EQ(db->WriteSerial(&s), 0);
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
        return StockChangeCommand(*db, stockDir, user, u"Anna Berg"_s, std::move(h));
    }

    double stockOf(const QString &nr)
    {
        db->Refresh();
        return db->GetArticleValue(nr, u"BuchungsBestand"_s);
    }
    QStringList serialsOf(const QString &nr)
    {
        QStringList list;
        db->Refresh();
        db->SerialsOfArticle(nr, list);
        db->SerialTable().SetFiltered(false);
        return list;
    }
    QByteArray journal() const
    {
        QFile f(StockJournal::FileName(stockDir));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> tmp;
    QString stockDir;
    std::unique_ptr<IModLagerDBServerObj> db;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QString user = u"anna"_s;
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

TEST_F(StockChange, BookingWritesStockSerialsAndTheJournalLine)
{
    const struct {
        const char *name;
        QString nr;
        double to;
        QStringList enter;
        QStringList choose;
        QByteArray line;
        QStringList serialsAfter;
    } cases[] = {
        {"raise with serials",
         u"SER"_s,
         7,
         {u"A17"_s, u"A18"_s},
         {},
         "06.12.2026 09:41 anna: Artikel SER von 5 nach 7 - SN: + A17 A18\r\n",
         {u"A17"_s, u"A18"_s, u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s}},
        {"lowering with serials",
         u"SER"_s,
         3,
         {},
         {u"S4"_s, u"S2"_s},
         "06.12.2026 09:41 anna: Artikel SER von 5 nach 3 - SN: - S4 S2\r\n",
         {u"S1"_s, u"S3"_s, u"S5"_s}},
        {"plain article",
         u"PLAIN"_s,
         4.5,
         {},
         {},
         "06.12.2026 09:41 anna: Artikel PLAIN von 2 nach 4,5 - SN: \r\n",
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        updated.clear();
        asked = -1;
        newStock = c.to;
        entered = c.enter;
        toChoose = c.choose;
        ASSERT_TRUE(command(c.nr).Run());
        EXPECT_EQ(journal(), c.line);
        EXPECT_EQ(stockOf(c.nr), c.to);
        EXPECT_EQ(serialsOf(c.nr), c.serialsAfter);
        EXPECT_EQ(db->GetArticleValue(c.nr, u"SummeWareneingangMe"_s), 40); // receipts untouched
        EXPECT_EQ(asked, c.choose.isEmpty() ? -1 : 2); // 5 -> 3 asks for exactly two
        EXPECT_EQ(updated, QStringList{c.nr});
        EXPECT_FALSE(QFile::exists(stockDir + u"LOCKREC"_s + c.nr + u".SRW"_s));
        EXPECT_TRUE(ui.messages.isEmpty());
    }
}

TEST_F(StockChange, RaiseAsksForTheDifferenceAndKeepsTheLastNumber)
{
    newStock = 7;
    entered = {u"A17"_s, u"A18"_s};
    ASSERT_TRUE(command(u"SER"_s).Run());
    EXPECT_EQ(entryRows, 2);
    EXPECT_EQ(known, (QStringList{u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
    TSeriennummer s;
    s.SN = u"A18"_s;
    s.LagerArtikelNr = u"SER"_s;
    ASSERT_EQ(db->ReadSerial(&s), 0);
    EXPECT_EQ(s.ZUGANG, DateTime::fromQDateTime(kNow));
    TLagerServerObj a;
    a.LagerArtikelNr = u"SER"_s;
    ASSERT_EQ(db->ReadArticle(&a), 0);
    EXPECT_EQ(a.LetzteSeriennummer, u"A18"_s);

    // a lowering asks for exactly the difference, out of all of the article's numbers
    newStock = 3;
    toChoose = {u"A17"_s, u"S1"_s, u"S2"_s, u"S5"_s};
    ASSERT_TRUE(command(u"SER"_s).Run()); // 7 -> 3
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(candidates, 7);
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"A18"_s, u"S3"_s, u"S4"_s}));
}

TEST_F(StockChange, DroppedChangesLeaveStockSerialsAndJournalAlone)
{
    const struct {
        const char *name;
        QString nr;
        double to;
        bool confirm, enterOk, chooseOk;
        QString message;
        int asked;
    } cases[] = {
        {"unchanged stock", u"PLAIN"_s, 2, true, true, true, QString(), -1},
        {"dialog cancelled", u"PLAIN"_s, 9, false, true, true, QString(), -1},
        {"fraction for serials", u"SER"_s, 6.5, true, true, true,
         u"Fuer Lagerartikel mit Seriennummern duerfen nur ganzzahlige Zugangsmengen "
         u"angegeben werden."_s,
         -1},
        {"entry cancelled", u"SER"_s, 6, true, false, true, QString(), -1},
        {"choice cancelled", u"SER"_s, 4, true, true, false, QString(), 1},
        {"too few serial numbers", u"FEW"_s, 3, true, true, true,
         u"Fuer den Lagerartikel \"FEW\" sind nicht ausreichend Seriennummern verfuegbar."_s, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        asked = -1;
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
        EXPECT_EQ(asked, c.asked);
        EXPECT_TRUE(updated.isEmpty());
        EXPECT_FALSE(QFile::exists(stockDir + u"LOCKREC"_s + c.nr + u".SRW"_s));
        ASSERT_EQ(ui.messages.size(), c.message.isEmpty() ? 0 : 1);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].type, MsgDlgType::Error);
        }
    }
}

TEST_F(StockChange, JournalLineIsWindows1252AndAnUnwritableJournalKeepsTheChange)
{
    user = u"Bär€✓"_s;
    newStock = 3;
    ASSERT_TRUE(command(u"PLAIN"_s).Run());
    EXPECT_EQ(journal(), QByteArray("06.12.2026 09:41 B\xE4r\x80?: Artikel PLAIN von 2 nach 3 "
                                    "- SN: \r\n"));

    ASSERT_TRUE(QFile::remove(StockJournal::FileName(stockDir)));
    ASSERT_TRUE(QDir(stockDir).mkdir(u"LAGER.NFO"_s)); // a directory cannot be appended to
    newStock = 8;
    EXPECT_TRUE(command(u"PLAIN"_s).Run());
    EXPECT_EQ(stockOf(u"PLAIN"_s), 8);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].type, MsgDlgType::Error);
    EXPECT_TRUE(ui.messages[0].text.startsWith(u"LogToFile\r\n"_s))
        << qPrintable(ui.messages[0].text);
}

TEST_F(StockChange, SerialViewAlertsWithoutNumbersAndPostsEdits)
{
    int shown = 0;
    SerialViewCommand::Post post;
    SerialViewCommand view(*db, [&](const QString &nr, const QString &description,
                                    const TSeriennummerObjectList &rows,
                                    const SerialViewCommand::Post &p) {
        ++shown;
        EXPECT_EQ(nr, u"SER"_s);
        EXPECT_EQ(description, u"Kessel"_s);
        EXPECT_EQ(rows.Count(), 5);
        post = p;
    });
    EXPECT_FALSE(view.Run(u"PLAIN"_s, QString()));
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].text, u"Keine Seriennummern vorhanden."_s);
    EXPECT_EQ(ui.alerts[0].milliseconds, 3000);
    EXPECT_EQ(shown, 0);

    ASSERT_TRUE(view.Run(u"SER"_s, u"Kessel"_s));
    ASSERT_TRUE(post);
    TSeriennummer before;
    before.SN = u"S2"_s;
    before.LagerArtikelNr = u"SER"_s;
    ASSERT_EQ(db->ReadSerial(&before), 0);
    TSeriennummer after = before;
    after.INFO = u"geprueft"_s;
    EXPECT_TRUE(post(before, after));
    after.SN = u"S2X"_s;
    EXPECT_TRUE(post(before, after));
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"S1"_s, u"S2X"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
    TSeriennummer moved;
    moved.SN = u"S2X"_s;
    moved.LagerArtikelNr = u"SER"_s;
    ASSERT_EQ(db->ReadSerial(&moved), 0);
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
