#include "ordering/ui/mod00501form5.h"

#include "base/inifile.h"
#include "base/translation.h"
#include "ordering/bestellserverobj.h"
#include "ordering/ui/lagerbestelljournalframe1.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TMOD00501Form5::TMOD00501Form5(QWidget *parent, const QString &orderDirectory, IniFile *ini)
    : QDialog(parent), m_ini(ini)
{
    setObjectName(u"MOD00501Form5"_s);
    setWindowTitle(u"[0501 - 05] - "_s + tx("Bestellung auswaehlen"));
    resize(830, 480);

    m_frame = new TLagerBestelljournalFrame1(this, orderDirectory);
    if (m_ini)
        m_frame->LoadColumnWidths(*m_ini);
    // Only orders that can still receive goods.
    m_frame->SetBaseFilter(TLagerBestelljournalFrame1::StateFilter(
        {OrderState::OffeneLieferung, OrderState::Teillieferung}));
    m_frame->ViewButton()->hide();

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"btOK"_s);
    ok->setDefault(true);
    buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole)->setObjectName(u"btCancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame, 1);
    layout->addWidget(buttons);
}

void TMOD00501Form5::done(int result)
{
    if (m_ini)
        m_frame->SaveColumnWidths(*m_ini);
    QDialog::done(result);
}

QString TMOD00501Form5::Execute()
{
    if (exec() != QDialog::Accepted)
        return {};
    return m_frame->CurrentOrderNr();
}

QString TMOD00501Form5::ChooseOrder(QWidget *parent, const QString &orderDirectory, IniFile *ini)
{
    TMOD00501Form5 dialog(parent, orderDirectory, ini);
    return dialog.Execute();
}
