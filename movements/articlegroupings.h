#pragma once

#include "persistence/xml/doublestring.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The article groupings of a stock directory: articles bought as the same goods under several
// numbers, kept in "LAGER_ARTGRP.DAT" (UTF-16LE with byte-order mark, one grouping per line
// as comma text, CR LF after every line). A grouping's number is its position, so numbers
// close up when one is deleted.
namespace ArticleGroupings
{
// The file of the stock directory (which ends with a separator).
QString FileName(const QString &stockDir);

// The members as one line: separated by commas, a member with a blank, a comma, a double
// quote or a control character in double quotes with inner quotes doubled.
QString CommaText(const QStringList &members);
// The reverse, as the suite's programs read such lines: blanks around items are ignored and
// end an unquoted item.
QStringList ReadCommaText(QStringView line);

// Appends every grouping of the file to target (number = position among the file's groupings,
// from 1; empty lines skipped); true when target then holds one. A missing or unreadable file
// leaves target unchanged.
bool LoadGroupings(const QString &stockDir, TStringStringlistObjectList &target);

// Replaces the file at once with every grouping that has members, or deletes it when none
// has. A failure is reported as an error and leaves the old file.
bool SaveGroupings(const QString &stockDir, const TStringStringlistObjectList &groupings);

// The first grouping that contains nr; null when none does.
const TStringStringlist *GroupingOf(const TStringStringlistObjectList &groupings,
                                    const QString &nr);
} // namespace ArticleGroupings
