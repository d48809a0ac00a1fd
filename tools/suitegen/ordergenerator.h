#pragma once

#include "tools/suitegen/suitegenerator.h"

#include <QString>

// Purchase orders and the ordering configuration of a generated installation: orders in every
// state, with stock, free and text lines, partly delivered lines, price units 0 and 100 and
// discounts, so that goods receipts and the order journal have something to work on.
// root is the installation root with a trailing slash.
bool GenerateOrders(const SuiteGenerator::Options &options, const QString &root, QString *error);
