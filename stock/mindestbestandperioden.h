#pragma once

#include <QDate>
#include <QString>

struct TLagerArtikelDaten;

// Editing the minimum-stock periods of an article, apart from any widget: the list line of a
// period, its quantities, and inserting and deleting periods with the stock directory's
// template.

// "Vom 01.01 bis 14.06 : 5,000 - 10,000": start and end as day.month, then minimum stock and
// order quantity as stored.
QString PeriodLineText(const QString &period);

// Minimum stock and order quantity of a period; 0 for what does not parse.
double PeriodMinimumStock(const QString &period);
double PeriodOrderQuantity(const QString &period);

// A quantity as the period fields show and store it: three decimals, the program's separator.
QString PeriodQuantityText(double quantity);

// The period with its start and end kept and the two quantity texts replaced.
QString PeriodWithQuantities(const QString &period, const QString &minimumStock,
                             const QString &orderQuantity);

// The period template of a stock directory (which ends with a slash).
QString PeriodTemplateFile(const QString &stockDir);

// Starts a new period at the date; the template is used when the article has no periods yet.
// Returns the index of the period that now contains the date, -1 for an invalid date.
qsizetype InsertPeriodAt(TLagerArtikelDaten &article, const QString &stockDir, QDate date);

// Deletes the period and returns the index of the neighbour that took over its days, to be
// selected afterwards; nothing changes with a single period or an invalid index.
qsizetype DeletePeriodAt(TLagerArtikelDaten &article, qsizetype index);
