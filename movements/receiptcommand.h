#pragma once

#include "movements/goodsreceipt.h"
#include "persistence/money.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class IModLagerDBServerObj;
class TLagerServerObj;

// The main window's command "Warenzugang fuer aktuellen Lagerartikel" and its twin on the
// command line: lock the article, read it and its grouping, let the receipt dialog take the
// receipt, book article, serial numbers and history row in one transaction, then hand the
// new purchase prices to the grouped articles one lock at a time. Every lock taken is
// released on every way out. The dialog and the stock list are hooks; the right is the
// caller's check.
class ReceiptCommand
{
public:
    // What goes into the receipt dialog and what comes back from it.
    struct Receipt {
        double quantity = 0; // in: proposed (open order quantity or 0); out: received
        Money price;
        double discount = 0;
        QString supplier;   // in/out: the dialog may change it
        bool reset = false; // out: "Offene Liefermenge auf 0 setzen"
        Money netPrice;     // out
        Money unitPrice;    // out: what one unit cost, for the history
        QString orderNr;    // set by receipts from an order
        int orderPos = 0;
    };

    struct Hooks {
        std::function<QString()> selectedArticleNr;
        // Brings a written article's row in the stock list up to date.
        std::function<void(const TLagerServerObj &)> updateArticle;
        // The receipt dialog. True when confirmed: it has then applied the receipt to the
        // article (stock, prices, serial numbers, stamp). The grouped articles are for the
        // average price only.
        std::function<bool(TLagerServerObj &article,
                           const std::vector<const TLagerArtikelDaten *> &grouped, Receipt &io)>
            receive;
        std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    };

    enum class Outcome { Nothing, Locked, NotFound, Cancelled, Failed, Booked };

    // stockDir ends with a separator (groupings); lockOwner is the name other users see
    // while we hold an article and the one stamped as "changed by".
    ReceiptCommand(IModLagerDBServerObj &db, const QString &stockDir, const QString &lockOwner,
                   GoodsReceipt receipt, Hooks hooks);

    // supplier is the main window's supplier text, in and out.
    Outcome Run(QString &supplier);
    // The receipt dialog's work without a window, for scripts: the checks, the serial
    // numbers given in full, the price update on the article as read and the receipt
    // applied. Empty when done, else why not (translated).
    QString ReceiveWithoutWindow(TLagerServerObj &article,
                                 const std::vector<const TLagerArtikelDaten *> &grouped,
                                 Receipt &io, GoodsReceipt::Basis basis, const QStringList &serials,
                                 bool checkDuplicates);
    // The grouped articles that kept their prices because someone else held them.
    const QStringList &Skipped() const { return m_skipped; }

private:
    void updateGrouped(const TLagerServerObj &booked, const QStringList &members);

    IModLagerDBServerObj &m_db;
    QString m_stockDir;
    QString m_lockOwner;
    GoodsReceipt m_receipt;
    Hooks m_hooks;
    QStringList m_skipped;
};
