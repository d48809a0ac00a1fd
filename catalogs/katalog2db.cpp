#include "catalogs/katalog2db.h"

#include "persistence/conversions.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
Money money(TTdbTable &t, const QString &column)
{
    return Money::fromDouble(t.FieldByName(column).AsFloat());
}

const QString cId = u"ID"_s;
const QString cEAN = u"EAN"_s;
const QString cWarengr = u"WARENGR"_s;
const QString cEK = u"EK"_s;
const QString cMwSt = u"MWSTSATZ"_s;

// The columns added after the first tables were delivered, with the types a new table has.
struct Column {
    const char16_t *name;
    FieldType type;
    int size;
};
constexpr Column kLaterColumns[] = {
    {u"RABATTGRUPPE", FieldType::WideString, 20},
    {u"VKZUSCHLAG", FieldType::Float, 0},
    {u"VKPREIS2", FieldType::Float, 0},
    {u"VKPREIS3", FieldType::Float, 0},
    {u"VKPREIS4", FieldType::Float, 0},
    {u"VKPREIS5", FieldType::Float, 0},
    {u"GEWICHT", FieldType::Float, 0},
    {u"OBERFLAECHE", FieldType::Float, 0},
    {u"ABWICKLUNG", FieldType::Float, 0},
    {u"VOLUMEN", FieldType::Float, 0},
    {u"UMRECHNUNGSFAKTOR", FieldType::Float, 0},
    {u"ARBEITSZEIT", FieldType::Float, 0},
    {u"LOHN", FieldType::Float, 0},
    {u"BESTELLMENGE", FieldType::Float, 0},
    {u"KURZTEXT", FieldType::WideMemo, 0},
    {u"LANGTEXT", FieldType::WideMemo, 0},
    {u"PREISEINHEIT", FieldType::Integer, 0},
    {u"VERPACKUNGSMENGE", FieldType::Integer, 0},
    {u"MEKALKULATIONSPEZIAL", FieldType::Boolean, 0},
    {u"MEKALKULATION", FieldType::WideString, 10},
    {u"MEKALKULATIONUMRECHFAKT", FieldType::Float, 0},
    {u"XMLDATA", FieldType::WideMemo, 0},
    {u"WARENGR", FieldType::WideString, 20},
    {u"EAN", FieldType::WideString, 20},
};
} // namespace

TKatalog2DB::TKatalog2DB(ErrorCallback onError) : TDatabaseWrapper(std::move(onError))
{
    EnsureTableObjects();
}

TKatalog2DB::~TKatalog2DB() = default;

void TKatalog2DB::CreateTableObjects()
{
    m_table = AddTable(kTable, kIndexId);
}

void TKatalog2DB::SelectIndexes()
{
    m_table->SetIndexName(kIndexId);
}

void TKatalog2DB::DefineTable(TTdbTable &table)
{
    if (table.TableName().compare(kTable, Qt::CaseInsensitive) == 0)
        DefineCatalogTable(table);
}

void TKatalog2DB::DefineCatalogTable(TTdbTable &table)
{
    TFieldDefs &f = table.FieldDefs();
    f.Clear();
    f.Add(cId, FieldType::WideString, 50, true);
    f.Add(cEAN, FieldType::WideString, 20);
    f.Add(u"DESCRIPTION"_s, FieldType::WideString, 255);
    f.Add(u"ME"_s, FieldType::WideString, 10);
    f.Add(u"MINDBESTMENGE"_s, FieldType::Float);
    f.Add(cEK, FieldType::Float);
    f.Add(cMwSt, FieldType::Byte);
    f.Add(u"RABATT"_s, FieldType::Float);
    f.Add(u"INFO"_s, FieldType::WideString, 255);
    f.Add(u"VORAETIG"_s, FieldType::Float);
    f.Add(u"CREATED"_s, FieldType::DateTime, 0, true);
    f.Add(u"CREATEDBY"_s, FieldType::WideString, 20);
    f.Add(u"CHANGED"_s, FieldType::DateTime, 0, true);
    f.Add(u"CHANGEDBY"_s, FieldType::WideString, 20);
    for (const Column &c : kLaterColumns)
        if (QStringView(c.name) != cEAN)
            f.Add(QString::fromUtf16(c.name), c.type, c.size);
    TIndexDefs &ix = table.IndexDefs();
    ix.Clear();
    ix.Add(kIndexId, cId, ixUnique);
    ix.Add(kIndexGroup, cWarengr);
    ix.Add(kIndexEK, cEK);
    ix.Add(kIndexEAN, cEAN);
}

void TKatalog2DB::UpgradeTable()
{
    TTdbTable &t = *m_table;
    TFieldDefs &defs = t.FieldDefs();
    bool changed = false;
    if (const int mwst = defs.IndexOf(cMwSt); mwst >= 0 && defs[mwst].type != FieldType::Byte) {
        defs[mwst].type = FieldType::Byte;
        defs[mwst].size = 0;
        changed = true;
    }
    for (const Column &c : kLaterColumns) {
        const QString name = QString::fromUtf16(c.name);
        if (!defs.Contains(name)) {
            defs.Add(name, c.type, c.size);
            changed = true;
        }
    }
    if (changed)
        t.AlterTable();

    const TIndexDefs &ix = t.IndexDefs();
    if (ix.IndexOf(kIndexGroup) < 0 || ix.IndexOf(kIndexEK) < 0) {
        for (QLatin1StringView name : {kIndexGroup, kIndexEK})
            if (t.IndexDefs().IndexOf(name) >= 0)
                t.DeleteIndex(name);
        t.AddIndex(kIndexGroup, cWarengr);
        t.AddIndex(kIndexEK, cEK);
    }
    // Our own addition: the EAN look-up of the view needs it, and older tables lack it.
    if (t.IndexDefs().IndexOf(kIndexEAN) < 0)
        t.AddIndex(kIndexEAN, cEAN);
}

void TKatalog2DB::WriteRow(TKatalog2Artikel &a)
{
    TTdbTable &t = *m_table;
    t.FieldByName(cId).SetAsString(a.ArtikelNr);
    t.FieldByName(u"DESCRIPTION"_s).SetAsString(a.Beschreibung);
    t.FieldByName(u"ME"_s).SetAsString(a.ME);
    t.FieldByName(u"MINDBESTMENGE"_s).SetAsFloat(a.MindBestMenge);
    t.FieldByName(cEK).SetAsFloat(a.EK.toDouble());
    t.FieldByName(cMwSt).SetAsInteger(a.MwStSatz);
    t.FieldByName(u"RABATT"_s).SetAsFloat(a.Rabatt);
    t.FieldByName(u"INFO"_s).SetAsString(a.Info);
    t.FieldByName(u"VORAETIG"_s).SetAsFloat(a.Voraetig);
    t.FieldByName(u"CREATED"_s).SetAsDateTime(a.Created);
    t.FieldByName(u"CREATEDBY"_s).SetAsString(a.CreatedBy);
    t.FieldByName(u"CHANGED"_s).SetAsDateTime(a.Changed);
    t.FieldByName(u"CHANGEDBY"_s).SetAsString(a.ChangedBy);
    t.FieldByName(u"RABATTGRUPPE"_s).SetAsString(a.Rabattgruppe);
    t.FieldByName(u"VKZUSCHLAG"_s).SetAsFloat(a.VKZuschlag);
    for (int i = 0; i < 4; ++i)
        t.FieldByName(u"VKPREIS"_s + QString::number(i + 2))
            .SetAsFloat(a.VKPreise[size_t(i)].toDouble());
    t.FieldByName(u"GEWICHT"_s).SetAsFloat(a.Gewicht);
    t.FieldByName(u"OBERFLAECHE"_s).SetAsFloat(a.Oberflaeche);
    t.FieldByName(u"ABWICKLUNG"_s).SetAsFloat(a.Abwicklung);
    t.FieldByName(u"VOLUMEN"_s).SetAsFloat(a.Volumen);
    t.FieldByName(u"UMRECHNUNGSFAKTOR"_s).SetAsFloat(a.Umrechnungsfaktor);
    t.FieldByName(u"ARBEITSZEIT"_s).SetAsFloat(a.Arbeitszeit);
    t.FieldByName(u"LOHN"_s).SetAsFloat(a.Lohn.toDouble());
    t.FieldByName(u"BESTELLMENGE"_s).SetAsFloat(a.Bestellmenge);
    t.FieldByName(u"KURZTEXT"_s).SetAsString(a.Kurztext);
    t.FieldByName(u"LANGTEXT"_s).SetAsString(a.Langtext);
    t.FieldByName(u"PREISEINHEIT"_s).SetAsInteger(a.Preiseinheit);
    t.FieldByName(u"VERPACKUNGSMENGE"_s).SetAsInteger(a.Verpackungsmenge);
    t.FieldByName(u"MEKALKULATIONSPEZIAL"_s).SetAsBoolean(a.MEKalkulationSpezial);
    t.FieldByName(u"MEKALKULATION"_s).SetAsString(a.MEKalkulation);
    t.FieldByName(u"MEKALKULATIONUMRECHFAKT"_s).SetAsFloat(a.MEKalkulationUmrechFakt);
    t.FieldByName(u"XMLDATA"_s).SetAsString(a.GetXMLText(true));
}

void TKatalog2DB::ReadRow(TKatalog2Artikel &a)
{
    TTdbTable &t = *m_table;
    // Parsing clears the article, so the columns come afterwards.
    a.LoadFromXMLText(t.FieldByName(u"XMLDATA"_s).AsString());
    a.ArtikelNr = t.FieldByName(cId).AsString();
    a.Beschreibung = t.FieldByName(u"DESCRIPTION"_s).AsString();
    a.ME = t.FieldByName(u"ME"_s).AsString();
    a.MindBestMenge = t.FieldByName(u"MINDBESTMENGE"_s).AsFloat();
    a.EK = money(t, cEK);
    a.MwStSatz = quint8(t.FieldByName(cMwSt).AsInteger());
    a.Rabatt = t.FieldByName(u"RABATT"_s).AsFloat();
    a.Info = t.FieldByName(u"INFO"_s).AsString();
    a.Voraetig = t.FieldByName(u"VORAETIG"_s).AsFloat();
    a.Created = t.FieldByName(u"CREATED"_s).AsDateTime();
    a.CreatedBy = t.FieldByName(u"CREATEDBY"_s).AsString();
    a.Changed = t.FieldByName(u"CHANGED"_s).AsDateTime();
    a.ChangedBy = t.FieldByName(u"CHANGEDBY"_s).AsString();
    a.Rabattgruppe = t.FieldByName(u"RABATTGRUPPE"_s).AsString();
    a.VKZuschlag = t.FieldByName(u"VKZUSCHLAG"_s).AsFloat();
    for (int i = 0; i < 4; ++i)
        a.VKPreise[size_t(i)] = money(t, u"VKPREIS"_s + QString::number(i + 2));
    a.Gewicht = t.FieldByName(u"GEWICHT"_s).AsFloat();
    a.Oberflaeche = t.FieldByName(u"OBERFLAECHE"_s).AsFloat();
    a.Abwicklung = t.FieldByName(u"ABWICKLUNG"_s).AsFloat();
    a.Volumen = t.FieldByName(u"VOLUMEN"_s).AsFloat();
    a.Umrechnungsfaktor = t.FieldByName(u"UMRECHNUNGSFAKTOR"_s).AsFloat();
    a.Arbeitszeit = t.FieldByName(u"ARBEITSZEIT"_s).AsFloat();
    a.Lohn = money(t, u"LOHN"_s);
    a.Bestellmenge = t.FieldByName(u"BESTELLMENGE"_s).AsFloat();
    a.Kurztext = t.FieldByName(u"KURZTEXT"_s).AsString();
    a.Langtext = t.FieldByName(u"LANGTEXT"_s).AsString();
    a.Preiseinheit = std::max(1, t.FieldByName(u"PREISEINHEIT"_s).AsInteger());
    a.Verpackungsmenge = std::max(1, t.FieldByName(u"VERPACKUNGSMENGE"_s).AsInteger());
    a.MEKalkulationSpezial = t.FieldByName(u"MEKALKULATIONSPEZIAL"_s).AsBoolean();
    a.MEKalkulation = t.FieldByName(u"MEKALKULATION"_s).AsString();
    a.MEKalkulationUmrechFakt = t.FieldByName(u"MEKALKULATIONUMRECHFAKT"_s).AsFloat();
    a.VKPreis1 = a.BerechneVKPreis1(Prices);
}

int TKatalog2DB::ReadArticle(TKatalog2Artikel &article)
{
    TTdbTable &t = *m_table;
    if (!t.Active())
        return -1;
    const QString nr = article.ArtikelNr.isEmpty() ? CurrentArticleNr() : article.ArtikelNr;
    if (nr.isEmpty())
        return 1;
    if (CurrentArticleNr() != nr) {
        // Searched by number, but the caller's order (a view sorted by price) stays.
        const QString order = t.IndexName();
        t.SetIndexName(kIndexId);
        const bool found = t.FindKey({nr});
        t.SetIndexName(order);
        if (!found)
            return 1;
    }
    ReadRow(article);
    return 0;
}

QString TKatalog2DB::CurrentArticleNr()
{
    TTdbTable &t = *m_table;
    if (!t.Active() || t.IsEmpty() || (t.Eof() && t.Bof()))
        return {};
    return t.FieldByName(cId).AsString();
}

bool TKatalog2DB::Exists(const QString &nr)
{
    TTdbTable &t = *m_table;
    if (!t.Active() || nr.isEmpty())
        return false;
    t.SetIndexName(kIndexId);
    return t.FindKey({nr});
}

void TKatalog2DB::GoTo(const QString &text)
{
    TTdbTable &t = *m_table;
    t.SetIndexName(kIndexId);
    t.FindNearest({text});
}

QString TKatalog2DB::ArticleNrOfEAN(const QString &ean)
{
    TTdbTable &t = *m_table;
    const QString previous = t.IndexName();
    t.SetIndexName(kIndexEAN);
    QString nr;
    try {
        if (!ean.isEmpty() && t.FindKey({ean}))
            nr = t.FieldByName(cId).AsString();
    } catch (...) {
        t.SetIndexName(kIndexId);
        throw;
    }
    t.SetIndexName(kIndexId);
    return nr;
}

void TKatalog2DB::ReadResultRow(TSearchtextResultKatalog2 &r)
{
    TTdbTable &t = *m_table;
    r.ArtikelNr = t.FieldByName(cId).AsString();
    r.Beschreibung = t.FieldByName(u"DESCRIPTION"_s).AsString();
    r.EK = money(t, cEK);
    r.Rabatt = t.FieldByName(u"RABATT"_s).AsFloat();
    r.Netto = ApplyDiscount(Prices.FullCurrency, r.EK, r.Rabatt);
    r.VKPreis1 =
        RoundMoney(Prices.FullCurrency, r.Netto * t.FieldByName(u"VKZUSCHLAG"_s).AsFloat());
    for (int i = 0; i < 4; ++i)
        r.VKPreise[size_t(i)] = money(t, u"VKPREIS"_s + QString::number(i + 2));
    r.ME = t.FieldByName(u"ME"_s).AsString();
}

std::vector<TSearchtextResultKatalog2> TKatalog2DB::SearchResults(const QStringList &numbers)
{
    std::vector<TSearchtextResultKatalog2> results;
    TTdbTable &t = *m_table;
    if (!t.Active())
        return results;
    t.SetIndexName(kIndexId);
    results.reserve(size_t(numbers.size()));
    for (const QString &nr : numbers) {
        if (!t.FindKey({nr}))
            continue;
        results.emplace_back();
        ReadResultRow(results.back());
    }
    return results;
}
