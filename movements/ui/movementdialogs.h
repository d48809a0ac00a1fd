#pragma once

#include "movements/serialviewcommand.h"
#include "movements/stockchangecommand.h"

#include <functional>
#include <memory>

class QWidget;
class TCustomerAddress;

// The dialogs behind the stock movement commands, for the main window: each hook creates its
// dialog for one use over parent and frees it afterwards.
namespace MovementDialogs
{
using PasswordCheck = std::function<bool(const QString &password)>;
using AddressChooser = std::function<std::unique_ptr<TCustomerAddress>()>;

// askNewStock, enterSerials and chooseSerials; the caller adds the stock list's hooks.
StockChangeCommand::Hooks StockChangeHooks(QWidget *parent, PasswordCheck checkPassword,
                                           AddressChooser chooseAddress);
SerialViewCommand::Show SerialView(QWidget *parent, PasswordCheck checkPassword);
} // namespace MovementDialogs
