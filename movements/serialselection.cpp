#include "movements/serialselection.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <cstdlib>

void SerialSelection::ReadArticleSerials(IModLagerDBServerObj &db, const QString &nr,
                                         TSeriennummerObjectList &rows)
{
    rows.Clear();
    db.FilterSerials(nr);
    TTdbTable &t = db.SerialTable();
    try {
        for (t.First(); !t.Eof(); t.Next())
            db.ReadSerialRow(rows.Add());
        // Later look-ups by (SN, article) must see every row again.
        t.SetFiltered(false);
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, tx("Datenbankfehler."), nullptr, &e);
    }
}

int SerialSelection::Run(IModLagerDBServerObj &db, const TLagerArtikelDaten &article, int count,
                         bool showCancel, TSeriennummerObjectList &result, const Chooser &choose)
{
    const int n = std::abs(count);
    TSeriennummerObjectList candidates;
    ReadArticleSerials(db, article.LagerArtikelNr, candidates);
    if (candidates.Count() < n) {
        ShowMessageBoxFmt(
            tx("Fuer den Lagerartikel \"%s\" sind nicht ausreichend Seriennummern verfuegbar."),
            {article.LagerArtikelNr}, MsgDlgType::Error, MsgButton::OK);
        return -1;
    }
    TSeriennummerObjectList chosen;
    if (!choose(article, candidates, n, showCancel, chosen) || chosen.Count() != n)
        return -1;
    // Another workstation may have booked some of them out meanwhile: read them in full.
    if (db.ReadSerials(chosen) != 0) {
        ShowMessageBox(tx("Fehler beim Auslesen der Seriennummern."), MsgDlgType::Error,
                       MsgButton::OK);
        return -1;
    }
    result = chosen;
    return 0;
}
