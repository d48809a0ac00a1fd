#include "catalogs/katalog2artikel.h"

#include "persistence/conversions.h"
#include "persistence/xml/xmltext.h"

using namespace Qt::StringLiterals;

Money TKatalog2ArtikelDaten::Nettopreis(bool fourDecimals) const
{
    return ApplyDiscount(fourDecimals, EK, Rabatt);
}

Money TKatalog2ArtikelDaten::BerechneVKPreis1(const TKatalogPreisEinstellungen &settings) const
{
    const Money price = Nettopreis(settings.FullCurrency) * VKZuschlag;
    if (settings.SalePriceIsGross)
        return NetToGross(settings.FullCurrency, price, settings.VATRateOf(MwStSatz));
    return RoundMoney(settings.FullCurrency, price);
}

void TKatalog2ArtikelDaten::AppendXML(QString &out, QStringView indent) const
{
    out += indent;
    out += u"<ukat2>\r\n";
    out += indent;
    out += u"  <images>\r\n";
    for (const TDoubleString &image : Bilder) {
        out += indent;
        out += u"    <img";
        AppendXMLAttribute(out, u"key", image.Key);
        out += u'>';
        AppendEncodedXMLText(out, image.Value);
        out += u"</img>\r\n";
    }
    out += indent;
    out += u"  </images>\r\n";
    out += indent;
    out += u"</ukat2>\r\n";
}

TKatalog2Artikel::~TKatalog2Artikel() = default;

void TKatalog2Artikel::Clear()
{
    TKatalog2ArtikelDaten::operator=(TKatalog2ArtikelDaten());
    m_image = nullptr;
}

void TKatalog2Artikel::WriteXML(bool, const QString &indent)
{
    AppendXML(Output(), indent);
}

void TKatalog2Artikel::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    m_image = nullptr;
    if (name == "img"_L1)
        m_image = &Bilder.Add(TDoubleString{a.Value("key"), QString()});
}

void TKatalog2Artikel::Characters(QStringView text)
{
    if (m_image)
        m_image->Value += text;
}

void TKatalog2Artikel::EndElement(const QString &)
{
    m_image = nullptr;
    CurrentElement.clear();
}
