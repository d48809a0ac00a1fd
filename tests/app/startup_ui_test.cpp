#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"
#include "app/ui/mod00501form1.h"
#include "app/ui/startup.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/suitegenerator.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SuiteGenerator::Options o;
        o.targetDir = tmp.path();
        o.client = u"DEMO"_s;
        o.articles = 25;
        QString error;
        ASSERT_TRUE(SuiteGenerator::generate(o, &error)) << error.toStdString();
        TSystemEinstellungen::instance().reset();
    }
    void TearDown() override
    {
        TSystemEinstellungen::instance().reset();
        TBenutzerEinstellungen::instance().reset();
    }
    std::unique_ptr<TMOD00501Form1> start(const QStringList &args)
    {
        return StartMainWindow(tmp.filePath(u"BIN"_s), QStringList{u"MOD00501"_s} + args);
    }

    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QTemporaryDir tmp;
};

} // namespace

TEST_F(StartupTest, GeneratedInstallationOpensTheMainWindow)
{
    auto window = start({u"Demo"_s, u"lager"_s});
    ASSERT_TRUE(window);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(window->windowTitle(),
              u"[0501 - 01] - Demo - Lagerartikel verwalten / Warenzugang"_s);
    // the list shows the generated stock with the first article selected
    ASSERT_NE(window->stockFrame(), nullptr);
    EXPECT_EQ(window->stockFrame()->DisplayedList().Count(), 25);
    EXPECT_FALSE(window->stockFrame()->SelectedArticleNr().isEmpty());
    EXPECT_EQ(window->stockList()->selectionMode(), QAbstractItemView::ExtendedSelection);
    // the stock clerk of the generated installation may not delete
    window->deleteArticles();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages.first().text, u"Sie sind nicht berechtigt, Artikel zu loeschen!"_s);
    window->close();
    EXPECT_EQ(window->stockFrame(), nullptr);
    EXPECT_TRUE(QFile::exists(tmp.filePath(u"USR/LAGER/ETC/DEMO/MOD00501.INI"_s)));
}

TEST_F(StartupTest, SwitchIsCaseSensitive)
{
    auto enabledCount = [](TMOD00501Form1 &w) {
        int n = 0;
        for (const char *name : {"miZugangEinzeln", "miZugangBestEinz", "miZugangBestTab"}) {
            auto *a = w.findChild<QAction *>(QString::fromLatin1(name));
            EXPECT_TRUE(a) << name;
            n += a && a->isEnabled();
        }
        return n;
    };
    auto lower = start({u"DEMO"_s, u"ADMIN"_s, u"-e"_s});
    ASSERT_TRUE(lower);
    EXPECT_EQ(enabledCount(*lower), 3);
    TSystemEinstellungen::instance().reset();
    auto upper = start({u"DEMO"_s, u"ADMIN"_s, u"-E"_s});
    ASSERT_TRUE(upper);
    EXPECT_EQ(enabledCount(*upper), 0);
}

TEST_F(StartupTest, FailedLogOnOpensNoWindow)
{
    EXPECT_FALSE(start({u"DEMO"_s, u"NOBODY"_s}));
    EXPECT_EQ(ui.messages.size(), 1);
    ui.messages.clear();
    EXPECT_FALSE(start({u"DEMO"_s}));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(StartupTest, ArticleWindowWorksInTheInstallationsStockAsTheLoggedOnUser)
{
    auto window = start({u"DEMO"_s, u"LAGER"_s});
    ASSERT_TRUE(window);
    const QString source = window->stockFrame()->SelectedArticleNr();
    ASSERT_FALSE(source.isEmpty());
    ui.inputs = {u"NEU-1"_s};
    ui.answers = {ModalResult::Yes}; // saved without a VAT class
    QTimer::singleShot(0, [] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_TRUE(modal);
        modal->findChild<QLineEdit *>(u"edBezeichnung"_s)->setText(u"VOM START"_s);
        modal->findChild<QPushButton *>(u"btOK"_s)->click();
    });
    window->newArticle();

    IModLagerDBServerObj db;
    db.Open(TSystemEinstellungen::instance().LagerDir);
    TLagerServerObj a;
    a.LagerArtikelNr = u"NEU-1"_s;
    ASSERT_EQ(db.ReadArticle(&a), 0);
    EXPECT_EQ(a.Bezeichnung, u"VOM START"_s);
    EXPECT_EQ(a.CreatedBy, u"Lagerist"_s); // the full name, not the log-on name
    EXPECT_EQ(a.MindestBestand.size(), 3); // the installation's STDMB.TXT
    window->close();
}
