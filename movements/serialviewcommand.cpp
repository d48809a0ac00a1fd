#include "movements/serialviewcommand.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/serialselection.h"
#include "persistence/engine/tdbdatabase.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"

SerialViewCommand::SerialViewCommand(IModLagerDBServerObj &db, Show show)
    : m_db(db), m_show(std::move(show))
{
}

bool SerialViewCommand::Run(const QString &nr, const QString &description)
{
    if (nr.isEmpty())
        return false;
    m_db.Refresh();
    TSeriennummerObjectList rows;
    SerialSelection::ReadArticleSerials(m_db, nr, rows);
    if (rows.IsEmpty()) {
        interaction().desktopAlert(tx("Information"), tx("Keine Seriennummern vorhanden."), 100,
                                   3000);
        return false;
    }
    m_show(nr, description, rows, [this](const TSeriennummer &before, const TSeriennummer &after) {
        return PostEdit(before, after);
    });
    return true;
}

bool SerialViewCommand::PostEdit(const TSeriennummer &before, const TSeriennummer &after)
{
    if (after.SN == before.SN)
        return m_db.WriteSerial(&after) == 0;
    if (after.SN.isEmpty()) {
        ShowMessageBox(tx("Die Seriennummer darf nicht leer sein."), MsgDlgType::Error,
                       MsgButton::OK);
        return false;
    }
    TSeriennummer existing;
    existing.SN = after.SN;
    existing.LagerArtikelNr = after.LagerArtikelNr;
    if (m_db.ReadSerial(&existing) == 0) {
        ShowMessageBoxFmt(
            tx("Ein Artikel mit der Seriennummer \"%s\" ist bereits im Lager vorhanden."),
            {after.SN}, MsgDlgType::Error, MsgButton::OK);
        return false;
    }
    TTdbDatabase &database = m_db.Database();
    try {
        database.StartTransaction();
        if (m_db.DeleteSerial(before.SN, before.LagerArtikelNr) == 0 &&
            m_db.WriteSerial(&after) == 0) {
            database.Commit();
            return true;
        }
        database.Rollback();
    } catch (const std::exception &e) {
        if (database.InTransaction())
            database.Rollback();
        ReportMessage(MessageKind::Error, tx("Datenbankfehler."), nullptr, &e);
        return false;
    }
    ShowMessageBoxFmt(tx("Die Seriennummer \"%s\" konnte nicht gespeichert werden."), {after.SN},
                      MsgDlgType::Error, MsgButton::OK);
    return false;
}
