#include "stock/dsnelement.h"

#include "base/formatsettings.h"
#include "persistence/conversions.h"
#include "stock/xmltextsink.h"

QString TDsnElement::ValueText() const
{
    switch (Kind) {
    case Text:
        return TextValue;
    case Integer:
        return QString::number(IntValue);
    case Boolean:
        return BoolValue ? QStringLiteral("-1") : QStringLiteral("0");
    case Date:
    case Time:
    case DateAndTime:
        return floatToText(FloatValue);
    default:
        return QString();
    }
}

void TDsnElement::SetValueFromText(const QString &text)
{
    switch (Kind) {
    case Text:
        TextValue = text;
        break;
    case Integer:
        IntValue = StrToIntTolerant(text, 0);
        break;
    case Boolean:
        BoolValue = StrToBoolTolerant(text, false);
        break;
    case Date:
    case Time:
    case DateAndTime:
        FloatValue = DecimalFromXML(text, 0);
        break;
    default:
        break;
    }
}

TDsnElement &TDsnElementList::Add(const TDsnElement &element)
{
    m_items.push_back(element);
    return m_items.back();
}

void TDsnElementList::Delete(qsizetype index)
{
    if (index >= 0 && index < Count())
        m_items.erase(m_items.begin() + index);
}

qsizetype TDsnElementList::IndexOf(const QString &name) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].Name == name)
            return qsizetype(i);
    return -1;
}

void TDsnElementList::AppendXML(QString &out, QStringView indent) const
{
    TXmlTextSink sink(out, 64 * Count());
    AppendXML(sink, indent);
}

void TDsnElementList::AppendXML(TXmlTextSink &out, QStringView indent) const
{
    for (const TDsnElement &e : m_items) {
        out.Put(indent);
        out.Put(u"  <dsnobj name=\"");
        out.PutEscaped(e.Name);
        out.Put(u"\" type=\"");
        out.PutInt(e.Kind);
        out.Put(u"\" >");
        switch (e.Kind) {
        case TDsnElement::Text:
            out.PutEscaped(e.TextValue);
            break;
        case TDsnElement::Integer:
            out.PutInt(e.IntValue);
            break;
        case TDsnElement::Boolean:
            out.Put(e.BoolValue ? QStringView(u"-1") : QStringView(u"0"));
            break;
        case TDsnElement::Date:
        case TDsnElement::Time:
        case TDsnElement::DateAndTime:
            out.PutFloat(e.FloatValue);
            break;
        default:
            break;
        }
        out.Put(u"</dsnobj>\r\n");
    }
}
