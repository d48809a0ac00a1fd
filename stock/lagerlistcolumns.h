#pragma once

#include <QString>
#include <QStringView>
#include <vector>

class IniFile;
class TDBLagerSearchResult;
class TDBLagerSearchResultObjectList;

// What a column of the stock list shows; the numbers are the column tags the suite stores.
namespace LagerColumn
{
enum Code : int {
    ArtikelNr = 1000,
    Bezeichnung = 1001,
    Gruppe = 1002,
    Lagerort = 1003,
    EKPreis = 1004,
    VKPreis1 = 1005,
    VKPreis5 = 1009,
    Bestand = 1010,
    ZugangGesamt = 1011,
    Anfangsbestand = 1012,
    Inventurbestand = 1013,
    Leer = 1015,
    Rabattgruppe = 1014,
    Bestandswert = 1016,
};
}

struct TLagerListColumn {
    int Code = 0;
    const char *Caption = ""; // msgid
    int Width = 0;
    bool RightAligned = false;
};

// The columns of a list layout: 2 is stock-taking, 4 the compact list, anything else the main
// list whose optional columns follow the "View" switches of settings. Widths come from the
// settings' section, key "<grid>Column<position>", the layout's widths as defaults.
struct TLagerListLayout {
    std::vector<TLagerListColumn> Columns;
    bool OnlyStockTaking = false;
    bool WithoutKeptWithoutStock = false;

    static TLagerListLayout Build(int layout, const IniFile &settings, const QString &section,
                                  const QString &gridName);
    static QString WidthKey(const QString &gridName, int position);
};

// The go-to field's look-up: the first entry whose number starts with the text, and whether
// its number is the text itself (case ignored, as the field shows upper case only).
struct TLagerGotoResult {
    enum Colour { Normal, Found, Partial };
    qsizetype Row = -1;
    Colour Colour = Normal;
};
TLagerGotoResult LookupGoto(const TDBLagerSearchResultObjectList &list, QStringView text);

// Whether sorting by the column needs the entries' details, and the sort itself; false when
// the column cannot be sorted (the list is left as it was).
bool LagerSortNeedsDetails(int code);
bool SortLagerList(TDBLagerSearchResultObjectList &list, int code);
