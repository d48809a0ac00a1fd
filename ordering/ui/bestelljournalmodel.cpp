#include "ordering/ui/bestelljournalmodel.h"

#include "base/formatsettings.h"
#include "base/translation.h"
#include "ordering/bestellserverobj.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"

#include <QFont>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{

bool hasTimeOfDay(double value)
{
    return QTime(0, 0).msecsTo(DateTime::toQDateTime(value).time()) >= 60000;
}

// A date-time column as the grid shows it: nothing for an empty value, the date alone when
// the value has no time of day.
QString dateTimeText(double value)
{
    if (value == 0)
        return {};
    const FormatSettings &f = FormatSettings::current();
    const QDateTime dt = DateTime::toQDateTime(value);
    if (!hasTimeOfDay(value))
        return dt.date().toString(f.shortDateFormat);
    return dt.toString(f.shortDateFormat + u' ' + f.longTimeFormat);
}

} // namespace

void TBestellJournalModel::Reload()
{
    beginResetModel();
    m_rows.clear();
    if (m_table && m_table->Active()) {
        const QString current = m_table->Eof() && m_table->Bof()
                                    ? QString()
                                    : m_table->FieldByName(u"BestellNr"_s).AsString();
        m_table->DisableControls();
        m_table->First();
        while (!m_table->Eof()) {
            Row r;
            r.nr = m_table->FieldByName(u"BestellNr"_s).AsString();
            r.text = m_table->FieldByName(u"Anzeigetext"_s).AsString();
            r.datum = m_table->FieldByName(u"Datum"_s).AsDateTime();
            r.lieferDatum = m_table->FieldByName(u"LieferDatum"_s).AsDateTime();
            r.stadium = m_table->FieldByName(u"Stadium"_s).AsInteger();
            r.wv = m_table->FieldByName(u"WV"_s).AsDateTime();
            m_rows.append(r);
            m_table->Next();
        }
        // Back to the row that was current; it may be filtered out, then the first one.
        m_table->First();
        if (!current.isEmpty()) {
            const int row = RowOf(current);
            if (row >= 0)
                m_table->SetRecordNo(row + 1);
        }
        m_table->EnableControls();
    }
    endResetModel();
}

int TBestellJournalModel::RowOf(const QString &number) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].nr == number)
            return i;
    return -1;
}

QString TBestellJournalModel::NumberAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].nr : QString();
}

int TBestellJournalModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TBestellJournalModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TBestellJournalModel::FollowUpText(double value)
{
    if (value == 0)
        return {};
    const QDateTime dt = DateTime::toQDateTime(value);
    return hasTimeOfDay(value) ? dt.toString(u"dd.MM.yyyy hh:mm"_s)
                               : dt.date().toString(u"dd.MM.yyyy"_s);
}

int TBestellJournalModel::FollowUpDue(double value)
{
    const QDate day = DateTime::toQDateTime(value).date();
    const QDate today = QDate::currentDate();
    return day < today ? -1 : (day == today ? 0 : 1);
}

QColor TBestellJournalModel::FollowUpColour(int due, bool selectedOrFocused)
{
    if (selectedOrFocused || due > 0)
        return {};
    return due < 0 ? QColor(Qt::red) : QColor(Qt::darkGreen);
}

QVariant TBestellJournalModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &r = m_rows[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case ColNr:
            return r.nr;
        case ColText:
            return r.text;
        case ColDatum:
            return dateTimeText(r.datum);
        case ColLieferDatum:
            return dateTimeText(r.lieferDatum);
        case ColStadium:
            return OrderStateName(r.stadium);
        case ColWV:
            return FollowUpText(r.wv);
        }
    }
    if (index.column() != ColWV || r.wv == 0)
        return {};
    if (role == FollowUpDueRole)
        return FollowUpDue(r.wv);
    if (role == Qt::FontRole && FollowUpDue(r.wv) <= 0) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

QVariant TBestellJournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::FontRole) {
        QFont font;
        font.setBold(true);
        return font;
    }
    if (role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {
        txNoop("Bestell-Nr."),  txNoop("Beschreibung"), txNoop("Datum"),
        txNoop("Liefertermin"), txNoop("Status"),       txNoop("Wiedervorlage"),
    };
    return section >= 0 && section < ColumnCount ? tx(titles[section]) : QVariant();
}
