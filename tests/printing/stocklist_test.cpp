// The stock list: its print run over a real stock table and the generated stock-list layouts
// (which articles it prints, what its totals say and the document it hands on), the print
// window, and the values it prints.
#include "persistence/engine/tdbtable.h"
#include "printing/lagerbewertung.h"
#include "printing/lagerdruck.h"
#include "printing/printarealayoutscore.h"
#include "printing/printhelperlager.h"
#include "printing/ui/mod00501form10.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/articles.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

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
        EXPECT_TRUE(c.OnlyStock);
        EXPECT_EQ(
            (QStringList{c.Group, c.Place, c.Form, c.LayoutSet, c.FirstPage}),
            (QStringList{u"Rohre"_s, {}, u"Lagerliste Querformat"_s, u"Lagerliste"_s, u"3"_s}));
    }
    TMOD00501Form10 again(context());
    EXPECT_EQ(again.FormField()->text(), u"Lagerliste Querformat"_s);
    ASSERT_NE(again.LayoutSets()->currentItem(), nullptr);
    EXPECT_EQ(again.Choice().LayoutSet, u"Lagerliste"_s);
    // Filters and page number are chosen afresh each time.
    EXPECT_EQ(again.Choice().Group, QString());
    EXPECT_EQ(again.Choice().FirstPage, QString());
}

// The values a stock list prints: the valuation in its totals and the article variables of its
// rows, without a document around them.
namespace
{
TLagerArtikelDaten stocked(double stock, double price, bool notStock = false)
{
    TLagerArtikelDaten a;
    a.BuchungsBestand = stock;
    a.EKPreis = Money::fromDouble(price);
    a.IsNotBestandsartikel = notStock;
    return a;
}

// What a resolver handed over, in one comparable text per kind.
QString delivered(int kind, const TPrintValue &v)
{
    const std::map<int, QString> values = {
        {pvText, u"text:"_s + v.Text},
        {pvBoolean, v.Boolean ? u"bool:1"_s : u"bool:0"_s},
        {pvAmount, u"amount:"_s + QString::number(v.Amount, 'f', 4)},
        {pvInteger, u"int:"_s + QString::number(v.Integer)},
        {pvRichText, u"rtf:"_s + v.RichTextParam + u'|' + v.RichText},
        {pvImage, u"img:"_s + v.ImagePath}};
    const auto it = values.find(kind);
    return it != values.end() ? it->second : u"kind "_s + QString::number(kind);
}

QString row(const TPrintHelperLager &helper, const QString &variable,
            const TLagerArtikelDaten &article)
{
    TPrintValue v;
    const int kind = helper.ResolveRow(variable, v, article);
    return kind == pvNone ? u"-"_s : delivered(kind, v);
}

TPrintHelperLager::Settings settings(bool fourDecimals)
{
    TPrintHelperLager::Settings s;
    s.fourDecimals = fourDecimals;
    s.currencyText = u"EUR"_s;
    s.imagesDir = u"/bilder"_s;
    s.serialNumbers = [](const QString &nr) {
        return nr == u"MIT-SN" ? QStringList{u"S1"_s, u"S2"_s} : QStringList();
    };
    return s;
}

// Every field of the record away from its default, the price with four decimals so that the
// rounded products show which rounding they went through.
TLagerArtikelDaten populated()
{
    TLagerArtikelDaten a = fullArticle();
    a.LagerArtikelNr = u"MIT-SN"_s;
    a.SummeWareneingangMe = 2.5;
    a.Gruppe = u"Rohre"_s;
    a.Lagerort = u"R01"_s;
    a.Inventurartikel = true;
    a.Anfangsbestand = 4;
    a.InventurErfassung = 10.5;
    a.Inventurdifferenz = -1.5;
    a.Rabattgruppen = u"RG1"_s;
    a.ME = u"m"_s;
    a.DEinstandsPreisbildung = true;
    a.EKPreis = Money::fromDouble(1.3333);
    return a;
}
} // namespace

TEST(StockValuation, RoundsEachArticleToTheCentAndSortsItByItsStock)
{
    struct Case {
        double stock, price;
        qint64 positiveRaw, nonPositiveRaw;
        int count;
    };
    const Case cases[] = {
        {3, 1.3333, 40000, 0, 1}, // 3.9999 rounds away from zero at the cent
        {1, 0.004, 0, 0, 1},      // counted, worth nothing
        {1, 0.005, 100, 0, 1},
        {-2, 1.005, 0, -20100, 0}, // -2.01: negative stock is valued as well
        {0, 99.99, 0, 0, 0},
    };
    for (const Case &c : cases) {
        TLagerBewertung b;
        b.Add(stocked(c.stock, c.price));
        SCOPED_TRACE(
            (QString::number(c.stock) + u" x "_s + QString::number(c.price)).toStdString());
        EXPECT_EQ(b.PositiveValue.raw(), c.positiveRaw);
        EXPECT_EQ(b.NonPositiveValue.raw(), c.nonPositiveRaw);
        EXPECT_EQ(b.Count, c.count);
    }
    // Sums of rounded values, not a rounded sum: three times 3.9999 is 12.00, not 12.00 - 0.0003.
    TLagerBewertung b;
    for (int i = 0; i < 3; ++i)
        b.Add(stocked(3, 1.3333));
    EXPECT_EQ(b.PositiveValue.raw(), 120000);
    // Damaged data beyond the money range adds nothing instead of wrapping around.
    b.Add(stocked(1e300, 1));
    EXPECT_EQ(b.PositiveValue.raw(), 120000);
}

// Every row variable of a fully populated article, with both decimal settings where they
// matter, pictures and extra values by name, an article without serial numbers, and the totals'
// variables, which count only after their prefix.
TEST(StockListVariables, EveryRowVariableMatchesTheGoldenListing)
{
    TLagerArtikelDaten a = populated();
    QString listing;
    const auto list = [&](const QString &name, bool fourDecimals = false) {
        QString value = row(TPrintHelperLager(settings(fourDecimals)), name, a);
        listing += name + (fourDecimals ? u" (4)"_s : QString()) + u" = "_s +
                   value.replace(u"\r"_s, u"\\r"_s).replace(u"\n"_s, u"\\n"_s) + u'\n';
    };
    for (int n = 1000; n <= 1105; n = n == 1047 ? 1100 : n + 1)
        list(u"$100"_s + QString::number(n));
    for (int n : {1102, 1103, 1104}) // the products follow the setting, the valuation does not
        list(u"$100"_s + QString::number(n), true);
    for (const char16_t *name :
         {u"$1001043=K&2", u"$1001043=", u"$1001043=fehlt", u"$100Farbe", u"$100FARBE",
          u"$100Anzahl", u"$100geprüft", u"$100Datum", u"$100Zeit", u"$100Stempel", u"$100Alt",
          u"$100Gibtsnicht", u"$NameKurz$"})
        list(QString::fromUtf16(name));
    // Without serial numbers the variable stops the row's values without printing anything.
    a.LagerArtikelNr = u"OHNE"_s;
    list(u"$1001040"_s);
    list(u"$1001041"_s);
    TLagerBewertung b;
    b.CurrencyText = u"EUR"_s;
    b.Add(stocked(3, 1.3333));
    b.Add(stocked(-2, 1.5));
    for (const char16_t *name : {u"$100102", u"$1004", u"$1001", u"$1001100", u"$100", u"$100x",
                                 u"$1003", u"X100102", u"$10", u"$200102"}) {
        TPrintValue v;
        const int kind = b.Resolve(QString::fromUtf16(name), v);
        listing += u"totals "_s + QString::fromUtf16(name) + u" = "_s +
                   (kind == pvNone ? u"-"_s : delivered(kind, v)) + u'\n';
    }
    TestDocuments::expectGoldenText("printing", "stocklist_variables.txt", listing);
    EXPECT_EQ(TLagerBewertung::Value(a).raw(), 160000);
}

TEST(StockListRunParts, FirstPageSpoolNameAndSubject)
{
    const std::pair<QString, int> pages[] = {
        {u""_s, 1}, {u"abc"_s, 1}, {u"7"_s, 7}, {u" 12 "_s, 12}, {u"3a"_s, 1}};
    for (const auto &[text, number] : pages)
        EXPECT_EQ(TLagerDruck::FirstPageNumber(text), number) << qPrintable(text);

    EXPECT_EQ(TLagerDruck::SpoolFileName(u"/usr/tmp/"_s, 46087.6875),
              u"/usr/tmp/$46087X6875.$$$"_s);
    EXPECT_EQ(TLagerDruck::SpoolFileName(u"/usr/tmp"_s, 46087), u"/usr/tmp/$46087.$$$"_s);

    EXPECT_EQ(TLagerDruck::Subject({}, {}), QString());
    EXPECT_EQ(TLagerDruck::Subject(u"Rohre"_s, {}), u"Artikelgruppe: Rohre"_s);
    EXPECT_EQ(TLagerDruck::Subject({}, u"R01"_s), u"Lagerort: R01"_s);
    EXPECT_EQ(TLagerDruck::Subject(u"Rohre"_s, u"R01"_s),
              u"Artikelgruppe: Rohre - Lagerort: R01"_s);
}
