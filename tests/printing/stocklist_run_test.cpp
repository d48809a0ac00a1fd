// The stock list's print run over a real stock table and the generated stock-list layouts:
// which articles it prints, what its totals say and the document it hands on. Then the window
#include "persistence/engine/tdbtable.h"
#include "printing/lagerdruck.h"
#include "printing/ui/mod00501form10.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace
{
class StockListRun : public GeneratedInstallation
{
protected:
    void SetUp() override
    {
        GeneratedInstallation::SetUp();
        db.Open(tmp.filePath(u"LAGER"_s));
    }

    void add(const QString &nr, const QString &group, const QString &place, double stock,
             double price, bool notStock = false)
    {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        a.Bezeichnung = u"Artikel "_s + nr;
        a.Gruppe = group;
        a.Lagerort = place;
        a.BuchungsBestand = stock;
        a.EKPreis = Money::fromDouble(price);
        a.ME = u"Stck"_s;
        a.IsNotBestandsartikel = notStock;
        ASSERT_EQ(db.WriteArticle(&a), 0);
    }

    // The six articles the filter cases choose from.
    void addMixed()
    {
        add(u"A1"_s, u"Rohre"_s, u"R01"_s, 3, 1.3333);
        add(u"A2"_s, u"rohre"_s, u"R01"_s, 1, 0.005);
        add(u"A3"_s, u"Rohre"_s, u"R02"_s, -2, 1.5);
        add(u"A4"_s, u"Rohre"_s, u"R01"_s, 0, 7);
        add(u"A5"_s, u"Fittings"_s, u"R01"_s, 5, 2, true);
        add(u"A6"_s, u"Fittings"_s, u"r01"_s, 1, 1);
    }

    TLagerDruck::Environment environment() const
    {
        TLagerDruck::Environment env;
        env.FormsDir = root + u"DATA/DEMO/ETC/FORMS/de_DE"_s;
        env.TmpDir = tmp.path();
        env.ClientName = u"DEMO"_s;
        env.UserName = u"MM"_s;
        env.UserFullName = u"Monika Muster"_s;
        env.Telephone = u"0711 4711"_s;
        env.EMail = u"mm@example.com"_s;
        env.Values.currencyText = u"EUR"_s;
        env.Clock = [] { return QTime(9, 30); };
        return env;
    }

    static TLagerDruckAuswahl choice()
    {
        TLagerDruckAuswahl c;
        c.Form = u"Lagerliste Hochformat"_s;
        c.LayoutSet = u"Lagerliste"_s;
        c.Date = QDate(2026, 3, 1);
        return c;
    }

    // The document's text; empty when none was written.
    QString print(const TLagerDruckAuswahl &c)
    {
        TLagerDruck run(db, environment());
        const QString file = run.WriteDocument(c);
        return file.isEmpty() ? QString()
                              : TestDocuments::fromUtf16(TestDocuments::fileBytes(file));
    }

    // Article numbers in the order their rows were written.
    static QStringList printedNumbers(const QString &document)
    {
        QStringList numbers;
        static const QRegularExpression first(u"<parow>\\s*<col[^>]*>\\s*<row>([^<]*)</row>"_s);
        for (auto it = first.globalMatch(document); it.hasNext();)
            numbers << it.next().captured(1);
        return numbers;
    }

    IModLagerDBServerObj db;
};
} // namespace

TEST_F(StockListRun, FiltersCompareExactlyAndOnlyStockSkipsZeroAndNonStockArticles)
{
    addMixed();
    struct Case {
        QString group, place;
        bool onlyStock;
        QStringList printed;
    };
    const Case cases[] = {
        {{}, {}, false, {u"A1"_s, u"A2"_s, u"A3"_s, u"A4"_s, u"A5"_s, u"A6"_s}},
        {{}, {}, true, {u"A1"_s, u"A2"_s, u"A3"_s, u"A6"_s}},
        {u"Rohre"_s, {}, false, {u"A1"_s, u"A3"_s, u"A4"_s}},
        {u"rohre"_s, {}, false, {u"A2"_s}},
        {{}, u"R01"_s, false, {u"A1"_s, u"A2"_s, u"A4"_s, u"A5"_s}},
        {u"Rohre"_s, u"R01"_s, true, {u"A1"_s}},
        {u"Heizung"_s, {}, false, {}},
    };
    for (const Case &c : cases) {
        TLagerDruckAuswahl chosen = choice();
        chosen.Group = c.group;
        chosen.Place = c.place;
        chosen.OnlyStock = c.onlyStock;
        SCOPED_TRACE(
            (c.group + u'/' + c.place + u'/' + QString::number(c.onlyStock)).toStdString());
        const QString document = print(chosen);
        EXPECT_EQ(printedNumbers(document), c.printed);
        // One separator line per printed article.
        EXPECT_EQ(document.count(u"<line />"_s), c.printed.size());
    }
}

TEST_F(StockListRun, ACancelAfterTheFirstArticleStillPrintsItsTotals)
{
    addMixed();
    ui.cancelProgressAfter = 1;
    TLagerDruck run(db, environment());
    const QString document =
        TestDocuments::fromUtf16(TestDocuments::fileBytes(run.WriteDocument(choice())));
    EXPECT_TRUE(run.Cancelled());
    EXPECT_EQ(printedNumbers(document), QStringList{u"A1"_s});
    EXPECT_TRUE(document.contains(u">Anzahl Artikel: 1</row>"_s)) << qPrintable(document);
    EXPECT_EQ(run.Bewertung().PositiveValue.raw(), 40000);
    EXPECT_TRUE(document.endsWith(u"</printpreview>\r\n"_s));
}

// Long enough that the document is written in several pieces: no row may be lost, doubled or
// cut where one piece ends and the next begins.
TEST_F(StockListRun, ALongListWritesEveryArticleWhole)
{
    constexpr int kCount = 150;
    QStringList numbers;
    for (int i = 0; i < kCount; ++i) {
        numbers << u"N"_s + QString::number(i).rightJustified(4, u'0');
        add(numbers.last(), u"Rohre"_s, u"R01"_s, 2.5, 1.25);
    }
    const QString document = print(choice());
    EXPECT_EQ(printedNumbers(document), numbers);
    const QStringList blocks = document.split(u"<line />"_s);
    ASSERT_EQ(blocks.size(), kCount + 1);
    const qsizetype head = blocks[0].indexOf(u"  <parow"_s);
    ASSERT_GE(head, 0);
    const QString first = blocks[0].mid(head);
    for (int i = 1; i < kCount; ++i)
        ASSERT_EQ(QString(blocks[i]).replace(numbers[i], numbers[0]).toStdString(),
                  (u"\r\n"_s + first).toStdString())
            << "article " << i;
    EXPECT_TRUE(document.endsWith(u"</printpreview>\r\n"_s));
}

TEST_F(StockListRun, AMissingLayoutStopsBeforeAnythingIsWritten)
{
    TLagerDruckAuswahl chosen = choice();
    chosen.LayoutSet = u"Gibt es nicht"_s;
    EXPECT_TRUE(print(chosen).isEmpty());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.startsWith(u"Drucklayout \"Gibt es nicht\" nicht gefunden."_s));
    EXPECT_TRUE(QDir(tmp.path()).entryList({u"*.$$$"_s}).isEmpty());
}

TEST_F(StockListRun, DocumentOfThreeArticles)
{
    add(u"ROHR-15"_s, u"Rohre"_s, u"R01"_s, 120.5, 2.35);
    add(u"FIT<&>"_s, u"Fittings"_s, u"R02"_s, -4, 0.9);
    add(u"ZUB-1"_s, u"Rohre"_s, u"R01"_s, 0, 12.5);
    TLagerDruckAuswahl chosen = choice();
    chosen.FirstPage = u"x"_s;
    TestDocuments::expectGoldenText("printing", "stocklist.xml", print(chosen));
    // The spool file lies in the user's TMP under the run's time stamp.
    EXPECT_EQ(QDir(tmp.path()).entryList({u"$*.$$$"_s}).size(), 1);
}

// "[0501 - 10] - Drucken" on the offscreen platform: what it offers, what it refuses on OK and
// what it keeps for the next print.
namespace
{
class StockPrintWindow : public GeneratedInstallation
{
protected:
    StockPrintContext context() const
    {
        StockPrintContext c;
        c.groups = {u"Rohre"_s, u"Fittings"_s};
        c.places = {u"R01"_s};
        c.formsDir = root + u"DATA/DEMO/ETC/FORMS/de_DE"_s;
        c.settingsFile = tmp.filePath(u"MOD00501.INI"_s);
        c.chooseForm = [](QWidget *, const QString &) { return u"Lagerliste Querformat"_s; };
        return c;
    }
};
} // namespace

TEST_F(StockPrintWindow, OkWantsALayoutSetThenAFormAndKeepsBothForTheNextPrint)
{
    {
        TMOD00501Form10 w(context());
        // No filter unless chosen: an empty entry before the configured groups and places.
        EXPECT_EQ(w.GroupBox()->itemText(0) + w.PlaceBox()->itemText(0), QString());
        EXPECT_EQ(w.DateField()->date(), QDate::currentDate());
        w.accept();
        EXPECT_EQ(w.result(), QDialog::Rejected);
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].text.startsWith(u"Sie muessen ein Drucklayout auswaehlen!"_s));

        w.LayoutSets()->setCurrentRow(0);
        w.accept();
        EXPECT_EQ(w.result(), QDialog::Rejected);
        ASSERT_EQ(ui.messages.size(), 2);
        EXPECT_TRUE(ui.messages[1].text.startsWith(u"Sie muessen ein Formular auswaehlen!"_s));
        EXPECT_EQ(w.focusWidget(), w.FormField());

        w.ChooseForm();
        w.GroupBox()->setCurrentIndex(1);
        w.OnlyStockButton()->setChecked(true);
        w.FirstPageField()->setText(u"3"_s);
        w.accept();
        EXPECT_EQ(w.result(), QDialog::Accepted);
        const TLagerDruckAuswahl c = w.Choice();
        EXPECT_EQ(c.Group, u"Rohre"_s);
        EXPECT_EQ(c.Place, QString());
        EXPECT_TRUE(c.OnlyStock);
        EXPECT_EQ(c.Form, u"Lagerliste Querformat"_s);
        EXPECT_EQ(c.LayoutSet, u"Lagerliste"_s);
        EXPECT_EQ(c.FirstPage, u"3"_s);
    }
    TMOD00501Form10 again(context());
    EXPECT_EQ(again.FormField()->text(), u"Lagerliste Querformat"_s);
    ASSERT_NE(again.LayoutSets()->currentItem(), nullptr);
    EXPECT_EQ(again.Choice().LayoutSet, u"Lagerliste"_s);
    // Filters and page number are chosen afresh each time.
    EXPECT_EQ(again.Choice().Group, QString());
    EXPECT_EQ(again.Choice().FirstPage, QString());
}
