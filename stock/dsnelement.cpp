#include "stock/dsnelement.h"

#include "app/base/formatsettings.h"
#include "persistence/conversions.h"
#include "persistence/xml/xmltext.h"

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
        FloatValue = StrToFloatTolerant(text, 0);
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
    for (const TDsnElement &e : m_items) {
        out += indent;
        out += u"  <dsnobj name=\"";
        AppendEncodedXMLText(out, e.Name);
        out += u"\" type=\"";
        appendIntText(out, e.Kind);
        out += u"\" >";
        switch (e.Kind) {
        case TDsnElement::Text:
            AppendEncodedXMLText(out, e.TextValue);
            break;
        case TDsnElement::Date:
        case TDsnElement::Time:
        case TDsnElement::DateAndTime:
            appendFloatText(out, e.FloatValue);
            break;
        case TDsnElement::Integer:
            appendIntText(out, e.IntValue);
            break;
        default:
            out += e.ValueText();
        }
        out += u"</dsnobj>\r\n";
    }
}
