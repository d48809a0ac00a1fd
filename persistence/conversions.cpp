#include "persistence/conversions.h"

#include "app/base/formatsettings.h"

namespace {
QString keepNumberChars(const QString &text, bool withSeparator)
{
    const QChar sep = FormatSettings::current().decimalSeparator;
    QString out;
    for (QChar c : text.trimmed())
        if (c == u'-' || (c >= u'0' && c <= u'9') || (withSeparator && c == sep))
            out += c;
    return out;
}

bool parseFloat(const QString &filtered, double &value)
{
    if (filtered.isEmpty())
        return false;
    QString t = filtered;
    t.replace(FormatSettings::current().decimalSeparator, u'.');
    bool ok = false;
    value = t.toDouble(&ok);
    return ok;
}
} // namespace

double StrToFloatTolerant(const QString &text, double def)
{
    double v = 0;
    return parseFloat(keepNumberChars(text, true), v) ? v : def;
}

Money StrToCurrTolerant(const QString &text, Money def)
{
    double v = 0;
    return parseFloat(keepNumberChars(text, true), v) ? Money::fromDouble(v) : def;
}

int StrToIntTolerant(const QString &text, int def)
{
    bool ok = false;
    const int v = keepNumberChars(text, false).toInt(&ok);
    return ok ? v : def;
}

bool StrToBoolTolerant(const QString &text, bool def)
{
    if (text.isEmpty())
        return def;
    const QString u = text.toUpper();
    if (u == QStringLiteral("TRUE"))
        return true;
    if (u == QStringLiteral("FALSE"))
        return false;
    bool ok = false;
    const double n = u.trimmed().toDouble(&ok);
    return ok ? n != 0 : def;
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

Money ApplyDiscount(bool fourDecimals, Money amount, double percent)
{
    return RoundMoney(fourDecimals, amount - amount / 100.0 * percent);
}

Money AddPercent(bool fourDecimals, Money amount, double percent)
{
    return RoundMoney(fourDecimals, amount + amount / 100.0 * percent);
}

Money GrossToNet(bool fourDecimals, Money amount, double percent)
{
    return RoundMoney(fourDecimals, amount / (percent / 100.0 + 1.0));
}

Money NetToGross(bool fourDecimals, Money amount, double percent)
{
    return RoundMoney(fourDecimals, amount * (percent / 100.0 + 1.0));
}
