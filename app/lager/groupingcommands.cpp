#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/articlegroupings.h"
#include "movements/groupingeditor.h"
#include "persistence/dateischutz.h"
#include "stock/inputchecks.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

using namespace Qt::StringLiterals;

namespace
{

QString stockDir()
{
    const QString dir = TSystemEinstellungen::instance().LagerDir;
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

int invalid(const QString &text)
{
    ShowError(text);
    return LagerExit::Invalid;
}

QString tsvCell(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

// Holds the stock database lock while a command reads, changes and writes the file, so that
// two writers never lose each other's grouping.
struct DatabaseLock {
    std::unique_ptr<TDateischutzWF> lock;
    ~DatabaseLock() { TDatabaseStoreBase::Unlock(lock); }
};

} // namespace

int GroupingsList(LagerSession &session, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (format != u"tsv" && format != u"json") {
        ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
        return LagerExit::Usage;
    }
    GroupingEditor editor;
    editor.Load(session.Db(), stockDir());
    if (format == u"json") {
        QJsonArray array;
        for (const TStringStringlist &g : editor.Groupings()) {
            QJsonArray members;
            for (const QString &nr : g.List)
                members.append(QJsonObject{{u"LagerArtikelNr"_s, nr},
                                           {u"Bezeichnung"_s, editor.Description(nr)}});
            array.append(QJsonObject{{u"Gruppierung"_s, g.Name.toInt()}, {u"Artikel"_s, members}});
        }
        WriteOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return LagerExit::Done;
    }
    QString out = u"Gruppierung\tLagerartikel-Nr.\tBezeichnung\n"_s;
    for (const TStringStringlist &g : editor.Groupings())
        for (const QString &nr : g.List)
            out += g.Name + u'\t' + tsvCell(nr) + u'\t' + tsvCell(editor.Description(nr)) + u'\n';
    WriteOut(out);
    return LagerExit::Done;
}

int GroupingsAdd(LagerSession &session, const LagerArgs &args)
{
    QStringList numbers;
    for (const QString &a : args.positional) {
        const QString nr = InputChecks::ArticleNumber(a);
        if (numbers.contains(nr))
            return invalid(formatText(tx("Der Artikel \"%s\" ist mehrfach angegeben."),
                                      {InputChecks::Echo(nr)}));
        numbers.append(nr);
    }
    if (numbers.size() < 2)
        return invalid(tx("Eine Gruppierung braucht mindestens zwei Artikel."));
    IModLagerDBServerObj &db = session.Db();
    DatabaseLock held{db.LockDatabase(session.Owner())};
    if (!held.lock)
        return LagerExit::Locked; // the wait has shown the holder's text
    db.Refresh();
    for (const QString &nr : numbers)
        if (nr.isEmpty() || db.ArticleExists(nr) != 1)
            return invalid(
                formatText(tx("Artikel \"%s\" nicht gefunden."), {InputChecks::Echo(nr)}));
    TStringStringlistObjectList groupings;
    ArticleGroupings::LoadGroupings(stockDir(), groupings);
    for (const QString &nr : numbers)
        if (const TStringStringlist *g = ArticleGroupings::GroupingOf(groupings, nr))
            return invalid(formatText(tx("Der Artikel \"%s\" gehoert schon zur Gruppierung %s."),
                                      {InputChecks::Echo(nr), g->Name}));
    const QString number = QString::number(groupings.Count() + 1);
    groupings.Add(TStringStringlist{number, numbers});
    if (!ArticleGroupings::SaveGroupings(stockDir(), groupings))
        return LagerExit::Failed;
    WriteOut(number + u'\n');
    return LagerExit::Done;
}

int GroupingsDelete(LagerSession &session, const LagerArgs &args)
{
    bool ok = false;
    const int number = args.positional[0].trimmed().toInt(&ok);
    if (!ok || number < 1)
        return invalid(formatText(tx("\"%s\" ist keine Nummer einer Gruppierung."),
                                  {InputChecks::Echo(args.positional[0])}));
    IModLagerDBServerObj &db = session.Db();
    DatabaseLock held{db.LockDatabase(session.Owner())};
    if (!held.lock)
        return LagerExit::Locked;
    TStringStringlistObjectList groupings;
    ArticleGroupings::LoadGroupings(stockDir(), groupings);
    if (number > groupings.Count()) {
        ShowError(formatText(tx("Gruppierung %s nicht gefunden."), {QString::number(number)}));
        return LagerExit::NotFound;
    }
    groupings.Delete(number - 1);
    return ArticleGroupings::SaveGroupings(stockDir(), groupings) ? LagerExit::Done
                                                                  : LagerExit::Failed;
}
