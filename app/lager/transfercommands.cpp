#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/datanorm/datanormimport.h"
#include "catalogs/datanorm/datanormimportcommand.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/katalogtransfer.h"
#include "persistence/engine/engineerror.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace
{
std::unique_ptr<TKatalogDBPool> makePool()
{
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    return std::make_unique<TKatalogDBPool>(sys.KatalogeDir, sys.LagerDir,
                                            &TLogHelper::DatabaseError);
}

KatalogTransfer::Settings settingsOf(const LagerSession &session)
{
    KatalogTransfer::Settings s = KatalogTransfer::Settings::FromSystem();
    s.userFullName = session.Owner();
    return s;
}
} // namespace

int CatalogTake(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"41"_s, "Sie sind nicht berechtigt, Artikel anzulegen!"))
        return LagerExit::Denied;
    const std::unique_ptr<TKatalogDBPool> pool = makePool();
    KatalogTransfer transfer(*pool, session.Db(), settingsOf(session));
    const QString catalog = args.positional.at(0);
    const QString nr = args.positional.at(1);
    switch (transfer.TakeArticle(catalog, nr, args.Option(u"--number"_s))) {
    case 0:
        return LagerExit::Done;
    case -2:
        ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {nr}));
        return LagerExit::NotFound;
    default:
        return LagerExit::Invalid;
    }
}

int CatalogTakeAll(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"41"_s, "Sie sind nicht berechtigt, Artikel anzulegen!"))
        return LagerExit::Denied;
    const std::unique_ptr<TKatalogDBPool> pool = makePool();
    IModLagerDBServerObj &db = session.Db();
    KatalogTransfer transfer(*pool, db, settingsOf(session));
    auto lock = db.LockDatabase(session.Owner());
    if (!lock)
        return LagerExit::Locked; // the wait has shown the holder's text
    bool cancelled = false;
    const int written = transfer.ImportWholeCatalog(args.positional.at(0), &cancelled);
    TDatabaseStoreBase::Unlock(lock);
    if (written < 0)
        return LagerExit::NotFound;
    QTextStream(stdout) << written << u'\n';
    return cancelled ? LagerExit::Failed : LagerExit::Done;
}

int CatalogImportDatanorm(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"41"_s, "Sie sind nicht berechtigt, Artikel anzulegen!"))
        return LagerExit::Denied;
    const QString name = DatanormImportCommand::CatalogDirectoryName(args.Option(u"--name"_s));
    if (name.isEmpty()) {
        ShowError(formatText(tx("Ungueltiger Katalogname \"%s\"."),
                             {args.Option(u"--name"_s).trimmed().toUpper()}));
        return LagerExit::Usage;
    }
    const QString dir = TSystemEinstellungen::instance().KatalogeDir + name + u'/';
    if (DatanormImportCommand::HoldsAnotherCatalog(dir)) {
        ShowError(formatText(tx("Der Katalog \"%s\" ist kein DATANORM-Katalog."), {name}));
        return LagerExit::Invalid;
    }
    const DatanormImport::Result r =
        DatanormImport::Import(args.positional.at(0), dir, args.Option(u"--supplier"_s));
    if (!r.ok) {
        if (!r.cancelled)
            ShowError(r.error);
        return r.cancelled ? LagerExit::Failed : LagerExit::Invalid;
    }
    QTextStream(stdout) << r.written << u'\t' << r.deleted << u'\t' << r.skipped << u'\n';
    return LagerExit::Done;
}
