#include "ordering/bestellartikel.h"

#include "base/formatsettings.h"
#include "ordering/bestellserverobj.h"
#include "persistence/conversions.h"
#include "persistence/xml/xmltext.h"

#include <cmath>

namespace
{

// Ties to even, as the suite turns a floating value into an integer.
qint64 roundToInteger(double value)
{
    return qint64(std::nearbyint(value));
}

} // namespace

Money TBestellartikelObjectList::CalcNetTotal(bool fourDecimals)
{
    qint64 total = 0;
    for (TBestellartikel &line : *this) {
        if (line.PE < 1)
            line.PE = 1;
        const Money unitPrice =
            Money::fromRaw(roundToInteger(line.EK / line.PE * double(Money::kScale)));
        const Money discounted = ApplyDiscount(fourDecimals, unitPrice, line.Rabatt);
        // The line value is always whole cents, whatever the money setting.
        const Money value = RoundMoney(
            false, Money::fromRaw(roundToInteger(line.Menge * double(discounted.raw()))));
        line.Zeilenwert = value.toDouble();
        total += roundToInteger(line.Zeilenwert * double(Money::kScale));
    }
    return Money::fromRaw(total);
}

void TBestellartikelObjectList::NumberPositions()
{
    const int width = int(QString::number(Count()).size());
    int counter = 1;
    for (TBestellartikel &line : *this) {
        if (line.IsTextLine())
            continue;
        line.PosNr = QStringLiteral("%1").arg(counter, width, 10, QLatin1Char('0'));
        ++counter;
    }
}

void TBestellartikelHelper::AppendLinesDocument(QString &out, const QString &indent) const
{
    out += indent;
    out += u"<bestellung>\r\n";
    if (!m_lines.IsEmpty()) {
        out += indent;
        out += u"  <artikelliste>\r\n";
        for (const TBestellartikel &line : m_lines) {
            out += indent;
            out += u"    <artikel";
            AppendXMLAttribute(out, u"artnr", line.ArtikelNr);
            AppendXMLAttribute(out, u"bnr", line.BestellNr);
            AppendXMLAttribute(out, u"typ", line.Typ);
            AppendXMLAttribute(out, u"at", line.Anzeigetext);
            AppendXMLAttribute(out, u"me", line.Mengeneinheit);
            AppendXMLAttribute(out, u"menge", floatToText(line.Menge));
            AppendXMLAttribute(out, u"ek", floatToText(line.EK));
            AppendXMLAttribute(out, u"pe", QString::number(line.EffectivePE()));
            AppendXMLAttribute(out, u"rab", floatToText(line.Rabatt));
            AppendXMLAttribute(out, u"gelief", floatToText(line.Geliefert));
            out += u'>';
            AppendEncodedXMLText(out, line.Langtext);
            out += u"</artikel>\r\n";
        }
        out += indent;
        out += u"  </artikelliste>\r\n";
    }
    out += indent;
    out += u"</bestellung>\r\n";
}

void TBestellartikelHelper::WriteXML(bool, const QString &indent)
{
    AppendLinesDocument(Output(), indent);
}

void TBestellartikelHelper::BeginLine(const TXMLAttributes &a)
{
    auto line = std::make_unique<TBestellartikel>();
    a.Get("artnr", line->ArtikelNr);
    a.Get("bnr", line->BestellNr);
    a.Get("typ", line->Typ);
    a.Get("at", line->Anzeigetext);
    a.Get("me", line->Mengeneinheit);
    line->Menge = a.Float("menge", line->Menge);
    line->EK = a.Float("ek", line->EK);
    line->PE = a.Int("pe", line->PE);
    if (line->PE < 1)
        line->PE = 1;
    line->Rabatt = a.Float("rab", line->Rabatt);
    line->Geliefert = a.Float("gelief", line->Geliefert);
    m_lines.Add(std::move(line));
}

void TBestellartikelHelper::EndLine(const QString &longText)
{
    if (TBestellartikel *line = m_lines.Last())
        line->Langtext = longText;
}

void TBestellartikelHelper::EndLinesDocument()
{
    if (m_order)
        m_order->CalcNetto();
}

void TBestellartikelHelper::StartElement(const QString &name, const TXMLAttributes &attributes)
{
    CurrentElement = name;
    if (name == u"artikel") {
        BeginLine(attributes);
        ResetCharacters();
    }
}

void TBestellartikelHelper::Characters(QStringView text)
{
    if (CurrentElement == u"artikel")
        AppendCharacters(text);
}

void TBestellartikelHelper::EndElement(const QString &name)
{
    if (name == u"artikel")
        EndLine(CharacterText());
    else if (name == u"bestellung")
        EndLinesDocument();
    CurrentElement.clear();
}
