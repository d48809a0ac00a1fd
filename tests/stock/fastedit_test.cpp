#include "persistence/engine/tdbtable.h"
#include "stock/fasteditcommands.h"
#include "stock/lagerconfig.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/stock/stocktest.h"
#include "tests/support/lockholders.h"
#include "tools/suitegen/stockassortment.h"
#include "tools/suitegen/suitegenerator.h"

#include <QRegularExpression>
#include <map>

using FastEdit::ValueList;

TEST(FastEditMenu, ItemsResolveToTheConfiguredValue)
{
    TLagerConfig config;
    config.Lagerorte = {u"R01"_s, u"R02"_s};
    config.Rabattgruppen.Add(u"RG1"_s, u"Rohre"_s);
    config.Rabattgruppen.Add(u"RG2"_s, QString());

    const QList<FastEdit::ValueItem> items = FastEdit::ValueItems(ValueList::Rabattgruppe, config);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].tag, FastEdit::kRemoveTag);
    EXPECT_EQ(items[2].caption, u"RG2"_s); // no " - " without a description

    const struct {
        ValueList list;
        int tag;
        bool known;
        QString value;
    } cases[] = {
        {ValueList::Rabattgruppe, 0, true, u"RG1"_s}, // the key is stored, not the text
        {ValueList::Lagerort, 1, true, u"R02"_s},
        {ValueList::Lagerort, FastEdit::kRemoveTag, true, QString()},
        {ValueList::Lagerort, 2, false, {}}, // a menu older than the list
        {ValueList::Artikelgruppe, 0, false, {}},
        {ValueList::Lagerort, -2, false, {}},
    };
    for (const auto &c : cases) {
        QString value = u"unchanged"_s;
        EXPECT_EQ(FastEdit::ValueOf(c.list, config, c.tag, value), c.known) << c.tag;
        EXPECT_EQ(value, c.known ? c.value : u"unchanged"_s) << c.tag;
    }
    EXPECT_TRUE(FastEdit::IsConfigured(ValueList::Rabattgruppe, config, u"RG2"_s));
    EXPECT_FALSE(FastEdit::IsConfigured(ValueList::Rabattgruppe, config, u"Rohre"_s));
}

namespace
{
// A generated stock with its configuration, and the fast-edit commands over it with every
// hook recording what the window would have been told.
class FastEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = tmp.path() + u'/';
        QString error;
        ASSERT_TRUE(SuiteGenerator::generateStock(dir, 12, 5, &error)) << qPrintable(error);
        ASSERT_TRUE(StockAssortment::WriteConfig(dir, &error)) << qPrintable(error);
        db.Open(dir);
        config.LoadFromFile(TLagerConfig::FileNameIn(dir));
        TDBLagerSearchResultObjectList list;
        db.Search(QString(), QString(), list, false, false);
        all = articleNumbers(list);
        ASSERT_EQ(all.size(), 12);
    }

    FastEditCommands commands()
    {
        FastEditCommands::Hooks h;
        h.selectedArticleNrs = [this] { return selected; };
        h.updateArticle = [this](const TLagerServerObj &a) { updated.append(a.LagerArtikelNr); };
        h.showArticleWindow = [this](TLagerServerObj &a, int mode) {
            return modes.append(mode), window && window(a);
        };
        h.articlesChanged = [this](qsizetype first, qsizetype n) { chunks.append({first, n}); };
        h.editList = [this](const QString &, QStringList &entries) {
            return listEditor && (listEditor(entries), true);
        };
        h.configChanged = [this] { ++reloads; };
        FastEditCommands c(db, config, dir, u"Ich"_s, std::move(h));
        c.SetChunks({2, 0});
        return c;
    }

    // Every cell of the table as "NR:column".
    using Cells = std::map<QString, QVariant>;
    Cells snapshot()
    {
        db.Refresh();
        Cells cells;
        TTdbTable &t = db.LagerTable();
        for (t.First(); !t.Eof(); t.Next())
            for (int i = 0; i < t.FieldCount(); ++i)
                cells[t.FieldByName(u"LagerArtikelNr"_s).AsString() + u':' +
                      t.Fields(i).FieldName()] = t.Fields(i).AsVariant();
        return cells;
    }

    // The cells that differ, in order.
    static QStringList differences(const Cells &before, const Cells &after)
    {
        QStringList out;
        for (const auto &[cell, value] : after)
            if (before.at(cell) != value)
                out.append(cell);
        return out;
    }

    QStringList changedColumn(QStringList nrs, const QString &column)
    {
        nrs.sort();
        return nrs.replaceInStrings(QRegularExpression(u"$"_s), u':' + column);
    }

    QTemporaryDir tmp;
    QString dir;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    IModLagerDBServerObj db;
    TLagerConfig config;
    QStringList all;
    QStringList selected;
    QStringList updated;
    QList<int> modes;
    QList<std::pair<qsizetype, qsizetype>> chunks;
    int reloads = 0;
    std::function<bool(TLagerServerObj &)> window;
    std::function<void(QStringList &)> listEditor;
};
} // namespace

// "Entfernen" under Artikelgruppe: the generated articles all have a group, so every selected
// one must come out empty while XMLDATA (with the change stamp inside) and every other column
// of every article stays as it was.
TEST_F(FastEditTest, ValueItemChangesOnlyItsColumnOfTheSelectedArticles)
{
    selected = all.mid(2, 5);
    const auto before = snapshot();
    ASSERT_TRUE(commands().SetValue(ValueList::Artikelgruppe, FastEdit::kRemoveTag));
    Cells after = snapshot();
    EXPECT_EQ(differences(before, after), changedColumn(selected, u"Gruppe"_s));
    EXPECT_EQ(after.at(selected[0] + u":Gruppe"_s), QString());
    // Chunks of two: the list hears of each commit, and of nothing before it.
    EXPECT_EQ(chunks, (QList<std::pair<qsizetype, qsizetype>>{{0, 2}, {2, 2}, {4, 1}}));
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].text, u"Fertig!"_s);

    // A discount group is set by its key; an unknown number in the selection is skipped.
    selected = {all[0], u"GIBTSNICHT"_s, QString(), all[1]};
    ASSERT_TRUE(commands().SetValue(ValueList::Rabattgruppe, 1));
    after = snapshot();
    for (const QString &nr : {all[0], all[1]})
        EXPECT_EQ(after.at(nr + u":Rabattgruppen"_s), config.Rabattgruppen[1].Key);
    // A tag the configuration does not know changes nothing and asks for no lock.
    EXPECT_FALSE(commands().SetValue(ValueList::Lagerort, int(config.Lagerorte.size())));
    EXPECT_TRUE(differences(after, snapshot()).isEmpty());
}

TEST_F(FastEditTest, CancelledProgressKeepsTheRowsDoneAndLeavesTheRest)
{
    selected = all.mid(0, 6);
    ui.cancelProgressAfter = 3;
    const auto before = snapshot();
    // A place none of them has yet, so that every changed row shows.
    int tag = 0;
    while (std::any_of(selected.begin(), selected.end(), [&](const QString &nr) {
        return before.at(nr + u":Lagerort"_s).toString() == config.Lagerorte[tag];
    }))
        ++tag;
    commands().SetValue(ValueList::Lagerort, tag);
    EXPECT_EQ(differences(before, snapshot()), changedColumn(selected.mid(0, 3), u"Lagerort"_s));
    EXPECT_EQ(chunks, (QList<std::pair<qsizetype, qsizetype>>{{0, 2}, {2, 1}}));
    // The lock went with the command: a colleague's change can start at once.
    auto lock = db.LockDatabase(u"Kollege"_s);
    EXPECT_TRUE(lock);
    TDatabaseStoreBase::Unlock(lock);
}

TEST_F(FastEditTest, ValueItemWaitsForTheDatabaseLockAndGivesUpWithoutChange)
{
    FileLockHolder colleague(dir + u"LOCKDB.SRW"_s, u"Kollege"_s);
    ASSERT_TRUE(colleague.holding());
    ui.cancelWaitAfterIdles = 0;
    selected = all;
    const auto before = snapshot();
    EXPECT_FALSE(commands().SetValue(ValueList::Lagerort, FastEdit::kRemoveTag));
    EXPECT_TRUE(differences(before, snapshot()).isEmpty());
    EXPECT_TRUE(ui.alerts.isEmpty());
}

TEST_F(FastEditTest, FieldEditWalksTheSelectionUntilCancelled)
{
    selected = all.mid(0, 3);
    int shown = 0;
    window = [&](TLagerServerObj &a) {
        if (++shown == 2)
            return false;
        a.Bezeichnung = u"Neu "_s + a.LagerArtikelNr;
        return true;
    };
    const auto before = snapshot();
    EXPECT_EQ(commands().FieldEdit(0), 1);
    EXPECT_EQ(modes, (QList<int>{0, 0}));
    EXPECT_EQ(updated, QStringList{all[0]});
    const QStringList diff = differences(before, snapshot());
    EXPECT_TRUE(diff.contains(all[0] + u":Bezeichnung"_s)) << qPrintable(diff.join(u' '));
    EXPECT_TRUE(diff.filter(all[0] + u':').size() == diff.size()) << qPrintable(diff.join(u' '));
    // Cancel released the second article's lock.
    auto lock = db.LockRecord(u"Kollege"_s, all[1]);
    EXPECT_TRUE(lock);
    TDatabaseStoreBase::Unlock(lock);
}

TEST_F(FastEditTest, FieldEditStopsAtEmptyNumberRefusedLockAndUnreadableArticle)
{
    window = [](TLagerServerObj &) { return true; };
    // Each selection: the rows written before the stop, then the article that stops it.
    selected = {all[0], QString(), all[1]};
    EXPECT_EQ(commands().FieldEdit(7), 1);

    selected = {all[2], u"GIBTSNICHT"_s, all[3]};
    EXPECT_EQ(commands().FieldEdit(3), 1);
    EXPECT_EQ(ui.messages.size(), 1); // "not found"

    ArticleLockHolder colleague(dir, all[5]);
    ASSERT_TRUE(colleague.holding());
    ui.cancelWaitAfterIdles = 0;
    selected = {all[4], all[5], all[6]};
    EXPECT_EQ(commands().FieldEdit(2), 1);
    EXPECT_EQ(updated, (QStringList{all[0], all[2], all[4]}));
    EXPECT_EQ(modes, (QList<int>{7, 3, 2}));
}

TEST_F(FastEditTest, ListEditorSavesTheConfigurationAndReloadsItsHolders)
{
    const QString file = TLagerConfig::FileNameIn(dir);
    listEditor = [](QStringList &entries) {
        entries.removeFirst();
        entries.prepend(u"  Neu  "_s);
        entries.append(u"Zwei\r\nZeilen"_s);
        entries.append(QString()); // an empty row of the editor is no entry
        entries.append(u"Neu"_s);  // nor is a second one of the same text
    };
    ASSERT_TRUE(commands().EditList(ValueList::Lagerort));
    EXPECT_EQ(reloads, 1);
    TLagerConfig saved;
    saved.LoadFromFile(file);
    QStringList expected = config.Lagerorte.mid(1);
    expected.prepend(u"Neu"_s);
    expected.append(u"Zwei  Zeilen"_s);
    EXPECT_EQ(saved.Lagerorte, expected);
    EXPECT_EQ(saved.Artikelgruppen, config.Artikelgruppen);

    // Cancelled or unchanged: the file is not written and nobody reloads.
    const QByteArray bytes = TestDocuments::fileBytes(file);
    listEditor = nullptr;
    EXPECT_FALSE(commands().EditList(ValueList::Artikelgruppe));
    listEditor = [](QStringList &) {};
    EXPECT_FALSE(commands().EditList(ValueList::Artikelgruppe));
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(TestDocuments::fileBytes(file), bytes);
}
