#pragma once
// What the stock tests share: the headers nearly each of them needs, money from a literal and
// the article numbers of a list.
#include "stock/dblagersearchresult.h"
#include "stock/lagerserverobj.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace Qt::StringLiterals;

inline Money m(double v)
{
    return Money::fromDouble(v);
}

// The article numbers of a search result or stock list, in its order.
inline QStringList articleNumbers(const TDBLagerSearchResultObjectList &list)
{
    QStringList out;
    for (const TDBLagerSearchResult *e : list)
        out.append(e->ArtikelNr().toString());
    return out;
}
