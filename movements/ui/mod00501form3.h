#pragma once

#include "movements/goodsreceipt.h"
#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikeleditcontext.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TLagerArtikelFrame1;

// "Warenzugang Lagerartikel buchen": quantity, price and discount of one delivery beside the
// article in the article editor frame, which shows the prices the receipt will store. Kept
// for the program's lifetime; every Execute starts from the article it is given. The price
// arithmetic is GoodsReceipt's; the dialog only moves field values in and out.
class TMOD00501Form3 : public QDialog
{
    Q_OBJECT
public:
    // The serial-number entry dialog with its back button; false when the user went back.
    using EnterSerials =
        std::function<bool(TSeriennummerObjectList &serials, const TLagerArtikelDaten &article,
                           const QStringList &inStock, QString &supplier)>;
    // The article's serial numbers already in stock, for the duplicate check.
    using SerialsInStock = std::function<QStringList(const QString &nr)>;

    TMOD00501Form3(const TLagerArtikelEditContext &context, GoodsReceipt receipt,
                   const QString &settingsFile, EnterSerials enterSerials,
                   SerialsInStock serialsInStock, QWidget *parent = nullptr);

    // True when confirmed; the receipt has then been applied to article (stock, receipts
    // total, prices, serial numbers, stamp). quantity comes in as the proposal (open order
    // quantity or 0) and goes out as received.
    bool Execute(TLagerServerObj &article, double &quantity,
                 const std::vector<const TLagerArtikelDaten *> &grouped, bool &reset,
                 QString &supplier, Money price, double discount, Money &netPrice,
                 Money *unitPrice = nullptr);
    // Setup and Finish are Execute without the modal loop, for tests.
    void Setup(const TLagerServerObj &article, double quantity,
               const std::vector<const TLagerArtikelDaten *> &grouped, const QString &supplier,
               Money price, double discount);
    bool Finish(TLagerServerObj &article, double &quantity, bool &reset, QString &supplier,
                Money &netPrice, Money *unitPrice = nullptr);

    // The stock configuration's lists changed: the frame's combo boxes read them anew.
    void ReloadConfiguration();

    TLagerArtikelFrame1 *Frame() const { return m_frame; }

public slots:
    // OK passes the quantity checks and the serial numbers first.
    void done(int result) override;

private:
    void fieldLeft();
    void basisChosen();
    void priceUpdate();
    void showUnitLabel();
    GoodsReceipt::Basis basis() const;
    bool quantityValue(double &value) const;

    GoodsReceipt m_receipt;
    QString m_settingsFile;
    EnterSerials m_enterSerials;
    SerialsInStock m_serialsInStock;
    TLagerArtikelDaten m_stored; // as read: its prices value the stock there already
    TLagerServerObj m_work;      // what the frame shows and edits
    std::vector<const TLagerArtikelDaten *> m_grouped;
    TSeriennummerObjectList m_serials; // entered on OK
    double m_initialQuantity = 0;
    QString m_supplier;
    bool m_confirmed = false;

    TLagerArtikelFrame1 *m_frame = nullptr;
    QLineEdit *m_edMenge = nullptr;
    QLineEdit *m_edPreis = nullptr;
    QLineEdit *m_edRabatt = nullptr;
    QLineEdit *m_edNetto = nullptr;
    QLabel *m_lbBestellmenge = nullptr;
    QLabel *m_lbWaehrung = nullptr;
    QCheckBox *m_ckbReset = nullptr;
    QRadioButton *m_rbProME = nullptr;
    QRadioButton *m_rbProKg = nullptr;
};
