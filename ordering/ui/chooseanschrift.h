#pragma once

#include "ordering/anschriftchooser.h"

#include <QDialog>

class QDialogButtonBox;
class QListWidget;
class QListWidgetItem;

// The list of an address's postal addresses; the standard one is bold. Accepting needs a
// chosen row, which the dialog insists on rather than closing with nothing.
class TChooseAnschriftDialog : public QDialog
{
    Q_OBJECT
public:
    TChooseAnschriftDialog(const TCustomerAddress &address, const QString &name,
                           QWidget *parent = nullptr);

    // The row chosen when the dialog was accepted, else -1.
    int ChosenIndex() const { return m_chosen; }
    QListWidget *List() const { return m_list; }
    QDialogButtonBox *Buttons() const { return m_buttons; }

    void accept() override;

private:
    void ConfirmItem(QListWidgetItem *item);

    QString m_title;
    QListWidget *m_list;
    QDialogButtonBox *m_buttons;
    int m_chosen = -1;
};

// Shows the dialog centred on parent (the active window when null); -1 when cancelled.
int ChooseAnschrift(const TCustomerAddress &address, const QString &name,
                    QWidget *parent = nullptr);

class TQtAnschriftChooser : public TAnschriftChooser
{
public:
    explicit TQtAnschriftChooser(QWidget *parent = nullptr) : m_parent(parent) {}
    int Choose(const TCustomerAddress &address, const QString &name) override
    {
        return ChooseAnschrift(address, name, m_parent);
    }

private:
    QWidget *m_parent;
};
