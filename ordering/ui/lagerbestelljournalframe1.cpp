#include "ordering/ui/lagerbestelljournalframe1.h"

#include "base/inifile.h"
#include "base/translation.h"
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "ordering/ui/bestelljournalmodel.h"
#include "persistence/engine/tdbtable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const int TLagerBestelljournalFrame1::kDefaultWidths[kColumnCount] = {70, 401, 80, 80, 60, 99};

namespace
{

const QString kGridName = u"DBGrid1"_s;

// Paints the follow-up column in the colour the model chooses for the cell's state.
class FollowUpDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant due = index.data(TBestellJournalModel::FollowUpDueRole);
        if (!due.isValid())
            return;
        const QColor colour = TBestellJournalModel::FollowUpColour(
            due.toInt(), option->state & (QStyle::State_Selected | QStyle::State_HasFocus));
        if (colour.isValid())
            option->palette.setColor(QPalette::Text, colour);
    }
};

// Like patterns take '*' as wildcard and quotes doubled.
QString likeWord(const QString &word)
{
    QString w = word;
    w.replace(u'\'', u"''"_s);
    return u"(Anzeigetext like '*"_s + w + u"*')"_s;
}

} // namespace

TLagerBestelljournalFrame1::TLagerBestelljournalFrame1(QWidget *parent, const QString &directory)
    : QWidget(parent)
{
    setObjectName(u"LagerBestelljournalFrame1"_s);

    QString dir = directory.trimmed();
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    if (!dir.isEmpty())
        QDir().mkpath(dir);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(300);
    connect(m_timer, &QTimer::timeout, this, &TLagerBestelljournalFrame1::TimerFired);

    // Panel: go-to, word search, view menu.
    auto *panel = new QHBoxLayout;
    panel->addWidget(new QLabel(tx("Gehe zu") + u" (F7)"_s, this));
    m_edGoTo = new QLineEdit(this);
    m_edGoTo->setObjectName(u"edGotoBestellNr"_s);
    m_edGoTo->setMaxLength(20);
    panel->addWidget(m_edGoTo);
    panel->addWidget(new QLabel(tx("Suchtext") + u" (Shift+F7)"_s, this));
    m_edSearch = new QLineEdit(this);
    m_edSearch->setObjectName(u"edSuchtext"_s);
    panel->addWidget(m_edSearch, 1);
    m_btStartSearch = new QPushButton(tx("Suche starten"), this);
    m_btStartSearch->setObjectName(u"btSucheStarten"_s);
    panel->addWidget(m_btStartSearch);
    m_btEndSearch = new QPushButton(tx("Suche beenden"), this);
    m_btEndSearch->setObjectName(u"btSucheBeenden"_s);
    m_btEndSearch->setEnabled(false);
    panel->addWidget(m_btEndSearch);
    m_btView = new QToolButton(this);
    m_btView->setObjectName(u"btAnsicht"_s);
    m_btView->setText(tx("Ansicht"));
    m_btView->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(m_btView);
    m_actHideDelivered = menu->addAction(tx("gelieferte Bestellungen ausblenden"));
    m_actHideDelivered->setCheckable(true);
    m_btView->setMenu(menu);
    panel->addWidget(m_btView);

    m_model = new TBestellJournalModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(kGridName);
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->setItemDelegateForColumn(TBestellJournalModel::ColWV, new FollowUpDelegate(m_grid));
    for (int i = 0; i < kColumnCount; ++i)
        m_grid->setColumnWidth(i, kDefaultWidths[i]);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(panel);
    layout->addWidget(m_grid, 1);

    auto *goToKey = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(goToKey, &QShortcut::activated, m_edGoTo, [this] { m_edGoTo->setFocus(); });
    auto *searchKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7), this);
    connect(searchKey, &QShortcut::activated, m_edSearch, [this] { m_edSearch->setFocus(); });

    connect(m_edGoTo, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Order numbers are stored upper-case; typing follows them.
        const int cursor = m_edGoTo->cursorPosition();
        m_edGoTo->setText(text.toUpper());
        m_edGoTo->setCursorPosition(cursor);
        GoTo(m_edGoTo->text());
    });
    connect(m_edSearch, &QLineEdit::returnPressed, this, &TLagerBestelljournalFrame1::StartSearch);
    connect(m_btStartSearch, &QPushButton::clicked, this, &TLagerBestelljournalFrame1::StartSearch);
    connect(m_btEndSearch, &QPushButton::clicked, this, &TLagerBestelljournalFrame1::EndSearch);
    connect(m_actHideDelivered, &QAction::toggled, this, [this](bool checked) {
        SetBaseFilter(checked ? StateFilter({OrderState::OffeneLieferung, OrderState::Teillieferung,
                                             OrderState::InBearbeitung})
                              : QString());
    });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TLagerBestelljournalFrame1::SortByColumn);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_selecting && current.isValid())
                    RowActivated(current.row());
            });

    m_store = std::make_unique<IModBestellDBServerObj>();
    if (!m_store->Open(dir)) {
        m_store.reset();
        return;
    }
    m_model->SetTable(m_store->Table());
    Reload();
}

TLagerBestelljournalFrame1::~TLagerBestelljournalFrame1()
{
    // The model refers to the store's table.
    m_model->SetTable(nullptr);
}

void TLagerBestelljournalFrame1::ApplyFilter(const QString &filter)
{
    if (!m_store)
        return;
    TTdbTable *table = m_store->Table();
    try {
        table->SetFilter(filter);
        table->SetFiltered(!filter.isEmpty());
    } catch (const std::exception &) {
        // A filter the engine refuses shows everything rather than nothing.
        table->SetFilter(QString());
        table->SetFiltered(false);
    }
    Reload();
}

QString TLagerBestelljournalFrame1::StateFilter(std::initializer_list<OrderState> states)
{
    QStringList parts;
    for (OrderState state : states)
        parts.append(u"(Stadium = "_s + QString::number(int(state)) + u')');
    return u'(' + parts.join(u" or "_s) + u')';
}

void TLagerBestelljournalFrame1::SetBaseFilter(const QString &filter)
{
    m_baseFilter = filter;
    ApplyFilter(filter);
}

void TLagerBestelljournalFrame1::StartSearch()
{
    const QStringList words = m_edSearch->text().trimmed().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    QString filter;
    if (!m_baseFilter.isEmpty())
        filter = m_baseFilter + u" and "_s;
    filter += likeWord(words.first());
    for (qsizetype i = 1; i < words.size(); ++i)
        filter += u" and "_s + likeWord(words[i]);
    ApplyFilter(filter);
    m_btEndSearch->setEnabled(true);
}

void TLagerBestelljournalFrame1::EndSearch()
{
    const QString current = CurrentOrderNr();
    m_btEndSearch->setEnabled(false);
    if (!m_store)
        return;
    TTdbTable *table = m_store->Table();
    table->SetFilter(m_baseFilter);
    table->SetFiltered(!m_baseFilter.isEmpty());
    if (!current.isEmpty())
        m_store->OrderExists(current);
    Reload();
}

void TLagerBestelljournalFrame1::SortByColumn(int column)
{
    static const char *const indexes[kColumnCount] = {"001", "", "002", "003", "004", ""};
    if (!m_store || column < 0 || column >= kColumnCount || !*indexes[column])
        return;
    m_store->Table()->SetIndexName(QString::fromLatin1(indexes[column]));
    Reload();
}

void TLagerBestelljournalFrame1::GoTo(const QString &text)
{
    if (!m_store)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_store->FindNearestOrder(text);
    QApplication::restoreOverrideCursor();
    SelectCurrentRow();
    m_timer->start();
}

QString TLagerBestelljournalFrame1::CurrentOrderNr() const
{
    return m_store ? m_store->CurrentOrderNr() : QString();
}

void TLagerBestelljournalFrame1::Reload()
{
    m_model->Reload();
    SelectCurrentRow();
}

void TLagerBestelljournalFrame1::SelectCurrentRow()
{
    const int row = m_model->RowOf(CurrentOrderNr());
    m_selecting = true;
    if (row >= 0) {
        const QModelIndex index = m_model->index(row, 0);
        m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
        m_grid->scrollTo(index);
    } else {
        m_grid->selectionModel()->clearSelection();
    }
    m_selecting = false;
}

void TLagerBestelljournalFrame1::RowActivated(int row)
{
    const QString number = m_model->NumberAt(row);
    if (m_store && !number.isEmpty())
        m_store->OrderExists(number);
    m_timer->start();
}

void TLagerBestelljournalFrame1::TimerFired()
{
    if (m_onOrderChanged)
        m_onOrderChanged(CurrentOrderNr());
}

void TLagerBestelljournalFrame1::LoadColumnWidths(const IniFile &ini)
{
    for (int i = 0; i < kColumnCount; ++i)
        m_grid->setColumnWidth(
            i, ini.readInteger(objectName(), kGridName + QString::number(i), kDefaultWidths[i]));
}

void TLagerBestelljournalFrame1::SaveColumnWidths(IniFile &ini) const
{
    for (int i = 0; i < kColumnCount; ++i)
        ini.writeInteger(objectName(), kGridName + QString::number(i), m_grid->columnWidth(i));
}
