#include "persistence/xml/texthelpers.h"

namespace
{
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
} // namespace

QString IncrementNumberText(QStringView text, int width)
{
    qsizetype runStart = text.size();
    while (runStart > 0 && isDigit(text.at(runStart - 1)))
        --runStart;
    const QStringView prefix = text.left(runStart);
    QStringView run = text.mid(runStart);
    if (width <= 0)
        width = run.isEmpty() ? 4 : int(run.size());
    // Decimal carry on the digits themselves: the same as a 64-bit increment for every number
    // that fits, and no overflow for the ones that do not.
    while (run.size() > 1 && run.front() == u'0')
        run = run.mid(1);
    QString number = run.isEmpty() ? QStringLiteral("0") : run.toString();
    qsizetype i = number.size() - 1;
    while (i >= 0 && number.at(i) == u'9') {
        number[i] = u'0';
        --i;
    }
    if (i < 0)
        number.prepend(u'1');
    else
        number[i] = QChar(number.at(i).unicode() + 1);
    QString result;
    result.reserve(prefix.size() + std::max<qsizetype>(width, number.size()));
    result.append(prefix);
    for (qsizetype pad = number.size(); pad < width; ++pad)
        result.append(u'0');
    result.append(number);
    return result;
}

QString TokenAt(QStringView text, QChar separator, int n)
{
    if (n < 1)
        return QString();
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype next = text.indexOf(separator, start);
        if (next < 0)
            return QString();
        start = next + 1;
    }
    qsizetype end = text.indexOf(separator, start);
    if (end < 0)
        end = text.size();
    return text.mid(start, end - start).toString();
}

void SplitToList(QStringView text, QChar separator, QStringList &list, bool clearFirst)
{
    if (clearFirst)
        list.clear();
    if (text.isEmpty())
        return;
    for (QStringView field : text.tokenize(separator))
        list.append(field.toString());
}

qsizetype CountChar(QStringView text, QChar c)
{
    return text.count(c);
}

bool StartsAndEndsWith(QStringView text, QStringView prefix, QStringView suffix)
{
    return text.size() >= prefix.size() + suffix.size() && text.startsWith(prefix) &&
           text.endsWith(suffix, Qt::CaseInsensitive);
}

QString QuoteIfSpaced(const QString &text, QChar quote)
{
    if (!text.contains(u' ') || text.startsWith(quote) || text.endsWith(quote))
        return text;
    return quote + text + quote;
}

QString NormalizeText(QStringView text, bool keepBlanks, bool digitsOnly, bool keepAll)
{
    QString result;
    result.reserve(text.size());
    const auto appendBlank = [&] {
        if (keepBlanks && !result.isEmpty() && !result.endsWith(u' '))
            result.append(u' ');
    };
    for (QChar c : text) {
        if (c == u' ')
            appendBlank();
        else if (digitsOnly) {
            if (isDigit(c))
                result.append(c);
        } else if (keepAll)
            result.append(c);
        else if (c == u'\r')
            appendBlank(); // a line break becomes a word gap, never a double blank
        else if (c != u'\n')
            result.append(c);
    }
    return result.trimmed();
}
