#include "persistence/datetime.h"
#include "stock/mindestbestandperioden.h"
#include "stock/ui/mindestbestandbox.h"
#include "tests/stock/stocktest.h"

namespace
{
QString period(const char *from, const char *to, const char *mb = "0", const char *bm = "0")
{
    return u"<from>%1</from><to>%2</to><mb>%3</mb><bm>%4</bm>"_s.arg(
        QLatin1String(from), QLatin1String(to), QLatin1String(mb), QLatin1String(bm));
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
    const QString year = period("0101", "3112"), q = period("0101", "3112", "3,000", "12,500");
    const struct {
        QStringList before;
        QDate date;
        QStringList after;
    } cases[] = {
        {{}, {2025, 6, 15}, {period("0101", "1406"), period("1506", "3112")}},
        {{q},
         {2025, 1, 1},
         {period("0101", "0101", "3,000", "12,500"), period("0201", "3112", "3,000", "12,500")}},
        {{period("0101", "0101"), period("0201", "3112")},
         {2026, 1, 1},
         {period("0101", "0101"), period("0201", "3112")}},
        {{year}, {2024, 3, 1}, {period("0101", "2902"), period("0103", "3112")}},
        {{year}, {2023, 3, 1}, {period("0101", "2802"), period("0103", "3112")}},
        {{year}, {2024, 2, 29}, {period("0101", "2802"), period("2902", "3112")}},
        {{period("0101", "2802"), period("2902", "3112")},
         {2024, 2, 29},
         {period("0101", "2802"), period("2902", "2902"), period("0103", "3112")}},
        {{year}, {2024, 12, 31}, {period("0101", "3012"), period("3112", "3112")}},
        {{period("101", "3112"), period("0001", "3112"), u"garbage"_s,
          period("0101", "3112", "1", "2")},
         {2025, 4, 10},
         {period("101", "3112"), period("0001", "3112"), u"garbage"_s,
          period("0101", "0904", "1", "2"), period("1004", "3112", "1", "2")}},
    };
    for (const auto &c : cases) {
        TLagerArtikelDaten a;
        a.MindestBestand = c.before;
        a.SplitPeriod(kNoTemplate, DateTime::fromQDate(c.date) + 0.75);
        EXPECT_EQ(a.MindestBestand, c.after) << c.date.toString().toStdString();
    }
}

TEST(MinStockPeriods, DeleteLetsTheNeighbourTakeOverTheDays)
{
    const QString q1 = period("0101", "3103", "1", "10"), q2 = period("0104", "3008", "2", "20"),
                  q3 = period("0109", "3112", "3", "30");
    struct Case {
        QStringList before;
        int index;
        QStringList after;
    };
    const Case cases[] = {
        {{q1, q2, q3}, 1, {period("0101", "3108", "1", "10"), q3}},
        {{q1, q2, q3}, 0, {period("0101", "3008", "2", "20"), q3}},
        {{q1, q2, q3}, 2, {q1, period("0104", "3112", "2", "20")}},
        // The day before 1 March is taken from a leap year, whatever year it is now.
        {{period("0101", "3101"), period("0102", "2802"), period("0103", "3112")},
         1,
         {period("0101", "2902"), period("0103", "3112")}}};
    for (const Case &c : cases) {
        TLagerArtikelDaten a;
        a.MindestBestand = c.before;
        a.DeletePeriod(c.index);
        EXPECT_EQ(a.MindestBestand, c.after) << c.index;
    }

    // What it cannot do it refuses: the last period (without a template a new article's whole
    // year), malformed neighbours, bad indexes.
    TLagerArtikelDaten a;
    a.MindestBestand = {u"old"_s};
    a.InitPeriods(kNoTemplate);
    a.DeletePeriod(0);
    EXPECT_EQ(a.MindestBestand, QStringList{period("0101", "3112")});

    const QStringList broken = {period("0101", "3103"), period("0104", "3008"),
                                period("0009", "3112")};
    a.MindestBestand = broken;
    a.DeletePeriod(1);
    a.DeletePeriod(-1);
    a.DeletePeriod(3);
    EXPECT_EQ(a.MindestBestand, broken);
}

TEST_F(PeriodBox, ListsAndLoadsWithoutTouchingTheRecordTypingRewritesTheSelectedPeriod)
{
    article.MindestBestand = {period("0101", "1406", "5", "10"),
                              period("1506", "3112", "2,5", "viele")};
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
    EXPECT_EQ(article.MindestBestand, (QStringList{period("0101", "1406", "5", "10"),
                                                   period("1506", "3112", "7,500", "4,000")}));
    EXPECT_EQ(box.periodList()->item(1)->text(), u"Vom 15.06 bis 31.12 : 7,500 - 4,000"_s);
    box.orderQuantityEdit()->clear();
    QTest::keyClicks(box.orderQuantityEdit(), u"abc"_s);
    EXPECT_EQ(article.MindestBestand.at(1), period("1506", "3112", "7,500", "0,000"));

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
    EXPECT_EQ(article.MindestBestand,
              (QStringList{period("0101", "1403", "5", "10"), period("1503", "3006", "5", "10"),
                           period("0107", "3112", "3", "6")}));
    EXPECT_EQ(box.periodList()->currentRow(), 1);
    box.insertButton()->click(); // no date given: nothing changes
    EXPECT_EQ(article.MindestBestand.size(), 3);

    box.deleteButton()->click();
    EXPECT_EQ(article.MindestBestand.size(), 2);
    EXPECT_EQ(box.periodList()->currentRow(), 0);
    EXPECT_EQ(box.orderQuantityEdit()->text(), u"10,000"_s);
    box.periodList()->setCurrentRow(0);
    box.deleteButton()->click();
    EXPECT_EQ(article.MindestBestand, QStringList{period("0101", "3112", "3", "6")});
    EXPECT_FALSE(box.deleteButton()->isEnabled()) << "the year must keep one period";
}
