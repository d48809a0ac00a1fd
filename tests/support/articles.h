#pragma once

#include "stock/lagerserverobj.h"

#include <functional>

// A stock article with every field away from its default, in texts and numbers that break
// naive writers (markup characters, both line ends, exponents, money beyond a double's digits).
// The stored form of it is the golden file tests/stock/data/lagerartikel_full.xml.
TLagerArtikelDaten fullArticle();

// Writes one article per number into the stock in stockDir, each with what edit sets and the
// rest at its defaults; a failed write fails the test. The stock opens and closes around it.
void writeArticles(const QString &stockDir, const QStringList &numbers,
                   const std::function<void(TLagerServerObj &)> &edit = {});
