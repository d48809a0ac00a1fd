#pragma once

#include <QStringList>

class QListWidget;

// Replaces the lines of a list and selects the row (clamped to the list; none when empty)
// without emitting the list's signals, so that refilling after an edit does not look like a
// selection by the user.
void SetListLines(QListWidget *list, const QStringList &lines, int select);
