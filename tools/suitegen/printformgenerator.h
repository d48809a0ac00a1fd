#pragma once

#include <QString>

// Writes the list-print files of a language into its forms directory: FORMULAR.XML with an A4
// list form in portrait (group 0) and one in landscape (group 9), and the stock list's layout
// set (01TYPESETS.XML, section "002") with its row and totals areas (01PRINTAREATYPE.XML).
// False with error set when a file cannot be written.
bool GeneratePrintForms(const QString &formsDir, QString *error);
