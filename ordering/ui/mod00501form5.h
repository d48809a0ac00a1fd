#pragma once

#include <QDialog>
#include <QString>

class IniFile;
class TLagerBestelljournalFrame1;

// "Bestellung auswaehlen": the order journal limited to orders with open or partial delivery,
// from which the user picks the order for a goods receipt.
class TMOD00501Form5 : public QDialog
{
    Q_OBJECT
public:
    // Column widths come from and go back to ini (the user's MOD00501.INI), which must outlive
    // the dialog; null keeps the default widths.
    TMOD00501Form5(QWidget *parent, const QString &orderDirectory, IniFile *ini);

    TLagerBestelljournalFrame1 *Frame() const { return m_frame; }
    // Shows the dialog modally; the chosen order number, or empty when cancelled or none.
    QString Execute();

    // Creates the dialog for one choice and frees it again.
    static QString ChooseOrder(QWidget *parent, const QString &orderDirectory, IniFile *ini);

    void done(int result) override;

private:
    TLagerBestelljournalFrame1 *m_frame = nullptr;
    IniFile *m_ini = nullptr;
};
