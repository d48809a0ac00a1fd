#include "app/ui/fasteditmenu.h"
#include "app/ui/mod00501form1.h"
#include "app/ui/mod00501form2.h"
#include "base/inifile.h"
#include "base/ui/columnmenu.h"
#include "catalogs/katalogdbpool.h"
#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/articles.h"
#include "tests/support/scriptedinteraction.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using FastEdit::ValueList;

namespace
{

QStringList numbered(const QString &prefix, int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out.append(prefix + QString::number(i));
    return out;
}

// A stock of three articles and a configuration with 30 storage places and 150 groups.
class FastEditWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stockDir = dir.path() + u'/';
        TLagerConfig config;
        config.Lagerorte = numbered(u"Platz "_s, 30);
        config.Artikelgruppen = numbered(u"G"_s, 150);
        config.SaveToFile(TLagerConfig::FileNameIn(stockDir));
        writeArticles(stockDir, {u"A1"_s, u"B2"_s, u"C3"_s},
                      [](TLagerServerObj &a) { a.Lagerort = u"Platz 1"_s; });
    }

    std::unique_ptr<TMOD00501Form1> window()
    {
        MainWindowContext c;
        c.editContext.stockDir = stockDir;
        c.userFullName = u"Ich"_s;
        c.editList = [this](const QString &caption, QStringList &entries) {
            captions.append(caption);
            entries.append(u"Neu"_s);
            return true;
        };
        auto w = std::make_unique<TMOD00501Form1>(std::move(c));
        w->attachStock(nullptr, nullptr,
                       new TLagerAnzeigenFrame(w.get(), stockDir, IniFile(), 0, u"Ich"_s));
        return w;
    }

    static TFastEditMenu &menu(TMOD00501Form1 &w)
    {
        return *static_cast<TFastEditMenu *>(w.fastEditMenu());
    }

    // The storage place the list shows in a row.
    static QString placeShown(TMOD00501Form1 &w, int row)
    {
        TLagerListModel &m = w.stockFrame()->Model();
        for (int c = 0; c < m.columnCount(); ++c)
            if (m.CodeOf(c) == LagerColumn::Lagerort)
                return m.data(m.index(row, c), Qt::DisplayRole).toString();
        return u"no column"_s;
    }

    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QTemporaryDir dir;
    QString stockDir;
    QStringList captions;
};

} // namespace

// What a value or a list edit does is the quick edit's business; here that the window builds
// its menus from the stock's configuration, sets the selected rows and hands an edited list to
// every holder.
TEST_F(FastEditWindowTest, MenusSetTheSelectionAndAnEditedListReachesEveryHolder)
{
    auto w = window();
    EXPECT_EQ(placeShown(*w, 0), u"Platz 1"_s); // details loaded
    QItemSelectionModel *selection = w->stockList()->selectionModel();
    selection->select(w->stockFrame()->Model().index(0, 0),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->select(w->stockFrame()->Model().index(1, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    menu(*w).Values(ValueList::Lagerort)->Button(26)->click();
    EXPECT_EQ(placeShown(*w, 0), u"Platz 27"_s);
    EXPECT_EQ(placeShown(*w, 1), u"Platz 27"_s);
    EXPECT_EQ(placeShown(*w, 2), u"Platz 1"_s);

    QSignalSpy told(w.get(), &TMOD00501Form1::stockConfigChanged);
    auto *filter = w->stockFrame()->findChild<QComboBox *>(u"cbArtGrp"_s);
    ASSERT_EQ(filter->count(), 151);
    w->fastEditMenu()->findChild<QAction *>(u"miArtikelgruppeListe"_s)->trigger();
    EXPECT_EQ(captions, QStringList{u"Artikelgruppe"_s});
    EXPECT_EQ(filter->count(), 152);
    EXPECT_EQ(filter->itemText(151), u"Neu"_s);
    EXPECT_EQ(menu(*w).Values(ValueList::Artikelgruppe)->Columns()[0].last(), u"Neu"_s);
    EXPECT_EQ(told.count(), 1);
}

// Arrow keys walk the columns without leaving the items of the list; Enter chooses.
TEST(ColumnMenu, KeysMoveAcrossColumnsAndChoose)
{
    TColumnMenu menu;
    QList<TColumnMenu::Item> items;
    for (int i = 0; i < 30; ++i)
        items.append({QString::number(i), i});
    menu.SetItems(items, {12, 24}); // columns of 12, 12 and 6
    menu.show();
    QSignalSpy chosen(&menu, &TColumnMenu::chosen);
    const auto press = [&](int from, Qt::Key key) {
        menu.Button(from)->setFocus();
        QTest::keyClick(menu.Button(from), key);
        const QWidget *f = menu.focusWidget();
        return f ? f->property("tag").toInt() : -99;
    };
    EXPECT_EQ(press(0, Qt::Key_Down), 1);
    EXPECT_EQ(press(13, Qt::Key_Up), 12);
    EXPECT_EQ(press(3, Qt::Key_Right), 15);
    EXPECT_EQ(press(15, Qt::Key_Left), 3);
    EXPECT_EQ(press(23, Qt::Key_Right), 29); // the short last column: its last item
    EXPECT_EQ(press(29, Qt::Key_Right), 29); // the edge is the menu's, nothing moves
    EXPECT_TRUE(chosen.isEmpty());
    QTest::keyClick(menu.Button(17), Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 17);
}

// The article window of a field edit opens with the focus where the edit is meant to go.
TEST(FastEditArticleWindow, FocusFollowsTheMode)
{
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QTemporaryDir dir;
    TSystemEinstellungen settings;
    TLagerArtikelEditContext context;
    context.settings = &settings;
    context.stockDir = dir.path() + u'/';
    TMOD00501Form2 w(context, QString());

    // The focused field and, where it lies on a page of its own, that page.
    const auto focusFor = [&](int mode) {
        w.Frame()->Pages()->setCurrentIndex(1);
        TLagerServerObj a;
        a.LagerArtikelNr = u"A1"_s;
        a.InitPeriods(QString()); // the whole year: the order quantity can be typed
        QString seen;
        QTimer::singleShot(0, &w, [&] {
            const QWidget *f = w.focusWidget();
            const QString page = w.Frame()->Pages()->currentWidget()->objectName();
            seen = (f ? f->objectName() : u"none"_s) + (mode >= 2 ? u'@' + page : QString());
            w.reject();
        });
        w.Edit(a, true, mode);
        return seen;
    };
    const std::pair<int, QString> cases[] = {
        {0, u"edBezeichnung"_s},       {1, u"edBestellmenge"_s},      {2, u"edEK@tsPreise"_s},
        {3, u"edVKNetto1@tsPreise"_s}, {7, u"edVKNetto5@tsPreise"_s},
    };
    for (const auto &[mode, expected] : cases)
        EXPECT_EQ(focusFor(mode), expected) << mode;
    // Net prices locked: the gross field of the price takes the value.
    w.findChild<QCheckBox *>(u"cbNettoEnabled"_s)->setChecked(false);
    EXPECT_EQ(focusFor(4), u"edVKBrutto2@tsPreise"_s);
}
