#include "ordering/customeraddress.h"

#include "base/formatsettings.h"
#include "persistence/xml/xmltext.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace
{

void appendIfSet(QString &out, QStringView name, const QString &value)
{
    if (!value.isEmpty())
        AppendXMLAttribute(out, name, value);
}

QString boolText(bool value)
{
    return value ? u"-1"_s : u"0"_s;
}

void appendElement(QString &out, const QString &prefix, QStringView tag, QStringView text)
{
    out += prefix;
    out += u'<';
    out += tag;
    out += u'>';
    AppendEncodedXMLText(out, text);
    out += u"</";
    out += tag;
    out += u">\r\n";
}

bool isTextElement(const QString &name)
{
    return name == u"info" || name == u"at" || name == u"alarm" || name == u"zinfo" ||
           name == u"kz" || name == u"dsnobj";
}

} // namespace

TCustomerAddress::TCustomerAddress()
{
    Clear();
}

TCustomerAddress::~TCustomerAddress() = default;

void TCustomerAddress::Clear()
{
    Id.clear();
    AddrGrp.clear();
    Cr = 0;
    CrBy.clear();
    Ch = 0;
    ChBy.clear();
    IdWeiterl.clear();
    Wv = 0;
    WvTxt.clear();
    WvUser.clear();
    KndVerz.clear();
    Sprache.clear();
    UstIdNr.clear();
    StNr.clear();
    MwStAusw = 0;
    Paragr13b = Paragr14b = Paragr6a = false;
    MahnTyp = 0;
    OwnId.clear();
    Anschriften.Clear();
    Info.clear();
    At.clear();
    DebitorNr.clear();
    DebitorKreditLimit.clear();
    DebitorVersicherung.clear();
    DebitorRating.clear();
    KreditorNr.clear();
    KreditorSachbearbeiter.clear();
    Alarm = false;
    AlarmText.clear();
    ZInfo.clear();
    Kontakte.Clear();
    PaymentWays.Clear();
    PaymentTerms.Clear();
    DsnElements.Clear();
    Kz.clear();
}

QString TCustomerAddress::DisplayName() const
{
    if (!At.trimmed().isEmpty())
        return At.trimmed();
    for (const TCustomerAnschrift &a : Anschriften)
        if (a.Std)
            return a.Name1;
    return Anschriften.IsEmpty() ? QString() : Anschriften[0].Name1;
}

void TCustomerAddress::WriteXML(bool complete, const QString &indent)
{
    QString &out = Output();
    out += indent;
    out += u"<kundenadr";
    if (complete) {
        appendIfSet(out, u"id", Id);
        AppendXMLAttribute(out, u"cr", floatToText(Cr));
        AppendXMLAttribute(out, u"crby", CrBy);
        AppendXMLAttribute(out, u"ch", floatToText(Ch));
        AppendXMLAttribute(out, u"chby", ChBy);
        appendIfSet(out, u"idweiterl", IdWeiterl);
        if (Wv != 0) {
            AppendXMLAttribute(out, u"wv", floatToText(Wv));
            AppendXMLAttribute(out, u"wvtxt", WvTxt);
            AppendXMLAttribute(out, u"wvuser", WvUser);
        }
        appendIfSet(out, u"addrgrp", AddrGrp);
    }
    appendIfSet(out, u"kndverz", KndVerz);
    appendIfSet(out, u"sprache", Sprache);
    appendIfSet(out, u"ustidnr", UstIdNr);
    appendIfSet(out, u"stnr", StNr);
    if (MwStAusw != 0)
        AppendXMLAttribute(out, u"mwstausw", QString::number(MwStAusw));
    if (Paragr13b)
        AppendXMLAttribute(out, u"paragr13b", boolText(true));
    if (Paragr14b)
        AppendXMLAttribute(out, u"paragr14b", boolText(true));
    if (Paragr6a)
        AppendXMLAttribute(out, u"paragr6a", boolText(true));
    if (MahnTyp != 0)
        AppendXMLAttribute(out, u"mahntyp", QString::number(MahnTyp));
    appendIfSet(out, u"ownid", OwnId);
    out += u">\r\n";

    const QString p = indent + u"  "_s;
    for (const TCustomerAnschrift &a : Anschriften) {
        out += p;
        out += u"<adr";
        appendIfSet(out, u"id", a.Id);
        appendIfSet(out, u"name1", a.Name1);
        appendIfSet(out, u"name2", a.Name2);
        appendIfSet(out, u"name3", a.Name3);
        appendIfSet(out, u"name4", a.Name4);
        appendIfSet(out, u"strasse", a.Strasse);
        appendIfSet(out, u"land", a.Land);
        appendIfSet(out, u"plz", a.Plz);
        appendIfSet(out, u"ort", a.Ort);
        AppendXMLAttribute(out, u"std", boolText(a.Std));
        AppendXMLAttribute(out, u"aart", a.AArt);
        out += u" />\r\n";
    }
    if (!Info.isEmpty())
        appendElement(out, p, u"info", Info);
    if (complete && !At.isEmpty())
        appendElement(out, p, u"at", At);

    if (!DebitorNr.isEmpty() || !DebitorKreditLimit.isEmpty() || !DebitorVersicherung.isEmpty() ||
        !DebitorRating.isEmpty()) {
        out += p;
        out += u"<debitor";
        appendIfSet(out, u"nr", DebitorNr);
        appendIfSet(out, u"limit", DebitorKreditLimit);
        appendIfSet(out, u"versich", DebitorVersicherung);
        appendIfSet(out, u"rating", DebitorRating);
        out += u" />\r\n";
    }
    if (!KreditorNr.isEmpty() || !KreditorSachbearbeiter.isEmpty()) {
        out += p;
        out += u"<kreditor";
        appendIfSet(out, u"nr", KreditorNr);
        appendIfSet(out, u"sachb", KreditorSachbearbeiter);
        out += u" />\r\n";
    }
    out += p;
    out += u"<alarm val=\"";
    out += boolText(Alarm);
    out += u"\">";
    AppendEncodedXMLText(out, AlarmText);
    out += u"</alarm>\r\n";
    appendElement(out, p, u"zinfo", ZInfo);

    WriteLists(indent);

    if (complete)
        appendElement(out, p, u"kz", Kz.join(u"\r\n"_s).trimmed());
    out += indent;
    out += u"</kundenadr>\r\n";
}

void TCustomerAddress::WriteLists(const QString &indent)
{
    QString &out = Output();
    const QString p = indent + u"  "_s;
    const QString p1 = p + u"  "_s;
    const QString p2 = p1 + u"  "_s;
    if (!Kontakte.IsEmpty()) {
        out += p + u"<kontakte>\r\n"_s;
        for (const TCustomerContact &c : Kontakte) {
            out += p1;
            out += u"<kontakt";
            AppendXMLAttribute(out, u"name", c.Name);
            AppendXMLAttribute(out, u"std", boolText(c.Std));
            out += u">\r\n";
            for (const TCustomerContactData &d : c.Data) {
                out += p2;
                out += u"<kontaktdata";
                AppendXMLAttribute(out, u"cdtype", QString::number(d.CdType));
                AppendXMLAttribute(out, u"cdname", d.CdName);
                AppendXMLAttribute(out, u"cdvalue", d.CdValue);
                AppendXMLAttribute(out, u"cdcaract", d.CdCaract);
                out += u"/>\r\n";
            }
            out += p1 + u"</kontakt>\r\n"_s;
        }
        out += p + u"</kontakte>\r\n"_s;
    }
    if (!PaymentWays.IsEmpty()) {
        out += p + u"<pwl>\r\n"_s;
        for (const TPaymentWay &w : PaymentWays) {
            out += p1;
            out += u"<pw";
            AppendXMLAttribute(out, u"payway", QString::number(w.Kind));
            AppendXMLAttribute(out, u"comm", w.Comment);
            AppendXMLAttribute(out, u"inst", w.Institute);
            AppendXMLAttribute(out, u"bcode", w.BankCode);
            AppendXMLAttribute(out, u"acc", w.Account);
            AppendXMLAttribute(out, u"iban", w.IBAN);
            AppendXMLAttribute(out, u"bic", w.BIC);
            out += u"/>\r\n";
        }
        out += p + u"</pwl>\r\n"_s;
    }
    if (!PaymentTerms.IsEmpty())
        PaymentTerms.AppendXML(out, p);
    DsnElements.AppendXML(out, indent);
}

void TCustomerAddress::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == u"kundenadr") {
        a.Get("id", Id);
        a.Get("addrgrp", AddrGrp);
        if (a.Has("cr"))
            Cr = a.Float("cr", 0);
        a.Get("crby", CrBy);
        if (a.Has("ch"))
            Ch = a.Float("ch", 0);
        a.Get("chby", ChBy);
        a.Get("idweiterl", IdWeiterl);
        if (a.Has("wv"))
            Wv = a.Float("wv", 0);
        a.Get("wvtxt", WvTxt);
        a.Get("wvuser", WvUser);
        a.Get("kndverz", KndVerz);
        a.Get("sprache", Sprache);
        a.Get("ustidnr", UstIdNr);
        a.Get("stnr", StNr);
        if (a.Has("mwstausw"))
            MwStAusw = a.Int("mwstausw", 0);
        if (a.Has("paragr13b"))
            Paragr13b = a.Bool("paragr13b", false);
        if (a.Has("paragr14b"))
            Paragr14b = a.Bool("paragr14b", false);
        if (a.Has("paragr6a"))
            Paragr6a = a.Bool("paragr6a", false);
        if (a.Has("mahntyp"))
            MahnTyp = a.Int("mahntyp", 0);
        a.Get("ownid", OwnId);
    } else if (name == u"adr") {
        auto adr = std::make_unique<TCustomerAnschrift>();
        adr->Id = a.Value("id");
        adr->Name1 = a.Value("name1");
        adr->Name2 = a.Value("name2");
        adr->Name3 = a.Value("name3");
        adr->Name4 = a.Value("name4");
        adr->Strasse = a.Value("strasse");
        adr->Land = a.Value("land");
        adr->Plz = a.Value("plz");
        adr->Ort = a.Value("ort");
        adr->Std = a.Bool("std", false);
        adr->AArt = a.Value("aart");
        Anschriften.Add(std::move(adr));
    } else if (name == u"debitor") {
        a.Get("nr", DebitorNr);
        a.Get("limit", DebitorKreditLimit);
        a.Get("versich", DebitorVersicherung);
        a.Get("rating", DebitorRating);
    } else if (name == u"kreditor") {
        a.Get("nr", KreditorNr);
        a.Get("sachb", KreditorSachbearbeiter);
    } else if (name == u"alarm") {
        if (a.Has("val"))
            Alarm = a.Bool("val", false);
    } else if (name == u"kontakt") {
        auto contact = std::make_unique<TCustomerContact>();
        contact->Name = a.Value("name");
        contact->Std = a.Bool("std", false);
        Kontakte.Add(std::move(contact));
    } else if (name == u"kontaktdata") {
        // Contact data outside a contact has no owner to belong to.
        if (TCustomerContact *contact = Kontakte.Last()) {
            auto data = std::make_unique<TCustomerContactData>();
            data->CdType = a.Int("cdtype", 0);
            data->CdName = a.Value("cdname");
            data->CdValue = a.Value("cdvalue");
            data->CdCaract = a.Value("cdcaract");
            contact->Data.Add(std::move(data));
        }
    } else if (name == u"pw") {
        auto way = std::make_unique<TPaymentWay>();
        way->Kind = a.Int("payway", 0);
        way->Comment = a.Value("comm");
        way->Institute = a.Value("inst");
        way->BankCode = a.Value("bcode");
        way->Account = a.Value("acc");
        way->IBAN = a.Value("iban");
        way->BIC = a.Value("bic");
        PaymentWays.Add(std::move(way));
    } else if (name == u"pt") {
        PaymentTerms.Add(TPaymentTerm{}).ReadAttributes(a);
    } else if (name == u"dsnobj") {
        TDsnElement &e = DsnElements.Add();
        e.Name = a.Value("name");
        const int kind = a.Int("type", 0);
        e.Kind = kind >= 0 && kind <= 255 ? quint8(kind) : 0;
    }
    if (isTextElement(name))
        ResetCharacters();
}

void TCustomerAddress::Characters(QStringView text)
{
    if (isTextElement(CurrentElement))
        AppendCharacters(text);
}

void TCustomerAddress::EndElement(const QString &name)
{
    if (isTextElement(name)) {
        const QString text = CharacterText();
        if (name == u"info")
            Info = text;
        else if (name == u"at")
            At = text;
        else if (name == u"alarm")
            AlarmText = text;
        else if (name == u"zinfo")
            ZInfo = text;
        else if (name == u"kz")
            Kz = text.isEmpty() ? QStringList()
                                : QString(text).replace(u"\r\n"_s, u"\n"_s).split(u'\n');
        else if (name == u"dsnobj")
            DsnElements.Item(DsnElements.Count() - 1).SetValueFromText(text);
    }
    CurrentElement.clear();
}

void ReadAddressFile(TCustomerAddressObjectList &list, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const bool bigEndian = bytes.startsWith("\xFE\xFF");
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto hi = uchar(bytes[2 * i + (bigEndian ? 0 : 1)]);
        const auto lo = uchar(bytes[2 * i + (bigEndian ? 1 : 0)]);
        text[i] = QChar(char16_t((hi << 8) | lo));
    }

    // Each document is parsed on its own: the declarations and byte-order marks between them
    // would make the concatenation malformed XML.
    static const QString open = u"<kundenadr"_s;
    static const QString close = u"</kundenadr>"_s;
    qsizetype from = 0;
    while ((from = text.indexOf(open, from)) >= 0) {
        const qsizetype end = text.indexOf(close, from);
        if (end < 0)
            break;
        const qsizetype after = end + close.size();
        auto address = std::make_unique<TCustomerAddress>();
        address->LoadFromXMLText(QStringView(text).sliced(from, after - from));
        list.Add(std::move(address));
        from = after;
    }
}

QString AddressNumberOf(const QString &reference)
{
    const qsizetype at = reference.indexOf(u'_');
    return at < 0 ? QString() : reference.left(at);
}
