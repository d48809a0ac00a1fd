#include "app/lager/lagercommand.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/dateischutz.h"
#include "stock/bulkcolumnupdate.h"
#include "stock/dblagersearchresult.h"
#include "stock/fasteditmenu.h"
#include "stock/inputchecks.h"
#include "stock/lagerconfig.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <QSet>
#include <optional>

using namespace Qt::StringLiterals;

namespace
{

std::optional<FastEdit::ValueList> listNamed(const QString &name)
{
    using FastEdit::ValueList;
    const std::pair<QString, ValueList> names[] = {{u"Lagerort"_s, ValueList::Lagerort},
                                                   {u"Gruppe"_s, ValueList::Artikelgruppe},
                                                   {u"Rabattgruppe"_s, ValueList::Rabattgruppe}};
    for (const auto &[word, list] : names)
        if (name.compare(word, Qt::CaseInsensitive) == 0)
            return list;
    return std::nullopt;
}

int usage(const QString &text)
{
    ShowError(text);
    return LagerExit::Usage;
}

struct DatabaseLock {
    std::unique_ptr<TDateischutzWF> lock;
    ~DatabaseLock() { TDatabaseStoreBase::Unlock(lock); }
};

} // namespace

int SetColumn(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"42"_s, txNoop("Sie sind nicht berechtigt, Artikel zu bearbeiten!")))
        return LagerExit::Denied;
    QStringList positional = args.positional;
    const bool clear = args.flags.contains(u"--clear"_s);
    if (positional.size() < (clear ? 1 : 2))
        return usage(tx("Feld und Wert (oder --clear) fehlen."));
    const std::optional<FastEdit::ValueList> list = listNamed(positional.takeFirst());
    if (!list)
        return usage(formatText(tx("Unbekanntes Feld \"%s\"; moeglich sind Lagerort, Gruppe und "
                                   "Rabattgruppe."),
                                {InputChecks::Echo(args.positional[0])}));
    const QString value = clear ? QString() : positional.takeFirst().trimmed();
    const bool byFilter =
        args.options.contains(u"--search"_s) || args.options.contains(u"--in-group"_s);
    if (byFilter == !positional.isEmpty())
        return usage(tx("Entweder Artikelnummern oder --search/--in-group angeben."));

    const QString stockDir = TSystemEinstellungen::instance().LagerDir;
    TLagerConfig config;
    config.LoadFromFile(TLagerConfig::FileNameIn(stockDir));
    if (!clear && (value.isEmpty() || !FastEdit::IsConfigured(*list, config, value))) {
        ShowError(formatText(tx("\"%s\" ist kein Eintrag der Liste \"%s\"."),
                             {InputChecks::Echo(value), tx(FastEdit::ListCaption(*list))}));
        return LagerExit::Invalid;
    }

    IModLagerDBServerObj &db = session.Db();
    DatabaseLock held{db.LockDatabase(session.Owner())};
    if (!held.lock)
        return LagerExit::Locked; // the wait has shown the holder's text
    db.Refresh();
    QStringList numbers;
    if (byFilter) {
        TDBLagerSearchResultObjectList rows;
        // the stock list's filters: trimmed text, the group as chosen
        db.Search(args.Option(u"--search"_s).trimmed(), args.Option(u"--in-group"_s), rows, false,
                  false);
        numbers.reserve(rows.Count());
        for (const TDBLagerSearchResult *row : rows)
            numbers.append(row->ArtikelNr().toString());
    } else {
        QSet<QString> seen;
        // All or none: a script that named a wrong number should not have to find out which
        // of the others were changed.
        for (const QString &p : std::as_const(positional)) {
            const QString nr = InputChecks::ArticleNumber(p);
            if (nr.isEmpty() || db.ArticleExists(nr) != 1) {
                ShowError(
                    formatText(tx("Artikel \"%s\" nicht gefunden."), {InputChecks::Echo(nr)}));
                return LagerExit::NotFound;
            }
            if (!seen.contains(nr)) {
                seen.insert(nr);
                numbers.append(nr);
            }
        }
    }
    auto progress = interaction().progress(tx("Schnellbearbeitung"), int(numbers.size()));
    const BulkColumnUpdate::Result result =
        BulkColumnUpdate::Run(db, FastEdit::ColumnName(*list), value, numbers, progress.get());
    if (result.outcome == BulkColumnUpdate::Outcome::Failed)
        return LagerExit::Failed;
    WriteOut(QString::number(result.changed) + u'\n');
    return LagerExit::Done;
}
