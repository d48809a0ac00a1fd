#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/support/articles.h"
#include "tests/support/lockholders.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

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

} // namespace

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

TEST(MainWindow, DeleteLeavesLockedArticlesAndStopsOnCancel)
{
    const QStringList three{u"A1"_s, u"B2"_s, u"C3"_s};
    const struct {
        const char *name;
        int answer;
        QString locked; // nobody waits for the colleague who holds it
        int cancelProgressAfter;
        QStringList remaining;
    } cases[] = {
        {"locked", ModalResult::Yes, u"B2"_s, -1, {u"B2"_s}},
        {"cancelled", ModalResult::Yes, {}, 1, {u"B2"_s, u"C3"_s}},
        {"no", ModalResult::No, {}, -1, three},
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
        fillStockList(window, dir.path(), three);
        std::optional<ArticleLockHolder> holder;
        if (!c.locked.isEmpty()) {
            ASSERT_TRUE(holder.emplace(dir.path(), c.locked).holding());
        }
        window.deleteArticles();
        holder.reset();
        ASSERT_EQ(scripted.messages.size(), 1);
        EXPECT_EQ(scripted.messages[0].text,
                  u"Moechten Sie die markierten Artikel wirklich loeschen?"_s);
        EXPECT_EQ(numbersIn(dir.path()), c.remaining);
        EXPECT_EQ(numbersShown(window), c.remaining);
    }
}

// Without a current row the next Del or edit only says "Waehlen Sie erst ...".
TEST(MainWindow, DeleteLeavesACurrentRowForTheNextCommand)
{
    const QStringList five{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s};
    const struct {
        QStringList selected;
        QString current; // afterwards, the only selected row
    } cases[] = {
        {{u"B"_s}, u"C"_s},         // the next one
        {{u"B"_s, u"D"_s}, u"C"_s}, // the one after the first deleted
        {{u"D"_s, u"E"_s}, u"C"_s}, // the last ones: the previous one
        {five, QString()},          // nothing left
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected.join(u',').toStdString());
        QTemporaryDir dir;
        ScriptedInteraction scripted;
        ScopedInteraction scope(&scripted);
        scripted.answers = {ModalResult::Yes};
        TMOD00501Form1 window(MainWindowContext{});
        fillStockList(window, dir.path(), five);
        TLagerAnzeigenFrame &frame = *window.stockFrame();
        const auto row = [&](const QString &nr) {
            return int(frame.DisplayedList().IndexOfArticle(nr, true));
        };
        QItemSelectionModel *selection = window.stockList()->selectionModel();
        selection->clearSelection();
        for (const QString &nr : c.selected)
            selection->select(window.stockList()->model()->index(row(nr), 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.deleteArticles();
        EXPECT_EQ(frame.SelectedArticleNr(), c.current);
        EXPECT_EQ(frame.SelectedRows(),
                  c.current.isEmpty() ? QList<int>() : QList<int>{row(c.current)});
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
