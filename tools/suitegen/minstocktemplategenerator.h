#pragma once

#include <QString>

// Writes "STDMB.TXT", the minimum-stock periods every new article starts with, into the stock
// directory: the heating season's two halves around a summer period. False with error set
// when the file cannot be written.
bool GenerateMinStockTemplate(const QString &stockDir, QString *error);
