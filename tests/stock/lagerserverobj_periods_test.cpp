#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "tests/support/documents.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
QString period(const char *from, const char *to, const char *mb = "0", const char *bm = "0")
{
    return u"<from>%1</from><to>%2</to><mb>%3</mb><bm>%4</bm>"_s.arg(
        QLatin1String(from), QLatin1String(to), QLatin1String(mb), QLatin1String(bm));
}

double day(int y, int m, int d)
{
    return DateTime::fromQDate(QDate(y, m, d)) + 0.75;
}

const QString kNoTemplate = u"/nonexistent/STDMB.TXT"_s;
} // namespace

TEST(MinStockPeriods, InitReadsTemplateLinesWhateverTheLineEndsOrGivesTheWholeYear)
{
    TLagerArtikelDaten a;
    a.MindestBestand = {u"old"_s};
    a.InitPeriods(kNoTemplate);
    EXPECT_EQ(a.MindestBestand, QStringList{period("0101", "3112")});

    QTemporaryDir dir;
    const QString path = dir.filePath(u"STDMB.TXT"_s);
    ASSERT_TRUE(TestDocuments::writeFile(path,
                                         "<from>0101</from><to>3006</to><mb>5</mb><bm>10</bm>\r\n"
                                         "<from>0107</from><to>3112</to><mb>2</mb><bm>4</bm>\n"));
    a.InitPeriods(path);
    EXPECT_EQ(a.MindestBestand,
              (QStringList{period("0101", "3006", "5", "10"), period("0107", "3112", "2", "4")}));
}

TEST(MinStockPeriods, SplitCutsThePeriodContainingTheDate)
{
    TLagerArtikelDaten a; // no periods yet: the full year is set up first
    a.MindestBestand.clear();
    a.SplitPeriod(kNoTemplate, day(2025, 6, 15));
    EXPECT_EQ(a.MindestBestand, (QStringList{period("0101", "1406"), period("1506", "3112")}));

    TLagerArtikelDaten b;
    b.MindestBestand = {period("0101", "3112", "3,000", "12,500")};
    b.SplitPeriod(kNoTemplate, day(2025, 1, 1));
    EXPECT_EQ(b.MindestBestand, (QStringList{period("0101", "0101", "3,000", "12,500"),
                                             period("0201", "3112", "3,000", "12,500")}));
    // A one-day period on the date is left alone.
    const QStringList once = b.MindestBestand;
    b.SplitPeriod(kNoTemplate, day(2026, 1, 1));
    EXPECT_EQ(b.MindestBestand, once);
}

TEST(MinStockPeriods, SplitUsesTheCalendarOfTheDatesYear)
{
    for (auto [year, endOfFeb] : {std::pair{2024, "2902"}, std::pair{2023, "2802"}}) {
        TLagerArtikelDaten a;
        a.InitPeriods(kNoTemplate);
        a.SplitPeriod(kNoTemplate, day(year, 3, 1));
        EXPECT_EQ(a.MindestBestand, (QStringList{period("0101", endOfFeb), period("0103", "3112")}))
            << year;
    }
    TLagerArtikelDaten leap;
    leap.InitPeriods(kNoTemplate);
    leap.SplitPeriod(kNoTemplate, day(2024, 2, 29));
    EXPECT_EQ(leap.MindestBestand, (QStringList{period("0101", "2802"), period("2902", "3112")}));
    // Splitting at a period's first day keeps that day alone; the year's last day works too.
    leap.SplitPeriod(kNoTemplate, day(2024, 2, 29));
    leap.SplitPeriod(kNoTemplate, day(2024, 12, 31));
    EXPECT_EQ(leap.MindestBestand, (QStringList{period("0101", "2802"), period("2902", "2902"),
                                                period("0103", "3012"), period("3112", "3112")}));
}

TEST(MinStockPeriods, SplitSkipsMalformedPeriods)
{
    TLagerArtikelDaten a;
    a.MindestBestand = {period("101", "3112"), period("0001", "3112"), u"garbage"_s,
                        period("0101", "3112", "1", "2")};
    a.SplitPeriod(kNoTemplate, day(2025, 4, 10));
    EXPECT_EQ(a.MindestBestand.mid(3),
              (QStringList{period("0101", "0904", "1", "2"), period("1004", "3112", "1", "2")}));
    EXPECT_EQ(a.MindestBestand.size(), 5);
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

    // What it cannot do it refuses: the last period, malformed neighbours, bad indexes.
    TLagerArtikelDaten a;
    a.InitPeriods(kNoTemplate);
    a.DeletePeriod(0);
    EXPECT_EQ(a.MindestBestand.size(), 1);

    const QStringList broken = {period("0101", "3103"), period("0104", "3008"),
                                period("0009", "3112")};
    a.MindestBestand = broken;
    a.DeletePeriod(1);
    a.DeletePeriod(-1);
    a.DeletePeriod(3);
    EXPECT_EQ(a.MindestBestand, broken);
}
