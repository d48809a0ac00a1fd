#include "printing/rowtextformat.h"

#include "base/formatsettings.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
// Widths beyond a page are damaged patterns; the cap keeps them from allocating gigabytes.
constexpr int kMaxWidth = 1000;

QString fixed(double value, int precision, bool grouped)
{
    const FormatSettings &fs = FormatSettings::current();
    if (!std::isfinite(value))
        value = 0;
    QString digits = QString::number(std::abs(value), 'f', precision);
    const bool negative = value < 0 && QString(digits).remove(u'0').remove(u'.').size() > 0;
    qsizetype point = digits.indexOf(u'.');
    QString intPart = point < 0 ? digits : digits.left(point);
    const QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    if (grouped)
        for (qsizetype i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, fs.thousandSeparator);
    QString result = negative ? u'-' + intPart : intPart;
    if (!fraction.isEmpty())
        result += fs.decimalSeparator + fraction;
    return result;
}

double asDouble(const TRowArgument &a)
{
    if (const auto *i = std::get_if<qint64>(&a))
        return double(*i);
    if (const auto *m = std::get_if<TRowAmount>(&a))
        return m->Value;
    double v = 0;
    textToFloat(std::get<QString>(a), v);
    return v;
}

QString render(QChar kind, int precision, const TRowArgument &a,
               const std::function<QString(double)> &formatMoney)
{
    switch (kind.unicode()) {
    case u'd': {
        if (const auto *t = std::get_if<QString>(&a))
            return *t; // a text handed to %d is printed as it is rather than lost
        const qint64 v = std::holds_alternative<qint64>(a) ? std::get<qint64>(a)
                                                           : qint64(std::llround(asDouble(a)));
        QString s = QString::number(v < 0 ? -v : v);
        if (precision > s.size())
            s = QString(precision - s.size(), u'0') + s;
        return v < 0 ? u'-' + s : s;
    }
    case u'f':
        return fixed(asDouble(a), precision < 0 ? 2 : precision, false);
    case u'n':
        return fixed(asDouble(a), precision < 0 ? 2 : precision, true);
    case u'm':
        if (formatMoney && precision < 0)
            return formatMoney(asDouble(a));
        return fixed(asDouble(a), precision < 0 ? 2 : precision, true);
    default: { // s
        QString s;
        if (const auto *t = std::get_if<QString>(&a))
            s = *t;
        else if (const auto *i = std::get_if<qint64>(&a))
            s = QString::number(*i);
        else
            s = formatMoney ? formatMoney(asDouble(a)) : fixed(asDouble(a), 2, true);
        return precision >= 0 ? s.left(precision) : s;
    }
    }
}
} // namespace

QString FormatRowText(const QString &pattern, const std::vector<TRowArgument> &arguments,
                      const std::function<QString(double)> &formatMoney)
{
    QString out;
    out.reserve(pattern.size() + 16);
    size_t next = 0;
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%') {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        if (j < n && pattern.at(j) == u'%') {
            out += u'%';
            i = j;
            continue;
        }
        bool left = false;
        if (j < n && pattern.at(j) == u'-') {
            left = true;
            ++j;
        }
        int width = 0;
        while (j < n && pattern.at(j).isDigit())
            width = std::min(kMaxWidth, width * 10 + pattern.at(j++).digitValue());
        int precision = -1;
        if (j < n && pattern.at(j) == u'.') {
            precision = 0;
            ++j;
            while (j < n && pattern.at(j).isDigit())
                precision = std::min(kMaxWidth, precision * 10 + pattern.at(j++).digitValue());
        }
        const QChar kind = j < n ? pattern.at(j).toLower() : QChar();
        if (kind != u's' && kind != u'd' && kind != u'f' && kind != u'n' && kind != u'm') {
            // Not a placeholder: keep the text as typed.
            out += pattern.mid(i, j - i + (j < n ? 1 : 0));
            i = j;
            continue;
        }
        i = j;
        if (next >= arguments.size()) {
            ++next;
            continue;
        }
        const QString s = render(kind, precision, arguments[next++], formatMoney);
        if (s.size() >= width)
            out += s;
        else if (left)
            out += s + QString(width - s.size(), u' ');
        else
            out += QString(width - s.size(), u' ') + s;
    }
    return out;
}
