#include "stock/ui/mindestbestandbox.h"

#include "base/interaction.h"
#include "base/translation.h"
#include "persistence/conversions.h"
#include "stock/lagerserverobj.h"
#include "stock/mindestbestandperioden.h"
#include "stock/ui/listlines.h"

#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TMindestbestandBox::TMindestbestandBox(const TLagerArtikelEditContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    m_list = new QListWidget(this);
    m_list->setObjectName(u"lbMindestbestand"_s);
    m_mb = new QLineEdit(this);
    m_mb->setObjectName(u"edMindestbestand"_s);
    m_bm = new QLineEdit(this);
    m_bm->setObjectName(u"edBestellmenge"_s);
    m_insert = new QPushButton(tx("Zeitraum einfuegen"), this);
    m_insert->setObjectName(u"btZeitraumEinfuegen"_s);
    m_delete = new QPushButton(tx("Zeitraum loeschen"), this);
    m_delete->setObjectName(u"btZeitraumLoeschen"_s);
    for (QLineEdit *edit : {m_mb, m_bm})
        edit->setAlignment(Qt::AlignRight);

    auto *fields = new QFormLayout;
    fields->addRow(tx("Mindestbestand"), m_mb);
    fields->addRow(tx("Bestellmenge"), m_bm);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_insert);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { loadSelected(); });
    connect(m_mb, &QLineEdit::textEdited, this, [this] { fieldsEdited(); });
    connect(m_bm, &QLineEdit::textEdited, this, [this] { fieldsEdited(); });
    // The fields show what the period stores once the user leaves them.
    for (QLineEdit *edit : {m_mb, m_bm})
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
            if (!m_filling && m_article && m_list->currentRow() >= 0)
                edit->setText(PeriodQuantityText(StrToFloatTolerant(edit->text(), 0)));
        });
    connect(m_insert, &QPushButton::clicked, this, [this] { insertPeriod(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deletePeriod(); });
    updateEnabled();
}

TMindestbestandBox::~TMindestbestandBox() = default;

void TMindestbestandBox::ShowArticle(TLagerServerObj *article)
{
    m_article = article;
    fillList(0);
}

void TMindestbestandBox::Clear()
{
    ShowArticle(nullptr);
}

void TMindestbestandBox::StoreArticle(TLagerServerObj &) const {}

void TMindestbestandBox::fillList(int select)
{
    QStringList lines;
    if (m_article)
        for (const QString &period : std::as_const(m_article->MindestBestand))
            lines << PeriodLineText(period);
    SetListLines(m_list, lines, select);
    loadSelected();
}

void TMindestbestandBox::loadSelected()
{
    m_filling = true;
    const int row = m_list->currentRow();
    if (m_article && row >= 0 && row < m_article->MindestBestand.size()) {
        const QString &period = m_article->MindestBestand.at(row);
        m_mb->setText(PeriodQuantityText(PeriodMinimumStock(period)));
        m_bm->setText(PeriodQuantityText(PeriodOrderQuantity(period)));
    } else {
        m_mb->clear();
        m_bm->clear();
    }
    m_filling = false;
    updateEnabled();
}

void TMindestbestandBox::fieldsEdited()
{
    const int row = m_list->currentRow();
    if (m_filling || !m_article || row < 0 || row >= m_article->MindestBestand.size())
        return;
    QString &period = m_article->MindestBestand[row];
    period = PeriodWithQuantities(period, PeriodQuantityText(StrToFloatTolerant(m_mb->text(), 0)),
                                  PeriodQuantityText(StrToFloatTolerant(m_bm->text(), 0)));
    m_list->item(row)->setText(PeriodLineText(period));
}

void TMindestbestandBox::insertPeriod()
{
    if (!m_article)
        return;
    QDate date = QDate::currentDate();
    if (!interaction().dateBox(tx("Zeitraum einfuegen"), tx("Beginn des Zeitraums"), date))
        return;
    const qsizetype index = InsertPeriodAt(*m_article, m_context.stockDir, date);
    fillList(int(qMax<qsizetype>(index, 0)));
}

void TMindestbestandBox::deletePeriod()
{
    if (!m_article)
        return;
    fillList(int(DeletePeriodAt(*m_article, m_list->currentRow())));
}

void TMindestbestandBox::updateEnabled()
{
    const bool selected = m_article && m_list->currentRow() >= 0;
    m_mb->setEnabled(selected);
    m_bm->setEnabled(selected);
    m_insert->setEnabled(m_article != nullptr);
    m_delete->setEnabled(selected && m_list->count() > 1);
}
