#include "app/ui/mod00501form1.h"
#include "app/ui/mod00501form2.h"
#include "app/ui/startup.h"
#include "base/translation.h"
#include "base/untranslated.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/orderingconfigloader.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"
#include "tests/support/scriptedinteraction.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(generateInstallation(tmp.path(), {}, {}, 25));
        TSystemEinstellungen::instance().reset();
    }
    void TearDown() override
    {
        TSystemEinstellungen::instance().reset();
        TBenutzerEinstellungen::instance().reset();
        Translation::setup(QString(), QString()); // the tests after compare msgids
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

// "-e" switches the receipts on, "-E" does not; a failed log-on opens no window.
TEST_F(StartupTest, SwitchIsCaseSensitiveAndAFailedLogOnOpensNoWindow)
{
    for (const auto &[option, enabled] : {std::pair(u"-e"_s, true), std::pair(u"-E"_s, false)}) {
        TSystemEinstellungen::instance().reset();
        auto w = start({u"DEMO"_s, u"ADMIN"_s, option});
        ASSERT_TRUE(w);
        for (const char *name : {"miZugangEinzeln", "miZugangBestEinz", "miZugangBestTab"})
            EXPECT_EQ(w->findChild<QAction *>(QString::fromLatin1(name))->isEnabled(), enabled)
                << name;
    }
    TSystemEinstellungen::instance().reset();
    EXPECT_FALSE(start({u"DEMO"_s, u"NOBODY"_s}));
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_FALSE(start({u"DEMO"_s}));
    EXPECT_EQ(ui.messages.size(), 1);
}

// Goods receipt from orders needs the ordering configuration loaded; a damaged file must not
// half-apply (the stock article search switched on with its lists cut short), nor stop the
// program.
TEST_F(StartupTest, OrderingConfigurationIsLoadedAndADamagedOneGivesDefaults)
{
    const QString file = tmp.filePath(u"DATA/DEMO/BESTELLWESEN/CONFIG.XML"_s);
    const QByteArray intact = TestDocuments::fileBytes(file);
    // Cut off after the switch: read up to the damage, the search would be on.
    const QByteArray cut = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<bestellwesenconfig>\r\n"
                           "  <autosearchla val=\"-1\" />\r\n  <kz>Eil";
    const QString warning = u"Die Konfiguration des Bestellwesens \""_s + file +
                            u"\" ist beschaedigt; es gelten die Voreinstellungen."_s;
    const struct {
        QByteArray content;
        bool autoSearch;
        bool warned;
    } cases[] = {{intact, true, false}, {cut, false, true}, {{}, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.content.size());
        QFile::remove(file);
        if (!c.content.isEmpty()) {
            ASSERT_TRUE(TestDocuments::writeFile(file, c.content));
        }
        ProgramOrderingConfig().AutoSearchLagerartikel = !c.autoSearch;
        ui.messages.clear();
        TSystemEinstellungen::instance().reset();
        auto window = start({u"DEMO"_s, u"ADMIN"_s});
        ASSERT_TRUE(window);
        EXPECT_EQ(ProgramOrderingConfig().AutoSearchLagerartikel, c.autoSearch);
        EXPECT_EQ(!ui.messages.isEmpty() && ui.messages.last().text.startsWith(warning), c.warned);
        window->close();
    }
}

TEST_F(StartupTest, ArticleWindowWorksInTheInstallationsStockAsTheLoggedOnUser)
{
    // Client and user as typed, in any case.
    auto window = start({u"Demo"_s, u"lager"_s});
    ASSERT_TRUE(window);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(window->windowTitle(),
              u"[0501 - 01] - Demo - Lagerartikel verwalten / Warenzugang"_s);
    EXPECT_EQ(window->stockFrame()->DisplayedList().Count(), 25);
    ASSERT_FALSE(window->stockFrame()->SelectedArticleNr().isEmpty());
    // the stock clerk of the generated installation may not delete
    window->deleteArticles();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Sie sind nicht berechtigt, Artikel zu loeschen!"_s);
    ui.messages.clear();

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
    EXPECT_TRUE(QFile::exists(tmp.filePath(u"USR/LAGER/ETC/DEMO/MOD00501.INI"_s)));
}

TEST_F(StartupTest, WindowsShowTheirCaptionsExactlyAndEveryTextTranslated)
{
    // The catalog check reads the code; this one looks at what the windows show, so that a
    // text that reaches tx() some other way cannot slip through untranslated.
    const QString messages = tmp.filePath(u"BIN/locale/de_DE/LC_MESSAGES"_s);
    ASSERT_TRUE(QDir().mkpath(messages));
    ASSERT_TRUE(QFile::copy(QStringLiteral(STOCK_LOCALE_DIR) + u"/de_DE/LC_MESSAGES/mod00501.mo"_s,
                            messages + u"/mod00501.mo"_s));
    auto window = start({u"DEMO"_s, u"ADMIN"_s});
    ASSERT_TRUE(window);
    // Qt appends an application display name to every caption the window system shows.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    window->show();
    window->grab(); // texts looked up while painting (column heads)
    EXPECT_EQ(window->findChild<QWidget *>(u"btDelete"_s)->property("text").toString(),
              u"Löschen"_s);

    QString articleCaption;
    QTimer::singleShot(0, [&articleCaption] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_TRUE(modal);
        articleCaption = modal->windowTitle();
        auto *pages = modal->findChild<QTabWidget *>();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            modal->grab();
        }
        modal->findChild<QPushButton *>(u"btCancel"_s)->click();
    });
    window->editArticle();
    EXPECT_EQ(articleCaption, u"[0501 - 02] - Lagerartikel bearbeiten"_s);
    const QStringList missing = Translation::untranslated();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u" | "_s).toStdString();
    window->close();
}
