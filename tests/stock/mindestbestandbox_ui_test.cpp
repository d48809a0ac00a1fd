#include "stock/lagerserverobj.h"
#include "stock/mindestbestandperioden.h"
#include "stock/ui/mindestbestandbox.h"
#include "tests/support/scriptedinteraction.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
QString period(const char *from, const char *to, const char *mb, const char *bm)
{
    return u"<from>%1</from><to>%2</to><mb>%3</mb><bm>%4</bm>"_s.arg(
        QLatin1String(from), QLatin1String(to), QLatin1String(mb), QLatin1String(bm));
}

QStringList lines(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

struct PeriodBox : ::testing::Test {
    QTemporaryDir stockDir;
    TLagerArtikelEditContext context{nullptr, stockDir.path() + u'/', u"Tester"_s, {}, {}};
    TMindestbestandBox box{context};
    TLagerServerObj article;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};

    void writeTemplate(const QByteArray &text)
    {
        QFile f(PeriodTemplateFile(context.stockDir));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};
} // namespace

TEST_F(PeriodBox, ListsAndLoadsWithoutTouchingTheRecordTypingRewritesTheSelectedPeriod)
{
    article.MindestBestand = {period("0101", "1406", "5", "10"),
                              period("1506", "3112", "2,5", "viele")};
    const TLagerArtikelDaten before = article;
    box.ShowArticle(&article);

    EXPECT_EQ(lines(box.periodList()), (QStringList{u"Vom 01.01 bis 14.06 : 5 - 10"_s,
                                                    u"Vom 15.06 bis 31.12 : 2,5 - viele"_s}));
    EXPECT_EQ(box.minimumEdit()->text(), u"5,000"_s);
    EXPECT_EQ(box.orderQuantityEdit()->text(), u"10,000"_s);

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
    EXPECT_EQ(article.MindestBestand.at(1), period("1506", "3112", "7,500", "4,000"));
    EXPECT_EQ(article.MindestBestand.at(0), period("0101", "1406", "5", "10"));
    EXPECT_EQ(box.periodList()->item(1)->text(), u"Vom 15.06 bis 31.12 : 7,500 - 4,000"_s);
    box.orderQuantityEdit()->clear();
    QTest::keyClicks(box.orderQuantityEdit(), u"abc"_s);
    EXPECT_EQ(article.MindestBestand.at(1), period("1506", "3112", "7,500", "0,000"));

    box.Clear();
    EXPECT_EQ(box.periodList()->count(), 0);
    EXPECT_TRUE(box.minimumEdit()->text().isEmpty());
    EXPECT_FALSE(box.insertButton()->isEnabled());
}

TEST_F(PeriodBox, InsertStartsFromTheTemplateAndSelectsThePeriodOfTheDate)
{
    writeTemplate("<from>0101</from><to>3006</to><mb>5</mb><bm>10</bm>\r\n"
                  "<from>0107</from><to>3112</to><mb>3</mb><bm>6</bm>\r\n");
    box.ShowArticle(&article); // a new article without periods
    EXPECT_EQ(box.periodList()->count(), 0);

    scripted.dates = {QDate(2026, 3, 15)};
    box.insertButton()->click();
    EXPECT_EQ(article.MindestBestand,
              (QStringList{period("0101", "1403", "5", "10"), period("1503", "3006", "5", "10"),
                           period("0107", "3112", "3", "6")}));
    EXPECT_EQ(box.periodList()->currentRow(), 1);
    EXPECT_EQ(box.minimumEdit()->text(), u"5,000"_s);

    // A cancelled date changes nothing.
    const QStringList before = article.MindestBestand;
    box.insertButton()->click();
    EXPECT_EQ(article.MindestBestand, before);
}

TEST_F(PeriodBox, DeleteHandsTheDaysToANeighbourAndKeepsTheLastPeriod)
{
    article.MindestBestand = {period("0101", "1403", "5", "10"), period("1503", "3006", "4", "8"),
                              period("0107", "3112", "3", "6")};
    box.ShowArticle(&article);
    box.periodList()->setCurrentRow(1);
    box.deleteButton()->click();
    EXPECT_EQ(article.MindestBestand,
              (QStringList{period("0101", "3006", "5", "10"), period("0107", "3112", "3", "6")}));
    EXPECT_EQ(box.periodList()->currentRow(), 0);
    EXPECT_EQ(box.orderQuantityEdit()->text(), u"10,000"_s);

    box.periodList()->setCurrentRow(0);
    box.deleteButton()->click();
    EXPECT_EQ(article.MindestBestand, QStringList{period("0101", "3112", "3", "6")});
    EXPECT_FALSE(box.deleteButton()->isEnabled()) << "the year must keep one period";
    EXPECT_EQ(DeletePeriodAt(article, 0), 0);
    EXPECT_EQ(article.MindestBestand.size(), 1);
}
