#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/inputchecks.h"
#include "stock/lagerartikeljson.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <QFile>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace
{

int notFound(const QString &nr)
{
    ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {InputChecks::Echo(nr)}));
    return LagerExit::NotFound;
}

bool readInput(const QString &name, QByteArray &data)
{
    QFile file;
    const bool open = name == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                   : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!open) {
        ShowFileError(file);
        return false;
    }
    data = file.readAll();
    return true;
}

} // namespace

int ArticleGet(LagerSession &session, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"json"_s);
    if (format != u"json" && format != u"xml" && format != u"xml-utf8") {
        ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
        return LagerExit::Usage;
    }
    const QString nr = InputChecks::ArticleNumber(args.positional[0]);
    IModLagerDBServerObj &db = session.Db();
    if (format != u"json") {
        if (nr.isEmpty() || db.GotoArticle(nr) != 0)
            return notFound(nr);
        WriteBytes(StoredXmlBytes(db.LagerTable().FieldByName(u"XMLDATA"_s).AsString(),
                                  format == u"xml-utf8"));
        return LagerExit::Done;
    }
    TLagerServerObj article;
    article.LagerArtikelNr = nr;
    if (db.ReadArticle(&article) != 0)
        return notFound(nr);
    WriteOut(QString::fromUtf8(
        QJsonDocument(LagerArtikelJson::ToJson(article)).toJson(QJsonDocument::Indented)));
    return LagerExit::Done;
}

int ArticlePut(LagerSession &session, const LagerArgs &args)
{
    QByteArray data;
    if (!readInput(args.positional[0], data))
        return LagerExit::Failed;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (!doc.isObject()) {
        ShowError(formatText(tx("Kein Artikel im JSON-Format: %s"),
                             {doc.isNull() ? parseError.errorString() : QString()}));
        return LagerExit::Invalid;
    }
    TLagerServerObj article;
    TLagerArtikelDaten values;
    QStringList errors;
    const bool valid = LagerArtikelJson::FromJson(doc.object(), values, errors);
    values.LagerArtikelNr = InputChecks::ArticleNumber(values.LagerArtikelNr);
    const QString nrProblem = InputChecks::ArticleNumberProblem(values.LagerArtikelNr);
    if (!nrProblem.isEmpty())
        errors.prepend(nrProblem);
    if (!valid || !nrProblem.isEmpty()) {
        ShowErrors(errors);
        return LagerExit::Invalid;
    }
    article.Assign(values);
    const QString nr = article.LagerArtikelNr;

    IModLagerDBServerObj &db = session.Db();
    const bool exists = db.ArticleExists(nr) == 1;
    if (exists ? !session.RequireRight(u"42"_s, "Sie sind nicht berechtigt, Artikel zu bearbeiten!")
               : !session.RequireRight(u"41"_s, "Sie sind nicht berechtigt, Artikel anzulegen!"))
        return LagerExit::Denied;
    auto lock = db.LockRecord(session.Owner(), nr);
    if (!lock)
        return LagerExit::Locked;
    // Created stays the article's own; the document's stamps are what it was read with.
    TLagerServerObj stored;
    stored.LagerArtikelNr = nr;
    const double now = DateTime::now();
    const bool existing = db.ReadArticle(&stored) == 0;
    if (existing) {
        article.Created = stored.Created;
        article.CreatedBy = stored.CreatedBy;
        // Stock moves only through bookings, which the history records; a document read
        // before the last receipt must not undo it.
        article.BuchungsBestand = stored.BuchungsBestand;
        article.SummeWareneingangMe = stored.SummeWareneingangMe;
    } else {
        article.Created = now;
        article.CreatedBy = session.Owner();
    }
    article.Changed = now;
    article.ChangedBy = session.Owner();
    const int written =
        existing ? db.WriteArticle(&article)
                 : db.BookArticle(article, TLagerBuchung::Change(
                                               TLagerBuchung::Opening, nr, 0,
                                               article.BuchungsBestand, now,
                                               TLagerBuchung::CurrentUser()));
    TDatabaseStoreBase::Unlock(lock);
    return written == 0 ? LagerExit::Done : LagerExit::Failed;
}

int ArticleDelete(LagerSession &session, const LagerArgs &args)
{
    const QString nr = InputChecks::ArticleNumber(args.positional[0]);
    if (!session.RequireRight(u"43"_s, "Sie sind nicht berechtigt, Artikel zu loeschen!"))
        return LagerExit::Denied;
    IModLagerDBServerObj &db = session.Db();
    if (nr.isEmpty() || db.ArticleExists(nr) != 1)
        return notFound(nr);
    auto lock = db.LockRecord(session.Owner(), nr);
    if (!lock)
        return LagerExit::Locked;
    const int deleted = db.DeleteArticle(nr);
    TDatabaseStoreBase::Unlock(lock);
    return deleted == 0 ? LagerExit::Done : LagerExit::Failed;
}
