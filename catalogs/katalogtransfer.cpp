#include "catalogs/katalogtransfer.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/articlecommands.h"
#include "stock/lagerbuchung.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringTokenizer>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kMaxNumberLength = 20;

// Releases the stock database lock however the command leaves.
class DatabaseLock
{
public:
    DatabaseLock(IModLagerDBServerObj &db, const QString &owner) : m_lock(db.LockDatabase(owner)) {}
    ~DatabaseLock() { TDatabaseStoreBase::Unlock(m_lock); }
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;
    explicit operator bool() const { return m_lock != nullptr; }

private:
    std::unique_ptr<TDateischutzWF> m_lock;
};

// What QString::toHtmlEscaped makes of the text, appended in place: a whole catalog is
// formatted line by line, and a copy per line cost more than the escaping.
void appendHtmlEscaped(QString &out, QStringView text)
{
    qsizetype done = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QStringView entity;
        switch (text[i].unicode()) {
        case u'<':
            entity = u"&lt;";
            break;
        case u'>':
            entity = u"&gt;";
            break;
        case u'&':
            entity = u"&amp;";
            break;
        case u'"':
            entity = u"&quot;";
            break;
        default:
            continue;
        }
        out += text.sliced(done, i - done);
        out += entity;
        done = i + 1;
    }
    out += text.sliced(done);
}
} // namespace

KatalogTransfer::Settings KatalogTransfer::Settings::FromSystem()
{
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    Settings s;
    s.catalogBaseDir = sys.KatalogeDir;
    s.stockDir = sys.LagerDir;
    s.imagesDir = sys.ImagesDir;
    s.userFullName = TBenutzerEinstellungen::instance().FullName;
    s.fontName = sys.TextFormats[0].FontName;
    s.fontSize = sys.TextFormats[0].FontSize;
    s.prices = TKatalogPreisEinstellungen::FromSystem();
    s.minBatchMs = 250;
    return s;
}

KatalogTransfer::KatalogTransfer(TKatalogDBPool &pool, IModLagerDBServerObj &db, Settings settings,
                                 Hooks hooks)
    : m_pool(pool), m_db(db), m_settings(std::move(settings)), m_hooks(std::move(hooks))
{
}

QString KatalogTransfer::FormattedText(const QString &plain, const QString &font, int size)
{
    if (plain.isEmpty())
        return {};
    // The editor reads this back as rich text; one paragraph per line keeps the line breaks
    // of catalog long texts.
    QString html;
    html.reserve(plain.size() + 128);
    html += u"<html><body style=\"font-family:'";
    appendHtmlEscaped(html, font);
    html += u"'; font-size:";
    html += QString::number(size);
    html += u"pt;\">";
    const QString lines =
        plain.contains(u'\r') ? QString(plain).replace(u"\r\n"_s, u"\n"_s) : plain;
    for (const QStringView line : QStringTokenizer(lines, u'\n')) {
        html += u"<p style=\"margin:0px;\">";
        appendHtmlEscaped(html, line);
        html += u"</p>";
    }
    html += u"</body></html>";
    return html;
}

std::unique_ptr<TLagerServerObj>
KatalogTransfer::BuildStockArticle(const TKatalogDBClipBoardMergeObj &m, const QString &nr,
                                   const Settings &s)
{
    auto r = std::make_unique<TLagerServerObj>();
    r->LagerArtikelNr = nr;
    r->EAN = m.EAN;
    r->Inventurartikel = true;
    if (s.minStockPeriods)
        r->MindestBestand = *s.minStockPeriods;
    else
        r->InitPeriods(s.stockDir + u"STDMB.TXT"_s);
    r->Created = s.created != 0 ? s.created : DateTime::now();
    r->CreatedBy = s.userFullName;
    r->Katalog = m.Katalog;
    r->KatRefs.Add(m.Katalog, m.ArtikelNr);
    r->Bezeichnung = m.Beschreibung;
    r->ME = m.ME;
    r->PE = std::max(1, m.Preiseinheit);
    r->Kurztext = FormattedText(m.Kurztext, s.fontName, s.fontSize);
    // Without a long text of its own the article repeats its short text; one text then.
    r->Langtext =
        m.Langtext == m.Kurztext ? r->Kurztext : FormattedText(m.Langtext, s.fontName, s.fontSize);
    r->EKPreis = m.NettoEK;
    r->VKZuschlag = m.VKFaktor;
    // Only DATANORM-like catalogs carry net sale prices; simple catalogs keep theirs as given.
    const bool addVat =
        s.prices.SalePriceIsGross && (m.KatalogTyp == kkDatanorm || m.KatalogTyp == kkEldanorm);
    for (size_t i = 0; i < r->VKPreis.size(); ++i)
        r->VKPreis[i] =
            addVat ? AddPercent(s.prices.FullCurrency, m.VKPreise[i], m.MwStSatz) : m.VKPreise[i];
    r->Rabattgruppen = m.Rabattgruppe;
    r->MwStSatz = m.MwStMerker;
    r->Arbeitszeit = m.Arbeitszeit;

    const QString imageSource = s.catalogBaseDir + m.Katalog + u"/IMAGES/"_s;
    for (const TDoubleString &picture : m.Bilder) {
        const QString source = imageSource + picture.Value;
        if (!QFileInfo::exists(source)) {
            ShowMessageBoxFmt(tx("Datei \"%s\" nicht gefunden."), {source}, MsgDlgType::Error,
                              MsgButton::OK);
            continue;
        }
        // A file of that name may belong to another article; it is neither replaced nor
        // linked to this one.
        const QString target = s.imagesDir + picture.Value;
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(s.imagesDir);
        if (QFile::copy(source, target))
            r->Bilder.Add(picture.Key, picture.Value);
    }
    return r;
}

int KatalogTransfer::ArticleCount(TKatalogDBPoolItem &item)
{
    try {
        TDatabaseWrapper *db = item.GetDB();
        if (auto *dn = dynamic_cast<TKatalog1DB *>(db))
            return dn->Catalog().RecordCount();
        if (auto *simple = dynamic_cast<TKatalog2DB *>(db))
            return simple->Table().RecordCount();
    } catch (const std::exception &) {
    }
    return 0;
}

bool KatalogTransfer::WalkCatalog(
    TKatalogDBPoolItem &item, const TKatalogPreisEinstellungen &prices,
    const std::function<bool(const TKatalogDBClipBoardMergeObj &)> &visit)
{
    TDatabaseWrapper *db = nullptr;
    try {
        db = item.GetDB();
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, QString::fromUtf8(e.what()), nullptr, &e);
        return false;
    }
    TKatalogDBClipBoardMergeObj merge;
    if (auto *dn = dynamic_cast<TKatalog1DB *>(db)) {
        return dn->ScanRows([&](TKatalog1ArtikelDaten &a) {
            a.Katalog = item.CatalogName;
            merge.LoadFrom(a, prices);
            return visit(merge);
        });
    }
    if (auto *simple = dynamic_cast<TKatalog2DB *>(db)) {
        TTdbTable &t = simple->Table();
        t.SetIndexName(TKatalog2DB::kIndexId);
        for (t.First(); !t.Eof(); t.Next()) {
            TKatalog2Artikel a;
            if (simple->ReadArticle(a) != 0)
                continue;
            a.Katalog = item.CatalogName;
            merge.LoadFrom(a, prices);
            if (!visit(merge))
                return false;
        }
        return true;
    }
    return false;
}

bool KatalogTransfer::mayCreate() const
{
    if (TBenutzerEinstellungen::instance().HasRight(u"41"_s))
        return true;
    ShowMessageBox(tx("Sie sind nicht berechtigt, Artikel anzulegen!"), MsgDlgType::Information,
                   MsgButton::OK);
    return false;
}

QString KatalogTransfer::askNumber(const QString &proposal)
{
    QString nr;
    return ArticleCommands::AskNewNumber(m_db, proposal, nr) ==
                   ArticleCommands::NumberAnswer::Chosen
               ? nr
               : QString();
}

int KatalogTransfer::ImportArticles()
{
    if (!mayCreate())
        return 0;
    std::unique_ptr<TKatalogDBClipBoard> clip =
        m_hooks.selectArticles ? m_hooks.selectArticles(tx("Katalogartikel importieren")) : nullptr;
    if (!clip || clip->IsEmpty())
        return 0;
    DatabaseLock lock(m_db, m_settings.userFullName);
    if (!lock)
        return 0;
    int saved = 0;
    QString last;
    try {
        m_db.Refresh();
        for (qsizetype i = 0; i < clip->Count(); ++i) {
            const std::unique_ptr<TKatalogDBClipBoardMergeObj> merge =
                clip->MergeObj(i, m_settings.prices);
            if (!merge)
                continue;
            const QString nr = askNumber(merge->ArtikelNr);
            if (nr.isEmpty())
                continue;
            std::unique_ptr<TLagerServerObj> record = BuildStockArticle(*merge, nr, m_settings);
            if (!m_hooks.showArticleWindow || !m_hooks.showArticleWindow(*record))
                continue;
            if (m_db.BookArticle(
                    *record, TLagerBuchung::Change(TLagerBuchung::Import, record->LagerArtikelNr, 0,
                                                   record->BuchungsBestand, DateTime::now(),
                                                   TLagerBuchung::CurrentUser())) != 0)
                continue;
            if (m_hooks.updateArticle)
                m_hooks.updateArticle(*record);
            last = record->LagerArtikelNr;
            ++saved;
        }
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, QString::fromUtf8(e.what()), nullptr, &e);
    }
    if (!last.isEmpty() && m_hooks.gotoArticle)
        m_hooks.gotoArticle(last);
    return saved;
}

int KatalogTransfer::ImportCatalog()
{
    if (!mayCreate())
        return -1;
    if (ShowMessageBox(
            tx("Die Artikel-Nr. des Lagerartikels wird gleich der Katalog-Artikel-Nr. gesetzt.") +
                u'\n' +
                tx("Bereits vorhandene Artikel gleicher Artikel-Nr. werden ohne Warnung "
                   "ueberschrieben."),
            MsgDlgType::Warning, MsgButton::OK | MsgButton::Cancel) != ModalResult::OK)
        return -1;
    const QString catalog = m_hooks.selectCatalog ? m_hooks.selectCatalog() : QString();
    if (catalog.isEmpty())
        return -1;
    if (ShowMessageBoxFmt(tx("Soll wirklich der gesamte Katalog \"%s\" importiert werden.") +
                              u'\n' + tx("Der Vorgang kann nicht rueckgaengig gemacht werden."),
                          {catalog}, MsgDlgType::Confirmation,
                          MsgButton::YesNo) != ModalResult::Yes)
        return -1;
    int written = -1;
    {
        DatabaseLock lock(m_db, m_settings.userFullName);
        if (!lock)
            return -1;
        written = ImportWholeCatalog(catalog);
    }
    if (m_hooks.refreshList)
        m_hooks.refreshList();
    ShowMessageBox(tx("Fertig!"), MsgDlgType::Information, MsgButton::OK);
    return written;
}

int KatalogTransfer::ImportWholeCatalog(const QString &catalog, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    TKatalogDBPoolItem *item = m_pool.GetItem(catalog, true);
    if (!item || (item->Kind != kkSimple && item->Kind != kkDatanorm)) {
        ShowMessageBoxFmt(tx("Katalog \"%s\" nicht gefunden."), {catalog}, MsgDlgType::Error,
                          MsgButton::OK);
        return -1;
    }
    std::unique_ptr<Progress> progress =
        interaction().progress(tx("Kompletten Katalog importieren"), ArticleCount(*item));
    TTdbDatabase &database = m_db.Database();
    int written = 0;
    int inBatch = 0;
    bool failed = false;
    const double now = DateTime::now();
    const QString user = TLagerBuchung::CurrentUser();
    Settings settings = m_settings;
    if (settings.created == 0)
        settings.created = now;
    TLagerServerObj periods;
    periods.InitPeriods(m_settings.stockDir + u"STDMB.TXT"_s);
    settings.minStockPeriods = periods.MindestBestand;
    m_db.Refresh();
    // Numbers are unique in a catalog: into an empty stock every article is new, and the
    // look-up per article can go.
    const bool emptyStock = m_db.ArticleCount() == 0;
    QElapsedTimer batchClock;
    try {
        IModLagerDBServerObj::BulkWriter writer(m_db);
        WalkCatalog(*item, m_settings.prices, [&](const TKatalogDBClipBoardMergeObj &merge) {
            if (progress->cancelled()) {
                if (cancelled)
                    *cancelled = true;
                return false;
            }
            if (inBatch == 0) {
                database.StartTransaction();
                batchClock.start();
            }
            std::unique_ptr<TLagerServerObj> record =
                BuildStockArticle(merge, merge.ArtikelNr, settings);
            // The overwritten article's stock goes with it; the history row says so, so that
            // the history still adds up to the stored stock.
            double before = 0;
            if (writer.ReplaceArticle(*record, before, !emptyStock) != 0 ||
                writer.AppendBooking(TLagerBuchung::Change(TLagerBuchung::Import, merge.ArtikelNr,
                                                           before, record->BuchungsBestand, now,
                                                           user)) != 0) {
                failed = true;
                return false;
            }
            ++written;
            if (++inBatch >= m_settings.batchSize &&
                batchClock.elapsed() >= m_settings.minBatchMs) {
                database.Commit();
                inBatch = 0;
            }
            progress->step();
            return true;
        });
        // A cancel keeps everything written so far; a failed write gives up its batch.
        if (database.InTransaction()) {
            if (failed) {
                database.Rollback();
                written -= inBatch;
            } else {
                database.Commit();
            }
        }
    } catch (const std::exception &e) {
        if (database.InTransaction()) {
            database.Rollback();
            written -= inBatch;
        }
        ReportMessage(MessageKind::Error, QString::fromUtf8(e.what()), nullptr, &e);
    }
    return written;
}

int KatalogTransfer::TakeArticle(const QString &catalog, const QString &articleNr,
                                 const QString &newNr)
{
    TKatalogDBPoolItem *item = m_pool.GetItem(catalog, true);
    if (!item || (item->Kind != kkSimple && item->Kind != kkDatanorm))
        return -2;
    TKatalogDBClipBoardMergeObj merge;
    try {
        TDatabaseWrapper *db = item->GetDB();
        if (auto *dn = dynamic_cast<TKatalog1DB *>(db)) {
            TKatalog1Artikel a;
            a.ArtikelNr = articleNr;
            if (articleNr.isEmpty() || dn->ReadArticle(a) != 0)
                return -2;
            a.Katalog = item->CatalogName;
            merge.LoadFrom(a, m_settings.prices);
        } else if (auto *simple = dynamic_cast<TKatalog2DB *>(db)) {
            TKatalog2Artikel a;
            a.ArtikelNr = articleNr;
            if (articleNr.isEmpty() || simple->ReadArticle(a) != 0)
                return -2;
            a.Katalog = item->CatalogName;
            merge.LoadFrom(a, m_settings.prices);
        }
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, QString::fromUtf8(e.what()), nullptr, &e);
        return -1;
    }
    const QString nr = (newNr.isEmpty() ? merge.ArtikelNr : newNr).trimmed();
    if (nr.isEmpty() || nr.size() > kMaxNumberLength)
        return -1;
    DatabaseLock lock(m_db, m_settings.userFullName);
    if (!lock)
        return -1;
    m_db.Refresh();
    if (m_db.ArticleExists(nr) != 0) {
        ShowMessageBoxFmt(tx("Der Artikel \"%s\" existiert bereits."), {nr}, MsgDlgType::Error,
                          MsgButton::OK);
        return -1;
    }
    std::unique_ptr<TLagerServerObj> record = BuildStockArticle(merge, nr, m_settings);
    return m_db.BookArticle(*record, TLagerBuchung::Change(TLagerBuchung::Import, nr, 0,
                                                           record->BuchungsBestand, DateTime::now(),
                                                           TLagerBuchung::CurrentUser()));
}
