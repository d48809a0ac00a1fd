#include "ordering/paymentterm.h"

#include "base/formatsettings.h"
#include "persistence/xml/dbxmlcoreobject.h"

void TPaymentTerm::ReadAttributes(const TXMLAttributes &a)
{
    if (a.Has("type"))
        Type = quint8(a.Int("type", 0));
    if (a.Has("perc"))
        Percent = a.Float("perc", 0);
    if (a.Has("days"))
        Days = a.Int("days", 0);
    if (a.Has("dpw"))
        DaysPerWeek = a.Int("dpw", 0);
}

void TPaymentTermObjectList::AppendXML(QString &out, const QString &indent) const
{
    out += indent;
    out += u"<ptl>\r\n";
    for (const TPaymentTerm &term : *this) {
        out += indent;
        out += QStringLiteral("  <pt type=\"%1\" perc=\"%2\" days=\"%3\" dpw=\"%4\"/>\r\n")
                   .arg(QString::number(term.Type), floatToText(term.Percent),
                        QString::number(term.Days), QString::number(term.DaysPerWeek));
    }
    out += indent;
    out += u"</ptl>\r\n";
}
