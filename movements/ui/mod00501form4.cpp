#include "movements/ui/mod00501form4.h"

#include "base/formatsettings.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "stock/lagerserverobj.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
QString &rememberedPassword()
{
    static QString password;
    return password;
}
} // namespace

TMOD00501Form4::TMOD00501Form4(PasswordCheck checkPassword, QWidget *parent)
    : QDialog(parent), m_checkPassword(std::move(checkPassword))
{
    setObjectName(u"MOD00501Form4"_s);
    setWindowTitle(u"[0501 - 04] - "_s + tx("Bestand manuell anpassen"));
    auto *layout = new QVBoxLayout(this);
    m_lbFrage = new QLabel(this);
    m_lbFrage->setObjectName(u"lbFrage"_s);
    layout->addWidget(m_lbFrage);
    auto *warning = new QLabel(tx("Diese Funktion sollte nur in Ausnahmefaellen genutzt werden. "
                                  "Verwenden Sie im Normalfall die Warenzugangsfunktionen zum "
                                  "Artikel! "),
                               this);
    warning->setObjectName(u"lbWarnung"_s);
    warning->setWordWrap(true);
    layout->addWidget(warning);

    auto *form = new QFormLayout;
    m_edBestand = new QLineEdit(this);
    m_edBestand->setObjectName(u"edBestand"_s);
    form->addRow(tx("Neuer Bestand"), m_edBestand);
    m_edPasswort = new QLineEdit(this);
    m_edPasswort->setObjectName(u"edPasswort"_s);
    m_edPasswort->setEchoMode(QLineEdit::Password);
    // The suite's password fields show asterisks, whatever the style would choose.
    m_edPasswort->setStyleSheet(u"lineedit-password-character: 42"_s);
    form->addRow(tx("Passwort"), m_edPasswort);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    m_btOK = buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole);
    m_btOK->setObjectName(u"btOK"_s);
    QPushButton *cancel = buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(u"btCancel"_s);
    // Enter walks from field to field and then presses OK; it must not press OK from a field.
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_edBestand->installEventFilter(this);
    m_edPasswort->installEventFilter(this);
}

void TMOD00501Form4::ForgetPassword()
{
    rememberedPassword().clear();
}

void TMOD00501Form4::Setup(const TLagerArtikelDaten &article)
{
    m_oldStock = m_newStock = article.BuchungsBestand;
    m_lbFrage->setText(formatText(tx("Sie moechten den Bestand des Lagerartikels \"%s\" aendern."),
                                  {article.LagerArtikelNr}));
    m_edBestand->setText(floatToText(article.BuchungsBestand));
    m_edPasswort->setText(rememberedPassword());
    m_edBestand->setFocus();
    m_edBestand->selectAll();
}

bool TMOD00501Form4::Changed(double &newStock) const
{
    if (result() != QDialog::Accepted || m_newStock == m_oldStock)
        return false;
    newStock = m_newStock;
    return true;
}

bool TMOD00501Form4::Execute(const TLagerArtikelDaten &article, double &newStock)
{
    Setup(article);
    exec();
    return Changed(newStock);
}

bool TMOD00501Form4::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_edBestand)
                m_edPasswort->setFocus();
            else
                m_btOK->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMOD00501Form4::accept()
{
    double value = 0;
    if (!ManualStockChange::ParseQuantity(m_edBestand->text(), value)) {
        ShowMessageBoxFmt(tx("\"%s\" ist keine gueltige Menge."), {m_edBestand->text()},
                          MsgDlgType::Error, MsgButton::OK);
        m_edBestand->setFocus();
        return;
    }
    const QString password = m_edPasswort->text();
    if (!m_checkPassword || !m_checkPassword(password)) {
        ShowMessageBox(tx("Falsches Passwort."), MsgDlgType::Error, MsgButton::OK);
        m_edPasswort->setFocus();
        m_edPasswort->selectAll();
        return;
    }
    rememberedPassword() = password;
    m_newStock = value;
    QDialog::accept();
}
