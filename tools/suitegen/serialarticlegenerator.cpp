#include "tools/suitegen/serialarticlegenerator.h"

#include "movements/serialnumbers.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <algorithm>

namespace
{
QString serialNumber(const TLagerServerObj &article, int k)
{
    return article.LagerArtikelNr + u'-' + QString::number(k).rightJustified(4, u'0');
}
} // namespace

int PrepareDemoSerialArticle(TLagerServerObj &article, int index)
{
    if (!article.SNPflicht)
        return 0;
    // A dozen at most: a serial number is a row, and benchmarks generate large stocks.
    const int count = 1 + index % 12;
    article.BuchungsBestand = count;
    article.SummeWareneingangMe = std::max(article.SummeWareneingangMe, double(count));
    article.LetzteSeriennummer = serialNumber(article, count);
    return count;
}

void WriteDemoSerials(IModLagerDBServerObj &db, const TLagerServerObj &article, int count)
{
    TTdbTable &serials = db.SerialTable();
    TSeriennummer sn;
    sn.LagerArtikelNr = article.LagerArtikelNr;
    sn.ZUGANG = article.Created;
    sn.LIEFERANT = QStringLiteral("GC");
    for (int k = 1; k <= count; ++k) {
        sn.SN = k == 1 ? serialNumber(article, 1) : IncSerialNumber(sn.SN);
        serials.Append();
        db.WriteSerialRow(sn);
        serials.Post();
    }
}
