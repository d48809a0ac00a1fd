#pragma once

#include <QString>

// DATANORM 4 deliveries for tests and benchmarks of the importer: DATANORM.001 with A and B
// records (every tenth article with a long-text block and a free text line), DATANORM.RAB and
// DATANORM.WRG, code page 850. One seed and size give the same files.
namespace DatanormGenerator
{
bool GenerateDelivery(const QString &directory, int articles, quint32 seed, QString *error);
} // namespace DatanormGenerator
