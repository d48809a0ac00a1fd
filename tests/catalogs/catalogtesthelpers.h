#pragma once

// Shared by the catalog tests: fully populated articles of both kinds, their golden documents
// (UTF-16LE files in data/, written by hand, read with tests/support/documents.h) and price
// settings without a logged-on client.

#include "catalogs/katalog1artikel.h"
#include "catalogs/katalog2artikel.h"
#include "catalogs/katalogpreiseinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace CatalogTest
{
// A scratch directory and scripted answers for every question the code under test asks.
struct Fixture : ::testing::Test {
    QTemporaryDir tmp;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
};

// Every field set. The prices are those the merge tests compute with: list price 48.50,
// 35 % off, net 31.53, surcharge 12.345 %; prices in another unit at factor 2.5.
TKatalog1ArtikelDaten fullDatanormArticle();
// Every field set: purchase price 100.00, 10 % off, sales factor 1.5, VAT code 1; another
// unit at factor 3.
TKatalog2ArtikelDaten fullSimpleArticle();

// A catalog directory with empty marker files and, given a type, a SUPPLIER.INI with it and
// with the supplier's number and information when given. Returns the directory.
QString catalogDir(const QString &dir, const QStringList &markers = {}, const QString &type = {},
                   const QString &supplierId = {}, const QString &info = {});

// VAT code 1 has 19 %, code 3 7 %, every other 0 %.
TKatalogPreisEinstellungen priceSettings(bool fourDecimals, bool gross = false);
} // namespace CatalogTest
