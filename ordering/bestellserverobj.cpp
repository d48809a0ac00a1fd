#include "ordering/bestellserverobj.h"

#include "base/formatsettings.h"
#include "base/translation.h"
#include "suite/systemeinstellungen.h"
#include "persistence/xml/xmltext.h"

using namespace Qt::StringLiterals;

namespace
{

void appendElement(QString &out, const QString &indent, QStringView start, QStringView text,
                   QStringView end)
{
    out += indent;
    out += start;
    AppendEncodedXMLText(out, text);
    out += end;
    out += u"\r\n";
}

} // namespace

const char *OrderStateMsgid(int state)
{
    static const char *const names[] = {
        txNoop("Unbekannt"), txNoop("In Bearbeitung"), txNoop("Offene Lieferung"),
        txNoop("Storniert"), txNoop("Teillieferung"),  txNoop("Geliefert"),
    };
    return state >= 0 && state <= 5 ? names[state] : "";
}

QString OrderStateName(int state)
{
    const char *msgid = OrderStateMsgid(state);
    return *msgid ? tx(msgid) : QString();
}

QStringList SplitTextLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start).toString());
    return lines;
}

TBestellServerObj::TBestellServerObj()
    : m_lineWriter(std::make_unique<TBestellartikelHelper>(Artikel, this))
{
    Clear();
}

TBestellServerObj::~TBestellServerObj() = default;

void TBestellServerObj::Clear()
{
    BestellNr.clear();
    Anzeigetext.clear();
    Datum = 0;
    LieferDatum = 0;
    Stadium = 0;
    Netto = 0;
    Waehrung.clear();
    WaehrungK.clear();
    BestellAdr = {};
    LieferAdr = {};
    RgAdr = {};
    Angelegt = 0;
    AngelegtVon.clear();
    Geaendert = 0;
    GeaendertVon.clear();
    TerminRef = -1;
    Kennzeichen.clear();
    WV = 0;
    WVText.clear();
    WVUser.clear();
    Artikel.Clear();
    DsnElements.Clear();
    Info.clear();
}

void TBestellServerObj::WriteXML(bool complete, const QString &indent)
{
    QString &out = Output();
    const QString inner = indent + u"  "_s;
    out += indent;
    out += u"<bestelljitem>\r\n";
    if (complete) {
        out += inner;
        out += u"<dbdata";
        AppendXMLAttribute(out, u"nr", BestellNr);
        AppendXMLAttribute(out, u"datum", floatToText(Datum));
        AppendXMLAttribute(out, u"angelegt", floatToText(Angelegt));
        AppendXMLAttribute(out, u"angelegtvon", AngelegtVon);
        AppendXMLAttribute(out, u"geaendert", floatToText(Geaendert));
        AppendXMLAttribute(out, u"geaendertvon", GeaendertVon);
        AppendXMLAttribute(out, u"lieft", floatToText(LieferDatum));
        AppendXMLAttribute(out, u"at", Anzeigetext);
        if (WV != 0) {
            AppendXMLAttribute(out, u"wv", floatToText(WV));
            AppendXMLAttribute(out, u"wvtxt", WVText);
            AppendXMLAttribute(out, u"wvuser", WVUser);
            // The ordering module breaks the start tag here; kept so both write the same text.
            out += u"\r\n";
        }
        if (TerminRef > -1)
            AppendXMLAttribute(out, u"terminref", QString::number(TerminRef));
        AppendXMLAttribute(out, u"netto", floatToText(Netto));
        AppendXMLAttribute(out, u"waehr", Waehrung);
        AppendXMLAttribute(out, u"waehrk", WaehrungK);
        AppendXMLAttribute(out, u"stadium", QString::number(Stadium));
        out += u"/>\r\n";

        if (!BestellAdr.Text1.isEmpty()) {
            out += inner;
            out += u"<b_adr";
            AppendXMLAttribute(out, u"id", BestellAdr.Text1);
            AppendXMLAttribute(out, u"katalog", BestellAdr.Text3);
            appendElement(out, {}, u">", BestellAdr.Text2, u"</b_adr>");
        }
        if (!RgAdr.Key.isEmpty()) {
            out += inner;
            out += u"<r_adr";
            AppendXMLAttribute(out, u"id", RgAdr.Key);
            appendElement(out, {}, u">", RgAdr.Value, u"</r_adr>");
        }
        if (!LieferAdr.Key.isEmpty()) {
            out += inner;
            out += u"<l_adr";
            AppendXMLAttribute(out, u"id", LieferAdr.Key);
            appendElement(out, {}, u">", LieferAdr.Value, u"</l_adr>");
        }
        if (!Kennzeichen.isEmpty())
            appendElement(out, inner, u"<kz>", Kennzeichen.join(u"\r\n"_s).trimmed(), u"</kz>");
        m_lineWriter->AppendLinesDocument(out, inner);
    } else if (!BestellAdr.Text3.isEmpty()) {
        out += inner;
        out += u"<b_adr";
        AppendXMLAttribute(out, u"katalog", BestellAdr.Text3);
        out += u"/>\r\n";
    }
    DsnElements.AppendXML(out, indent);
    if (!Info.isEmpty())
        appendElement(out, inner, u"<info>", Info, u"</info>");
    out += indent;
    out += u"</bestelljitem>\r\n";
}

void TBestellServerObj::ReadDbData(const TXMLAttributes &a)
{
    a.Get("nr", BestellNr);
    Datum = a.Float("datum", Datum);
    Angelegt = a.Float("angelegt", Angelegt);
    a.Get("angelegtvon", AngelegtVon);
    Geaendert = a.Float("geaendert", Geaendert);
    a.Get("geaendertvon", GeaendertVon);
    LieferDatum = a.Float("lieft", LieferDatum);
    a.Get("at", Anzeigetext);
    WV = a.Float("wv", WV);
    a.Get("wvtxt", WVText);
    a.Get("wvuser", WVUser);
    if (a.Has("terminref"))
        TerminRef = a.Int("terminref", -1);
    Netto = a.Float("netto", Netto);
    a.Get("waehr", Waehrung);
    a.Get("waehrk", WaehrungK);
    if (a.Has("stadium"))
        Stadium = quint8(a.Int("stadium", 0));
}

void TBestellServerObj::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == u"dbdata") {
        ReadDbData(a);
    } else if (name == u"b_adr") {
        a.Get("id", BestellAdr.Text1);
        a.Get("katalog", BestellAdr.Text3);
        ResetCharacters();
    } else if (name == u"r_adr") {
        a.Get("id", RgAdr.Key);
        ResetCharacters();
    } else if (name == u"l_adr") {
        a.Get("id", LieferAdr.Key);
        ResetCharacters();
    } else if (name == u"kz" || name == u"info") {
        ResetCharacters();
    } else if (name == u"dsnobj") {
        TDsnElement &element = DsnElements.Add();
        element.Name = a.Value("name");
        element.Kind = quint8(a.Int("type", 0));
        ResetCharacters();
    } else if (name == u"artikel") {
        m_lineWriter->BeginLine(a);
        ResetCharacters();
    }
}

void TBestellServerObj::Characters(QStringView text)
{
    if (CurrentElement == u"b_adr" || CurrentElement == u"r_adr" || CurrentElement == u"l_adr" ||
        CurrentElement == u"kz" || CurrentElement == u"info" || CurrentElement == u"dsnobj" ||
        CurrentElement == u"artikel")
        AppendCharacters(text);
}

void TBestellServerObj::EndElement(const QString &name)
{
    if (name == u"b_adr") {
        BestellAdr.Text2 += CharacterText();
    } else if (name == u"r_adr") {
        RgAdr.Value += CharacterText();
    } else if (name == u"l_adr") {
        LieferAdr.Value += CharacterText();
    } else if (name == u"kz") {
        Kennzeichen = SplitTextLines(CharacterText());
    } else if (name == u"info") {
        Info += CharacterText();
    } else if (name == u"dsnobj") {
        if (!DsnElements.IsEmpty())
            DsnElements.Item(DsnElements.Count() - 1).SetValueFromText(CharacterText());
    } else if (name == u"artikel") {
        m_lineWriter->EndLine(CharacterText());
    } else if (name == u"bestellung") {
        m_lineWriter->EndLinesDocument();
    }
    CurrentElement.clear();
}

void TBestellServerObj::CalcNetto(bool fourDecimals)
{
    Netto = Artikel.CalcNetTotal(fourDecimals).toDouble();
}

void TBestellServerObj::CalcNetto()
{
    CalcNetto(TSystemEinstellungen::instance().FullCurrency);
}

void TBestellServerObj::UpdateStadium()
{
    const quint8 previous = Stadium;
    double ordered = 0;
    double delivered = 0;
    for (const TBestellartikel &line : Artikel) {
        ordered += line.Menge;
        delivered += line.Geliefert;
    }
    Stadium = quint8(OrderState::Geliefert);
    if (ordered > delivered)
        Stadium = quint8(OrderState::Teillieferung);
    if (delivered == 0)
        Stadium = quint8(OrderState::OffeneLieferung);
    if (previous == quint8(OrderState::Unbekannt) || previous == quint8(OrderState::InBearbeitung))
        Stadium = quint8(OrderState::InBearbeitung);
}
