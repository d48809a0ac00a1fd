#include "tools/suitegen/stockassortment.h"

#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <cmath>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace
{

struct Group {
    const char16_t *name;
    const char16_t *prefix;   // of the article numbers
    const char16_t *discount; // key of the discount group; empty for services
    int firstShelf;           // each group keeps two shelves; 0 for services
    double surcharge;         // purchase to sale price
};

enum GroupIndex {
    Rohre,
    Fittings,
    Armaturen,
    Heizung,
    Sanitaer,
    Befestigung,
    Dichtungen,
    Leistung
};

const Group kGroups[] = {
    {u"ROHRE", u"ROH", u"RG1", 1, 1.45},      {u"FITTINGS", u"FIT", u"RG1", 3, 1.6},
    {u"ARMATUREN", u"ARM", u"RG2", 5, 1.5},   {u"HEIZUNG", u"HZG", u"RG3", 7, 1.35},
    {u"SANITAER", u"SAN", u"RG4", 9, 1.45},   {u"BEFESTIGUNG", u"BEF", u"RG5", 11, 1.8},
    {u"DICHTUNGEN", u"DIC", u"RG5", 13, 1.8}, {u"LEISTUNG", u"LEI", u"", 0, 1.0},
};
constexpr int kShelves = 14;
constexpr int kCompartments = 8;

const std::pair<const char16_t *, const char16_t *> kDiscountGroups[] = {
    {u"RG1", u"Rohre und Fittings"},
    {u"RG2", u"Armaturen"},
    {u"RG3", u"Heizung"},
    {u"RG4", u"Sanitär"},
    {u"RG5", u"Kleinteile, Befestigung und Dichtungen"},
};

// The suite's units as the firm's UNITS.TXT spells them.
const char16_t *const kUnits[] = {u"Stck (Stück)",
                                  u"Stg (Stange)",
                                  u"mm (Millimeter)",
                                  u"qmm (Quadratmillimeter)",
                                  u"cm (Zentimeter)",
                                  u"cm2 (Quadratzentimeter)",
                                  u"cm3 (Kubikzentimeter)",
                                  u"lfm (laufender Meter)",
                                  u"m (Meter)",
                                  u"m2 (Quadratmeter)",
                                  u"m3 (Kubikmeter)",
                                  u"psch (Pauschal)",
                                  u"ohne",
                                  u"Min (Minuten)",
                                  u"Std (Stunden)",
                                  u"g (Gramm)",
                                  u"kg (Kilogramm)",
                                  u"t (Tonne)",
                                  u"l (Liter)"};
const char16_t *const kStck = kUnits[0];
const char16_t *const kStg = kUnits[1];
const char16_t *const kMeter = kUnits[8];
const char16_t *const kPsch = kUnits[11];
const char16_t *const kStd = kUnits[14];
const char16_t *const kLiter = kUnits[18];

enum Picture {
    NoPicture = -1,
    PicPipe,
    PicFitting,
    PicBallValve,
    PicRadiator,
    PicThermostat,
    PicPump
};
const char16_t *const kPictureFiles[] = {u"rohr.png",           u"pressfitting.png",
                                         u"kugelhahn.png",      u"heizkoerper.png",
                                         u"thermostatkopf.png", u"pumpe.png"};

struct Material {
    const char16_t *name;
    double factor; // on the price of the first material
};

enum Flag { Serial = 1, Service = 2, Seasonal = 4 };

// One kind of article. Prices are purchase prices of the smallest and the largest size; the
// sizes between grow geometrically, as fittings and valves do from 1/2" to 2".
struct Kind {
    GroupIndex group;
    const char16_t *name;
    std::initializer_list<const char16_t *> sizes; // empty: one size, none in the text
    std::initializer_list<Material> materials;     // empty: none in the text
    const char16_t *unit;
    double smallest, largest;
    int flags;
    const char16_t *shortText;
    const char16_t *longText; // may be empty
    Picture picture;
};

#define INCH(x) x u"\""
const std::initializer_list<const char16_t *> kInches = {
    INCH(u"1/2"), INCH(u"3/4"), INCH(u"1"), INCH(u"1 1/4"), INCH(u"1 1/2"), INCH(u"2")};
const std::initializer_list<const char16_t *> kPressSizes = {u"15 mm", u"18 mm", u"22 mm", u"28 mm",
                                                             u"35 mm", u"42 mm", u"54 mm"};
const std::initializer_list<Material> kPressMaterials = {{u"Kupfer", 1.0}, {u"Edelstahl", 1.7}};

// One kind to a few lines reads better than one value to a line.
// clang-format off
const Kind kKinds[] = {
    {Rohre, u"Kupferrohr", {u"15x1 mm", u"18x1 mm", u"22x1 mm", u"28x1,5 mm", u"35x1,5 mm",
     u"42x1,5 mm", u"54x2 mm"}, {{u"halbhart", 1.0}}, kMeter, 6.2, 46.0, 0,
     u"Kupferrohr nach DVGW GW 392, blank",
     u"Für Trinkwasser- und Heizungsinstallationen. Lieferung in Stangen zu 5 m, "
     u"Abrechnung je Meter.",
     PicPipe},
    {Rohre, u"Edelstahlrohr", {u"15x1 mm", u"18x1 mm", u"22x1,2 mm", u"28x1,2 mm", u"35x1,5 mm",
     u"42x1,5 mm", u"54x1,5 mm"}, {{u"1.4521", 1.0}}, kMeter, 8.9, 39.0, 0,
     u"Edelstahlrohr für Pressverbindungen", u"Für Trinkwasser, Heizung und Solar. Stangen zu 6 m.",
     PicPipe},
    {Rohre, u"Mehrschichtverbundrohr", {u"16x2 mm", u"20x2 mm", u"26x3 mm", u"32x3 mm"},
     {{u"PE-RT/Al/PE-RT", 1.0}}, kMeter, 1.6, 7.8, 0, u"Verbundrohr für Heizung und Trinkwasser",
     u"Sauerstoffdicht und biegsam, Rolle zu 50 m.", PicPipe},
    {Rohre, u"HT-Rohr", {u"DN 40 x 250 mm", u"DN 50 x 500 mm", u"DN 50 x 1000 mm",
     u"DN 75 x 1000 mm", u"DN 110 x 1000 mm"}, {{u"grau", 1.0}}, kStck, 1.9, 11.5, 0,
     u"Abflussrohr aus PP mit Muffe", u"", NoPicture},
    {Rohre, u"KG-Rohr", {u"DN 110 x 1000 mm", u"DN 125 x 1000 mm", u"DN 160 x 2000 mm"}, {{u"PVC-U",
     1.0}}, kStck, 6.8, 31.0, 0, u"Kanalgrundrohr mit Muffe, SN 4", u"", NoPicture},
    {Rohre, u"Gewinderohr", kInches, {{u"schwarz", 1.0}, {u"verzinkt", 1.25}}, kMeter, 4.1, 19.5, 0,
     u"Gewinderohr mittelschwer nach EN 10255", u"", PicPipe},

    {Fittings, u"Pressfitting Bogen 90°", kPressSizes, kPressMaterials, kStck, 2.9, 39.0, 0,
     u"Pressbogen 90° mit SC-Kontur", u"Für Kupfer- und Edelstahlrohr, Profil M.", PicFitting},
    {Fittings, u"Pressfitting T-Stück", kPressSizes, kPressMaterials, kStck, 4.1, 58.0, 0,
     u"Press-T-Stück, gleichschenklig", u"", PicFitting},
    {Fittings, u"Pressfitting Muffe", kPressSizes, kPressMaterials, kStck, 1.9, 24.0, 0,
     u"Pressmuffe ohne Anschlag", u"", PicFitting},
    {Fittings, u"Pressfitting Reduzierstück", {u"18x15 mm", u"22x15 mm", u"22x18 mm", u"28x22 mm",
     u"35x28 mm", u"42x35 mm", u"54x42 mm"}, kPressMaterials, kStck, 3.2, 36.0, 0,
     u"Reduzierstück Press x Press", u"", PicFitting},
    {Fittings, u"Temperguss Winkel 90°", kInches, {{u"verzinkt", 1.0}, {u"schwarz", 0.85}}, kStck,
     0.95, 12.5, 0, u"Winkel 90° IG x IG, Temperguss", u"", NoPicture},
    {Fittings, u"Temperguss Muffe", kInches, {{u"verzinkt", 1.0}, {u"schwarz", 0.85}}, kStck, 0.8,
     9.6, 0, u"Muffe IG x IG, Temperguss", u"", NoPicture},
    {Fittings, u"Doppelnippel", kInches, {{u"Messing", 1.0}, {u"verzinkt", 0.7}}, kStck, 1.1, 14.0,
     0, u"Doppelnippel AG x AG", u"", NoPicture},
    {Fittings, u"Verschlusskappe", {INCH(u"1/2"), INCH(u"3/4"), INCH(u"1"), INCH(u"1 1/4")},
     {{u"verzinkt", 1.0}}, kStck, 0.7, 4.2, 0, u"Kappe mit Innengewinde", u"", NoPicture},

    {Armaturen, u"Kugelhahn", kInches, {{u"Messing", 1.0}, {u"Messing vernickelt", 1.15}}, kStck,
     7.9, 86.0, 0, u"Kugelhahn mit Hebelgriff, IG x IG",
     u"Voller Durchgang, PN 40, für Trinkwasser und Heizung bis 120 °C.", PicBallValve},
    {Armaturen, u"Eckventil", {INCH(u"1/2") u" x " INCH(u"3/8")}, {{u"verchromt", 1.0}}, kStck, 5.8,
     5.8, 0, u"Eckventil mit Schubrosette", u"", NoPicture},
    {Armaturen, u"Rückflussverhinderer", kInches, {{u"Messing", 1.0}}, kStck, 6.4, 58.0, 0,
     u"Rückflussverhinderer, Federkegel", u"", NoPicture},
    {Armaturen, u"Druckminderer", {INCH(u"1/2"), INCH(u"3/4"), INCH(u"1"), INCH(u"1 1/4")},
     {{u"Messing", 1.0}}, kStck, 62.0, 178.0, 0, u"Druckminderer mit Manometer",
     u"Einstellbereich 1,5 bis 6 bar, werkseitig 4 bar.", NoPicture},
    {Armaturen, u"Absperrschieber", {u"DN 50", u"DN 65", u"DN 80", u"DN 100"}, {{u"Grauguss", 1.0}},
     kStck, 118.0, 410.0, 0, u"Flanschschieber, weichdichtend", u"", NoPicture},
    {Armaturen, u"Sicherheitsventil", {INCH(u"1/2") u" 3 bar", INCH(u"3/4") u" 3 bar",
     INCH(u"1") u" 2,5 bar"}, {{u"Messing", 1.0}}, kStck, 9.5, 24.0, 0,
     u"Membran-Sicherheitsventil für Heizungsanlagen", u"", NoPicture},

    {Heizung, u"Heizkörper Typ 22", {u"600x400 mm", u"600x600 mm", u"600x800 mm", u"600x1000 mm",
     u"600x1200 mm", u"600x1400 mm"}, {{u"weiß", 1.0}}, kStck, 78.0, 215.0, Seasonal,
     u"Kompaktheizkörper, 6 Anschlüsse, RAL 9016",
     u"Zwei Platten, zwei Konvektoren. Mit Befestigungsset und Stopfen.", PicRadiator},
    {Heizung, u"Heizkörper Typ 11", {u"600x400 mm", u"600x600 mm", u"600x800 mm", u"600x1000 mm",
     u"600x1200 mm"}, {{u"weiß", 1.0}}, kStck, 54.0, 139.0, Seasonal,
     u"Kompaktheizkörper, 6 Anschlüsse, RAL 9016", u"", PicRadiator},
    {Heizung, u"Heizkörper Typ 33", {u"600x800 mm", u"600x1200 mm", u"900x1000 mm"}, {{u"weiß",
     1.0}}, kStck, 156.0, 348.0, Seasonal, u"Kompaktheizkörper, drei Platten", u"", PicRadiator},
    {Heizung, u"Thermostatventil", {u"DN 10 Eck", u"DN 15 Eck", u"DN 10 Durchgang",
     u"DN 15 Durchgang"}, {{u"vernickelt", 1.0}}, kStck, 11.5, 17.8, Seasonal,
     u"Thermostatventilunterteil, voreinstellbar", u"", NoPicture},
    {Heizung, u"Thermostatkopf Flüssigfühler", {}, {{u"weiß", 1.0}}, kStck, 12.9, 12.9, Seasonal,
     u"Thermostatkopf mit Nullstellung, Anschluss M30 x 1,5", u"", PicThermostat},
    {Heizung, u"Umwälzpumpe Hocheffizienz", {u"25-40 180 mm", u"25-60 180 mm", u"32-60 180 mm",
     u"25-80 180 mm"}, {}, kStck, 168.0, 398.0, Serial | Seasonal,
     u"Hocheffizienzpumpe für Heizungsanlagen, EEI ≤ 0,20",
     u"Regelung nach Differenzdruck konstant oder variabel. Mit Steckeranschluss.", PicPump},
    {Heizung, u"Membran-Ausdehnungsgefäß", {u"18 l", u"25 l", u"35 l", u"50 l", u"80 l"}, {}, kStck,
     27.0, 92.0, 0, u"Ausdehnungsgefäß für geschlossene Heizungsanlagen, 3 bar", u"", NoPicture},
    {Heizung, u"Schnellentlüfter", {INCH(u"3/8"), INCH(u"1/2")}, {{u"Messing", 1.0}}, kStck, 6.9,
     8.4, 0, u"Automatischer Schnellentlüfter mit Absperrventil", u"", NoPicture},
    {Heizung, u"Heizkreisverteiler", {u"2 Kreise", u"3 Kreise", u"4 Kreise"}, {{u"Edelstahl", 1.0}},
     kStck, 96.0, 168.0, 0, u"Verteiler für Fußbodenheizung", u"", NoPicture},
    {Heizung, u"Frostschutz Heizungswasser", {}, {}, kLiter, 3.9, 3.9, 0,
     u"Frostschutz auf Glykolbasis", u"", NoPicture},

    {Sanitaer, u"Röhrensiphon", {INCH(u"1 1/4") u" x 32 mm"}, {{u"Kunststoff weiß", 1.0},
     {u"Messing verchromt", 2.6}}, kStck, 6.4, 6.4, 0, u"Siphon für Waschtische", u"", NoPicture},
    {Sanitaer, u"Unterputz-Spülkasten", {}, {}, kStck, 128.0, 128.0, Serial,
     u"Unterputz-Spülkasten 2-Mengen-Spülung", u"Für Wandeinbau, mit Montagegestell.", NoPicture},
    {Sanitaer, u"Waschtischarmatur Einhebel", {}, {{u"verchromt", 1.0}}, kStck, 58.0, 58.0, 0,
     u"Einhebelmischer mit Zugstangen-Ablaufgarnitur", u"", NoPicture},
    {Sanitaer, u"Brausegarnitur", {u"Stange 600 mm", u"Stange 900 mm"}, {{u"verchromt", 1.0}},
     kStck, 34.0, 62.0, 0, u"Brausestange mit Handbrause und Schlauch", u"", NoPicture},
    {Sanitaer, u"WC-Sitz mit Absenkautomatik", {}, {{u"weiß", 1.0}}, kStck, 39.0, 39.0, 0,
     u"WC-Sitz Duroplast, abnehmbar", u"", NoPicture},
    {Sanitaer, u"Ablaufgarnitur", {INCH(u"1 1/4")}, {{u"verchromt", 1.0}}, kStck, 14.5, 14.5, 0,
     u"Ablaufventil mit Stopfen", u"", NoPicture},

    {Befestigung, u"Rohrschelle", {u"15-19 mm", u"20-23 mm", u"26-30 mm", u"32-36 mm", u"40-44 mm",
     u"48-53 mm"}, {{u"verzinkt", 1.0}}, kStck, 0.62, 2.4, 0,
     u"Rohrschelle mit Gummieinlage, Anschluss M8/M10", u"", NoPicture},
    {Befestigung, u"Gewindestange", {u"M8 x 1000 mm", u"M10 x 1000 mm", u"M12 x 1000 mm"},
     {{u"verzinkt", 1.0}}, kStck, 1.15, 3.6, 0, u"Gewindestange DIN 976", u"", NoPicture},
    {Befestigung, u"Sechskantschraube", {u"M8x40", u"M10x50", u"M12x60"}, {{u"verzinkt", 1.0}},
     kStck, 0.09, 0.31, 0, u"Sechskantschraube DIN 933, 8.8", u"", NoPicture},
    {Befestigung, u"Dübel", {u"6x30", u"8x40", u"10x50", u"12x60"}, {{u"Nylon", 1.0}}, kStck, 0.04,
     0.16, 0, u"Spreizdübel für Beton und Vollstein", u"", NoPicture},
    {Befestigung, u"Montageschiene", {u"27/18 x 2000 mm", u"41/21 x 2000 mm"}, {{u"verzinkt", 1.0}},
     kStg, 9.8, 16.5, 0, u"Montageschiene, gelocht", u"", NoPicture},

    {Dichtungen, u"Flachdichtung", kInches, {{u"Fiber", 1.0}, {u"EPDM", 1.2}}, kStck, 0.12, 0.85, 0,
     u"Flachdichtung für Verschraubungen", u"", NoPicture},
    {Dichtungen, u"O-Ring", {u"12x2", u"18x2,5", u"22x3", u"28x3"}, {{u"EPDM", 1.0}}, kStck, 0.09,
     0.35, 0, u"O-Ring, trinkwassergeeignet", u"", NoPicture},
    {Dichtungen, u"Dichthanf", {u"Zopf 100 g", u"Zopf 200 g"}, {}, kStck, 2.4, 4.1, 0,
     u"Langfaserhanf für Gewindeverbindungen", u"", NoPicture},
    {Dichtungen, u"Gewindedichtfaden", {u"50 m", u"160 m"}, {}, kStck, 6.8, 15.9, 0,
     u"Dichtfaden für Metall- und Kunststoffgewinde", u"", NoPicture},
    {Dichtungen, u"Dichtpaste", {u"65 g Tube", u"300 g Dose"}, {}, kStck, 3.9, 9.5, 0,
     u"Dichtpaste für Hanfverbindungen", u"", NoPicture},

    {Leistung, u"Montagestunde", {u"Geselle", u"Meister"}, {}, kStd, 42.0, 55.0, Service,
     u"Arbeitszeit je angefangene Stunde", u"", NoPicture},
    {Leistung, u"Anfahrtspauschale", {u"Zone 1", u"Zone 2"}, {}, kPsch, 18.0, 29.0, Service,
     u"Anfahrt innerhalb der Zone", u"", NoPicture},
    {Leistung, u"Entsorgung Altgerät", {}, {}, kPsch, 15.0, 15.0, Service,
     u"Fachgerechte Entsorgung eines Altgeräts", u"", NoPicture},
};
// clang-format on
#undef INCH

constexpr int kKindCount = int(std::size(kKinds));

qint64 cents(double euros)
{
    return std::llround(euros * 100);
}

// The quantities of a period as the article window writes them.
QString quantityText(int n)
{
    return QString::number(n) + u",000"_s;
}

QString period(const char16_t *from, const char16_t *to, int mb, int bm)
{
    return u"<from>"_s + QString::fromUtf16(from) + u"</from><to>"_s + QString::fromUtf16(to) +
           u"</to><mb>"_s + quantityText(mb) + u"</mb><bm>"_s + quantityText(bm) + u"</bm>"_s;
}

} // namespace

void StockAssortment::FillArticle(QRandomGenerator &rng, int i, TLagerArtikelDaten &a)
{
    const int kindIndex = rng.bounded(kKindCount);
    const Kind &kind = kKinds[kindIndex];
    const Group &group = kGroups[kind.group];
    const int sizeCount = int(kind.sizes.size());
    const int size = sizeCount ? rng.bounded(sizeCount) : 0;
    const int materialCount = int(kind.materials.size());
    const Material *material =
        materialCount ? kind.materials.begin() + rng.bounded(materialCount) : nullptr;

    a.LagerArtikelNr = QString::fromUtf16(group.prefix) + QString::number(100000 + i);
    QString text = QString::fromUtf16(kind.name);
    if (material)
        text += u' ' + QString::fromUtf16(material->name);
    if (sizeCount)
        text += u' ' + QString::fromUtf16(*(kind.sizes.begin() + size));
    a.Bezeichnung = text.left(81);
    a.Gruppe = QString::fromUtf16(group.name);
    a.Rabattgruppen = QString::fromUtf16(group.discount);
    if (group.firstShelf > 0)
        a.Lagerort = u"R%1-F%2"_s.arg(group.firstShelf + rng.bounded(2), 2, 10, QLatin1Char('0'))
                         .arg(rng.bounded(1, kCompartments + 1), 2, 10, QLatin1Char('0'));
    a.ME = QString::fromUtf16(kind.unit);
    a.MwStSatz = 1;

    const double step = sizeCount > 1 ? double(size) / (sizeCount - 1) : 0;
    const double base = kind.smallest * std::pow(kind.largest / kind.smallest, step);
    const double jitter = 0.96 + rng.bounded(9) / 100.0;
    const qint64 ek = qMax<qint64>(1, cents(base * (material ? material->factor : 1) * jitter));
    a.EKPreis = Money::fromRaw(ek * 100);
    a.VKZuschlag = group.surcharge + rng.bounded(11) / 100.0;
    const qint64 vk = cents(ek / 100.0 * a.VKZuschlag);
    a.VKPreis[0] = Money::fromRaw(vk * 100);
    if (rng.bounded(10) < 6)
        a.VKPreis[1] = Money::fromRaw(cents(vk / 100.0 * 0.95) * 100);
    if (rng.bounded(10) < 3)
        a.VKPreis[2] = Money::fromRaw(cents(vk / 100.0 * 0.9) * 100);

    a.Kurztext = QString::fromUtf16(kind.shortText);
    if (*kind.longText)
        a.Langtext = QString::fromUtf16(kind.longText);
    if (kind.picture != NoPicture)
        a.Bilder.Add(QString(), QString::fromUtf16(kPictureFiles[kind.picture]));

    // Fixed times so that two runs write the same files.
    a.Created = 45000 + i % 1000;
    a.CreatedBy = u"Administrator"_s;
    a.Changed = a.Created + i % 7;
    a.ChangedBy = i % 3 ? u"Administrator"_s : u"Lagerist"_s;

    if (kind.flags & Service) {
        a.IsNotBestandsartikel = true;
        a.VKZuschlag = 1.0;
        a.VKPreis[0] = Money::fromRaw(cents(base * 1.6) * 100);
        return;
    }
    // Cheap small parts lie in hundreds, radiators and pumps in ones.
    const double price = ek / 100.0;
    int typical = price < 1 ? 400 : price < 10 ? 120 : price < 100 ? 25 : 6;
    if (kind.unit == kMeter)
        typical *= 4;
    if (kind.flags & Serial)
        a.BuchungsBestand = rng.bounded(7);
    else if (rng.bounded(100) < 5)
        a.BuchungsBestand = -double(rng.bounded(1, 9)); // booked out before the receipt
    else
        a.BuchungsBestand = rng.bounded(typical * 2 + 1);
    a.Anfangsbestand = rng.bounded(typical + 1);
    a.SummeWareneingangMe =
        a.BuchungsBestand > 0 ? a.BuchungsBestand + rng.bounded(typical * 3 + 1) : 0;
    a.Inventurartikel = rng.bounded(5) == 0;
    a.SNPflicht = kind.flags & Serial;

    // The installation's three periods; heating parts are wanted more in the heating season.
    const int mb = qMax(1, typical / 5);
    const int winter = kind.flags & Seasonal ? mb * 2 : mb;
    const int summer = kind.flags & Seasonal ? qMax(1, mb / 2) : mb;
    a.MindestBestand = {period(u"0101", u"3103", winter, winter * 2),
                        period(u"0104", u"3009", summer, summer * 2),
                        period(u"0110", u"3112", winter, winter * 2)};

    // German manufacturers' codes: 40, the kind, the article.
    a.EAN = Ean13(u"40%1%2"_s.arg(kindIndex, 2, 10, QLatin1Char('0'))
                      .arg(i % 100000000, 8, 10, QLatin1Char('0')));
}

QStringList StockAssortment::Units()
{
    QStringList units;
    for (const char16_t *unit : kUnits)
        units.append(QString::fromUtf16(unit));
    return units;
}

QString StockAssortment::Ean13(const QString &twelveDigits)
{
    int sum = 0;
    for (qsizetype p = 0; p < twelveDigits.size(); ++p)
        sum += twelveDigits[p].digitValue() * (p % 2 ? 3 : 1);
    return twelveDigits + QChar(u'0' + (10 - sum % 10) % 10);
}

bool StockAssortment::WriteConfig(const QString &stockDir, QString *error)
{
    TLagerConfig config;
    for (const Group &g : kGroups)
        config.Artikelgruppen.append(QString::fromUtf16(g.name));
    for (int shelf = 1; shelf <= kShelves; ++shelf)
        for (int compartment = 1; compartment <= kCompartments; ++compartment)
            config.Lagerorte.append(u"R%1-F%2"_s.arg(shelf, 2, 10, QLatin1Char('0'))
                                        .arg(compartment, 2, 10, QLatin1Char('0')));
    for (const auto &[key, text] : kDiscountGroups)
        config.Rabattgruppen.Add(QString::fromUtf16(key), QString::fromUtf16(text));
    const QString path = TLagerConfig::FileNameIn(stockDir);
    if (!QDir().mkpath(stockDir)) {
        if (error)
            *error = u"cannot create directory %1"_s.arg(stockDir);
        return false;
    }
    config.SaveToFile(path);
    if (QFileInfo::exists(path))
        return true;
    if (error)
        *error = u"cannot write %1"_s.arg(path);
    return false;
}

namespace
{

// Plain drawings of the kinds, enough to tell them apart in the article window.
QImage drawPicture(Picture picture)
{
    QImage image(96, 96, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor brass(196, 160, 60), copper(190, 110, 60), steel(170, 175, 180), red(200, 40, 40),
        white(245, 245, 245), dark(60, 60, 60);
    p.setPen(QPen(dark, 2));
    switch (picture) {
    case PicPipe:
        p.setBrush(copper);
        p.drawRoundedRect(QRectF(6, 38, 84, 20), 6, 6);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(80, 40, 10, 16));
        break;
    case PicFitting: {
        QPainterPath elbow;
        elbow.moveTo(20, 90);
        elbow.lineTo(20, 40);
        elbow.quadTo(20, 20, 40, 20);
        elbow.lineTo(90, 20);
        p.setPen(QPen(copper, 18, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(elbow);
        p.setPen(QPen(dark, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(9, 70, 22, 10));
        p.drawRect(QRectF(70, 9, 10, 22));
        break;
    }
    case PicBallValve:
        p.setBrush(brass);
        p.drawRect(QRectF(8, 44, 80, 22));
        p.drawEllipse(QRectF(30, 34, 36, 42));
        p.setBrush(red);
        p.drawRoundedRect(QRectF(44, 14, 46, 12), 4, 4);
        p.drawRect(QRectF(44, 24, 8, 14));
        break;
    case PicRadiator:
        p.setBrush(white);
        p.drawRect(QRectF(6, 20, 84, 56));
        for (int x = 14; x < 88; x += 8)
            p.drawLine(QPointF(x, 24), QPointF(x, 72));
        p.setBrush(steel);
        p.drawRect(QRectF(10, 76, 8, 10));
        p.drawRect(QRectF(78, 76, 8, 10));
        break;
    case PicThermostat:
        p.setBrush(white);
        p.drawRoundedRect(QRectF(28, 8, 40, 66), 14, 14);
        for (int y = 20; y < 66; y += 9)
            p.drawLine(QPointF(34, y), QPointF(62, y));
        p.setBrush(steel);
        p.drawRect(QRectF(36, 74, 24, 14));
        break;
    case PicPump:
        p.setBrush(red);
        p.drawEllipse(QRectF(26, 18, 44, 44));
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(36, 56, 24, 26));
        p.setBrush(steel);
        p.drawRect(QRectF(6, 62, 84, 14));
        break;
    case NoPicture:
        break;
    }
    return image;
}

} // namespace

bool StockAssortment::WritePictures(const QString &imagesDir, QString *error)
{
    if (!QDir().mkpath(imagesDir)) {
        if (error)
            *error = u"cannot create directory %1"_s.arg(imagesDir);
        return false;
    }
    for (int i = 0; i < int(std::size(kPictureFiles)); ++i) {
        const QString path = QDir(imagesDir).filePath(QString::fromUtf16(kPictureFiles[i]));
        if (!drawPicture(Picture(i)).save(path, "PNG")) {
            if (error)
                *error = u"cannot write %1"_s.arg(path);
            return false;
        }
    }
    return true;
}
