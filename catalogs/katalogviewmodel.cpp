#include "catalogs/katalogviewmodel.h"

#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/translation.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "persistence/conversions.h"
#include "persistence/engine/tdbtable.h"

using namespace Qt::StringLiterals;

namespace
{
bool viewKey(const IniFile &settings, const QString &key)
{
    return settings.readBool(u"View"_s, key, false);
}

const char *const kVKTitles[] = {txNoop("VK-Preis 2"), txNoop("VK-Preis 3"), txNoop("VK-Preis 4"),
                                 txNoop("VK-Preis 5")};
} // namespace

// ---- shared ----------------------------------------------------------------------------------

TKatalogViewModel::TKatalogViewModel(TTdbTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table)
{
}

QString TKatalogViewModel::MoneyText(Money value)
{
    const QChar decimal = FormatSettings::current().decimalSeparator;
    const QChar group = decimal == u',' ? u'.' : u',';
    const qint64 cents = RoundMoney(false, value).raw() / 100;
    const quint64 magnitude = cents < 0 ? 0 - quint64(cents) : quint64(cents);
    QString units = QString::number(magnitude / 100);
    for (qsizetype i = units.size() - 3; i > 0; i -= 3)
        units.insert(i, group);
    return (cents < 0 ? u"-"_s : QString()) + units + decimal +
           u"%1"_s.arg(magnitude % 100, 2, 10, QChar(u'0'));
}

int TKatalogViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TKatalogViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TKatalogViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return *m_columns[size_t(section)].title ? tx(m_columns[size_t(section)].title) : QString();
    if (role == Qt::TextAlignmentRole && m_columns[size_t(section)].money)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

const QStringList &TKatalogViewModel::cells(int row) const
{
    static const QStringList none;
    if (row < 0 || row >= m_rows)
        return none;
    if (m_hits)
        return m_hitRows[size_t(row)];
    const int block = row / kBlock;
    auto it = m_blocks.find(block);
    if (it == m_blocks.end()) {
        // A view scrolls through a few screens at a time; older blocks are read again if
        // needed.
        if (m_blocks.size() > 64)
            m_blocks.clear();
        std::vector<QStringList> rows;
        auto *self = const_cast<TKatalogViewModel *>(this);
        try {
            self->m_table.SetRecordNo(block * kBlock + 1);
            for (int i = 0; i < kBlock && block * kBlock + i < m_rows; ++i) {
                rows.push_back(self->cellsOfCurrentRow());
                self->m_table.Next();
                if (self->m_table.Eof())
                    break;
            }
        } catch (const std::exception &) {
            // Rows another program removed meanwhile stay empty until the next reset.
        }
        it = m_blocks.insert(block, std::move(rows));
    }
    const int inBlock = row % kBlock;
    return inBlock < int(it->size()) ? (*it)[size_t(inBlock)] : none;
}

QVariant TKatalogViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= int(m_columns.size()))
        return {};
    if (role == Qt::TextAlignmentRole && m_columns[size_t(index.column())].money)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return cells(index.row()).value(index.column());
}

QString TKatalogViewModel::ArticleNr(int row) const
{
    return cells(row).value(keyColumn());
}

void TKatalogViewModel::ShowAll()
{
    beginResetModel();
    m_hits = false;
    m_hitRows.clear();
    m_blocks.clear();
    m_rows = 0;
    try {
        if (m_table.Active())
            m_rows = m_table.RecordCount();
    } catch (const std::exception &) {
    }
    endResetModel();
}

void TKatalogViewModel::ShowHits(const QStringList &numbers)
{
    beginResetModel();
    m_hits = true;
    m_blocks.clear();
    m_hitRows.clear();
    for (const QString &nr : numbers)
        if (locate(nr))
            m_hitRows.push_back(cellsOfCurrentRow());
    m_rows = int(m_hitRows.size());
    endResetModel();
}

int TKatalogViewModel::RowOfNearest(const QString &text)
{
    if (m_hits || !m_table.Active() || m_rows == 0)
        return -1;
    locate(text); // stands on the nearest row even when the number is not there
    return m_table.Eof() && m_table.RecordNo() == 0 ? -1 : m_table.RecordNo() - 1;
}

// ---- simple catalog --------------------------------------------------------------------------

TKatalog2ViewModel::TKatalog2ViewModel(TKatalog2DB &db, const IniFile &settings, QObject *parent)
    : TKatalogViewModel(db.Table(), parent), m_db(db)
{
    m_columns.push_back({txNoop("Artikel-Nr."), 100, false, 0});
    m_columns.push_back({txNoop("Beschreibung"), 300, false, 1});
    if (viewKey(settings, u"ColEK"_s))
        m_columns.push_back({txNoop("Einkaufspreis"), 80, true, 2});
    if (viewKey(settings, u"ColVK1"_s))
        m_columns.push_back({txNoop("VK-Preis 1"), 80, true, 3});
    for (int i = 0; i < 4; ++i)
        if (viewKey(settings, u"ColVK%1"_s.arg(i + 2)))
            m_columns.push_back({kVKTitles[i], 80, true, 4 + i});
    m_columns.push_back({txNoop("Mengeneinheit"), 80, false, 8});
    ShowAll();
}

QStringList TKatalog2ViewModel::cellsOfCurrentRow()
{
    TSearchtextResultKatalog2 r;
    m_db.ReadResultRow(r);
    QStringList cells;
    for (const Column &c : m_columns) {
        switch (c.tag) {
        case 0:
            cells << r.ArtikelNr;
            break;
        case 1:
            cells << r.Beschreibung;
            break;
        case 2:
            cells << MoneyText(r.Netto);
            break;
        case 3:
            cells << MoneyText(r.VKPreis1);
            break;
        case 8:
            cells << r.ME;
            break;
        default:
            cells << MoneyText(r.VKPreise[size_t(c.tag - 4)]);
        }
    }
    return cells;
}

bool TKatalog2ViewModel::locate(const QString &nr)
{
    if (m_table.IndexName() != TKatalog2DB::kIndexId) {
        // The go-to field and the hits name rows by number: back to the number order.
        m_table.SetIndexName(TKatalog2DB::kIndexId);
        if (!ShowingHits())
            ShowAll();
    }
    m_db.GoTo(nr);
    return !m_table.Eof() && m_db.CurrentArticleNr() == nr;
}

void TKatalog2ViewModel::sort(int column, Qt::SortOrder)
{
    if (column < 0 || column >= int(m_columns.size()) || ShowingHits())
        return;
    const int tag = m_columns[size_t(column)].tag;
    if (tag != 0 && tag != 2)
        return;
    m_table.SetIndexName(tag == 0 ? TKatalog2DB::kIndexId : TKatalog2DB::kIndexEK);
    ShowAll();
}

// ---- DATANORM catalog ------------------------------------------------------------------------

TKatalog1ViewModel::TKatalog1ViewModel(TKatalog1DB &db, const IniFile &settings, QObject *parent)
    : TKatalogViewModel(db.Catalog(), parent), m_db(db)
{
    m_columns.push_back({txNoop("Artikel-Nr."), 100, false, 100});
    m_columns.push_back({txNoop("Kurzzeile 1"), 200, false, 101});
    m_columns.push_back({txNoop("Kurzzeile 2"), 200, false, 102});
    if (viewKey(settings, u"ColEK"_s))
        m_columns.push_back({txNoop("EK-Preis"), 80, true, 103});
    if (viewKey(settings, u"ColVK1"_s))
        m_columns.push_back({txNoop("VK-Preis 1 / Netto"), 100, true, 103});
    for (int i = 0; i < 4; ++i)
        if (viewKey(settings, u"ColVK%1"_s.arg(i + 2)))
            m_columns.push_back({kVKTitles[i], 80, true, 104 + i});
    m_columns.push_back({txNoop("Mengeneinheit"), 80, false, 108});
    m_columns.push_back({"", 50, false, -1});
    ShowAll();
}

QStringList TKatalog1ViewModel::cellsOfCurrentRow()
{
    TTdbTable &t = m_table;
    QStringList cells;
    for (const Column &c : m_columns) {
        switch (c.tag) {
        case 100:
            cells << t.FieldByName(u"ID"_s).AsString();
            break;
        case 101:
            cells << t.FieldByName(u"KURZZEILE1"_s).AsString();
            break;
        case 102:
            cells << t.FieldByName(u"KURZZEILE2"_s).AsString();
            break;
        case 103:
            cells << MoneyText(Money::fromDouble(t.FieldByName(u"NETTO"_s).AsFloat()));
            break;
        case 108:
            cells << t.FieldByName(u"ME"_s).AsString();
            break;
        case -1:
            cells << QString();
            break;
        default:
            cells << MoneyText(
                Money::fromDouble(t.FieldByName(u"VKPREIS%1"_s.arg(c.tag - 102)).AsFloat()));
        }
    }
    return cells;
}

bool TKatalog1ViewModel::locate(const QString &nr)
{
    return m_db.GoTo(nr);
}
