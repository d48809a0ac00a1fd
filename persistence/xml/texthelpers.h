#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

// Text helpers shared by the readers, writers and dialogs of all subsystems.

// The next number of a numbered text: "A0099" -> "A0100", "KAB" -> "KAB0001", "7" -> "8".
// width <= 0 keeps the width of the trailing digits (4 when there are none).
QString IncrementNumberText(QStringView text, int width = 0);
// The n-th field (from 1) of a separated text; empty when there are fewer fields.
QString TokenAt(QStringView text, QChar separator, int n);
// Appends the fields of text to list; an empty text gives no field.
void SplitToList(QStringView text, QChar separator, QStringList &list, bool clearFirst);
qsizetype CountChar(QStringView text, QChar c);
// Prefix compared case-sensitively, suffix without regard to case; the text must hold both.
bool StartsAndEndsWith(QStringView text, QStringView prefix, QStringView suffix);
// Encloses a text containing a blank in quote, unless it already begins or ends with it.
QString QuoteIfSpaced(const QString &text, QChar quote);
// Rebuilds a text: blanks collapsed (or dropped), optionally digits only, line breaks dropped
// unless keepAll; the result is trimmed.
QString NormalizeText(QStringView text, bool keepBlanks, bool digitsOnly, bool keepAll);
