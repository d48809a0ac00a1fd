#pragma once

#include "stock/dblagersearchresult.h"

#include <QStringList>

// The article numbers of a search result or stock list, in its order.
inline QStringList articleNumbers(const TDBLagerSearchResultObjectList &list)
{
    QStringList out;
    for (const TDBLagerSearchResult *e : list)
        out.append(e->ArtikelNr().toString());
    return out;
}
