#pragma once
// The headers nearly every ordering test needs, and an order line from its figures.
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace Qt::StringLiterals;

inline TBestellartikel &addLine(TBestellServerObj &order, const QString &typ, double menge,
                                double ek, int pe, double rabatt, double geliefert = 0)
{
    auto line = std::make_unique<TBestellartikel>();
    line->Typ = typ;
    line->Menge = menge;
    line->EK = ek;
    line->PE = pe;
    line->Rabatt = rabatt;
    line->Geliefert = geliefert;
    TBestellartikel &ref = *line;
    order.Artikel.Add(std::move(line));
    return ref;
}
