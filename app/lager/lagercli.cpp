#include "app/lager/consoleinteraction.h"
#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/dateischutz.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/benutzereinstellungen.h"
#include "suite/environment.h"
#include "suite/systemeinstellungen.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QtEndian>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{

const LagerCommand kCommands[] = {
    {{u"article"_s, u"get"_s},
     u"NR [--format json|xml|xml-utf8]"_s,
     txNoop("Zeigt einen Artikel als JSON oder seinen gespeicherten XML-Text (UTF-16, mit "
            "xml-utf8 in UTF-8)."),
     1,
     {u"--format"_s},
     {},
     &ArticleGet},
    {{u"article"_s, u"put"_s},
     u"DATEI|-"_s,
     txNoop("Legt einen Artikel aus seiner JSON-Form an oder ersetzt ihn."),
     1,
     {},
     {},
     &ArticlePut},
    {{u"article"_s, u"delete"_s},
     u"NR"_s,
     txNoop("Loescht einen Artikel."),
     1,
     {},
     {},
     &ArticleDelete},
    {{u"list"_s},
     u"[--search TEXT] [--group GRUPPE] [--format tsv|json]"_s,
     txNoop("Listet die Artikel wie die Lagerliste, mit Bestand."),
     0,
     {u"--search"_s, u"--group"_s, u"--format"_s},
     {},
     &StockList},
    {{u"export"_s},
     u"DATEI.csv"_s,
     txNoop("Schreibt alle Artikel in eine CSV-Datei."),
     1,
     {},
     {},
     &StockExport},
    {{u"import"_s},
     u"DATEI.csv [--dry-run]"_s,
     txNoop("Liest Artikel aus einer CSV-Datei, alle oder keinen."),
     1,
     {},
     {u"--dry-run"_s},
     &StockImport},
    {{u"stock"_s, u"set"_s},
     u"NR MENGE [--add-serials A,B,...|--remove-serials A,B,...] [--no-duplicate-check]"_s,
     txNoop("Setzt den Bestand von Hand; das Passwort des Systemverwalters kommt von der "
            "Standardeingabe."),
     2,
     {u"--add-serials"_s, u"--remove-serials"_s},
     {u"--no-duplicate-check"_s},
     &StockSet},
    {{u"serials"_s, u"list"_s},
     u"NR [--format tsv|json]"_s,
     txNoop("Listet die Seriennummern eines Artikels."),
     1,
     {u"--format"_s},
     {},
     &SerialsList},
    {{u"groupings"_s, u"list"_s},
     u"[--format tsv|json]"_s,
     txNoop("Listet die Artikelgruppierungen mit ihren Artikeln."),
     0,
     {u"--format"_s},
     {},
     &GroupingsList},
    {{u"groupings"_s, u"add"_s},
     u"NR NR ..."_s,
     txNoop("Gruppiert Artikel, die als dieselbe Ware eingekauft werden."),
     LagerCommand::kAnyCount,
     {},
     {},
     &GroupingsAdd},
    {{u"groupings"_s, u"delete"_s},
     u"N"_s,
     txNoop("Loescht eine Artikelgruppierung; die folgenden ruecken auf."),
     1,
     {},
     {},
     &GroupingsDelete},
    {{u"receipt"_s},
     u"NR MENGE --price P [--discount D] [--per-kg] [--supplier TEXT] [--serials A,B,...] "
     "[--no-duplicate-check]"_s,
     txNoop("Bucht einen Warenzugang fuer einen Lagerartikel (Preis je Mengeneinheit oder je "
            "kg, Rabatt in Prozent)."),
     2,
     {u"--price"_s, u"--discount"_s, u"--supplier"_s, u"--serials"_s},
     {u"--per-kg"_s, u"--no-duplicate-check"_s},
     &ReceiptBook},
    {{u"history"_s},
     u"NR [--format tsv|json]"_s,
     txNoop("Listet die Buchungen eines Artikels, die neueste zuerst."),
     1,
     {u"--format"_s},
     {},
     &HistoryList},
    {{u"db"_s, u"migrate"_s},
     u"--to VERBINDUNG [--switch]"_s,
     txNoop("Kopiert die Tabellen des Mandanten Tabelle fuer Tabelle auf einen Datenbank-Server "
            "und prueft die Zeilenzahlen; mit --switch arbeitet der Mandant danach auf dem "
            "Server."),
     0,
     {u"--to"_s},
     {u"--switch"_s},
     &DbMigrate},
    {{u"db"_s, u"check"_s},
     u"--to VERBINDUNG"_s,
     txNoop("Vergleicht die Tabellen des Mandanten mit denen auf dem Datenbank-Server."),
     0,
     {u"--to"_s},
     {},
     &DbCheck},
    {{u"order"_s, u"list"_s},
     u"[--state N] [--format tsv|json]"_s,
     txNoop("Listet die Bestellungen, auf Wunsch nur die eines Stadiums."),
     0,
     {u"--state"_s, u"--format"_s},
     {},
     &OrderList},
    {{u"order"_s, u"show"_s},
     u"NR [--format tsv|json]"_s,
     txNoop("Zeigt eine Bestellung mit ihren Zeilen."),
     1,
     {u"--format"_s},
     {},
     &OrderShow},
    {{u"order"_s, u"receive"_s},
     u"NR (--all | --line POS=MENGE[:reset] ...) [--serials POS=A,B,... ...]"_s,
     txNoop("Bucht einen Warenzugang auf Grundlage einer Bestellung wie die Tabelle des "
            "Fensters; freie Artikel werden nur gezaehlt."),
     1,
     {u"--line"_s, u"--serials"_s},
     {u"--all"_s},
     &OrderReceive},
    {{u"set"_s},
     u"Lagerort|Gruppe|Rabattgruppe WERT|--clear NR ...|--search TEXT|--in-group GRUPPE"_s,
     txNoop("Setzt Lagerort, Artikelgruppe oder Rabattgruppe (Schluessel) vieler Artikel auf "
            "einen Eintrag der Liste oder leert sie."),
     LagerCommand::kAnyCount,
     {u"--search"_s, u"--in-group"_s},
     {u"--clear"_s},
     &SetColumn},
    {{u"catalog"_s, u"list"_s},
     QString(),
     txNoop("Listet die Lieferantenkataloge."),
     0,
     {},
     {},
     &CatalogList},
    {{u"catalog"_s, u"search"_s},
     u"NAME WOERTER... [--format tsv|json]"_s,
     txNoop("Sucht Artikel eines Katalogs ueber seinen Suchtext."),
     LagerCommand::kAnyCount,
     {u"--format"_s},
     {},
     &CatalogSearch},
    {{u"catalog"_s, u"show"_s},
     u"NAME NR [--format json|xml]"_s,
     txNoop("Zeigt einen Katalogartikel."),
     2,
     {u"--format"_s},
     {},
     &CatalogShow},
    {{u"catalog"_s, u"take"_s},
     u"NAME NR [--number NEU]"_s,
     txNoop("Uebernimmt einen Katalogartikel als neuen Lagerartikel."),
     2,
     {u"--number"_s},
     {},
     &CatalogTake},
    {{u"catalog"_s, u"take-all"_s},
     u"NAME"_s,
     txNoop("Uebernimmt alle Artikel eines Katalogs; Lagerartikel gleicher Nummer werden ueberschrieben."),
     1,
     {},
     {},
     &CatalogTakeAll},
    {{u"catalog"_s, u"import-datanorm"_s},
     u"VERZEICHNIS --name NAME [--supplier ADRESSE]"_s,
     txNoop("Legt aus den DATANORM-Dateien eines Verzeichnisses einen Katalog an oder aendert ihn."),
     1,
     {u"--name"_s, u"--supplier"_s},
     {},
     &CatalogImportDatanorm},
    {{u"labels"_s},
     u"--sheet NAME [--skip N|--inactive 1,2,...] [--copies N] NR ... --pdf DATEI.pdf"_s,
     txNoop("Druckt Etiketten der Artikel in eine PDF-Datei, jede Nennung ein Etikett."),
     LagerCommand::kAnyCount,
     {u"--sheet"_s, u"--skip"_s, u"--inactive"_s, u"--copies"_s, u"--pdf"_s},
     {},
     &Labels},
    {{u"print"_s, u"stocklist"_s},
     u"[--group G] [--place P] [--only-stock] [--form NAME] [--layout NAME] [--first-page N] "
     u"[--date JJJJ-MM-TT] (--pdf DATEI.pdf | --document DATEI.xml)"_s,
     txNoop("Druckt die Lagerliste mit Lagerwert als PDF-Datei oder Druckdokument."),
     0,
     {u"--group"_s, u"--place"_s, u"--form"_s, u"--layout"_s, u"--first-page"_s, u"--date"_s,
      u"--pdf"_s, u"--document"_s},
     {u"--only-stock"_s},
     &PrintStockList},
};

// Asked-for help goes to standard output; after a usage error it goes with the error.
void printUsage(FILE *stream)
{
    QString text = tx("Aufruf: lager [--root VERZEICHNIS] [--wait SEKUNDEN] MANDANT BENUTZER "
                      "BEFEHL ...") +
                   u'\n';
    for (const LagerCommand &c : kCommands)
        text +=
            u"  "_s + c.words.join(u' ') + u' ' + c.synopsis + u"\n      "_s + tx(c.help) + u'\n';
    std::fputs(text.toUtf8().constData(), stream);
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    printUsage(stderr);
    return LagerExit::Usage;
}

const LagerCommand *findCommand(const QStringList &words, qsizetype &used)
{
    for (const LagerCommand &c : kCommands) {
        if (words.size() >= c.words.size() && words.mid(0, c.words.size()) == c.words) {
            used = c.words.size();
            return &c;
        }
    }
    return nullptr;
}

} // namespace

LagerSession::LagerSession() = default;
LagerSession::~LagerSession() = default;

IModLagerDBServerObj &LagerSession::Db()
{
    if (!m_db) {
        auto db = std::make_unique<IModLagerDBServerObj>(&TLogHelper::DatabaseError);
        db->Open(TSystemEinstellungen::instance().LagerDir);
        m_db = std::move(db);
    }
    return *m_db;
}

QString LagerSession::Owner() const
{
    return TBenutzerEinstellungen::instance().FullName;
}

bool LagerSession::RequireRight(const QString &right, const char *refusal) const
{
    if (TBenutzerEinstellungen::instance().HasRight(right))
        return true;
    ShowMessageBox(tx(refusal), MsgDlgType::Information, MsgButton::OK);
    return false;
}

void WriteOut(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void WriteBytes(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QByteArray StoredXmlBytes(const QString &stored, bool utf8)
{
    QString text = stored;
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    if (!utf8) {
        text.prepend(QChar::ByteOrderMark);
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
        return bytes;
    }
    // Only the declaration's own encoding changes; the same words in the article stay.
    const qsizetype end = text.startsWith(u"<?xml") ? text.indexOf(u"?>") : -1;
    if (end < 0)
        return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"_s + text).toUtf8();
    QString declaration = text.left(end);
    declaration.replace(u"UTF-16"_s, u"UTF-8"_s, Qt::CaseInsensitive);
    return (declaration + text.mid(end)).toUtf8();
}

void ShowError(const QString &text)
{
    ShowMessageBox(text, MsgDlgType::Error, MsgButton::OK);
}

void ShowErrors(const QStringList &errors)
{
    constexpr qsizetype kShown = 100;
    QStringList shown = errors.mid(0, kShown);
    if (errors.size() > kShown)
        shown.append(formatText(tx("... und %s weitere Fehler."),
                                {QString::number(errors.size() - kShown)}));
    ShowError(shown.join(u'\n'));
}

void ShowFileError(const QFileDevice &file)
{
    const QString name = file.fileName().isEmpty() ? u"-"_s : file.fileName();
    if (file.error() == QFileDevice::OpenError && !QFileInfo::exists(name) && name != u"-")
        ShowError(formatText(tx("Datei \"%s\" nicht gefunden."), {name}));
    else
        ShowError(formatText(tx("Datei \"%s\" kann nicht gelesen werden: %s"),
                             {name, file.errorString()}));
}

int RunLager(const QString &programDir, const QStringList &arguments)
{
    // Global options may stand anywhere; everything else is positional for now.
    QString root;
    double waitSeconds = 0;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"--help" || a == u"-h") {
            printUsage(stdout);
            return LagerExit::Done;
        }
        if (a == u"--root" || a == u"--wait") {
            if (i + 1 >= arguments.size())
                return usageError(formatText(tx("Zu \"%s\" fehlt der Wert."), {a}));
            const QString value = arguments[++i];
            if (a == u"--root") {
                root = value;
                continue;
            }
            bool ok = false;
            waitSeconds = value.toDouble(&ok);
            if (!ok || waitSeconds < 0)
                return usageError(formatText(tx("\"%s\" ist keine Anzahl Sekunden."), {value}));
            continue;
        }
        rest.append(a);
    }
    if (rest.size() < 3)
        return usageError(tx("Mandant, Benutzer und Befehl fehlen."));
    qsizetype used = 0;
    const LagerCommand *command = findCommand(rest.mid(2), used);
    if (!command)
        return usageError(formatText(tx("Unbekannter Befehl \"%s\"."), {rest.mid(2).join(u' ')}));

    LagerArgs args;
    for (qsizetype i = 2 + used; i < rest.size(); ++i) {
        const QString &a = rest[i];
        if (command->options.contains(a)) {
            if (i + 1 >= rest.size())
                return usageError(formatText(tx("Zu \"%s\" fehlt der Wert."), {a}));
            // A repeated option gathers its values, one a line (order receive's --line).
            const QString value = rest[++i];
            args.options.insert(a, args.options.contains(a) ? args.options.value(a) + u'\n' + value
                                                           : value);
        } else if (command->flags.contains(a)) {
            args.flags.insert(a);
        } else if (a.startsWith(u"--")) {
            return usageError(formatText(tx("Unbekannte Option \"%s\"."), {a}));
        } else {
            args.positional.append(a);
        }
    }
    if (command->positionals != LagerCommand::kAnyCount &&
        args.positional.size() != command->positionals)
        return usageError(
            formatText(tx("Falsche Anzahl Argumente fuer \"%s\"."), {command->words.join(u' ')}));

    QString dir = programDir;
    if (!root.isEmpty()) {
        if (!QFileInfo(root).isDir())
            return usageError(formatText(tx("Verzeichnis \"%s\" nicht gefunden."), {root}));
        // The root rule works on the program directory; a root given by hand is its parent.
        dir = QDir(root).absoluteFilePath(u"BIN"_s);
    }
    // The log-on refuses empty names without a word; a script needs to know which one it was.
    if (rest[0].trimmed().isEmpty() || rest[1].trimmed().isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(rest[0].trimmed().isEmpty() ? tx("Der Mandant fehlt.")
                                                                : tx("Der Benutzer fehlt.")));
        return LagerExit::Denied;
    }
    LagerConsoleInteraction console(waitSeconds);
    ScopedInteraction scope(&console);
    // Every command re-reads what it changes under the lock, inside its transaction: the
    // window's pause after a wait would only slow contended bookings down.
    TDateischutz::SetSettleMilliseconds(0);
    if (!InitEnvironment(dir))
        return LagerExit::Denied;
    if (!TSystemEinstellungen::Login(rest[0], rest[1]))
        return LagerExit::Denied;

    LagerSession session;
    session.WaitSeconds = waitSeconds;
    try {
        return command->run(session, args);
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, tx("Datenbankfehler."), nullptr, &e);
        return LagerExit::Failed;
    }
}
