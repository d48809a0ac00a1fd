#include "movements/heldorder.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/dateischutz.h"

HeldOrder::~HeldOrder()
{
    TDatabaseStoreBase::Unlock(m_lock);
}

HeldOrder::Result HeldOrder::Take(const QString &orderDir, const QString &lockOwner,
                                  const QString &nr)
{
    if (!Table.Open(orderDir))
        return Result::OpenFailed; // the store has reported why
    m_lock = Table.LockRecord(lockOwner, nr);
    if (!m_lock)
        return Result::Locked;
    Table.Refresh(); // another workstation may have received against it while we waited
    Order.BestellNr = nr;
    switch (Table.ReadOrder(&Order, true)) {
    case 0:
        Order.Artikel.NumberPositions();
        return Result::Read;
    case -2:
        ShowMessageBoxFmt(tx("Bestellung \"%s\" nicht gefunden."), {nr}, MsgDlgType::Error,
                          MsgButton::OK);
        return Result::NotFound;
    default:
        ShowMessageBoxFmt(tx("Bestellung \"%s\" konnte nicht gelesen werden."), {nr},
                          MsgDlgType::Error, MsgButton::OK);
        return Result::Unreadable;
    }
}

bool HeldOrder::Write()
{
    if (Table.WriteOrder(&Order, true) == 0)
        return true;
    ShowMessageBoxFmt(tx("Bestellung \"%s\" konnte nicht geschrieben werden."), {Order.BestellNr},
                      MsgDlgType::Error, MsgButton::OK);
    return false;
}

QString SupplierOfOrder(const TBestellServerObj &order)
{
    return order.BestellAdr.Text1.section(u'_', 0, 0);
}

void ReportOrderState(const TBestellServerObj &order)
{
    if (order.Stadium == quint8(OrderState::Teillieferung))
        ShowMessageBox(tx("Die Bestellung befindet sich jetzt im Stadium \"Teillieferung\", da "
                          "noch nicht alle Artikel geliefert wurden."),
                       MsgDlgType::Information, MsgButton::OK);
    else if (order.Stadium == quint8(OrderState::Geliefert))
        ShowMessageBox(tx("Alle Artikel wurden geliefert. Die Bestellung ist abgeschlossen."),
                       MsgDlgType::Information, MsgButton::OK);
}

std::optional<OrderReceiptOutcome> HeldOrder::Refusal(Result result)
{
    switch (result) {
    case Result::Read:
        break;
    case Result::OpenFailed:
        return OrderReceiptOutcome::OpenFailed;
    case Result::Locked:
        return OrderReceiptOutcome::Locked;
    case Result::NotFound:
        return OrderReceiptOutcome::NotFound;
    case Result::Unreadable:
        return OrderReceiptOutcome::Unreadable;
    }
    return std::nullopt;
}
