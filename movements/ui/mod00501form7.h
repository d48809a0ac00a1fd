#pragma once

#include "stock/seriennummer.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class TCustomerAddress;
struct TLagerArtikelDaten;

// "Seriennummern erfassen": one serial number (and a note) per unit that comes into stock,
// typed row by row through the input field, which proposes the next number each time. The
// dialog works on its own copy of the list and hands it back on OK.
class TMOD00501Form7 : public QDialog
{
    Q_OBJECT
public:
    // The suite's address selection behind the supplier button; null when cancelled.
    using AddressChooser = std::function<std::unique_ptr<TCustomerAddress>()>;

    explicit TMOD00501Form7(AddressChooser chooseAddress = {}, QWidget *parent = nullptr);

    // inStock are the article's serial numbers already in the table.
    void Setup(const TSeriennummerObjectList &serials, const TLagerArtikelDaten &article,
               bool showBack, const QStringList &inStock, const QString &supplier);
    // After closing: true when closed with OK; serials and supplier then hold the entries.
    bool Finish(TSeriennummerObjectList &serials, QString &supplier) const;
    // Setup, the modal loop, Finish.
    bool Execute(TSeriennummerObjectList &serials, const TLagerArtikelDaten &article, bool showBack,
                 const QStringList &inStock, QString &supplier);

public slots:
    // Every way out but "Zurueck" passes the checks first.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enterInput();
    void cellEdited(QTableWidgetItem *item);
    void chooseSupplier();

    AddressChooser m_chooseAddress;
    TSeriennummerObjectList m_serials;
    QStringList m_inStock;
    bool m_back = false;
    bool m_ok = false;
    bool m_filling = false;
    QLabel *m_lbArtikelNr = nullptr;
    QLabel *m_lbBezeichnung = nullptr;
    QLabel *m_lbLetzte = nullptr;
    QLineEdit *m_edLieferant = nullptr;
    QLineEdit *m_edEingabe = nullptr;
    QTableWidget *m_grid = nullptr;
    QCheckBox *m_cbDoppelt = nullptr;
    QPushButton *m_btOK = nullptr;
    QPushButton *m_btZurueck = nullptr;
};
