#include "ordering/ui/chooseanschrift.h"

#include "base/messages.h"
#include "base/translation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TChooseAnschriftDialog::TChooseAnschriftDialog(const TCustomerAddress &address, const QString &name,
                                               QWidget *parent)
    : QDialog(parent), m_title(formatText(tx("Waehlen Sie eine Anschrift fuer \"%s\"."), {name})),
      m_list(new QListWidget(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(m_title);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(m_title, this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(m_buttons);
    m_buttons->button(QDialogButtonBox::Cancel)->setText(tx("Abbrechen"));

    for (const TCustomerAnschrift &a : address.Anschriften) {
        auto *item = new QListWidgetItem(AnschriftRowText(a), m_list);
        if (a.Std) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
    resize(560, 320);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &TChooseAnschriftDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TChooseAnschriftDialog::ConfirmItem);
}

void TChooseAnschriftDialog::accept()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        ShowMessageBox(m_title, MsgDlgType::Information, MsgButton::OK);
        return;
    }
    ConfirmItem(selected.constFirst());
}

void TChooseAnschriftDialog::ConfirmItem(QListWidgetItem *item)
{
    m_chosen = m_list->row(item);
    QDialog::accept();
}

int ChooseAnschrift(const TCustomerAddress &address, const QString &name, QWidget *parent)
{
    if (!parent)
        parent = QApplication::activeWindow();
    TChooseAnschriftDialog dialog(address, name, parent);
    if (parent) {
        dialog.adjustSize();
        dialog.move(parent->frameGeometry().center() - dialog.rect().center());
    }
    return dialog.exec() == QDialog::Accepted ? dialog.ChosenIndex() : -1;
}
