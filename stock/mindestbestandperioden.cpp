#include "stock/mindestbestandperioden.h"

#include "base/formatsettings.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "persistence/xml/xmltext.h"
#include "stock/lagerserverobj.h"

using namespace Qt::StringLiterals;

namespace
{
// "ddmm" -> "dd.mm"; anything else is shown as it stands.
QString dayMonthText(const QString &ddmm)
{
    if (ddmm.size() != 4)
        return ddmm;
    return ddmm.left(2) + u'.' + ddmm.mid(2);
}

// Periods are looked up by their day.month texts after an edit of the list, since the list
// may have been rebuilt from the template in between.
qsizetype indexContaining(const QStringList &periods, QDate date)
{
    const int key = date.month() * 100 + date.day();
    for (qsizetype i = 0; i < periods.size(); ++i) {
        const QString from = XMLTagText(periods[i], u"from");
        const QString to = XMLTagText(periods[i], u"to");
        if (from.size() != 4 || to.size() != 4)
            continue;
        const int f = from.mid(2).toInt() * 100 + from.left(2).toInt();
        const int t = to.mid(2).toInt() * 100 + to.left(2).toInt();
        if (f <= key && key <= t)
            return i;
    }
    return periods.isEmpty() ? -1 : 0;
}
} // namespace

QString PeriodLineText(const QString &period)
{
    return formatText(tx("Vom %s bis %s : %s - %s"),
                      {dayMonthText(XMLTagText(period, u"from")),
                       dayMonthText(XMLTagText(period, u"to")), XMLTagText(period, u"mb"),
                       XMLTagText(period, u"bm")});
}

double PeriodMinimumStock(const QString &period)
{
    return StrToFloatTolerant(XMLTagText(period, u"mb"), 0);
}

double PeriodOrderQuantity(const QString &period)
{
    return StrToFloatTolerant(XMLTagText(period, u"bm"), 0);
}

QString PeriodQuantityText(double quantity)
{
    QString text = QString::number(quantity, 'f', 3);
    const QChar separator = FormatSettings::current().decimalSeparator;
    if (separator != u'.')
        text.replace(u'.', separator);
    return text;
}

QString PeriodWithQuantities(const QString &period, const QString &minimumStock,
                             const QString &orderQuantity)
{
    return "<from>"_L1 + XMLTagText(period, u"from") + "</from><to>"_L1 +
           XMLTagText(period, u"to") + "</to><mb>"_L1 + minimumStock + "</mb><bm>"_L1 +
           orderQuantity + "</bm>"_L1;
}

QString PeriodTemplateFile(const QString &stockDir)
{
    return stockDir + u"STDMB.TXT"_s;
}

qsizetype InsertPeriodAt(TLagerArtikelDaten &article, const QString &stockDir, QDate date)
{
    if (!date.isValid())
        return -1;
    article.SplitPeriod(PeriodTemplateFile(stockDir), DateTime::fromQDate(date));
    return indexContaining(article.MindestBestand, date);
}

qsizetype DeletePeriodAt(TLagerArtikelDaten &article, qsizetype index)
{
    const qsizetype before = article.MindestBestand.size();
    if (index < 0 || index >= before)
        return before > 0 ? 0 : -1;
    article.DeletePeriod(index);
    if (article.MindestBestand.size() == before)
        return index;
    // The neighbour that took over the days: the following one for the first period, else the
    // preceding one.
    return index == 0 ? 0 : index - 1;
}
