// Moving a client's tables from the SQLite files of its data directories to a database server,
// and comparing both sides afterwards.
#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/databasebackend.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "suite/inifilesec.h"
#include "suite/systemeinstellungen.h"

#include <QDir>
#include <QDirIterator>

using namespace Qt::StringLiterals;

namespace
{

// Every directory of the client that holds tables: stock (with serial numbers and history),
// orders, catalogs and whatever else keeps .DAT files.
QStringList databaseDirectories()
{
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    const QString clientDir = sys.DataDir + sys.ClientName.toUpper();
    QStringList dirs;
    QDirIterator it(clientDir, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList all{clientDir};
    while (it.hasNext())
        all.append(it.next());
    for (const QString &dir : std::as_const(all)) {
        if (!QDir(dir).entryList({u"*.DAT"_s, u"*.dat"_s}, QDir::Files).isEmpty())
            dirs.append(dir);
    }
    dirs.sort();
    return dirs;
}

// One side of the comparison: the files or the server. The backend is chosen when a
// database connects, so each side connects under its own choice.
void connect(TTdbDatabase &db, const QString &dir, const QString &server)
{
    TTdbDatabase::UseServer(server, TSystemEinstellungen::instance().RootDir);
    db.SetLocation(dir);
    try {
        db.Connect();
    } catch (...) {
        TTdbDatabase::UseServer({});
        throw;
    }
    TTdbDatabase::UseServer({});
}

bool serverFrom(const LagerArgs &args, QString &server)
{
    if (!TSystemEinstellungen::instance().DatabaseServer.isEmpty()) {
        ShowError(tx("Die Tabellen dieses Mandanten liegen bereits auf einem Datenbank-Server."));
        return false;
    }
    const DatabaseBackend choice = parseDatabaseBackend(u"PostgreSQL"_s, args.Option(u"--to"_s));
    if (!choice.ok()) {
        ShowError(choice.error);
        return false;
    }
    server = choice.connection;
    return true;
}

QString relative(const QString &dir)
{
    return QDir(TSystemEinstellungen::instance().RootDir).relativeFilePath(dir);
}

// Copies one table with its definitions; the row counts of both sides must agree.
void copyTable(TTdbTable &from, TTdbTable &to)
{
    from.Open();
    to.FieldDefs() = from.FieldDefs();
    to.IndexDefs() = from.IndexDefs();
    to.CreateTable();
    to.Open();
    to.StartTransaction();
    try {
        for (from.First(); !from.Eof(); from.Next()) {
            to.Append();
            for (int i = 0; i < from.FieldCount(); ++i)
                to.Fields(i).SetAsVariant(from.Fields(i).AsVariant());
            to.Post();
        }
        to.Commit();
    } catch (...) {
        to.Rollback();
        throw;
    }
}

// The differences of one table, as lines; empty when both sides hold the same rows.
QStringList compareTable(TTdbTable &a, TTdbTable &b, const QString &name)
{
    QStringList problems;
    a.Open();
    b.Open();
    if (a.RecordCount() != b.RecordCount())
        return {
            formatText(tx("%s: %s Zeilen in den Dateien, %s auf dem Server"),
                       {name, QString::number(a.RecordCount()), QString::number(b.RecordCount())})};
    int row = 1;
    for (a.First(), b.First(); !a.Eof() && !b.Eof(); a.Next(), b.Next(), ++row) {
        for (int i = 0; i < a.FieldCount(); ++i) {
            const QString field = a.Fields(i).FieldName();
            TField *other = b.FindField(field);
            if (!other || other->AsVariant() != a.Fields(i).AsVariant()) {
                problems.append(formatText(tx("%s: Zeile %s, Feld %s weicht ab"),
                                           {name, QString::number(row), field}));
                break;
            }
        }
    }
    return problems;
}

} // namespace

int DbMigrate(LagerSession &, const LagerArgs &args)
{
    QString server;
    if (!serverFrom(args, server))
        return LagerExit::Invalid;
    try {
        QString out;
        for (const QString &dir : databaseDirectories()) {
            TTdbDatabase files;
            TTdbDatabase target;
            connect(files, dir, {});
            connect(target, dir, server);
            files.SetReadOnly(true);
            for (const QString &name : files.TableNames()) {
                TTdbTable from(&files);
                from.SetTableName(name);
                TTdbTable to(&target);
                to.SetTableName(name);
                if (to.Exists()) {
                    ShowError(formatText(tx("Die Tabelle %s liegt bereits auf dem Server."),
                                         {relative(dir) + u'/' + name}));
                    return LagerExit::Invalid;
                }
                copyTable(from, to);
                if (to.RecordCount() != from.RecordCount())
                    throw EngineError(u"Row counts differ after copying %1"_s.arg(name));
                out +=
                    relative(dir) + u'/' + name + u'\t' + QString::number(to.RecordCount()) + u'\n';
            }
        }
        WriteOut(out);
    } catch (const EngineError &e) {
        ShowError(e.message());
        return LagerExit::Failed;
    }
    if (args.flags.contains(u"--switch"_s)) {
        // Only after every table arrived: a half-moved client must keep reading its files.
        const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
        const QString sysData = sys.DataDir + sys.ClientName.toUpper() + u"/ETC/SYSDATA.INI"_s;
        TIniFileSecWriter w(sysData);
        w.writeString(u"Datenbank"_s, u"Backend"_s, u"PostgreSQL"_s);
        w.writeString(u"Datenbank"_s, u"Verbindung"_s, server);
        if (!w.save()) {
            ShowError(
                formatText(tx("Die Datei \"%s\" konnte nicht geschrieben werden."), {sysData}));
            return LagerExit::Failed;
        }
    }
    return LagerExit::Done;
}

int DbCheck(LagerSession &, const LagerArgs &args)
{
    QString server;
    if (!serverFrom(args, server))
        return LagerExit::Invalid;
    QStringList problems;
    try {
        for (const QString &dir : databaseDirectories()) {
            TTdbDatabase files;
            TTdbDatabase target;
            connect(files, dir, {});
            connect(target, dir, server);
            files.SetReadOnly(true);
            target.SetReadOnly(true);
            for (const QString &name : files.TableNames()) {
                const QString label = relative(dir) + u'/' + name;
                TTdbTable a(&files);
                a.SetTableName(name);
                TTdbTable b(&target);
                b.SetTableName(name);
                if (!b.Exists()) {
                    problems.append(formatText(tx("%s fehlt auf dem Server"), {label}));
                    continue;
                }
                problems += compareTable(a, b, label);
            }
        }
    } catch (const EngineError &e) {
        ShowError(e.message());
        return LagerExit::Failed;
    }
    if (!problems.isEmpty()) {
        ShowError(problems.join(u'\n'));
        return LagerExit::Failed;
    }
    return LagerExit::Done;
}
