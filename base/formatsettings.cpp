#include "base/formatsettings.h"

#include "base/inifile.h"
#include "base/messages.h"
#include "base/translation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

FormatSettings &FormatSettings::current()
{
    static FormatSettings settings;
    return settings;
}

FormatSettings FormatSettings::german()
{
    return FormatSettings{};
}

FormatSettings FormatSettings::withDecimalSeparator(QChar separator)
{
    FormatSettings s;
    s.decimalSeparator = separator;
    s.thousandSeparator = separator == u'.' ? QChar(u',') : QChar(u'.');
    return s;
}

void FormatSettings::loadInstallation(const IniFile &applicationIni)
{
    const QString section = QStringLiteral("Format");
    const QString key = QStringLiteral("DecimalSeparator");
    const QString value = applicationIni.readString(section, key, QStringLiteral(",")).trimmed();
    if (value == u"," || value == u".") {
        current() = withDecimalSeparator(value.at(0));
        return;
    }
    // A wrong separator would make every stored number unreadable to the other programs of
    // the suite; the comma is what they use when nothing is configured.
    current() = withDecimalSeparator(u',');
    ReportMessage(MessageKind::Warning,
                  formatText(tx("Ungueltiges Dezimaltrennzeichen \"%s\" in \"%s\", es gilt "
                                "das Komma."),
                             {value, applicationIni.fileName()}));
}

namespace
{
// Lays out the significant digits (no trailing zeros) of a value d.ddd × 10^exponent in the
// general format; returns the length written.
int layoutFloat(char16_t *buffer, bool negative, const char *digits, int count, int exponent,
                char16_t separator)
{
    char16_t *o = buffer;
    if (negative)
        *o++ = u'-';
    if (exponent < -5 || exponent >= 15) {
        *o++ = char16_t(digits[0]);
        if (count > 1) {
            *o++ = separator;
            for (int i = 1; i < count; ++i)
                *o++ = char16_t(digits[i]);
        }
        *o++ = u'E';
        char exp[8];
        const auto r = std::to_chars(exp, exp + sizeof exp, exponent);
        for (const char *e = exp; e < r.ptr; ++e)
            *o++ = char16_t(*e);
    } else if (exponent < 0) {
        *o++ = u'0';
        *o++ = separator;
        for (int i = exponent + 1; i < 0; ++i)
            *o++ = u'0';
        for (int i = 0; i < count; ++i)
            *o++ = char16_t(digits[i]);
    } else {
        for (int i = 0; i <= exponent; ++i)
            *o++ = i < count ? char16_t(digits[i]) : u'0';
        if (count > exponent + 1) {
            *o++ = separator;
            for (int i = exponent + 1; i < count; ++i)
                *o++ = char16_t(digits[i]);
        }
    }
    return int(o - buffer);
}

// Digits and exponent of a finite value from a scientific text "-d.ddde+XX".
int layoutScientific(char16_t *buffer, const char *text, const char *end, char16_t separator)
{
    const char *p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[40];
    int count = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.')
            digits[count++] = *p;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    return layoutFloat(buffer, negative, digits, count, exponent, separator);
}

int writeGeneral(char16_t *buffer, double value, char16_t separator)
{
    const auto put = [buffer](const char *text) {
        int n = 0;
        for (; text[n]; ++n)
            buffer[n] = char16_t(text[n]);
        return n;
    };
    if (std::isnan(value))
        return put("NAN");
    if (std::isinf(value))
        return put(value > 0 ? "INF" : "-INF");
    if (value == 0)
        return put("0");
    // The shortest digits that read back as the value are the 15-digit general form's digits
    // whenever there are at most 15 of them; only longer ones (and subnormal values, whose
    // spacing is too coarse for that argument) need printf's rounding to 15 digits.
    char buf[48];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const auto digits =
        std::count_if(buf, std::find(buf, end, 'e'), [](char c) { return c >= '0' && c <= '9'; });
    // to_chars, unlike printf, never takes the process locale's decimal point.
    if (ec != std::errc() || digits > 15 || std::fabs(value) < std::numeric_limits<double>::min())
        end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14).ptr;
    return layoutScientific(buffer, buf, end, separator);
}
} // namespace

QString floatToText(double value)
{
    return floatToText(value, FormatSettings::current().decimalSeparator);
}

QString floatToText(double value, QChar decimalSeparator)
{
    char16_t buffer[kFloatTextMax];
    return QString(reinterpret_cast<const QChar *>(buffer),
                   writeGeneral(buffer, value, decimalSeparator.unicode()));
}

int writeFloatText(char16_t *buffer, double value)
{
    return writeGeneral(buffer, value, FormatSettings::current().decimalSeparator.unicode());
}

void appendFloatText(QString &out, double value)
{
    char16_t buffer[kFloatTextMax];
    out.append(QStringView(buffer, writeFloatText(buffer, value)));
}

void appendIntText(QString &out, qint64 value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out += QLatin1StringView(buf, r.ptr - buf);
}

bool asciiToDouble(std::string_view s, double &value)
{
    if (s.empty())
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (end != s.data() + s.size())
        return false;
    if (ec == std::errc())
        return std::isfinite(value);
    if (ec != std::errc::result_out_of_range)
        return false;
    const size_t at = s.find('e');
    if (at == std::string_view::npos)
        return false;
    double mantissa = 0;
    int exponent = 0;
    const auto m = std::from_chars(s.data(), s.data() + at, mantissa);
    const auto x = std::from_chars(s.data() + at + 1, s.data() + s.size(), exponent);
    if (m.ec != std::errc() || x.ec != std::errc() || exponent > 400)
        return false;
    const long double wide = mantissa * std::pow(10.0L, exponent);
    const long double limit = std::numeric_limits<double>::max();
    if (!std::isfinite(wide) || std::fabs(wide) <= limit || std::fabs(wide) > limit * (1 + 1e-14L))
        return false;
    value = wide < 0 ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    return true;
}

bool textToFloat(QStringView text, double &value)
{
    text = text.trimmed();
    std::string s;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            s.push_back('-');
        ++i;
    }
    bool digits = false;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            s.push_back(char(c));
            digits = true;
        } else if ((c == u',' || c == u'.') && !separator) {
            s.push_back('.');
            separator = true;
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        s.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
            if (text[i] == u'-')
                s.push_back('-');
            ++i;
        }
        const qsizetype first = i;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
            s.push_back(char(text[i].unicode()));
        if (i == first)
            return false;
    }
    return i == text.size() && asciiToDouble(s, value);
}
