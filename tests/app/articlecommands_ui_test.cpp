#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/support/articles.h"
#include "tests/support/childprocess.h"
#include "tests/support/installation.h"
#include "tests/support/lockholders.h"
#include "tests/support/messagetexts.h"
#include "tests/support/scriptedinteraction.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace
{

// Remembers what the input box proposed, which the scripted answers overwrite.
class ProposalRecorder : public ScriptedInteraction
{
public:
    QStringList proposals;
    bool inputBox(const QString &caption, const QString &prompt, QString &value) override
    {
        proposals.append(value);
        return ScriptedInteraction::inputBox(caption, prompt, value);
    }
};

// A generated installation's stock with a few articles, in a main window whose article window
// is answered by the test.
class ArticleCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(generateInstallation(tmp.path()));
        stockDir = tmp.filePath(u"DATA/DEMO/LAGER/"_s);
        writeArticles(stockDir, {u"A0099"_s, u"B1"_s}, [](TLagerServerObj &a) {
            a.Bezeichnung = u"ARTIKEL "_s + a.LagerArtikelNr;
            a.EKPreis = Money::fromUnits(125000);
            a.Created = a.Changed = 40000;
            a.CreatedBy = a.ChangedBy = u"ALT"_s;
        });
    }

    std::unique_ptr<TMOD00501Form1> openWindow(std::function<bool(const QString &)> rights = {})
    {
        MainWindowContext c;
        if (rights)
            c.hasRight = std::move(rights);
        c.userFullName = u"Lager Verwalter"_s;
        c.editContext.stockDir = stockDir;
        c.editContext.userName = u"LAGER"_s;
        c.showArticleWindow = [this](TLagerServerObj &a, bool existing) {
            ++windowShown;
            return answerWindow ? answerWindow(a, existing) : false;
        };
        auto w = std::make_unique<TMOD00501Form1>(c);
        w->attachStock(nullptr, nullptr,
                       new TLagerAnzeigenFrame(w.get(), stockDir, IniFile(), 0, u"Ich"_s));
        return w;
    }

    std::optional<TLagerServerObj> stored(const QString &nr) const
    {
        IModLagerDBServerObj db;
        db.Open(stockDir);
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        return db.ReadArticle(&a) == 0 ? std::optional(a) : std::nullopt;
    }
    QStringList shown(TMOD00501Form1 &w) const
    {
        QStringList out;
        for (const TDBLagerSearchResult *e : w.stockFrame()->DisplayedList())
            out.append(e->ArtikelNr().toString() + u'=' + e->Bezeichnung().toString());
        return out;
    }
    bool lockFileExists(const QString &nr) const
    {
        return QFile::exists(stockDir + u"LOCKREC"_s + nr + u".SRW"_s);
    }

    ProposalRecorder ui;
    ScopedInteraction scope{&ui};
    QTemporaryDir tmp;
    QString stockDir;
    int windowShown = 0;
    std::function<bool(TLagerServerObj &, bool)> answerWindow;
};

} // namespace

TEST_F(ArticleCommandsTest, NewArticleIsProposedWrittenAtOnceAndLockedWhileEdited)
{
    auto w = openWindow();
    w->stockFrame()->GotoArticle(u"A0099"_s);
    ui.inputs = {u"  A0100 "_s};
    const double before = DateTime::now();
    answerWindow = [&](TLagerServerObj &a, bool existing) {
        EXPECT_FALSE(existing);
        // in the table and ours while the user fills it in
        EXPECT_TRUE(stored(u"A0100"_s) && lockFileExists(u"A0100"_s));
        EXPECT_EQ(a.CreatedBy, u"Lager Verwalter"_s);
        EXPECT_GE(a.Created, before);
        a.Bezeichnung = u"NEUER KESSEL"_s;
        return true;
    };
    w->findChild<QPushButton *>(u"btNew"_s)->click();

    EXPECT_EQ(ui.proposals, QStringList{u"A0100"_s});
    EXPECT_EQ(stored(u"A0100"_s)->Bezeichnung, u"NEUER KESSEL"_s);
    EXPECT_FALSE(lockFileExists(u"A0100"_s));
    EXPECT_TRUE(shown(*w).contains(u"A0100=NEUER KESSEL"_s));
    EXPECT_EQ(w->stockFrame()->SelectedArticleNr(), u"A0100"_s);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ArticleCommandsTest, CancelledOrHeldNewArticleLeavesNoRow)
{
    auto w = openWindow();
    w->stockFrame()->GotoArticle(u"B1"_s);
    const QStringList listBefore = shown(*w);
    ui.inputs = {u"B2"_s, u"   "_s};
    answerWindow = [&](TLagerServerObj &a, bool) {
        a.Bezeichnung = u"VERWORFEN"_s;
        return false;
    };
    w->newArticle();
    EXPECT_EQ(windowShown, 1);
    EXPECT_FALSE(stored(u"B2"_s) || lockFileExists(u"B2"_s));
    EXPECT_EQ(shown(*w), listBefore);

    // an empty or cancelled answer ends before anything is written
    w->newArticle();
    w->newArticle();
    EXPECT_EQ(ui.proposals, (QStringList{u"B2"_s, u"B2"_s, u"B2"_s}));

    // a held record lock is given up at once
    ui.inputs = {u"C9"_s};
    ui.cancelWaitAfterIdles = 1;
    ArticleLockHolder holder(stockDir, u"C9"_s);
    ASSERT_TRUE(holder.holding());
    w->newArticle();
    EXPECT_EQ(windowShown, 1);
    EXPECT_FALSE(stored(u"C9"_s));
}

// A colleague creating the same number: holds its lock, writes the article and lets go.
int createUnderLock(const QStringList &args)
{
    IModLagerDBServerObj db;
    db.Open(args.value(0));
    auto lock = db.LockRecord(u"Kollege"_s, args.value(1));
    if (!lock)
        return 2;
    std::puts("locked");
    std::fflush(stdout);
    // Writes once the test says the window waits for this lock.
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 4;
    TLagerServerObj a;
    a.LagerArtikelNr = args.value(1);
    a.Bezeichnung = u"VOM KOLLEGEN"_s;
    a.Created = DateTime::now();
    a.CreatedBy = u"KOLLEGE"_s;
    const int written = db.WriteArticle(&a);
    TDatabaseStoreBase::Unlock(lock);
    return written == 0 ? 0 : 3;
}
STOCK_CHILD_ENTRY("create-under-lock", createUnderLock);

// New and copy both wait for the colleague and then leave the number theirs.
TEST_F(ArticleCommandsTest, NumberCreatedMeanwhileByAColleagueStaysTheirs)
{
    auto w = openWindow();
    w->stockFrame()->GotoArticle(u"A0099"_s);
    answerWindow = [&](TLagerServerObj &, bool) { return false; };
    for (const auto &[nr, copy] : {std::pair(u"C7"_s, false), std::pair(u"C8"_s, true)}) {
        SCOPED_TRACE(nr.toStdString());
        ui.inputs = {nr};
        ui.messages.clear();
        auto colleague = ChildProcess::start(u"create-under-lock"_s, {stockDir, nr});
        ASSERT_TRUE(colleague->waitForReadyRead(20000));
        ui.onWaitIdle = [&, told = false]() mutable {
            if (!std::exchange(told, true)) {
                colleague->write("go\n");
                colleague->waitForBytesWritten();
            }
        };
        if (copy)
            w->copyArticle();
        else
            w->newArticle();
        ui.onWaitIdle = {};
        ASSERT_TRUE(colleague->waitForFinished(20000));
        EXPECT_EQ(colleague->exitCode(), 0);
        EXPECT_EQ(windowShown, 0);
        ASSERT_TRUE(stored(nr));
        EXPECT_EQ(stored(nr)->Bezeichnung, u"VOM KOLLEGEN"_s);
        EXPECT_EQ(messageTexts(ui),
                  QStringList{u"Der Artikel \"%1\" existiert bereits."_s.arg(nr)});
    }
}

TEST_F(ArticleCommandsTest, ExistingNumberAsksToChangeIt)
{
    auto w = openWindow();
    w->stockFrame()->GotoArticle(u"A0099"_s);
    // Yes asks again with the refused number; No ends without a window
    ui.inputs = {u"B1"_s, u"A0099"_s};
    ui.answers = {ModalResult::Yes, ModalResult::No};
    w->newArticle();
    EXPECT_EQ(messageTexts(ui),
              (QStringList{u"Der Artikel \"B1\" existiert bereits. Artikelnummer aendern?"_s,
                           u"Der Artikel \"A0099\" existiert bereits. Artikelnummer aendern?"_s}));
    EXPECT_EQ(ui.proposals, (QStringList{u"A0100"_s, u"B1"_s}));
    EXPECT_EQ(windowShown, 0);

    // the window may rename a new article, but not onto an existing one
    ui.messages.clear();
    ui.inputs = {u"C1"_s};
    answerWindow = [&](TLagerServerObj &a, bool) {
        a.LagerArtikelNr = windowShown == 1 ? u"B1"_s : u"C2"_s;
        a.Bezeichnung = u"UMBENANNT"_s;
        return true;
    };
    w->newArticle();
    EXPECT_EQ(windowShown, 2);
    EXPECT_EQ(messageTexts(ui), QStringList{u"Der Artikel \"B1\" existiert bereits."_s});
    EXPECT_EQ(stored(u"B1"_s)->Bezeichnung, u"ARTIKEL B1"_s);
    EXPECT_FALSE(stored(u"C1"_s));
    EXPECT_EQ(stored(u"C2"_s)->Bezeichnung, u"UMBENANNT"_s);
}

TEST_F(ArticleCommandsTest, EditWritesAndUpdatesTheRowUnderTheLockAndEndsOnAHeldOrMissingOne)
{
    auto w = openWindow();
    w->stockFrame()->GotoArticle(u"B1"_s);
    answerWindow = [&](TLagerServerObj &a, bool existing) {
        EXPECT_TRUE(existing && lockFileExists(u"B1"_s));
        a.Bezeichnung = a.Bezeichnung == u"ARTIKEL B1" ? u"GEAENDERT"_s : u"VERWORFEN"_s;
        return a.Bezeichnung == u"GEAENDERT";
    };
    w->findChild<QPushButton *>(u"btEditArtikel"_s)->click();
    EXPECT_EQ(stored(u"B1"_s)->Bezeichnung, u"GEAENDERT"_s);
    EXPECT_TRUE(shown(*w).contains(u"B1=GEAENDERT"_s));
    EXPECT_FALSE(lockFileExists(u"B1"_s));
    // still on the article, so a second edit reads the saved state and is cancelled
    w->editArticle();
    EXPECT_EQ(windowShown, 2);
    EXPECT_EQ(stored(u"B1"_s)->Bezeichnung, u"GEAENDERT"_s);
    EXPECT_TRUE(ui.messages.isEmpty());

    // held by another process: the wait is given up, the window does not open
    {
        ui.cancelWaitAfterIdles = 1;
        ArticleLockHolder holder(stockDir, u"B1"_s);
        ASSERT_TRUE(holder.holding());
        w->editArticle();
        ui.cancelWaitAfterIdles = -1;
        EXPECT_EQ(windowShown, 2);
        EXPECT_EQ(ui.waitTexts.filter(u"Kollege"_s).size(), 1);
    }

    // deleted at another workstation since the list was read
    {
        IModLagerDBServerObj other;
        other.Open(stockDir);
        ASSERT_EQ(other.DeleteArticle(u"B1"_s), 0);
    }
    w->editArticle();
    EXPECT_EQ(windowShown, 2);
    EXPECT_EQ(messageTexts(ui), QStringList{u"Artikel \"B1\" nicht gefunden."_s});
    EXPECT_FALSE(stored(u"B1"_s));
}

TEST_F(ArticleCommandsTest, CopyWritesTheNewNumberAsCreatedNowWithoutTheWindow)
{
    auto w = openWindow();
    w->stockFrame()->GotoArticle(u"B1"_s);
    ui.inputs = {u"B2"_s, u"LANGE-NUMMER-123456789XYZ"_s};
    const double before = DateTime::now();
    w->findChild<QPushButton *>(u"btCopy"_s)->click();
    const double after = DateTime::now();
    EXPECT_EQ(ui.proposals, QStringList{u"B2"_s});
    EXPECT_EQ(windowShown, 0);
    const auto copy = stored(u"B2"_s);
    ASSERT_TRUE(copy);
    EXPECT_EQ(std::tuple(copy->Bezeichnung, copy->EKPreis),
              std::tuple(u"ARTIKEL B1"_s, Money::fromUnits(125000)));
    // stored as text with fewer digits than a double: within a second of the click
    for (const double stamp : {copy->Created, copy->Changed})
        EXPECT_TRUE(stamp >= before - 1.0 / 86400 && stamp <= after + 1.0 / 86400) << stamp;
    EXPECT_EQ(stored(u"B1"_s)->Created, 40000);
    EXPECT_TRUE(shown(*w).contains(u"B2=ARTIKEL B1"_s));
    EXPECT_EQ(w->stockFrame()->SelectedArticleNr(), u"B2"_s);

    // an answer longer than the table's column is cut before the exists check
    w->copyArticle();
    EXPECT_TRUE(stored(u"LANGE-NUMMER-1234567"_s));
}

// Each command, button or entry of the functions menu, checks its own right before it asks
// anything or opens a dialog.
TEST_F(ArticleCommandsTest, MissingRightRefusesItsCommandBeforeAsking)
{
    const struct {
        const char *command;
        const char16_t *right;
        const char16_t *refusal;
    } cases[] = {
        {"btNew", u"41", u"Sie sind nicht berechtigt, Artikel anzulegen!"},
        {"btCopy", u"41", u"Sie sind nicht berechtigt, Artikel anzulegen!"},
        {"btEditArtikel", u"42", u"Sie sind nicht berechtigt, Artikel zu bearbeiten!"},
        {"pmFuncEditBestand", u"42", u"Sie sind nicht berechtigt, Artikel zu bearbeiten!"},
        {"btDelete", u"43", u"Sie sind nicht berechtigt, Artikel zu loeschen!"},
        {"miZugangBestEinz", u"44", u"Sie sind nicht berechtigt, Artikel zu buchen!"},
        {"miZugangBestTab", u"44", u"Sie sind nicht berechtigt, Artikel zu buchen!"},
        {"miZugangEinzeln", u"44", u"Sie sind nicht berechtigt, Artikel zu buchen!"},
    };
    ui.inputs = {u"NEU1"_s};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        ui.messages.clear();
        auto w =
            openWindow([&](const QString &right) { return right != QString::fromUtf16(c.right); });
        w->stockFrame()->GotoArticle(u"B1"_s);
        QObject *command = w->findChild<QObject *>(QString::fromLatin1(c.command));
        ASSERT_TRUE(command);
        QMetaObject::invokeMethod(command, qobject_cast<QAction *>(command) ? "trigger" : "click");
        EXPECT_EQ(messageTexts(ui), QStringList{QString::fromUtf16(c.refusal)});
    }
    EXPECT_TRUE(ui.proposals.isEmpty());
    EXPECT_EQ(windowShown, 0);
    EXPECT_TRUE(stored(u"B1"_s));
}
