#include "stock/lagerserverobj.h"

#include "base/formatsettings.h"
#include "persistence/datetime.h"
#include "persistence/xml/xmltext.h"
#include "stock/xmltextsink.h"

#include <QFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace
{
const QString kFullYear = QStringLiteral("<from>0101</from><to>3112</to><mb>0</mb><bm>0</bm>");

QString periodTag(const QString &period, QStringView tag)
{
    return XMLTagText(period, tag);
}

QString dayMonth(int day, int month)
{
    return QStringLiteral("%1%2").arg(day, 2, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0'));
}

QString dayMonth(QDate date)
{
    return dayMonth(date.day(), date.month());
}

QString periodText(const QString &from, const QString &to, const QString &mb, const QString &bm)
{
    return "<from>"_L1 + from + "</from><to>"_L1 + to + "</to><mb>"_L1 + mb + "</mb><bm>"_L1 + bm +
           "</bm>"_L1;
}

// A "ddmm" day of a period; false unless it has four characters and neither part is 0.
bool parseDayMonth(const QString &text, int &day, int &month)
{
    if (text.size() != 4)
        return false;
    day = QStringView(text).left(2).toInt();
    month = QStringView(text).mid(2).toInt();
    return day != 0 && month != 0;
}

// Line breaks as CR LF, CR or LF; a break at the very end opens no further line.
void SplitLines(QStringView text, QStringList &lines)
{
    lines.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start).toString());
}
} // namespace

void TLagerArtikelDaten::InitPeriods(const QString &templateFile)
{
    MindestBestand.clear();
    QFile file(templateFile);
    if (!templateFile.isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        // Without a byte-order mark the template is an 8-bit file of the suite.
        const auto encoding =
            QStringConverter::encodingForData(bytes).value_or(QStringConverter::Latin1);
        QStringDecoder decode(encoding, QStringConverter::Flag::ConvertInitialBom);
        const QString text = decode(bytes);
        SplitLines(text, MindestBestand);
        return;
    }
    MindestBestand.append(kFullYear);
}

void TLagerArtikelDaten::SplitPeriod(const QString &templateFile, double date)
{
    if (MindestBestand.isEmpty())
        InitPeriods(templateFile);
    const QDate day = DateTime::toQDate(date);
    if (!day.isValid())
        return;
    const int d = day.day();
    const int m = day.month();
    for (qsizetype i = 0; i < MindestBestand.size(); ++i) {
        const QString &period = MindestBestand.at(i);
        const QString from = periodTag(period, u"from");
        const QString to = periodTag(period, u"to");
        int fd, fm, td, tm;
        if (!parseDayMonth(from, fd, fm) || !parseDayMonth(to, td, tm))
            continue;
        if (fd == d && fm == m && td == d && tm == m)
            return; // already a period of its own
        if (tm < m || (tm == m && td < d))
            continue;
        const bool startsHere = dayMonth(d, m) == from;
        const QDate firstEnd = startsHere ? day : day.addDays(-1);
        const QDate secondStart = startsHere ? day.addDays(1) : day;
        const QString mb = periodTag(period, u"mb");
        const QString bm = periodTag(period, u"bm");
        const QString first = periodText(from, dayMonth(firstEnd), mb, bm);
        MindestBestand[i] = periodText(dayMonth(secondStart), to, mb, bm);
        MindestBestand.insert(i, first);
        return;
    }
}

void TLagerArtikelDaten::DeletePeriod(qsizetype index)
{
    const qsizetype n = MindestBestand.size();
    if (n <= 1 || index < 0 || index >= n)
        return;
    if (index == 0) {
        MindestBestand.removeAt(0);
        const QString &first = MindestBestand.first();
        MindestBestand.first() = periodText(QStringLiteral("0101"), periodTag(first, u"to"),
                                            periodTag(first, u"mb"), periodTag(first, u"bm"));
        return;
    }
    if (index == n - 1) {
        MindestBestand.removeAt(index);
        const QString &last = MindestBestand.last();
        MindestBestand.last() = periodText(periodTag(last, u"from"), QStringLiteral("3112"),
                                           periodTag(last, u"mb"), periodTag(last, u"bm"));
        return;
    }
    int d, m;
    if (!parseDayMonth(periodTag(MindestBestand.at(index + 1), u"from"), d, m))
        return;
    // A leap year, so that a period may end on 29 February whatever year it is used in.
    const QDate next(2000, m, d);
    if (!next.isValid())
        return;
    const QString &before = MindestBestand.at(index - 1);
    MindestBestand[index - 1] = periodText(periodTag(before, u"from"), dayMonth(next.addDays(-1)),
                                           periodTag(before, u"mb"), periodTag(before, u"bm"));
    MindestBestand.removeAt(index);
}

// ---- XML text ---------------------------------------------------------------------------

namespace
{
// CDATA keeps the text verbatim except for two things XML itself changes: "]]>" would end the
// section and CR would be folded into LF by every parser. Both are taken out of the section
// ("]]" + "]]><![CDATA[" + ">" and "]]>&#13;<![CDATA["), so the text reads back unchanged.
void putCData(TXmlTextSink &out, QStringView text)
{
    out.Put(u"<![CDATA[");
    qsizetype plain = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r') {
            out.Put(text.mid(plain, i - plain));
            out.Put(u"]]>&#13;<![CDATA[");
            plain = i + 1;
        } else if (text[i] == u'>' && i >= 2 && text[i - 1] == u']' && text[i - 2] == u']') {
            out.Put(text.mid(plain, i - plain));
            out.Put(u"]]><![CDATA[");
            plain = i;
        }
    }
    out.Put(text.mid(plain));
    out.Put(u"]]>");
}

void putFloatAttr(TXmlTextSink &out, QStringView name, double value)
{
    out.Put(u' ');
    out.Put(name);
    out.Put(u"=\"");
    out.PutFloat(value);
    out.Put(u'"');
}

void putFlagAttr(TXmlTextSink &out, QStringView name, bool set)
{
    if (set) {
        out.Put(u' ');
        out.Put(name);
        out.Put(u"=\"-1\"");
    }
}

void putTextElement(TXmlTextSink &out, QStringView indent, QStringView name, const QString &text)
{
    if (text.isEmpty())
        return;
    out.Put(indent);
    out.Put(u"  <");
    out.Put(name);
    out.Put(u'>');
    out.PutEscaped(text);
    out.Put(u"</");
    out.Put(name);
    out.Put(u">\r\n");
}
} // namespace

void TLagerArtikelDaten::AppendXML(QString &text, QStringView indent) const
{
    TXmlTextSink out(text, 2048 + Langtext.size() + Kurztext.size() + Etikett.size() +
                               ExtensionData.size());
    out.Put(indent);
    out.Put(u"<lagerartikel nr=\"");
    out.PutEscaped(LagerArtikelNr);
    out.Put(u"\" c=\"");
    out.PutFloat(Created);
    out.Put(u"\" cby=\"");
    out.PutEscaped(CreatedBy);
    out.Put(u"\" ch=\"");
    out.PutFloat(Changed);
    out.Put(u"\" chby=\"");
    out.PutEscaped(ChangedBy);
    out.Put(u"\">\r\n");

    out.Put(indent);
    out.Put(u"  <ainfo");
    const auto measure = [&](QStringView name, double v) {
        if (v != 0)
            putFloatAttr(out, name, v);
    };
    measure(u"gew", Gewicht);
    measure(u"gewqm", GewichtQm);
    measure(u"obf", Oberflaeche);
    measure(u"laenge", Laenge);
    measure(u"ekpkg", EKProKg.toDouble());
    measure(u"breite", Breite);
    measure(u"dicke", Dicke);
    measure(u"dichte", Dichte);
    measure(u"vol", Volumen);
    if (Verpackungsmenge != 1.0)
        putFloatAttr(out, u"uf", Verpackungsmenge);
    if (!VerpackungsME.isEmpty()) {
        out.Put(u" ufme=\"");
        out.PutEscaped(VerpackungsME);
        out.Put(u'"');
    }
    out.Put(u" />\r\n");

    out.Put(indent);
    out.Put(u"  <pinfo");
    if (PE > 1) {
        out.Put(u" pe=\"");
        out.PutInt(PE);
        out.Put(u'"');
    }
    static constexpr QStringView kVkp[5] = {u"vkp1", u"vkp2", u"vkp3", u"vkp4", u"vkp5"};
    for (size_t i = 0; i < 5; ++i)
        measure(kVkp[i], VKPreis[i].toDouble());
    out.Put(u" />\r\n");

    putTextElement(out, indent, u"lt", Langtext);
    putTextElement(out, indent, u"kt", Kurztext);
    putTextElement(out, indent, u"et", Etikett);

    out.Put(indent);
    out.Put(u"  <minfo");
    measure(u"az", Arbeitszeit);
    measure(u"l", Lohn.toDouble());
    putFlagAttr(out, u"orab", OhneRabatt);
    putFlagAttr(out, u"oprov", OhneProvision);
    putFlagAttr(out, u"eksp", EKSperre);
    putFlagAttr(out, u"vksp", VKSperre);
    putFlagAttr(out, u"ncek", KeineEKPflege);
    out.Put(u" />\r\n");

    // The periods travel as one escaped text, so their line breaks stay inside the element.
    out.Put(indent);
    out.Put(u"  <mindb>");
    for (const QString &period : MindestBestand) {
        out.PutEscaped(period);
        out.Put(u"&#13;&#10;");
    }
    out.Put(u"</mindb>\r\n");

    if (!LetzteSeriennummer.isEmpty()) {
        out.Put(indent);
        out.Put(u"  <lsrnr val=\"");
        out.PutEscaped(LetzteSeriennummer);
        out.Put(u"\"/>\r\n");
    }
    for (const auto &picture : Bilder) {
        out.Put(indent);
        out.Put(u"  <img key=\"");
        out.PutEscaped(picture.Key);
        out.Put(u"\">");
        out.PutEscaped(picture.Value);
        out.Put(u"</img>\r\n");
    }
    Zusatzdaten.AppendXML(out, indent);
    if (!KatRefs.IsEmpty()) {
        out.Put(indent);
        out.Put(u"  <katrefs>\r\n");
        for (const auto &ref : KatRefs) {
            out.Put(indent);
            out.Put(u"    <katref key=\"");
            out.PutEscaped(ref.Key);
            out.Put(u"\" val=\"");
            out.PutEscaped(ref.Value);
            out.Put(u"\"/>\r\n");
        }
        out.Put(indent);
        out.Put(u"  </katrefs>\r\n");
    }
    if (!ExtensionData.isEmpty()) {
        out.Put(indent);
        out.Put(u"<extensiondata>");
        putCData(out, ExtensionData);
        out.Put(u"</extensiondata>\r\n");
    }
    out.Put(indent);
    out.Put(u"</lagerartikel>\r\n");
}

// ---- The record -------------------------------------------------------------------------

TLagerDoubleStringList::TLagerDoubleStringList(const TLagerDoubleStringList &other)
    : TDoubleStringListObjectList()
{
    other.AppendCopiesTo(*this);
}

TLagerDoubleStringList &TLagerDoubleStringList::operator=(const TLagerDoubleStringList &other)
{
    if (this != &other) {
        Clear();
        other.AppendCopiesTo(*this);
    }
    return *this;
}

bool TLagerDoubleStringList::operator==(const TLagerDoubleStringList &other) const
{
    if (Count() != other.Count())
        return false;
    for (qsizetype i = 0; i < Count(); ++i)
        if (Item(i).Key != other.Item(i).Key || Item(i).Value != other.Item(i).Value)
            return false;
    return true;
}

TLagerServerObj::~TLagerServerObj() = default;

void TLagerServerObj::Clear()
{
    TLagerArtikelDaten::operator=(TLagerArtikelDaten());
    m_target = TextTarget::None;
    m_targetText = nullptr;
}

void TLagerServerObj::WriteXML(bool, const QString &indent)
{
    AppendXML(Output(), indent);
}

namespace
{
// Absent attributes give the default, like unparsable ones.
double decimal(const TXMLAttributes &a, const char *name, double def)
{
    return DecimalFromXML(a.Value(name), def);
}
} // namespace

void TLagerServerObj::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    m_target = TextTarget::None;
    if (name == "ainfo"_L1) {
        Gewicht = decimal(a, "gew", 0);
        GewichtQm = decimal(a, "gewqm", 0);
        Oberflaeche = decimal(a, "obf", 0);
        Volumen = decimal(a, "vol", 0);
        Laenge = decimal(a, "laenge", 0);
        EKProKg = a.Curr("ekpkg", Money());
        Breite = decimal(a, "breite", 0);
        Dicke = decimal(a, "dicke", 0);
        Dichte = decimal(a, "dichte", 0);
        Verpackungsmenge = decimal(a, "uf", 1.0);
        a.Get("ufme", VerpackungsME);
    } else if (name == "pinfo"_L1) {
        PE = qMax(a.Int("pe", 1), 1);
        static constexpr const char *kVkp[5] = {"vkp1", "vkp2", "vkp3", "vkp4", "vkp5"};
        for (size_t i = 0; i < 5; ++i)
            VKPreis[i] = a.Curr(kVkp[i], Money());
    } else if (name == "minfo"_L1) {
        Arbeitszeit = decimal(a, "az", 0);
        Lohn = a.Curr("l", Money());
        OhneRabatt = a.Bool("orab", false);
        OhneProvision = a.Bool("oprov", false);
        EKSperre = a.Bool("eksp", false);
        VKSperre = a.Bool("vksp", false);
        KeineEKPflege = a.Bool("ncek", false);
    } else if (name == "lt"_L1) {
        m_target = TextTarget::Langtext;
    } else if (name == "kt"_L1) {
        m_target = TextTarget::Kurztext;
    } else if (name == "et"_L1) {
        m_target = TextTarget::Etikett;
    } else if (name == "img"_L1) {
        TDoubleString &picture = Bilder.Add(TDoubleString{a.Value("key"), QString()});
        m_targetText = &picture.Value;
        m_target = TextTarget::Picture;
    } else if (name == "dsnobj"_L1) {
        TDsnElement &e = Zusatzdaten.Add();
        e.Name = a.Value("name");
        const int kind = a.Int("type", 0);
        e.Kind = kind >= 0 && kind <= 255 ? quint8(kind) : 0;
        ResetCharacters();
        m_target = TextTarget::Buffer;
    } else if (name == "katref"_L1) {
        KatRefs.Add(a.Value("key"), a.Value("val"));
    } else if (name == "lsrnr"_L1) {
        a.Get("val", LetzteSeriennummer);
    } else if (name == "mindb"_L1 || name.compare("extensiondata"_L1, Qt::CaseInsensitive) == 0) {
        ResetCharacters();
        m_target = TextTarget::Buffer;
    } else if (name == "lagerartikel"_L1) {
        // An unreadable stamp is taken as "now" rather than as 1899; asking the clock costs,
        // so only then.
        const auto stamp = [&](const char *attr, double &field) {
            if (!a.Has(attr))
                return;
            field = decimal(a, attr, qQNaN());
            if (qIsNaN(field))
                field = DateTime::now();
        };
        stamp("c", Created);
        stamp("ch", Changed);
        a.Get("cby", CreatedBy);
        a.Get("chby", ChangedBy);
    }
}

void TLagerServerObj::Characters(QStringView text)
{
    switch (m_target) {
    case TextTarget::None:
        return;
    case TextTarget::Langtext:
        Langtext += text;
        return;
    case TextTarget::Kurztext:
        Kurztext += text;
        return;
    case TextTarget::Etikett:
        Etikett += text;
        return;
    case TextTarget::Picture:
        *m_targetText += text;
        return;
    case TextTarget::Buffer:
        AppendCharacters(text);
        return;
    }
}

void TLagerServerObj::EndElement(const QString &name)
{
    if (m_target == TextTarget::Buffer) {
        if (name == "mindb"_L1)
            SplitLines(CharacterText(), MindestBestand);
        else if (name == "dsnobj"_L1 && !Zusatzdaten.IsEmpty())
            Zusatzdaten.Item(Zusatzdaten.Count() - 1).SetValueFromText(CharacterText());
        else
            ExtensionData = CharacterText();
    }
    m_target = TextTarget::None;
    m_targetText = nullptr;
    CurrentElement.clear();
}
