#include "stock/ui/listlines.h"

#include <QListWidget>
#include <QSignalBlocker>

void SetListLines(QListWidget *list, const QStringList &lines, int select)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(lines);
    if (!lines.isEmpty())
        list->setCurrentRow(qBound(0, select, int(lines.size()) - 1));
}
