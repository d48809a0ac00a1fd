#include "movements/ui/mod00501form7.h"

#include "base/messages.h"
#include "base/translation.h"
#include "movements/serialnumbers.h"
#include "ordering/customeraddress.h"
#include "stock/lagerserverobj.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

TMOD00501Form7::TMOD00501Form7(AddressChooser chooseAddress, QWidget *parent)
    : QDialog(parent), m_chooseAddress(std::move(chooseAddress))
{
    setObjectName(u"MOD00501Form7"_s);
    setWindowTitle(u"[0501 - 07] - "_s + tx("Seriennummern erfassen"));
    auto *layout = new QVBoxLayout(this);
    const auto label = [this, layout](const QString &name) {
        auto *l = new QLabel(this);
        l->setObjectName(name);
        layout->addWidget(l);
        return l;
    };
    m_lbArtikelNr = label(u"lbArtikelNr"_s);
    m_lbBezeichnung = label(u"lbBezeichnung"_s);
    m_lbLetzte = label(u"lbLetzteSN"_s);

    auto *supplierRow = new QHBoxLayout;
    supplierRow->addWidget(new QLabel(tx("Lieferant"), this));
    m_edLieferant = new QLineEdit(this);
    m_edLieferant->setObjectName(u"edLieferant"_s);
    supplierRow->addWidget(m_edLieferant, 1);
    auto *btLieferant = new QPushButton(u"..."_s, this);
    btLieferant->setObjectName(u"btLieferant"_s);
    btLieferant->setAutoDefault(false);
    supplierRow->addWidget(btLieferant);
    layout->addLayout(supplierRow);

    auto *inputRow = new QHBoxLayout;
    inputRow->addWidget(new QLabel(tx("Eingabe"), this));
    m_edEingabe = new QLineEdit(this);
    m_edEingabe->setObjectName(u"edEingabe"_s);
    inputRow->addWidget(m_edEingabe, 1);
    layout->addLayout(inputRow);

    m_grid = new QTableWidget(0, 2, this);
    m_grid->setObjectName(u"vstSeriennummern"_s);
    m_grid->setHorizontalHeaderLabels({tx("Seriennummer"), tx("Info")});
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_grid, 1);

    m_cbDoppelt = new QCheckBox(tx("Auf doppelte Seriennummern pruefen"), this);
    m_cbDoppelt->setObjectName(u"cbDoppelt"_s);
    layout->addWidget(m_cbDoppelt);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_btZurueck = new QPushButton(tx("Zurueck"), this);
    m_btZurueck->setObjectName(u"btZurueck"_s);
    m_btOK = new QPushButton(tx("OK"), this);
    m_btOK->setObjectName(u"btOK"_s);
    // Enter belongs to the input field; OK is pressed by Enter only once it has the focus.
    m_btZurueck->setAutoDefault(false);
    buttons->addWidget(m_btZurueck);
    buttons->addWidget(m_btOK);
    layout->addLayout(buttons);

    connect(m_btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btZurueck, &QPushButton::clicked, this, [this] {
        m_back = true;
        reject();
    });
    connect(btLieferant, &QPushButton::clicked, this, &TMOD00501Form7::chooseSupplier);
    connect(m_grid, &QTableWidget::itemChanged, this, &TMOD00501Form7::cellEdited);
    m_edEingabe->installEventFilter(this);
}

void TMOD00501Form7::Setup(const TSeriennummerObjectList &serials,
                           const TLagerArtikelDaten &article, bool showBack,
                           const QStringList &inStock, const QString &supplier)
{
    m_serials = serials;
    m_inStock = inStock;
    m_back = m_ok = false;
    m_lbArtikelNr->setText(tx("Artikel-Nr.") + u": "_s + article.LagerArtikelNr);
    m_lbBezeichnung->setText(article.Bezeichnung);
    m_lbLetzte->setText(formatText(tx("Letzte zu diesem Artikel erfasste Seriennummer: %s"),
                                   {article.LetzteSeriennummer}));
    m_edLieferant->setText(supplier);
    m_btZurueck->setVisible(showBack);
    m_cbDoppelt->setChecked(true);
    m_filling = true;
    m_grid->setRowCount(int(m_serials.Count()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        m_grid->setItem(row, 0, new QTableWidgetItem(m_serials.Item(row).SN));
        m_grid->setItem(row, 1, new QTableWidgetItem(m_serials.Item(row).INFO));
    }
    m_filling = false;
    m_edEingabe->setText(article.LetzteSeriennummer.isEmpty()
                             ? QString()
                             : IncSerialNumber(article.LetzteSeriennummer, 0));
    m_edEingabe->setFocus();
}

bool TMOD00501Form7::Finish(TSeriennummerObjectList &serials, QString &supplier) const
{
    if (!m_ok)
        return false;
    serials = m_serials;
    supplier = m_edLieferant->text();
    return true;
}

bool TMOD00501Form7::Execute(TSeriennummerObjectList &serials, const TLagerArtikelDaten &article,
                             bool showBack, const QStringList &inStock, QString &supplier)
{
    Setup(serials, article, showBack, inStock, supplier);
    exec();
    return Finish(serials, supplier);
}

bool TMOD00501Form7::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edEingabe && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterInput();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMOD00501Form7::enterInput()
{
    if (m_grid->rowCount() == 0)
        return;
    const QString text = m_edEingabe->text().trimmed();
    const int row = std::max(m_grid->currentRow(), 0);
    m_grid->item(row, 0)->setText(text); // through cellEdited into the list
    const int next = row + 1;
    if (next >= m_grid->rowCount()) {
        m_edEingabe->clear();
        m_btOK->setFocus();
        return;
    }
    m_grid->setCurrentCell(next, 0);
    if (m_serials.Item(next).SN.isEmpty())
        m_edEingabe->setText(IncSerialNumber(text, 0));
}

void TMOD00501Form7::cellEdited(QTableWidgetItem *item)
{
    if (m_filling)
        return;
    const QString trimmed = item->text().trimmed();
    if (trimmed != item->text()) {
        m_filling = true;
        item->setText(trimmed);
        m_filling = false;
    }
    TSeriennummer &entry = m_serials.Item(item->row());
    (item->column() == 0 ? entry.SN : entry.INFO) = trimmed;
}

void TMOD00501Form7::chooseSupplier()
{
    if (!m_chooseAddress)
        return;
    if (const std::unique_ptr<TCustomerAddress> address = m_chooseAddress())
        m_edLieferant->setText(address->Id);
}

void TMOD00501Form7::done(int result)
{
    if (!m_back) {
        const QString refusal = SerialEntryRefusal(m_serials, m_inStock, m_cbDoppelt->isChecked());
        if (!refusal.isEmpty()) {
            ShowMessageBox(refusal, MsgDlgType::Error, MsgButton::OK);
            return;
        }
    }
    m_ok = !m_back && result == QDialog::Accepted;
    if (m_ok) {
        const QString supplier = m_edLieferant->text().trimmed();
        m_edLieferant->setText(supplier);
        if (!supplier.isEmpty())
            for (qsizetype i = 0; i < m_serials.Count(); ++i)
                m_serials.Item(i).LIEFERANT = supplier;
    }
    QDialog::done(result);
}
