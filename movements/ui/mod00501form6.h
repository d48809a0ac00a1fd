#pragma once

#include "movements/orderreceiptcommand.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// "Warenzugang freier Artikel buchen": the receipt of an order line that names no stock
// article. The user books it as a free article ("Weiter") or turns it into a new stock
// article ("Weiter als neuer Lagerartikel").
class TMOD00501Form6 : public QDialog
{
    Q_OBJECT
public:
    explicit TMOD00501Form6(QWidget *parent = nullptr);

    // One of OrderReceiptCommand's FreeChoice values; io as that command describes it.
    int Execute(OrderReceiptCommand::FreeReceipt &io);
    // Execute without the modal loop, for tests: Setup, then Finish with the button pressed.
    void Setup(const OrderReceiptCommand::FreeReceipt &io);
    int Finish(int choice, OrderReceiptCommand::FreeReceipt &io);

    static int Run(QWidget *parent, OrderReceiptCommand::FreeReceipt &io);

private:
    void priceLeft();
    bool quantityValid();
    Money netPrice() const;

    QLabel *m_lbBestellNr;
    QLabel *m_lbBeschreibung;
    QLabel *m_lbBestellmenge;
    QLineEdit *m_edMenge;
    QLineEdit *m_edPreis;
    QLineEdit *m_edRabatt;
    QLineEdit *m_edNetto;
};
