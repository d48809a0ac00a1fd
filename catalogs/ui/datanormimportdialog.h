#pragma once

#include "catalogs/datanorm/datanormimportcommand.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// Asks where a DATANORM delivery lies, which catalog it makes or updates and, for a new
// catalog, its supplier.
class TDatanormImportDialog : public QDialog
{
    Q_OBJECT
public:
    // chooseSupplier: the address choice, giving an address number; empty when the user chose
    // none. Null hides the button.
    explicit TDatanormImportDialog(std::function<QString()> chooseSupplier = {},
                                   QWidget *parent = nullptr);

    // Shows the request's values, lets the user change them; false when cancelled.
    bool Ask(DatanormImportCommand::Request &request);
    // The request as the fields hold it.
    DatanormImportCommand::Request Current() const;

    QLineEdit *DirectoryEdit() const { return m_dir; }
    QLineEdit *NameEdit() const { return m_name; }
    QLineEdit *SupplierEdit() const { return m_supplier; }
    QPushButton *ImportButton() const { return m_import; }

private:
    void updateEnabled();

    QLineEdit *m_dir;
    QLineEdit *m_name;
    QLineEdit *m_supplier;
    QPushButton *m_import;
};
