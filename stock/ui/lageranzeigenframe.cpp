#include "stock/ui/lageranzeigenframe.h"

#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "persistence/conversions.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
const QString kBestand = u"BuchungsBestand"_s;
const QString kInventur = u"InventurErfassung"_s;

void notice(const QString &text)
{
    interaction().desktopAlert(tx("Information"), text, 100, 3000);
}

QString money(Money m)
{
    return TSystemEinstellungen::instance().FormatMoney(m);
}

// The suite keeps colours as Windows values: red in the low byte.
QColor windowsColour(qint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Counted stock is edited under the article's record lock: a refused lock refuses the editor.
class CountDelegate : public QStyledItemDelegate
{
public:
    explicit CountDelegate(TLagerAnzeigenFrame *frame) : QStyledItemDelegate(frame), m_frame(frame)
    {
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        TDBLagerSearchResult *e = m_frame->Model().Entry(index.row());
        if (!e || !m_frame->BeginCellEdit(e->ArtikelNr().toString()))
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override
    {
        QStyledItemDelegate::destroyEditor(editor, index);
        m_frame->EndCellEdit();
    }

private:
    TLagerAnzeigenFrame *m_frame;
};
} // namespace

QString SecondsText(double seconds)
{
    // Milliseconds, and finer digits only where a fast search would otherwise read "0,000".
    int decimals = 3;
    while (decimals < 6 && seconds > 0 && std::round(seconds * std::pow(10, decimals)) == 0)
        ++decimals;
    QString text = QString::number(seconds, 'f', decimals);
    text.replace(u'.', FormatSettings::current().decimalSeparator);
    return text;
}

TLagerListModel::TLagerListModel(IModLagerDBServerObj &db, QObject *parent)
    : QAbstractTableModel(parent), m_db(db)
{
}

void TLagerListModel::SetColumns(std::vector<TLagerListColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

void TLagerListModel::SetList(TDBLagerSearchResultObjectList *list)
{
    beginResetModel();
    m_list = list;
    endResetModel();
}

void TLagerListModel::Reset()
{
    beginResetModel();
    endResetModel();
}

void TLagerListModel::RowsChanged()
{
    Reset();
}

void TLagerListModel::RowsRepaint(int first, int last)
{
    if (first <= last && !m_columns.empty())
        emit dataChanged(index(first, 0), index(last, int(m_columns.size()) - 1));
}

TDBLagerSearchResult *TLagerListModel::Entry(int row) const
{
    if (!m_list || row < 0 || row >= m_list->Count())
        return nullptr;
    return m_list->Item(row);
}

void TLagerListModel::RemoveEntryAt(int row, TDBLagerSearchResultObjectList *searchList,
                                    TDBLagerSearchResultObjectList &fullList)
{
    TDBLagerSearchResult *e = Entry(row);
    if (!e)
        return;
    beginRemoveRows({}, row, row);
    if (searchList)
        searchList->Remove(e);
    fullList.Remove(e); // frees it
    endRemoveRows();
}

int TLagerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_list ? 0 : int(m_list->Count());
}

int TLagerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

TDBLagerSearchResult *TLagerListModel::detailed(int row) const
{
    TDBLagerSearchResult *e = Entry(row);
    if (e && !e->DetailsLoaded())
        m_db.LoadDetails(*e);
    return e;
}

double TLagerListModel::currentStock(TDBLagerSearchResult &entry) const
{
    const double stock = m_db.GetArticleValue(entry.ArtikelNr().toString(), kBestand);
    entry.EditInfo().Bestand = stock;
    return stock;
}

QString TLagerListModel::text(TDBLagerSearchResult &e, int code) const
{
    using namespace LagerColumn;
    switch (code) {
    case ArtikelNr:
        return e.ArtikelNr().toString();
    case Bezeichnung:
        return e.Bezeichnung().toString();
    case Gruppe:
        return e.Gruppe();
    default:
        break;
    }
    const TDBLagerSearchResult::Details &d = e.Info();
    switch (code) {
    case Lagerort:
        return d.Lagerort;
    case Rabattgruppe:
        return d.Rabattgruppen;
    case EKPreis:
        return money(d.EKPreis);
    case Bestand:
        if (d.IsNotBestandsartikel)
            return {};
        return floatToText(currentStock(e)) + u' ' + e.Info().ME;
    case ZugangGesamt:
        return floatToText(d.SummeWareneingangMe);
    case LagerColumn::Anfangsbestand:
        return floatToText(d.Anfangsbestand);
    case Inventurbestand:
        return floatToText(m_db.GetArticleValue(e.ArtikelNr().toString(), kInventur));
    case Bestandswert:
        return money(
            RoundMoney(TSystemEinstellungen::instance().FullCurrency, d.EKPreis * currentStock(e)));
    default:
        if (code >= VKPreis1 && code <= VKPreis5)
            return money(d.VKPreis[size_t(code - VKPreis1)]);
        return {};
    }
}

QVariant TLagerListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int code = CodeOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        TDBLagerSearchResult *e =
            code <= LagerColumn::Gruppe ? Entry(index.row()) : detailed(index.row());
        return e ? text(*e, code) : QString();
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            (m_columns[size_t(index.column())].RightAligned ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (index.row() % 2 == 1)
            return QColor(0xF5, 0xF5, 0xF5);
        return {};
    case Qt::FontRole:
    case Qt::ForegroundRole: {
        TDBLagerSearchResult *e = detailed(index.row());
        if (!e)
            return {};
        const auto &d = e->Info();
        if (code == LagerColumn::Bestand) {
            // the style asks for font and colour before the text: read the stock here too
            if (d.IsNotBestandsartikel || currentStock(*e) >= 0)
                return {};
            if (role == Qt::ForegroundRole)
                return QColor(Qt::red); // a selected row paints its text white regardless
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role == Qt::ForegroundRole && d.ViewColor != 0 && d.ViewColor != 0xFFFFFF)
            return windowsColour(d.ViewColor);
        return {};
    }
    default:
        return {};
    }
}

bool TLagerListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || CodeOf(index.column()) != LagerColumn::Inventurbestand)
        return false;
    TDBLagerSearchResult *e = Entry(index.row());
    if (!e)
        return false;
    m_db.SetArticleValue(e->ArtikelNr().toString(), kInventur,
                         StrToFloatTolerant(QStringView(value.toString()), 0));
    emit dataChanged(index, index);
    return true;
}

QVariant TLagerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return tx(m_columns[size_t(section)].Caption);
    return {};
}

Qt::ItemFlags TLagerListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index) | Qt::ItemNeverHasChildren;
    if (index.isValid() && CodeOf(index.column()) == LagerColumn::Inventurbestand)
        f |= Qt::ItemIsEditable;
    return f;
}

TLagerAnzeigenFrame::TLagerAnzeigenFrame(QWidget *owner, const QString &stockDir,
                                         const IniFile &settings, int layout,
                                         const QString &lockOwner)
    : QFrame(owner), m_db(std::make_unique<IModLagerDBServerObj>(&TLogHelper::DatabaseError)),
      m_lockOwner(lockOwner)
{
    setObjectName(u"LagerAnzeigenFrame"_s);
    m_db->Open(stockDir);
    m_config.LoadFromFile(TLagerConfig::FileNameIn(stockDir));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *searchBar = new QWidget(this);
    searchBar->setObjectName(u"pnSearch"_s);
    searchBar->setProperty("tag", 2); // colour scheme: search bars
    auto *bar = new QHBoxLayout(searchBar);
    outer->addWidget(searchBar);
    auto label = [&](const char *text) { bar->addWidget(new QLabel(tx(text), this)); };
    label(txNoop("Suchtext"));
    label(txNoop("Umsch+F7"));
    m_edSearch = new QLineEdit(this);
    m_edSearch->setObjectName(u"edSearch"_s);
    bar->addWidget(m_edSearch, 2);
    label(txNoop("Artikelgruppe"));
    m_cbArtGrp = new QComboBox(this);
    m_cbArtGrp->setObjectName(u"cbArtGrp"_s);
    m_cbArtGrp->addItem(tx("Alle"));
    m_cbArtGrp->addItems(m_config.Artikelgruppen);
    bar->addWidget(m_cbArtGrp, 1);
    m_btSucheStarten = new QPushButton(tx("Suche starten"), this);
    m_btSucheStarten->setObjectName(u"btSucheStarten"_s);
    bar->addWidget(m_btSucheStarten);
    m_btSucheBeenden = new QPushButton(tx("Suche beenden"), this);
    m_btSucheBeenden->setObjectName(u"btSucheBeenden"_s);
    m_btSucheBeenden->setEnabled(false);
    bar->addWidget(m_btSucheBeenden);
    label(txNoop("Gehe zu"));
    label(txNoop("F7"));
    m_edGoto = new QLineEdit(this);
    m_edGoto->setObjectName(u"edGoto"_s);
    m_edGoto->setMaxLength(20);
    m_gotoPalette = m_edGoto->palette();
    bar->addWidget(m_edGoto, 1);

    m_grid = new QTreeView(this);
    m_grid->setObjectName(u"VDBGrid"_s);
    m_grid->setRootIsDecorated(false);
    m_grid->setUniformRowHeights(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->setItemDelegate(new CountDelegate(this));
    m_grid->header()->setSectionsMovable(true);
    m_grid->header()->setSectionsClickable(true);
    m_grid->header()->setStretchLastSection(false);
    outer->addWidget(m_grid, 1);

    m_model = new TLagerListModel(*m_db, this);
    m_layout = TLagerListLayout::Build(layout, settings, objectName(), m_grid->objectName());
    m_model->SetColumns(m_layout.Columns);
    m_model->SetList(&m_full);
    m_grid->setModel(m_model);
    m_grid->viewport()->installEventFilter(this);

    connect(m_grid->header(), &QHeaderView::sectionClicked, this,
            &TLagerAnzeigenFrame::SortByColumn);
    connect(m_btSucheStarten, &QPushButton::clicked, this, &TLagerAnzeigenFrame::StartSearch);
    connect(m_btSucheBeenden, &QPushButton::clicked, this, &TLagerAnzeigenFrame::EndSearch);
    connect(m_cbArtGrp, &QComboBox::activated, this, [this] { StartSearch(); });
    connect(m_edGoto, &QLineEdit::textChanged, this, &TLagerAnzeigenFrame::gotoChanged);
    for (QWidget *w : {static_cast<QWidget *>(m_grid), static_cast<QWidget *>(m_edSearch),
                       static_cast<QWidget *>(m_edGoto), static_cast<QWidget *>(m_cbArtGrp)})
        w->installEventFilter(this);

    ApplyWindowColours(this);
    LoadAll();
    for (size_t i = 0; i < m_layout.Columns.size(); ++i) {
        int width = m_layout.Columns[i].Width;
        // The default widths suit the suite's narrow Windows font; a column the user has not
        // sized yet is made wide enough for what it shows.
        if (!settings.valueExists(objectName(),
                                  TLagerListLayout::WidthKey(m_grid->objectName(), int(i))))
            width = std::max(width, contentWidth(m_layout.Columns[i].Code));
        m_grid->setColumnWidth(int(i), width);
    }
    selectRow(0);
}

TLagerAnzeigenFrame::~TLagerAnzeigenFrame()
{
    TDatabaseStoreBase::Unlock(m_editLock);
    m_grid->setModel(nullptr);
    m_search.Clear();
    m_full.Clear();
    m_db->Close();
}

void TLagerAnzeigenFrame::showList(TDBLagerSearchResultObjectList *list)
{
    m_sortColumn = 0;
    m_model->SetList(list);
}

void TLagerAnzeigenFrame::LoadAll()
{
    m_db->Refresh();
    m_search.Clear();
    m_cbArtGrp->setCurrentIndex(0);
    m_model->SetList(nullptr); // the entries go away with the search
    {
        auto wait = interaction().waitWindow(tx("Bitte warten ..."));
        m_db->Search(QString(), QString(), m_full, m_layout.WithoutKeptWithoutStock,
                     m_layout.OnlyStockTaking);
    }
    showList(&m_full);
}

void TLagerAnzeigenFrame::selectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_grid->scrollTo(index);
}

QList<int> TLagerAnzeigenFrame::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_grid->selectionModel()->selectedRows())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TLagerAnzeigenFrame::MarkNotLoaded(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    for (int row : rows)
        if (TDBLagerSearchResult *e = m_model->Entry(row))
            e->SetDetailsLoaded(false);
    const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
    m_model->RowsRepaint(*first, *last);
}

void TLagerAnzeigenFrame::ReloadConfig()
{
    m_config.LoadFromFile(TLagerConfig::FileNameIn(m_db->DatabaseDirectory()));
    const QString chosen = m_cbArtGrp->currentIndex() > 0 ? m_cbArtGrp->currentText() : QString();
    const QSignalBlocker quiet(m_cbArtGrp); // refilling is no choice of the user's
    m_cbArtGrp->clear();
    m_cbArtGrp->addItem(tx("Alle"));
    m_cbArtGrp->addItems(m_config.Artikelgruppen);
    const int again = chosen.isEmpty() ? 0 : m_cbArtGrp->findText(chosen, Qt::MatchExactly);
    m_cbArtGrp->setCurrentIndex(std::max(again, 0));
}

QString TLagerAnzeigenFrame::SelectedArticleNr() const
{
    const TDBLagerSearchResult *e = m_model->Entry(m_grid->currentIndex().row());
    return e ? e->ArtikelNr().toString() : QString();
}

QString TLagerAnzeigenFrame::SelectedDescription() const
{
    const TDBLagerSearchResult *e = m_model->Entry(m_grid->currentIndex().row());
    return e ? e->Bezeichnung().toString() : QString();
}

bool TLagerAnzeigenFrame::GotoArticle(const QString &nr)
{
    const qsizetype row = DisplayedList().IndexOfArticle(nr, true);
    if (row < 0) {
        notice(formatText(tx("Artikel \"%s\" nicht gefunden."), {nr}));
        return false;
    }
    selectRow(int(row));
    m_grid->setFocus();
    return true;
}

void TLagerAnzeigenFrame::gotoChanged(const QString &text)
{
    const QString upper = text.toUpper();
    if (upper != text) {
        const int cursor = m_edGoto->cursorPosition();
        m_edGoto->setText(upper); // comes back here with the upper-case text
        m_edGoto->setCursorPosition(cursor);
        return;
    }
    if (text.isEmpty()) {
        m_edGoto->setPalette(m_gotoPalette);
        return;
    }
    if (m_config.SpEAN)
        return; // a scanner sends the whole code; its caller looks it up when complete
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TLagerGotoResult r = LookupGoto(DisplayedList(), text);
    if (r.Row >= 0)
        selectRow(int(r.Row));
    QApplication::restoreOverrideCursor();
    QPalette p = m_gotoPalette;
    p.setColor(QPalette::Base, r.Colour == TLagerGotoResult::Found ? Qt::green : Qt::red);
    p.setColor(QPalette::Text, Qt::white);
    m_edGoto->setPalette(p);
}

void TLagerAnzeigenFrame::StartSearch()
{
    const QString group = m_cbArtGrp->currentIndex() > 0 ? m_cbArtGrp->currentText() : QString();
    {
        auto wait = interaction().waitWindow(tx("Bitte warten ..."));
        const QString text = m_edSearch->text().trimmed();
        QElapsedTimer timer;
        timer.start();
        m_full.Search(text, group, m_search);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        if (m_search.IsEmpty())
            notice(tx("Nichts gefunden."));
        else
            notice(formatText(tx("%d Treffer in %s Sekunden"),
                              {QString::number(m_search.Count()), SecondsText(seconds)}));
    }
    showList(&m_search);
    selectRow(0);
    m_btSucheBeenden->setEnabled(true);
    m_edSearch->clear();
    m_edGoto->setFocus();
    m_edGoto->selectAll();
}

void TLagerAnzeigenFrame::EndSearch()
{
    const QString nr = SelectedArticleNr();
    m_edSearch->clear();
    m_cbArtGrp->setCurrentIndex(0);
    showList(&m_full);
    m_search.Clear();
    m_btSucheBeenden->setEnabled(false);
    if (!nr.isEmpty())
        GotoArticle(nr);
}

void TLagerAnzeigenFrame::SortByColumn(int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    const int code = m_model->CodeOf(column);
    TDBLagerSearchResultObjectList &list = DisplayedList();
    // before sorting: the view's current row is an index into the list as it was
    const QString current = SelectedArticleNr();
    if (LagerSortNeedsDetails(code)) {
        auto wait = interaction().waitWindow(tx("Bitte warten ..."));
        for (TDBLagerSearchResult *e : list) {
            if (!e->DetailsLoaded())
                m_db->LoadDetails(*e);
        }
    }
    if (!SortLagerList(list, code)) {
        notice(tx("Keine Sortierung moeglich."));
        return;
    }
    m_sortColumn = column;
    m_model->Reset();
    // The reset drops the selection; the user goes on with the article he was on.
    selectRow(int(list.IndexOfArticle(current, true)));
}

void TLagerAnzeigenFrame::UpdateArticle(const TLagerServerObj &a)
{
    const QString current = SelectedArticleNr();
    TDBLagerSearchResult *e = m_full.FindArticle(a.LagerArtikelNr);
    const bool added = e == nullptr;
    if (added) {
        e = m_full.Add(std::make_unique<TDBLagerSearchResult>());
        if (SearchShown())
            m_search.AddReference(e);
    }
    e->SetArtikelNr(a.LagerArtikelNr);
    e->SetBezeichnung(a.Bezeichnung);
    e->SetGruppe(a.Gruppe);
    TDBLagerSearchResult::Details &d = e->EditInfo();
    d.Lagerort = a.Lagerort;
    d.Rabattgruppen = a.Rabattgruppen;
    d.EKPreis = a.EKPreis;
    d.VKPreis = a.VKPreis;
    d.IsNotBestandsartikel = a.IsNotBestandsartikel;
    d.Bestand = a.BuchungsBestand;
    d.ME = a.ME;
    d.ViewColor = a.ViewColor;
    d.SummeWareneingangMe = a.SummeWareneingangMe;
    d.Anfangsbestand = a.Anfangsbestand;
    e->SetDetailsLoaded(true);
    if (added) {
        const int code = m_model->CodeOf(m_sortColumn);
        SortLagerList(m_full, code);
        if (SearchShown())
            SortLagerList(m_search, code);
    }
    m_model->Reset();
    // The reset drops the current row; whoever just saved an article goes on from it.
    if (!current.isEmpty())
        selectRow(int(DisplayedList().IndexOfArticle(current, true)));
}

void TLagerAnzeigenFrame::SelectRow(int row)
{
    if (m_model->rowCount() > 0)
        selectRow(std::clamp(row, 0, m_model->rowCount() - 1));
}

void TLagerAnzeigenFrame::RemoveRow(int row)
{
    m_model->RemoveEntryAt(row, SearchShown() ? &m_search : nullptr, m_full);
}

bool TLagerAnzeigenFrame::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_F7: {
        QLineEdit *field = shift ? m_edSearch : m_edGoto;
        field->setFocus();
        field->selectAll();
        return true;
    }
    case Qt::Key_Down:
    case Qt::Key_Up: {
        if (m_editLock)
            return false;
        const int row = m_grid->currentIndex().row() + (key == Qt::Key_Down ? 1 : -1);
        selectRow(std::clamp(row, 0, std::max(0, m_model->rowCount() - 1)));
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_edSearch->hasFocus())
            return false;
        StartSearch();
        return true;
    case Qt::Key_Escape:
        if (!m_btSucheBeenden->isEnabled() || m_editLock)
            return false;
        EndSearch();
        return true;
    default:
        return false;
    }
}

int TLagerAnzeigenFrame::contentWidth(int code) const
{
    const QFontMetrics metrics(m_grid->font());
    QStringList samples;
    for (const TLagerListColumn &c : m_layout.Columns) {
        if (c.Code == code)
            samples += tx(c.Caption); // the header
    }
    switch (code) {
    case LagerColumn::Gruppe: {
        // the configured groups and those the articles carry (loaded with every entry)
        QSet<QString> groups(m_config.Artikelgruppen.cbegin(), m_config.Artikelgruppen.cend());
        for (const TDBLagerSearchResult *e : m_full)
            groups.insert(e->Gruppe());
        samples += groups.values();
        break;
    }
    case LagerColumn::Lagerort:
        samples += m_config.Lagerorte;
        break;
    case LagerColumn::Rabattgruppe:
        for (const TDoubleString &group : m_config.Rabattgruppen)
            samples += group.Key;
        break;
    case LagerColumn::Bestand: {
        // A five-digit stock with the usual unit and the unit list's first one. The longest
        // unit of the list would make the column wider than almost any row needs.
        QStringList units{u"Stck (Stueck)"_s};
        TSystemEinstellungen::instance().FillUnits(units);
        for (const QString &unit : units.mid(0, 2))
            samples += u"-99999,5 "_s + unit;
        break;
    }
    case LagerColumn::EKPreis:
    case LagerColumn::Bestandswert:
        samples += money(Money::fromDouble(-99999.99));
        break;
    default:
        if (code >= LagerColumn::VKPreis1 && code <= LagerColumn::VKPreis5)
            samples += money(Money::fromDouble(-99999.99));
        break;
    }
    int widest = 0;
    for (const QString &text : std::as_const(samples))
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest + 3 * metrics.averageCharWidth(); // the cell's margins and the sort arrow
}

void TLagerAnzeigenFrame::fillWidth()
{
    // The description takes whatever the other columns leave, never less than its own width.
    int description = -1;
    int others = 0;
    for (int i = 0; i < m_model->columnCount(); ++i) {
        if (m_model->CodeOf(i) == LagerColumn::Bezeichnung)
            description = i;
        else if (!m_grid->isColumnHidden(i))
            others += m_grid->columnWidth(i);
    }
    if (description < 0)
        return;
    const int least = m_layout.Columns[size_t(description)].Width;
    m_grid->setColumnWidth(description, std::max(least, m_grid->viewport()->width() - others));
}

bool TLagerAnzeigenFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::Resize)
        fillWidth();
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // the field has the key even while the window is not active
        if (watched == m_edSearch &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            StartSearch();
            return true;
        }
        if (HandleKey(key->key(), key->modifiers()))
            return true;
    }
    return QFrame::eventFilter(watched, event);
}

bool TLagerAnzeigenFrame::BeginCellEdit(const QString &nr)
{
    TDatabaseStoreBase::Unlock(m_editLock);
    m_editLock = m_db->LockRecord(m_lockOwner, nr);
    return m_editLock != nullptr;
}

void TLagerAnzeigenFrame::EndCellEdit()
{
    TDatabaseStoreBase::Unlock(m_editLock);
    if (m_edGoto->isVisible())
        m_edGoto->setFocus();
}

void TLagerAnzeigenFrame::SaveSettings(IniFile &settings) const
{
    for (int i = 0; i < m_model->columnCount(); ++i)
        settings.writeInteger(objectName(), TLagerListLayout::WidthKey(m_grid->objectName(), i),
                              m_grid->columnWidth(i));
}
