#pragma once

#include "stock/lagerserverobj.h"

// A stock article with every field away from its default, in texts and numbers that break
// naive writers (markup characters, both line ends, exponents, money beyond a double's digits).
// The stored form of it is the golden file tests/stock/data/lagerartikel_full.xml.
TLagerArtikelDaten fullArticle();
