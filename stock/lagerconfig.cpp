#include "stock/lagerconfig.h"

#include "persistence/xml/xmltext.h"

#include <QDir>

QString ListToText(const QStringList &list)
{
    QString text;
    for (const QString &entry : list)
        text += entry + QStringLiteral("\r\n");
    return text;
}

QStringList TextToList(QStringView text)
{
    QStringList list;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        list.append(text.mid(start, i - start).toString());
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        list.append(text.mid(start).toString());
    return list;
}

TLagerConfig::TLagerConfig()
{
    TLagerConfig::Clear();
}

QString TLagerConfig::FileNameIn(const QString &stockDir)
{
    return QDir(stockDir).filePath(QStringLiteral("CONFIG.XML"));
}

void TLagerConfig::Clear()
{
    Artikelgruppen.clear();
    Lagerorte.clear();
    Rabattgruppen.Clear();
    Pnk.clear();
    StdUebernahmepreis = 1;
    VKPEurKgToVKP = 1;
    StdMRabF = true;
    SpEAN = false;
    Vars = false;
    m_target = TextTarget::None;
}

void TLagerConfig::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    m_target = TextTarget::None;
    if (name == u"artikelgruppen")
        m_target = TextTarget::Groups;
    else if (name == u"lagerorte")
        m_target = TextTarget::Places;
    else if (name == u"pnk")
        m_target = TextTarget::Pnk;
    else if (name == u"rabattgruppe") {
        Rabattgruppen.Add(a.Value("id"), QString());
        m_target = TextTarget::Discount;
    } else if (name == u"stduebernahmepreis")
        StdUebernahmepreis = a.Int("val", 1);
    else if (name == u"vkpeurkgtovkp")
        VKPEurKgToVKP = a.Int("val", 1);
    else if (name == u"stdmrabf")
        StdMRabF = a.Bool("val", true);
    else if (name == u"spean")
        SpEAN = a.Bool("val", false);
    else if (name == u"vars")
        Vars = a.Bool("val", false);
    if (m_target != TextTarget::None)
        ResetCharacters();
}

void TLagerConfig::Characters(QStringView text)
{
    if (m_target == TextTarget::Discount) {
        if (TDoubleString *last = Rabattgruppen.Last())
            last->Value += text;
    } else if (m_target != TextTarget::None)
        AppendCharacters(text);
}

void TLagerConfig::EndElement(const QString &)
{
    switch (m_target) {
    case TextTarget::Groups:
        Artikelgruppen = TextToList(CharacterText());
        break;
    case TextTarget::Places:
        Lagerorte = TextToList(CharacterText());
        break;
    case TextTarget::Pnk:
        Pnk = TextToList(CharacterText());
        break;
    default:
        break;
    }
    m_target = TextTarget::None;
    CurrentElement.clear();
}

void TLagerConfig::WriteXML(bool, const QString &indent)
{
    auto line = [&](const QString &text) { WriteLine(indent + text); };
    auto flag = [](bool b) { return b ? QStringLiteral("-1") : QStringLiteral("0"); };
    line(QStringLiteral("<lagerconfig>"));
    line(QStringLiteral("  <artikelgruppen>") + EncodeXMLText(ListToText(Artikelgruppen)) +
         QStringLiteral("</artikelgruppen>"));
    line(QStringLiteral("  <lagerorte>") + EncodeXMLText(ListToText(Lagerorte)) +
         QStringLiteral("</lagerorte>"));
    line(QStringLiteral("  <pnk>") + EncodeXMLText(ListToText(Pnk)) + QStringLiteral("</pnk>"));
    for (const TDoubleString &r : Rabattgruppen)
        line(QStringLiteral("  <rabattgruppe id=\"") + EncodeXMLText(r.Key) +
             QStringLiteral("\">") + EncodeXMLText(r.Value) + QStringLiteral("</rabattgruppe>"));
    line(QStringLiteral("  <stduebernahmepreis val=\"%1\" />").arg(StdUebernahmepreis));
    line(QStringLiteral("  <vkpeurkgtovkp val=\"%1\" />").arg(VKPEurKgToVKP));
    line(QStringLiteral("  <stdmrabf val=\"") + flag(StdMRabF) + QStringLiteral("\" />"));
    line(QStringLiteral("  <spean val=\"") + flag(SpEAN) + QStringLiteral("\" />"));
    line(QStringLiteral("  <vars val=\"") + flag(Vars) + QStringLiteral("\" />"));
    line(QStringLiteral("</lagerconfig>"));
}
