#include "movements/stockchangecommand.h"

#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

StockChangeCommand::StockChangeCommand(IModLagerDBServerObj &db, const QString &stockDir,
                                       const QString &userName, const QString &lockOwner,
                                       Hooks hooks)
    : m_db(db), m_stockDir(stockDir), m_userName(userName), m_lockOwner(lockOwner),
      m_hooks(std::move(hooks))
{
}

bool StockChangeCommand::askSerials(TLagerServerObj &article, double newStock,
                                    TSeriennummerObjectList &added,
                                    TSeriennummerObjectList &removed, bool &raise)
{
    if (!ManualStockChange::IsWhole(newStock)) {
        ShowMessageBox(tx("Fuer Lagerartikel mit Seriennummern duerfen nur ganzzahlige "
                          "Zugangsmengen angegeben werden."),
                       MsgDlgType::Error, MsgButton::OK);
        return false;
    }
    const qint64 d = ManualStockChange::SerialDifference(article.BuchungsBestand, newStock);
    raise = d > 0;
    if (!raise) {
        // Nothing to choose when only a fraction of the old stock goes.
        return d == 0 || SerialSelection::Run(m_db, article, int(d), true, removed,
                                              m_hooks.chooseSerials) == 0;
    }
    added.SetCount(d, article.LagerArtikelNr);
    const double received = DateTime::fromQDateTime(m_hooks.clock());
    for (qsizetype i = 0; i < added.Count(); ++i)
        added.Item(i).ZUGANG = received;
    QStringList inStock;
    m_db.SerialsOfArticle(article.LagerArtikelNr, inStock);
    m_db.SerialTable().SetFiltered(false);
    QString supplier;
    return m_hooks.enterSerials(added, article, true, inStock, supplier);
}

bool StockChangeCommand::Run()
{
    const QString nr = m_hooks.selectedArticleNr();
    if (nr.isEmpty())
        return false;
    auto lock = m_db.LockRecord(m_lockOwner, nr);
    if (!lock)
        return false; // the wait window has shown who holds it
    struct Release {
        std::unique_ptr<TDateischutzWF> &lock;
        ~Release() { TDatabaseStoreBase::Unlock(lock); }
    } release{lock};

    m_db.Refresh(); // another workstation may have booked since the list was read
    TLagerServerObj article;
    article.LagerArtikelNr = nr;
    if (m_db.ReadArticle(&article) != 0) {
        ShowMessageBoxFmt(tx("Artikel \"%s\" nicht gefunden."), {nr}, MsgDlgType::Error,
                          MsgButton::OK);
        return false;
    }
    double newStock = article.BuchungsBestand;
    if (!m_hooks.askNewStock(article, newStock) || newStock == article.BuchungsBestand)
        return false;

    TSeriennummerObjectList added;
    TSeriennummerObjectList removed;
    bool raise = false;
    if (article.SNPflicht && !askSerials(article, newStock, added, removed, raise))
        return false;
    ManualStockChange booking(m_db, m_stockDir, m_userName);
    const bool serials = article.SNPflicht;
    if (!booking.Book(article, newStock, serials && raise ? &added : nullptr,
                      serials && !raise ? &removed : nullptr, m_hooks.clock()))
        return false;
    m_hooks.updateArticle(article);
    return true;
}
