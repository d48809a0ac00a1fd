#pragma once

#include <QString>
#include <QStringList>

class TSeriennummerObjectList;

// The serial-number texts every booking shares: the next number after a given one, the
// list as one line, and the checks an entered list must pass before it is booked.

// The text with its trailing digit run counted up by one. The run is counted as text, so a
// run longer than any integer still works; the result is padded with "0" to width (the
// run's own length when width is 0) and never cut. A text without digits gets "0001"
// (or 1 padded to width).
QString IncSerialNumber(const QString &text, int width = 0);

// The serial numbers separated by single blanks.
QString JoinSerials(const TSeriennummerObjectList &list);

// The first reason not to book the list, empty when there is none: numbers still missing,
// then (with checkDuplicates) a number given twice or one the article already has in stock.
QString SerialEntryRefusal(const TSeriennummerObjectList &list, const QStringList &inStock,
                           bool checkDuplicates);
