// Stored numbers are the installation's, never the process locale's: what one program writes
// every other reads back the same, whichever separator it was written with.
#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/messages.h"
#include "ordering/bestellserverobj.h"
#include "persistence/conversions.h"
#include "tests/support/scriptedinteraction.h"

#include <QRandomGenerator>
#include <charconv>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

using namespace Qt::StringLiterals;

namespace
{
class Separator
{
public:
    explicit Separator(QChar c) : m_saved(FormatSettings::current())
    {
        FormatSettings::current() = FormatSettings::withDecimalSeparator(c);
    }
    ~Separator() { FormatSettings::current() = m_saved; }

private:
    FormatSettings m_saved;
};
} // namespace

TEST(StoredFormat, GeneralFormatIsFixedFromOneHundredThousandthToFifteenDigits)
{
    // clang-format off
    const std::pair<double, const char16_t *> cases[] = {
        {0.00005, u"0,00005"}, {0.00001, u"0,00001"}, {-0.0000123, u"-0,0000123"},
        {0.000009, u"9E-6"}, {1.5e-7, u"1,5E-7"}, {999999999999999.0, u"999999999999999"},
        {123456789012345.6, u"123456789012346"}, {1e15, u"1E15"}, {-1.25e20, u"-1,25E20"},
        {0.1 + 0.2, u"0,3"}, {46362.395417419, u"46362,395417419"},
        {5e-324, u"4,94065645841247E-324"}};
    // clang-format on
    for (const auto &[value, text] : cases) {
        QString appended = u"x"_s;
        appendFloatText(appended, value);
        EXPECT_EQ(appended, u"x"_s + QString::fromUtf16(text)) << value;
        EXPECT_EQ(floatToText(value), QString::fromUtf16(text)) << value;
    }
    EXPECT_EQ(floatToText(0.00005, u'.'), u"0.00005"_s);
}

// Whatever the writers produce, under either separator, every reader gives the same value
// back under either separator: the strict reader of settings and columns, the tolerant one of
// XML texts, and money.
TEST(StoredFormat, EveryReaderReadsEveryWriterUnderEitherSeparator)
{
    constexpr double max = std::numeric_limits<double>::max();
    const double values[] = {0.00005, 0.00001, 0.000009,        1e-7,  2e15, 1e15, -1.25e20, 2440.5,
                             31.4,    0.1,     46362.395417419, 1e308, max,  -max, 5e-324};
    for (QChar written : {QChar(u','), QChar(u'.')}) {
        for (QChar reading : {QChar(u','), QChar(u'.')}) {
            for (double v : values) {
                const QString text = floatToText(v, written);
                Separator scope(reading);
                double strict = 0;
                EXPECT_TRUE(textToFloat(text, strict)) << text.toStdString();
                EXPECT_EQ(strict, v) << text.toStdString();
                EXPECT_EQ(StrToFloatTolerant(text, -1), v) << text.toStdString();
                EXPECT_EQ(StrToFloatTolerant(QUtf8StringView(text.toUtf8()), -1), v)
                    << text.toStdString();
                Money m;
                if (MoneyFromDouble(v, m)) {
                    EXPECT_EQ(StrToCurrTolerant(text, Money::fromRaw(-7)), m) << text.toStdString();
                }
            }
        }
    }
}

// The writer takes the shortest digits when there are at most 15 of them; that must always
// be the plain 15-digit rounding, for short decimals and arbitrary bit patterns alike.
TEST(StoredFormat, ShortestDigitsAreTheFifteenDigitRounding)
{
    QRandomGenerator rng(4711);
    for (int i = 0; i < 20000; ++i) {
        const double shortValue = double(rng.bounded(2000000) - 1000000) /
                                  std::pow(10.0, rng.bounded(8)) *
                                  std::pow(10.0, rng.bounded(-8, 20));
        const quint64 bits = rng.generate64();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        for (double v : {shortValue, any}) {
            if (!std::isfinite(v) || std::fabs(v) > 1e308)
                continue; // beyond the largest double after rounding: read as it, see below
            double read = 0;
            ASSERT_TRUE(textToFloat(floatToText(v, u'.'), read)) << v;
            char digits[48];
            const auto end =
                std::to_chars(digits, digits + sizeof digits, v, std::chars_format::scientific, 14)
                    .ptr;
            double rounded = 0;
            std::from_chars(digits, end, rounded);
            ASSERT_EQ(read, rounded) << v;
        }
    }
}

TEST(StoredFormat, TolerantReadersTellExponentsFromUnitsAndGroupingFromDecimals)
{
    const struct {
        QChar separator;
        const char16_t *text;
        double expected;
    } cases[] = {
        // clang-format off
        {u',', u"2E15", 2e15}, {u',', u"2e+15", 2e15}, {u',', u"1,5E-7 m", 1.5e-7},
        {u',', u"1.234,50 EUR", 1234.5}, {u',', u"5EUR", 5}, {u',', u"12 Stk", 12},
        {u',', u"2440.5", 2440.5},     // one point and no comma: written with a point
        {u',', u"1.234.567", 1234567}, // grouping only
        {u',', u"2E", 2}, {u'.', u"2440,5", 2440.5}, {u'.', u"1,234.50 EUR", 1234.5},
        {u'.', u"1.234,50", 1.2345}, // the installation's separator wins
        {u'.', u"-3E-2", -0.03}, {u',', u"E5", 5}, {u',', u"2E-x", -1}, {u',', u"", -1},
        {u',', u"EUR", -1},
        // clang-format on
    };
    for (const auto &c : cases) {
        Separator scope(c.separator);
        EXPECT_DOUBLE_EQ(StrToFloatTolerant(QStringView(c.text), -1), c.expected)
            << QString::fromUtf16(c.text).toStdString() << " with " << char(c.separator.unicode());
    }
    // Money written with either separator is read by the round trips above; grouping is not.
    Separator comma(u',');
    EXPECT_EQ(StrToCurrTolerant(u"1.234,56", Money()).raw(), 12345600);
    double v = 0;
    EXPECT_FALSE(textToFloat(u"1.234,5", v)); // stored texts have no grouping
    EXPECT_FALSE(textToFloat(u"2E", v));
    EXPECT_FALSE(textToFloat(u"12 Stk", v));
    EXPECT_FALSE(textToFloat(u"1,8E309", v));
}

TEST(StoredFormat, InstallationChoosesTheSeparatorAndABadChoiceIsReported)
{
    const FormatSettings saved = FormatSettings::current();
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    const struct {
        const char *ini;
        QChar expected;
        bool reported;
    } cases[] = {
        {"[Format]\r\nDecimalSeparator= . \r\n", u'.', false}, // lager's tests cover plain ones
        {"[Format]\r\nDecimalSeparator=;\r\n", u',', true},
        {"[Format]\r\nDecimalSeparator=\r\n", u',', true},
    };
    for (const auto &c : cases) {
        FormatSettings::current() = FormatSettings::withDecimalSeparator(u'#');
        ui.messages.clear();
        IniFile ini;
        ini.setText(QString::fromLatin1(c.ini));
        FormatSettings::loadInstallation(ini);
        EXPECT_EQ(FormatSettings::current().decimalSeparator, c.expected) << c.ini;
        EXPECT_NE(FormatSettings::current().thousandSeparator, c.expected) << c.ini;
        EXPECT_EQ(ui.messages.size(), c.reported ? 1 : 0) << c.ini;
    }
    FormatSettings::current() = saved;
}

// Orders read their numbers through the shared readers: a document written under one
// separator with exponent forms reads back whole under the other.
TEST(StoredFormat, OrdersWithExponentFormsReadBackUnderTheOtherSeparator)
{
    for (QChar written : {QChar(u','), QChar(u'.')}) {
        QString text;
        {
            Separator scope(written);
            TBestellServerObj order;
            order.WV = 2e15;
            order.Datum = 46362.395417419;
            auto line = std::make_unique<TBestellartikel>();
            line->Menge = 0.00005;
            line->EK = 2440.5;
            order.Artikel.Add(std::move(line));
            text = order.GetXMLText(true);
        }
        EXPECT_TRUE(text.contains(u"0"_s + written + u"00005"_s)) << text.toStdString();
        Separator scope(written == u',' ? QChar(u'.') : QChar(u','));
        TBestellServerObj order;
        ASSERT_TRUE(order.LoadFromXMLText(text));
        EXPECT_EQ(std::tuple(order.WV, order.Datum), std::tuple(2e15, 46362.395417419));
        ASSERT_EQ(order.Artikel.Count(), 1);
        EXPECT_EQ(std::tuple(order.Artikel[0].Menge, order.Artikel[0].EK),
                  std::tuple(0.00005, 2440.5));
    }
}
