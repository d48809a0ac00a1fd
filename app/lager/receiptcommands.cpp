#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "movements/receiptcommand.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{

int invalid(const QString &text)
{
    ShowError(text);
    return LagerExit::Invalid;
}

int notANumber(const QString &text)
{
    return invalid(formatText(tx("\"%s\" ist keine gueltige Zahl."), {text}));
}

// Quantities, prices and discounts in the installation's or the other decimal separator.
bool number(const QString &text, double &value)
{
    return ManualStockChange::ParseQuantity(text, value);
}

QString quantityText(double value)
{
    return QString::number(value, 'g', 15);
}

// A text cell of the list: tabs and line breaks would split the row.
QString cell(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

QString moneyText(Money value)
{
    return QString::number(value.toDouble(), 'f', 4);
}

} // namespace

int ReceiptBook(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"44"_s, "Sie sind nicht berechtigt, Artikel zu buchen!"))
        return LagerExit::Denied;
    const QString nr = args.positional[0].trimmed();
    ReceiptCommand::Receipt given;
    if (!number(args.positional[1], given.quantity))
        return notANumber(args.positional[1]);
    if (!args.options.contains(u"--price"_s))
        return invalid(tx("Ohne --price wird kein Warenzugang gebucht."));
    double price = 0;
    if (!number(args.Option(u"--price"_s), price) || !MoneyFromDouble(price, given.price))
        return notANumber(args.Option(u"--price"_s));
    if (args.options.contains(u"--discount"_s) &&
        (!number(args.Option(u"--discount"_s), given.discount) || given.discount < 0 ||
         given.discount > 100))
        return invalid(formatText(tx("\"%s\" ist kein Rabatt zwischen 0 und 100."),
                                  {args.Option(u"--discount"_s)}));
    QStringList serials;
    if (const QString list = args.Option(u"--serials"_s); !list.trimmed().isEmpty())
        serials = list.split(u',');
    const auto basis = args.flags.contains(u"--per-kg"_s) ? GoodsReceipt::Basis::PerKg
                                                          : GoodsReceipt::Basis::PerUnit;
    const bool checkDuplicates = !args.flags.contains(u"--no-duplicate-check"_s);

    IModLagerDBServerObj &db = session.Db();
    if (nr.isEmpty() || db.ArticleExists(nr) != 1) {
        ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {nr}));
        return LagerExit::NotFound;
    }
    const QString stockDir = TSystemEinstellungen::instance().LagerDir;
    QString refusal;
    ReceiptCommand *self = nullptr;
    ReceiptCommand::Hooks hooks;
    hooks.selectedArticleNr = [&nr] { return nr; };
    hooks.updateArticle = [](const TLagerServerObj &) {};
    hooks.receive = [&](TLagerServerObj &article,
                        const std::vector<const TLagerArtikelDaten *> &grouped,
                        ReceiptCommand::Receipt &io) {
        const QString supplier = io.supplier;
        io = given;
        io.supplier = supplier;
        refusal = self->ReceiveWithoutWindow(article, grouped, io, basis, serials, checkDuplicates);
        return refusal.isEmpty();
    };
    ReceiptCommand command(db, stockDir, session.Owner(),
                           GoodsReceipt(GoodsReceipt::Settings::FromSuite(stockDir)), hooks);
    self = &command;
    QString supplier = args.Option(u"--supplier"_s).trimmed();
    switch (command.Run(supplier)) {
    case ReceiptCommand::Outcome::Booked:
        return LagerExit::Done;
    case ReceiptCommand::Outcome::Cancelled:
        return invalid(refusal);
    case ReceiptCommand::Outcome::Locked:
        return LagerExit::Locked;
    case ReceiptCommand::Outcome::NotFound:
    case ReceiptCommand::Outcome::Nothing:
        return LagerExit::NotFound;
    case ReceiptCommand::Outcome::Failed:
        break;
    }
    return LagerExit::Failed;
}

int HistoryList(LagerSession &session, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (format != u"tsv" && format != u"json") {
        ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
        return LagerExit::Usage;
    }
    const QString nr = args.positional[0].trimmed();
    IModLagerDBServerObj &db = session.Db();
    TLagerBuchungList rows;
    if (db.ReadBookings(nr, rows) != 0)
        return LagerExit::Failed;
    // A deleted article keeps its history; only a number nobody ever booked is unknown.
    if (rows.isEmpty() && (nr.isEmpty() || db.ArticleExists(nr) != 1)) {
        ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {nr}));
        return LagerExit::NotFound;
    }
    // Times in ISO form and numbers with a point: scripts read them whatever the
    // installation's formats.
    const auto when = [](double z) { return DateTime::toQDateTime(z).toString(Qt::ISODateWithMs); };
    if (format == u"json") {
        QJsonArray array;
        for (auto it = rows.crbegin(); it != rows.crend(); ++it)
            array.append(QJsonObject{{u"time"_s, when(it->Zeit)},
                                     {u"user"_s, it->Benutzer},
                                     {u"kind"_s, TLagerBuchung::KindKey(it->Art)},
                                     {u"change"_s, it->Menge},
                                     {u"before"_s, it->BestandVorher},
                                     {u"after"_s, it->BestandNachher},
                                     {u"price"_s, it->Preis.toDouble()},
                                     {u"order"_s, it->BestellNr},
                                     {u"position"_s, it->BestellPos},
                                     {u"serials"_s, it->Seriennummern}});
        WriteOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return LagerExit::Done;
    }
    QString out = u"Zeit\tBenutzer\tArt\tMenge\tVorher\tNachher\tPreis\tBestellung\tPosition\t"
                  "Seriennummern\n"_s;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        out += QStringList{when(it->Zeit),
                           cell(it->Benutzer),
                           TLagerBuchung::KindKey(it->Art),
                           quantityText(it->Menge),
                           quantityText(it->BestandVorher),
                           quantityText(it->BestandNachher),
                           moneyText(it->Preis),
                           cell(it->BestellNr),
                           it->BestellPos ? QString::number(it->BestellPos) : QString(),
                           cell(it->Seriennummern)}
                   .join(u'\t') +
               u'\n';
    WriteOut(out);
    return LagerExit::Done;
}
