// The values a stock list prints: the valuation in its totals and the article variables of its
// rows, without a document around them.
#include "printing/lagerbewertung.h"
#include "printing/lagerdruck.h"
#include "printing/printarealayoutscore.h"
#include "printing/printhelperlager.h"
#include "tests/support/articles.h"

#include <gtest/gtest.h>

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
    switch (kind) {
    case pvText:
        return u"text:"_s + v.Text;
    case pvBoolean:
        return v.Boolean ? u"bool:1"_s : u"bool:0"_s;
    case pvAmount:
        return u"amount:"_s + QString::number(v.Amount, 'f', 4);
    case pvInteger:
        return u"int:"_s + QString::number(v.Integer);
    case pvRichText:
        return u"rtf:"_s + v.RichTextParam + u'|' + v.RichText;
    case pvImage:
        return u"img:"_s + v.ImagePath;
    default:
        return u"kind "_s + QString::number(kind);
    }
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

TEST(StockValuation, TotalsVariablesAreDecodedAfterTheirPrefix)
{
    TLagerBewertung b;
    b.CurrencyText = u"EUR"_s;
    b.Add(stocked(3, 1.3333));
    b.Add(stocked(-2, 1.5));
    const std::pair<QString, QString> cases[] = {
        {u"$100102"_s, u"int:1"_s},
        {u"$1004"_s, u"amount:4.0000"_s},
        {u"$1001"_s, u"amount:-3.0000"_s},
        {u"$1001100"_s, u"text:EUR"_s},
        {u"$100"_s, u"-"_s},
        {u"$100x"_s, u"-"_s},
        {u"$1003"_s, u"-"_s},
        {u"X100102"_s, u"-"_s},
        {u"$10"_s, u"-"_s},
        {u"$200102"_s, u"-"_s},
    };
    for (const auto &[name, expected] : cases) {
        TPrintValue v;
        const int kind = b.Resolve(name, v);
        EXPECT_EQ(kind == pvNone ? u"-"_s : delivered(kind, v), expected) << qPrintable(name);
    }
}

TEST(StockListVariables, EveryRowVariableOfAFullyPopulatedArticle)
{
    const TPrintHelperLager helper(settings(false));
    const TLagerArtikelDaten a = populated();
    // clang-format off
    const std::pair<int, QString> cases[] = {
        {1000, u"text:MIT-SN"_s}, {1001, u"text:DATANORM1"_s},
        {1002, u"text:Kupferrohr"_s}, {1003, u"text:12"_s}, {1004, u"text:2,5"_s},
        {1005, u"text:Rohre"_s}, {1006, u"text:R01"_s}, {1007, u"bool:1"_s},
        {1008, u"text:4"_s}, {1009, u"text:10,5"_s}, {1010, u"text:-1,5"_s},
        {1011, u"text:RG1"_s}, {1012, u"text:m"_s}, {1013, u"bool:1"_s},
        {1014, u"amount:1.3333"_s}, {1015, u"text:1,4"_s}, {1016, u"int:2"_s},
        {1017, u"text:21.01.2025 12:00"_s}, {1018, u"text:M&M"_s},
        {1019, u"text:22.01.2025 06:00"_s}, {1020, u"text:O'Neil"_s},
        {1021, u"amount:12.3456"_s}, {1022, u"amount:-3.5000"_s},
        {1023, u"amount:1000000.0000"_s}, {1024, u"amount:0.0001"_s},
        {1025, u"amount:99.9900"_s}, {1026, u"text:2,5"_s}, {1027, u"text:1,5"_s},
        {1028, u"text:3"_s}, {1029, u"text:0,00375"_s}, {1030, u"text:0"_s},
        {1031, u"int:8"_s}, // 7.5 minutes
        {1032, u"amount:45.5000"_s}, {1033, u"bool:1"_s}, {1034, u"bool:1"_s},
        {1035, u"bool:1"_s}, {1036, u"bool:1"_s}, {1037, u"bool:1"_s},
        {1038, u"rtf:$1001038|Zeile <1>\r\nZeile & \"2\""_s},
        {1039, u"rtf:$1001039|Kurz 'ü' 😀"_s}, {1040, u"text:S1\nS2"_s},
        {1041, u"text:S1, S2"_s}, {1047, u"rtf:$1001047|Etikett\n"_s},
        {1100, u"text:EUR"_s}, {1101, u"text:-1,5"_s},
        {1102, u"amount:-2.0000"_s}, // -1.99995
        {1103, u"amount:14.0000"_s}, // 13.99965
        {1104, u"amount:16.0000"_s}, // 15.9996
        {1042, u"-"_s}, {1105, u"-"_s},
    };
    // clang-format on
    for (const auto &[number, expected] : cases)
        EXPECT_EQ(row(helper, u"$100"_s + QString::number(number), a), expected) << number;
}

TEST(StockListVariables, ProductsFollowTheFourDecimalSettingButTheValuationDoesNot)
{
    const TPrintHelperLager helper(settings(true));
    const TLagerArtikelDaten a = populated();
    EXPECT_EQ(row(helper, u"$1001102"_s, a), u"amount:-2.0000"_s);
    EXPECT_EQ(row(helper, u"$1001103"_s, a), u"amount:13.9997"_s);
    EXPECT_EQ(row(helper, u"$1001104"_s, a), u"amount:15.9996"_s);
    EXPECT_EQ(TLagerBewertung::Value(a).raw(), 160000);
}

TEST(StockListVariables, PicturesExtraValuesAndSerialNumbersByName)
{
    const TPrintHelperLager helper(settings(false));
    TLagerArtikelDaten a = populated();
    const std::pair<QString, QString> cases[] = {
        {u"$1001043=K&2"_s, u"img:/bilder/Bild \"2\".png"_s}, // keys regardless of case
        {u"$1001043="_s, u"img:/bilder/bild1.jpg"_s},
        {u"$1001043=fehlt"_s, u"img:"_s}, // nothing printed, no message
        {u"$100Farbe"_s, u"text:rot & blau\r\n"_s},
        {u"$100FARBE"_s, u"text:rot & blau\r\n"_s},
        {u"$100Anzahl"_s, u"int:-42"_s},
        {u"$100geprüft"_s, u"bool:1"_s},
        {u"$100Datum"_s, u"text:21.01.2025"_s},
        {u"$100Zeit"_s, u"text:12:00"_s},
        {u"$100Stempel"_s, u"text:21.01.2025 18:00"_s},
        {u"$100Alt"_s, u"-"_s}, // a value of no known kind
        {u"$100Gibtsnicht"_s, u"-"_s},
        {u"$NameKurz$"_s, u"-"_s},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(row(helper, name, a), expected) << qPrintable(name);

    // Without serial numbers the variable stops the row's values without printing anything.
    a.LagerArtikelNr = u"OHNE"_s;
    EXPECT_EQ(row(helper, u"$1001040"_s, a), u"img:"_s);
    EXPECT_EQ(row(helper, u"$1001041"_s, a), u"img:"_s);
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
