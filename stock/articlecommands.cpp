#include "stock/articlecommands.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "persistence/xml/texthelpers.h"
#include "stock/inputchecks.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{

// Releases the record lock however the command leaves.
class RecordLock
{
public:
    RecordLock(IModLagerDBServerObj &db, const QString &owner, const QString &nr)
        : m_lock(db.LockRecord(owner, nr))
    {
    }
    ~RecordLock() { TDatabaseStoreBase::Unlock(m_lock); }
    RecordLock(const RecordLock &) = delete;
    RecordLock &operator=(const RecordLock &) = delete;
    explicit operator bool() const { return m_lock != nullptr; }

private:
    std::unique_ptr<TDateischutzWF> m_lock;
};

} // namespace

ArticleCommands::ArticleCommands(IModLagerDBServerObj &db, const QString &stockDir,
                                 const QString &userFullName, Hooks hooks)
    : m_db(db), m_stockDir(stockDir), m_userFullName(userFullName), m_hooks(std::move(hooks))
{
}

ArticleCommands::NumberAnswer
ArticleCommands::AskNewNumber(IModLagerDBServerObj &db, const QString &proposal, QString &nr,
                              const std::function<bool(const QString &)> &takenHere)
{
    nr = proposal;
    for (;;) {
        if (!interaction().inputBox(tx("Neuer Artikel"), tx("Lagerartikel-Nr."), nr))
            return NumberAnswer::Declined;
        // The table keeps no more than this; a longer answer would be cut on writing and
        // could then hit an existing article unasked.
        nr = nr.trimmed().left(kMaxNumberLength).trimmed();
        if (nr.isEmpty())
            return NumberAnswer::Declined;
        if (const QString problem = InputChecks::ArticleNumberProblem(nr); !problem.isEmpty()) {
            ShowMessageBox(problem, MsgDlgType::Error, MsgButton::OK);
            continue;
        }
        const int exists = takenHere && takenHere(nr) ? 1 : db.ArticleExists(nr);
        if (exists < 0)
            return NumberAnswer::Failed;
        if (exists == 0)
            return NumberAnswer::Chosen;
        if (ShowMessageBoxFmt(tx("Der Artikel \"%s\" existiert bereits. Artikelnummer aendern?"),
                              {nr}, MsgDlgType::Confirmation, MsgButton::YesNo) != ModalResult::Yes)
            return NumberAnswer::Declined;
    }
}

QString ArticleCommands::askNewNumber(const QString &proposal)
{
    QString nr;
    return AskNewNumber(m_db, proposal, nr) == NumberAnswer::Chosen ? nr : QString();
}

bool ArticleCommands::readCurrent(const QString &nr, TLagerServerObj &record)
{
    m_db.Refresh(); // another workstation may have changed it since the list was read
    record.LagerArtikelNr = nr;
    if (m_db.ReadArticle(&record) == 0)
        return true;
    ShowMessageBoxFmt(tx("Artikel \"%s\" nicht gefunden."), {nr}, MsgDlgType::Error, MsgButton::OK);
    return false;
}

bool ArticleCommands::editNewArticle(TLagerServerObj &record)
{
    const QString written = record.LagerArtikelNr;
    for (;;) {
        if (!m_hooks.showArticleWindow(record, false))
            return false;
        record.LagerArtikelNr = InputChecks::ArticleNumber(record.LagerArtikelNr);
        if (record.LagerArtikelNr.isEmpty())
            record.LagerArtikelNr = written;
        if (const QString problem = InputChecks::ArticleNumberProblem(record.LagerArtikelNr);
            !problem.isEmpty()) {
            ShowMessageBox(problem, MsgDlgType::Error, MsgButton::OK);
            record.LagerArtikelNr = written;
            continue;
        }
        // The number stays editable for a new article; a changed one must be free as well.
        if (record.LagerArtikelNr == written || m_db.ArticleExists(record.LagerArtikelNr) != 1)
            return true;
        ShowMessageBoxFmt(tx("Der Artikel \"%s\" existiert bereits."), {record.LagerArtikelNr},
                          MsgDlgType::Error, MsgButton::OK);
    }
}

bool ArticleCommands::stillOurs(const TLagerServerObj &record)
{
    m_db.Refresh();
    TLagerServerObj current;
    current.LagerArtikelNr = record.LagerArtikelNr;
    if (m_db.ReadArticle(&current) != 0)
        return false;
    // The creation time comes back through its text form; a millisecond tells two apart.
    return current.CreatedBy == record.CreatedBy &&
           std::abs(current.Created - record.Created) < 1e-8;
}

bool ArticleCommands::NewArticle()
{
    m_db.Refresh(); // numbers taken by other workstations meanwhile must count as taken
    const QString selected = m_hooks.selectedArticleNr();
    const QString nr = askNewNumber(selected.isEmpty() ? QString() : IncrementNumberText(selected));
    if (nr.isEmpty())
        return false;

    TLagerServerObj record;
    record.LagerArtikelNr = nr;
    record.InitPeriods(m_stockDir + u"STDMB.TXT"_s);
    record.Created = DateTime::now();
    record.CreatedBy = m_userFullName;
    // Written at once so that the number is taken while the user fills in the rest.
    if (m_db.WriteArticle(&record) != 0)
        return false;

    RecordLock lock(m_db, m_userFullName, nr);
    if (!lock) {
        // The holder is creating the same number; their OK writes their row anew.
        if (stillOurs(record))
            m_db.DeleteArticle(nr);
        return false;
    }
    if (!stillOurs(record)) {
        // Someone else created it meanwhile and has finished with it: theirs stays.
        ShowMessageBoxFmt(tx("Der Artikel \"%s\" existiert bereits."), {nr}, MsgDlgType::Error,
                          MsgButton::OK);
        return false;
    }
    if (!editNewArticle(record)) {
        m_db.DeleteArticle(nr);
        return false;
    }
    if (record.LagerArtikelNr != nr)
        m_db.DeleteArticle(nr);
    // The history starts here rather than with the placeholder row, which a cancel deletes.
    if (m_db.BookArticle(record,
                         TLagerBuchung::Change(TLagerBuchung::Opening, record.LagerArtikelNr, 0,
                                               record.BuchungsBestand, DateTime::now(),
                                               TLagerBuchung::CurrentUser())) != 0)
        return false;
    m_hooks.updateArticle(record);
    m_hooks.gotoArticle(record.LagerArtikelNr);
    return true;
}

bool ArticleCommands::EditArticle()
{
    const QString nr = m_hooks.selectedArticleNr();
    if (nr.isEmpty())
        return false;
    RecordLock lock(m_db, m_userFullName, nr);
    if (!lock)
        return false;
    TLagerServerObj record;
    if (!readCurrent(nr, record))
        return false;
    if (!m_hooks.showArticleWindow(record, true))
        return false;
    record.LagerArtikelNr = nr; // read-only in the window; the row is this one whatever happens
    if (m_db.WriteArticle(&record) != 0)
        return false;
    m_hooks.updateArticle(record);
    return true;
}

bool ArticleCommands::CopyArticle()
{
    const QString source = m_hooks.selectedArticleNr();
    if (source.isEmpty())
        return false;
    TLagerServerObj record;
    if (!readCurrent(source, record))
        return false;
    const QString nr = askNewNumber(IncrementNumberText(source));
    if (nr.isEmpty())
        return false;
    // A colleague creating the same number holds its lock until the row is theirs.
    RecordLock lock(m_db, m_userFullName, nr);
    if (!lock)
        return false;
    m_db.Refresh();
    if (m_db.ArticleExists(nr) == 1) {
        ShowMessageBoxFmt(tx("Der Artikel \"%s\" existiert bereits."), {nr}, MsgDlgType::Error,
                          MsgButton::OK);
        return false;
    }
    record.LagerArtikelNr = nr;
    record.Created = record.Changed = DateTime::now();
    record.CreatedBy = record.ChangedBy = m_userFullName;
    // The copy takes the source's stock; its history begins with it.
    if (m_db.BookArticle(record,
                         TLagerBuchung::Change(TLagerBuchung::Copy, nr, 0, record.BuchungsBestand,
                                               record.Created, TLagerBuchung::CurrentUser())) != 0)
        return false;
    m_hooks.updateArticle(record);
    m_hooks.gotoArticle(nr);
    return true;
}
