#include "movements/receiptcommand.h"

#include "base/messages.h"
#include "base/translation.h"
#include "movements/articlegroupings.h"
#include "movements/serialnumbers.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

using namespace Qt::StringLiterals;

namespace
{
// Releases the record lock however the command leaves.
class HeldRecord
{
public:
    HeldRecord(IModLagerDBServerObj &db, const QString &owner, const QString &nr)
        : m_lock(db.LockRecord(owner, nr))
    {
    }
    ~HeldRecord() { TDatabaseStoreBase::Unlock(m_lock); }
    HeldRecord(const HeldRecord &) = delete;
    HeldRecord &operator=(const HeldRecord &) = delete;
    explicit operator bool() const { return m_lock != nullptr; }

private:
    std::unique_ptr<TDateischutzWF> m_lock;
};

// The other members of the first grouping that holds nr, in their order.
QStringList groupedNumbers(const QString &stockDir, const QString &nr)
{
    TStringStringlistObjectList groupings;
    ArticleGroupings::LoadGroupings(stockDir, groupings);
    const TStringStringlist *grouping = ArticleGroupings::GroupingOf(groupings, nr);
    QStringList members;
    if (!grouping)
        return members;
    for (const QString &member : grouping->List) {
        if (member != nr)
            members.append(member);
    }
    return members;
}
} // namespace

ReceiptCommand::ReceiptCommand(IModLagerDBServerObj &db, const QString &stockDir,
                               const QString &lockOwner, GoodsReceipt receipt, Hooks hooks)
    : m_db(db), m_stockDir(stockDir), m_lockOwner(lockOwner), m_receipt(std::move(receipt)),
      m_hooks(std::move(hooks))
{
}

ReceiptCommand::Outcome ReceiptCommand::Run(QString &supplier)
{
    m_skipped.clear();
    const QString nr = m_hooks.selectedArticleNr();
    if (nr.isEmpty())
        return Outcome::Nothing;
    HeldRecord lock(m_db, m_lockOwner, nr);
    if (!lock)
        return Outcome::Locked; // the wait window has shown who holds it
    m_db.Refresh();             // another workstation may have booked since the list was read
    TLagerServerObj article;
    article.LagerArtikelNr = nr;
    if (m_db.ReadArticle(&article) != 0) {
        ShowMessageBoxFmt(tx("Artikel \"%s\" nicht gefunden."), {nr}, MsgDlgType::Error,
                          MsgButton::OK);
        return Outcome::NotFound;
    }

    // Members that are gone stay in the grouping file; they are simply not there to average.
    QStringList members;
    std::vector<std::unique_ptr<TLagerServerObj>> grouped;
    for (const QString &member : groupedNumbers(m_stockDir, nr)) {
        auto record = std::make_unique<TLagerServerObj>();
        record->LagerArtikelNr = member;
        if (m_db.ReadArticle(record.get()) != 0)
            continue;
        members.append(member);
        grouped.push_back(std::move(record));
    }
    std::vector<const TLagerArtikelDaten *> groupedData;
    for (const auto &record : grouped)
        groupedData.push_back(record.get());

    const double before = article.BuchungsBestand;
    Receipt io;
    io.supplier = supplier;
    if (!m_hooks.receive(article, groupedData, io))
        return Outcome::Cancelled;
    supplier = io.supplier;

    const double now = DateTime::fromQDateTime(m_hooks.clock());
    article.Changed = now;
    article.ChangedBy = m_lockOwner;
    TLagerBuchung row = TLagerBuchung::Change(
        io.orderNr.isEmpty() ? TLagerBuchung::Receipt : TLagerBuchung::OrderReceipt, nr, before,
        article.BuchungsBestand, now, TLagerBuchung::CurrentUser());
    row.Preis = io.unitPrice;
    row.BestellNr = io.orderNr;
    row.BestellPos = io.orderPos;
    const TSeriennummerObjectList *serials =
        article.Seriennummern && !article.Seriennummern->IsEmpty() ? &*article.Seriennummern
                                                                   : nullptr;
    if (serials)
        row.Seriennummern = serials->JoinedText();
    if (m_db.BookArticle(article, row, serials) != 0)
        return Outcome::Failed;
    article.Seriennummern.reset(); // booked; the record no longer carries them
    m_hooks.updateArticle(article);

    updateGrouped(article, members);
    return Outcome::Booked;
}

void ReceiptCommand::updateGrouped(const TLagerServerObj &booked, const QStringList &members)
{
    for (const QString &member : members) {
        HeldRecord lock(m_db, m_lockOwner, member);
        if (!lock) {
            m_skipped.append(member);
            ShowMessageBoxFmt(tx("Kann Artikel \"%s\" nicht sperren."), {member},
                              MsgDlgType::Warning, MsgButton::OK);
            continue;
        }
        m_db.Refresh();
        TLagerServerObj record;
        record.LagerArtikelNr = member;
        if (m_db.ReadArticle(&record) != 0)
            continue; // deleted since it was read for the average
        m_receipt.CopyPrices(booked, record);
        if (m_db.WriteArticle(&record) == 0)
            m_hooks.updateArticle(record);
    }
}

QString ReceiptCommand::ReceiveWithoutWindow(TLagerServerObj &article,
                                             const std::vector<const TLagerArtikelDaten *> &grouped,
                                             Receipt &io, GoodsReceipt::Basis basis,
                                             const QStringList &serials, bool checkDuplicates)
{
    if (const char *refusal = GoodsReceipt::Refusal(article, io.quantity))
        return tx(refusal);
    const qint64 wanted = GoodsReceipt::SerialsWanted(article, io.quantity);
    if (serials.size() != wanted)
        return formatText(tx("Die Aenderung verlangt %s Seriennummern, angegeben sind %s."),
                          {QString::number(wanted), QString::number(serials.size())});
    TSeriennummerObjectList entered;
    if (wanted > 0) {
        entered.SetCount(wanted, article.LagerArtikelNr);
        const double received = DateTime::fromQDateTime(m_hooks.clock());
        for (qsizetype i = 0; i < wanted; ++i) {
            TSeriennummer &entry = entered.Item(i);
            entry.SN = serials[i].trimmed();
            entry.ZUGANG = received;
            if (!io.supplier.trimmed().isEmpty())
                entry.LIEFERANT = io.supplier.trimmed();
        }
        QStringList inStock;
        m_db.SerialsOfArticle(article.LagerArtikelNr, inStock);
        m_db.SerialTable().SetFiltered(false);
        if (const QString refusal = SerialEntryRefusal(entered, inStock, checkDuplicates);
            !refusal.isEmpty())
            return refusal;
    }
    const TLagerArtikelDaten stored = article;
    io.netPrice = m_receipt.NetPrice(io.price, io.discount);
    io.unitPrice = m_receipt.UnitPrice(io.netPrice, article.Verpackungsmenge);
    m_receipt.UpdatePrices(article, stored, grouped, io.quantity, io.netPrice, basis);
    GoodsReceipt::Apply(article, io.quantity, &entered, DateTime::fromQDateTime(m_hooks.clock()),
                        m_lockOwner);
    return {};
}
