#include "tests/cli/lagerprogram.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace
{

// The generated installation plus PLAIN (4 in stock at 10.00) and SER, a serial-number
// article with no stock, both without history: they were there before the history was.
class LagerReceipt : public LagerProgram
{
protected:
    void SetUp() override
    {
        LagerProgram::SetUp();
        addPlainAndSerialArticles();
    }

    QJsonArray history(const QString &nr)
    {
        const Outcome r = expect(0, {u"history"_s, nr, u"--format"_s, u"json"_s});
        return QJsonDocument::fromJson(r.out).array();
    }

    int receipt(const QString &line) { return lager(words(u"receipt "_s + line)).exitCode; }
};

TEST_F(LagerReceipt, BooksListsTheHistoryNewestFirstAndRefusesWithItsExitCode)
{
    EXPECT_EQ(receipt(u"PLAIN 6 --price 12,50 --supplier L-1"_s), 0);
    // A receipt without a price still says what it cost: nothing.
    EXPECT_EQ(receipt(u"PLAIN 1,5 --price 0"_s), 0);
    EXPECT_EQ(getJson(u"PLAIN"_s).value(u"EKPreis"_s).toDouble(), 12.5);

    const QJsonArray rows = history(u"PLAIN"_s);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][u"price"_s].toDouble(), 12.5);
    EXPECT_EQ(rows[1][u"user"_s].toString(), u"ADMIN"_s);
    const QList<QByteArray> lines = lager(words(u"history PLAIN"_s)).out.split('\n');
    EXPECT_TRUE(lines.value(1).contains("\treceipt\t1.5\t10\t11.5\t0.0000\t"));
    expect(3, words(u"history NICHTDA"_s));
    expect(1, words(u"history PLAIN --format xml"_s));

    // Which receipts are refused is the receipt's own business; here that a refusal reaches
    // the script as its exit code and books nothing.
    EXPECT_EQ(receipt(u"PLAIN 1"_s), 5);           // no price
    EXPECT_EQ(receipt(u"SER 2,5 --price 1"_s), 5); // serials count whole units
    EXPECT_EQ(receipt(u"NICHTDA 1 --price 1"_s), 3);
    EXPECT_EQ(history(u"PLAIN"_s).size(), 2);
    EXPECT_EQ(lager(words(u"history SER"_s)).out.count('\n'), 1); // the header only
}

TEST_F(LagerReceipt, SerialNumbersComeWithTheReceipt)
{
    expect(0, QStringList{u"receipt"_s, u"SER"_s, u"2"_s, u"--serials"_s, u"A-1, A-2"_s} +
                  words(u"--price 5 --supplier L-9"_s));
    const QByteArray list = lager(words(u"serials list SER"_s)).out;
    EXPECT_TRUE(list.contains("A-1\t\tL-9\t") && list.contains("A-2\t\tL-9\t")) << list.data();
    // A number already in stock is refused unless the check is off.
    EXPECT_EQ(receipt(u"SER 1 --price 5 --serials A-2"_s), 5);
    EXPECT_EQ(receipt(u"SER 1 --price 5 --serials A-2 --no-duplicate-check"_s), 0);
    EXPECT_EQ(getJson(u"SER"_s).value(u"BuchungsBestand"_s).toDouble(), 3);
}

// The held main article ends the command; a held grouped one only keeps its prices.
TEST_F(LagerReceipt, HeldArticles)
{
    expect(0, words(u"groupings add PLAIN SER"_s));
    for (const QString &held : {u"PLAIN"_s, u"SER"_s}) {
        ArticleLockHolder holder(stockDir(), held, u"Kollege Meier"_s);
        const Outcome r = expect(held == u"PLAIN" ? 4 : 0, words(u"receipt PLAIN 1 --price 20"_s));
        EXPECT_TRUE(r.err.contains(held == u"PLAIN" ? u"Kollege Meier"_s
                                                    : u"Kann Artikel \"SER\" nicht sperren."_s))
            << qPrintable(r.err);
    }
    EXPECT_EQ(history(u"PLAIN"_s).size(), 1);
    EXPECT_EQ(getJson(u"SER"_s).value(u"EKPreis"_s).toDouble(), 10);
}

TEST_F(LagerReceipt, EveryPathThatSetsStockKeepsTheHistoryChained)
{
    // A new article: its opening stock opens the chain. Putting it again keeps its stock:
    // only bookings move it.
    QJsonObject fresh{{u"LagerArtikelNr"_s, u"NEU-1"_s}, {u"BuchungsBestand"_s, 7}};
    ASSERT_EQ(put(fresh).exitCode, 0);
    EXPECT_EQ(history(u"NEU-1"_s)[0][u"kind"_s].toString(), u"opening"_s);
    fresh[u"BuchungsBestand"_s] = 999;
    ASSERT_EQ(put(fresh).exitCode, 0);
    EXPECT_EQ(getJson(u"NEU-1"_s).value(u"BuchungsBestand"_s).toDouble(), 7);
    EXPECT_EQ(history(u"NEU-1"_s).size(), 1);

    EXPECT_EQ(receipt(u"NEU-1 3 --price 2"_s), 0);
    expect(0, words(u"stock set NEU-1 4"_s), "admin\n");
    const QJsonArray rows = history(u"NEU-1"_s);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][u"kind"_s].toString(), u"manual"_s);
    EXPECT_EQ(rows[0][u"before"_s].toDouble(), 10);
    EXPECT_EQ(rows[0][u"change"_s].toDouble(), -6);

    // An import creating an article opens its chain; one changing an article adds nothing.
    const Outcome imported = importFile(
        u"neu.csv"_s,
        withBom(u"Artikel-Nr.;Bezeichnung;Bestand\r\nNEU-2;Zwei;5\r\nNEU-1;Eins;50\r\n"_s));
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.err);
    EXPECT_EQ(history(u"NEU-2"_s)[0][u"kind"_s].toString(), u"import"_s);
    EXPECT_EQ(history(u"NEU-1"_s).size(), 3);

    EXPECT_EQ(receipt(u"SER 1 --price 1 --serials Z1"_s), 0);
    const Outcome check = checkHistory({u"--serials"_s});
    EXPECT_EQ(check.exitCode, 0) << qPrintable(check.err);
}

} // namespace
