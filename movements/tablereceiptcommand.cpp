#include "movements/tablereceiptcommand.h"

#include "base/messages.h"
#include "base/translation.h"
#include "movements/goodsreceipt.h"
#include "movements/heldorder.h"
#include "persistence/conversions.h"
#include "persistence/dateischutz.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
// A lock taken for the booking of one line, released when the line is done.
class LineLock
{
public:
    explicit LineLock(std::unique_ptr<TDateischutzWF> lock) : m_lock(std::move(lock)) {}
    ~LineLock() { TDatabaseStoreBase::Unlock(m_lock); }
    LineLock(const LineLock &) = delete;
    LineLock &operator=(const LineLock &) = delete;
    explicit operator bool() const { return m_lock != nullptr; }

private:
    std::unique_ptr<TDateischutzWF> m_lock;
};

bool packs(double packing)
{
    return packing != 1 && packing > 0;
}

void complete(TBestellartikel &line)
{
    line.Geliefert =
        line.OffeneMengeZuruecksetzen ? line.Menge : line.Geliefert + line.Zugangsmenge;
}
} // namespace

TableReceiptCommand::TableReceiptCommand(IModLagerDBServerObj &db, const QString &orderDir,
                                         const QString &lockOwner, bool autoSearch,
                                         bool fourDecimals, Hooks hooks)
    : m_db(db), m_orderDir(orderDir), m_lockOwner(lockOwner), m_autoSearch(autoSearch),
      m_fourDecimals(fourDecimals), m_hooks(std::move(hooks))
{
}

TableReceiptCommand::Outcome TableReceiptCommand::Run(QString &supplier)
{
    m_skipped.clear();
    const QString nr = m_hooks.chooseOrder();
    if (nr.isEmpty())
        return Outcome::Nothing;
    HeldOrder held;
    if (const auto refused = HeldOrder::Refusal(held.Take(m_orderDir, m_lockOwner, nr)))
        return *refused;
    supplier = SupplierOfOrder(held.Order);
    PrepareLines(held.Order);
    if (!m_hooks.showTable(held.Order))
        return Outcome::Cancelled;
    if (!m_hooks.confirm())
        return Outcome::Declined;
    BookLines(held.Order);
    held.Order.UpdateStadium();
    ReportOrderState(held.Order);
    held.Order.Geaendert = DateTime::fromQDateTime(m_hooks.clock());
    held.Order.GeaendertVon = m_lockOwner;
    held.Write();
    return Outcome::Booked;
}

void TableReceiptCommand::PrepareLines(TBestellServerObj &order)
{
    m_db.Refresh();
    for (TBestellartikel &line : order.Artikel) {
        const auto match = [&](const QString &nr) {
            auto article = std::make_unique<TLagerServerObj>();
            article->LagerArtikelNr = nr;
            if (m_db.ReadArticle(article.get()) == 0)
                line.Lagerartikel = std::move(article);
        };
        if (line.Typ == u"N" && !line.ArtikelNr.isEmpty() && line.Geliefert != line.Menge)
            match(line.ArtikelNr);
        if (!line.IsTextLine())
            line.Zugangsmenge = line.Menge - line.Geliefert;
        if (m_autoSearch && !line.Lagerartikel && line.ArtikelNr.isEmpty() &&
            !line.BestellNr.isEmpty()) {
            match(line.BestellNr);
            if (line.Lagerartikel) {
                line.ArtikelNr = line.BestellNr;
                line.Typ = u"N"_s;
            }
        }
    }
}

Money TableReceiptCommand::unitPrice(const TBestellartikel &line) const
{
    return ApplyDiscount(m_fourDecimals, Money::fromDouble(line.EK / line.EffectivePE()),
                         line.Rabatt);
}

void TableReceiptCommand::BookLines(TBestellServerObj &order)
{
    for (TBestellartikel &line : order.Artikel) {
        if (line.Typ == u"F")
            complete(line);
        else if (line.Typ == u"N" && line.Zugangsmenge > 0 && line.Lagerartikel)
            bookStockLine(order.BestellNr, line);
    }
}

void TableReceiptCommand::bookStockLine(const QString &orderNr, TBestellartikel &line)
{
    const QString nr = line.Lagerartikel->LagerArtikelNr;
    // Other roads write the whole row under the record lock alone; without it here, either
    // side could overwrite the stock the other one booked.
    LineLock record(m_db.LockRecord(m_lockOwner, nr));
    if (!record) {
        m_skipped.append(nr);
        return;
    }
    LineLock database(m_db.LockDatabase(m_lockOwner));
    if (!database) {
        m_skipped.append(nr);
        return;
    }
    m_db.Refresh();
    TLagerServerObj article;
    article.LagerArtikelNr = nr;
    const int read = m_db.ReadArticle(&article);
    if (read != 0 && read != -2) {
        ShowMessageBoxFmt(tx("Der Lagerartikel \"%s\" ist nicht vorhanden. Der bestellte Artikel "
                             "\"%s\" kann nicht zugeordnet werden."),
                          {nr, line.BestellNr}, MsgDlgType::Error, MsgButton::OK);
        m_skipped.append(nr);
        return;
    }
    if (read == -2)
        article = *line.Lagerartikel; // made in the table from a free line

    const double packing = article.Verpackungsmenge;
    Money price = unitPrice(line);
    double units = line.Zugangsmenge;
    if (packs(packing)) {
        price = RoundMoney(m_fourDecimals, price / packing);
        units *= packing;
    }
    const double before = read == 0 ? article.BuchungsBestand : 0;
    if (read == -2) {
        article.BuchungsBestand = units;
        article.SummeWareneingangMe = units;
        article.EKPreis = price;
    } else {
        const double stock = article.BuchungsBestand;
        // Signed on purpose: stock sold before it arrived lowers the average.
        if (article.DEinstandsPreisbildung && stock + units != 0)
            article.EKPreis = RoundMoney(m_fourDecimals, (article.EKPreis * stock + price * units) /
                                                             (stock + units));
        else if (!article.DEinstandsPreisbildung && units != 0)
            article.EKPreis = price;
        if (article.EKPreis != Money() && article.Gewicht != 0) {
            const Money perKg = RoundMoney(m_fourDecimals, article.EKPreis / article.Gewicht);
            if (perKg != article.EKProKg)
                article.EKProKg = perKg;
        }
        article.BuchungsBestand += units;
        article.SummeWareneingangMe += units;
    }
    const double now = DateTime::fromQDateTime(m_hooks.clock());
    article.Changed = now;
    article.ChangedBy = m_lockOwner;

    const TSeriennummerObjectList *serials = nullptr;
    if (article.SNPflicht && line.Lagerartikel->Seriennummern &&
        !line.Lagerartikel->Seriennummern->IsEmpty())
        serials = &*line.Lagerartikel->Seriennummern;
    TLagerBuchung row =
        TLagerBuchung::Change(TLagerBuchung::OrderReceipt, nr, before, article.BuchungsBestand, now,
                              TLagerBuchung::CurrentUser());
    row.Preis = price;
    row.BestellNr = orderNr;
    row.BestellPos = line.PosNr.toInt();
    if (serials) {
        row.Seriennummern = serials->JoinedText();
        article.LetzteSeriennummer = serials->Item(serials->Count() - 1).SN;
    }
    article.Seriennummern.reset();
    if (m_db.BookArticle(article, row, serials) != 0) {
        ShowMessageBoxFmt(tx("Lagerartikel \"%s\" konnte nicht geschrieben werden."), {nr},
                          MsgDlgType::Error, MsgButton::OK);
        m_skipped.append(nr);
        return;
    }
    if (m_hooks.updateArticle)
        m_hooks.updateArticle(article);
    complete(line);
}

void TableReceiptCommand::EnterQuantity(TBestellartikel &line, double entered)
{
    const double open = line.Menge - line.Geliefert;
    double quantity = std::isfinite(entered) ? std::clamp(entered, 0.0, std::max(open, 0.0)) : 0;
    TLagerServerObj *article = line.Typ == u"N" ? line.Lagerartikel.get() : nullptr;
    if (article)
        quantity = std::trunc(quantity);
    line.Zugangsmenge = quantity;
    if (article && article->SNPflicht && article->Seriennummern) {
        const double units = GoodsReceipt::Units(quantity, article->Verpackungsmenge);
        while (article->Seriennummern->Count() > units)
            article->Seriennummern->Delete(article->Seriennummern->Count() - 1);
    }
}

qint64 TableReceiptCommand::MissingSerials(const TBestellartikel &line)
{
    const TLagerServerObj *article = line.Lagerartikel.get();
    if (line.Typ != u"N" || !article || !article->SNPflicht || line.Zugangsmenge == 0)
        return 0;
    const auto wanted =
        qint64(std::trunc(GoodsReceipt::Units(line.Zugangsmenge, article->Verpackungsmenge)));
    const qint64 have = article->Seriennummern ? article->Seriennummern->Count() : 0;
    return std::max<qint64>(wanted - have, 0);
}
