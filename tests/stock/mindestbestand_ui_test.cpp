#include "persistence/datetime.h"
#include "stock/mindestbestandperioden.h"
#include "stock/ui/mindestbestandbox.h"
#include "tests/stock/stocktest.h"

namespace
{
// Periods "from-to[:minimum:quantity]" separated by blanks; a token without a dash is kept as
// it is, the way a damaged line would be stored.
QStringList periods(const char *line)
{
    QStringList out;
    for (const QString &p : QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts)) {
        const QStringList f = p.split(u':');
        out.append(!p.contains(u'-') ? p
                                     : u"<from>%1</from><to>%2</to><mb>%3</mb><bm>%4</bm>"_s.arg(
                                           f[0].section(u'-', 0, 0), f[0].section(u'-', 1),
                                           f.value(1, u"0"_s), f.value(2, u"0"_s)));
    }
    return out;
}

const QString kNoTemplate = u"/nonexistent/STDMB.TXT"_s;

// The article window's period box over the same periods.
struct PeriodBox : ::testing::Test {
    QTemporaryDir stockDir;
    TLagerArtikelEditContext context{nullptr, stockDir.path() + u'/', u"Tester"_s, {}, {}};
    TMindestbestandBox box{context};
    TLagerServerObj article;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};

    void writeTemplate(const QByteArray &text)
    {
        ASSERT_TRUE(TestDocuments::writeFile(PeriodTemplateFile(context.stockDir), text));
    }
};
} // namespace

// No periods yet: the full year is set up first. A one-day period on the date is left alone;
// malformed ones are skipped; the calendar is the one of the date's year.
TEST(MinStockPeriods, SplitCutsThePeriodContainingTheDate)
{
    const struct {
        const char *before;
        QDate date;
        const char *after;
    } cases[] = {
        {"", {2025, 6, 15}, "0101-1406 1506-3112"},
        {"0101-3112:3,000:12,500", {2025, 1, 1}, "0101-0101:3,000:12,500 0201-3112:3,000:12,500"},
        {"0101-0101 0201-3112", {2026, 1, 1}, "0101-0101 0201-3112"},
        {"0101-3112", {2024, 3, 1}, "0101-2902 0103-3112"},
        {"0101-3112", {2023, 3, 1}, "0101-2802 0103-3112"},
        {"0101-3112", {2024, 2, 29}, "0101-2802 2902-3112"},
        {"0101-2802 2902-3112", {2024, 2, 29}, "0101-2802 2902-2902 0103-3112"},
        {"0101-3112", {2024, 12, 31}, "0101-3012 3112-3112"},
        {"101-3112 0001-3112 garbage 0101-3112:1:2",
         {2025, 4, 10},
         "101-3112 0001-3112 garbage 0101-0904:1:2 1004-3112:1:2"},
    };
    for (const auto &c : cases) {
        TLagerArtikelDaten a;
        a.MindestBestand = periods(c.before);
        a.SplitPeriod(kNoTemplate, DateTime::fromQDate(c.date) + 0.75);
        EXPECT_EQ(a.MindestBestand, periods(c.after)) << c.date.toString().toStdString();
    }
}

TEST(MinStockPeriods, DeleteLetsTheNeighbourTakeOverTheDays)
{
    const char *quarters = "0101-3103:1:10 0104-3008:2:20 0109-3112:3:30";
    const struct {
        const char *before;
        int index;
        const char *after;
    } cases[] = {
        {quarters, 1, "0101-3108:1:10 0109-3112:3:30"},
        {quarters, 0, "0101-3008:2:20 0109-3112:3:30"},
        {quarters, 2, "0101-3103:1:10 0104-3112:2:20"},
        // The day before 1 March is taken from a leap year, whatever year it is now.
        {"0101-3101 0102-2802 0103-3112", 1, "0101-2902 0103-3112"},
        // What it cannot do it refuses: malformed neighbours, bad indexes.
        {"0101-3103 0104-3008 0009-3112", 1, "0101-3103 0104-3008 0009-3112"},
        {"0101-3103 0104-3112", -1, "0101-3103 0104-3112"},
        {"0101-3103 0104-3112", 2, "0101-3103 0104-3112"},
    };
    for (const auto &c : cases) {
        TLagerArtikelDaten a;
        a.MindestBestand = periods(c.before);
        a.DeletePeriod(c.index);
        EXPECT_EQ(a.MindestBestand, periods(c.after)) << c.before << " " << c.index;
    }
    // The last period (without a template a new article's whole year) stays.
    TLagerArtikelDaten a;
    a.MindestBestand = {u"old"_s};
    a.InitPeriods(kNoTemplate);
    a.DeletePeriod(0);
    EXPECT_EQ(a.MindestBestand, periods("0101-3112"));
}

TEST_F(PeriodBox, ListsAndLoadsWithoutTouchingTheRecordTypingRewritesTheSelectedPeriod)
{
    article.MindestBestand = periods("0101-1406:5:10 1506-3112:2,5:viele");
    const TLagerArtikelDaten before = article;
    box.ShowArticle(&article);

    EXPECT_EQ(box.periodList()->item(1)->text(), u"Vom 15.06 bis 31.12 : 2,5 - viele"_s);
    box.periodList()->setCurrentRow(1);
    EXPECT_EQ(box.minimumEdit()->text(), u"2,500"_s);
    EXPECT_EQ(box.orderQuantityEdit()->text(), u"0,000"_s) << "unparsable quantities load as 0";
    EXPECT_TRUE(static_cast<const TLagerArtikelDaten &>(article) == before)
        << "showing and selecting must not rewrite the periods";

    // Typing rewrites only the selected period, with three decimals; rubbish stores 0.
    box.orderQuantityEdit()->clear();
    QTest::keyClicks(box.orderQuantityEdit(), u"4"_s);
    box.minimumEdit()->clear();
    QTest::keyClicks(box.minimumEdit(), u"7,5"_s);
    EXPECT_EQ(article.MindestBestand, periods("0101-1406:5:10 1506-3112:7,500:4,000"));
    EXPECT_EQ(box.periodList()->item(1)->text(), u"Vom 15.06 bis 31.12 : 7,500 - 4,000"_s);
    box.orderQuantityEdit()->clear();
    QTest::keyClicks(box.orderQuantityEdit(), u"abc"_s);
    EXPECT_EQ(article.MindestBestand.at(1), periods("1506-3112:7,500:0,000")[0]);

    box.Clear();
    EXPECT_EQ(box.periodList()->count(), 0);
}

// How periods are split and merged is the periods' own test; here the buttons' wiring.
TEST_F(PeriodBox, InsertSplitsAtTheAskedDateAndDeleteKeepsTheLastPeriod)
{
    // Template lines end either way.
    writeTemplate("<from>0101</from><to>3006</to><mb>5</mb><bm>10</bm>\r\n"
                  "<from>0107</from><to>3112</to><mb>3</mb><bm>6</bm>\n");
    box.ShowArticle(&article); // a new article without periods
    scripted.dates = {QDate(2026, 3, 15)};
    box.insertButton()->click();
    EXPECT_EQ(article.MindestBestand, periods("0101-1403:5:10 1503-3006:5:10 0107-3112:3:6"));
    EXPECT_EQ(box.periodList()->currentRow(), 1);
    box.insertButton()->click(); // no date given: nothing changes
    EXPECT_EQ(article.MindestBestand.size(), 3);

    box.deleteButton()->click();
    EXPECT_EQ(article.MindestBestand.size(), 2);
    EXPECT_EQ(box.periodList()->currentRow(), 0);
    EXPECT_EQ(box.orderQuantityEdit()->text(), u"10,000"_s);
    box.periodList()->setCurrentRow(0);
    box.deleteButton()->click();
    EXPECT_EQ(article.MindestBestand, periods("0101-3112:3:6"));
    EXPECT_FALSE(box.deleteButton()->isEnabled()) << "the year must keep one period";
}
