#include "movements/articlegroupings.h"
#include "movements/groupingeditor.h"
#include "movements/ui/mod00501form11.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/articles.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestDocuments::utf16File;

namespace
{

TStringStringlistObjectList groupings(const QList<QStringList> &lines)
{
    TStringStringlistObjectList list;
    for (const QStringList &members : lines)
        list.Add(TStringStringlist{QString::number(list.Count() + 1), members});
    return list;
}

QList<QStringList> members(const TStringStringlistObjectList &list)
{
    QList<QStringList> all;
    for (const TStringStringlist &g : list)
        all.append(g.List);
    return all;
}

QStringList names(const TStringStringlistObjectList &list)
{
    QStringList all;
    for (const TStringStringlist &g : list)
        all.append(g.Name);
    return all;
}

class GroupingsFile : public ::testing::Test
{
protected:
    QByteArray fileBytes() const
    {
        return TestDocuments::fileBytes(ArticleGroupings::FileName(dir));
    }

    QTemporaryDir tmp;
    QString dir = tmp.path() + u'/';
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
};

TEST_F(GroupingsFile, WritesQuotedNumbersByteForByteAndReadsThemBack)
{
    const QList<QStringList> lines = {{u"A1"_s, u"B 2"_s, u"C,3"_s, u"D\"4"_s},
                                      {u"X\u00e4"_s, u"Y"_s}};
    ASSERT_TRUE(ArticleGroupings::SaveGroupings(dir, groupings(lines)));
    EXPECT_EQ(fileBytes(), utf16File(u"A1,\"B 2\",\"C,3\",\"D\"\"4\"\r\nX\u00e4,Y\r\n"_s));
    TStringStringlistObjectList back;
    ASSERT_TRUE(ArticleGroupings::LoadGroupings(dir, back));
    EXPECT_EQ(members(back), lines);
    EXPECT_EQ(names(back), (QStringList{u"1"_s, u"2"_s}));
}

TEST_F(GroupingsFile, ReadsCommaTextAsTheSuiteWritesIt)
{
    const struct {
        QString line;
        QStringList items;
    } cases[] = {
        {u""_s, {}},
        {u"   "_s, {}},
        {u"A1"_s, {u"A1"_s}},
        {u" A1 , B1 "_s, {u"A1"_s, u"B1"_s}},
        {u"A1,"_s, {u"A1"_s, u""_s}},
        {u"A1,,B1"_s, {u"A1"_s, u""_s, u"B1"_s}},
        {u"a b"_s, {u"a"_s, u"b"_s}}, // an unquoted blank ends the item
        {u"\"x\"\"y\",\"p, q\""_s, {u"x\"y"_s, u"p, q"_s}},
        {u"\"open"_s, {u"open"_s}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ArticleGroupings::ReadCommaText(c.line), c.items) << qPrintable(c.line);
    for (const auto &c : cases) {
        if (c.items.contains(QString()))
            continue; // an empty number is never stored
        EXPECT_EQ(ArticleGroupings::ReadCommaText(ArticleGroupings::CommaText(c.items)), c.items)
            << qPrintable(c.line);
    }
}

TEST_F(GroupingsFile, EmptyLinesNeverBecomeGroupingsAndAMissingFileLeavesTheList)
{
    TStringStringlistObjectList list = groupings({{u"KEEP"_s}});
    EXPECT_TRUE(ArticleGroupings::LoadGroupings(dir, list));
    EXPECT_EQ(list.Count(), 1);
    TStringStringlistObjectList none;
    EXPECT_FALSE(ArticleGroupings::LoadGroupings(dir, none));

    ASSERT_TRUE(TestDocuments::writeFile(ArticleGroupings::FileName(dir),
                                         utf16File(u"\r\nA,B\r\n  \r\n\r\nC,D\r\n\r\n"_s)));
    TStringStringlistObjectList read;
    ASSERT_TRUE(ArticleGroupings::LoadGroupings(dir, read));
    EXPECT_EQ(members(read), (QList<QStringList>{{u"A"_s, u"B"_s}, {u"C"_s, u"D"_s}}));
    EXPECT_EQ(names(read), (QStringList{u"1"_s, u"2"_s}));

    // Saving only empty groupings is saving none: the file goes.
    ASSERT_TRUE(ArticleGroupings::SaveGroupings(dir, groupings({{}})));
    EXPECT_FALSE(QFileInfo::exists(ArticleGroupings::FileName(dir)));
}

TEST_F(GroupingsFile, TheFirstGroupingOfAnArticleCounts)
{
    const auto list = groupings({{u"A"_s, u"B"_s}, {u"C"_s, u"A"_s}});
    EXPECT_EQ(ArticleGroupings::GroupingOf(list, u"A"_s), &list[0]);
    EXPECT_EQ(ArticleGroupings::GroupingOf(list, u"C"_s), &list[1]);
    EXPECT_EQ(ArticleGroupings::GroupingOf(list, u"a"_s), nullptr);
}

// A stock of six articles, two of them already grouped with a number that left the stock.
class Editor : public GroupingsFile
{
protected:
    void SetUp() override
    {
        writeArticles(
            dir, {u"A1"_s, u"A2"_s, u"A3"_s, u"A4"_s, u"A5"_s, u"A6"_s},
            [](TLagerServerObj &a) { a.Bezeichnung = u"Artikel "_s + a.LagerArtikelNr.mid(1); });
        db.Open(dir);
        ASSERT_TRUE(ArticleGroupings::SaveGroupings(dir, groupings({{u"A5"_s, u"GONE"_s}})));
        editor.Load(db, dir);
    }
    QStringList ungrouped()
    {
        QStringList nrs;
        for (int r = 0; r < editor.Ungrouped().rowCount(); ++r)
            nrs.append(editor.Ungrouped().ArticleNr(r));
        return nrs;
    }
    QString tree(int grouping, int member, int column)
    {
        GroupingTreeModel &m = editor.Tree();
        QModelIndex node = m.index(grouping, 0);
        if (member >= 0)
            node = m.index(member, column, node);
        else
            node = m.index(grouping, column);
        return node.data().toString();
    }

    IModLagerDBServerObj db;
    GroupingEditor editor;
};

TEST_F(Editor, GroupsTheSelectionInListOrderAndRefusesASingleArticle)
{
    EXPECT_EQ(ungrouped(), (QStringList{u"A1"_s, u"A2"_s, u"A3"_s, u"A4"_s, u"A6"_s}));
    EXPECT_EQ((QStringList{tree(0, -1, 1), tree(0, 1, 0), tree(0, 1, 1)}),
              (QStringList{u"Erster Artikel: Artikel 5"_s, u"GONE"_s, u""_s}));

    for (const QList<int> &rows : {QList<int>{2}, QList<int>{}, QList<int>{1, 1, 99}}) {
        EXPECT_FALSE(editor.GroupRows(rows));
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages.takeFirst().text,
                  u"Es muessen mindestens zwei Artikel markiert sein."_s);
        EXPECT_EQ(editor.Groupings().Count(), 1);
        EXPECT_EQ(ungrouped().size(), 5);
    }

    // Clicked A6, A2, A3: grouped as the list shows them.
    ASSERT_TRUE(editor.GroupRows({4, 1, 2}));
    EXPECT_EQ(members(editor.Groupings()).last(), (QStringList{u"A2"_s, u"A3"_s, u"A6"_s}));
    EXPECT_EQ(editor.Groupings().Last()->Name, u"2"_s);
    EXPECT_EQ(ungrouped(), (QStringList{u"A1"_s, u"A4"_s}));
    EXPECT_EQ(editor.Tree().rowCount(), 2);
    EXPECT_EQ(tree(1, 2, 1), u"Artikel 6"_s);
}

TEST_F(Editor, DeletingThroughAMemberUngroupsItsArticles)
{
    ASSERT_TRUE(editor.GroupRows({0, 1}));
    ASSERT_TRUE(editor.GroupRows({1, 2}));
    ASSERT_EQ(names(editor.Groupings()), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    // Through a member's node: its grouping goes, and its articles are ungrouped again.
    ASSERT_TRUE(editor.DeleteGrouping(editor.Tree().index(1, 0, editor.Tree().index(1, 0))));
    EXPECT_EQ(ungrouped(), (QStringList{u"A1"_s, u"A2"_s, u"A3"_s}));
    EXPECT_EQ(names(editor.Groupings()), (QStringList{u"1"_s, u"3"_s}));
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(fileBytes(), utf16File(u"A5,GONE\r\nA4,A6\r\n"_s));
    // Through a grouping's own node as well; nothing selected deletes nothing.
    ASSERT_TRUE(editor.DeleteGrouping(editor.Tree().index(1, 1)));
    EXPECT_EQ(names(editor.Groupings()), QStringList{u"1"_s});
    EXPECT_FALSE(editor.DeleteGrouping({}));
}

// Which selections are grouped and deleted and how is the editor's own test; here that the
// dialog hands it the selected rows and the focused member, and saves only with "Speichern".
TEST_F(Editor, TheDialogGroupsTheSelectionDeletesTheFocusedGroupingAndSavesOnlyWithSpeichern)
{
    TMOD00501Form11 dialog(editor);
    dialog.show();
    auto *left = dialog.findChild<QTreeView *>(u"vstArtikel"_s);
    auto *right = dialog.findChild<QTreeView *>(u"vstGruppierungen"_s);
    ASSERT_TRUE(left && right);
    const auto click = [&](const QString &name) {
        QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton);
    };
    const auto group = [&](const QList<int> &rows) {
        left->clearSelection();
        for (int r : rows)
            left->selectionModel()->select(left->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        click(u"btGruppieren"_s);
    };
    group({0, 3}); // A1, A4
    group({1, 0}); // A3, A2
    EXPECT_EQ(left->model()->rowCount(), 1);
    right->setCurrentIndex(right->model()->index(1, 0, right->model()->index(1, 0)));
    click(u"btLoeschen"_s);
    EXPECT_EQ(left->model()->rowCount(), 3);

    const QByteArray before = fileBytes();
    click(u"btAbbrechen"_s);
    EXPECT_EQ(fileBytes(), before);
    click(u"btSpeichern"_s);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(fileBytes(), utf16File(u"A5,GONE\r\nA2,A3\r\n"_s));
}

} // namespace
