#include "stock/lagerartikelfeld.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace
{
using A = TLagerArtikelDaten;
using F = TLagerArtikelFeld;

// The widths are those of the stock table's text columns: longer texts would be cut there
// without a word, so the import refuses them instead.
const F kFields[] = {
    {u"LagerArtikelNr"_s, u"Artikel-Nr."_s, &A::LagerArtikelNr, 20},
    {u"Bezeichnung"_s, u"Bezeichnung"_s, &A::Bezeichnung, 81},
    {u"Gruppe"_s, u"Artikelgruppe"_s, &A::Gruppe, 20},
    {u"Lagerort"_s, u"Lagerort"_s, &A::Lagerort, 20},
    {u"Rabattgruppen"_s, u"Rabattgruppe"_s, &A::Rabattgruppen, 20},
    {u"Katalog"_s, u"Katalog"_s, &A::Katalog, 20},
    {u"EAN"_s, u"EAN"_s, &A::EAN, 20},
    {u"ME"_s, u"ME"_s, &A::ME, 20},
    {u"EKPreis"_s, u"EK-Preis"_s, &A::EKPreis},
    {u"VKPreis1"_s, u"VK-Preis 1"_s, F::VKPreis{0}},
    {u"VKPreis2"_s, u"VK-Preis 2"_s, F::VKPreis{1}},
    {u"VKPreis3"_s, u"VK-Preis 3"_s, F::VKPreis{2}},
    {u"VKPreis4"_s, u"VK-Preis 4"_s, F::VKPreis{3}},
    {u"VKPreis5"_s, u"VK-Preis 5"_s, F::VKPreis{4}},
    {u"PE"_s, u"Preiseinheit"_s, &A::PE},
    {u"VKZuschlag"_s, u"VK-Zuschlag"_s, &A::VKZuschlag},
    // the suite knows four VAT classes
    {u"MwStSatz"_s, u"MwSt-Satz"_s, &A::MwStSatz, 0, 3},
    {u"BuchungsBestand"_s, u"Bestand"_s, &A::BuchungsBestand},
    {u"SummeWareneingangMe"_s, u"Zugang gesamt"_s, &A::SummeWareneingangMe},
    {u"Anfangsbestand"_s, u"Anfangsbestand"_s, &A::Anfangsbestand},
    {u"Inventurartikel"_s, u"Inventurartikel"_s, &A::Inventurartikel},
    {u"InventurErfassung"_s, u"Inventurbestand"_s, &A::InventurErfassung},
    {u"Inventurdifferenz"_s, u"Inventurdifferenz"_s, &A::Inventurdifferenz},
    {u"IsNotBestandsartikel"_s, u"Ohne Bestand"_s, &A::IsNotBestandsartikel},
    {u"SNPflicht"_s, u"Seriennummernpflicht"_s, &A::SNPflicht},
    {u"DEinstandsPreisbildung"_s, u"Durchschnittspreis"_s, &A::DEinstandsPreisbildung},
    {u"ViewColor"_s, u"Farbe"_s, &A::ViewColor},
    {u"EKProKg"_s, u"EK-Preis je kg"_s, &A::EKProKg},
    {u"Breite"_s, u"Breite"_s, &A::Breite},
    {u"Laenge"_s, u"Länge"_s, &A::Laenge},
    {u"Dicke"_s, u"Dicke"_s, &A::Dicke},
    {u"Dichte"_s, u"Dichte"_s, &A::Dichte},
    {u"Oberflaeche"_s, u"Oberfläche"_s, &A::Oberflaeche},
    {u"Volumen"_s, u"Volumen"_s, &A::Volumen},
    {u"GewichtQm"_s, u"Gewicht je qm"_s, &A::GewichtQm},
    {u"Gewicht"_s, u"Gewicht"_s, &A::Gewicht},
    {u"Verpackungsmenge"_s, u"Verpackungsmenge"_s, &A::Verpackungsmenge},
    {u"VerpackungsME"_s, u"Verpackungseinheit"_s, &A::VerpackungsME},
    {u"Arbeitszeit"_s, u"Arbeitszeit"_s, &A::Arbeitszeit},
    {u"Lohn"_s, u"Lohn"_s, &A::Lohn},
    {u"OhneRabatt"_s, u"Ohne Rabatt"_s, &A::OhneRabatt},
    {u"OhneProvision"_s, u"Ohne Provision"_s, &A::OhneProvision},
    {u"EKSperre"_s, u"EK-Sperre"_s, &A::EKSperre},
    {u"VKSperre"_s, u"VK-Sperre"_s, &A::VKSperre},
    {u"KeineEKPflege"_s, u"Keine EK-Preispflege"_s, &A::KeineEKPflege},
    {u"Kurztext"_s, u"Kurztext"_s, &A::Kurztext},
    {u"Langtext"_s, u"Langtext"_s, &A::Langtext},
    {u"Etikett"_s, u"Etikett"_s, &A::Etikett},
    // Written by whoever saves or books the article, so a file does not set them.
    {u"Created"_s, QString(), &A::Created},
    {u"CreatedBy"_s, QString(), &A::CreatedBy},
    {u"Changed"_s, QString(), &A::Changed},
    {u"ChangedBy"_s, QString(), &A::ChangedBy},
    {u"LetzteSeriennummer"_s, QString(), &A::LetzteSeriennummer},
    {u"ExtensionData"_s, QString(), &A::ExtensionData},
};
} // namespace

std::span<const TLagerArtikelFeld> TLagerArtikelFeld::All()
{
    return kFields;
}

const TLagerArtikelFeld *TLagerArtikelFeld::ByKey(QStringView key)
{
    for (const F &f : kFields)
        if (f.key == key)
            return &f;
    return nullptr;
}

const TLagerArtikelFeld *TLagerArtikelFeld::ByHeader(QStringView header)
{
    const QStringView name = header.trimmed();
    for (const F &f : kFields)
        if (!f.header.isEmpty() && name.compare(f.header, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

qint64 TLagerArtikelFeld::Integer(const TLagerArtikelDaten &a) const
{
    if (IsInt32())
        return a.*std::get<4>(member);
    return a.*std::get<5>(member);
}

bool TLagerArtikelFeld::SetInteger(TLagerArtikelDaten &a, qint64 value) const
{
    if (maximum >= 0 && value > maximum)
        return false;
    if (IsInt32()) {
        if (value < std::numeric_limits<qint32>::min() ||
            value > std::numeric_limits<qint32>::max())
            return false;
        a.*std::get<4>(member) = qint32(value);
        return true;
    }
    if (value < 0 || value > 255)
        return false;
    a.*std::get<5>(member) = quint8(value);
    return true;
}
