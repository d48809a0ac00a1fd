#include "tools/suitegen/receiptordergenerator.h"

#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace
{
// The receipt demo of the README names these.
const QString kOpenOrder = u"B2026-9001"_s;
const QString kPartOrder = u"B2026-9002"_s;
const QString kGoneArticle = u"WZ-ENTFALLEN"_s;
constexpr double kPacking = 10;
constexpr double kOrderDate = 46027; // 2026-01-05

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

struct Picked {
    std::vector<TLagerServerObj> plain; // the first three stock articles without serial numbers
    std::optional<TLagerServerObj> serial;
};

Picked pick(IModLagerDBServerObj &db)
{
    Picked picked;
    TTdbTable &table = db.LagerTable();
    for (table.First(); !table.Eof(); table.Next()) {
        TLagerServerObj article;
        db.ReadRow(article);
        if (article.IsNotBestandsartikel)
            continue;
        if (article.SNPflicht && !picked.serial)
            picked.serial = std::move(article);
        else if (!article.SNPflicht && picked.plain.size() < 3)
            picked.plain.push_back(std::move(article));
        if (picked.serial && picked.plain.size() == 3)
            break;
    }
    return picked;
}

struct Line {
    const char16_t *typ;
    QString nr;
    QString supplierNr;
    QString text;
    QString unit;
    double ordered;
    double delivered;
    double price;
    double discount = 0;
};

void add(TBestellServerObj &order, const Line &l)
{
    TBestellartikel line;
    line.Typ = QString::fromUtf16(l.typ);
    line.ArtikelNr = l.nr;
    line.BestellNr = l.supplierNr;
    line.Anzeigetext = l.text;
    line.Mengeneinheit = l.unit;
    line.Menge = l.ordered;
    line.Geliefert = l.delivered;
    line.EK = l.price;
    line.Rabatt = l.discount;
    order.Artikel.Add(std::move(line));
}

Line stockLine(const TLagerServerObj &a, double ordered, double delivered, double perUnit = 1)
{
    return {u"N",    a.LagerArtikelNr, u"MU-"_s + a.LagerArtikelNr,   a.Bezeichnung, a.ME,
            ordered, delivered,        a.EKPreis.toDouble() * perUnit};
}

void header(TBestellServerObj &order, const QString &nr, const QString &text, OrderState state,
            double date)
{
    order.BestellNr = nr;
    order.Anzeigetext = text;
    order.Stadium = quint8(state);
    order.Datum = date;
    order.LieferDatum = date + 7;
    order.Angelegt = order.Geaendert = date + 0.375;
    order.AngelegtVon = order.GeaendertVon = u"ADMIN"_s;
    order.Waehrung = u"EURO"_s;
    order.WaehrungK = u"EUR"_s;
    // The wholesaler delivers to the site directly; its catalog is registered for 70001.
    order.BestellAdr = {u"70001"_s, u"Sanitär-Großhandel Müller GmbH"_s, u"MUELLER"_s};
    order.LieferAdr = {u"70001_1"_s, u"Sanitär-Großhandel Müller GmbH, Streckengeschäft"_s};
    order.RgAdr = {u"0"_s, u"Eigene Firma"_s};
}
} // namespace

bool GenerateReceiptOrders(const SuiteGenerator::Options &options, const QString &root,
                           QString *error)
{
    if (options.articles <= 0)
        return true;
    const QString client = root + u"DATA/"_s + options.client.toUpper();
    IModLagerDBServerObj stock;
    Picked picked;
    try {
        stock.Open(client + u"/LAGER/"_s);
        picked = pick(stock);
        if (picked.plain.size() == 3) {
            TLagerServerObj &packed = picked.plain[2];
            packed.Verpackungsmenge = kPacking;
            packed.VerpackungsME = u"Pack"_s;
            if (stock.WriteArticle(&packed) != 0)
                return fail(error, u"cannot give "_s + packed.LagerArtikelNr + u" its packing"_s);
        }
        stock.Close();
    } catch (const std::exception &e) {
        return fail(error, u"cannot read the stock for the receipt orders: "_s +
                               QString::fromUtf8(e.what()));
    }
    if (picked.plain.size() < 3)
        return true; // a stock of services only: nothing to receive

    const TLagerServerObj &a = picked.plain[0];
    const TLagerServerObj &b = picked.plain[1];
    const TLagerServerObj &packed = picked.plain[2];
    TBestellServerObj open;
    header(open, kOpenOrder, u"Wareneingang Vorführung, offen"_s, OrderState::OffeneLieferung,
           kOrderDate);
    add(open, stockLine(a, 10, 0));
    add(open, stockLine(a, 5, 0)); // the same article again: one booking, two history rows
    Line packs = stockLine(packed, 3, 0, kPacking);
    packs.unit = u"Pack"_s;
    add(open, packs);
    if (picked.serial)
        add(open, stockLine(*picked.serial, 2, 0));
    add(open, {u"T", {}, {}, u"Anlieferung über das Rolltor, Halle 2"_s, {}, 0, 0, 0});
    add(open,
        {u"F", {}, u"MU-77310"_s, u"Eckventil mit Filter 1/2 Zoll"_s, u"Stck"_s, 4, 0, 7.85, 5});
    add(open, {u"F", {}, b.LagerArtikelNr, b.Bezeichnung, b.ME, 6, 0, b.EKPreis.toDouble()});
    add(open,
        {u"N", kGoneArticle, u"MU-08150"_s, u"Auslaufmodell Spülkasten"_s, u"Stck"_s, 2, 0, 89.90});

    TBestellServerObj part;
    header(part, kPartOrder, u"Wareneingang Vorführung, teilweise geliefert"_s,
           OrderState::Teillieferung, kOrderDate + 3);
    add(part, stockLine(b, 20, 8));
    add(part, stockLine(a, 4, 4));
    add(part, {u"F",
               {},
               u"MU-55102"_s,
               u"Heizungsfilter Magnetit 3/4 Zoll"_s,
               u"Stck"_s,
               10,
               5,
               64.20,
               10});
    if (picked.serial)
        add(part, stockLine(*picked.serial, 3, 1));
    add(part, {u"T", {}, {}, u"Rest folgt mit der nächsten Tour"_s, {}, 0, 0, 0});

    IModBestellDBServerObj orders;
    if (!orders.Open(client + u"/BESTELLWESEN/"_s))
        return fail(error, u"cannot open the order table of "_s + client);
    for (TBestellServerObj *order : {&open, &part}) {
        order->CalcNetto(false);
        if (orders.WriteOrder(order, true) != 0)
            return fail(error, u"cannot write order "_s + order->BestellNr);
    }
    orders.Close();
    return true;
}
