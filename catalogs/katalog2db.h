#pragma once

#include "catalogs/katalog2artikel.h"
#include "catalogs/katalogpreiseinstellungen.h"
#include "persistence/databasewrapper.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class TTdbTable;

// What the result list of a simple catalog's search shows of one hit.
struct TSearchtextResultKatalog2 {
    QString ArtikelNr;
    QString Beschreibung;
    Money EK;
    double Rabatt = 0;
    Money Netto;
    Money VKPreis1; // net price times the sales factor, without VAT
    std::array<Money, 4> VKPreise{};
    QString ME;
};

// A simple catalog: the one article table SCATALOG. Older tables get the columns and indexes
// they lack when opened.
class TKatalog2DB : public TDatabaseWrapper
{
public:
    static constexpr QLatin1StringView kTable{"SCATALOG"};
    static constexpr QLatin1StringView kIndexId{"SCATALOG001"};
    static constexpr QLatin1StringView kIndexGroup{"SCATALOG002"};
    static constexpr QLatin1StringView kIndexEK{"SCATALOG003"};
    static constexpr QLatin1StringView kIndexEAN{"SCATALOG001EAN"};

    explicit TKatalog2DB(ErrorCallback onError = {});
    ~TKatalog2DB() override;
    QString ClassName() const override { return QStringLiteral("TKatalog2DB"); }

    TTdbTable &Table() const { return *m_table; }
    // Rounding and gross prices for sales price 1; the running program's settings by default.
    TKatalogPreisEinstellungen Prices = TKatalogPreisEinstellungen::FromSystem();

    // 0 read, 1 no such article, -1 table not open. An empty number reads the current row.
    int ReadArticle(TKatalog2Artikel &article);
    QString CurrentArticleNr();
    bool Exists(const QString &nr);
    // Stands on the first article number at or after text.
    void GoTo(const QString &text);
    // The article number of an EAN, empty when none has it. Throws the engine's error when the
    // table lacks the EAN index.
    QString ArticleNrOfEAN(const QString &ean);
    // One result per number found, in the order given.
    std::vector<TSearchtextResultKatalog2> SearchResults(const QStringList &numbers);
    // Fills a search result from the current row.
    void ReadResultRow(TSearchtextResultKatalog2 &result);

    // Row mapping without EAN and goods group, which the article does not carry; the row must
    // be in edit or insert state. Public for tools that build catalogs.
    void WriteRow(TKatalog2Artikel &article);
    void ReadRow(TKatalog2Artikel &article);
    static void DefineCatalogTable(TTdbTable &table);

protected:
    void DefineTable(TTdbTable &table) override;
    void CreateTableObjects() override;
    void SelectIndexes() override;
    void UpgradeTable() override;

private:
    TTdbTable *m_table = nullptr;
};
