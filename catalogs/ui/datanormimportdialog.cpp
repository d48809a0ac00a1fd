#include "catalogs/ui/datanormimportdialog.h"

#include "base/translation.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TDatanormImportDialog::TDatanormImportDialog(std::function<QString()> chooseSupplier,
                                             QWidget *parent)
    : QDialog(parent), m_dir(new QLineEdit(this)), m_name(new QLineEdit(this)),
      m_supplier(new QLineEdit(this))
{
    setObjectName(u"DatanormImportDialog"_s);
    setWindowTitle(tx("DATANORM-Katalog importieren"));
    m_dir->setObjectName(u"edVerzeichnis"_s);
    m_name->setObjectName(u"edKatalogname"_s);
    m_name->setMaxLength(40);
    m_name->setPlaceholderText(tx("Buchstaben, Ziffern, _ und -"));
    m_supplier->setObjectName(u"edLieferant"_s);

    auto *browse = new QToolButton(this);
    browse->setObjectName(u"btVerzeichnis"_s);
    browse->setText(u"..."_s);
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(
            this, tx("Verzeichnis der DATANORM-Dateien"), m_dir->text());
        if (!dir.isEmpty())
            m_dir->setText(dir);
    });
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(m_dir, 1);
    dirRow->addWidget(browse);
    auto *supplierRow = new QHBoxLayout;
    supplierRow->addWidget(m_supplier, 1);
    if (chooseSupplier) {
        auto *choose = new QToolButton(this);
        choose->setObjectName(u"btLieferant"_s);
        choose->setText(u"..."_s);
        connect(choose, &QToolButton::clicked, this, [this, chooseSupplier] {
            const QString id = chooseSupplier();
            if (!id.isEmpty())
                m_supplier->setText(id);
        });
        supplierRow->addWidget(choose);
    }

    auto *form = new QFormLayout;
    form->addRow(tx("Verzeichnis der DATANORM-Dateien"), dirRow);
    form->addRow(tx("Katalogname"), m_name);
    form->addRow(tx("Lieferant (Adress-Nr.)"), supplierRow);
    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(tx("Importieren"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(u"btImportieren"_s);
    buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole)
        ->setObjectName(u"btAbbrechen"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(m_dir, &QLineEdit::textChanged, this, &TDatanormImportDialog::updateEnabled);
    connect(m_name, &QLineEdit::textChanged, this, &TDatanormImportDialog::updateEnabled);
    resize(520, sizeHint().height());
    updateEnabled();
}

DatanormImportCommand::Request TDatanormImportDialog::Current() const
{
    return {m_dir->text().trimmed(), m_name->text().trimmed(), m_supplier->text().trimmed()};
}

bool TDatanormImportDialog::Ask(DatanormImportCommand::Request &request)
{
    m_dir->setText(request.deliveryDir);
    m_name->setText(request.catalogName);
    m_supplier->setText(request.supplier);
    if (exec() != QDialog::Accepted)
        return false;
    request = Current();
    return true;
}

void TDatanormImportDialog::updateEnabled()
{
    // What the names mean is the command's to judge; only an empty field is nothing to ask.
    m_import->setEnabled(!m_dir->text().trimmed().isEmpty() && !m_name->text().trimmed().isEmpty());
}
