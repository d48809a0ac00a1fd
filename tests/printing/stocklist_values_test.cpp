// The values a stock list prints: the valuation in its totals and the article variables of its
// rows, without a document around them.
#include "printing/lagerbewertung.h"
#include "printing/lagerdruck.h"
#include "printing/printarealayoutscore.h"
#include "printing/printhelperlager.h"
#include "tests/support/articles.h"
#include "tests/support/documents.h"

#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

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
