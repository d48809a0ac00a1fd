#pragma once

#include "movements/serialviewcommand.h"
#include "stock/seriennummer.h"

#include <QDialog>
#include <functional>

class QLabel;
class QTableWidget;
class QTableWidgetItem;

// "Seriennummern zum Lagerartikel.": the serial numbers of one article. Notes and suppliers
// can be edited at once; the numbers themselves only after the system administrator's
// password. Every edit goes to the table as soon as the cell is left.
class TLSNForm1 : public QDialog
{
    Q_OBJECT
public:
    using PasswordCheck = std::function<bool(const QString &password)>;
    // Asks for the password; false when cancelled. Empty uses a masked input box.
    using PasswordPrompt = std::function<bool(QString &password)>;

    TLSNForm1(PasswordCheck checkPassword, PasswordPrompt askPassword = {},
              QWidget *parent = nullptr);

    void Setup(const QString &nr, const QString &description, const TSeriennummerObjectList &rows,
               SerialViewCommand::Post post);
    void Execute(const QString &nr, const QString &description, const TSeriennummerObjectList &rows,
                 const SerialViewCommand::Post &post);

    // "Seriennummern bearbeiten".
    void UnlockSerialNumbers();
    bool SerialNumbersEditable() const { return m_unlocked; }

private:
    void cellEdited(QTableWidgetItem *item);
    void fill();

    PasswordCheck m_checkPassword;
    PasswordPrompt m_askPassword;
    TSeriennummerObjectList m_rows;
    SerialViewCommand::Post m_post;
    bool m_unlocked = false;
    bool m_filling = false;
    QLabel *m_lbArtikelNr = nullptr;
    QLabel *m_lbBezeichnung = nullptr;
    QLabel *m_lbAnzahl = nullptr;
    QTableWidget *m_grid = nullptr;
};
