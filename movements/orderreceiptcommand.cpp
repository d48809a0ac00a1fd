#include "movements/orderreceiptcommand.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/heldorder.h"
#include "movements/warenzugangtempobj.h"
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "persistence/conversions.h"
#include "persistence/dateischutz.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "suite/systemeinstellungen.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
QString serialsFrom(const TLagerServerObj &article, qsizetype first)
{
    QStringList numbers;
    if (article.Seriennummern) {
        for (qsizetype i = first; i < article.Seriennummern->Count(); ++i) {
            const QString sn = article.Seriennummern->Item(i).SN.trimmed();
            if (!sn.isEmpty())
                numbers.append(sn);
        }
    }
    return numbers.join(u' ');
}

qsizetype serialCount(const TLagerServerObj &article)
{
    return article.Seriennummern ? article.Seriennummern->Count() : 0;
}

void showError(const char *msgid, const QStringList &args)
{
    ShowMessageBoxFmt(tx(msgid), args, MsgDlgType::Error, MsgButton::OK);
}

// A stock line whose article is gone is received as a free line.
void missingArticle(TBestellartikel &line)
{
    ShowMessageBoxFmt(tx("Der Lagerartikel \"%s\" ist nicht vorhanden. Der bestellte Artikel "
                         "\"%s\" kann nicht zugeordnet werden.") +
                          u'\n' + tx("Der Artikel wird in einen freien Artikel umgewandelt."),
                      {line.ArtikelNr, line.BestellNr}, MsgDlgType::Error, MsgButton::OK);
    line.Typ = u"F"_s;
}

void showInfo(const char *msgid, const QStringList &args = {})
{
    ShowMessageBoxFmt(tx(msgid), args, MsgDlgType::Information, MsgButton::OK);
}
} // namespace

OrderReceiptCommand::OrderReceiptCommand(IModLagerDBServerObj &db, const QString &orderDir,
                                         const QString &stockDir, const QString &lockOwner,
                                         bool autoSearch, Hooks hooks)
    : m_db(db), m_orderDir(orderDir), m_stockDir(stockDir), m_lockOwner(lockOwner),
      m_autoSearch(autoSearch), m_hooks(std::move(hooks))
{
}

double OrderReceiptCommand::now() const
{
    return DateTime::fromQDateTime(m_hooks.clock());
}

OrderReceiptCommand::Outcome OrderReceiptCommand::Run(QString &supplier)
{
    m_failed.clear();
    m_orderNr = m_hooks.chooseOrder();
    if (m_orderNr.isEmpty())
        return Outcome::Nothing;
    HeldOrder held;
    if (const auto refused = HeldOrder::Refusal(held.Take(m_orderDir, m_lockOwner, m_orderNr)))
        return *refused;
    TBestellServerObj &order = held.Order;
    supplier = SupplierOfOrder(order);

    // Declared after the order lock so that the article locks go first.
    TWarenzugangTempObjObjectList touched;
    Outcome outcome = Outcome::Cancelled;
    for (qsizetype i = 0; i < order.Artikel.Count(); ++i) {
        TBestellartikel &line = order.Artikel[i];
        if (line.Geliefert >= line.Menge)
            continue;
        if (m_autoSearch && line.Typ == u"F" && !line.BestellNr.isEmpty() &&
            m_db.ArticleExists(line.BestellNr) == 1) {
            line.Typ = u"N"_s;
            line.ArtikelNr = line.BestellNr;
        }
        Step step = Step::Next;
        if (line.Typ == u"N")
            step = receiveStockLine(order, line, touched, supplier, outcome);
        if (step == Step::Next && line.Typ == u"F") // also a stock line whose article is gone
            step = receiveFreeLine(order, line, touched, supplier, outcome);
        if (step == Step::Stop)
            return outcome;
    }

    if (ShowMessageBox(tx("Alle Informationen zu diesem Warenzugang liegen nun vor.") + u'\n' +
                           tx("Soll die Buchung nun ausgefuehrt werden?"),
                       MsgDlgType::Confirmation, MsgButton::YesNo) != ModalResult::Yes)
        return Outcome::Declined;

    order.UpdateStadium();
    ReportOrderState(order);
    order.Geaendert = now();
    order.GeaendertVon = m_lockOwner;
    // The goods are in the warehouse either way: a failed order write must not keep them off
    // the books.
    held.Write();
    writeArticles(touched);
    return Outcome::Booked;
}

OrderReceiptCommand::Step
OrderReceiptCommand::receiveStockLine(TBestellServerObj &order, TBestellartikel &line,
                                      TWarenzugangTempObjObjectList &touched, QString &supplier,
                                      Outcome &outcome)
{
    if (line.ArtikelNr.trimmed().isEmpty()) {
        missingArticle(line);
        return Step::Next;
    }
    TWarenzugangTempObj *entry = touched.Find(line.ArtikelNr, true);
    if (!entry->Lock) {
        entry->Lock = m_db.LockRecord(m_lockOwner, line.ArtikelNr);
        if (!entry->Lock) {
            outcome = Outcome::Locked;
            return Step::Stop;
        }
        m_db.Refresh(); // another workstation may have booked it while we waited
    }
    if (!entry->Artikel) {
        TLagerServerObj article;
        article.LagerArtikelNr = line.ArtikelNr;
        if (m_db.ReadArticle(&article) != 0) {
            touched.Remove(line.ArtikelNr); // and with it the lock
            missingArticle(line);
            return Step::Next;
        }
        entry->Artikel = std::move(article);
    }

    TLagerServerObj &article = *entry->Artikel;
    const double before = article.BuchungsBestand;
    const qsizetype serialsBefore = serialCount(article);
    ReceiptCommand::Receipt io;
    io.quantity = line.Menge - line.Geliefert;
    io.price = Money::fromDouble(line.EK / line.EffectivePE());
    io.discount = line.Rabatt;
    io.supplier = supplier;
    io.orderNr = order.BestellNr;
    io.orderPos = line.PosNr.toInt();
    if (!m_hooks.receive(article, io)) {
        outcome = Outcome::Cancelled;
        return Step::Stop;
    }
    supplier = io.supplier;
    if (!io.reset && io.quantity == 0)
        return Step::Next;
    line.Geliefert = io.reset ? line.Menge : line.Geliefert + io.quantity;
    const double stamp = now();
    article.Changed = stamp;
    article.ChangedBy = m_lockOwner;
    TLagerBuchung row =
        TLagerBuchung::Change(TLagerBuchung::OrderReceipt, article.LagerArtikelNr, before,
                              article.BuchungsBestand, stamp, TLagerBuchung::CurrentUser());
    row.Preis = io.unitPrice;
    row.BestellNr = io.orderNr;
    row.BestellPos = io.orderPos;
    row.Seriennummern = serialsFrom(article, serialsBefore);
    entry->Buchungen.append(row);
    return Step::Next;
}

OrderReceiptCommand::Step
OrderReceiptCommand::receiveFreeLine(const TBestellServerObj &order, TBestellartikel &line,
                                     TWarenzugangTempObjObjectList &touched,
                                     const QString &supplier, Outcome &outcome)
{
    FreeReceipt io;
    io.quantity = line.Menge - line.Geliefert;
    io.price = Money::fromDouble(line.EK / line.EffectivePE());
    io.description = line.Anzeigetext;
    io.supplierNr = line.BestellNr;
    io.discount = line.Rabatt;
    switch (m_hooks.receiveFree(io)) {
    case BookFree:
        line.Geliefert += io.quantity;
        return Step::Next;
    case BookAsNewArticle:
        if (io.quantity == 0)
            return Step::Next;
        line.Geliefert += io.quantity;
        line.ArtikelNr = line.BestellNr;
        makeStockArticle(order, line, io, touched, supplier);
        return Step::Next;
    default:
        outcome = Outcome::Cancelled;
        return Step::Stop;
    }
}

void OrderReceiptCommand::makeStockArticle(const TBestellServerObj &order, TBestellartikel &line,
                                           const FreeReceipt &io,
                                           TWarenzugangTempObjObjectList &touched,
                                           const QString &supplier)
{
    const auto bookAnyway = [&line] {
        showInfo(txNoop("Warenzugang fuer freien Artikel \"%s\" wird trotzdem verbucht."),
                 {line.BestellNr});
    };
    QString nr;
    // A number taken by an earlier line of this receipt is as used as one in the table.
    const auto takenHere = [&touched](const QString &n) { return touched.Find(n, false); };
    switch (FreeLineArticle::AskNumber(m_db, line.BestellNr, takenHere, nr)) {
    case FreeLineArticle::Answer::Declined:
        bookAnyway();
        return;
    case FreeLineArticle::Answer::Failed:
        return;
    case FreeLineArticle::Answer::Chosen:
        break;
    }
    // Locked at once, so that no colleague creates the same number before we write it.
    TWarenzugangTempObj *entry = touched.Find(nr, true);
    entry->Lock = m_db.LockRecord(m_lockOwner, nr);
    if (!entry->Lock) {
        touched.Remove(nr);
        bookAnyway();
        return;
    }
    line.ArtikelNr = nr;

    TLagerServerObj article;
    const double stamp = now();
    FreeLineArticle::Build(article, nr, order, line, m_stockDir, m_lockOwner, stamp,
                           m_hooks.catalogOf, m_hooks.formatText);
    article.BuchungsBestand = io.quantity;
    article.EKPreis = io.price;
    if (!m_hooks.editNewArticle(article)) {
        touched.Remove(nr);
        bookAnyway();
        return;
    }
    const double packing = article.Verpackungsmenge;
    if (packing != 1 && packing > 0)
        article.BuchungsBestand *= packing;
    FreeLineArticle::ApplyPacking(article, TSystemEinstellungen::instance().FullCurrency);
    article.SummeWareneingangMe = article.BuchungsBestand;
    if (article.SNPflicht)
        enterSerials(article, line, supplier);
    TLagerBuchung row =
        TLagerBuchung::Change(TLagerBuchung::OrderReceipt, nr, 0, article.BuchungsBestand, stamp,
                              TLagerBuchung::CurrentUser());
    row.Preis = article.EKPreis;
    row.BestellNr = m_orderNr;
    row.BestellPos = line.PosNr.toInt();
    row.Seriennummern = serialsFrom(article, 0);
    entry->Buchungen.append(row);
    entry->Artikel = std::move(article);
}

void OrderReceiptCommand::enterSerials(TLagerServerObj &article, TBestellartikel &line,
                                       const QString &supplier)
{
    // Serial numbers come in whole pieces; the stock follows what can be numbered.
    article.BuchungsBestand = std::trunc(article.BuchungsBestand);
    article.SummeWareneingangMe = article.BuchungsBestand;
    const auto count = qsizetype(std::max(article.BuchungsBestand, 0.0));
    if (count == 0 || !m_hooks.enterSerials)
        return;
    TSeriennummerObjectList serials;
    const double received = now();
    for (qsizetype i = 0; i < count; ++i) {
        TSeriennummer &entry = serials.Add();
        entry.LagerArtikelNr = article.LagerArtikelNr;
        entry.ZUGANG = received;
    }
    if (line.SnLieferantText.isEmpty())
        line.SnLieferantText = supplier;
    if (!m_hooks.enterSerials(serials, article, line.SnLieferantText))
        return;
    for (qsizetype i = serials.Count() - 1; i >= 0; --i) {
        if (serials.Item(i).SN.trimmed().isEmpty())
            serials.Delete(i);
    }
    if (serials.IsEmpty())
        return;
    article.LetzteSeriennummer = serials.Item(serials.Count() - 1).SN;
    article.Seriennummern = std::move(serials);
}

void OrderReceiptCommand::writeArticles(TWarenzugangTempObjObjectList &touched)
{
    for (qsizetype i = 0; i < touched.Count(); ++i) {
        TWarenzugangTempObj &entry = touched.Item(i);
        if (!entry.Artikel)
            continue;
        TLagerServerObj &article = *entry.Artikel;
        const TSeriennummerObjectList *serials =
            article.Seriennummern && !article.Seriennummern->IsEmpty() ? &*article.Seriennummern
                                                                       : nullptr;
        if (m_db.BookArticle(article, entry.Buchungen, serials) != 0) {
            m_failed.append(article.LagerArtikelNr);
            showError(txNoop("Lagerartikel \"%s\" konnte nicht geschrieben werden."),
                      {article.LagerArtikelNr});
            continue;
        }
        article.Seriennummern.reset();
        if (m_hooks.updateArticle)
            m_hooks.updateArticle(article);
    }
}
