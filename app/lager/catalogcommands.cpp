#include "app/lager/lagercommand.h"
#include "base/inifile.h"
#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/searchtextmanager.h"
#include "persistence/engine/engineerror.h"
#include "stock/lagercsv.h"
#include "suite/systemeinstellungen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace
{
QString tsvCell(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

QString money(Money m)
{
    return LagerCsv::MoneyCell(m.raw());
}

std::unique_ptr<TKatalogDBPool> makePool()
{
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    return std::make_unique<TKatalogDBPool>(sys.KatalogeDir, sys.LagerDir,
                                            &TLogHelper::DatabaseError);
}

// The catalog's item with its database open; null after telling the user why not.
TKatalogDBPoolItem *openCatalog(TKatalogDBPool &pool, const QString &name, int &exitCode)
{
    TKatalogDBPoolItem *item = pool.GetItem(name, true);
    if (!item || (item->Kind != kkSimple && item->Kind != kkDatanorm)) {
        ShowError(formatText(tx("Katalog \"%s\" nicht gefunden."), {name.trimmed()}));
        exitCode = LagerExit::NotFound;
        return nullptr;
    }
    try {
        item->GetDB();
    } catch (const EngineError &e) {
        ShowError(e.message());
        exitCode = LagerExit::Failed;
        return nullptr;
    }
    return item;
}

bool checkFormat(const QString &format, std::initializer_list<const char16_t *> allowed)
{
    for (const char16_t *a : allowed)
        if (format == QStringView(a))
            return true;
    ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
    return false;
}

QJsonArray moneyArray(const std::array<Money, 4> &prices)
{
    QJsonArray a;
    for (const Money &m : prices)
        a.append(m.toDouble());
    return a;
}

QJsonObject datanormJson(const TKatalog1Artikel &a, const TKatalogPreisEinstellungen &prices)
{
    QJsonArray langtext;
    QJsonArray pictures;
    for (const TKatalog1AnbindObj &g : a.AnbindObjekte)
        pictures.append(QJsonObject{{u"Typ"_s, int(g.Typ)},
                                    {u"Beschreibung"_s, g.Beschreibung},
                                    {u"Datei"_s, g.Dateiname + u'.' + g.Erweiterung}});
    QJsonArray scales;
    for (const TKatalog1Staffelpreis &s : a.Staffelpreise)
        scales.append(QJsonObject{{u"Text"_s, s.Text},
                                  {u"VonMenge"_s, s.VonMenge},
                                  {u"BisMenge"_s, s.BisMenge},
                                  {u"Wert"_s, s.Wert.toDouble()}});
    return QJsonObject{
        {u"ArtikelNr"_s, a.ArtikelNr},
        {u"KurzZeile1"_s, a.KurzZeile1},
        {u"KurzZeile2"_s, a.KurzZeile2},
        {u"Listenpreis"_s, a.Listenpreis.toDouble()},
        {u"Rabatt"_s, a.Rabatt},
        {u"Netto"_s, a.Netto.toDouble()},
        {u"PreisKZ"_s, int(a.PreisKZ)},
        {u"Preiseinheit"_s, a.Preiseinheit},
        {u"VKZuschlag"_s, a.VKZuschlag},
        {u"VKPreis1"_s, a.VKPreis1(prices.FullCurrency).toDouble()},
        {u"VKPreise2bis5"_s, moneyArray(a.VKPreise)},
        {u"ME"_s, a.ME},
        {u"Matchcode"_s, a.Matchcode},
        {u"Katalogseite"_s, a.Katalogseite},
        {u"Rabattgruppe"_s, a.Rabattgruppe},
        {u"Hauptwarengruppe"_s, a.Hauptwarengruppe},
        {u"Warengruppe"_s, a.Warengruppe},
        {u"Kostenart"_s, a.Kostenart},
        {u"EAN"_s, a.EAN},
        {u"Verpackungsmenge"_s, a.Verpackungsmenge},
        {u"Langtext"_s, a.Langtext},
        {u"Staffelpreise"_s, scales},
        {u"Grafiken"_s, pictures},
    };
}

QJsonObject simpleJson(const TKatalog2Artikel &a, const TKatalogPreisEinstellungen &prices)
{
    QJsonArray pictures;
    for (const TDoubleString &b : a.Bilder)
        pictures.append(QJsonObject{{u"Beschreibung"_s, b.Key}, {u"Datei"_s, b.Value}});
    return QJsonObject{
        {u"ArtikelNr"_s, a.ArtikelNr},
        {u"Beschreibung"_s, a.Beschreibung},
        {u"EK"_s, a.EK.toDouble()},
        {u"Rabatt"_s, a.Rabatt},
        {u"Netto"_s, a.Nettopreis(prices.FullCurrency).toDouble()},
        {u"VKZuschlag"_s, a.VKZuschlag},
        {u"VKPreis1"_s, a.VKPreis1.toDouble()},
        {u"VKPreise2bis5"_s, moneyArray(a.VKPreise)},
        {u"MwStSatz"_s, int(a.MwStSatz)},
        {u"ME"_s, a.ME},
        {u"Preiseinheit"_s, a.Preiseinheit},
        {u"Verpackungsmenge"_s, a.Verpackungsmenge},
        {u"Rabattgruppe"_s, a.Rabattgruppe},
        {u"Info"_s, a.Info},
        {u"Kurztext"_s, a.Kurztext},
        {u"Langtext"_s, a.Langtext},
        {u"Bilder"_s, pictures},
    };
}
} // namespace

int CatalogList(LagerSession &, const LagerArgs &)
{
    const std::unique_ptr<TKatalogDBPool> pool = makePool();
    QString out = u"Katalog\tArt\tBeschreibung\tLieferant\tLieferanten-Info\n"_s;
    for (int i = 0; i < pool->Count(); ++i) {
        const TKatalogDBPoolItem &item = pool->Item(i);
        if (item.Kind == kkStock)
            continue;
        const IniFile ini(item.Directory + u"SUPPLIER.INI"_s);
        out += QStringList{tsvCell(item.CatalogName), tx(KatalogKindLabel(item.Kind)),
                           tsvCell(ini.readString(u"Catalog"_s, u"Description"_s)),
                           tsvCell(item.SupplierID), tsvCell(item.SupplierInfo)}
                   .join(u'\t') +
               u'\n';
    }
    WriteOut(out);
    return LagerExit::Done;
}

int CatalogSearch(LagerSession &, const LagerArgs &args)
{
    if (args.positional.size() < 2) {
        ShowError(tx("Katalogname und Suchwoerter fehlen."));
        return LagerExit::Usage;
    }
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (!checkFormat(format, {u"tsv", u"json"}))
        return LagerExit::Usage;
    const std::unique_ptr<TKatalogDBPool> pool = makePool();
    int exitCode = LagerExit::Done;
    TKatalogDBPoolItem *item = openCatalog(*pool, args.positional[0], exitCode);
    if (!item)
        return exitCode;
    const bool datanorm = item->Kind == kkDatanorm;
    // As the views search: the DATANORM view with the catalog's synonyms, the simple one without.
    TSearchtextManager manager(item->Directory,
                               datanorm ? item->Directory + u"STXSYNONYM.TXT"_s : QString());
    if (!manager.Search(args.positional.mid(1).join(u' '), datanorm, false))
        return LagerExit::Failed;

    const bool json = format == u"json";
    QJsonArray array;
    QString out = u"Artikel-Nr.\tText\tNettopreis\tVK-Preis 1\tMengeneinheit\n"_s;
    if (datanorm) {
        auto &db = static_cast<TKatalog1DB &>(*item->GetDB());
        TKatalog1Artikel a;
        for (const QString &nr : manager.Results()) {
            if (!db.GoTo(nr))
                continue; // the index is older than the table
            db.ReadCurrentRow(a);
            a.DetermineVKZuschlag([&db](const QString &g) { return db.SurchargeOfGroup(g); },
                                  [&db](double net) { return db.SurchargeOfNet(net); });
            const Money vk1 = a.VKPreis1(db.Prices.FullCurrency);
            if (json)
                array.append(QJsonObject{{u"ArtikelNr"_s, nr},
                                         {u"Text"_s, a.Kurzzeilen()},
                                         {u"Netto"_s, a.Netto.toDouble()},
                                         {u"VKPreis1"_s, vk1.toDouble()},
                                         {u"ME"_s, a.ME}});
            else
                out += QStringList{tsvCell(nr), tsvCell(a.Kurzzeilen()), money(a.Netto), money(vk1),
                                   tsvCell(a.ME)}
                           .join(u'\t') +
                       u'\n';
        }
    } else {
        auto &db = static_cast<TKatalog2DB &>(*item->GetDB());
        for (const TSearchtextResultKatalog2 &r : db.SearchResults(manager.Results())) {
            if (json)
                array.append(QJsonObject{{u"ArtikelNr"_s, r.ArtikelNr},
                                         {u"Text"_s, r.Beschreibung},
                                         {u"Netto"_s, r.Netto.toDouble()},
                                         {u"VKPreis1"_s, r.VKPreis1.toDouble()},
                                         {u"ME"_s, r.ME}});
            else
                out += QStringList{tsvCell(r.ArtikelNr), tsvCell(r.Beschreibung), money(r.Netto),
                                   money(r.VKPreis1), tsvCell(r.ME)}
                           .join(u'\t') +
                       u'\n';
        }
    }
    WriteOut(json ? QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)) : out);
    return LagerExit::Done;
}

int CatalogShow(LagerSession &, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"json"_s);
    if (!checkFormat(format, {u"json", u"xml"}))
        return LagerExit::Usage;
    const std::unique_ptr<TKatalogDBPool> pool = makePool();
    int exitCode = LagerExit::Done;
    TKatalogDBPoolItem *item = openCatalog(*pool, args.positional[0], exitCode);
    if (!item)
        return exitCode;
    const QString nr = args.positional[1].trimmed();
    const auto notFound = [&] {
        ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {nr}));
        return LagerExit::NotFound;
    };
    if (nr.isEmpty())
        return notFound();
    QJsonObject object;
    QString xml;
    if (item->Kind == kkDatanorm) {
        auto &db = static_cast<TKatalog1DB &>(*item->GetDB());
        TKatalog1Artikel a;
        a.ArtikelNr = nr;
        if (db.ReadArticle(a) != 0)
            return notFound();
        a.Katalog = item->CatalogName;
        object = datanormJson(a, db.Prices);
        xml = a.GetXMLText(true);
    } else {
        auto &db = static_cast<TKatalog2DB &>(*item->GetDB());
        TKatalog2Artikel a;
        a.ArtikelNr = nr;
        if (db.ReadArticle(a) != 0)
            return notFound();
        object = simpleJson(a, db.Prices);
        xml = a.GetXMLText(true);
    }
    if (format == u"xml") {
        WriteBytes(StoredXmlBytes(xml, true));
        return LagerExit::Done;
    }
    object.insert(u"Katalog"_s, item->CatalogName);
    WriteOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
    return LagerExit::Done;
}
