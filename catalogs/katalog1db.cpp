#include "catalogs/katalog1db.h"

#include "persistence/engine/tablescan.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
bool named(const TTdbTable &t, QLatin1StringView name)
{
    return t.TableName().compare(name, Qt::CaseInsensitive) == 0;
}

Money money(TTdbTable &t, const QString &column)
{
    return Money::fromDouble(t.FieldByName(column).AsFloat());
}

QString text(TTdbTable &t, const QString &column)
{
    return t.FieldByName(column).AsString();
}

double number(TTdbTable &t, const QString &column)
{
    return t.FieldByName(column).AsFloat();
}

// The text columns of CATALOG after "ARBEITSZEIT", in table order, with their widths.
struct TextColumn {
    const char16_t *name;
    int size;
};
constexpr TextColumn kReferenceColumns[] = {
    {u"ALTERNATIVARTIKELNRERSTELLER", 13},
    {u"ALTERNATIVARTIKELNR", 15},
    {u"HERSTELLERNRERSTELLER", 13},
    {u"HERSTELLERNR", 35},
    {u"HERSTELLERTYPE", 35},
    {u"REFERENZNRERSTELLER", 13},
    {u"REFERENZNR", 17},
    {u"EAN", 18},
};

QString *referenceField(TKatalog1ArtikelDaten &a, int i)
{
    QString *fields[] = {&a.AlternativArtikelNrErsteller,
                         &a.AlternativArtikelNr,
                         &a.HerstellerNrErsteller,
                         &a.HerstellerNr,
                         &a.HerstellerType,
                         &a.ReferenzNrErsteller,
                         &a.ReferenzNr,
                         &a.EAN};
    return fields[i];
}

void defineCatalog(TFieldDefs &f, TIndexDefs &ix)
{
    f.Add(u"ID"_s, FieldType::WideString, 15, true);
    f.Add(u"KURZZEILE1"_s, FieldType::WideString, 40);
    f.Add(u"KURZZEILE2"_s, FieldType::WideString, 40);
    f.Add(u"TEXTKZ"_s, FieldType::Byte);
    f.Add(u"LISTENPREIS"_s, FieldType::Float);
    f.Add(u"RABATT"_s, FieldType::Float);
    f.Add(u"NETTO"_s, FieldType::Float);
    f.Add(u"PREISKZ"_s, FieldType::Byte);
    f.Add(u"PREISEINHEIT"_s, FieldType::Integer);
    f.Add(u"LASTNETTO"_s, FieldType::Float);
    f.Add(u"LASTNETTOCHANGED"_s, FieldType::DateTime);
    for (int i = 2; i <= 5; ++i)
        f.Add(u"VKPREIS"_s + QString::number(i), FieldType::Float);
    f.Add(u"ME"_s, FieldType::WideString, 10);
    f.Add(u"MEKALKULATIONSPEZIAL"_s, FieldType::Boolean);
    f.Add(u"MEKALKULATION"_s, FieldType::WideString, 10);
    f.Add(u"MEKALKULATIONUMRECHFAKT"_s, FieldType::Float);
    for (const char16_t *c : {u"OBERFLAECHE", u"VOLUMEN", u"ABWICKLUNG", u"GEWICHT"})
        f.Add(QString::fromUtf16(c), FieldType::Float);
    f.Add(u"MATCHCODE"_s, FieldType::WideString, 15);
    f.Add(u"KATALOGSEITE"_s, FieldType::WideString, 15);
    f.Add(u"RABATTGR"_s, FieldType::WideString, 4);
    f.Add(u"HAUPTWARENGR"_s, FieldType::WideString, 3);
    f.Add(u"WARENGR"_s, FieldType::WideString, 10);
    f.Add(u"KOSTENART"_s, FieldType::WideString, 20);
    f.Add(u"ARBEITSZEIT"_s, FieldType::Float);
    for (const TextColumn &c : kReferenceColumns)
        f.Add(QString::fromUtf16(c.name), FieldType::WideString, c.size);
    f.Add(u"MWSTMERKER"_s, FieldType::Byte);
    f.Add(u"LAGERMERKER"_s, FieldType::Byte);
    f.Add(u"VERPACKUNGSMENGE"_s, FieldType::Integer);
    f.Add(u"LANGTEXTNR"_s, FieldType::WideString, 15);
    f.Add(u"ANBINDNR"_s, FieldType::WideString, 15);
    f.Add(u"XMLDATA"_s, FieldType::WideMemo);
    ix.Add(TKatalog1DB::kIndexId, u"ID"_s, ixUnique);
    ix.Add(u"CATALOG002"_s, u"MATCHCODE;NETTO"_s);
    ix.Add(u"CATALOG003"_s, u"KATALOGSEITE;NETTO"_s);
    ix.Add(u"CATALOG004"_s, u"RABATTGR;NETTO"_s);
    ix.Add(u"CATALOG005"_s, u"HAUPTWARENGR;WARENGR;NETTO"_s);
}
} // namespace

TKatalog1DB::TKatalog1DB(ErrorCallback onError) : TDatabaseWrapper(std::move(onError))
{
    EnsureTableObjects();
}

TKatalog1DB::~TKatalog1DB() = default;

void TKatalog1DB::CreateTableObjects()
{
    m_catalog = AddTable(kCatalog, kIndexId);
    m_langtext = AddTable(kLangtext, u"CATALOGLT001"_s);
    m_sets = AddTable(kSet, u"CATALOGSET001"_s);
    m_graphics = AddTable(kGraphics, u"CATALOGGS001"_s);
    m_discountGroups = AddTable(kDiscountGroups, u"CATALOGRAB001"_s);
    m_goodsGroups = AddTable(kGoodsGroups, u"CATALOGWRG001"_s);
    m_surcharges = AddTable(kSurcharges, u"CATALOGVERK001"_s);
}

void TKatalog1DB::SelectIndexes()
{
    for (const auto &t : Tables())
        t->SetIndexName(t->TableName() + u"001"_s);
}

void TKatalog1DB::DefineTables(TTdbTable &table)
{
    TFieldDefs &f = table.FieldDefs();
    TIndexDefs &ix = table.IndexDefs();
    f.Clear();
    ix.Clear();
    if (named(table, kCatalog)) {
        defineCatalog(f, ix);
    } else if (named(table, kLangtext)) {
        f.Add(u"ID"_s, FieldType::WideString, 15, true);
        f.Add(u"IDTYPE"_s, FieldType::Byte);
        f.Add(u"LT"_s, FieldType::WideMemo);
        ix.Add(u"CATALOGLT001"_s, u"ID"_s);
    } else if (named(table, kSet)) {
        f.Add(u"ID"_s, FieldType::WideString, 15, true);
        f.Add(u"IDTYPE"_s, FieldType::Byte);
        f.Add(u"MATCHCODE"_s, FieldType::WideString, 15);
        f.Add(u"BESCHREIBUNG"_s, FieldType::WideString, 40);
        f.Add(u"AUFRUFMERKER"_s, FieldType::Byte);
        f.Add(u"ARTIKELSET"_s, FieldType::WideString, 15);
        f.Add(u"MENGE"_s, FieldType::Float);
        ix.Add(u"CATALOGSET001"_s, u"ID"_s);
    } else if (named(table, kGraphics)) {
        f.Add(u"ID"_s, FieldType::WideString, 15, true);
        f.Add(u"IDTYPE"_s, FieldType::Byte);
        f.Add(u"BESCHREIBUNG"_s, FieldType::WideString, 40);
        f.Add(u"DATEINAME"_s, FieldType::WideString, 100);
        f.Add(u"ERWEITERUNG"_s, FieldType::WideString, 5);
        ix.Add(u"CATALOGGS001"_s, u"ID"_s);
    } else if (named(table, kDiscountGroups)) {
        f.Add(u"ID"_s, FieldType::WideString, 4, true);
        f.Add(u"BESCHREIBUNG"_s, FieldType::WideString, 40);
        f.Add(u"RABATT"_s, FieldType::Float);
        f.Add(u"VKZUSCHLAG"_s, FieldType::Float);
        ix.Add(u"CATALOGRAB001"_s, u"ID"_s);
    } else if (named(table, kGoodsGroups)) {
        f.Add(u"HAUPTWRG"_s, FieldType::WideString, 3);
        f.Add(u"WRG"_s, FieldType::WideString, 10);
        f.Add(u"ISHAUPTWRG"_s, FieldType::Boolean);
        f.Add(u"BESCHREIBUNG"_s, FieldType::WideString, 40);
        ix.Add(u"CATALOGWRG001"_s, u"HAUPTWRG;WRG"_s, ixUnique);
    } else if (named(table, kSurcharges)) {
        f.Add(u"BISNETTO"_s, FieldType::Float);
        f.Add(u"AUFSCHLAG"_s, FieldType::Float);
        ix.Add(u"CATALOGVERK001"_s, u"BISNETTO"_s, ixUnique);
    }
}

void TKatalog1DB::WriteRow(TKatalog1Artikel &a)
{
    TTdbTable &t = *m_catalog;
    t.FieldByName(u"ID"_s).SetAsString(a.ArtikelNr);
    t.FieldByName(u"KURZZEILE1"_s).SetAsString(a.KurzZeile1);
    t.FieldByName(u"KURZZEILE2"_s).SetAsString(a.KurzZeile2);
    t.FieldByName(u"TEXTKZ"_s).SetAsInteger(a.TextKZ);
    t.FieldByName(u"LISTENPREIS"_s).SetAsFloat(a.Listenpreis.toDouble());
    t.FieldByName(u"RABATT"_s).SetAsFloat(a.Rabatt);
    t.FieldByName(u"NETTO"_s).SetAsFloat(a.Netto.toDouble());
    t.FieldByName(u"PREISKZ"_s).SetAsInteger(a.PreisKZ);
    t.FieldByName(u"PREISEINHEIT"_s).SetAsInteger(a.Preiseinheit);
    t.FieldByName(u"LASTNETTO"_s).SetAsFloat(a.LastNetto.toDouble());
    t.FieldByName(u"LASTNETTOCHANGED"_s).SetAsDateTime(a.LastNettoChanged);
    for (int i = 0; i < 4; ++i)
        t.FieldByName(u"VKPREIS"_s + QString::number(i + 2))
            .SetAsFloat(a.VKPreise[size_t(i)].toDouble());
    t.FieldByName(u"ME"_s).SetAsString(a.ME);
    t.FieldByName(u"MEKALKULATIONSPEZIAL"_s).SetAsBoolean(a.MEKalkulationSpezial);
    t.FieldByName(u"MEKALKULATION"_s).SetAsString(a.MEKalkulation);
    t.FieldByName(u"MEKALKULATIONUMRECHFAKT"_s).SetAsFloat(a.MEKalkulationUmrechFakt);
    t.FieldByName(u"OBERFLAECHE"_s).SetAsFloat(a.Oberflaeche);
    t.FieldByName(u"VOLUMEN"_s).SetAsFloat(a.Volumen);
    t.FieldByName(u"ABWICKLUNG"_s).SetAsFloat(a.Abwicklung);
    t.FieldByName(u"GEWICHT"_s).SetAsFloat(a.Gewicht);
    t.FieldByName(u"MATCHCODE"_s).SetAsString(a.Matchcode);
    t.FieldByName(u"KATALOGSEITE"_s).SetAsString(a.Katalogseite);
    t.FieldByName(u"RABATTGR"_s).SetAsString(a.Rabattgruppe);
    t.FieldByName(u"HAUPTWARENGR"_s).SetAsString(a.Hauptwarengruppe);
    t.FieldByName(u"WARENGR"_s).SetAsString(a.Warengruppe);
    t.FieldByName(u"KOSTENART"_s).SetAsString(a.Kostenart);
    t.FieldByName(u"ARBEITSZEIT"_s).SetAsFloat(a.Arbeitszeit);
    for (int i = 0; i < int(std::size(kReferenceColumns)); ++i)
        t.FieldByName(QString::fromUtf16(kReferenceColumns[i].name))
            .SetAsString(*referenceField(a, i));
    t.FieldByName(u"MWSTMERKER"_s).SetAsInteger(a.MwStMerker);
    t.FieldByName(u"LAGERMERKER"_s).SetAsInteger(a.LagerMerker);
    t.FieldByName(u"VERPACKUNGSMENGE"_s).SetAsInteger(a.Verpackungsmenge);
    t.FieldByName(u"LANGTEXTNR"_s).SetAsString(a.LangtextNr);
    t.FieldByName(u"ANBINDNR"_s).SetAsString(a.AnbindNr);
    t.FieldByName(u"XMLDATA"_s).SetAsString(a.GetXMLText(true));
}

void TKatalog1DB::ReadCurrentRow(TKatalog1Artikel &a)
{
    TTdbTable &t = *m_catalog;
    // Parsing clears the article, so the columns come afterwards.
    a.LoadFromXMLText(text(t, u"XMLDATA"_s));
    a.ArtikelNr = text(t, u"ID"_s);
    a.KurzZeile1 = text(t, u"KURZZEILE1"_s);
    a.KurzZeile2 = text(t, u"KURZZEILE2"_s);
    a.TextKZ = quint8(t.FieldByName(u"TEXTKZ"_s).AsInteger());
    a.Listenpreis = money(t, u"LISTENPREIS"_s);
    a.Rabatt = number(t, u"RABATT"_s);
    a.Netto = money(t, u"NETTO"_s);
    a.PreisKZ = quint8(t.FieldByName(u"PREISKZ"_s).AsInteger());
    a.Preiseinheit = t.FieldByName(u"PREISEINHEIT"_s).AsInteger();
    a.LastNetto = money(t, u"LASTNETTO"_s);
    a.LastNettoChanged = t.FieldByName(u"LASTNETTOCHANGED"_s).AsDateTime();
    for (int i = 0; i < 4; ++i)
        a.VKPreise[size_t(i)] = money(t, u"VKPREIS"_s + QString::number(i + 2));
    a.ME = text(t, u"ME"_s);
    a.MEKalkulationSpezial = t.FieldByName(u"MEKALKULATIONSPEZIAL"_s).AsBoolean();
    a.MEKalkulation = text(t, u"MEKALKULATION"_s);
    a.MEKalkulationUmrechFakt = number(t, u"MEKALKULATIONUMRECHFAKT"_s);
    a.Oberflaeche = number(t, u"OBERFLAECHE"_s);
    a.Volumen = number(t, u"VOLUMEN"_s);
    a.Abwicklung = number(t, u"ABWICKLUNG"_s);
    a.Gewicht = number(t, u"GEWICHT"_s);
    a.Matchcode = text(t, u"MATCHCODE"_s);
    a.Katalogseite = text(t, u"KATALOGSEITE"_s);
    a.Rabattgruppe = text(t, u"RABATTGR"_s);
    a.Hauptwarengruppe = text(t, u"HAUPTWARENGR"_s);
    a.Warengruppe = text(t, u"WARENGR"_s);
    a.Kostenart = text(t, u"KOSTENART"_s);
    a.Arbeitszeit = number(t, u"ARBEITSZEIT"_s);
    for (int i = 0; i < int(std::size(kReferenceColumns)); ++i)
        *referenceField(a, i) = text(t, QString::fromUtf16(kReferenceColumns[i].name));
    a.MwStMerker = quint8(t.FieldByName(u"MWSTMERKER"_s).AsInteger());
    a.LagerMerker = quint8(t.FieldByName(u"LAGERMERKER"_s).AsInteger());
    a.Verpackungsmenge = std::max(1, t.FieldByName(u"VERPACKUNGSMENGE"_s).AsInteger());
    a.LangtextNr = text(t, u"LANGTEXTNR"_s);
    a.AnbindNr = text(t, u"ANBINDNR"_s);
}

bool TKatalog1DB::ScanRows(const std::function<bool(TKatalog1ArtikelDaten &)> &visit)
{
    TTdbTable &t = *m_catalog;
    t.SetIndexName(kIndexId);
    enum Column {
        ID,
        KURZZEILE1,
        KURZZEILE2,
        LISTENPREIS,
        RABATT,
        NETTO,
        PREISKZ,
        PREISEINHEIT,
        VKPREIS2,
        ME = VKPREIS2 + 4,
        MEKALKULATIONSPEZIAL,
        MEKALKULATION,
        MEKALKULATIONUMRECHFAKT,
        ARBEITSZEIT,
        EAN,
        MWSTMERKER,
    };
    TTableScan scan(t, {u"ID"_s, u"KURZZEILE1"_s, u"KURZZEILE2"_s, u"LISTENPREIS"_s, u"RABATT"_s,
                        u"NETTO"_s, u"PREISKZ"_s, u"PREISEINHEIT"_s, u"VKPREIS2"_s, u"VKPREIS3"_s,
                        u"VKPREIS4"_s, u"VKPREIS5"_s, u"ME"_s, u"MEKALKULATIONSPEZIAL"_s,
                        u"MEKALKULATION"_s, u"MEKALKULATIONUMRECHFAKT"_s, u"ARBEITSZEIT"_s,
                        u"EAN"_s, u"MWSTMERKER"_s});
    TKatalog1ArtikelDaten a;
    while (scan.Next()) {
        a.ArtikelNr = scan.Text(ID);
        a.KurzZeile1 = scan.Text(KURZZEILE1);
        a.KurzZeile2 = scan.Text(KURZZEILE2);
        a.Listenpreis = Money::fromDouble(scan.Float(LISTENPREIS));
        a.Rabatt = scan.Float(RABATT);
        a.Netto = Money::fromDouble(scan.Float(NETTO));
        a.PreisKZ = quint8(scan.Integer(PREISKZ));
        a.Preiseinheit = qint32(scan.Integer(PREISEINHEIT));
        for (int i = 0; i < 4; ++i)
            a.VKPreise[size_t(i)] = Money::fromDouble(scan.Float(VKPREIS2 + i));
        a.ME = scan.Text(ME);
        a.MEKalkulationSpezial = scan.Boolean(MEKALKULATIONSPEZIAL);
        a.MEKalkulation = scan.Text(MEKALKULATION);
        a.MEKalkulationUmrechFakt = scan.Float(MEKALKULATIONUMRECHFAKT);
        a.Arbeitszeit = scan.Float(ARBEITSZEIT);
        a.EAN = scan.Text(EAN);
        a.MwStMerker = quint8(scan.Integer(MWSTMERKER));
        if (!visit(a))
            return false;
    }
    return true;
}

QString TKatalog1DB::CurrentArticleNr()
{
    TTdbTable &t = *m_catalog;
    if (!t.Active() || t.IsEmpty() || (t.Eof() && t.Bof()))
        return {};
    return text(t, u"ID"_s);
}

int TKatalog1DB::ReadArticle(TKatalog1Artikel &article)
{
    TTdbTable &t = *m_catalog;
    if (!t.Active())
        return -1;
    const QString nr = article.ArtikelNr.isEmpty() ? CurrentArticleNr() : article.ArtikelNr;
    if (nr.isEmpty() || (CurrentArticleNr() != nr && !GoTo(nr))) {
        article.Clear();
        article.ArtikelNr = nr;
        return 1;
    }
    ReadCurrentRow(article);
    article.AssembleLangtext(
        [this](const QString &block, int type) { return Baustein(block, type); });
    article.DetermineVKZuschlag([this](const QString &g) { return SurchargeOfGroup(g); },
                                [this](double net) { return SurchargeOfNet(net); });
    loadGraphics(article);
    return 0;
}

bool TKatalog1DB::GoTo(const QString &text)
{
    TTdbTable &t = *m_catalog;
    if (t.IndexName().compare(kIndexId, Qt::CaseInsensitive) != 0)
        t.SetIndexName(kIndexId);
    t.FindNearest({text});
    return !t.Eof() && CurrentArticleNr() == text;
}

QString TKatalog1DB::Baustein(const QString &nr, int type)
{
    TTdbTable &t = *m_langtext;
    try {
        if (!t.Active() || !t.FindKey({nr}))
            return {};
        for (; !t.Eof() && text(t, u"ID"_s) == nr; t.Next())
            if (t.FieldByName(u"IDTYPE"_s).AsInteger() == type)
                return text(t, u"LT"_s);
    } catch (const std::exception &e) {
        ReportError(&e, u"Baustein"_s);
    }
    return {};
}

double TKatalog1DB::SurchargeOfGroup(const QString &group)
{
    try {
        TTdbTable &t = *m_discountGroups;
        if (t.Active() && t.FindKey({group}))
            return number(t, u"VKZUSCHLAG"_s);
    } catch (const std::exception &) {
        // An unreadable surcharge table prices like one without the group.
    }
    return 0;
}

double TKatalog1DB::SurchargeOfNet(double net)
{
    if (net < 0)
        return 0;
    try {
        TTdbTable &t = *m_surcharges;
        if (!t.Active())
            return 0;
        t.FindNearest({net});
        if (!t.Eof() && !t.IsEmpty() && number(t, u"BISNETTO"_s) >= net)
            return number(t, u"AUFSCHLAG"_s);
    } catch (const std::exception &) {
    }
    return 0;
}

void TKatalog1DB::loadGraphics(TKatalog1Artikel &a)
{
    a.AnbindObjekte.Clear();
    if (a.AnbindNr.isEmpty())
        return;
    TTdbTable &t = *m_graphics;
    try {
        if (!t.Active() || !t.FindKey({a.AnbindNr}))
            return;
        for (; !t.Eof() && text(t, u"ID"_s) == a.AnbindNr; t.Next())
            a.AnbindObjekte.Add(TKatalog1AnbindObj{
                quint8(t.FieldByName(u"IDTYPE"_s).AsInteger()), text(t, u"BESCHREIBUNG"_s),
                text(t, u"DATEINAME"_s), text(t, u"ERWEITERUNG"_s)});
    } catch (const std::exception &e) {
        ReportError(&e, u"LoadAnbindObjekte"_s);
    }
}
