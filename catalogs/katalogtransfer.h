#pragma once

#include "catalogs/katalogdbclipboard.h"
#include "catalogs/katalogdbclipboardmergeobj.h"
#include "catalogs/katalogpreiseinstellungen.h"

#include <QString>
#include <functional>
#include <optional>
#include <memory>

class IModLagerDBServerObj;
class TKatalogDBPool;
class TKatalogDBPoolItem;
class TLagerServerObj;

// Catalog articles into the stock: single chosen articles, each confirmed and edited, or a
// whole catalog unattended. Questions go through the interaction; the windows (article
// selection, catalog selection, article editor) and the stock list only through the hooks,
// so that the flows run without a window.
class KatalogTransfer
{
public:
    // Articles committed per transaction of the whole-catalog import: other workstations can
    // read between two batches, and a cancel keeps what was committed.
    static constexpr int kBatchSize = 1000;

    struct Settings {
        QString catalogBaseDir; // with trailing separator
        QString stockDir;       // with trailing separator; holds STDMB.TXT
        QString imagesDir;      // the stock's pictures; with trailing separator
        QString userFullName;   // stamped as creator and shown to whoever waits for our lock
        QString fontName = QStringLiteral("Arial");
        int fontSize = 8;
        TKatalogPreisEinstellungen prices;
        int batchSize = kBatchSize;
        // A batch also lasts at least this long: each commit waits for the disk, and a fast
        // machine would otherwise spend the import on them. Readers wait no longer than that.
        int minBatchMs = 0;
        // Set by the whole-catalog import, which builds every article alike: the minimum-stock
        // period template read once, and one creation time (a given one is kept). Unset: read
        // and taken per article.
        std::optional<QStringList> minStockPeriods;
        double created = 0;
        // The running program's directories, text font and price settings; batches of at
        // least 250 ms.
        static Settings FromSystem();
    };
    struct Hooks {
        // The article selection window; null or empty when the user chose nothing.
        std::function<std::unique_ptr<TKatalogDBClipBoard>(const QString &caption)> selectArticles;
        // The catalog selection without the stock; empty when none was chosen.
        std::function<QString()> selectCatalog;
        // The article editor on a new record; true when the user saved.
        std::function<bool(TLagerServerObj &record)> showArticleWindow;
        std::function<void(const TLagerServerObj &)> updateArticle;
        std::function<void(const QString &nr)> gotoArticle;
        std::function<void()> refreshList;
    };

    KatalogTransfer(TKatalogDBPool &pool, IModLagerDBServerObj &db, Settings settings,
                    Hooks hooks = {});

    // "Katalogartikel importieren"; the number of articles saved.
    int ImportArticles();
    // "Kompletten Katalog importieren"; the number of articles written, -1 when it did not
    // start.
    int ImportCatalog();
    // The whole-catalog loop itself, without the questions before it; the database lock is
    // the caller's. Returns the number written; cancelled tells whether the user stopped it.
    int ImportWholeCatalog(const QString &catalog, bool *cancelled = nullptr);
    // One article as ImportArticles builds it, written without the editor. 0 written; -2 no
    // such article in the catalog; -1 failure (reported) or the number is taken.
    int TakeArticle(const QString &catalog, const QString &articleNr, const QString &newNr);

    // A stock article as both commands build it from a merge record; pictures are copied into
    // the stock's image directory on the way.
    static std::unique_ptr<TLagerServerObj> BuildStockArticle(const TKatalogDBClipBoardMergeObj &m,
                                                              const QString &nr,
                                                              const Settings &settings);
    // Every article of the catalog in the order of its number. DATANORM rows are read as
    // rows only (no long text, no surcharge, no graphics): the whole-catalog import takes
    // the net price as sale price. visit returns false to stop; false when the catalog could
    // not be opened or visit stopped.
    static bool WalkCatalog(TKatalogDBPoolItem &item, const TKatalogPreisEinstellungen &prices,
                            const std::function<bool(const TKatalogDBClipBoardMergeObj &)> &visit);
    // The catalog's article count; 0 when it cannot be opened.
    static int ArticleCount(TKatalogDBPoolItem &item);
    // Plain text in the editor's stored form (the HTML it keeps), in the given font.
    static QString FormattedText(const QString &plain, const QString &font, int size);

private:
    bool mayCreate() const;
    // Asks for the stock number of a chosen article; empty skips it.
    QString askNumber(const QString &proposal);

    TKatalogDBPool &m_pool;
    IModLagerDBServerObj &m_db;
    Settings m_settings;
    Hooks m_hooks;
};
