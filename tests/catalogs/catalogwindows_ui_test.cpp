// The catalog windows on the offscreen platform: the catalog choice dialog, the article
// selection window with its page per catalog and the Speicher, and the views of both kinds.
#include "base/formatsettings.h"
#include "base/inifile.h"
#include "catalogs/katalog1artikel.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/katalogviewmodel.h"
#include "catalogs/ui/ukat2artikelauswahlform1.h"
#include "catalogs/ui/ukatkatalogauswahl.h"
#include "catalogs/ui/ukatkatalogviewframe.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/cataloggenerator.h"
#include "tools/suitegen/stockassortment.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 30;

// Two DATANORM catalogs generated from one seed hold the same article numbers: the case of a
// number that two suppliers both sell. A simple catalog beside them has numbers of its own.
struct ArticleChoice : CatalogTest::Fixture {
    QString base = tmp.path() + u"/"_s;
    std::unique_ptr<TKatalogDBPool> pool;
    std::unique_ptr<TUKAT2ArtikelAuswahlForm1> window;

    void SetUp() override
    {
        QString error;
        for (const QString &name : {u"MUELLER"_s, u"HUBER"_s}) {
            ASSERT_TRUE(
                CatalogGenerator::GenerateDatanormCatalog(base + name, kArticles, 3, &error))
                << error.toStdString();
            IniFile ini;
            ini.writeInteger(u"Catalog"_s, u"Type"_s, 1);
            ASSERT_TRUE(ini.saveAs(base + name + u"/SUPPLIER.INI"_s));
        }
        ASSERT_TRUE(
            CatalogGenerator::GenerateSimpleCatalog(base + u"KOEHLER"_s, kArticles, 3, &error))
            << error.toStdString();
        pool = std::make_unique<TKatalogDBPool>(base, base + u"LAGER"_s, nullptr);
        window = std::make_unique<TUKAT2ArtikelAuswahlForm1>(*pool, IniFile());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QStringList lines() const
    {
        QStringList result;
        for (int i = 0; i < window->ClipboardList()->count(); ++i)
            result << window->ClipboardList()->item(i)->text();
        return result;
    }
    // Enter on the focused row of the current page, as the user adds an article.
    void enterOnRow(int row)
    {
        QTableView *grid = window->CurrentView()->Grid();
        grid->setCurrentIndex(grid->model()->index(row, 0));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
    }
};
} // namespace

TEST_F(ArticleChoice, SameNumberFromTwoCatalogsOnlyOnceAndEachPageOnce)
{
    window->Begin(u"Katalogartikel importieren"_s);
    ASSERT_TRUE(window->OpenCatalog(u"mueller"_s));
    ASSERT_TRUE(window->OpenCatalog(u"HUBER"_s));
    ASSERT_TRUE(window->OpenCatalog(u"MUELLER"_s)); // shows the open page again
    ASSERT_EQ(window->Pages()->count(), 2);
    EXPECT_EQ(window->Pages()->tabText(0), u"MUELLER"_s);
    EXPECT_EQ(window->Pages()->currentIndex(), 0);

    enterOnRow(1);
    ASSERT_EQ(window->Clipboard().Count(), 1);
    const QString nr = window->Clipboard().ArtikelNr(0);
    EXPECT_EQ(lines(), QStringList({u"MUELLER: %1 - %2"_s.arg(nr, window->Clipboard().Text(0))}));
    // Read fully, with what only the whole article carries.
    const auto &first = dynamic_cast<const TKatalog1Artikel &>(window->Clipboard().Item(0));
    EXPECT_EQ(first.Katalog, u"MUELLER"_s);
    EXPECT_FALSE(first.Langtext.isEmpty());

    enterOnRow(1); // the same again
    window->Pages()->setCurrentIndex(1);
    enterOnRow(1); // the same number from the other supplier
    enterOnRow(2);
    ASSERT_EQ(window->Clipboard().Count(), 2);
    EXPECT_EQ(window->Clipboard().KatalogName(1), u"HUBER"_s);
    EXPECT_NE(window->Clipboard().ArtikelNr(1), nr);

    // Enter in the search field searches; it neither adds nor closes the window.
    window->CurrentView()->SearchEdit()->setFocus();
    QTest::keyClick(window->CurrentView()->SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(window->Clipboard().Count(), 2);
    EXPECT_TRUE(window->isVisible());

    window->CloseCatalog();
    EXPECT_EQ(window->Pages()->count(), 1);
    EXPECT_EQ(window->Clipboard().Count(), 2); // chosen articles stay with their catalog gone
}

TEST_F(ArticleChoice, TakeCancelAndWhatTheWindowKeepsBetweenUses)
{
    window->Begin(u"Test"_s);
    ASSERT_TRUE(window->OpenCatalog(u"KOEHLER"_s));
    window->CurrentView()->Grid()->setCurrentIndex(window->CurrentView()->Model().index(3, 0));
    const QString focused = window->CurrentView()->FocusedArticleNr();

    // F8 with an empty Speicher takes the focused article.
    QTest::keyClick(window.get(), Qt::Key_F8);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    std::unique_ptr<TKatalogDBClipBoard> taken = window->TakeClipboard();
    ASSERT_EQ(taken->Count(), 1);
    EXPECT_EQ(taken->ArtikelNr(0), focused);
    EXPECT_EQ(taken->KatalogName(0), u"KOEHLER"_s);

    // The next use starts with an empty Speicher on the pages of the last, the search text
    // in the first page's field.
    window->show();
    window->Begin(u"Hinzufuegen eines konkreten Artikels"_s, u"4711 Rohr"_s);
    EXPECT_EQ(window->ClipboardList()->count(), 0);
    ASSERT_EQ(window->Pages()->count(), 1);
    EXPECT_EQ(window->CurrentView()->SearchEdit()->text(), u"4711 Rohr"_s);

    // F8 with a full Speicher takes just what it holds.
    enterOnRow(0);
    window->CurrentView()->Grid()->setCurrentIndex(window->CurrentView()->Model().index(5, 0));
    window->Take();
    taken = window->TakeClipboard();
    ASSERT_EQ(taken->Count(), 1);
    EXPECT_NE(taken->ArtikelNr(0), window->CurrentView()->FocusedArticleNr());

    window->show();
    window->Begin(u"Test"_s);
    enterOnRow(0);
    enterOnRow(1);
    window->ClearClipboard();
    EXPECT_TRUE(lines().isEmpty());
    enterOnRow(2);
    window->Cancel();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_TRUE(window->TakeClipboard()->IsEmpty());
}

TEST_F(ArticleChoice, CatalogThatCannotBeOpenedGetsNoPage)
{
    window->ChooseCatalog = [] { return u"GIBTESNICHT"_s; };
    window->OpenCatalog();
    EXPECT_EQ(window->Pages()->count(), 0);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Katalog \"GIBTESNICHT\" nicht gefunden."_s);
    // Without a page there is nothing to take.
    window->Take();
    EXPECT_TRUE(window->TakeClipboard()->IsEmpty());
}

namespace
{

void catalog(const QTemporaryDir &base, const QString &name, const QString &marker,
             const QString &type = {})
{
    CatalogTest::catalogDir(base.filePath(name),
                            marker.isEmpty() ? QStringList() : QStringList{marker}, type, {},
                            u"Sanitär Großhandel"_s);
}

QStringList names(const TUKATKatalogAuswahlFrame &frame)
{
    QStringList out;
    for (const TUKATKatalogAuswahlItem &i : frame.Items())
        out.append(i.CatalogName);
    return out;
}

} // namespace

TEST(KatalogAuswahl, OpenNeedsASelectionListsOnlyCatalogKindsSortedByName)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    QTemporaryDir base;
    TUKATKatalogAuswahl dialog;
    TUKATKatalogAuswahlFrame *frame = dialog.Frame();
    frame->CatalogBaseDir = base.path();
    frame->ShowStock = false;
    frame->FillList();
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages.first().text, u"Es wurde kein Katalog ausgewaehlt."_s);

    catalog(base, u"ZZ"_s, u"CATALOG.DAT"_s);
    catalog(base, u"AA"_s, u"SCATALOG.DAT"_s);
    catalog(base, u"STOCKCOPY"_s, u"LAGER.DAT"_s);
    catalog(base, u"SEVEN"_s, {}, u"7"_s);
    catalog(base, u"EL"_s, {}, u"2"_s);
    catalog(base, u".hidden"_s, u"CATALOG.DAT"_s);
    catalog(base, u"NOTHING"_s, {});
    frame->FillList();
    EXPECT_EQ(names(*frame), QStringList({u"AA"_s, u"EL"_s, u"ZZ"_s}));
    ASSERT_TRUE(frame->SelectedItem());
    EXPECT_EQ(frame->SelectedItem()->CatalogName, u"AA"_s);
    frame->SelectIndex(1);
    EXPECT_EQ(frame->AddressLink()->text(), u"Adresse \"Sanitär Großhandel\" oeffnen."_s);

    frame->ShowStock = true;
    frame->FillList();
    EXPECT_EQ(names(*frame).first(), u"LAGER"_s);
    EXPECT_EQ(frame->Items().first().Kind, kkStock);
}

namespace
{
constexpr int kViewArticles = 60;

struct CatalogViews : CatalogTest::Fixture {
    QString base = tmp.path() + u"/"_s;
    IniFile settings;
    void SetUp() override
    {
        FormatSettings::current() = FormatSettings::german();
        QString error;
        ASSERT_TRUE(CatalogGenerator::GenerateCatalogs(base, kViewArticles, 7, &error))
            << error.toStdString();
    }
    void type(QLineEdit *edit, const QString &text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
    }
};
} // namespace

TEST(KatalogViewModel, MoneyIsGroupedWithTwoDecimals)
{
    FormatSettings::current() = FormatSettings::german();
    const struct {
        double value;
        const char16_t *text;
    } cases[] = {
        {0, u"0,00"}, {-0.505, u"-0,51"}, {999.994, u"999,99"}, {1234567.891, u"1.234.567,89"}};
    for (const auto &c : cases)
        EXPECT_EQ(TKatalogViewModel::MoneyText(Money::fromDouble(c.value)),
                  QString::fromUtf16(c.text));
    FormatSettings::current() = FormatSettings::withDecimalSeparator(u'.');
    EXPECT_EQ(TKatalogViewModel::MoneyText(Money::fromDouble(1234.5)), u"1,234.50"_s);
    FormatSettings::current() = FormatSettings::german();
}

TEST_F(CatalogViews, SimpleCatalogColumnsSearchGoToEanAndSort)
{
    settings.writeBool(u"View"_s, u"ColEK"_s, true);
    settings.writeBool(u"View"_s, u"ColVK1"_s, true);
    TKatalog2DB db;
    db.Open(base + u"KOEHLER"_s);
    TUKAT2KatalogViewFrame frame(db, settings);
    frame.show();
    // F7 is a shortcut of the frame's window: it needs the window active.
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    // Both price columns the settings switch on, after the description.
    EXPECT_EQ(frame.Model().columnCount(), 5);
    EXPECT_EQ(frame.Model().headerData(2, Qt::Horizontal).toString(), u"Einkaufspreis"_s);
    ASSERT_EQ(frame.Model().rowCount(), kViewArticles);
    // Every row far down the table reads (the rows come in blocks).
    EXPECT_EQ(frame.Model().ArticleNr(kViewArticles - 1), u"K0000060"_s);

    frame.SearchEdit()->setText(u"röhrenheizkörper"_s);
    QTest::keyClick(frame.SearchEdit(), Qt::Key_F7);
    ASSERT_TRUE(frame.Model().ShowingHits());
    EXPECT_EQ(frame.Model().rowCount(), 5);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_TRUE(ui.alerts[0].text.startsWith(u"5 Treffer in "_s))
        << ui.alerts[0].text.toStdString();
    // While hits are shown, the go-to field picks among them.
    type(frame.GoToEdit(), u"K00000"_s);
    EXPECT_EQ(frame.FocusedArticleNr(), u"K0000004"_s);
    QTest::keyClick(frame.SearchEdit(), Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_FALSE(frame.Model().ShowingHits());
    EXPECT_EQ(frame.Model().rowCount(), kViewArticles);
    EXPECT_EQ(frame.FocusedArticleNr(), u"K0000004"_s);

    frame.SearchEdit()->setText(u"xyzzy"_s);
    QTest::keyClick(frame.SearchEdit(), Qt::Key_F7);
    EXPECT_EQ(ui.alerts.last().text, u"Nichts gefunden."_s);
    EXPECT_FALSE(frame.Model().ShowingHits());

    type(frame.GoToEdit(), u"K000002"_s);
    EXPECT_EQ(frame.FocusedArticleNr(), u"K0000020"_s);

    frame.EANMode = true;
    type(frame.GoToEdit(), StockAssortment::Ean13(u"420000000007"_s));
    QTest::keyClick(frame.GoToEdit(), Qt::Key_Return);
    EXPECT_EQ(frame.FocusedArticleNr(), u"K 0000008"_s);
    type(frame.GoToEdit(), u"4000000000000"_s);
    QTest::keyClick(frame.GoToEdit(), Qt::Key_Return);
    EXPECT_EQ(ui.alerts.last().text, u"EAN \"4000000000000\" nicht gefunden."_s);

    // The purchase-price header orders by price; the number header by number again.
    frame.Model().sort(2);
    double previous = -1;
    for (int row = 0; row < kViewArticles; row += 7) {
        TKatalog2Artikel a;
        a.ArtikelNr = frame.Model().ArticleNr(row);
        ASSERT_EQ(db.ReadArticle(a), 0);
        EXPECT_GE(a.EK.toDouble(), previous);
        previous = a.EK.toDouble();
    }
    frame.Model().sort(0);
    EXPECT_EQ(frame.Model().ArticleNr(0), u"K 0000008"_s); // the blank sorts first
}

TEST_F(CatalogViews, DatanormCatalogSearchesWithSynonymsAndShowsDetails)
{
    settings.writeBool(u"View"_s, u"ColVK1"_s, true);
    TKatalog1DB db;
    db.Open(base + u"MUELLER"_s);
    TUKAT1KatalogViewFrame frame(db, settings);
    QString page;
    frame.ShowInfo = [&page](const QString &html) { page = html; };

    frame.SearchEdit()->setText(u"absperrhahn"_s);
    frame.StartSearch();
    ASSERT_EQ(frame.Model().rowCount(), 5);
    EXPECT_TRUE(
        frame.Model().data(frame.Model().index(0, 1)).toString().startsWith(u"Kugelhahn "_s));

    frame.EndSearch();
    type(frame.GoToEdit(), u"D0000001"_s);
    ASSERT_EQ(frame.FocusedArticleNr(), u"D0000001"_s);
    frame.ShowDetails();
    for (const QString &part : {u"Kupferrohr "_s, u"Nettopreis"_s, u"IMAGES/rohr.png"_s,
                                u"Langtext"_s, u"Außendurchmesser"_s})
        EXPECT_TRUE(page.contains(part)) << part.toStdString();
}
