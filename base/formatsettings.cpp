#include "base/formatsettings.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

FormatSettings &FormatSettings::current()
{
    static FormatSettings settings;
    return settings;
}

void FormatSettings::initFromSystemLocale()
{
    const QLocale locale = QLocale::system();
    FormatSettings &s = current();
    s.decimalSeparator = locale.decimalPoint().at(0);
    s.thousandSeparator = locale.groupSeparator().isEmpty() ? QChar(u' ') : locale.groupSeparator().at(0);
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.longTimeFormat = locale.timeFormat(QLocale::LongFormat);
}

FormatSettings FormatSettings::german() { return FormatSettings{}; }

QString floatToText(double value) { return floatToText(value, FormatSettings::current().decimalSeparator); }

QString floatToText(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    QString text = QString::fromLatin1(buf);
    const qsizetype e = text.indexOf(u'E');
    if (e >= 0) {
        // "1.5E+20" -> "1.5E20", "1E-07" -> "1E-7"
        QString mantissa = text.left(e);
        int exponent = text.mid(e + 1).toInt();
        text = mantissa + u'E' + QString::number(exponent);
    }
    text.replace(u'.', decimalSeparator);
    return text;
}

int writeFloatText(char16_t *buffer, double value)
{
    // The shortest digits that read back as the value are the 15-digit general form's digits
    // whenever there are at most 15 of them; only longer ones (and subnormal values, whose
    // spacing is too coarse for that argument) need the slow printf route.
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const auto slow = [&] {
        const QString text = floatToText(value);
        std::copy(text.utf16(), text.utf16() + text.size(), buffer);
        return int(text.size());
    };
    if (ec != std::errc() || !std::isfinite(value) ||
        std::fabs(value) < std::numeric_limits<double>::min())
        return slow();
    const char *p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[20];
    int count = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.')
            digits[count++] = *p;
    if (count > 15)
        return slow();
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);

    const char16_t separator = FormatSettings::current().decimalSeparator.unicode();
    char16_t *o = buffer;
    if (negative)
        *o++ = u'-';
    if (exponent < -4 || exponent >= 15) {
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
