#include "base/ui/listeditdialog.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TListEditDialog::TListEditDialog(const QString &title, const QStringList &entries, QWidget *parent)
    : QDialog(parent), m_title(title)
{
    setObjectName(u"ListEditDialog"_s);
    setWindowTitle(tx("Liste bearbeiten") + u" - "_s + title);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(u"lbEntries"_s);
    m_list->addItems(entries);
    if (!entries.isEmpty())
        m_list->setCurrentRow(0);
    row->addWidget(m_list, 1);
    auto *side = new QVBoxLayout;
    auto button = [&](const char *name, const char *caption, auto slot) {
        auto *b = new QPushButton(tx(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        side->addWidget(b);
    };
    button("btAdd", txNoop("Hinzufuegen"), [this] { AddEntry(); });
    button("btRename", txNoop("Umbenennen"), [this] { RenameEntry(); });
    button("btDelete", txNoop("Loeschen"), [this] { DeleteEntry(); });
    button("btUp", txNoop("Nach oben"), [this] { MoveEntry(-1); });
    button("btDown", txNoop("Nach unten"), [this] { MoveEntry(1); });
    side->addStretch(1);
    row->addLayout(side);
    layout->addLayout(row, 1);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { RenameEntry(); });

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"btOK"_s);
    ok->setDefault(true);
    buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole)->setObjectName(u"btCancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->setProperty("tag", 1); // colour scheme: button panels
    layout->addWidget(buttons);
    resize(420, 480);
    ApplyWindowStyle(this);
}

QStringList TListEditDialog::Entries() const
{
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(m_list->item(i)->text());
    return out;
}

bool TListEditDialog::Edit(QWidget *parent, const QString &title, QStringList &entries)
{
    TListEditDialog dialog(title, entries, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    entries = dialog.Entries();
    return true;
}

QString TListEditDialog::askText(const QString &proposal, int ignoreRow)
{
    QString value = proposal;
    if (!interaction().inputBox(m_title, tx("Eintrag"), value))
        return {};
    // One line of the stored list per entry: a line break would make two of it.
    value = value.simplified();
    if (value.isEmpty())
        return {};
    for (int i = 0; i < m_list->count(); ++i) {
        if (i != ignoreRow && m_list->item(i)->text() == value) {
            ShowMessageBoxFmt(tx("Der Eintrag \"%s\" ist bereits in der Liste."), {value},
                              MsgDlgType::Error, MsgButton::OK);
            return {};
        }
    }
    return value;
}

void TListEditDialog::AddEntry()
{
    const QString text = askText(QString(), -1);
    if (text.isEmpty())
        return;
    m_list->addItem(text);
    m_list->setCurrentRow(m_list->count() - 1);
}

void TListEditDialog::RenameEntry()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    const QString text = askText(m_list->item(row)->text(), row);
    if (!text.isEmpty())
        m_list->item(row)->setText(text);
}

void TListEditDialog::DeleteEntry()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    if (m_list->count() > 0)
        m_list->setCurrentRow(std::min(row, m_list->count() - 1));
}

void TListEditDialog::MoveEntry(int by)
{
    const int row = m_list->currentRow();
    const int target = row + by;
    if (row < 0 || target < 0 || target >= m_list->count())
        return;
    m_list->insertItem(target, m_list->takeItem(row));
    m_list->setCurrentRow(target);
}
