#pragma once

#include "ordering/customeraddress.h"

#include <QString>

// The choice of one postal address of an address, so that flows run without a window: the
// dialog (ordering/ui/chooseanschrift.h) implements it, tests script it.
class TAnschriftChooser
{
public:
    virtual ~TAnschriftChooser() = default;
    // Index into address.Anschriften, -1 when the user cancelled.
    virtual int Choose(const TCustomerAddress &address, const QString &name) = 0;
};

// One line of the postal address list: id (with " - " and kind when there is one), the four
// names cut to 35 characters, street, and country, postcode and town.
QString AnschriftRowText(const TCustomerAnschrift &anschrift);
