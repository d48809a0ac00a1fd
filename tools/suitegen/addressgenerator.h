#pragma once

#include <QString>

// Writes the supplier addresses of a demo or test installation as "kundenadr" files
// ("<number>.XML") into the client's addresses directory, where the address program
// finds them. Among them: one without a postal address, one with several, contacts, payment
// data and German umlauts. Creates the directory; false with error set when it cannot write.
bool GenerateSupplierAddresses(const QString &addressDir, QString *error);
