#pragma once

#include <QString>
#include <functional>

class IModLagerDBServerObj;
class TSeriennummerObjectList;
struct TLagerArtikelDaten;

// The choice of serial numbers that leave the stock. The store part lives here, the
// choosing in the dialog, which only ever sees the article's rows as a list.
namespace SerialSelection
{
// Shows the article's serial numbers (in serial-number order) and returns true with exactly
// count of them in chosen; false when cancelled.
using Chooser =
    std::function<bool(const TLagerArtikelDaten &article, const TSeriennummerObjectList &candidates,
                       int count, bool showCancel, TSeriennummerObjectList &chosen)>;

// 0 when |count| serial numbers of the article were chosen and read in full into result;
// -1 when it has too few (said), the choice was cancelled, or a chosen row is unreadable
// (said).
int Run(IModLagerDBServerObj &db, const TLagerArtikelDaten &article, int count, bool showCancel,
        TSeriennummerObjectList &result, const Chooser &choose);

// The article's rows of the serial-number table in serial-number order; the table is left
// unfiltered.
void ReadArticleSerials(IModLagerDBServerObj &db, const QString &nr, TSeriennummerObjectList &rows);
} // namespace SerialSelection
