#include "printing/ui/mod00501form10.h"

#include "base/messages.h"
#include "base/translation.h"
#include "printing/layoutsetmanager.h"
#include "printing/ui/printformselect.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
QComboBox *filterBox(QWidget *parent, const char *name, const QStringList &entries)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItem(QString()); // no filter
    box->addItems(entries);
    return box;
}
} // namespace

TMOD00501Form10::TMOD00501Form10(StockPrintContext context, QWidget *parent)
    : QDialog(parent), m_context(std::move(context))
{
    setObjectName(u"MOD00501Form10"_s);
    setWindowTitle(u"[0501 - 10] - "_s + tx("Drucken"));

    auto *filters = new QGroupBox(tx("Filter-Einstellungen"), this);
    auto *filterForm = new QFormLayout(filters);
    m_group = filterBox(filters, "cbArtikelgruppe", m_context.groups);
    m_place = filterBox(filters, "cbLagerort", m_context.places);
    m_onlyStock = new QRadioButton(tx("Nur Bestandspositionen drucken"), filters);
    m_onlyStock->setObjectName(u"rbBestand"_s);
    m_noRestriction = new QRadioButton(tx("Keine Einschraenkungen"), filters);
    m_noRestriction->setObjectName(u"rbAlle"_s);
    m_noRestriction->setChecked(true);
    filterForm->addRow(tx("Artikelgruppe"), m_group);
    filterForm->addRow(tx("Lagerort"), m_place);
    filterForm->addRow(m_onlyStock);
    filterForm->addRow(m_noRestriction);

    const TLagerDruckLetzteWahl last = TLagerDruckLetzteWahl::Read(m_context.settingsFile);
    auto *printing = new QGroupBox(tx("Druck-Einstellungen"), this);
    auto *printForm = new QFormLayout(printing);
    m_form = new QLineEdit(last.Form, printing);
    m_form->setObjectName(u"edPrintForm1"_s);
    m_form->setReadOnly(true);
    auto *formButton = new QPushButton(u"..."_s, printing);
    formButton->setObjectName(u"btPrintForm1"_s);
    auto *formRow = new QHBoxLayout;
    formRow->addWidget(m_form, 1);
    formRow->addWidget(formButton);
    m_firstPage = new QLineEdit(printing);
    m_firstPage->setObjectName(u"edErsteSeite"_s);
    m_date = new QDateEdit(QDate::currentDate(), printing);
    m_date->setObjectName(u"deDatum"_s);
    m_date->setCalendarPopup(true);
    printForm->addRow(tx("Formular"), formRow);
    printForm->addRow(tx("1. Seitennummer"), m_firstPage);
    printForm->addRow(tx("Datum"), m_date);

    // The layout sets of the stock list, described as the designer wrote them.
    TLayoutsetManager sets;
    sets.Load(m_context.formsDir, TLagerDruck::LayoutTarget(), TLagerDruck::LayoutSection());
    m_sets = new QListWidget(this);
    m_sets->setObjectName(u"LayoutMngFrame"_s);
    for (const TLayoutset &set : sets.Sets) {
        auto *item = new QListWidgetItem(
            set.Description.isEmpty() ? set.Name : set.Name + u" - "_s + set.Description, m_sets);
        item->setData(Qt::UserRole, set.Name);
        if (set.Name == last.LayoutSet)
            m_sets->setCurrentItem(item);
    }

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole)->setObjectName(u"btOK"_s);
    buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole)
        ->setObjectName(u"btAbbrechen"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filters);
    layout->addWidget(printing);
    layout->addWidget(new QLabel(tx("Drucklayout"), this));
    layout->addWidget(m_sets, 1);
    layout->addWidget(buttons);
    resize(460, 560);

    connect(formButton, &QPushButton::clicked, this, &TMOD00501Form10::ChooseForm);
    connect(buttons, &QDialogButtonBox::accepted, this, &TMOD00501Form10::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TMOD00501Form10::reject);
}

void TMOD00501Form10::ChooseForm()
{
    const QString chosen =
        m_context.chooseForm
            ? m_context.chooseForm(m_form, m_form->text())
            : TPrintFormSelect::Select(m_form, m_form->text(), TLagerDruck::FormGroups(), nullptr,
                                       m_context.formsDir);
    m_form->setText(chosen);
}

TLagerDruckAuswahl TMOD00501Form10::Choice() const
{
    TLagerDruckAuswahl c;
    c.Group = m_group->currentText();
    c.Place = m_place->currentText();
    c.OnlyStock = m_onlyStock->isChecked();
    c.Form = m_form->text();
    if (const QListWidgetItem *item = m_sets->currentItem())
        c.LayoutSet = item->data(Qt::UserRole).toString();
    c.FirstPage = m_firstPage->text();
    c.Date = m_date->date();
    return c;
}

void TMOD00501Form10::accept()
{
    const TLagerDruckAuswahl c = Choice();
    if (c.LayoutSet.isEmpty()) {
        ShowMessageBox(tx("Sie muessen ein Drucklayout auswaehlen!"), MsgDlgType::Error,
                       MsgButton::OK);
        return;
    }
    if (c.Form.isEmpty()) {
        ShowMessageBox(tx("Sie muessen ein Formular auswaehlen!"), MsgDlgType::Error,
                       MsgButton::OK);
        m_form->setFocus();
        return;
    }
    TLagerDruckLetzteWahl{c.Form, c.LayoutSet}.Write(m_context.settingsFile);
    QDialog::accept();
}

bool TMOD00501Form10::PrintStockList(IModLagerDBServerObj &db, StockPrintContext context,
                                     QWidget *parent)
{
    TLagerDruckAuswahl choice;
    {
        TMOD00501Form10 dialog(std::move(context), parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        choice = dialog.Choice();
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    TLagerDruck run(db, TLagerDruck::FromSuite(db));
    const bool printed = run.Print(choice);
    QGuiApplication::restoreOverrideCursor();
    return printed;
}
