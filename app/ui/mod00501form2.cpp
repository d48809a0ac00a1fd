#include "app/ui/mod00501form2.h"

#include "base/inifile.h"
#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "stock/ui/lagerartikelframe1.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
const QString kSection = u"MOD00501Form2"_s;
}

TMOD00501Form2::TMOD00501Form2(const TLagerArtikelEditContext &context, const QString &settingsFile,
                               QWidget *parent)
    : QDialog(parent), m_settingsFile(settingsFile)
{
    setObjectName(u"MOD00501Form2"_s);
    setWindowTitle(u"[0501 - 02] - "_s + tx("Lagerartikel bearbeiten"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    m_frame = new TLagerArtikelFrame1(context, this);
    layout->addWidget(m_frame, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"btOK"_s);
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(u"btCancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &TMOD00501Form2::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TMOD00501Form2::reject);
    buttons->setProperty("tag", 1); // colour scheme: button panels
    layout->addWidget(buttons);

    resize(1000, 720);
    ApplyWindowStyle(this);
    RestoreWindowGeometry(this, m_settingsFile.isEmpty() ? IniFile() : IniFile(m_settingsFile),
                          kSection);
}

TMOD00501Form2::~TMOD00501Form2() = default;

void TMOD00501Form2::ShowArticle(TLagerServerObj &record, bool existing)
{
    m_frame->ShowArticle(&record);
    m_frame->SetArticleNumberReadOnly(existing);
    m_frame->Pages()->setCurrentIndex(0);
    if (existing)
        m_frame->setFocus();
    else
        m_frame->FocusArticleNumber();
}

void TMOD00501Form2::StoreArticle(TLagerServerObj &record)
{
    m_frame->StoreArticle(record);
}

bool TMOD00501Form2::Edit(TLagerServerObj &record, bool existing, int focusMode)
{
    ShowArticle(record, existing);
    m_focusMode = focusMode;
    const bool ok = exec() == QDialog::Accepted;
    m_focusMode = -1;
    if (ok)
        StoreArticle(record);
    // The window lives on between uses; it must not keep pointing at the caller's record.
    m_frame->Clear();
    return ok;
}

void TMOD00501Form2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A hidden page's field cannot take the focus; only now is the window there to show it.
    if (m_focusMode >= 0)
        m_frame->FocusField(m_focusMode);
}

void TMOD00501Form2::accept()
{
    if (m_frame->ArticleNumberText().isEmpty()) {
        ShowMessageBox(tx("Sie muessen eine Artikelnummer eingeben."), MsgDlgType::Error,
                       MsgButton::OK);
        m_frame->FocusArticleNumber();
        return;
    }
    if (!m_frame->CheckMoneyFields())
        return;
    if (!m_frame->HasVatClass() &&
        ShowMessageBox(tx("Moechten Sie den Artikel wirklich ohne Mehrwertsteuersatz speichern?"),
                       MsgDlgType::Confirmation, MsgButton::YesNo) != ModalResult::Yes) {
        m_frame->FocusVatClass();
        return;
    }
    QDialog::accept();
}

void TMOD00501Form2::done(int result)
{
    if (!m_settingsFile.isEmpty()) {
        IniFile settings(m_settingsFile);
        SaveWindowGeometry(this, settings, kSection);
        settings.save();
    }
    QDialog::done(result);
}
