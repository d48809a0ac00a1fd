#include "movements/ui/mod00512form2.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
QTableWidget *readOnlyGrid(QWidget *parent, const QString &name, const QStringList &captions)
{
    auto *grid = new QTableWidget(0, int(captions.size()), parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(captions);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

void setRow(QTableWidget *grid, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}
} // namespace

TMOD00512Form2::TMOD00512Form2(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"MOD00512Form2"_s);
    auto *layout = new QVBoxLayout(this);
    m_lbArtikelNr = new QLabel(this);
    m_lbArtikelNr->setObjectName(u"lbArtikelNr"_s);
    layout->addWidget(m_lbArtikelNr);
    m_lbBezeichnung = new QLabel(this);
    m_lbBezeichnung->setObjectName(u"lbBezeichnung"_s);
    layout->addWidget(m_lbBezeichnung);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(tx("Suchen"), this));
    m_edSuche = new QLineEdit(this);
    m_edSuche->setObjectName(u"edSuche"_s);
    searchRow->addWidget(m_edSuche, 1);
    searchRow->addWidget(new QLabel(u"F7"_s, this));
    layout->addLayout(searchRow);

    auto *grids = new QGridLayout;
    m_grid = readOnlyGrid(this, u"vstSeriennummern"_s,
                          {tx("Seriennummer"), tx("Info"), tx("Lieferant"), tx("Zugang")});
    grids->addWidget(m_grid, 0, 0);
    auto *middle = new QVBoxLayout;
    auto *btAdd = new QPushButton(tx("Hinzufuegen"), this);
    btAdd->setObjectName(u"btHinzufuegen"_s);
    auto *btRemove = new QPushButton(tx("Entfernen"), this);
    btRemove->setObjectName(u"btEntfernen"_s);
    middle->addWidget(btAdd);
    middle->addWidget(btRemove);
    middle->addStretch(1);
    grids->addLayout(middle, 0, 1);
    m_selection = readOnlyGrid(this, u"vstAuswahl"_s, {tx("Seriennummer"), tx("Info")});
    grids->addWidget(m_selection, 0, 2);
    layout->addLayout(grids, 1);

    m_lbAusgewaehlt = new QLabel(this);
    m_lbAusgewaehlt->setObjectName(u"lbAusgewaehlt"_s);
    layout->addWidget(m_lbAusgewaehlt);
    m_lbErforderlich = new QLabel(this);
    m_lbErforderlich->setObjectName(u"lbErforderlich"_s);
    layout->addWidget(m_lbErforderlich);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *btOK = new QPushButton(tx("OK"), this);
    btOK->setObjectName(u"btOK"_s);
    m_btCancel = new QPushButton(tx("Abbrechen"), this);
    m_btCancel->setObjectName(u"btCancel"_s);
    buttons->addWidget(btOK);
    buttons->addWidget(m_btCancel);
    layout->addLayout(buttons);
    // Enter is the form's own key (add, then confirm); no button may take it.
    for (QPushButton *b : {btAdd, btRemove, btOK, m_btCancel})
        b->setAutoDefault(false);

    connect(btAdd, &QPushButton::clicked, this, &TMOD00512Form2::AddCurrent);
    connect(btRemove, &QPushButton::clicked, this, &TMOD00512Form2::RemoveSelected);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TMOD00512Form2::AddCurrent);
    connect(m_edSuche, &QLineEdit::textChanged, this, &TMOD00512Form2::search);
    m_edSuche->installEventFilter(this);
}

void TMOD00512Form2::Setup(const TLagerArtikelDaten &article,
                           const TSeriennummerObjectList &candidates, int count, bool showCancel)
{
    m_candidates = candidates;
    m_chosen.Clear();
    m_count = count;
    setWindowTitle(u"[0512 - 02] - "_s +
                   formatText(tx("Waehlen Sie %d Seriennummern aus!"), {QString::number(count)}));
    m_lbArtikelNr->setText(tx("Artikel-Nr.") + u": "_s + article.LagerArtikelNr);
    m_lbBezeichnung->setText(article.Bezeichnung);
    m_btCancel->setVisible(showCancel);
    m_grid->setRowCount(int(m_candidates.Count()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const TSeriennummer &s = m_candidates.Item(row);
        setRow(m_grid, row,
               {s.SN, s.INFO, s.LIEFERANT, s.ZUGANG == 0 ? QString() : DateTime::toText(s.ZUGANG)});
    }
    if (m_grid->rowCount() > 0)
        m_grid->setCurrentCell(0, 0);
    refresh();
    focusSearch();
}

bool TMOD00512Form2::Execute(const TLagerArtikelDaten &article,
                             const TSeriennummerObjectList &candidates, int count, bool showCancel,
                             TSeriennummerObjectList &chosen)
{
    Setup(article, candidates, count, showCancel);
    if (exec() != QDialog::Accepted)
        return false;
    chosen = m_chosen;
    return true;
}

void TMOD00512Form2::refresh()
{
    m_selection->setRowCount(int(m_chosen.Count()));
    for (int row = 0; row < m_selection->rowCount(); ++row)
        setRow(m_selection, row, {m_chosen.Item(row).SN, m_chosen.Item(row).INFO});
    const int chosen = int(m_chosen.Count());
    m_lbAusgewaehlt->setText(
        formatText(tx("%d Seriennummern ausgewaehlt."), {QString::number(chosen)}));
    m_lbErforderlich->setText(formatText(tx("%d weitere Seriennummern erforderlich."),
                                         {QString::number(m_count - chosen)}));
}

void TMOD00512Form2::focusSearch()
{
    m_edSuche->setFocus();
    m_edSuche->selectAll();
}

void TMOD00512Form2::AddCurrent()
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= m_candidates.Count())
        return;
    const TSeriennummer &s = m_candidates.Item(row);
    if (m_chosen.IndexOf(s.SN) >= 0) {
        ShowMessageBox(tx("Diese Seriennummer ist bereits in der Auswahlliste enthalten."),
                       MsgDlgType::Information, MsgButton::OK);
    } else {
        TSeriennummer &entry = m_chosen.Add();
        entry.SN = s.SN;
        entry.LagerArtikelNr = s.LagerArtikelNr;
        entry.INFO = s.INFO;
        refresh();
    }
    focusSearch();
}

void TMOD00512Form2::RemoveSelected()
{
    const int row = m_selection->currentRow();
    if (row < 0 || row >= m_chosen.Count())
        return;
    m_chosen.Delete(row);
    refresh();
}

void TMOD00512Form2::search(const QString &text)
{
    // The rows come in serial-number order: the first not before the text is the nearest.
    const QString key = text.trimmed();
    int row = 0;
    while (row < m_candidates.Count() - 1 && m_candidates.Item(row).SN < key)
        ++row;
    if (row < m_grid->rowCount())
        m_grid->setCurrentCell(row, 0);
}

void TMOD00512Form2::enter()
{
    if (m_chosen.Count() < m_count)
        AddCurrent();
    else
        accept();
}

bool TMOD00512Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edSuche && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const int row = m_grid->currentRow() + (key == Qt::Key_Up ? -1 : 1);
            if (row >= 0 && row < m_grid->rowCount())
                m_grid->setCurrentCell(row, 0);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMOD00512Form2::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enter();
        return;
    case Qt::Key_F7:
        focusSearch();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TMOD00512Form2::accept()
{
    if (m_chosen.Count() != m_count) {
        ShowMessageBox(tx("Die Anzahl der ausgewaehlten Seriennummern stimmt nicht mit der "
                          "angegebenen Menge ueberein."),
                       MsgDlgType::Error, MsgButton::OK);
        return;
    }
    QDialog::accept();
}
