#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "movements/tablereceiptcommand.h"
#include "ordering/bestellserverobj.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/modbestelldbserverobj.h"
#include "ordering/orderingconfigloader.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "suite/systemeinstellungen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{

bool knownFormat(const QString &format)
{
    if (format == u"tsv" || format == u"json")
        return true;
    ShowError(formatText(tx("Unbekanntes Format \"%s\"."), {format}));
    return false;
}

QString cell(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

QJsonObject lineJson(const TBestellartikel &line)
{
    return {{u"position"_s, line.PosNr},      {u"kind"_s, line.Typ},
            {u"article"_s, line.ArtikelNr},   {u"supplierNr"_s, line.BestellNr},
            {u"text"_s, line.Anzeigetext},    {u"ordered"_s, line.Menge},
            {u"delivered"_s, line.Geliefert}, {u"unit"_s, line.Mengeneinheit}};
}

bool openOrders(IModBestellDBServerObj &orders)
{
    return orders.Open(TSystemEinstellungen::instance().BestellwesenDir);
}

// "1" and "01" name the same position.
bool samePosition(const QString &a, const QString &b)
{
    bool okA = false, okB = false;
    const int na = a.trimmed().toInt(&okA), nb = b.trimmed().toInt(&okB);
    return okA && okB && na == nb;
}

} // namespace

int OrderList(LagerSession &, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (!knownFormat(format))
        return LagerExit::Usage;
    int state = -1;
    if (args.options.contains(u"--state"_s)) {
        bool ok = false;
        state = args.Option(u"--state"_s).toInt(&ok);
        if (!ok || !OrderStateMsgid(state) || !*OrderStateMsgid(state)) {
            ShowError(
                formatText(tx("\"%s\" ist kein Bestellstadium."), {args.Option(u"--state"_s)}));
            return LagerExit::Invalid;
        }
    }
    IModBestellDBServerObj orders;
    if (!openOrders(orders))
        return LagerExit::Failed;
    // Numbers first: reading an order moves the table's current row.
    QStringList numbers;
    TTdbTable &table = *orders.Table();
    for (table.First(); !table.Eof(); table.Next())
        numbers.append(table.FieldByName(u"BestellNr"_s).AsString());
    QJsonArray array;
    QString out;
    for (const QString &nr : numbers) {
        TBestellServerObj order;
        order.BestellNr = nr;
        if (orders.ReadOrder(&order, false) != 0 || (state >= 0 && order.Stadium != state))
            continue;
        if (format == u"json")
            array.append(QJsonObject{{u"number"_s, order.BestellNr},
                                     {u"state"_s, int(order.Stadium)},
                                     {u"text"_s, order.Anzeigetext},
                                     {u"supplier"_s, order.BestellAdr.Text1}});
        else
            out += order.BestellNr + u'\t' + QString::number(order.Stadium) + u'\t' +
                   cell(order.Anzeigetext) + u'\t' + cell(order.BestellAdr.Text1) + u'\n';
    }
    WriteOut(format == u"json" ? QString::fromUtf8(QJsonDocument(array).toJson()) : out);
    return LagerExit::Done;
}

int OrderShow(LagerSession &, const LagerArgs &args)
{
    const QString format = args.Option(u"--format"_s, u"tsv"_s);
    if (!knownFormat(format))
        return LagerExit::Usage;
    IModBestellDBServerObj orders;
    if (!openOrders(orders))
        return LagerExit::Failed;
    TBestellServerObj order;
    order.BestellNr = args.positional[0].trimmed();
    switch (orders.ReadOrder(&order, true)) {
    case 0:
        break;
    case -2:
        ShowError(formatText(tx("Bestellung \"%s\" nicht gefunden."), {order.BestellNr}));
        return LagerExit::NotFound;
    default:
        return LagerExit::Failed;
    }
    order.Artikel.NumberPositions();
    if (format == u"json") {
        QJsonArray lines;
        for (const TBestellartikel &line : order.Artikel)
            lines.append(lineJson(line));
        WriteOut(
            QString::fromUtf8(QJsonDocument(QJsonObject{{u"number"_s, order.BestellNr},
                                                        {u"state"_s, int(order.Stadium)},
                                                        {u"text"_s, order.Anzeigetext},
                                                        {u"supplier"_s, order.BestellAdr.Text1},
                                                        {u"lines"_s, lines}})
                                  .toJson()));
        return LagerExit::Done;
    }
    QString out;
    for (const TBestellartikel &line : order.Artikel)
        out += line.PosNr + u'\t' + line.Typ + u'\t' + cell(line.ArtikelNr) + u'\t' +
               cell(line.BestellNr) + u'\t' + number(line.Menge) + u'\t' + number(line.Geliefert) +
               u'\t' + cell(line.Anzeigetext) + u'\n';
    WriteOut(out);
    return LagerExit::Done;
}

int OrderReceive(LagerSession &session, const LagerArgs &args)
{
    if (!session.RequireRight(u"44"_s, "Sie sind nicht berechtigt, Artikel zu buchen!"))
        return LagerExit::Denied;
    const bool all = args.flags.contains(u"--all"_s);
    const QStringList lineArgs = args.Option(u"--line"_s).split(u'\n', Qt::SkipEmptyParts);
    if (all == !lineArgs.isEmpty()) {
        ShowError(tx("Geben Sie entweder --all oder --line an."));
        return LagerExit::Usage;
    }
    struct Given {
        QString position;
        double quantity = 0;
        bool reset = false;
        bool used = false;
    };
    QList<Given> given;
    for (const QString &arg : lineArgs) {
        Given g;
        const QString pos = arg.section(u'=', 0, 0);
        QString rest = arg.section(u'=', 1);
        if (rest.endsWith(u":reset"_s)) {
            g.reset = true;
            rest.chop(6);
        }
        g.position = pos;
        if (pos.isEmpty() || !ManualStockChange::ParseQuantity(rest, g.quantity) ||
            g.quantity < 0) {
            ShowError(formatText(tx("\"%s\" ist keine gueltige Zeilenangabe."), {arg}));
            return LagerExit::Invalid;
        }
        given.append(g);
    }
    QHash<QString, QStringList> serials;
    for (const QString &arg : args.Option(u"--serials"_s).split(u'\n', Qt::SkipEmptyParts))
        serials.insert(arg.section(u'=', 0, 0), arg.section(u'=', 1).split(u','));

    TBestellwesenConfig config;
    const TSystemEinstellungen &suite = TSystemEinstellungen::instance();
    LoadOrderingConfig(config, suite.BestellwesenDir);
    const QString nr = args.positional[0].trimmed();
    QString refusal;
    TableReceiptCommand::Hooks hooks;
    hooks.chooseOrder = [&nr] { return nr; };
    hooks.confirm = [] { return true; };
    hooks.showTable = [&](TBestellServerObj &order) {
        if (order.Stadium != quint8(OrderState::OffeneLieferung) &&
            order.Stadium != quint8(OrderState::Teillieferung)) {
            refusal = formatText(tx("Bestellung \"%s\" ist weder offen noch teilweise geliefert."),
                                 {order.BestellNr});
            return false;
        }
        for (TBestellartikel &line : order.Artikel) {
            if (line.IsTextLine())
                continue;
            const double open = line.Zugangsmenge;
            line.Zugangsmenge = 0;
            Given *g = nullptr;
            for (Given &candidate : given)
                if (samePosition(candidate.position, line.PosNr))
                    g = &candidate;
            if (g) {
                g->used = true;
                line.OffeneMengeZuruecksetzen = g->reset;
            }
            if (all || g)
                TableReceiptCommand::EnterQuantity(line, all ? open : g->quantity);
            TLagerServerObj *article = line.Lagerartikel.get();
            QStringList entered;
            for (auto it = serials.cbegin(); it != serials.cend(); ++it)
                if (samePosition(it.key(), line.PosNr))
                    entered = it.value();
            if (line.Typ != u"N" || !article || !article->SNPflicht || line.Zugangsmenge == 0)
                continue;
            const auto wanted = qsizetype(std::trunc(
                line.Zugangsmenge * (article->Verpackungsmenge > 0 && article->Verpackungsmenge != 1
                                         ? article->Verpackungsmenge
                                         : 1)));
            if (entered.size() != wanted) {
                refusal =
                    formatText(tx("Die Aenderung verlangt %s Seriennummern, angegeben sind %s."),
                               {QString::number(wanted), QString::number(entered.size())});
                return false;
            }
            TSeriennummerObjectList &list = article->Seriennummern.emplace();
            list.SetCount(wanted, article->LagerArtikelNr);
            for (qsizetype i = 0; i < wanted; ++i) {
                list.Item(i).SN = entered[i].trimmed();
                list.Item(i).ZUGANG = DateTime::now();
            }
        }
        for (const Given &g : given) {
            if (!g.used) {
                refusal = formatText(tx("Die Bestellung hat keine Position \"%s\"."), {g.position});
                return false;
            }
        }
        return true;
    };
    TableReceiptCommand command(session.Db(), suite.BestellwesenDir, session.Owner(),
                                config.AutoSearchLagerartikel, suite.FullCurrency, hooks);
    QString supplier;
    switch (command.Run(supplier)) {
    case TableReceiptCommand::Outcome::Booked:
        break;
    case TableReceiptCommand::Outcome::Cancelled:
        ShowError(refusal);
        return LagerExit::Invalid;
    case TableReceiptCommand::Outcome::Locked:
        return LagerExit::Locked;
    case TableReceiptCommand::Outcome::NotFound:
        return LagerExit::NotFound;
    default:
        return LagerExit::Failed;
    }
    for (const QString &skipped : command.Skipped())
        ShowMessageBoxFmt(tx("Kann Artikel \"%s\" nicht sperren."), {skipped}, MsgDlgType::Warning,
                          MsgButton::OK);
    return command.Skipped().isEmpty() ? LagerExit::Done : LagerExit::Locked;
}
