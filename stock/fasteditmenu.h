#pragma once

#include <QList>
#include <QString>

class TLagerConfig;

// What the fast-edit menu offers, without the menu: the tags of its items, the value items of
// the three value lists and where their columns break. The window draws it, the command flows
// and the companion resolve a chosen item to the value it sets.
namespace FastEdit
{

// The lists whose values are set on every selected article at once.
enum class ValueList { Lagerort, Artikelgruppe, Rabattgruppe };

// Field edits carry 100 + the article window's focus mode (0 description ... 7 sale price 5).
constexpr int kFieldTagFirst = 100;
constexpr int kFieldTagLast = 107;
constexpr int kEditPlacesTag = 200;
constexpr int kEditGroupsTag = 300;
// "Entfernen": the value items' tag that empties the column.
constexpr int kRemoveTag = -1;

// A value menu breaks into columns of this many value items ...
constexpr int kItemsPerColumn = 24;
// ... unless it has at least this many: a list that long would fill the screen sideways.
constexpr int kUnbrokenFrom = 150;

// Positions (0-based, among the value items) that start a new menu column, ascending.
QList<int> ColumnStarts(int valueItems);

// The LAGER column a list sets.
QString ColumnName(ValueList list);
// The submenu's caption msgid.
const char *ListCaption(ValueList list);

struct ValueItem {
    QString caption;
    int tag; // kRemoveTag or the value's index in its configuration list
};
// "Entfernen" followed by one item per configured value, in configuration order. Discount
// groups show their key and their text, since the key is what the list shows afterwards.
QList<ValueItem> ValueItems(ValueList list, const TLagerConfig &config);
// The value of the item with tag: the storage place or group text, the discount group's key,
// empty for kRemoveTag. False for a tag the configuration does not have (the menu was built
// from an older configuration).
bool ValueOf(ValueList list, const TLagerConfig &config, int tag, QString &value);
// Whether value is a configured entry of the list (discount groups by key).
bool IsConfigured(ValueList list, const TLagerConfig &config, const QString &value);

} // namespace FastEdit
