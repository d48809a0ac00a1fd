#include "ordering/modbestelldbserverobj.h"

#include "ordering/bestellserverobj.h"
#include "persistence/engine/tdbtable.h"

using namespace Qt::StringLiterals;

namespace
{

const QString kNumberIndex = u"001"_s;

} // namespace

void IModBestellDBServerObj::CreateTableObjects()
{
    m_table = AddTable(QString::fromLatin1(kTableName), kNumberIndex);
}

void IModBestellDBServerObj::PrepareTable(int)
{
    if (m_table->IndexName().isEmpty())
        m_table->SetIndexName(kNumberIndex);
}

void IModBestellDBServerObj::DefineTable(int)
{
    TFieldDefs &f = m_table->FieldDefs();
    f.Add(u"BestellNr"_s, FieldType::WideString, 50, true);
    f.Add(u"Anzeigetext"_s, FieldType::WideString, 80);
    f.Add(u"Datum"_s, FieldType::DateTime);
    f.Add(u"LieferDatum"_s, FieldType::DateTime);
    f.Add(u"Stadium"_s, FieldType::Integer);
    f.Add(u"Netto"_s, FieldType::Float);
    f.Add(u"Waehrung"_s, FieldType::WideString, 15);
    f.Add(u"WaehrungK"_s, FieldType::WideString, 10);
    f.Add(u"CREATED"_s, FieldType::DateTime, 0, true);
    f.Add(u"CREATEDBY"_s, FieldType::WideString, 20);
    f.Add(u"CHANGED"_s, FieldType::DateTime, 0, true);
    f.Add(u"CHANGEDBY"_s, FieldType::WideString, 20);
    f.Add(u"TERMINREF"_s, FieldType::Integer);
    f.Add(u"BestellAdr"_s, FieldType::WideString, 30);
    f.Add(u"LieferAdr"_s, FieldType::WideString, 30);
    f.Add(u"RgAdr"_s, FieldType::WideString, 30);
    f.Add(u"BestellAdrTxt"_s, FieldType::WideString, 255);
    f.Add(u"LieferAdrTxt"_s, FieldType::WideString, 255);
    f.Add(u"RgAdrTxt"_s, FieldType::WideString, 255);
    f.Add(u"WV"_s, FieldType::DateTime);
    f.Add(u"WVTXT"_s, FieldType::WideString, 40);
    f.Add(u"WVUSER"_s, FieldType::WideString, 20);
    f.Add(u"CHARACT"_s, FieldType::WideMemo);
    f.Add(u"XMLBDATA"_s, FieldType::WideMemo);
    f.Add(u"XMLDATA"_s, FieldType::WideMemo);
    TIndexDefs &i = m_table->IndexDefs();
    i.Add(kNumberIndex, u"BestellNr"_s, ixUnique);
    i.Add(u"002"_s, u"Datum"_s);
    i.Add(u"003"_s, u"LieferDatum"_s);
    i.Add(u"004"_s, u"Stadium"_s);
}

void IModBestellDBServerObj::UpgradeTable()
{
    struct Column {
        QString name;
        FieldType type;
        int size;
    };
    const Column columns[] = {
        {u"WV"_s, FieldType::DateTime, 0},
        {u"WVTXT"_s, FieldType::WideString, 40},
        {u"WVUSER"_s, FieldType::WideString, 20},
    };
    TFieldDefs &defs = m_table->FieldDefs();
    bool added = false;
    for (const Column &c : columns) {
        if (defs.Contains(c.name))
            continue;
        defs.Add(c.name, c.type, c.size);
        added = true;
        // Older tables end with their memo columns; the follow-up columns go in front of them.
        const int charact = defs.IndexOf(u"CHARACT"_s);
        if (charact > 0)
            defs.Move(defs.Count() - 1, charact);
    }
    if (added)
        m_table->AlterTable();
}

void IModBestellDBServerObj::ReportFailure(const std::exception &e, const char *operation)
{
    ReportError(&e, ClassName() + u'.' + QString::fromLatin1(operation));
}

bool IModBestellDBServerObj::CurrentRowIs(const QString &number, Qt::CaseSensitivity cs)
{
    if (!m_table->Active() || (m_table->Eof() && m_table->Bof()))
        return false;
    return m_table->FieldByName(u"BestellNr"_s).AsString().compare(number, cs) == 0;
}

bool IModBestellDBServerObj::LocateNumber(const QString &number, bool nearest)
{
    const QString sortIndex = m_table->IndexName();
    const bool switchIndex = sortIndex.compare(kNumberIndex, Qt::CaseInsensitive) != 0;
    if (switchIndex)
        m_table->SetIndexName(kNumberIndex);
    bool found = true;
    try {
        if (nearest)
            m_table->FindNearest({number});
        else
            found = m_table->FindKey({number});
    } catch (...) {
        if (switchIndex)
            m_table->SetIndexName(sortIndex);
        throw;
    }
    // Switching back keeps the row just found.
    if (switchIndex)
        m_table->SetIndexName(sortIndex);
    return found;
}

void IModBestellDBServerObj::ReadRow(TBestellServerObj &o, bool withLines)
{
    TTdbTable &t = *m_table;
    const auto text = [&t](const QString &name) { return t.FieldByName(name).AsString(); };
    const auto date = [&t](const QString &name) { return t.FieldByName(name).AsDateTime(); };
    o.LoadFromXMLText(text(u"XMLDATA"_s));
    o.BestellNr = text(u"BestellNr"_s);
    o.Datum = date(u"Datum"_s);
    o.Anzeigetext = text(u"Anzeigetext"_s);
    o.LieferDatum = date(u"LieferDatum"_s);
    o.Stadium = quint8(t.FieldByName(u"Stadium"_s).AsInteger());
    o.Netto = t.FieldByName(u"Netto"_s).AsFloat();
    o.Waehrung = text(u"Waehrung"_s);
    o.WaehrungK = text(u"WaehrungK"_s);
    o.Angelegt = date(u"CREATED"_s);
    o.AngelegtVon = text(u"CREATEDBY"_s);
    o.Geaendert = date(u"CHANGED"_s);
    o.GeaendertVon = text(u"CHANGEDBY"_s);
    o.TerminRef = t.FieldByName(u"TERMINREF"_s).AsInteger();
    o.BestellAdr.Text1 = text(u"BestellAdr"_s);
    o.LieferAdr.Key = text(u"LieferAdr"_s);
    o.RgAdr.Key = text(u"RgAdr"_s);
    o.BestellAdr.Text2 = text(u"BestellAdrTxt"_s);
    o.LieferAdr.Value = text(u"LieferAdrTxt"_s);
    o.RgAdr.Value = text(u"RgAdrTxt"_s);
    o.Kennzeichen = SplitTextLines(text(u"CHARACT"_s));
    o.WV = date(u"WV"_s);
    o.WVText = text(u"WVTXT"_s);
    o.WVUser = text(u"WVUSER"_s);
    if (withLines)
        o.LineWriter().LoadFromXMLText(text(u"XMLBDATA"_s));
}

void IModBestellDBServerObj::FillRow(TBestellServerObj &o, bool withLines)
{
    TTdbTable &t = *m_table;
    const auto setText = [&t](const QString &name, const QString &value) {
        t.FieldByName(name).SetAsString(value);
    };
    const auto setDate = [&t](const QString &name, double value) {
        t.FieldByName(name).SetAsDateTime(value);
    };
    setText(u"BestellNr"_s, o.BestellNr);
    setText(u"Anzeigetext"_s, o.Anzeigetext);
    setDate(u"Datum"_s, o.Datum);
    setDate(u"LieferDatum"_s, o.LieferDatum);
    t.FieldByName(u"Stadium"_s).SetAsInteger(o.Stadium);
    t.FieldByName(u"Netto"_s).SetAsFloat(o.Netto);
    setText(u"Waehrung"_s, o.Waehrung);
    setText(u"WaehrungK"_s, o.WaehrungK);
    t.FieldByName(u"TERMINREF"_s).SetAsInteger(o.TerminRef);
    setText(u"BestellAdr"_s, o.BestellAdr.Text1);
    setText(u"LieferAdr"_s, o.LieferAdr.Key);
    setText(u"RgAdr"_s, o.RgAdr.Key);
    setText(u"BestellAdrTxt"_s, o.BestellAdr.Text2);
    setText(u"LieferAdrTxt"_s, o.LieferAdr.Value);
    setText(u"RgAdrTxt"_s, o.RgAdr.Value);
    setDate(u"CHANGED"_s, o.Geaendert);
    setText(u"CHANGEDBY"_s, o.GeaendertVon);
    setDate(u"WV"_s, o.WV);
    setText(u"WVTXT"_s, o.WVText);
    setText(u"WVUSER"_s, o.WVUser);
    setText(u"CHARACT"_s, o.Kennzeichen.join(u"\r\n"_s));
    setText(u"XMLDATA"_s, o.GetXMLText(false));
    if (withLines)
        setText(u"XMLBDATA"_s, o.LineWriter().GetXMLText(true));
}

int IModBestellDBServerObj::ReadOrder(TBestellServerObj *order, bool withLines)
{
    if (!order || !m_table)
        return -1;
    try {
        order->BestellNr = order->BestellNr.toUpper();
        if (!CurrentRowIs(order->BestellNr, Qt::CaseSensitive) &&
            !LocateNumber(order->BestellNr, false))
            return -2;
        ReadRow(*order, withLines);
        return 0;
    } catch (const std::exception &e) {
        ReportFailure(e, "ReadOrder");
        return -1;
    }
}

int IModBestellDBServerObj::WriteOrder(TBestellServerObj *order, bool withLines)
{
    if (!order || !m_table)
        return -1;
    try {
        order->BestellNr = order->BestellNr.toUpper();
        if (CurrentRowIs(order->BestellNr, Qt::CaseSensitive) ||
            LocateNumber(order->BestellNr, false)) {
            m_table->Edit();
        } else {
            m_table->Append();
            // The order keeps the time the ordering module created it, not when it is stored.
            m_table->FieldByName(u"CREATED"_s).SetAsDateTime(order->Angelegt);
            m_table->FieldByName(u"CREATEDBY"_s).SetAsString(order->AngelegtVon);
        }
        try {
            FillRow(*order, withLines);
            m_table->Post();
        } catch (...) {
            m_table->Cancel();
            throw;
        }
        return 0;
    } catch (const std::exception &e) {
        ReportFailure(e, "WriteOrder");
        return -1;
    }
}

bool IModBestellDBServerObj::OrderExists(const QString &number)
{
    if (!m_table)
        return false;
    const QString upper = number.toUpper();
    try {
        return CurrentRowIs(upper, Qt::CaseInsensitive) || LocateNumber(upper, false);
    } catch (const std::exception &e) {
        ReportFailure(e, "OrderExists");
        return false;
    }
}

void IModBestellDBServerObj::FindNearestOrder(const QString &number)
{
    if (!m_table)
        return;
    try {
        LocateNumber(number, true);
    } catch (const std::exception &e) {
        ReportFailure(e, "FindNearestOrder");
    }
}

QString IModBestellDBServerObj::CurrentOrderNr()
{
    try {
        if (!m_table || !m_table->Active() || (m_table->Eof() && m_table->Bof()))
            return {};
        return m_table->FieldByName(u"BestellNr"_s).AsString();
    } catch (const std::exception &) {
        return {};
    }
}
