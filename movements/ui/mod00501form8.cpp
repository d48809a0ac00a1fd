#include "movements/ui/mod00501form8.h"

#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/goodsreceipt.h"
#include "movements/tablereceiptcommand.h"
#include "ordering/bestellserverobj.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "stock/seriennummer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
const QString kSection = u"MOD00501Form8"_s;
constexpr int kQuantity = 5;
constexpr int kReset = 6;
constexpr int kSerials = 7;

// "Ja" or "Nein" for the reset column, free text for the others.
class ResetDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        if (index.column() != kReset)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *box = new QComboBox(parent);
        box->addItems({tx("Ja"), tx("Nein")});
        return box;
    }
};

bool editable(const TBestellartikel &line)
{
    return !line.IsTextLine() && line.Geliefert < line.Menge;
}
} // namespace

TMOD00501Form8::TMOD00501Form8(EnterSerials enterSerials, SerialsInStock serialsInStock,
                               IniFile *ini, QWidget *parent)
    : QDialog(parent), m_enterSerials(std::move(enterSerials)),
      m_serialsInStock(std::move(serialsInStock)), m_ini(ini)
{
    setObjectName(kSection);
    setWindowTitle(u"[0501 - 08] - "_s + tx("Warenzugang Lagerartikel buchen"));
    resize(1150, 500);
    auto *layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    layout->addWidget(m_heading);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(u"vst"_s);
    m_tree->setRootIsDecorated(false);
    m_tree->setItemDelegate(new ResetDelegate(m_tree));
    m_tree->setHeaderLabels({tx("Position"), tx("Bestell-Nr."), tx("Lagerartikel-Nr."),
                             tx("bestellt"), tx("bereits geliefert"), tx("jetzt geliefert"),
                             tx("Offene Liefermenge auf 0 setzen"), tx("Seriennummern")});
    for (int c = 0; c < 8; ++c) {
        const int width = m_ini ? m_ini->readInteger(kSection, u"vst%1"_s.arg(c), 0) : 0;
        if (width > 0)
            m_tree->setColumnWidth(c, width);
        else
            m_unsized.append(c);
    }
    layout->addWidget(m_tree, 1);
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (!m_filling)
            EnterCell(m_tree->indexOfTopLevelItem(item), column, item->text(column));
    });

    auto *buttons = new QDialogButtonBox(this);
    m_btConvert =
        buttons->addButton(tx("In einen Lagerartikel umwandeln"), QDialogButtonBox::ActionRole);
    m_btConvert->setObjectName(u"btUmwandeln"_s);
    m_btConvert->setEnabled(false);
    connect(m_btConvert, &QPushButton::clicked, this,
            [this] { ConvertRow(m_tree->indexOfTopLevelItem(m_tree->currentItem())); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { enableConvert(); });
    m_btSerials = buttons->addButton(tx("Bearbeiten"), QDialogButtonBox::ActionRole);
    m_btSerials->setObjectName(u"btBearbeiten"_s);
    connect(m_btSerials, &QPushButton::clicked, this,
            [this] { EditSerials(m_tree->indexOfTopLevelItem(m_tree->currentItem())); });
    buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole)->setObjectName(u"btOK"_s);
    buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TMOD00501Form8::Setup(TBestellServerObj &order)
{
    m_order = &order;
    order.Artikel.NumberPositions();
    m_heading->setText(tx("Bestell-Nr.") + u": "_s + order.BestellNr + u" - "_s +
                       order.Anzeigetext);
    m_filling = true;
    m_tree->clear();
    for (qsizetype i = 0; i < order.Artikel.Count(); ++i)
        m_tree->addTopLevelItem(new QTreeWidgetItem);
    m_filling = false;
    for (int row = 0; row < m_tree->topLevelItemCount(); ++row)
        showRow(row);
    // Until the user has set widths, the columns of texts and numbers fit what they show,
    // within reason; the others keep theirs, or the serial numbers would be pushed out.
    for (int c : std::as_const(m_unsized)) {
        if (c > 2)
            continue;
        m_tree->resizeColumnToContents(c);
        m_tree->setColumnWidth(c, std::min(m_tree->columnWidth(c), 240));
    }
    enableConvert();
}

void TMOD00501Form8::showRow(int row)
{
    const TBestellartikel &line = m_order->Artikel[row];
    QTreeWidgetItem *item = m_tree->topLevelItem(row);
    const bool text = line.IsTextLine();
    m_filling = true;
    const QString display =
        line.Anzeigetext.isEmpty() ? tx("Kein Anzeigetext vorhanden.") : line.Anzeigetext;
    item->setText(0, line.PosNr.isEmpty() ? display : line.PosNr + u" - "_s + display);
    item->setText(1, text ? QString() : line.BestellNr);
    item->setText(2, text ? QString() : line.ArtikelNr);
    item->setText(3, u"%1 %2"_s.arg(floatToText(line.Menge), line.Mengeneinheit));
    item->setText(4, floatToText(line.Geliefert));
    item->setText(kQuantity, floatToText(line.Zugangsmenge));
    item->setText(kReset, line.OffeneMengeZuruecksetzen ? tx("Ja") : QString());
    QString serials;
    if (line.Typ == u"N" && line.Lagerartikel && line.Lagerartikel->SNPflicht) {
        const qint64 missing = TableReceiptCommand::MissingSerials(line);
        serials = missing > 0 ? formatText(tx("Es fehlen noch %d Seriennummern."),
                                           {QString::number(missing)})
                              : tx("Alle Seriennummern erfasst.");
    }
    item->setText(kSerials, serials);
    item->setFlags(editable(line) ? item->flags() | Qt::ItemIsEditable
                                  : item->flags() & ~Qt::ItemIsEditable);
    m_filling = false;
}

void TMOD00501Form8::EnterCell(int row, int column, const QString &text)
{
    if (!m_order || row < 0 || row >= m_order->Artikel.Count())
        return;
    TBestellartikel &line = m_order->Artikel[row];
    if (editable(line)) {
        if (column == kQuantity)
            TableReceiptCommand::EnterQuantity(line, StrToFloatTolerant(text, 0));
        else if (column == kReset)
            line.OffeneMengeZuruecksetzen = text.compare(tx("Ja"), Qt::CaseInsensitive) == 0;
    }
    showRow(row); // the other columns are not for editing: they show the line again
}

void TMOD00501Form8::EditSerials(int row)
{
    if (!m_order || row < 0 || row >= m_order->Artikel.Count())
        return;
    TBestellartikel &line = m_order->Artikel[row];
    TLagerServerObj *article = line.Lagerartikel.get();
    if (line.Typ != u"N" || !article || !article->SNPflicht || line.Zugangsmenge == 0 ||
        !m_enterSerials)
        return;
    TSeriennummerObjectList &serials =
        article->Seriennummern ? *article->Seriennummern : article->Seriennummern.emplace();
    const auto units =
        qsizetype(std::trunc(GoodsReceipt::Units(line.Zugangsmenge, article->Verpackungsmenge)));
    const double received = DateTime::now();
    while (serials.Count() < units) {
        TSeriennummer &entry = serials.Add();
        entry.LagerArtikelNr = article->LagerArtikelNr;
        entry.ZUGANG = received;
    }
    while (serials.Count() > units)
        serials.Delete(serials.Count() - 1);
    QString supplier = m_order->LieferAdr.Key.section(u'_', 0, 0);
    const QStringList inStock =
        m_serialsInStock ? m_serialsInStock(article->LagerArtikelNr) : QStringList();
    m_enterSerials(serials, *article, inStock, supplier);
    for (qsizetype i = serials.Count() - 1; i >= 0; --i) {
        if (serials.Item(i).SN.trimmed().isEmpty())
            serials.Delete(i);
    }
    if (!serials.IsEmpty())
        article->LetzteSeriennummer = serials.Item(serials.Count() - 1).SN;
    showRow(row);
}

void TMOD00501Form8::SetConvertLine(ConvertLine convert)
{
    m_convert = std::move(convert);
    enableConvert();
}

void TMOD00501Form8::enableConvert()
{
    const int row = m_tree->indexOfTopLevelItem(m_tree->currentItem());
    m_btConvert->setEnabled(m_convert && m_order && row >= 0 && row < m_order->Artikel.Count() &&
                            m_order->Artikel[row].Typ == u"F");
}

void TMOD00501Form8::ConvertRow(int row)
{
    if (!m_convert || !m_order || row < 0 || row >= m_order->Artikel.Count())
        return;
    TBestellartikel &line = m_order->Artikel[row];
    if (line.Typ != u"F" || !m_convert(*m_order, line))
        return;
    // A stock line receives whole units; the free line may have had a fraction typed.
    TableReceiptCommand::EnterQuantity(line, line.Zugangsmenge);
    showRow(row);
    enableConvert();
    interaction().desktopAlert(tx("Information"), tx("Fertig!"), 100, 3000);
}

bool TMOD00501Form8::Execute(TBestellServerObj &order)
{
    Setup(order);
    return exec() == QDialog::Accepted;
}

void TMOD00501Form8::done(int result)
{
    if (result == QDialog::Accepted && m_order) {
        for (const TBestellartikel &line : m_order->Artikel) {
            // Quantities typed drop surplus numbers, so only missing ones remain.
            if (TableReceiptCommand::MissingSerials(line) > 0) {
                ShowMessageBox(tx("Es fehlen noch Seriennummern."), MsgDlgType::Error,
                               MsgButton::OK);
                return;
            }
        }
    }
    if (m_ini) {
        for (int c = 0; c < 8; ++c)
            m_ini->writeInteger(kSection, u"vst%1"_s.arg(c), m_tree->columnWidth(c));
    }
    QDialog::done(result);
}
