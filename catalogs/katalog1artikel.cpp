#include "catalogs/katalog1artikel.h"

#include "base/formatsettings.h"
#include "persistence/conversions.h"
#include "persistence/xml/xmltext.h"
#include "stock/xmltextsink.h"

#include <optional>

using namespace Qt::StringLiterals;

QString TKatalog1ArtikelDaten::Kurzzeilen() const
{
    return KurzZeile1 + u' ' + KurzZeile2;
}

// ---- Long text ----------------------------------------------------------------------------

QString TKatalog1ArtikelDaten::FillDimensionTemplate(QStringView templ, QStringView values)
{
    const QList<QStringView> parts = values.split(u'$');
    QString filled;
    filled.reserve(templ.size());
    qsizetype run = 0;
    qsizetype i = 0;
    while (i < templ.size()) {
        if (templ[i] != u'$') {
            filled += templ[i++];
            continue;
        }
        qsizetype end = i;
        while (end < templ.size() && templ[end] == u'$')
            ++end;
        const qsizetype width = end - i;
        // Without values the value string still splits into one empty part: blanks.
        const QStringView value = run < parts.size() ? parts[run] : QStringView();
        filled += value.left(width);
        if (value.size() < width)
            filled += QString(width - value.size(), u' ');
        ++run;
        i = end;
    }
    return filled;
}

void TKatalog1ArtikelDaten::AssembleLangtext(const BausteinLookup &baustein)
{
    QStringList lines;
    // Consecutive references to the same block stand for one block.
    std::optional<QString> previousBlock;
    const qsizetype n = Dimensionslangtexte.Count();
    for (qsizetype i = 0; i < n; ++i) {
        const TKatalog1Dimensionslangtext &entry = Dimensionslangtexte.Item(i);
        switch (entry.Typ) {
        case ltZeile:
            lines.append(entry.Text);
            break;
        case ltBaustein:
            if (previousBlock != entry.Baustein) {
                lines.append(baustein(entry.Baustein, ltBaustein));
                previousBlock = entry.Baustein;
            }
            break;
        case ltDimension: {
            // The values of one block may be spread over several entries.
            QString values = entry.Text;
            while (i + 1 < n && Dimensionslangtexte.Item(i + 1).Typ == ltDimension &&
                   Dimensionslangtexte.Item(i + 1).Baustein == entry.Baustein)
                values += Dimensionslangtexte.Item(++i).Text;
            lines.append(FillDimensionTemplate(baustein(entry.Baustein, ltDimension), values));
            break;
        }
        default:
            break;
        }
    }
    Langtext = lines.join(u"\r\n"_s);
}

// ---- Prices -------------------------------------------------------------------------------

void TKatalog1ArtikelDaten::DetermineVKZuschlag(
    const std::function<double(const QString &group)> &ofGroup,
    const std::function<double(double net)> &ofNet)
{
    double surcharge = 0;
    if (!Rabattgruppe.isEmpty())
        surcharge = ofGroup(Rabattgruppe);
    if (surcharge == 0)
        surcharge = ofNet(Netto.toDouble());
    VKZuschlag = surcharge;
}

Money TKatalog1ArtikelDaten::VKPreis1(bool fourDecimals) const
{
    return AddPercent(fourDecimals, Netto, VKZuschlag);
}

// ---- XML text -----------------------------------------------------------------------------

namespace
{
void intAttr(QString &out, QStringView name, qint64 value)
{
    out += u' ';
    out += name;
    out += u"=\"";
    appendIntText(out, value);
    out += u'"';
}

void floatAttr(QString &out, QStringView name, double value)
{
    out += u' ';
    out += name;
    out += u"=\"";
    appendFloatText(out, value);
    out += u'"';
}

// Exact to the ten-thousandth: through a double, amounts of more than 15 digits would lose
// their last ones. Up to 15 digits the text is the same as a float's.
void moneyAttr(QString &out, QStringView name, Money value)
{
    out += u' ';
    out += name;
    out += u"=\"";
    const qint64 raw = value.raw();
    if (raw < 0)
        out += u'-';
    // Negated as unsigned, so that the most negative amount has a magnitude too.
    const quint64 magnitude = raw < 0 ? 0 - quint64(raw) : quint64(raw);
    const quint64 scale = quint64(Money::kScale);
    appendIntText(out, qint64(magnitude / scale));
    quint64 fraction = magnitude % scale;
    if (fraction != 0) {
        out += FormatSettings::current().decimalSeparator;
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        const QString text = QString::number(fraction);
        out += QString(digits - text.size(), u'0');
        out += text;
    }
    out += u'"';
}

// Opens a list element; its items are written by the caller, one line each.
void openList(QString &out, QStringView indent, QStringView name)
{
    out += indent;
    out += u"  <";
    out += name;
    out += u">\r\n";
}

void closeList(QString &out, QStringView indent, QStringView name)
{
    out += indent;
    out += u"  </";
    out += name;
    out += u">\r\n";
}

void openItem(QString &out, QStringView indent, QStringView name)
{
    out += indent;
    out += u"    <";
    out += name;
}

void closeItem(QString &out)
{
    out += u"/>\r\n";
}

double decimal(const TXMLAttributes &a, const char *name)
{
    return DecimalFromXML(a.Value(name), 0);
}
} // namespace

void TKatalog1ArtikelDaten::AppendXML(QString &out, QStringView indent) const
{
    out += indent;
    out += u"<ukat1>\r\n";

    openList(out, indent, u"dlt");
    for (const TKatalog1Dimensionslangtext &d : Dimensionslangtexte) {
        openItem(out, indent, u"dlti");
        intAttr(out, u"type", d.Typ);
        AppendXMLAttribute(out, u"txt", d.Text);
        AppendXMLAttribute(out, u"instxt", d.Baustein);
        closeItem(out);
    }
    closeList(out, indent, u"dlt");

    openList(out, indent, u"stp");
    for (const TKatalog1Staffelpreis &s : Staffelpreise) {
        openItem(out, indent, u"stpi");
        intAttr(out, u"nr", s.Nr);
        AppendXMLAttribute(out, u"txt", s.Text);
        AppendXMLAttribute(out, u"addtxt", s.Zusatztext);
        intAttr(out, u"za", s.ZA);
        intAttr(out, u"pkz", s.PreisKZ);
        intAttr(out, u"pe", s.Preiseinheit);
        moneyAttr(out, u"val", s.Wert);
        intAttr(out, u"sam", s.SAM);
        intAttr(out, u"bm", s.BM);
        intAttr(out, u"frval", s.VonMenge);
        intAttr(out, u"toval", s.BisMenge);
        floatAttr(out, u"frdat", s.VonDatum);
        floatAttr(out, u"todat", s.BisDatum);
        closeItem(out);
    }
    closeList(out, indent, u"stp");

    openList(out, indent, u"rohst");
    for (const TKatalog1Rohstoff &r : Rohstoffe) {
        openItem(out, indent, u"rohsti");
        intAttr(out, u"rt", r.Rohstofftyp);
        intAttr(out, u"pe", r.Preiseinheit);
        floatAttr(out, u"rbm2bpb", r.RBM2BPB);
        floatAttr(out, u"rbm2fbpb", r.RBM2FBPB);
        floatAttr(out, u"rbm2g", r.RBM2G);
        floatAttr(out, u"rbm2fg", r.RBM2FG);
        closeItem(out);
    }
    closeList(out, indent, u"rohst");

    openList(out, indent, u"sonderkosten");
    for (const TKatalog1Sonderkosten &k : Sonderkosten) {
        openItem(out, indent, u"sonderkosteni");
        intAttr(out, u"nr", k.Nr);
        AppendXMLAttribute(out, u"bez", k.Bezeichnung);
        moneyAttr(out, u"val", k.Wert);
        intAttr(out, u"type", k.Typ);
        closeItem(out);
    }
    closeList(out, indent, u"sonderkosten");

    out += indent;
    out += u"</ukat1>\r\n";
}

TKatalog1Artikel::~TKatalog1Artikel() = default;

void TKatalog1Artikel::Clear()
{
    TKatalog1ArtikelDaten::operator=(TKatalog1ArtikelDaten());
}

void TKatalog1Artikel::WriteXML(bool, const QString &indent)
{
    AppendXML(Output(), indent);
}

void TKatalog1Artikel::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == "dlti"_L1) {
        TKatalog1Dimensionslangtext &d = Dimensionslangtexte.Add(TKatalog1Dimensionslangtext());
        d.Typ = a.Int("type", 0);
        d.Text = a.Value("txt");
        d.Baustein = a.Value("instxt");
    } else if (name == "stpi"_L1) {
        TKatalog1Staffelpreis &s = Staffelpreise.Add(TKatalog1Staffelpreis());
        s.Nr = a.Int("nr", 0);
        s.Text = a.Value("txt");
        s.Zusatztext = a.Value("addtxt");
        s.ZA = a.Int("za", 0);
        s.PreisKZ = a.Int("pkz", 0);
        s.Preiseinheit = a.Int("pe", 0);
        s.Wert = a.Curr("val", Money());
        s.SAM = a.Int("sam", 0);
        s.BM = a.Int("bm", 0);
        s.VonMenge = a.Int("frval", 0);
        s.BisMenge = a.Int("toval", 0);
        s.VonDatum = decimal(a, "frdat");
        s.BisDatum = decimal(a, "todat");
    } else if (name == "rohsti"_L1) {
        TKatalog1Rohstoff &r = Rohstoffe.Add(TKatalog1Rohstoff());
        r.Rohstofftyp = a.Int("rt", 0);
        r.Preiseinheit = a.Int("pe", 0);
        r.RBM2BPB = decimal(a, "rbm2bpb");
        r.RBM2FBPB = decimal(a, "rbm2fbpb");
        r.RBM2G = decimal(a, "rbm2g");
        r.RBM2FG = decimal(a, "rbm2fg");
    } else if (name == "sonderkosteni"_L1) {
        TKatalog1Sonderkosten &k = Sonderkosten.Add(TKatalog1Sonderkosten());
        k.Nr = a.Int("nr", 0);
        k.Bezeichnung = a.Value("bez");
        k.Wert = a.Curr("val", Money());
        k.Typ = a.Int("type", 0);
    }
}

void TKatalog1Artikel::EndElement(const QString &)
{
    CurrentElement.clear();
}
