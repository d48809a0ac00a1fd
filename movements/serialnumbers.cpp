#include "movements/serialnumbers.h"

#include "base/messages.h"
#include "base/translation.h"
#include "stock/seriennummer.h"

#include <QSet>

namespace
{

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString IncSerialNumber(const QString &text, int width)
{
    qsizetype start = text.size();
    while (start > 0 && isDigit(text.at(start - 1)))
        --start;
    if (start == text.size())
        return text + QString::number(1).rightJustified(width > 0 ? width : 4, u'0');

    QString digits = text.mid(start);
    qsizetype i = digits.size() - 1;
    for (; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            break;
        }
        digits[i] = u'0';
    }
    if (i < 0)
        digits.prepend(u'1');
    // The width counts the number, not the zeros that stood in front of it.
    qsizetype leading = 0;
    while (leading < digits.size() - 1 && digits.at(leading) == u'0')
        ++leading;
    digits.remove(0, leading);
    const qsizetype padTo = width > 0 ? width : text.size() - start;
    return text.left(start) + digits.rightJustified(padTo, u'0');
}

QString JoinSerials(const TSeriennummerObjectList &list)
{
    return list.JoinedText();
}

QString SerialEntryRefusal(const TSeriennummerObjectList &list, const QStringList &inStock,
                           bool checkDuplicates)
{
    if (const qsizetype missing = list.CountEmpty(); missing > 0)
        return formatText(tx("Es fehlen noch %d Seriennummern."), {QString::number(missing)});
    if (!checkDuplicates)
        return {};
    const QSet<QString> stock(inStock.cbegin(), inStock.cend());
    for (const TSeriennummer &entry : list) {
        if (const qsizetype n = list.CountOf(entry.SN); n > 1)
            return formatText(tx("Die Seriennummer \"%s\" ist %d mal vorhanden."),
                              {entry.SN, QString::number(n)});
        if (stock.contains(entry.SN))
            return formatText(
                tx("Ein Artikel mit der Seriennummer \"%s\" ist bereits im Lager vorhanden."),
                {entry.SN});
    }
    return {};
}
