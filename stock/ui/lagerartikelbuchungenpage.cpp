#include "stock/ui/lagerartikelbuchungenpage.h"

#include "base/formatsettings.h"
#include "base/translation.h"
#include "persistence/datetime.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
QString number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    text.replace(u'.', FormatSettings::current().decimalSeparator);
    return text;
}
} // namespace

TLagerArtikelBuchungenPage::TLagerArtikelBuchungenPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"tsBuchungen"_s);
    auto *layout = new QVBoxLayout(this);
    m_grid = new QTreeWidget(this);
    m_grid->setObjectName(u"vstBuchungen"_s);
    m_grid->setRootIsDecorated(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setHeaderLabels({tx("Zeit"), tx("Benutzer"), tx("Art"), tx("Menge"), tx("Vorher"),
                             tx("Nachher"), tx("Preis"), tx("Bestellung"), tx("Seriennummern")});
    m_grid->header()->setStretchLastSection(true);
    layout->addWidget(m_grid);
}

void TLagerArtikelBuchungenPage::Clear()
{
    m_grid->clear();
}

void TLagerArtikelBuchungenPage::ShowBookings(const TLagerBuchungList &rows)
{
    m_grid->clear();
    QList<QTreeWidgetItem *> items;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        const QString order =
            it->BestellNr.isEmpty()
                ? QString()
                : it->BestellNr +
                      (it->BestellPos ? u" / "_s + QString::number(it->BestellPos) : QString());
        auto *item = new QTreeWidgetItem(
            QStringList{DateTime::toQDateTime(it->Zeit).toString(u"dd.MM.yyyy HH:mm:ss"_s),
                        it->Benutzer, tx(TLagerBuchung::KindText(it->Art)), number(it->Menge, 3),
                        number(it->BestandVorher, 3), number(it->BestandNachher, 3),
                        number(it->Preis.toDouble(), 2), order, it->Seriennummern});
        for (int c = 3; c <= 6; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    m_grid->addTopLevelItems(items);
}
