#pragma once

#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"

#include <QString>
#include <memory>
#include <optional>

class TDateischutzWF;

// How a receipt from an order ended; both roads, line by line and as a table, end alike.
enum class OrderReceiptOutcome {
    Nothing,
    OpenFailed,
    Locked,
    NotFound,
    Unreadable,
    Cancelled,
    Declined,
    Booked
};

// An order a goods receipt works on: its table opened, its record locked for the whole
// receipt and the order read with its lines. The lock goes with the object, however the
// receipt ends.
class HeldOrder
{
public:
    enum class Result { Read, OpenFailed, Locked, NotFound, Unreadable };

    HeldOrder() = default;
    ~HeldOrder();
    HeldOrder(const HeldOrder &) = delete;
    HeldOrder &operator=(const HeldOrder &) = delete;

    // Reports a missing or unreadable order to the user; a lock held elsewhere has been
    // reported by the wait.
    Result Take(const QString &orderDir, const QString &lockOwner, const QString &nr);
    // How a receipt ends when Take did not read the order; empty when it did.
    static std::optional<OrderReceiptOutcome> Refusal(Result result);
    // Writes the order with its lines; reports a failure. True when written.
    bool Write();

    TBestellServerObj Order;
    IModBestellDBServerObj Table;

private:
    std::unique_ptr<TDateischutzWF> m_lock;
};

// The supplier text of a receipt from order: the address number of the order address.
QString SupplierOfOrder(const TBestellServerObj &order);
// The information on the order's new state, if it is one the receipt reports.
void ReportOrderState(const TBestellServerObj &order);
