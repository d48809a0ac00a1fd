#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"
#include "stock/lagercsv.h"
#include "stock/modlagerdbserverobj.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace
{

// Cells of a tab-separated line must not break it.
QString tsvCell(QStringView text)
{
    QString cell = text.toString();
    for (QChar &c : cell)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return cell;
}

} // namespace

int StockList(LagerSession &session, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (format != u"tsv" && format != u"json") {
        ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
        return LagerExit::Usage;
    }
    IModLagerDBServerObj &db = session.Db();
    TDBLagerSearchResultObjectList rows;
    // As the stock list searches: trimmed text, the group as chosen, the main layout's rows.
    db.Search(args.Option(u"--search"_s).trimmed(), args.Option(u"--group"_s), rows, false, false);
    const bool json = format == u"json";
    QJsonArray array;
    QString out;
    if (!json)
        out = u"Lagerartikel-Nr.\tBezeichnung\tArtikelgruppe\tLagerort\tRabattgruppe\tEK-Preis\t"
              u"VK-Preis 1\tVK-Preis 2\tVK-Preis 3\tVK-Preis 4\tVK-Preis 5\tBestand\tME\n"_s;
    TTdbTable &table = db.LagerTable();
    for (TDBLagerSearchResult *row : rows) {
        if (!db.LoadDetails(*row))
            continue; // deleted since the search
        TDBLagerSearchResult::Details &d = row->EditInfo();
        // LoadDetails leaves the article's row current; the stock is read as it is now
        d.Bestand = table.FieldByName(u"BuchungsBestand"_s).AsFloat();
        if (json) {
            QJsonObject o{{u"LagerArtikelNr"_s, row->ArtikelNr().toString()},
                          {u"Bezeichnung"_s, row->Bezeichnung().toString()},
                          {u"Gruppe"_s, row->Gruppe()},
                          {u"Lagerort"_s, d.Lagerort},
                          {u"Rabattgruppen"_s, d.Rabattgruppen},
                          {u"EKPreis"_s, d.EKPreis.toDouble()},
                          {u"IsNotBestandsartikel"_s, d.IsNotBestandsartikel},
                          {u"Bestand"_s, d.IsNotBestandsartikel ? QJsonValue() : d.Bestand},
                          {u"ME"_s, d.ME}};
            for (int i = 0; i < 5; ++i)
                o.insert(u"VKPreis%1"_s.arg(i + 1), d.VKPreis[size_t(i)].toDouble());
            array.append(o);
            continue;
        }
        QStringList cells{tsvCell(row->ArtikelNr()), tsvCell(row->Bezeichnung()),
                          tsvCell(row->Gruppe()),    tsvCell(d.Lagerort),
                          tsvCell(d.Rabattgruppen),  LagerCsv::MoneyCell(d.EKPreis.raw())};
        for (const Money &vk : d.VKPreis)
            cells.append(LagerCsv::MoneyCell(vk.raw()));
        // as the stock list: no figure for an article kept without stock
        cells.append(d.IsNotBestandsartikel ? QString() : LagerCsv::FloatCell(d.Bestand));
        cells.append(tsvCell(d.ME));
        out += cells.join(u'\t') + u'\n';
    }
    WriteOut(json ? QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)) : out);
    return LagerExit::Done;
}

int StockExport(LagerSession &session, const LagerArgs &args)
{
    QString error;
    const qsizetype count = LagerCsv::Export(session.Db(), args.positional[0], &error);
    if (count < 0) {
        ShowError(error);
        return LagerExit::Failed;
    }
    std::fprintf(
        stderr, "%s\n",
        qUtf8Printable(formatText(txn("%s Artikel exportiert.", "%s Artikel exportiert.", count),
                                  {QString::number(count)})));
    return LagerExit::Done;
}

int StockImport(LagerSession &session, const LagerArgs &args)
{
    QFile file(args.positional[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowFileError(file);
        return LagerExit::Failed;
    }
    TLagerCsvImport import;
    if (!import.Read(file.readAll())) {
        ShowError(import.Errors().join(u'\n'));
        return LagerExit::Invalid;
    }
    const bool dryRun = args.flags.contains(u"--dry-run"_s);
    const auto allowed = [&session](int created, int changed) {
        return (created == 0 ||
                session.RequireRight(u"41"_s, "Sie sind nicht berechtigt, Artikel anzulegen!")) &&
               (changed == 0 ||
                session.RequireRight(u"42"_s, "Sie sind nicht berechtigt, Artikel zu bearbeiten!"));
    };
    switch (import.Write(session.Db(), session.Owner(), allowed, dryRun)) {
    case TLagerCsvImport::Result::Done:
        break;
    case TLagerCsvImport::Result::Invalid:
        return LagerExit::Invalid;
    case TLagerCsvImport::Result::Refused:
        return LagerExit::Denied;
    case TLagerCsvImport::Result::Locked:
        return LagerExit::Locked; // the wait has shown the holder's text
    case TLagerCsvImport::Result::Failed:
        return LagerExit::Failed;
    }
    // "Artikel" reads the same for one and many; only the verbs of the dry run take a number.
    const QString created = QString::number(import.Created());
    const QString changed = QString::number(import.Changed());
    const QString unchanged = QString::number(import.Unchanged());
    const QString summary =
        dryRun ? formatText(txn("Probelauf: %s Artikel wuerde angelegt,",
                                "Probelauf: %s Artikel wuerden angelegt,", import.Created()),
                            {created}) +
                     u' ' +
                     formatText(txn("%s geaendert, %s bleibt unveraendert.",
                                    "%s geaendert, %s bleiben unveraendert.", import.Unchanged()),
                                {changed, unchanged})
               : formatText(tx("%s Artikel angelegt, %s geaendert, %s unveraendert."),
                            {created, changed, unchanged});
    std::fprintf(stderr, "%s\n", qUtf8Printable(summary));
    if (import.QuantitiesKept() > 0)
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(formatText(
                         txn("Bei %s Artikel blieb der Bestand unveraendert: Bestaende aendern "
                             "sich nur durch Buchungen und Inventur.",
                             "Bei %s Artikeln blieben die Bestaende unveraendert: Bestaende "
                             "aendern sich nur durch Buchungen und Inventur.",
                             import.QuantitiesKept()),
                         {QString::number(import.QuantitiesKept())})));
    return LagerExit::Done;
}
