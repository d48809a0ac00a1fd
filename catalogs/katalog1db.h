#pragma once

#include "catalogs/katalog1artikel.h"
#include "catalogs/katalogpreiseinstellungen.h"
#include "persistence/databasewrapper.h"

#include <QLatin1StringView>
#include <QString>
#include <functional>

class TTdbTable;

// A DATANORM catalog: the articles (CATALOG) with their long-text blocks, sets, graphics,
// discount groups, goods groups and the net-price surcharge table. This program only reads
// them; the writers are public for the tools that build catalogs.
class TKatalog1DB : public TDatabaseWrapper
{
public:
    static constexpr QLatin1StringView kCatalog{"CATALOG"};
    static constexpr QLatin1StringView kLangtext{"CATALOGLT"};
    static constexpr QLatin1StringView kSet{"CATALOGSET"};
    static constexpr QLatin1StringView kGraphics{"CATALOGGS"};
    static constexpr QLatin1StringView kDiscountGroups{"CATALOGRAB"};
    static constexpr QLatin1StringView kGoodsGroups{"CATALOGWRG"};
    static constexpr QLatin1StringView kSurcharges{"CATALOGVERK"};
    static constexpr QLatin1StringView kIndexId{"CATALOG001"};

    explicit TKatalog1DB(ErrorCallback onError = {});
    ~TKatalog1DB() override;
    QString ClassName() const override { return QStringLiteral("TKatalog1DB"); }

    TTdbTable &Catalog() const { return *m_catalog; }
    TTdbTable &Langtexte() const { return *m_langtext; }
    TTdbTable &Graphics() const { return *m_graphics; }
    TTdbTable &DiscountGroups() const { return *m_discountGroups; }
    TTdbTable &GoodsGroups() const { return *m_goodsGroups; }
    TTdbTable &Surcharges() const { return *m_surcharges; }
    TTdbTable &Sets() const { return *m_sets; }

    // 0 read with long text, sales surcharge and graphics; 1 not in the catalog (the article
    // keeps only its number); -1 the article table is not open. An empty number reads the
    // current row.
    int ReadArticle(TKatalog1Artikel &article);
    // The columns and XMLDATA of the current row, nothing looked up.
    void ReadCurrentRow(TKatalog1Artikel &article);
    // Every article in the order of its number, read as a row only: the columns a merge record
    // takes from it, no XMLDATA, long text, surcharge or graphics. The article handed to visit
    // is the same object each time; visit returns false to stop, and so does this then.
    bool ScanRows(const std::function<bool(TKatalog1ArtikelDaten &)> &visit);
    QString CurrentArticleNr();
    // "VKZUSCHLAG" of the discount group; 0 when missing or unreadable.
    double SurchargeOfGroup(const QString &group);
    // "AUFSCHLAG" of the first bound at or above the net price; 0 above every bound or for a
    // negative price.
    double SurchargeOfNet(double net);
    // Stands on the first article number at or after text; true when it is that number.
    bool GoTo(const QString &text);
    // A long-text block; empty when missing.
    QString Baustein(const QString &nr, int type);
    // Sales price 1 as the transfer computes it; uses Prices.
    TKatalogPreisEinstellungen Prices = TKatalogPreisEinstellungen::FromSystem();

    // The row must be in edit or insert state.
    void WriteRow(TKatalog1Artikel &article);
    static void DefineTables(TTdbTable &table);

protected:
    void DefineTable(TTdbTable &table) override { DefineTables(table); }
    void CreateTableObjects() override;
    void SelectIndexes() override;
    void UpgradeTable() override {}

private:
    void loadGraphics(TKatalog1Artikel &article);

    TTdbTable *m_catalog = nullptr;
    TTdbTable *m_langtext = nullptr;
    TTdbTable *m_sets = nullptr;
    TTdbTable *m_graphics = nullptr;
    TTdbTable *m_discountGroups = nullptr;
    TTdbTable *m_goodsGroups = nullptr;
    TTdbTable *m_surcharges = nullptr;
};
