#pragma once

#include "tools/suitegen/suitegenerator.h"

#include <QString>

// Two orders to walk through both roads of a goods receipt from an order: "B2026-9001" open,
// "B2026-9002" partly delivered, over articles of the generated stock. Between them they hold
// stock, free and text lines, one article on two lines, a serial article, an article packed in
// tens (given its packing quantity here), a free line whose supplier number is a stock article,
// and a stock line whose article is gone. The delivery address is the wholesaler with the
// DATANORM catalog, so a free line made a stock article gets its catalog reference.
// Without generated articles there is nothing to receive, and nothing is written.
bool GenerateReceiptOrders(const SuiteGenerator::Options &options, const QString &root,
                           QString *error);
