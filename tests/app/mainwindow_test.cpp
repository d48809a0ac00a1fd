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
#include <QPushButton>
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

// The right is checked first; an empty selection only alerts.
TEST(MainWindow, MissingRightRefusesOnlyItsCommandsAndEmptySelectionAlerts)
{
    ScriptedInteraction scripted;
    ScopedInteraction scope(&scripted);
    TMOD00501Form1 window(context([&](MainWindowContext &c) {
        c.hasRight = [](const QString &r) { return r != u"43"; };
        c.showArticleWindow = [](TLagerServerObj &, bool) { return false; };
    }));
    window.fastEdit();
    ASSERT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(scripted.alerts[0].text, u"Waehlen Sie erst eine oder mehrere Zeilen aus!"_s);
    EXPECT_TRUE(scripted.messages.isEmpty());
    window.deleteArticles();
    EXPECT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(scripted.messages.size(), 1);

    QTemporaryDir dir;
    fillStockList(window, dir.path(), {u"A1"_s});
    window.findChild<QPushButton *>(u"btDelete"_s)->click();
    ASSERT_EQ(scripted.messages.size(), 2);
    EXPECT_EQ(scripted.messages[1].text, u"Sie sind nicht berechtigt, Artikel zu loeschen!"_s);

    for (const char *name : {"btNew", "btCopy", "btEditArtikel"})
        window.findChild<QPushButton *>(QString::fromLatin1(name))->click();
    EXPECT_EQ(scripted.messages.size(), 2);
    EXPECT_EQ(scripted.alerts.size(), 1);
}

TEST(MainWindow, DeleteLeavesLockedArticlesAndStopsOnCancel)
{
    const QStringList three{u"A1"_s, u"B2"_s, u"C3"_s};
    // Deletes the three articles with the given answer and returns what the stock keeps.
    const auto remaining = [&](int answer, const std::function<void(ScriptedInteraction &)> &set,
                               const QString &lockedNr = {}) {
        QTemporaryDir dir;
        ScriptedInteraction scripted;
        ScopedInteraction scope(&scripted);
        scripted.answers = {answer};
        set(scripted);
        TMOD00501Form1 window(MainWindowContext{});
        fillStockList(window, dir.path(), three);
        std::optional<ArticleLockHolder> holder;
        if (!lockedNr.isEmpty()) {
            holder.emplace(dir.path(), lockedNr);
            EXPECT_TRUE(holder->holding());
        }
        window.deleteArticles();
        holder.reset();
        EXPECT_EQ(scripted.messages.size(), 1);
        EXPECT_EQ(scripted.messages[0].text,
                  u"Moechten Sie die markierten Artikel wirklich loeschen?"_s);
        if (answer == ModalResult::Yes) {
            EXPECT_EQ(numbersShown(window), numbersIn(dir.path()));
            if (scripted.cancelProgressAfter < 0) {
                EXPECT_EQ(scripted.progressSteps, 3);
            }
        }
        return numbersIn(dir.path());
    };
    // Nobody waits for the colleague who holds B2.
    EXPECT_EQ(
        remaining(
            ModalResult::Yes, [](ScriptedInteraction &s) { s.cancelWaitAfterIdles = 1; }, u"B2"_s),
        QStringList{u"B2"_s});
    EXPECT_EQ(
        remaining(ModalResult::Yes, [](ScriptedInteraction &s) { s.cancelProgressAfter = 1; }),
        (QStringList{u"B2"_s, u"C3"_s}));
    EXPECT_EQ(remaining(ModalResult::No, [](ScriptedInteraction &) {}), three);
}

TEST(MainWindow, DeleteLeavesACurrentRowForTheNextCommand)
{
    // Without one the next Del or edit only says "Waehlen Sie erst ...".
    const QStringList five{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s};
    struct Case {
        QStringList selected;
        QString current; // afterwards, the only selected row
    };
    const Case cases[] = {
        {{u"B"_s}, u"C"_s},         // the next one
        {{u"B"_s, u"D"_s}, u"C"_s}, // the one after the first deleted
        {{u"D"_s, u"E"_s}, u"C"_s}, // the last ones: the previous one
        {five, QString()},          // nothing left
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(u',').toStdString());
        QTemporaryDir dir;
        ScriptedInteraction scripted;
        ScopedInteraction scope(&scripted);
        scripted.answers = {ModalResult::Yes, ModalResult::No};
        TMOD00501Form1 window(MainWindowContext{});
        fillStockList(window, dir.path(), five);
        QItemSelectionModel *selection = window.stockList()->selectionModel();
        selection->clearSelection();
        for (const QString &nr : c.selected)
            selection->select(
                window.stockList()->model()->index(
                    int(window.stockFrame()->DisplayedList().IndexOfArticle(nr, true)), 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.deleteArticles();
        EXPECT_EQ(window.stockFrame()->SelectedArticleNr(), c.current);
        const QList<int> rows = window.stockFrame()->SelectedRows();
        if (c.current.isEmpty()) {
            EXPECT_TRUE(rows.isEmpty());
            continue;
        }
        EXPECT_EQ(rows, QList<int>{int(
                            window.stockFrame()->DisplayedList().IndexOfArticle(c.current, true))});
        window.deleteArticles(); // asks again, answered No
        EXPECT_TRUE(scripted.alerts.isEmpty());
        EXPECT_EQ(scripted.messages.size(), 2);
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
