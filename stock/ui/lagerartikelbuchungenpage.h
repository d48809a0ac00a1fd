#pragma once

#include "stock/lagerbuchung.h"

#include <QWidget>

class QTreeWidget;

// The article window's tab "Buchungen": the article's booking history, newest first, read
// only. Quantities and prices in the installation's number format.
class TLagerArtikelBuchungenPage : public QWidget
{
    Q_OBJECT
public:
    explicit TLagerArtikelBuchungenPage(QWidget *parent = nullptr);

    void ShowBookings(const TLagerBuchungList &rows); // oldest first, as the store reads them
    void Clear();
    QTreeWidget *Grid() const { return m_grid; }

private:
    QTreeWidget *m_grid = nullptr;
};
