#include "stock/fasteditcommands.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/dateischutz.h"
#include "stock/bulkcolumnupdate.h"
#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

using namespace Qt::StringLiterals;

namespace
{

// Releases a record or database lock however the command leaves.
struct HeldLock {
    std::unique_ptr<TDateischutzWF> lock;
    ~HeldLock() { TDatabaseStoreBase::Unlock(lock); }
    explicit operator bool() const { return lock != nullptr; }
};

} // namespace

FastEditCommands::FastEditCommands(IModLagerDBServerObj &db, const TLagerConfig &config,
                                   const QString &stockDir, const QString &owner, Hooks hooks)
    : m_db(db), m_config(config), m_stockDir(stockDir), m_owner(owner), m_hooks(std::move(hooks))
{
}

int FastEditCommands::FieldEdit(int mode)
{
    if (mode < 0 || mode > FastEdit::kFieldTagLast - FastEdit::kFieldTagFirst)
        return 0;
    int written = 0;
    for (const QString &nr : m_hooks.selectedArticleNrs()) {
        if (nr.isEmpty())
            return written;
        HeldLock held{m_db.LockRecord(m_owner, nr)};
        if (!held)
            return written; // the wait has told who holds it
        m_db.Refresh();     // the list may be older than the article
        TLagerServerObj record;
        record.LagerArtikelNr = nr;
        if (m_db.ReadArticle(&record) != 0) {
            ShowMessageBoxFmt(tx("Artikel \"%s\" nicht gefunden."), {nr}, MsgDlgType::Error,
                              MsgButton::OK);
            return written;
        }
        if (!m_hooks.showArticleWindow(record, mode))
            return written;
        record.LagerArtikelNr = nr; // read-only in the window; the row is this one
        if (m_db.WriteArticle(&record) != 0)
            return written;
        m_hooks.updateArticle(record);
        ++written;
    }
    return written;
}

bool FastEditCommands::SetValue(FastEdit::ValueList list, int tag)
{
    QString value;
    if (!FastEdit::ValueOf(list, m_config, tag, value))
        return false;
    const QStringList numbers = m_hooks.selectedArticleNrs();
    if (numbers.isEmpty())
        return false;
    BulkColumnUpdate::Result result;
    {
        HeldLock held{m_db.LockDatabase(m_owner)};
        if (!held)
            return false;
        auto progress = interaction().progress(tx("Schnellbearbeitung"), int(numbers.size()));
        result = BulkColumnUpdate::Run(m_db, FastEdit::ColumnName(list), value, numbers,
                                       progress.get(), m_hooks.articlesChanged, m_chunks);
    } // lock released and progress closed before the notice
    if (result.outcome == BulkColumnUpdate::Outcome::Failed)
        return result.changed > 0;
    interaction().desktopAlert(tx("Information"), tx("Fertig!"), 100, 3000);
    return true;
}

bool FastEditCommands::EditList(FastEdit::ValueList list)
{
    if (list == FastEdit::ValueList::Rabattgruppe)
        return false; // discount groups have keys and texts; the suite maintains them elsewhere
    // Read again rather than taken from the menu's copy: another workstation may have saved
    // the list since, and a save from the old copy would throw its entries away.
    TLagerConfig config;
    const QString file = TLagerConfig::FileNameIn(m_stockDir);
    config.LoadFromFile(file);
    QStringList &entries =
        list == FastEdit::ValueList::Lagerort ? config.Lagerorte : config.Artikelgruppen;
    QStringList edited = entries;
    if (!m_hooks.editList(tx(FastEdit::ListCaption(list)), edited))
        return false;
    // Each entry is one line of the stored list text: a line break would split it in two.
    QStringList clean;
    for (const QString &e : std::as_const(edited)) {
        const QString t = QString(e).replace(u'\r', u' ').replace(u'\n', u' ').trimmed();
        if (!t.isEmpty() && !clean.contains(t))
            clean.append(t);
    }
    if (clean == entries)
        return false;
    entries = clean;
    config.SaveToFile(file);
    if (m_hooks.configChanged)
        m_hooks.configChanged();
    return true;
}
