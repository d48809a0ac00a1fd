#include "stock/fasteditmenu.h"

#include "base/translation.h"
#include "stock/lagerconfig.h"

using namespace Qt::StringLiterals;

namespace FastEdit
{

QList<int> ColumnStarts(int valueItems)
{
    QList<int> starts;
    if (valueItems >= kUnbrokenFrom)
        return starts;
    for (int i = kItemsPerColumn; i < valueItems; i += kItemsPerColumn)
        starts.append(i);
    return starts;
}

QString ColumnName(ValueList list)
{
    switch (list) {
    case ValueList::Lagerort:
        return u"Lagerort"_s;
    case ValueList::Artikelgruppe:
        return u"Gruppe"_s;
    case ValueList::Rabattgruppe:
        break;
    }
    return u"Rabattgruppen"_s;
}

const char *ListCaption(ValueList list)
{
    switch (list) {
    case ValueList::Lagerort:
        return txNoop("Lagerort");
    case ValueList::Artikelgruppe:
        return txNoop("Artikelgruppe");
    case ValueList::Rabattgruppe:
        break;
    }
    return txNoop("Rabattgruppe");
}

QList<ValueItem> ValueItems(ValueList list, const TLagerConfig &config)
{
    QList<ValueItem> items{{tx("Entfernen"), kRemoveTag}};
    if (list == ValueList::Rabattgruppe) {
        int i = 0;
        for (const TDoubleString &g : config.Rabattgruppen) {
            items.append({g.Value.isEmpty() ? g.Key : g.Key + u" - "_s + g.Value, i});
            ++i;
        }
        return items;
    }
    const QStringList &values =
        list == ValueList::Lagerort ? config.Lagerorte : config.Artikelgruppen;
    for (int i = 0; i < values.size(); ++i)
        items.append({values[i], i});
    return items;
}

bool ValueOf(ValueList list, const TLagerConfig &config, int tag, QString &value)
{
    if (tag == kRemoveTag) {
        value.clear();
        return true;
    }
    if (tag < 0)
        return false;
    if (list == ValueList::Rabattgruppe) {
        if (tag >= config.Rabattgruppen.Count())
            return false;
        value = config.Rabattgruppen[tag].Key;
        return true;
    }
    const QStringList &values =
        list == ValueList::Lagerort ? config.Lagerorte : config.Artikelgruppen;
    if (tag >= values.size())
        return false;
    value = values[tag];
    return true;
}

bool IsConfigured(ValueList list, const TLagerConfig &config, const QString &value)
{
    if (list == ValueList::Rabattgruppe) {
        for (const TDoubleString &g : config.Rabattgruppen)
            if (g.Key == value)
                return true;
        return false;
    }
    return (list == ValueList::Lagerort ? config.Lagerorte : config.Artikelgruppen).contains(value);
}

} // namespace FastEdit
