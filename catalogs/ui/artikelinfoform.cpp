#include "catalogs/ui/artikelinfoform.h"

#include "base/translation.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

TArtikelinfoForm::TArtikelinfoForm(const QString &html, QWidget *parent)
    : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tx("Artikelinformation"));
    resize(800, 600);
    m_browser->setOpenLinks(false);
    m_browser->setHtml(html);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *print = buttons->addButton(tx("Drucken ..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(print, &QPushButton::clicked, this, &TArtikelinfoForm::Print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
}

void TArtikelinfoForm::Print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_browser->print(&printer);
}
