#include "app/base/formatsettings.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

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
