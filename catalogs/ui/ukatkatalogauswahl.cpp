#include "catalogs/ui/ukatkatalogauswahl.h"

#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "suite/systemeinstellungen.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kLineHeight = 17;
constexpr int kIndent = 5;

// The lines of an entry: name and kind always, description and supplier where given.
QStringList cardLines(const TUKATKatalogAuswahlItem &item)
{
    const bool stock = item.CatalogName.compare(u"LAGER"_s, Qt::CaseInsensitive) == 0;
    QStringList lines{stock ? tx("Lager") : item.CatalogName, tx(KatalogKindLabel(item.Kind))};
    if (!item.Description.isEmpty())
        lines.append(item.Description);
    if (!item.SupplierInfo.isEmpty())
        lines.append(item.SupplierInfo);
    return lines;
}

class CardDelegate : public QStyledItemDelegate
{
public:
    explicit CardDelegate(const QList<TUKATKatalogAuswahlItem> &items, QObject *parent)
        : QStyledItemDelegate(parent), m_items(items)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int row = index.row();
        const int lines = row < m_items.size() ? int(cardLines(m_items[row]).size()) : 1;
        return {option.rect.width(), lines * kLineHeight + 4};
    }

    void paint(QPainter *p, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);
        if (index.row() >= m_items.size())
            return;
        const QStringList lines = cardLines(m_items[index.row()]);
        p->save();
        p->setPen(opt.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const int width = option.rect.width() - 25;
        for (int i = 0; i < lines.size(); ++i) {
            QFont f = option.font;
            if (i == 0)
                f.setBold(true);
            else if (i >= 2)
                f.setPointSize(8);
            p->setFont(f);
            const QString text = QFontMetrics(f).elidedText(lines[i], Qt::ElideRight, width);
            const QRect r(option.rect.left() + kIndent, option.rect.top() + 2 + i * kLineHeight,
                          width, kLineHeight);
            p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        p->restore();
    }

private:
    const QList<TUKATKatalogAuswahlItem> &m_items;
};

} // namespace

TUKATKatalogAuswahlFrame::TUKATKatalogAuswahlFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"UKATKatalogAuswahlFrame"_s);
    auto *layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"vstKataloge"_s);
    m_list->setItemDelegate(new CardDelegate(m_items, m_list));
    m_list->setUniformItemSizes(false);
    layout->addWidget(m_list, 1);
    m_addressLink = new QLabel(this);
    m_addressLink->setObjectName(u"lbAdresse"_s);
    layout->addWidget(m_addressLink);
    m_btAddress = new QPushButton(tx("Adresse aendern"), this);
    m_btAddress->setObjectName(u"btAdresse"_s);
    layout->addWidget(m_btAddress);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { selectionChanged(); });
}

void TUKATKatalogAuswahlFrame::FillList()
{
    m_items.clear();
    m_list->clear();
    if (ShowStock) {
        TUKATKatalogAuswahlItem stock;
        stock.CatalogName = u"LAGER"_s;
        stock.Kind = kkStock;
        m_items.append(stock);
    }
    const QDir base(CatalogBaseDir);
    const QStringList dirs = CatalogBaseDir.isEmpty()
                                 ? QStringList()
                                 : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : dirs) {
        if (name.startsWith(u'.'))
            continue;
        const QString dir = base.filePath(name);
        const quint8 kind = TUKATKatalogTypeHelper::KindOfDirectory(dir);
        if (!ShownKinds.contains(kind))
            continue;
        TUKATKatalogAuswahlItem item;
        TUKATKatalogTypeHelper::LoadItem(item, dir, name, kind);
        m_items.append(item);
    }
    for (const TUKATKatalogAuswahlItem &item : m_items)
        m_list->addItem(cardLines(item).join(u'\n'));
    if (!m_items.isEmpty())
        SelectIndex(0);
    else
        selectionChanged();
}

const TUKATKatalogAuswahlItem *TUKATKatalogAuswahlFrame::SelectedItem() const
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_items.size() || !m_list->item(row)->isSelected())
        return nullptr;
    return &m_items[row];
}

void TUKATKatalogAuswahlFrame::SelectIndex(int index)
{
    m_list->setCurrentRow(index);
}

void TUKATKatalogAuswahlFrame::selectionChanged()
{
    const TUKATKatalogAuswahlItem *item = SelectedItem();
    m_addressLink->setText(
        formatText(tx("Adresse \"%s\" oeffnen."), {item ? item->SupplierInfo : QString()}));
}

TUKATKatalogAuswahl::TUKATKatalogAuswahl(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"UKATKatalogAuswahl"_s);
    setWindowTitle(u"[0501 - 12] - "_s + tx("Katalog auswaehlen"));
    auto *layout = new QVBoxLayout(this);
    m_frame = new TUKATKatalogAuswahlFrame(this);
    layout->addWidget(m_frame, 1);
    auto *buttons = new QDialogButtonBox(this);
    auto *btNew = buttons->addButton(tx("Neu"), QDialogButtonBox::ActionRole);
    btNew->setObjectName(u"btNeu"_s);
    auto *btDelete = buttons->addButton(tx("Loeschen"), QDialogButtonBox::ActionRole);
    btDelete->setObjectName(u"btLoeschen"_s);
    auto *btOpen = buttons->addButton(tx("Oeffnen"), QDialogButtonBox::AcceptRole);
    btOpen->setObjectName(u"btOeffnen"_s);
    auto *btCancel = buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole);
    btCancel->setObjectName(u"btAbbrechen"_s);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_frame->List(), &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    // Creating and deleting catalogs and changing their supplier belong to the catalog
    // maintenance of the suite; this program only chooses.
    btNew->hide();
    btDelete->hide();
    m_frame->AddressButton()->hide();
    resize(420, 480);
}

void TUKATKatalogAuswahl::done(int result)
{
    if (result == QDialog::Accepted && !m_frame->SelectedItem()) {
        ShowMessageBox(tx("Es wurde kein Katalog ausgewaehlt."), MsgDlgType::Information,
                       MsgButton::OK);
        return;
    }
    QDialog::done(result);
}

bool TUKATKatalogAuswahl::Select(QString &catalogName, bool withoutStock)
{
    TUKATKatalogAuswahl dialog;
    ApplyWindowStyle(&dialog, false, 1);
    dialog.m_frame->CatalogBaseDir = TSystemEinstellungen::instance().KatalogeDir;
    dialog.m_frame->ShowStock = !withoutStock;
    dialog.m_frame->FillList();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    catalogName = dialog.m_frame->SelectedItem()->CatalogName;
    return true;
}
