#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "movements/serialnumbers.h"
#include "movements/serialselection.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{

// One line from standard input; on a terminal after a prompt and without echo. A password
// on the command line would be readable by every user of the machine.
QString readAdminPassword()
{
    const bool terminal = isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        std::fputs(qUtf8Printable(tx("Passwort des Systemverwalters: ")), stderr);
        std::fflush(stderr);
        tcgetattr(STDIN_FILENO, &saved);
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    QByteArray line;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
        line += buffer;
        if (line.endsWith('\n'))
            break;
    }
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputs("\n", stderr);
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

int notFound(const QString &nr)
{
    ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {nr}));
    return LagerExit::NotFound;
}

int invalid(const QString &text)
{
    ShowError(text);
    return LagerExit::Invalid;
}

QStringList serialOption(const LagerArgs &args, const QString &name)
{
    const QString value = args.Option(name);
    if (value.isEmpty())
        return {};
    QStringList list = value.split(u',');
    for (QString &sn : list)
        sn = sn.trimmed();
    return list;
}

int wrongCount(qint64 wanted, qsizetype given)
{
    return invalid(formatText(tx("Die Aenderung verlangt %s Seriennummern, angegeben sind %s."),
                              {QString::number(wanted), QString::number(given)}));
}

// The numbers to remove, each of the article and each once, read in full.
int removalList(IModLagerDBServerObj &db, const QString &nr, const QStringList &numbers,
                const QStringList &inStock, TSeriennummerObjectList &removed)
{
    for (const QString &sn : numbers) {
        if (!inStock.contains(sn))
            return invalid(formatText(tx("Die Seriennummer \"%s\" gehoert nicht zum Artikel "
                                         "\"%s\"."),
                                      {sn, nr}));
        if (const qsizetype n = numbers.count(sn); n > 1)
            return invalid(formatText(tx("Die Seriennummer \"%s\" ist %d mal vorhanden."),
                                      {sn, QString::number(n)}));
        TSeriennummer &entry = removed.Add();
        entry.SN = sn;
        entry.LagerArtikelNr = nr;
    }
    if (db.ReadSerials(removed) != 0) {
        ShowError(tx("Fehler beim Auslesen der Seriennummern."));
        return LagerExit::Failed;
    }
    return LagerExit::Done;
}

} // namespace

int StockSet(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"42"_s, "Sie sind nicht berechtigt, Artikel zu bearbeiten!"))
        return LagerExit::Denied;
    const QString nr = args.positional[0];
    double newStock = 0;
    if (!ManualStockChange::ParseQuantity(args.positional[1], newStock))
        return invalid(formatText(tx("\"%s\" ist keine gueltige Menge."), {args.positional[1]}));
    const bool adding = args.options.contains(u"--add-serials"_s);
    const bool removing = args.options.contains(u"--remove-serials"_s);
    const QStringList toAdd = serialOption(args, u"--add-serials"_s);
    const QStringList toRemove = serialOption(args, u"--remove-serials"_s);
    if (!TSystemEinstellungen::instance().CheckAdminPassword(readAdminPassword())) {
        ShowError(tx("Falsches Passwort."));
        return LagerExit::Denied;
    }

    IModLagerDBServerObj &db = session.Db();
    if (nr.isEmpty() || db.ArticleExists(nr) != 1)
        return notFound(nr);
    auto lock = db.LockRecord(session.Owner(), nr);
    if (!lock)
        return LagerExit::Locked; // the wait has shown the holder's text
    struct Release {
        std::unique_ptr<TDateischutzWF> &lock;
        ~Release() { TDatabaseStoreBase::Unlock(lock); }
    } release{lock};
    db.Refresh();
    TLagerServerObj article;
    article.LagerArtikelNr = nr;
    if (db.ReadArticle(&article) != 0)
        return notFound(nr);
    if (newStock == article.BuchungsBestand && !adding && !removing) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(tx("Der Bestand ist unveraendert.")));
        return LagerExit::Done;
    }

    const QDateTime now = QDateTime::currentDateTime();
    ManualStockChange booking(db, TSystemEinstellungen::instance().LagerDir,
                              TBenutzerEinstellungen::instance().UserName);
    if (!article.SNPflicht) {
        if (adding || removing)
            return invalid(formatText(tx("Der Artikel \"%s\" fuehrt keine Seriennummern."), {nr}));
        return booking.Book(article, newStock, nullptr, nullptr, now) ? LagerExit::Done
                                                                      : LagerExit::Failed;
    }
    if (!ManualStockChange::IsWhole(newStock))
        return invalid(tx("Fuer Lagerartikel mit Seriennummern duerfen nur ganzzahlige "
                          "Zugangsmengen angegeben werden."));
    const qint64 d = ManualStockChange::SerialDifference(article.BuchungsBestand, newStock);
    QStringList inStock;
    db.SerialsOfArticle(nr, inStock);
    db.SerialTable().SetFiltered(false);
    if (d > 0) {
        if (removing || toAdd.size() != d)
            return wrongCount(d, removing ? toRemove.size() : toAdd.size());
        TSeriennummerObjectList added;
        added.SetCount(d, nr);
        for (qsizetype i = 0; i < d; ++i) {
            added.Item(i).SN = toAdd[i];
            added.Item(i).ZUGANG = DateTime::fromQDateTime(now);
        }
        const QString refusal =
            SerialEntryRefusal(added, inStock, !args.flags.contains(u"--no-duplicate-check"_s));
        if (!refusal.isEmpty())
            return invalid(refusal);
        return booking.Book(article, newStock, &added, nullptr, now) ? LagerExit::Done
                                                                     : LagerExit::Failed;
    }
    if (adding || toRemove.size() != -d)
        return wrongCount(-d, adding ? toAdd.size() : toRemove.size());
    TSeriennummerObjectList removed;
    if (const int code = removalList(db, nr, toRemove, inStock, removed); code != 0)
        return code;
    return booking.Book(article, newStock, nullptr, &removed, now) ? LagerExit::Done
                                                                   : LagerExit::Failed;
}

int SerialsList(LagerSession &session, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (format != u"tsv" && format != u"json") {
        ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
        return LagerExit::Usage;
    }
    const QString nr = args.positional[0];
    IModLagerDBServerObj &db = session.Db();
    if (nr.isEmpty() || db.ArticleExists(nr) != 1)
        return notFound(nr);
    TSeriennummerObjectList rows;
    SerialSelection::ReadArticleSerials(db, nr, rows);
    // Receipt times in ISO form: scripts read them whatever the installation's formats.
    const auto received = [](double z) {
        return z == 0 ? QString() : DateTime::toQDateTime(z).toString(Qt::ISODate);
    };
    if (format == u"json") {
        QJsonArray array;
        for (const TSeriennummer &s : rows)
            array.append(QJsonObject{{u"SN"_s, s.SN},
                                     {u"INFO"_s, s.INFO},
                                     {u"LIEFERANT"_s, s.LIEFERANT},
                                     {u"ZUGANG"_s, received(s.ZUGANG)}});
        WriteOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return LagerExit::Done;
    }
    const auto cell = [](QString text) {
        for (QChar &c : text)
            if (c == u'\t' || c == u'\n' || c == u'\r')
                c = u' ';
        return text;
    };
    QString out = u"Seriennummer\tInfo\tLieferant\tZugang\n"_s;
    for (const TSeriennummer &s : rows)
        out += cell(s.SN) + u'\t' + cell(s.INFO) + u'\t' + cell(s.LIEFERANT) + u'\t' +
               received(s.ZUGANG) + u'\n';
    WriteOut(out);
    return LagerExit::Done;
}
