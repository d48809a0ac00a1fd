#include "persistence/conversions.h"

#include "base/formatsettings.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

namespace
{
template <typename Unit> char16_t unitAt(const Unit *text, qsizetype i)
{
    return char16_t(std::make_unsigned_t<Unit>(text[i]));
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Numbers are ASCII; the filtered text fits the small-string buffer for any sensible value, so
// the conversions do not allocate. With decimals, the installation's separator is the decimal
// one and the other separator is grouping ("1.234,50"); a text without the installation's
// separator and with exactly one of the other was written under the other convention and reads
// the same ("2440.5" in a comma installation). An "E" between a digit and a digit (or a signed
// digit) is the exponent of the general float format; any other letter is part of a unit.
template <typename Unit>
std::string keepNumberChars(const Unit *text, qsizetype size, bool decimals)
{
    const char16_t own = FormatSettings::current().decimalSeparator.unicode();
    const char16_t other = own == u'.' ? u',' : u'.';
    char16_t decimal = own;
    if (decimals) {
        int ownCount = 0;
        int otherCount = 0;
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t c = unitAt(text, i);
            ownCount += c == own;
            otherCount += c == other;
        }
        if (ownCount == 0 && otherCount == 1)
            decimal = other;
    }
    std::string out;
    bool exponent = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = unitAt(text, i);
        if (c == u'-' || isDigit(c)) {
            out.push_back(char(c));
        } else if (!decimals) {
            continue;
        } else if (c == decimal && !exponent) {
            out.push_back('.');
        } else if ((c == u'E' || c == u'e') && !exponent && i > 0 &&
                   (isDigit(unitAt(text, i - 1)) || unitAt(text, i - 1) == decimal)) {
            qsizetype next = i + 1;
            if (next < size && (unitAt(text, next) == u'-' || unitAt(text, next) == u'+'))
                ++next;
            if (next < size && isDigit(unitAt(text, next))) {
                out.push_back('e');
                exponent = true;
                i = next - 1; // a "+" is no part of what from_chars reads
                if (unitAt(text, i) == u'-')
                    out.push_back('-');
            }
        }
    }
    return out;
}

bool parseDouble(const std::string &s, double &value)
{
    return asciiToDouble(s, value);
}

bool parseInt(const std::string &s, int &value)
{
    if (s.empty())
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

// Exact decimal to ten-thousandths: "12.3456" must not pass through a double. Further decimals
// round to even, as a floating value becomes money.
bool parseMoney(const std::string &s, Money &value)
{
    if (s.find('e') != std::string::npos) {
        // Exponent forms are written only for amounts that are no money in fixed notation
        // (below a ten-thousandth or beyond the range); read them as the double they are.
        double d = 0;
        return parseDouble(s, d) && MoneyFromDouble(d, value);
    }
    size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative)
        ++i;
    const size_t dot = s.find('.', i);
    const size_t intEnd = dot == std::string::npos ? s.size() : dot;
    if (intEnd == i && (dot == std::string::npos || dot + 1 == s.size()))
        return false; // no digits at all
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 raw = 0;
    for (size_t k = i; k < intEnd; ++k) {
        if (s[k] < '0' || s[k] > '9')
            return false;
        if (raw > (kMax - (s[k] - '0')) / 10)
            return false;
        raw = raw * 10 + (s[k] - '0');
    }
    int fracDigits = 0;
    int firstDropped = -1;
    bool restNonZero = false;
    if (dot != std::string::npos) {
        for (size_t k = dot + 1; k < s.size(); ++k) {
            if (s[k] < '0' || s[k] > '9')
                return false;
            const int d = s[k] - '0';
            if (fracDigits < 4) {
                if (raw > (kMax - d) / 10)
                    return false;
                raw = raw * 10 + d;
                ++fracDigits;
            } else if (firstDropped < 0)
                firstDropped = d;
            else if (d != 0)
                restNonZero = true;
        }
    }
    for (; fracDigits < 4; ++fracDigits) {
        if (raw > kMax / 10)
            return false;
        raw *= 10;
    }
    if (firstDropped > 5 || (firstDropped == 5 && (restNonZero || (raw & 1)))) {
        if (raw == kMax)
            return false;
        ++raw;
    }
    value = Money::fromRaw(negative ? -raw : raw);
    return true;
}

// The standard text-to-float conversion: the whole trimmed text as a stored number.
template <typename Unit> bool strictFloat(const Unit *text, qsizetype size, double &value)
{
    char16_t buffer[64];
    if (size > qsizetype(std::size(buffer)))
        return false; // no number the writers produce is that long
    for (qsizetype i = 0; i < size; ++i)
        buffer[i] = unitAt(text, i);
    return textToFloat(QStringView(buffer, size), value);
}

template <typename Unit> bool toBool(const Unit *text, qsizetype size, bool def)
{
    if (size == 0)
        return def;
    double number = 0;
    if (strictFloat(text, size, number))
        return number != 0;
    std::string upper;
    for (qsizetype i = 0; i < size && upper.size() < 8; ++i) {
        const char16_t c = char16_t(std::make_unsigned_t<Unit>(text[i]));
        upper.push_back(c < 128 ? char(std::toupper(int(c))) : '?');
    }
    if (upper == "TRUE")
        return true;
    if (upper == "FALSE")
        return false;
    return def;
}

Money moneyFromExtended(long double raw)
{
    // Rounds to nearest, ties to even (the default rounding mode).
    const long double r = std::nearbyint(raw);
    if (!std::isfinite(r) || r >= 9.2e18L || r <= -9.2e18L)
        throw std::range_error("Money value out of range");
    return Money::fromRaw(static_cast<qint64>(r));
}
} // namespace

double StrToFloatTolerant(QStringView text, double def)
{
    double v = 0;
    return parseDouble(keepNumberChars(text.utf16(), text.size(), true), v) ? v : def;
}

Money StrToCurrTolerant(QStringView text, Money def)
{
    Money v;
    return parseMoney(keepNumberChars(text.utf16(), text.size(), true), v) ? v : def;
}

int StrToIntTolerant(QStringView text, int def)
{
    int v = 0;
    return parseInt(keepNumberChars(text.utf16(), text.size(), false), v) ? v : def;
}

bool StrToBoolTolerant(QStringView text, bool def)
{
    return toBool(text.utf16(), text.size(), def);
}

// UTF-8 variants: multi-byte sequences never hold ASCII bytes, so filtering byte-wise keeps the
// same characters as the UTF-16 path for any ASCII decimal separator.
namespace
{
bool asciiSeparator()
{
    return FormatSettings::current().decimalSeparator.unicode() < 128;
}
} // namespace

double StrToFloatTolerant(QUtf8StringView text, double def)
{
    if (!asciiSeparator())
        return StrToFloatTolerant(QStringView(text.toString()), def);
    double v = 0;
    return parseDouble(keepNumberChars(text.data(), text.size(), true), v) ? v : def;
}

Money StrToCurrTolerant(QUtf8StringView text, Money def)
{
    if (!asciiSeparator())
        return StrToCurrTolerant(QStringView(text.toString()), def);
    Money v;
    return parseMoney(keepNumberChars(text.data(), text.size(), true), v) ? v : def;
}

int StrToIntTolerant(QUtf8StringView text, int def)
{
    int v = 0;
    return parseInt(keepNumberChars(text.data(), text.size(), false), v) ? v : def;
}

bool StrToBoolTolerant(QUtf8StringView text, bool def)
{
    if (!asciiSeparator())
        return StrToBoolTolerant(QStringView(text.toString()), def);
    return toBool(text.data(), text.size(), def);
}

bool MoneyFromDouble(double value, Money &money)
{
    // The largest count of ten-thousandths is 922337203685477.5807; doubles that far out
    // step by 0.125, so the last one below the bound is the last that converts safely.
    constexpr double kLimit = 922337203685477.5;
    if (!std::isfinite(value) || value >= kLimit || value <= -kLimit)
        return false;
    money = Money::fromDouble(value);
    return true;
}

Money RoundMoney(bool fourDecimals, Money amount)
{
    if (fourDecimals)
        return amount;
    const qint64 raw = amount.raw();
    const qint64 cut = raw / 100 * 100; // towards zero
    const qint64 rest = raw - cut;
    qint64 result = cut;
    if (rest >= 50 || rest <= -50)
        result += raw >= 0 ? 100 : -100;
    return Money::fromRaw(result);
}

// One rounding at the end: rounding a / 100 to four decimals first would lose cents
// (12.3456 less 12.5 % must give 10.8024, not 10.8018).
Money ApplyDiscount(bool fourDecimals, Money amount, double percent)
{
    const long double a = amount.raw();
    return RoundMoney(fourDecimals, moneyFromExtended(a - a / 100.0L * percent));
}

Money AddPercent(bool fourDecimals, Money amount, double percent)
{
    const long double a = amount.raw();
    return RoundMoney(fourDecimals, moneyFromExtended(a + a / 100.0L * percent));
}

Money GrossToNet(bool fourDecimals, Money amount, double percent)
{
    const long double a = amount.raw();
    return RoundMoney(fourDecimals, moneyFromExtended(a / (percent / 100.0L + 1.0L)));
}

Money NetToGross(bool fourDecimals, Money amount, double percent)
{
    const long double a = amount.raw();
    return RoundMoney(fourDecimals, moneyFromExtended(a * (percent / 100.0L + 1.0L)));
}
