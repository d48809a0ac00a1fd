#pragma once

#include "persistence/engine/tdbtable.h"
#include "stock/lagerbuchung.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/messagetexts.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

// What the movement tests read back after a booking, each fresh from the tables.
namespace MovementTests
{
inline TLagerServerObj article(IModLagerDBServerObj &db, const QString &nr)
{
    db.Refresh();
    TLagerServerObj a;
    a.LagerArtikelNr = nr;
    EXPECT_EQ(db.ReadArticle(&a), 0) << qPrintable(nr);
    return a;
}

inline TLagerBuchungList history(IModLagerDBServerObj &db, const QString &nr)
{
    TLagerBuchungList rows;
    EXPECT_EQ(db.ReadBookings(nr, rows), 0);
    return rows;
}

inline QStringList serials(IModLagerDBServerObj &db, const QString &nr)
{
    QStringList list;
    db.Refresh();
    db.SerialsOfArticle(nr, list);
    db.SerialTable().SetFiltered(false);
    return list;
}

template <typename T> T *child(QWidget &dialog, const QString &name)
{
    T *widget = dialog.findChild<T *>(name);
    EXPECT_NE(widget, nullptr) << qPrintable(name);
    return widget;
}
} // namespace MovementTests
