#include "ordering/bestellwesenconfig.h"

#include "ordering/bestellserverobj.h"
#include "persistence/xml/xmltext.h"

using namespace Qt::StringLiterals;

namespace
{

QString boolText(bool value)
{
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}

} // namespace

void TBestellwesenConfig::Clear()
{
    EigeneAdrId.clear();
    StdLiefAdr = {};
    StdRgAdr = {};
    Kennzeichen.clear();
    NK.clear();
    PosBeschrGenType = 0;
    AutoSearchLagerartikel = false;
    AutoFillBestellNr = false;
}

void TBestellwesenConfig::WriteXML(bool, const QString &indent)
{
    QString &out = Output();
    const auto line = [&](const QString &text) {
        out += indent;
        out += text;
        out += u"\r\n";
    };
    line(u"<bestellwesenconfig>"_s);
    line(u"  <stdliefadr key=\""_s + EncodeXMLText(StdLiefAdr.Key) + u"\" val=\""_s +
         EncodeXMLText(StdLiefAdr.Value) + u"\" />"_s);
    line(u"  <stdrgadr key=\""_s + EncodeXMLText(StdRgAdr.Key) + u"\" val=\""_s +
         EncodeXMLText(StdRgAdr.Value) + u"\" />"_s);
    line(u"  <eigeneadrid val=\""_s + EncodeXMLText(EigeneAdrId) + u"\" />"_s);
    line(u"  <kz>"_s + EncodeXMLText(Kennzeichen.join(u"\r\n"_s)) + u"</kz>"_s);
    line(u"  <nk>"_s + EncodeXMLText(NK.join(u"\r\n"_s)) + u"</nk>"_s);
    line(u"  <posbeschrgentype val=\""_s + QString::number(PosBeschrGenType) + u"\" />"_s);
    line(u"  <autosearchla val=\""_s + boolText(AutoSearchLagerartikel) + u"\" />"_s);
    line(u"  <autofillbnr val=\""_s + boolText(AutoFillBestellNr) + u"\" />"_s);
    line(u"</bestellwesenconfig>"_s);
}

void TBestellwesenConfig::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == u"stdliefadr") {
        a.Get("key", StdLiefAdr.Key);
        a.Get("val", StdLiefAdr.Value);
    } else if (name == u"stdrgadr") {
        a.Get("key", StdRgAdr.Key);
        a.Get("val", StdRgAdr.Value);
    } else if (name == u"eigeneadrid") {
        a.Get("val", EigeneAdrId);
    } else if (name == u"posbeschrgentype") {
        PosBeschrGenType = quint8(a.Int("val", 0));
    } else if (name == u"autosearchla") {
        AutoSearchLagerartikel = a.Bool("val", false);
    } else if (name == u"autofillbnr") {
        AutoFillBestellNr = a.Bool("val", false);
    } else if (name == u"kz" || name == u"nk") {
        ResetCharacters();
    }
}

void TBestellwesenConfig::Characters(QStringView text)
{
    if (CurrentElement == u"kz" || CurrentElement == u"nk")
        AppendCharacters(text);
}

void TBestellwesenConfig::EndElement(const QString &name)
{
    if (name == u"kz")
        Kennzeichen = SplitTextLines(CharacterText());
    else if (name == u"nk")
        NK = SplitTextLines(CharacterText());
    CurrentElement.clear();
}
