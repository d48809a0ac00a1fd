#pragma once

#include <QString>

// The supplier catalogs of a generated installation: a DATANORM catalog "MUELLER" of the
// supplier 70001 and a simple catalog "KOEHLER" of the supplier 70002, each with its tables,
// SUPPLIER.INI, pictures and word index. One seed and size give the same files.
namespace CatalogGenerator
{
// Both catalogs below the catalog base directory.
bool GenerateCatalogs(const QString &catalogBaseDir, int articles, quint32 seed, QString *error);
// One catalog each, in directory (created when missing); for benchmarks of up to 500,000
// articles.
bool GenerateDatanormCatalog(const QString &directory, int articles, quint32 seed, QString *error);
bool GenerateSimpleCatalog(const QString &directory, int articles, quint32 seed, QString *error);
} // namespace CatalogGenerator
