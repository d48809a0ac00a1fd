#include "movements/articlegroupings.h"
#include "movements/groupingeditor.h"
#include "movements/ui/mod00501form11.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/articles.h"
#include "tests/support/scriptedinteraction.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// Four articles, no groupings yet; the dialog over them as the main window opens it.
class GroupingDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeArticles(dir, {u"A1"_s, u"B 2"_s, u"C,3"_s, u"D4"_s},
                      [](TLagerServerObj &a) { a.Bezeichnung = u"Ventil "_s + a.LagerArtikelNr; });
        db.Open(dir);
        editor.Load(db, dir);
        dialog = std::make_unique<TMOD00501Form11>(editor);
        dialog->show();
        left = dialog->findChild<QTreeView *>(u"vstArtikel"_s);
        right = dialog->findChild<QTreeView *>(u"vstGruppierungen"_s);
        ASSERT_TRUE(left && right);
    }
    void click(const QString &button)
    {
        auto *b = dialog->findChild<QPushButton *>(button);
        ASSERT_NE(b, nullptr) << qPrintable(button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void select(const QList<int> &rows)
    {
        left->clearSelection();
        for (int r : rows)
            left->selectionModel()->select(left->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QTemporaryDir tmp;
    QString dir = tmp.path() + u'/';
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    IModLagerDBServerObj db;
    GroupingEditor editor;
    std::unique_ptr<TMOD00501Form11> dialog;
    QTreeView *left = nullptr;
    QTreeView *right = nullptr;
};

// Which selections are grouped and how is the editor's own test; here that the dialog hands it
// the selected rows and saves only with "Speichern".
TEST_F(GroupingDialog, GroupsTheSelectionAndSavesOnlyWithSpeichern)
{
    select({1});
    click(u"btGruppieren"_s);
    EXPECT_EQ(ui.messages.size(), 1);
    select({2, 1, 0});
    click(u"btGruppieren"_s);
    EXPECT_EQ(left->model()->rowCount(), 1);
    EXPECT_EQ(right->model()->index(2, 0, right->model()->index(0, 0)).data().toString(), u"C,3"_s);

    click(u"btAbbrechen"_s);
    EXPECT_FALSE(QFileInfo::exists(ArticleGroupings::FileName(dir)));
    click(u"btSpeichern"_s);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    TStringStringlistObjectList saved;
    ASSERT_TRUE(ArticleGroupings::LoadGroupings(dir, saved));
    EXPECT_EQ(saved[0].List, (QStringList{u"A1"_s, u"B 2"_s, u"C,3"_s}));
}

TEST_F(GroupingDialog, AFocusedMemberDeletesItsGrouping)
{
    select({0, 3});
    click(u"btGruppieren"_s);
    select({0, 1});
    click(u"btGruppieren"_s);
    right->setCurrentIndex(right->model()->index(1, 0, right->model()->index(0, 0)));
    click(u"btLoeschen"_s);
    ASSERT_EQ(right->model()->rowCount(), 1);
    EXPECT_EQ(right->model()->index(0, 0).data().toString(), u"2"_s);
    EXPECT_EQ(left->model()->rowCount(), 2);
}

} // namespace
