#pragma once

#include <QString>

// Writes LABELS_STOCK.XML into the forms directory: an A4 sheet of 3 x 8 shelf labels of
// 70 x 37 mm and a roll of 57 x 32 mm price labels, with article number, description, gross
// and net price, the EAN-13 and the article number as Code 128. False with error set when the
// file cannot be written.
bool GenerateLabelFile(const QString &formsDir, QString *error);
