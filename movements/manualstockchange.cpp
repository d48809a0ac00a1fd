#include "movements/manualstockchange.h"

#include "base/messages.h"
#include "base/translation.h"
#include "movements/serialnumbers.h"
#include "movements/stockjournal.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
// Beyond this a double no longer holds every whole number of units.
constexpr double kLargestQuantity = 1e15;
} // namespace

ManualStockChange::ManualStockChange(IModLagerDBServerObj &db, const QString &stockDir,
                                     const QString &user)
    : m_db(db), m_stockDir(stockDir), m_user(user)
{
}

bool ManualStockChange::IsWhole(double quantity)
{
    return std::isfinite(quantity) && std::trunc(quantity) == quantity;
}

qint64 ManualStockChange::SerialDifference(double oldStock, double newStock)
{
    return qint64(std::trunc(newStock)) - qint64(std::trunc(oldStock));
}

bool ManualStockChange::ParseQuantity(QStringView text, double &value)
{
    QString t = text.trimmed().toString();
    if (t.isEmpty() || t.count(u',') + t.count(u'.') > 1)
        return false;
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) >= kLargestQuantity)
        return false;
    value = v;
    return true;
}

bool ManualStockChange::Book(TLagerServerObj &article, double newStock,
                             const TSeriennummerObjectList *added,
                             const TSeriennummerObjectList *removed, const QDateTime &when)
{
    const double oldStock = article.BuchungsBestand;
    const QString oldLast = article.LetzteSeriennummer;
    if (added)
        article.LetzteSeriennummer = added->LastSerialNumber(article.LetzteSeriennummer);
    article.BuchungsBestand = newStock;

    TLagerBuchung row =
        TLagerBuchung::Change(TLagerBuchung::ManualChange, article.LagerArtikelNr, oldStock,
                              newStock, DateTime::fromQDateTime(when), m_user);
    if (added)
        row.Seriennummern = added->JoinedText();
    else if (removed)
        row.Seriennummern = removed->JoinedText();
    const bool booked = m_db.BookArticle(article, row, added, removed) == 0;
    if (!booked) {
        article.BuchungsBestand = oldStock;
        article.LetzteSeriennummer = oldLast;
        ShowMessageBoxFmt(tx("Der Bestand des Artikels \"%s\" wurde nicht geaendert."),
                          {article.LagerArtikelNr}, MsgDlgType::Error, MsgButton::OK);
        return false;
    }

    QString serialPart;
    if (article.SNPflicht) {
        static const TSeriennummerObjectList none;
        serialPart = added ? u"+ "_s + JoinSerials(*added)
                           : u"- "_s + JoinSerials(removed ? *removed : none);
    }
    StockJournal::AppendLineToFile(
        StockJournal::FileName(m_stockDir),
        StockJournal::Line(when, m_user, article.LagerArtikelNr, oldStock, newStock, serialPart));
    return true;
}
