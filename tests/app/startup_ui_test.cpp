// The program as started from its command line on a generated installation: log-on, the
// settings it loads, the article window in the installation's stock, its texts, and the
// numbers it stores under every locale.
#include "app/ui/mod00501form1.h"
#include "app/ui/startup.h"
#include "base/formatsettings.h"
#include "base/translation.h"
#include "base/untranslated.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/orderingconfigloader.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/childprocess.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"
#include "tests/support/locales.h"
#include "tests/support/scriptedinteraction.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
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

// Two programs on one installation started under different locales must read each other's
// stored numbers unchanged. The article window runs in child processes under de_DE, C and
// en_US; opening an article and pressing OK without an edit must leave its stored text as it
// was, apart from the change stamp.
const QString kNr = u"LOCALE-1"_s;

// args: installation root, article number, and optionally a text to type as purchase price.
int okInArticleWindow(const QStringList &args)
{
    // Whatever a previous start left: the installation alone must decide.
    FormatSettings::current() = FormatSettings::withDecimalSeparator(u'#');
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    ui.answers = {ModalResult::Yes, ModalResult::Yes};
    auto window = StartMainWindow(args.at(0) + u"/BIN"_s, {u"MOD00501"_s, u"DEMO"_s, u"ADMIN"_s});
    if (!window || !window->stockFrame()->GotoArticle(args.at(1)))
        return 2;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (args.size() > 2)
            modal->findChild<QLineEdit *>(u"edEK"_s)->setText(args.at(2));
        modal->findChild<QPushButton *>(u"btOK"_s)->click();
        clicked = true;
    });
    window->editArticle();
    window->close();
    return clicked && ui.messages.isEmpty() ? 0 : 3;
}
STOCK_CHILD_ENTRY("ok-in-article-window", okInArticleWindow);

class ArticleWindowNumbers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TSystemEinstellungen::instance().reset();
        ASSERT_TRUE(generateInstallation(m_dir.path()));
        // Fractions everywhere a locale could misread them, an exponent form included.
        IModLagerDBServerObj db;
        db.Open(stockDir());
        TLagerServerObj a;
        a.LagerArtikelNr = kNr;
        a.Bezeichnung = u"Kupferrohr 15 mm"_s;
        a.ME = u"m"_s;
        a.MwStSatz = 1;
        a.EKPreis = Money::fromRaw(24405000); // 2440,5
        a.VKZuschlag = 1.25;
        a.VKPreis = {Money::fromRaw(314000), Money::fromRaw(12345), Money(), Money(), Money()};
        a.BuchungsBestand = 31.4;
        a.Anfangsbestand = 0.5;
        a.Gewicht = 0.75;
        a.Laenge = 2.5;
        a.Verpackungsmenge = 0.25;
        a.Lohn = Money::fromRaw(455000);
        a.Created = 46362.395417419;
        a.MindestBestand = {u"<from>0101</from><to>3112</to><mb>5,5</mb><bm>10,25</bm>"_s};
        ASSERT_EQ(db.WriteArticle(&a), 0);
    }

    void TearDown() override
    {
        TSystemEinstellungen::instance().reset();
        TBenutzerEinstellungen::instance().reset();
        FormatSettings::current() = FormatSettings::german();
    }

    // The first of the locales the round trips need that the system lacks.
    static QString missingLocale()
    {
        for (const QString &name : {u"de_DE.UTF-8"_s, u"en_US.UTF-8"_s, u"C.UTF-8"_s})
            if (!LocaleInstalled(name))
                return name;
        return {};
    }

    QString stockDir() const { return m_dir.filePath(u"DATA/DEMO/LAGER"_s); }

    // The stored text without the change stamp, which every OK sets anew, and the amounts the
    // table keeps beside it.
    QString stored()
    {
        IModLagerDBServerObj db;
        db.Open(stockDir());
        EXPECT_EQ(db.GotoArticle(kNr), 0);
        QString xml = db.LagerTable().FieldByName(u"XMLDATA"_s).AsString();
        xml.replace(QRegularExpression(u" ch=\"[^\"]*\""_s), u" ch=\"\""_s);
        TLagerServerObj a;
        a.LagerArtikelNr = kNr;
        EXPECT_EQ(db.ReadArticle(&a), 0);
        return xml + u"ek=%1 f=%2"_s.arg(a.EKPreis.raw()).arg(a.VKZuschlag, 0, 'g', 17);
    }

    void okUnder(const QString &locale, const QStringList &extra = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LC_ALL"_s, locale);
        env.insert(u"LANG"_s, locale);
        env.insert(u"LANGUAGE"_s, locale.section(u'.', 0, 0));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QCoreApplication::applicationFilePath(),
                QStringList{u"--child"_s, u"ok-in-article-window"_s, m_dir.path(), kNr} + extra);
        ASSERT_TRUE(p.waitForFinished(120000));
        ASSERT_EQ(p.exitCode(), 0)
            << "the article window under " << locale.toStdString() << " did not store";
    }

    QTemporaryDir m_dir;
};

TEST_F(ArticleWindowNumbers, OkKeepsTheStoredTextAndTypedAmountsMeanTheSameUnderEveryLocale)
{
    if (const QString missing = missingLocale(); !missing.isEmpty())
        GTEST_SKIP() << "locale " << missing.toStdString()
                     << " is not installed (tools/install-packages generates it)";
    // A chain in which each locale reads and stores what another one wrote: de_DE after the
    // test itself, C after de_DE, en_US after C and de_DE again after en_US.
    okUnder(u"de_DE.UTF-8"_s);
    const QString written = stored();
    EXPECT_TRUE(written.contains(u"vkp1=\"31,4\""_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"ek=24405000 "_s)) << written.toStdString();
    for (const QString &reader : {u"C.UTF-8"_s, u"en_US.UTF-8"_s, u"de_DE.UTF-8"_s}) {
        okUnder(reader);
        EXPECT_EQ(stored().toStdString(), written.toStdString())
            << "stored again under " << reader.toStdString();
    }
    // Typed amounts mean the installation's numbers whatever the locale.
    for (const QString &locale : {u"en_US.UTF-8"_s, u"C.UTF-8"_s}) {
        okUnder(locale, {u"30,00"_s});
        EXPECT_TRUE(stored().contains(u"ek=300000 "_s)) << locale.toStdString();
    }
}

// An amount beyond what money holds is refused where it is typed, not stored as 0 or wrapped.
TEST_F(ArticleWindowNumbers, AmountsBeyondTheMoneyRangeKeepTheWindowOpen)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    ui.answers = {ModalResult::Yes, ModalResult::Yes};
    auto window = StartMainWindow(m_dir.filePath(u"BIN"_s), {u"MOD00501"_s, u"DEMO"_s, u"ADMIN"_s});
    ASSERT_TRUE(window);
    ASSERT_TRUE(window->stockFrame()->GotoArticle(kNr));
    QStringList refused;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_TRUE(modal);
        auto *ek = modal->findChild<QLineEdit *>(u"edEK"_s);
        for (const QString &text : {u"1e16"_s, u"99999999999999999999"_s, u"1E300"_s}) {
            ek->setText(text);
            modal->findChild<QPushButton *>(u"btOK"_s)->click();
            if (QApplication::activeModalWidget() == modal && !ui.messages.isEmpty())
                refused.append(ui.messages.takeLast().text);
        }
        ek->setText(u"12,5"_s);
        modal->findChild<QPushButton *>(u"btOK"_s)->click();
    });
    window->editArticle();
    window->close();
    ASSERT_EQ(refused.size(), 3);
    EXPECT_EQ(refused[0], u"Der Betrag \"1e16\" ist ungueltig oder zu gross."_s);
    IModLagerDBServerObj db;
    db.Open(stockDir());
    TLagerServerObj a;
    a.LagerArtikelNr = kNr;
    ASSERT_EQ(db.ReadArticle(&a), 0);
    EXPECT_EQ(a.EKPreis, Money::fromRaw(125000));
}

} // namespace
