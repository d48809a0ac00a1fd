// The main window over a stock: rights and selection, delete, close, the label window's
// redirect, the booking commands of its functions menu and the quick edit's menus.
#include "app/ui/fasteditmenu.h"
#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "base/ui/columnmenu.h"
#include "catalogs/katalogdbpool.h"
#include "printing/ui/mod00501form9.h"
#include "stock/dblagersearchresult.h"
#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/articles.h"
#include "tests/support/installation.h"
#include "tests/support/lockholders.h"
#include "tests/support/scriptedinteraction.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;
using FastEdit::ValueList;

namespace
{

MainWindowContext context(const std::function<void(MainWindowContext &)> &set)
{
    MainWindowContext c;
    set(c);
    return c;
}

// A stock with these articles, shown selected in the window's list.
void fillStockList(TMOD00501Form1 &window, const QString &dir, const QStringList &numbers)
{
    writeArticles(dir, numbers,
                  [](TLagerServerObj &a) { a.Bezeichnung = u"ARTIKEL "_s + a.LagerArtikelNr; });
    auto *frame = new TLagerAnzeigenFrame(&window, dir, IniFile(), 0, u"Ich"_s);
    window.attachStock(nullptr, nullptr, frame);
    window.stockList()->selectAll();
}

QStringList numbersIn(const QString &dir)
{
    IModLagerDBServerObj db;
    db.Open(dir);
    TDBLagerSearchResultObjectList list;
    db.Search(QString(), QString(), list, false, false);
    QStringList out;
    for (const TDBLagerSearchResult *e : list)
        out.append(e->ArtikelNr().toString());
    return out;
}

QStringList numbersShown(const TMOD00501Form1 &window)
{
    QStringList out;
    for (const TDBLagerSearchResult *e : window.stockFrame()->DisplayedList())
        out.append(e->ArtikelNr().toString());
    return out;
}

// The right is checked before the selection; an empty selection only alerts.
TEST(MainWindow, MissingRightComesBeforeTheEmptySelectionWhichOnlyAlerts)
{
    ScriptedInteraction scripted;
    ScopedInteraction scope(&scripted);
    TMOD00501Form1 window(context(
        [&](MainWindowContext &c) { c.hasRight = [](const QString &r) { return r != u"43"; }; }));
    window.fastEdit();
    window.deleteArticles();
    ASSERT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(scripted.alerts[0].text, u"Waehlen Sie erst eine oder mehrere Zeilen aus!"_s);
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_EQ(scripted.messages[0].text, u"Sie sind nicht berechtigt, Artikel zu loeschen!"_s);
}

// Without a current row the next Del or edit would only say "Waehlen Sie erst ...".
TEST(MainWindow, DeleteLeavesLockedArticlesStopsOnCancelAndKeepsACurrentRow)
{
    // one-letter article numbers, written as one word
    const auto numbers = [](const char *letters) {
        QStringList out;
        for (const QChar c : QString::fromLatin1(letters))
            out.append(c);
        return out;
    };
    const struct {
        const char *name, *selected;
        int answer;
        QString locked; // nobody waits for the colleague who holds it
        int cancelProgressAfter;
        const char *remaining;
        const char *current; // afterwards, the only selected row; null: not looked at
    } cases[] = {
        {"locked", "ABCDE", ModalResult::Yes, u"B"_s, -1, "B", nullptr},
        {"cancelled", "ABCDE", ModalResult::Yes, {}, 1, "BCDE", nullptr},
        {"no", "ABCDE", ModalResult::No, {}, -1, "ABCDE", nullptr},
        {"the next one", "B", ModalResult::Yes, {}, -1, "ACDE", "C"},
        {"the one after the first deleted", "BD", ModalResult::Yes, {}, -1, "ACE", "C"},
        {"the last ones: the previous one", "DE", ModalResult::Yes, {}, -1, "ABC", "C"},
        {"nothing left", "ABCDE", ModalResult::Yes, {}, -1, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ScriptedInteraction scripted;
        ScopedInteraction scope(&scripted);
        scripted.answers = {c.answer};
        scripted.cancelWaitAfterIdles = 1;
        scripted.cancelProgressAfter = c.cancelProgressAfter;
        TMOD00501Form1 window(MainWindowContext{});
        fillStockList(window, dir.path(), numbers("ABCDE"));
        TLagerAnzeigenFrame &frame = *window.stockFrame();
        const auto row = [&](const QString &nr) {
            return int(frame.DisplayedList().IndexOfArticle(nr, true));
        };
        QItemSelectionModel *selection = window.stockList()->selectionModel();
        selection->clearSelection();
        for (const QString &nr : numbers(c.selected))
            selection->select(window.stockList()->model()->index(row(nr), 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::optional<ArticleLockHolder> holder;
        if (!c.locked.isEmpty()) {
            ASSERT_TRUE(holder.emplace(dir.path(), c.locked).holding());
        }
        window.deleteArticles();
        holder.reset();
        ASSERT_EQ(scripted.messages.size(), 1);
        EXPECT_EQ(scripted.messages[0].text,
                  u"Moechten Sie die markierten Artikel wirklich loeschen?"_s);
        EXPECT_EQ(numbersIn(dir.path()), numbers(c.remaining));
        EXPECT_EQ(numbersShown(window), numbers(c.remaining));
        if (c.current) {
            const QString current = QString::fromLatin1(c.current);
            EXPECT_EQ(frame.SelectedArticleNr(), current);
            EXPECT_EQ(frame.SelectedRows(),
                      current.isEmpty() ? QList<int>() : QList<int>{row(current)});
        }
    }
}

TEST(MainWindow, CloseWritesSettingsAndFreesPlugins)
{
    QTemporaryDir dir;
    int freed = 0;
    {
        TMOD00501Form1 window(context([&](MainWindowContext &c) {
            c.etcDir = dir.path();
            c.freePlugins = [&] { ++freed; };
        }));
        QTemporaryDir stock;
        fillStockList(window, stock.path(), {u"A1"_s});
        window.stockList()->setColumnWidth(1, 123);
        window.close();
        EXPECT_EQ(window.stockFrame(), nullptr);
    }
    const IniFile ini(QDir(dir.path()).filePath(u"MOD00501.INI"_s));
    EXPECT_EQ(ini.readInteger(u"LagerAnzeigenFrame"_s, u"VDBGridColumn1"_s, 0), 123);
    EXPECT_EQ(freed, 1);
}

// While the label window is open, the edit command collects labels instead of opening the
// article window.
TEST(MainWindow, EnterAndEditAddToTheOpenLabelWindowAndOpenNoEditor)
{
    ScriptedInteraction scripted;
    ScopedInteraction scope(&scripted);
    QTemporaryDir dir;
    int editorOpened = 0;
    TMOD00501Form1 window(context([&](MainWindowContext &c) {
        c.etcDir = dir.path();
        c.showArticleWindow = [&](TLagerServerObj &, bool) { return ++editorOpened, false; };
    }));
    fillStockList(window, dir.path(), {u"A1"_s, u"B2"_s});
    window.show();

    window.showLabelWindow();
    ASSERT_TRUE(window.labelWindow()->isVisible());
    QTest::keyClick(window.stockList(), Qt::Key_Return);
    EXPECT_EQ(window.labelWindow()->Articles().size(), 2u);
    window.findChild<QPushButton *>(u"btEditArtikel"_s)->click();
    EXPECT_EQ(window.labelWindow()->Articles().size(), 4u);
    EXPECT_EQ(editorOpened, 0);

    // Closed again, edit edits.
    window.labelWindow()->close();
    window.findChild<QPushButton *>(u"btEditArtikel"_s)->click();
    EXPECT_EQ(editorOpened, 1);
    EXPECT_EQ(window.labelWindow()->Articles().size(), 4u);
}

// The client's stock holds A1, a plain article with 5 in stock, selected in the list.
class MainCommands : public GeneratedInstallation
{
protected:
    void SetUp() override
    {
        GeneratedInstallation::SetUp();
        ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"admin"_s));
        stockDir = TSystemEinstellungen::instance().LagerDir;
        writeArticles(stockDir, {u"A1"_s}, [](TLagerServerObj &a) { a.BuchungsBestand = 5; });
    }

    // The window with every right but the one missing.
    std::unique_ptr<TMOD00501Form1> window(const QString &missingRight)
    {
        MainWindowContext c;
        c.hasRight = [missingRight](const QString &right) { return right != missingRight; };
        c.editContext.stockDir = stockDir;
        c.userFullName = u"Administrator"_s;
        c.chooseOrder = [this](const QString &orderDir) {
            orderDirs.append(orderDir);
            return u"B2026-GIBTESNICHT"_s;
        };
        c.receiveGoods = [this](TLagerServerObj &article,
                                const std::vector<const TLagerArtikelDaten *> &,
                                QString &supplier) {
            suppliersSeen.append(supplier);
            supplier = u"L-%1"_s.arg(suppliersSeen.size());
            article.BuchungsBestand += 5;
            return true;
        };
        auto w = std::make_unique<TMOD00501Form1>(c);
        w->attachStock(nullptr, nullptr,
                       new TLagerAnzeigenFrame(w.get(), stockDir, IniFile(), 0, u"Ich"_s));
        w->stockList()->selectAll();
        return w;
    }

    static void trigger(TMOD00501Form1 &w, const char *entry)
    {
        QAction *action = w.functionsMenu()->findChild<QAction *>(QString::fromLatin1(entry));
        ASSERT_TRUE(action) << entry;
        action->trigger();
    }

    QString stockDir;
    QStringList orderDirs;
    QStringList suppliersSeen;
};

// The order roads open the client's order table and look for the chosen order there.
TEST_F(MainCommands, OrderRoadsLookInTheClientsOrderTable)
{
    for (const char *entry : {"miZugangBestEinz", "miZugangBestTab"}) {
        SCOPED_TRACE(entry);
        ui.messages.clear();
        orderDirs.clear();
        trigger(*window({}), entry);
        EXPECT_EQ(orderDirs, QStringList{TSystemEinstellungen::instance().BestellwesenDir});
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, u"Bestellung \"B2026-GIBTESNICHT\" nicht gefunden."_s);
    }
}

// Each receipt starts with the supplier the one before left; the row shows the booked stock.
TEST_F(MainCommands, ReceiptBooksTheSelectedArticleAndKeepsTheSupplierText)
{
    const auto w = window({});
    trigger(*w, "miZugangEinzeln");
    trigger(*w, "miZugangEinzeln");
    EXPECT_EQ(suppliersSeen, (QStringList{QString(), u"L-1"_s}));
    IModLagerDBServerObj db;
    db.Open(stockDir);
    EXPECT_EQ(db.GetArticleValue(u"A1"_s, u"BuchungsBestand"_s), 15);
    ASSERT_EQ(w->stockFrame()->DisplayedList().Count(), 1);
    EXPECT_EQ(w->stockFrame()->DisplayedList()[0]->Info().Bestand, 15);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// Viewing serial numbers needs no right; an article without them gets the short notice.
TEST_F(MainCommands, SerialViewOfAPlainArticleOnlyAlerts)
{
    trigger(*window(u"42"_s), "SeriennummernzumLagerartikel1");
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].text, u"Keine Seriennummern vorhanden."_s);
    EXPECT_TRUE(ui.messages.isEmpty());
}

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

// What a value or a list edit does is the quick edit's business; here that the window builds
// its menus from the stock's configuration, sets the selected rows and hands an edited list to
// every holder.
TEST_F(FastEditWindowTest, MenusSetTheSelectionAndAnEditedListReachesEveryHolder)
{
    auto w = window();
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

} // namespace
