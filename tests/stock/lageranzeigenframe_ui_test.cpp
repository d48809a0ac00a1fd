#include "base/inifile.h"
#include "persistence/databasestorebase.h"
#include "stock/lagerlistcolumns.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/stock/stocktest.h"
#include "tests/support/articles.h"
#include "tests/support/lockholders.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeView>

namespace
{
// Articles "nr:description[:stock[:group]]", each with its own purchase price.
void writeStock(const QString &dir, const QStringList &articles)
{
    QStringList numbers;
    for (const QString &a : articles)
        numbers.append(a.section(u':', 0, 0));
    writeArticles(dir, numbers, [&](TLagerServerObj &a) {
        const QStringList parts = articles[numbers.indexOf(a.LagerArtikelNr)].split(u':');
        a.Bezeichnung = parts.value(1);
        a.BuchungsBestand = parts.value(2).toDouble();
        a.Gruppe = parts.value(3, u"SANITAER"_s);
        a.ME = u"Stk"_s;
        a.Inventurartikel = true;
        a.EKPreis = Money::fromUnits(a.LagerArtikelNr.size());
    });
}

class LagerFrameTest : public ::testing::Test
{
protected:
    std::unique_ptr<TLagerAnzeigenFrame> open(int layout = 0)
    {
        return std::make_unique<TLagerAnzeigenFrame>(nullptr, dir.path(), settings, layout,
                                                     u"Ich"_s);
    }
    static QStringList shown(const TLagerAnzeigenFrame &f)
    {
        return articleNumbers(f.DisplayedList());
    }
    template <typename T> T *child(TLagerAnzeigenFrame &f, const char *name)
    {
        return f.findChild<T *>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    IniFile settings;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};
};
} // namespace

TEST_F(LagerFrameTest, GotoFieldFollowsTyping)
{
    writeStock(dir.path(), {u"1000:A"_s, u"10:B"_s, u"20:C"_s});
    auto frame = open();
    frame->SortByColumn(1); // by description: 1000 before 10
    ASSERT_EQ(shown(*frame), (QStringList{u"1000"_s, u"10"_s, u"20"_s}));
    auto *go = child<QLineEdit>(*frame, "edGoto");

    frame->GotoArticle(u"20"_s);
    QTest::keyClicks(go, u"10"_s); // the first number in the list's order that starts so
    EXPECT_EQ(frame->SelectedArticleNr(), u"1000"_s);

    frame->GotoArticle(u"20"_s);
    go->clear();
    EXPECT_EQ(frame->SelectedArticleNr(), u"20"_s);

    QTest::keyClicks(go, u"x"_s); // upper case only; no number starts with X
    EXPECT_EQ(go->text(), u"X"_s);
    EXPECT_EQ(frame->SelectedArticleNr(), u"20"_s);

    EXPECT_FALSE(frame->GotoArticle(u"99"_s));
    ASSERT_FALSE(scripted.alerts.isEmpty());
    EXPECT_EQ(scripted.alerts.last().text, u"Artikel \"99\" nicht gefunden."_s);
}

TEST_F(LagerFrameTest, SearchShowsHitsEndingReturnsToTheArticleUpdatesKeepListsInStep)
{
    writeStock(dir.path(),
               {u"A1:SCHRAUBE M6"_s, u"A2:MUTTER M6"_s, u"A3:SCHRAUBE M8:0:WERKZEUG"_s});
    auto frame = open();
    auto *search = child<QLineEdit>(*frame, "edSearch");

    search->setText(u"  schraube "_s);
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_TRUE(frame->SearchShown());
    EXPECT_EQ(shown(*frame), (QStringList{u"A1"_s, u"A3"_s}));
    EXPECT_TRUE(scripted.alerts.last().text.startsWith(u"2 Treffer in "_s));
    EXPECT_EQ(frame->SelectedArticleNr(), u"A1"_s);

    frame->GotoArticle(u"A3"_s);
    QTest::keyClick(frame->Grid(), Qt::Key_Escape);
    EXPECT_FALSE(frame->SearchShown());
    EXPECT_EQ(frame->DisplayedList().Count(), 3);
    EXPECT_EQ(frame->SelectedArticleNr(), u"A3"_s);

    // Nothing found leaves the empty list shown.
    search->setText(u"DUEBEL"_s);
    frame->StartSearch();
    EXPECT_TRUE(frame->SearchShown());
    EXPECT_EQ(frame->DisplayedList().Count(), 0);
    EXPECT_TRUE(frame->SelectedArticleNr().isEmpty());
    const auto notices = scripted.alerts.size();
    frame->EndSearch(); // nothing was focused: no notice
    EXPECT_EQ(scripted.alerts.size(), notices);

    // Updating and removing keep the hits and the full list in step.
    search->setText(u"SCHRAUBE"_s);
    frame->StartSearch();
    TLagerServerObj a;
    a.LagerArtikelNr = u"A0"_s;
    a.Bezeichnung = u"SCHRAUBE KURZ"_s;
    frame->UpdateArticle(a);
    EXPECT_EQ(shown(*frame), (QStringList{u"A0"_s, u"A1"_s, u"A3"_s}));
    EXPECT_EQ(frame->FullList().Count(), 4);
    frame->RemoveRow(1);
    EXPECT_EQ(shown(*frame), (QStringList{u"A0"_s, u"A3"_s}));
    EXPECT_EQ(frame->FullList().FindArticle(u"A1"), nullptr);
    frame->EndSearch();
    EXPECT_EQ(frame->DisplayedList().Count(), 3);
}

TEST_F(LagerFrameTest, HeaderSortAndStockColumn)
{
    writeStock(dir.path(), {u"B:ZANGE:-2"_s, u"C:AHLE:5"_s, u"A:MEISSEL"_s});
    auto frame = open();
    EXPECT_EQ(shown(*frame), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
    TLagerListModel &model = frame->Model();
    int stockColumn = -1, ekColumn = -1;
    for (int c = 0; c < model.columnCount(); ++c) {
        stockColumn = model.CodeOf(c) == LagerColumn::Bestand ? c : stockColumn;
        ekColumn = model.CodeOf(c) == LagerColumn::EKPreis ? c : ekColumn;
    }
    ASSERT_GE(stockColumn, 0);

    frame->Grid()->header()->sectionClicked(1);
    EXPECT_EQ(shown(*frame), (QStringList{u"C"_s, u"A"_s, u"B"_s}));
    frame->SortByColumn(stockColumn);
    EXPECT_EQ(scripted.alerts.last().text, u"Keine Sortierung moeglich."_s);
    EXPECT_EQ(shown(*frame), (QStringList{u"C"_s, u"A"_s, u"B"_s}));

    // sorting by a detail column loads the details of every entry first
    ASSERT_GE(ekColumn, 0);
    frame->SortByColumn(ekColumn);
    for (const TDBLagerSearchResult *e : frame->DisplayedList())
        EXPECT_TRUE(e->DetailsLoaded());

    // read from the table when painted, not from the list loaded before
    const int rowB = int(frame->DisplayedList().IndexOfArticle(u"B", true));
    const QModelIndex b = model.index(rowB, stockColumn);
    EXPECT_EQ(b.data().toString(), u"-2 Stk"_s);
    frame->Database().SetArticleValue(u"B"_s, u"BuchungsBestand"_s, 3);
    EXPECT_EQ(b.data().toString(), u"3 Stk"_s);

    // Sorting keeps the article the user is on: without a current row the next Del or edit
    // would only ask the user to choose one.
    frame->GotoArticle(u"B"_s);
    for (int column : {1, 0, 1, 4}) {
        SCOPED_TRACE(column);
        frame->Grid()->header()->sectionClicked(column);
        EXPECT_EQ(frame->SelectedArticleNr(), u"B"_s);
        EXPECT_EQ(frame->SelectedRows(),
                  QList<int>{int(frame->DisplayedList().IndexOfArticle(u"B"_s, true))});
    }
}

TEST_F(LagerFrameTest, CountedStockIsWrittenOnlyUnderTheRecordLock)
{
    writeStock(dir.path(), {u"A1:SCHRAUBE"_s, u"A2:MUTTER"_s});
    auto frame = open(2);
    frame->show();
    TLagerListModel &model = frame->Model();
    const int counted = model.columnCount() - 1;
    ASSERT_EQ(model.CodeOf(counted), LagerColumn::Inventurbestand);
    // The stock-taking view lists only what is counted.
    const TLagerListLayout normal = TLagerListLayout::Build(0, settings, u"F"_s, u"G"_s);
    const TLagerListLayout taking = TLagerListLayout::Build(2, settings, u"F"_s, u"G"_s);
    EXPECT_TRUE(!normal.OnlyStockTaking && taking.OnlyStockTaking &&
                taking.WithoutKeptWithoutStock);

    const QModelIndex cell = model.index(0, counted);
    frame->Grid()->edit(cell);
    auto *editor = frame->Grid()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    // while the cell is open nobody else gets the article
    {
        IModLagerDBServerObj other;
        other.Open(dir.path());
        ScriptedInteraction impatient;
        impatient.cancelWaitAfterIdles = 1;
        ScopedInteraction s(&impatient);
        EXPECT_EQ(other.LockRecord(u"Kollege"_s, u"A1"_s), nullptr);
    }
    editor->setText(u"12,5"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits and closes queued
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_DOUBLE_EQ(frame->Database().GetArticleValue(u"A1"_s, u"InventurErfassung"_s), 12.5);
    EXPECT_EQ(cell.data().toString(), u"12,5"_s);

    ArticleLockHolder holder(dir.path(), u"A2"_s);
    ASSERT_TRUE(holder.holding());
    scripted.cancelWaitAfterIdles = 1;
    frame->Grid()->edit(model.index(1, counted));
    EXPECT_EQ(frame->Grid()->viewport()->findChild<QLineEdit *>(), nullptr);
    EXPECT_DOUBLE_EQ(frame->Database().GetArticleValue(u"A2"_s, u"InventurErfassung"_s), 0);
}
