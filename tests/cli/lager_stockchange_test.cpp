#include "movements/stockchangecommand.h"
#include "movements/stockjournal.h"
#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace
{

// An installation with the built lager, a plain article and a serial-number article whose
// three serial numbers match its stock.
class LagerStockChange : public LagerProgram
{
protected:
    void SetUp() override
    {
        generate(0);
        stockDir = LagerProgram::stockDir() + u'/';
        writeArticles(stockDir, {u"PLAIN"_s, u"SER"_s}, [](TLagerServerObj &a) {
            a.SNPflicht = a.LagerArtikelNr == u"SER";
            a.BuchungsBestand = a.SNPflicht ? 3 : 2;
        });
        IModLagerDBServerObj db;
        db.Open(stockDir);
        for (const QString &sn : {u"S1"_s, u"S2"_s, u"S3"_s}) {
            TSeriennummer s;
            s.SN = sn;
            s.LagerArtikelNr = u"SER"_s;
            s.LIEFERANT = u"GC"_s;
            ASSERT_EQ(db.WriteSerial(&s), 0);
        }
    }

    // Stock, serial numbers and journal as another program would find them.
    QString state()
    {
        IModLagerDBServerObj db;
        db.Open(stockDir);
        QStringList serials;
        db.SerialsOfArticle(u"SER"_s, serials);
        // the time of day is the clock's; the rest is the line's own
        const QString masked =
            QString::fromLatin1(TestDocuments::fileBytes(StockJournal::FileName(stockDir)))
                .replace(QRegularExpression(u"\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d "_s),
                         u"<now> "_s);
        return u"PLAIN=%1 SER=%2 [%3]\n%4"_s.arg(
            QString::number(db.GetArticleValue(u"PLAIN"_s, u"BuchungsBestand"_s)),
            QString::number(db.GetArticleValue(u"SER"_s, u"BuchungsBestand"_s)), serials.join(u' '),
            masked);
    }

    QString stockDir;
};

} // namespace

TEST_F(LagerStockChange, StockSetChecksPasswordSerialsAndCountsBeforeItBooks)
{
    const QString j1 = u"<now> ADMIN: Artikel PLAIN von 2 nach 2,5 - SN: \r\n"_s;
    const QString j2 = u"<now> ADMIN: Artikel SER von 3 nach 5 - SN: + A1 A2\r\n"_s;
    const QString j3 = u"<now> ADMIN: Artikel SER von 5 nach 3 - SN: - A2 S1\r\n"_s;
    const QString s0 = u"PLAIN=2 SER=3 [S1 S2 S3]\n"_s;
    const QString s1 = u"PLAIN=2.5 SER=3 [S1 S2 S3]\n"_s + j1;
    const QString s2 = u"PLAIN=2.5 SER=5 [A1 A2 S1 S2 S3]\n"_s + j1 + j2;
    const QString s3 = u"PLAIN=2.5 SER=3 [A1 S2 S3]\n"_s + j1 + j2 + j3;
    // Each step starts where the one before left off; refused steps change nothing. Which
    // added numbers are refused is the serial entry check's business, tested with it.
    const struct {
        QStringList args;
        QByteArray input;
        int exitCode;
        QString state;
    } steps[] = {
        {{u"PLAIN"_s, u"5"_s}, "falsch\n", 2, s0},
        {{u"PLAIN"_s, u"5"_s}, "", 2, s0},
        {{u"PLAIN"_s, u"5x"_s}, "admin\n", 5, s0},
        {{u"NICHTDA"_s, u"5"_s}, "admin\n", 3, s0},
        {{u"PLAIN"_s, u"7"_s, u"--add-serials"_s, u"A"_s}, "admin\n", 5, s0},
        {{u"PLAIN"_s, u"2,5"_s}, "admin\r\n", 0, s1},
        {{u"PLAIN"_s, u"2.5"_s}, "admin\n", 0, s1}, // unchanged: no line
        {{u"SER"_s, u"4,5"_s}, "admin\n", 5, s1},
        {{u"SER"_s, u"5"_s, u"--add-serials"_s, u"A1"_s}, "admin\n", 5, s1},
        {{u"SER"_s, u"5"_s, u"--remove-serials"_s, u"S1,S2"_s}, "admin\n", 5, s1},
        {{u"SER"_s, u"5"_s, u"--add-serials"_s, u"A1,A2"_s}, "admin\n", 0, s2},
        {{u"SER"_s, u"3"_s, u"--remove-serials"_s, u"S1,X9"_s}, "admin\n", 5, s2},
        {{u"SER"_s, u"3"_s, u"--remove-serials"_s, u"S1"_s}, "admin\n", 5, s2},
        {{u"SER"_s, u"3"_s, u"--remove-serials"_s, u"S1,S1"_s}, "admin\n", 5, s2},
        {{u"SER"_s, u"3"_s, u"--remove-serials"_s, u" A2,S1"_s}, "admin\n", 0, s3},
    };
    ASSERT_EQ(state(), s0);
    for (const auto &s : steps) {
        SCOPED_TRACE(qPrintable(s.args.join(u' ')));
        const auto r = lager(QStringList{u"stock"_s, u"set"_s} + s.args, s.input);
        EXPECT_EQ(r.exitCode, s.exitCode) << qPrintable(r.err);
        EXPECT_EQ(state(), s.state);
    }
    expect(3, words(u"serials list NICHTDA"_s));
}

TEST_F(LagerStockChange, ArticleHeldByAnotherProcessStaysUntouchedByWindowAndCommandLine)
{
    ArticleLockHolder holder(stockDir, u"SER"_s);
    ASSERT_TRUE(holder.holding()) << "the lock holder did not start";
    const QString before = state();

    const Outcome r = expect(4, words(u"stock set SER 4 --add-serials N1"_s), "admin\n");
    EXPECT_TRUE(r.err.contains(u"Kollege"_s)) << qPrintable(r.err);

    {
        // The window's command: its wait window is cancelled, no dialog opens.
        ScriptedInteraction ui;
        ScopedInteraction scope(&ui);
        ui.cancelWaitAfterIdles = 0;
        IModLagerDBServerObj db;
        db.Open(stockDir);
        StockChangeCommand::Hooks h;
        h.selectedArticleNr = [] { return u"SER"_s; };
        h.askNewStock = [](const TLagerArtikelDaten &, double &) {
            ADD_FAILURE() << "asked for a stock without the lock";
            return false;
        };
        h.updateArticle = [](const TLagerServerObj &) { ADD_FAILURE() << "row refreshed"; };
        EXPECT_FALSE(StockChangeCommand(db, stockDir, u"ADMIN"_s, u"Administrator"_s, h).Run());
        EXPECT_EQ(ui.waitTexts.size(), 1);
        EXPECT_TRUE(ui.waitTexts.value(0).contains(u"Kollege"_s));
    }
    EXPECT_EQ(state(), before);
}
