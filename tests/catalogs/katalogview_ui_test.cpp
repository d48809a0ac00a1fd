#include "base/formatsettings.h"
#include "base/inifile.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogviewmodel.h"
#include "catalogs/ui/ukatkatalogviewframe.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/cataloggenerator.h"
#include "tools/suitegen/stockassortment.h"

#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 60;

struct CatalogViews : ::testing::Test {
    QTemporaryDir tmp;
    QString base = tmp.path() + u"/"_s;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    IniFile settings;
    void SetUp() override
    {
        FormatSettings::current() = FormatSettings::german();
        QString error;
        ASSERT_TRUE(CatalogGenerator::GenerateCatalogs(base, kArticles, 7, &error))
            << error.toStdString();
    }
    QStringList headers(const TKatalogViewModel &m)
    {
        QStringList h;
        for (int c = 0; c < m.columnCount(); ++c)
            h << m.headerData(c, Qt::Horizontal).toString();
        return h;
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
    EXPECT_EQ(headers(frame.Model()),
              QStringList({u"Artikel-Nr."_s, u"Beschreibung"_s, u"Einkaufspreis"_s, u"VK-Preis 1"_s,
                           u"Mengeneinheit"_s}));
    ASSERT_EQ(frame.Model().rowCount(), kArticles);
    // Every row far down the table reads (the rows come in blocks).
    EXPECT_EQ(frame.Model().ArticleNr(kArticles - 1), u"K0000060"_s);

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
    EXPECT_EQ(frame.Model().rowCount(), kArticles);
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
    for (int row = 0; row < kArticles; row += 7) {
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
