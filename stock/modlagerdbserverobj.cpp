#include "stock/modlagerdbserverobj.h"

#include "persistence/conversions.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tableappender.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "persistence/xml/xmltext.h"
#include "stock/dblagersearchresult.h"
#include "stock/lagerserverobj.h"
#include "stock/lagertablescan.h"
#include "stock/seriennummer.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
// Column names of LAGER.
const QString cNr = u"LagerArtikelNr"_s;
const QString cEAN = u"EAN"_s;
const QString cAltNr = u"AlternativArtikelNr"_s;
const QString cKatalog = u"Katalog"_s;
const QString cBez = u"Bezeichnung"_s;
const QString cBestand = u"BuchungsBestand"_s;
const QString cZugang = u"SummeWareneingangMe"_s;
const QString cGruppe = u"Gruppe"_s;
const QString cLagerort = u"Lagerort"_s;
const QString cInventur = u"Inventurartikel"_s;
const QString cAnfang = u"Anfangsbestand"_s;
const QString cErfassung = u"InventurErfassung"_s;
const QString cDifferenz = u"Inventurdifferenz"_s;
const QString cRabatt = u"Rabattgruppen"_s;
const QString cME = u"ME"_s;
const QString cDEinstand = u"DEinstandsPreisbildung"_s;
const QString cPE = u"PREISEINHEIT"_s;
const QString cEK = u"EKPreis"_s;
const QString cZuschlag = u"VKZuschlag"_s;
const QString cMwSt = u"MwStSatz"_s;
const QString cSNPflicht = u"SNPflicht"_s;
const QString cSTKL = u"STKL"_s;
const QString cColor = u"VIEWCOLOR"_s;
const QString cNotStock = u"ISNOTBESTANDSARTIKEL"_s;
const QString cXML = u"XMLDATA"_s;
// Columns of LAGERSN.
const QString sSN = u"SN"_s;
const QString sInfo = u"INFO"_s;
const QString sZugang = u"ZUGANG"_s;
const QString sLieferant = u"LIEFERANT"_s;
const QString sResNr = u"RESAUFTRAGSNR"_s;
const QString sResTyp = u"RESAUFTRAGSTYP"_s;
// Columns of LAGERBUCH.
const QString bZeit = u"ZEIT"_s;
const QString bBenutzer = u"BENUTZER"_s;
const QString bArt = u"ART"_s;
const QString bMenge = u"MENGE"_s;
const QString bVorher = u"BESTANDVORHER"_s;
const QString bNachher = u"BESTANDNACHHER"_s;
const QString bPreis = u"EKPREIS"_s;
const QString bBestellNr = u"BESTELLNR"_s;
const QString bBestellPos = u"BESTELLPOS"_s;
const QString bSerien = u"SERIENNUMMERN"_s;

// Disables the table's data-aware controls for a scope, so that every way out of an
// operation (return or exception) enables them again.
class ControlsDisabled
{
public:
    explicit ControlsDisabled(TTdbTable &table) : m_table(table) { m_table.DisableControls(); }
    ~ControlsDisabled() { m_table.EnableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    TTdbTable &m_table;
};

QString errorText(const std::exception &e)
{
    if (const auto *engine = dynamic_cast<const EngineError *>(&e))
        return engine->message();
    return QString::fromUtf8(e.what());
}

void cancelEdit(TTdbTable &table)
{
    try {
        if (table.State() == DataSetState::Edit || table.State() == DataSetState::Insert)
            table.Cancel();
    } catch (const std::exception &) {
        // The edit is abandoned either way; the original failure is what gets reported.
    }
}

bool sameName(const QString &a, QLatin1StringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Adds a column at the end and moves it in front of the column before, when that one sits
// further in than the first place.
void addColumnBefore(TFieldDefs &defs, const QString &name, FieldType type, int size,
                     const QString &before)
{
    defs.Add(name, type, size, false);
    const int target = defs.IndexOf(before);
    if (target > 0)
        defs.Move(defs.Count() - 1, target);
}

// Sets the columns of the row being written, whichever way it goes in.
struct FieldPut {
    TTdbTable &table;
    template <class T> void operator()(const QString &column, const T &value) const
    {
        table.FieldByName(column).SetAsVariant(QVariant(value));
    }
};

// The columns of an article's row. The cursor and the bulk append both write through this
// one list, so that a row reads the same whichever way it came in.
template <class Put> void putArticle(TLagerServerObj &record, const Put &put)
{
    const TLagerArtikelDaten &d = record;
    put(cNr, d.LagerArtikelNr);
    put(cKatalog, d.Katalog);
    put(cBez, d.Bezeichnung);
    put(cEAN, d.EAN.trimmed());
    put(cBestand, d.BuchungsBestand);
    put(cZugang, d.SummeWareneingangMe);
    put(cGruppe, d.Gruppe);
    put(cLagerort, d.Lagerort);
    put(cInventur, d.Inventurartikel);
    put(cAnfang, d.Anfangsbestand);
    put(cErfassung, d.InventurErfassung);
    put(cDifferenz, d.Inventurdifferenz);
    put(cRabatt, d.Rabattgruppen);
    put(cME, d.ME.trimmed());
    put(cDEinstand, d.DEinstandsPreisbildung);
    put(cEK, d.EKPreis.toDouble());
    put(cZuschlag, d.VKZuschlag);
    put(cMwSt, int(d.MwStSatz));
    put(cSNPflicht, d.SNPflicht);
    put(cXML, record.GetXMLText(true));
    put(cColor, d.ViewColor);
    put(cNotStock, d.IsNotBestandsartikel);
}

// The columns of a history row, as putArticle.
template <class Put> void putBooking(const TLagerBuchung &row, const Put &put)
{
    put(bZeit, row.Zeit);
    put(bBenutzer, row.Benutzer);
    put(cNr, row.LagerArtikelNr);
    put(bArt, row.Art);
    put(bMenge, row.Menge);
    put(bVorher, row.BestandVorher);
    put(bNachher, row.BestandNachher);
    put(bPreis, row.Preis.toDouble());
    put(bBestellNr, row.BestellNr);
    put(bBestellPos, row.BestellPos);
    put(bSerien, row.Seriennummern);
}

// The columns a put list writes, in its order.
template <class Record, class List> QStringList columnsOf(Record &record, List list)
{
    QStringList names;
    list(record, [&](const QString &column, const auto &) { names.append(column); });
    return names;
}

// Hands the values of a put list to an appender, by their place in the list.
class AppenderPut
{
public:
    explicit AppenderPut(TTableAppender &appender) : m_appender(appender) {}
    template <class T> void operator()(const QString &, const T &value) const
    {
        m_appender.Set(m_next++, value);
    }

private:
    TTableAppender &m_appender;
    mutable int m_next = 0;
};
} // namespace

IModLagerDBServerObj::IModLagerDBServerObj(ErrorCallback onError)
    : TDatabaseWrapper(std::move(onError))
{
    EnsureTableObjects();
}

IModLagerDBServerObj::~IModLagerDBServerObj() = default;

void IModLagerDBServerObj::CreateTableObjects()
{
    m_lagerIndex = kArticleIndex;
    m_serialIndex = kSerialIndex;
    m_lager = AddTable(kLagerTable, m_lagerIndex);
    m_serials = AddTable(kSerialTable, m_serialIndex);
    m_bookings = AddTable(kBookingTable, kBookingIndex);
    Database().JoinTables({kLagerTable, kSerialTable, kBookingTable});
}

void IModLagerDBServerObj::SelectIndexes()
{
    m_lager->SetIndexName(m_lagerIndex);
    m_serials->SetIndexName(m_serialIndex);
    m_bookings->SetIndexName(kBookingIndex);
}

void IModLagerDBServerObj::DefineTable(TTdbTable &table)
{
    if (sameName(table.TableName(), kLagerTable))
        DefineLagerTable(table);
    else if (sameName(table.TableName(), kSerialTable))
        DefineSerialTable(table);
    else if (sameName(table.TableName(), kBookingTable))
        DefineBookingTable(table);
}

void IModLagerDBServerObj::DefineLagerTable(TTdbTable &table)
{
    TFieldDefs &f = table.FieldDefs();
    f.Clear();
    f.Add(cNr, FieldType::WideString, 20, true);
    f.Add(cEAN, FieldType::WideString, 20, false);
    f.Add(cAltNr, FieldType::WideString, 20, true);
    f.Add(cKatalog, FieldType::WideString, 20, true);
    f.Add(cBez, FieldType::WideString, 81, true);
    f.Add(cBestand, FieldType::Float);
    f.Add(cZugang, FieldType::Float);
    f.Add(cGruppe, FieldType::WideString, 20);
    f.Add(cLagerort, FieldType::WideString, 20);
    f.Add(cInventur, FieldType::Boolean);
    f.Add(cAnfang, FieldType::Float);
    f.Add(cErfassung, FieldType::Float);
    f.Add(cDifferenz, FieldType::Float);
    f.Add(cRabatt, FieldType::WideString, 20);
    f.Add(cME, FieldType::WideString, 20);
    f.Add(cDEinstand, FieldType::Boolean);
    f.Add(cPE, FieldType::Integer);
    f.Add(cEK, FieldType::Float).precision = 4;
    f.Add(cZuschlag, FieldType::Float);
    f.Add(cMwSt, FieldType::Integer);
    f.Add(cSNPflicht, FieldType::Boolean);
    f.Add(cSTKL, FieldType::WideString, 50);
    f.Add(cColor, FieldType::Integer);
    f.Add(cNotStock, FieldType::Boolean);
    f.Add(cXML, FieldType::WideMemo);
    TIndexDefs &ix = table.IndexDefs();
    ix.Clear();
    ix.Add(kArticleIndex, cNr, ixUnique);
}

void IModLagerDBServerObj::DefineSerialTable(TTdbTable &table)
{
    TFieldDefs &f = table.FieldDefs();
    f.Clear();
    f.Add(sSN, FieldType::WideString, 100, true);
    f.Add(cNr, FieldType::WideString, 20, true);
    f.Add(sInfo, FieldType::WideString, 255);
    f.Add(sZugang, FieldType::DateTime);
    f.Add(sLieferant, FieldType::WideString, 20);
    f.Add(sResNr, FieldType::WideString, 50);
    f.Add(sResTyp, FieldType::Integer);
    TIndexDefs &ix = table.IndexDefs();
    ix.Clear();
    ix.Add(kSerialIndex, sSN);
    ix.Add(kSerialByArticleIndex, cNr);
}

void IModLagerDBServerObj::DefineBookingTable(TTdbTable &table)
{
    TFieldDefs &f = table.FieldDefs();
    f.Clear();
    f.Add(bZeit, FieldType::DateTime);
    f.Add(bBenutzer, FieldType::WideString, 50);
    f.Add(cNr, FieldType::WideString, 20, true);
    f.Add(bArt, FieldType::Integer);
    f.Add(bMenge, FieldType::Float);
    f.Add(bVorher, FieldType::Float);
    f.Add(bNachher, FieldType::Float);
    f.Add(bPreis, FieldType::Float).precision = 4;
    f.Add(bBestellNr, FieldType::WideString, 20);
    f.Add(bBestellPos, FieldType::Integer);
    f.Add(bSerien, FieldType::WideMemo);
    TIndexDefs &ix = table.IndexDefs();
    ix.Clear();
    // Rows of one number keep the order they were booked in (the row id follows the key).
    ix.Add(kBookingIndex, cNr);
}

void IModLagerDBServerObj::UpgradeTable()
{
    TTdbTable &t = *m_lager;
    TFieldDefs &defs = t.FieldDefs();
    bool changed = false;

    if (!defs.Contains(cSTKL)) {
        addColumnBefore(defs, cSTKL, FieldType::WideString, 50, cXML);
        changed = true;
    }
    if (!defs.Contains(cColor)) {
        addColumnBefore(defs, cColor, FieldType::Integer, 0, cXML);
        changed = true;
    }
    if (!defs.Contains(cEAN)) {
        addColumnBefore(defs, cEAN, FieldType::WideString, 20, cKatalog);
        changed = true;
    } else if (TFieldDef &ean = defs[defs.IndexOf(cEAN)]; ean.type == FieldType::Integer) {
        ean.type = FieldType::WideString;
        ean.size = 20;
        changed = true;
    }
    if (!defs.Contains(cAltNr)) {
        // Older tables get it as a number; only created tables have the text column.
        addColumnBefore(defs, cAltNr, FieldType::Integer, 0, cKatalog);
        changed = true;
    }
    if (!defs.Contains(cPE)) {
        addColumnBefore(defs, cPE, FieldType::Integer, 0, cEK);
        changed = true;
    }
    if (const int ek = defs.IndexOf(cEK); ek >= 0 && defs[ek].precision == 2) {
        defs[ek].precision = 4;
        changed = true;
    }
    if (!defs.Contains(cNotStock)) {
        addColumnBefore(defs, cNotStock, FieldType::Boolean, 0, cXML);
        changed = true;
    }
    if (!changed)
        return;

    const bool wasOpen = t.Active();
    if (wasOpen)
        t.Close();
    t.AlterTable();
    if (wasOpen)
        t.Open();
}

// ---------------------------------------------------------------------------------------------
// Row mapping

void IModLagerDBServerObj::WriteRow(TLagerServerObj &record)
{
    putArticle(record, FieldPut{*m_lager});
}

void IModLagerDBServerObj::ReadRow(TLagerServerObj &record)
{
    TTdbTable &t = *m_lager;
    // Parsing clears the record, so the columns have to come afterwards.
    record.LoadFromXMLText(t.FieldByName(cXML).AsString());
    TLagerArtikelDaten &d = record;
    d.LagerArtikelNr = t.FieldByName(cNr).AsString();
    d.Katalog = t.FieldByName(cKatalog).AsString();
    d.Bezeichnung = t.FieldByName(cBez).AsString();
    // The XML text has no place for the EAN; the table's column, which scanners and the
    // suite's other programs look codes up in, is where it lives.
    d.EAN = t.FieldByName(cEAN).AsString();
    d.BuchungsBestand = t.FieldByName(cBestand).AsFloat();
    d.SummeWareneingangMe = t.FieldByName(cZugang).AsFloat();
    d.Gruppe = t.FieldByName(cGruppe).AsString();
    d.Lagerort = t.FieldByName(cLagerort).AsString();
    d.Inventurartikel = t.FieldByName(cInventur).AsBoolean();
    d.Anfangsbestand = t.FieldByName(cAnfang).AsFloat();
    d.InventurErfassung = t.FieldByName(cErfassung).AsFloat();
    d.Inventurdifferenz = t.FieldByName(cDifferenz).AsFloat();
    d.Rabattgruppen = t.FieldByName(cRabatt).AsString();
    d.ME = t.FieldByName(cME).AsString();
    d.DEinstandsPreisbildung = t.FieldByName(cDEinstand).AsBoolean();
    d.EKPreis = Money::fromDouble(t.FieldByName(cEK).AsFloat());
    d.VKZuschlag = t.FieldByName(cZuschlag).AsFloat();
    d.MwStSatz = quint8(t.FieldByName(cMwSt).AsInteger());
    d.SNPflicht = t.FieldByName(cSNPflicht).AsBoolean();
    d.ViewColor = t.FieldByName(cColor).AsInteger();
    d.IsNotBestandsartikel = t.FieldByName(cNotStock).AsBoolean();
}

void IModLagerDBServerObj::WriteSerialRow(const TSeriennummer &serial)
{
    TTdbTable &t = *m_serials;
    t.FieldByName(sSN).SetAsString(serial.SN);
    t.FieldByName(cNr).SetAsString(serial.LagerArtikelNr);
    t.FieldByName(sInfo).SetAsString(serial.INFO);
    t.FieldByName(sZugang).SetAsDateTime(serial.ZUGANG);
    t.FieldByName(sLieferant).SetAsString(serial.LIEFERANT);
    t.FieldByName(sResNr).SetAsString(serial.RESAUFTRAGSNR);
    t.FieldByName(sResTyp).SetAsInteger(quint8(serial.RESAUFTRAGSTYP));
}

void IModLagerDBServerObj::ReadSerialRow(TSeriennummer &serial)
{
    TTdbTable &t = *m_serials;
    serial.SN = t.FieldByName(sSN).AsString();
    serial.LagerArtikelNr = t.FieldByName(cNr).AsString();
    serial.INFO = t.FieldByName(sInfo).AsString();
    serial.ZUGANG = t.FieldByName(sZugang).AsDateTime();
    serial.LIEFERANT = t.FieldByName(sLieferant).AsString();
    serial.RESAUFTRAGSNR = t.FieldByName(sResNr).AsString();
    serial.RESAUFTRAGSTYP = t.FieldByName(sResTyp).AsInteger();
}

// ---------------------------------------------------------------------------------------------
// Articles

bool IModLagerDBServerObj::isLagerEmpty()
{
    return !m_lager->Active() || m_lager->IsEmpty();
}

bool IModLagerDBServerObj::locateArticle(const QString &nr)
{
    TTdbTable &t = *m_lager;
    if (sameName(t.IndexName(), kArticleIndex))
        return t.FindKey({nr});
    // Another order is current: search by the column without touching the caller's index.
    const QString savedFilter = t.Filter();
    t.SetFilter(u"LagerArtikelNr = '"_s + QString(nr).replace(u'\'', u"''"_s) + u'\'');
    bool found = false;
    try {
        found = t.FindFirst();
    } catch (...) {
        t.SetFilter(savedFilter);
        throw;
    }
    t.SetFilter(savedFilter);
    return found;
}

int IModLagerDBServerObj::ReadArticle(TLagerServerObj *record)
{
    int result = -1;
    if (!record || record->LagerArtikelNr.isEmpty())
        return result;
    ControlsDisabled guard(*m_lager);
    try {
        if (isLagerEmpty())
            return result;
        if (!locateArticle(record->LagerArtikelNr)) {
            result = -2;
            return result;
        }
        ReadRow(*record);
        result = 0;
    } catch (const std::exception &) {
    }
    return result;
}

int IModLagerDBServerObj::WriteArticle(TLagerServerObj *record)
{
    int result = -1;
    if (!record)
        return result;
    TTdbTable &t = *m_lager;
    ControlsDisabled guard(t);
    try {
        const QString previous = CurrentArticleNr();
        if (locateArticle(record->LagerArtikelNr))
            t.Edit();
        else
            t.Append();
        WriteRow(*record);
        t.Post();
        if (!previous.isEmpty())
            locateArticle(previous);
        result = 0;
    } catch (const std::exception &e) {
        cancelEdit(t);
        ReportError(&e, u"SetLagerArtikel\n"_s + errorText(e));
    }
    return result;
}

int IModLagerDBServerObj::ArticleExists(const QString &nr)
{
    int result = 0;
    TTdbTable &t = *m_lager;
    ControlsDisabled guard(t);
    try {
        if (isLagerEmpty())
            return result;
        // Under "001" the number names the row, and finding it again costs a key look-up
        // where asking for the row number would count every row in front of it. Under
        // another order the row number is all there is; it then names the row at that place
        // in "001", the behaviour callers of the old store saw.
        const bool byNumber = sameName(t.IndexName(), kArticleIndex);
        const QString previousNr = byNumber ? CurrentArticleNr() : QString();
        const int previousNo = byNumber ? 0 : t.RecordNo();
        t.SetIndexName(kArticleIndex);
        result = t.FindKey({nr}) ? 1 : 0;
        if (!previousNr.isEmpty())
            t.FindKey({previousNr});
        else if (previousNo > 0)
            t.SetRecordNo(previousNo);
    } catch (const std::exception &) {
    }
    return result;
}

int IModLagerDBServerObj::DeleteArticle(const QString &nr)
{
    int result = -1;
    if (nr.isEmpty())
        return result;
    ControlsDisabled guard(*m_lager);
    try {
        if (isLagerEmpty() || !locateArticle(nr))
            return result;
        m_lager->Delete();
        result = 0;
    } catch (const std::exception &) {
    }
    return result;
}

int IModLagerDBServerObj::GotoArticle(const QString &nr)
{
    int result = -1;
    ControlsDisabled guard(*m_lager);
    try {
        if (!isLagerEmpty() && locateArticle(nr))
            result = 0;
    } catch (const std::exception &) {
    }
    return result;
}

QString IModLagerDBServerObj::CurrentArticleNr()
{
    TTdbTable &t = *m_lager;
    // Without a current row the field reads as empty.
    return t.Active() ? t.FieldByName(cNr).AsString() : QString();
}

int IModLagerDBServerObj::ArticleCount()
{
    try {
        return m_lager->Active() ? m_lager->RecordCount() : 0;
    } catch (const std::exception &) {
        return 0;
    }
}

double IModLagerDBServerObj::GetArticleValue(const QString &nr, const QString &column)
{
    double result = 0;
    if (nr.isEmpty())
        return result;
    ControlsDisabled guard(*m_lager);
    try {
        if (!isLagerEmpty() && locateArticle(nr))
            result = m_lager->FieldByName(column).AsFloat();
    } catch (const std::exception &) {
    }
    return result;
}

void IModLagerDBServerObj::SetArticleValue(const QString &nr, const QString &column, double value)
{
    if (nr.isEmpty())
        return;
    TTdbTable &t = *m_lager;
    ControlsDisabled guard(t);
    try {
        if (isLagerEmpty() || !locateArticle(nr))
            return;
        t.Edit();
        t.FieldByName(column).SetAsFloat(value);
        t.Post();
    } catch (const std::exception &) {
        cancelEdit(t);
    }
}

int IModLagerDBServerObj::SetArticleText(const QString &nr, const QString &column,
                                         const QString &value)
{
    if (nr.isEmpty())
        return -1;
    try {
        return m_lager->SetFieldByKey(kArticleIndex, {nr}, column, value) > 0 ? 0 : -2;
    } catch (const std::exception &e) {
        ReportError(&e, u"SetArticleText\n"_s + errorText(e));
        return -1;
    }
}

void IModLagerDBServerObj::SetArticleIndex(const QString &indexName)
{
    m_lagerIndex = indexName;
    m_lager->SetIndexName(indexName);
}

void IModLagerDBServerObj::SetSerialIndex(const QString &indexName)
{
    m_serialIndex = indexName;
    m_serials->SetIndexName(indexName);
}

void IModLagerDBServerObj::RestoreIndexes()
{
    m_lager->SetIndexName(m_lagerIndex);
    m_serials->SetIndexName(m_serialIndex);
}

// ---------------------------------------------------------------------------------------------
// Bulk writes

IModLagerDBServerObj::BulkWriter::BulkWriter(IModLagerDBServerObj &db) : m_db(db)
{
    TLagerServerObj article;
    m_articles = std::make_unique<TTableAppender>(
        *db.m_lager,
        columnsOf(article, [](TLagerServerObj &r, const auto &put) { putArticle(r, put); }));
    const TLagerBuchung row;
    m_bookings = std::make_unique<TTableAppender>(
        *db.m_bookings,
        columnsOf(row, [](const TLagerBuchung &r, const auto &put) { putBooking(r, put); }));
}

IModLagerDBServerObj::BulkWriter::~BulkWriter() = default;

int IModLagerDBServerObj::BulkWriter::ReplaceArticle(TLagerServerObj &record, double &stockBefore,
                                                     bool mayExist)
{
    stockBefore = 0;
    TTdbTable &t = *m_db.m_lager;
    ControlsDisabled guard(t);
    try {
        if (mayExist && m_db.locateArticle(record.LagerArtikelNr)) {
            // Columns the article's record does not carry stay as the row had them.
            stockBefore = t.FieldByName(cBestand).AsFloat();
            t.Edit();
            m_db.WriteRow(record);
            t.Post();
        } else {
            putArticle(record, AppenderPut(*m_articles));
            m_articles->Post();
        }
        return 0;
    } catch (const std::exception &e) {
        cancelEdit(t);
        m_db.ReportError(&e, u"SetLagerArtikel\n"_s + errorText(e));
    }
    return -1;
}

int IModLagerDBServerObj::BulkWriter::AppendBooking(const TLagerBuchung &row)
{
    try {
        putBooking(row, AppenderPut(*m_bookings));
        m_bookings->Post();
        return 0;
    } catch (const std::exception &e) {
        m_db.ReportError(&e, u"AppendBooking\n"_s + errorText(e));
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Serial numbers

bool IModLagerDBServerObj::locateSerial(const QString &sn, const QString &nr)
{
    TTdbTable &t = *m_serials;
    const QString saved = t.IndexName();
    const bool byArticle = sameName(saved, kSerialByArticleIndex);
    const bool switched = !byArticle && !sameName(saved, kSerialIndex);
    if (switched)
        t.SetIndexName(kSerialIndex);
    const QString &keyColumn = byArticle ? cNr : sSN;
    const QString &key = byArticle ? nr : sn;
    const QString &otherColumn = byArticle ? sSN : cNr;
    const QString &other = byArticle ? sn : nr;
    bool found = false;
    try {
        // The key finds the first row of the number; the pair is among the rows after it.
        if (t.FindKey({key})) {
            for (;;) {
                if (t.FieldByName(otherColumn).AsString() == other) {
                    found = true;
                    break;
                }
                t.Next();
                if (t.Eof() || t.FieldByName(keyColumn).AsString() != key)
                    break;
            }
        }
    } catch (...) {
        if (switched)
            t.SetIndexName(saved);
        throw;
    }
    if (switched)
        t.SetIndexName(saved);
    return found;
}

int IModLagerDBServerObj::ReadSerial(TSeriennummer *serial)
{
    int result = -1;
    if (!serial)
        return result;
    ControlsDisabled guard(*m_serials);
    try {
        if (!locateSerial(serial->SN, serial->LagerArtikelNr)) {
            result = -2;
            return result;
        }
        ReadSerialRow(*serial);
        result = 0;
    } catch (const std::exception &) {
        result = -1;
    }
    return result;
}

int IModLagerDBServerObj::WriteSerial(const TSeriennummer *serial)
{
    int result = -1;
    if (!serial)
        return result;
    TTdbTable &t = *m_serials;
    ControlsDisabled guard(t);
    try {
        if (locateSerial(serial->SN, serial->LagerArtikelNr))
            t.Edit();
        else
            t.Append();
        WriteSerialRow(*serial);
        t.Post();
        result = 0;
    } catch (const std::exception &) {
        cancelEdit(t);
        result = -1;
    }
    return result;
}

int IModLagerDBServerObj::ReadSerials(TSeriennummerObjectList &list)
{
    int result = 0;
    for (qsizetype i = 0; i < list.Count(); ++i) {
        if (ReadSerial(&list.Item(i)) != 0)
            result = -1;
    }
    return result;
}

int IModLagerDBServerObj::WriteSerials(const TSeriennummerObjectList &list)
{
    int result = 0;
    for (const TSeriennummer &serial : list) {
        if (WriteSerial(&serial) != 0)
            result = -1;
    }
    return result;
}

int IModLagerDBServerObj::DeleteSerial(const QString &sn, const QString &nr)
{
    int result = -1;
    ControlsDisabled guard(*m_serials);
    try {
        if (locateSerial(sn, nr)) {
            m_serials->Delete();
            result = 0;
        }
    } catch (const std::exception &) {
    }
    return result;
}

int IModLagerDBServerObj::DeleteSerials(const TSeriennummerObjectList &list)
{
    int result = 0;
    for (const TSeriennummer &serial : list) {
        if (DeleteSerial(serial.SN, serial.LagerArtikelNr) != 0)
            result = -1;
    }
    return result;
}

int IModLagerDBServerObj::BookArticle(TLagerServerObj &article, const TLagerBuchung &row,
                                      const TSeriennummerObjectList *added,
                                      const TSeriennummerObjectList *removed)
{
    return bookArticle(article, {row}, added, removed);
}

int IModLagerDBServerObj::BookArticle(TLagerServerObj &article, const TLagerBuchungList &rows,
                                      const TSeriennummerObjectList *added)
{
    return bookArticle(article, rows, added, nullptr);
}

int IModLagerDBServerObj::bookArticle(TLagerServerObj &article, const TLagerBuchungList &rows,
                                      const TSeriennummerObjectList *added,
                                      const TSeriennummerObjectList *removed)
{
    TTdbDatabase &database = Database();
    try {
        database.StartTransaction();
        bool written = (!added || WriteSerials(*added) == 0) &&
                       (!removed || DeleteSerials(*removed) == 0) && WriteArticle(&article) == 0;
        for (qsizetype i = 0; written && i < rows.size(); ++i)
            written = AppendBooking(rows[i]) == 0;
        if (written) {
            database.Commit();
            return 0;
        }
        database.Rollback();
    } catch (const std::exception &e) {
        if (database.InTransaction())
            database.Rollback();
        ReportError(&e, u"BookArticle\n"_s + errorText(e));
    }
    return -1;
}

int IModLagerDBServerObj::AppendBooking(const TLagerBuchung &row)
{
    TTdbTable &t = *m_bookings;
    ControlsDisabled guard(t);
    try {
        t.Append();
        putBooking(row, FieldPut{t});
        t.Post();
        return 0;
    } catch (const std::exception &e) {
        cancelEdit(t);
        ReportError(&e, u"AppendBooking\n"_s + errorText(e));
    }
    return -1;
}

int IModLagerDBServerObj::ReadBookings(const QString &nr, TLagerBuchungList &rows)
{
    rows.clear();
    TTdbTable &t = *m_bookings;
    ControlsDisabled guard(t);
    try {
        if (!t.Active() || nr.isEmpty() || !t.FindKey({nr}))
            return 0;
        for (; !t.Eof() && t.FieldByName(cNr).AsString() == nr; t.Next()) {
            TLagerBuchung &row = rows.emplace_back();
            row.Zeit = t.FieldByName(bZeit).AsDateTime();
            row.Benutzer = t.FieldByName(bBenutzer).AsString();
            row.LagerArtikelNr = nr;
            row.Art = t.FieldByName(bArt).AsInteger();
            row.Menge = t.FieldByName(bMenge).AsFloat();
            row.BestandVorher = t.FieldByName(bVorher).AsFloat();
            row.BestandNachher = t.FieldByName(bNachher).AsFloat();
            row.Preis = Money::fromDouble(t.FieldByName(bPreis).AsFloat());
            row.BestellNr = t.FieldByName(bBestellNr).AsString();
            row.BestellPos = t.FieldByName(bBestellPos).AsInteger();
            row.Seriennummern = t.FieldByName(bSerien).AsString();
        }
        return 0;
    } catch (const std::exception &) {
        rows.clear();
    }
    return -1;
}

int IModLagerDBServerObj::FilterSerials(const QString &nr)
{
    TTdbTable &t = *m_serials;
    try {
        t.SetIndexName(kSerialIndex);
        // Doubling the apostrophe keeps numbers like O'BRIEN inside the quoted value.
        t.SetFilter(u"LagerArtikelNr = '"_s + QString(nr).replace(u'\'', u"''"_s) + u'\'');
        t.SetFiltered(true);
        t.First();
    } catch (const std::exception &) {
    }
    return 0;
}

void IModLagerDBServerObj::SerialsOfArticle(const QString &nr, QStringList &list)
{
    list.clear();
    FilterSerials(nr);
    TTdbTable &t = *m_serials;
    ControlsDisabled guard(t);
    try {
        for (t.First(); !t.Eof(); t.Next())
            list.append(t.FieldByName(sSN).AsString());
    } catch (const std::exception &) {
    }
}

int IModLagerDBServerObj::SerialCount()
{
    try {
        return m_serials->Active() ? m_serials->RecordCount() : 0;
    } catch (const std::exception &) {
        return 0;
    }
}

int IModLagerDBServerObj::FindNearestSerial(const QString &sn)
{
    ControlsDisabled guard(*m_serials);
    try {
        m_serials->FindNearest({sn});
    } catch (const std::exception &) {
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Search

void IModLagerDBServerObj::Search(const QString &text, const QString &group,
                                  TDBLagerSearchResultObjectList &result,
                                  bool withoutNotStockArticles, bool onlyStockTakingArticles)
{
    result.Clear();
    TTdbTable &t = *m_lager;
    if (!t.Active())
        return;
    try {
        if (ScanLagerTable(t, text, group, withoutNotStockArticles, onlyStockTakingArticles,
                           result))
            return;
        result.Clear();
        searchByCursor(text, group, result, withoutNotStockArticles, onlyStockTakingArticles);
    } catch (const std::exception &e) {
        ReportError(&e, u"Search\n"_s + errorText(e));
    }
}

void IModLagerDBServerObj::searchByCursor(const QString &text, const QString &group,
                                          TDBLagerSearchResultObjectList &result,
                                          bool withoutNotStockArticles,
                                          bool onlyStockTakingArticles)
{
    TTdbTable &t = *m_lager;
    ControlsDisabled guard(t);
    const TLagerSearchMatcher matcher(text, group);
    const QString previous = CurrentArticleNr();
    TField &nr = t.FieldByName(cNr);
    TField &bez = t.FieldByName(cBez);
    TField &gruppe = t.FieldByName(cGruppe);
    TField &inventur = t.FieldByName(cInventur);
    TField &notStock = t.FieldByName(cNotStock);
    TLagerGroupTexts groups;
    qint32 recNo = 0;
    // Counting while walking from the first row gives what RecordNo would, without asking.
    for (t.First(); !t.Eof(); t.Next()) {
        ++recNo;
        if (onlyStockTakingArticles && !inventur.AsBoolean())
            continue;
        if (withoutNotStockArticles && notStock.AsBoolean())
            continue;
        const QString g = gruppe.AsString();
        const QString b = bez.AsString();
        if (!matcher.Matches(b, g))
            continue;
        result.Add(
            std::make_unique<TDBLagerSearchResult>(recNo, nr.AsString(), b, groups.shared(g)));
    }
    if (!previous.isEmpty())
        locateArticle(previous);
}

bool IModLagerDBServerObj::LoadDetails(TDBLagerSearchResult &entry)
{
    TTdbTable &t = *m_lager;
    ControlsDisabled guard(t);
    try {
        // By number rather than by the remembered row: rows other users added since the
        // search would shift the row numbers.
        if (isLagerEmpty() || !locateArticle(entry.ArtikelNr().toString()))
            return false;
        entry.SetGruppe(t.FieldByName(cGruppe).AsString());
        TDBLagerSearchResult::Details &d = entry.EditInfo();
        d.Rabattgruppen = t.FieldByName(cRabatt).AsString();
        d.Lagerort = t.FieldByName(cLagerort).AsString();
        d.EKPreis = Money::fromDouble(t.FieldByName(cEK).AsFloat());
        const QString xml = t.FieldByName(cXML).AsString();
        for (int i = 0; i < 5; ++i) {
            const QString value =
                XMLTagAttribute(xml, u"pinfo", QString(u"vkp"_s + QString::number(i + 1)));
            d.VKPreis[size_t(i)] = StrToCurrTolerant(value, Money());
        }
        d.IsNotBestandsartikel = t.FieldByName(cNotStock).AsBoolean();
        d.ViewColor = t.FieldByName(cColor).AsInteger();
        d.ME = t.FieldByName(cME).AsString();
        d.SummeWareneingangMe = t.FieldByName(cZugang).AsFloat();
        d.Anfangsbestand = t.FieldByName(cAnfang).AsFloat();
        entry.SetDetailsLoaded(true);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
