#include "tools/suitegen/ordergenerator.h"

#include "ordering/bestellserverobj.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

namespace
{

// Fixed, so that two runs with the same options write the same orders.
const QDate kFirstOrderDate(2026, 1, 5);
constexpr int kBaseOrders = 18;
// The supplier's article number that marks the line stored with price unit 0, as older
// versions of the ordering module wrote it.
const QString kZeroPriceUnitMark = u"PE0-"_s;

struct Supplier {
    const char16_t *id;
    const char16_t *text;
    const char16_t *catalog;
};

const Supplier kSuppliers[] = {
    {u"10001", u"Sanitaer Grosshandel Nord GmbH, Hafenstr. 3, 28195 Bremen", u"SANHA"},
    {u"10002", u"Heizungsbau Mueller & Soehne KG, Ringstr. 12, 50667 Koeln", u""},
    {u"10003", u"Rohr + Pumpe GmbH, Am Werk 1, 80331 Muenchen", u"DATANORM1"},
};

const char16_t *const kSubjects[] = {u"Heizung Keller",     u"Bad Obergeschoss",
                                     u"Kundendienst Lager", u"Solaranlage Dach",
                                     u"Baustelle Nord",     u"Wartung Kessel"};

const char16_t *const kArticles[][2] = {
    {u"Kupferrohr 15 mm", u"m"},    {u"Pressfitting Bogen 90 Grad", u"Stk"},
    {u"Thermostatventil", u"Stk"},  {u"Heizkoerper 600x1000", u"Stk"},
    {u"Waschtischarmatur", u"Stk"}, {u"Daemmschlauch 22 mm", u"m"},
    {u"Umwaelzpumpe", u"Stk"},      {u"Kugelhahn 1 Zoll", u"Stk"},
};

class Random
{
public:
    explicit Random(quint32 seed) : m_engine(seed) {}
    // 0 to n - 1; the engine's raw output, so the numbers do not depend on the library.
    int Below(int n) { return int(m_engine() % quint32(n)); }

private:
    std::mt19937 m_engine;
};

void addTextLine(TBestellServerObj &order)
{
    auto line = std::make_unique<TBestellartikel>();
    line->Typ = u"T"_s;
    line->Anzeigetext = u"Hinweis: Anlieferung bitte ueber den Hof"_s;
    line->Langtext = u"Ansprechpartner vor Ort\r\nHerr Becker"_s;
    order.Artikel.Add(std::move(line));
}

void addLine(TBestellServerObj &order, Random &random, int number, const QString &typ)
{
    auto line = std::make_unique<TBestellartikel>();
    line->Typ = typ;
    const auto &article = kArticles[random.Below(int(std::size(kArticles)))];
    line->Anzeigetext = QString::fromUtf16(article[0]);
    line->Mengeneinheit = QString::fromUtf16(article[1]);
    if (typ == u"N")
        line->ArtikelNr = u"10%1"_s.arg(random.Below(9000) + 1, 4, 10, QLatin1Char('0'));
    line->BestellNr = u"L-%1"_s.arg(number * 100 + int(order.Artikel.Count()));
    line->Menge = double(1 + random.Below(20));
    line->EK = double(100 + random.Below(99900)) / 100;
    // Every fourth line is priced per 100, as fittings often are.
    if (random.Below(4) == 0) {
        line->PE = 100;
        line->Menge *= 50;
    }
    const double discounts[] = {0, 0, 5, 12.5, 33};
    line->Rabatt = discounts[random.Below(int(std::size(discounts)))];
    order.Artikel.Add(std::move(line));
}

// Delivered quantities that agree with the order's state.
void deliver(TBestellServerObj &order, Random &random)
{
    const auto state = OrderState(order.Stadium);
    bool partial = false;
    for (TBestellartikel &line : order.Artikel) {
        if (line.IsTextLine())
            continue;
        if (state == OrderState::Geliefert) {
            line.Geliefert = line.Menge;
        } else if (state == OrderState::Teillieferung && !partial) {
            line.Geliefert = std::max(1.0, std::floor(line.Menge / 2));
            if (line.Geliefert >= line.Menge)
                line.Geliefert = 0;
            partial = line.Geliefert > 0;
        } else if (state == OrderState::Teillieferung && random.Below(2) == 0) {
            line.Geliefert = line.Menge;
        }
    }
    if (state == OrderState::Teillieferung && !partial) {
        TBestellartikel &first = order.Artikel[0];
        first.Menge = std::max(first.Menge, 2.0);
        first.Geliefert = 1;
    }
}

void fillOrder(TBestellServerObj &order, Random &random, int number)
{
    const double date = DateTime::fromQDate(kFirstOrderDate.addDays(number * 3));
    order.BestellNr = u"B%1-%2"_s.arg(kFirstOrderDate.year()).arg(number, 4, 10, QLatin1Char('0'));
    order.Anzeigetext = QString::fromUtf16(kSubjects[random.Below(int(std::size(kSubjects)))]) +
                        u" "_s + QString::number(number);
    order.Datum = date;
    order.LieferDatum = date + 14;
    order.Angelegt = date + 0.375;
    order.AngelegtVon = u"ADMIN"_s;
    order.Geaendert = order.Angelegt;
    order.GeaendertVon = u"ADMIN"_s;
    order.Waehrung = u"EURO"_s;
    order.WaehrungK = u"EUR"_s;
    // Every state occurs, open and partly delivered ones most.
    static const OrderState states[] = {
        OrderState::OffeneLieferung, OrderState::Teillieferung, OrderState::Geliefert,
        OrderState::InBearbeitung,   OrderState::Storniert,     OrderState::Unbekannt,
        OrderState::OffeneLieferung, OrderState::Teillieferung,
    };
    order.Stadium = quint8(states[number % int(std::size(states))]);
    const Supplier &supplier = kSuppliers[number % int(std::size(kSuppliers))];
    order.BestellAdr = {QString::fromUtf16(supplier.id), QString::fromUtf16(supplier.text),
                        QString::fromUtf16(supplier.catalog)};
    order.LieferAdr = {u"0"_s, u"Eigenes Lager"_s};
    order.RgAdr = {u"0"_s, u"Eigene Firma"_s};
    if (number % 5 == 0) {
        order.WV = order.LieferDatum + (number % 2 ? 0.5 : 0);
        order.WVText = u"Liefertermin pruefen"_s;
        order.WVUser = u"LAGER"_s;
    }
    if (number % 4 == 0)
        order.Kennzeichen = {u"Eilig"_s};

    const int lines = 1 + random.Below(6);
    for (int i = 0; i < lines; ++i) {
        addLine(order, random, number, random.Below(4) == 0 ? u"F"_s : u"N"_s);
        if (i == 0 && number % 3 == 0)
            addTextLine(order);
    }
    if (number % 7 == 1) {
        TBestellartikel &first = order.Artikel[0];
        first.BestellNr = kZeroPriceUnitMark + QString::number(number);
        first.PE = 0;
    }
    deliver(order, random);
    order.CalcNetto(false);
}

// The writer always stores price units of at least 1; older orders carry 0.
void restoreZeroPriceUnit(IModBestellDBServerObj &db, const TBestellServerObj &order)
{
    const TBestellartikel &first = order.Artikel[0];
    if (!first.BestellNr.startsWith(kZeroPriceUnitMark))
        return;
    TTdbTable &table = *db.Table();
    TField &field = table.FieldByName(u"XMLBDATA"_s);
    QString text = field.AsString();
    const QString mark = u"bnr=\""_s + first.BestellNr + u'"';
    const qsizetype at = text.indexOf(mark);
    const qsizetype pe = at < 0 ? -1 : text.indexOf(u" pe=\"1\""_s, at);
    if (pe < 0)
        return;
    text.replace(pe, 7, u" pe=\"0\""_s);
    table.Edit();
    table.FieldByName(u"XMLBDATA"_s).SetAsString(text);
    table.Post();
}

} // namespace

bool GenerateOrders(const SuiteGenerator::Options &options, const QString &root, QString *error)
{
    const QString dir = root + u"DATA/"_s + options.client.toUpper() + u"/BESTELLWESEN/"_s;
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = u"cannot create "_s + dir;
        return false;
    }

    TBestellwesenConfig config;
    config.StdLiefAdr = {u"0"_s, u"Eigenes Lager"_s};
    config.StdRgAdr = {u"0"_s, u"Eigene Firma"_s};
    config.EigeneAdrId = u"0"_s;
    config.Kennzeichen = {u"Eilig"_s, u"Abholung"_s, u"Fax"_s};
    config.PosBeschrGenType = 1;
    config.AutoSearchLagerartikel = true;
    config.AutoFillBestellNr = true;
    try {
        config.SaveToFile(dir + u"CONFIG.XML"_s);
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return false;
    }

    IModBestellDBServerObj db;
    if (!db.Open(dir)) {
        if (error)
            *error = u"cannot open the order table in "_s + dir;
        return false;
    }
    Random random(options.seed ^ 0x5EED0501u);
    const int count = kBaseOrders + std::min(options.articles / 100, 500);
    for (int number = 1; number <= count; ++number) {
        TBestellServerObj order;
        fillOrder(order, random, number);
        if (db.WriteOrder(&order, true) != 0) {
            if (error)
                *error = u"cannot write order "_s + order.BestellNr;
            return false;
        }
        try {
            restoreZeroPriceUnit(db, order);
        } catch (const std::exception &e) {
            if (error)
                *error = QString::fromLocal8Bit(e.what());
            return false;
        }
    }
    db.Close();
    return true;
}
