#pragma once

#include "ordering/customeraddress.h"

#include <QString>
#include <QStringList>
#include <memory>

// Lets the user pick an address in the suite's address program (MOD00318 in programDir) and
// returns it; null when the user cancelled or the program is missing (then it says so).
// startArguments are this program's own arguments after its name; the first two (client and
// user) are handed on so that the address program logs on as this one did. The address comes
// back through a file in exchangeDir, which must exist.
std::unique_ptr<TCustomerAddress> SelectAddress(const QString &programDir,
                                                const QString &exchangeDir,
                                                const QStringList &startArguments);
