// The order choice on the offscreen platform over a real order table: which orders it offers,
// how the word search narrows them, and that leaving the search keeps the user's order.
#include "base/inifile.h"
#include "ordering/ui/bestelljournalmodel.h"
#include "ordering/ui/lagerbestelljournalframe1.h"
#include "ordering/ui/mod00501form5.h"
#include "persistence/datetime.h"
#include "tests/ordering/orderingtest.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace
{

struct Sample {
    const char16_t *nr;
    const char16_t *text;
    int stadium;
    double datum;
};

// Open and partly delivered orders mixed with every other state, with descriptions that
// share words in different orders.
const Sample kSamples[] = {
    {u"B-001", u"Heizung Keller Nord", 2, 45010},
    {u"B-002", u"Keller Sanitaer", 4, 45005},
    {u"B-003", u"Dach Heizung", 2, 45020},
    {u"B-004", u"Sanitaer Keller mit Heizung", 4, 45001},
    {u"B-005", u"Heizung Keller geliefert", 5, 45002},
    {u"B-006", u"Heizung Keller storniert", 3, 45003},
    {u"B-007", u"Heizung Keller in Arbeit", 1, 45004},
    {u"B-008", u"Heizung Keller unbekannt", 0, 45006},
};

QStringList listedNumbers(TLagerBestelljournalFrame1 &frame)
{
    QStringList numbers;
    for (int row = 0; row < frame.Model()->rowCount(); ++row)
        numbers.append(frame.Model()->NumberAt(row));
    return numbers;
}

class OrderJournal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        IModBestellDBServerObj db;
        ASSERT_TRUE(db.Open(dir()));
        for (const Sample &s : kSamples) {
            TBestellServerObj order;
            order.BestellNr = QString::fromUtf16(s.nr);
            order.Anzeigetext = QString::fromUtf16(s.text);
            order.Stadium = quint8(s.stadium);
            order.Datum = s.datum;
            ASSERT_EQ(db.WriteOrder(&order, true), 0);
        }
    }

    QString dir() const { return m_dir.path() + u"/BESTELLWESEN"_s; }

    void search(TLagerBestelljournalFrame1 &frame, const QString &text)
    {
        frame.SearchEdit()->setText(text);
        QTest::mouseClick(frame.StartSearchButton(), Qt::LeftButton);
    }

    void selectOrder(TLagerBestelljournalFrame1 &frame, const QString &number)
    {
        const int row = frame.Model()->RowOf(number);
        ASSERT_GE(row, 0) << number.toStdString();
        frame.Grid()->setCurrentIndex(frame.Model()->index(row, 1));
    }

    QTemporaryDir m_dir;
};

} // namespace

// The choice offers only open and partly delivered orders; the word search narrows them.
TEST_F(OrderJournal, ChoiceOffersOpenOrdersAndTwoWordSearchNeedsBothWords)
{
    TMOD00501Form5 dialog(nullptr, dir(), nullptr);
    TLagerBestelljournalFrame1 &frame = *dialog.Frame();
    EXPECT_EQ(listedNumbers(frame), QStringList({u"B-001"_s, u"B-002"_s, u"B-003"_s, u"B-004"_s}));

    search(frame, u"  keller   HEIZUNG "_s);
    // Both words, in any order and position; the state filter still applies.
    EXPECT_EQ(listedNumbers(frame), QStringList({u"B-001"_s, u"B-004"_s}));

    selectOrder(frame, u"B-004"_s);
    QTest::mouseClick(frame.EndSearchButton(), Qt::LeftButton);
    EXPECT_EQ(listedNumbers(frame).size(), 4);
    EXPECT_EQ(frame.Grid()->currentIndex().row(), frame.Model()->RowOf(u"B-004"_s));

    // No words: nothing happens, not even an empty filter.
    search(frame, u"   "_s);
    EXPECT_EQ(listedNumbers(frame).size(), 4);

    // A quote in a word is a character to find, not the end of the pattern.
    search(frame, u"O'Brien"_s);
    EXPECT_TRUE(listedNumbers(frame).isEmpty());
}

TEST_F(OrderJournal, OkReturnsTheCurrentOrderCancelNone)
{
    IniFile ini;
    {
        TMOD00501Form5 dialog(nullptr, dir(), &ini);
        selectOrder(*dialog.Frame(), u"B-003"_s);
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        EXPECT_EQ(dialog.Execute(), u"B-003"_s);
    }
    TMOD00501Form5 cancelled(nullptr, dir(), &ini);
    QTimer::singleShot(0, &cancelled, &QDialog::reject);
    EXPECT_TRUE(cancelled.Execute().isEmpty());
}

TEST_F(OrderJournal, SortingGoToAndHidingDeliveredOrders)
{
    TLagerBestelljournalFrame1 frame(nullptr, dir());
    EXPECT_EQ(listedNumbers(frame).size(), 8);

    frame.Grid()->horizontalHeader()->sectionClicked(TBestellJournalModel::ColDatum);
    EXPECT_EQ(listedNumbers(frame).first(), u"B-004"_s);
    frame.Grid()->horizontalHeader()->sectionClicked(TBestellJournalModel::ColText);
    EXPECT_EQ(listedNumbers(frame).first(), u"B-004"_s); // no index behind the description

    QString reported;
    frame.SetOnOrderChanged([&reported](const QString &nr) { reported = nr; });
    QTest::keyClicks(frame.GoToEdit(), u"b-00"_s);
    EXPECT_EQ(frame.GoToEdit()->text(), u"B-00"_s);
    QTest::keyClicks(frame.GoToEdit(), u"6"_s);
    EXPECT_EQ(frame.Grid()->currentIndex().row(), frame.Model()->RowOf(u"B-006"_s));
    // The report waits for the typing to pause; firing the pause now stands for the wait.
    auto *pause = frame.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(pause && pause->isActive() && reported.isEmpty());
    pause->stop();
    QMetaObject::invokeMethod(pause, "timeout");
    EXPECT_EQ(reported, u"B-006"_s);

    frame.HideDeliveredAction()->setChecked(true);
    QStringList shown = listedNumbers(frame);
    shown.sort();
    EXPECT_EQ(shown, QStringList({u"B-001"_s, u"B-002"_s, u"B-003"_s, u"B-004"_s, u"B-007"_s}));
    frame.HideDeliveredAction()->setChecked(false);
    EXPECT_EQ(listedNumbers(frame).size(), 8);
}

TEST_F(OrderJournal, FollowUpCellsShowDateTimeAndWhetherDue)
{
    const QDate today = QDate::currentDate();
    {
        IModBestellDBServerObj db;
        ASSERT_TRUE(db.Open(dir()));
        for (const auto &[nr, when] :
             {std::pair(u"B-001"_s, QDateTime(today, QTime(0, 0))),
              std::pair(u"B-002"_s, QDateTime(today.addDays(-1), QTime(14, 30)))}) {
            TBestellServerObj order;
            order.BestellNr = nr;
            ASSERT_EQ(db.ReadOrder(&order, true), 0);
            order.WV = DateTime::fromQDateTime(when);
            ASSERT_EQ(db.WriteOrder(&order, false), 0);
        }
    }
    TLagerBestelljournalFrame1 frame(nullptr, dir());
    const TBestellJournalModel &model = *frame.Model();
    const auto cell = [&model](const QString &nr) {
        return model.index(model.RowOf(nr), TBestellJournalModel::ColWV);
    };
    EXPECT_EQ(cell(u"B-001"_s).data().toString(), today.toString(u"dd.MM.yyyy"_s));
    EXPECT_EQ(cell(u"B-002"_s).data().toString(),
              today.addDays(-1).toString(u"dd.MM.yyyy"_s) + u" 14:30"_s);
    EXPECT_EQ(cell(u"B-002"_s).data(TBestellJournalModel::FollowUpDueRole).toInt(), -1);
    EXPECT_TRUE(cell(u"B-003"_s).data().toString().isEmpty());
    EXPECT_FALSE(cell(u"B-003"_s).data(TBestellJournalModel::FollowUpDueRole).isValid());

    // A follow-up is due for the whole of its day.
    const double todayMidnight = DateTime::fromQDateTime(QDateTime(today, QTime(0, 0)));
    EXPECT_EQ(TBestellJournalModel::FollowUpDue(todayMidnight + 0.99), 0);
    EXPECT_EQ(TBestellJournalModel::FollowUpDue(todayMidnight + 1.4), 1);
}
