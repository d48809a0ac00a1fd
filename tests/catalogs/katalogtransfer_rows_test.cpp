#include "catalogs/katalog1db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/katalogtransfer.h"
#include "persistence/engine/tdbtable.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/cataloggenerator.h"
#include "tools/suitegen/minstocktemplategenerator.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
// Enough articles for every kind the generator draws, and for more than one page of a walk.
constexpr int kArticles = 60;

// Every column of every stock row, XMLDATA included, in the order of the article number.
QList<QVariantList> stockRows(IModLagerDBServerObj &db)
{
    QList<QVariantList> rows;
    TTdbTable &t = db.LagerTable();
    t.SetIndexName(IModLagerDBServerObj::kArticleIndex);
    for (t.First(); !t.Eof(); t.Next()) {
        QVariantList &row = rows.emplaceBack();
        for (int i = 0; i < t.FieldCount(); ++i)
            row.append(t.Fields(i).AsVariant());
    }
    return rows;
}

// The catalog as the whole-catalog import may read it: rows without their XMLDATA (the long
// text lines), and none of the long-text blocks, graphics, discount-group and net-price
// surcharges that a full read looks up.
void stripToRows(TKatalog1DB &dn)
{
    for (TTdbTable *side :
         {&dn.Langtexte(), &dn.Graphics(), &dn.DiscountGroups(), &dn.Surcharges()})
        side->EmptyTable();
    TTdbTable &t = dn.Catalog();
    for (t.First(); !t.Eof(); t.Next()) {
        t.Edit();
        t.FieldByName(u"XMLDATA"_s).SetAsString(QString());
        t.Post();
    }
}
} // namespace

// The whole-catalog import reads its rows past the engine's cursor and without parsing the
// article XML. Taking each article of the same catalog, stripped of what a row-only read leaves
// out, through the one-article command must give the very same stock rows, byte for byte: a
// column read wrongly, or a long text, surcharge or picture that slipped in, shows here.
TEST(KatalogTransferRows, WholeCatalogWritesTheRowsTheOneArticleCommandWrites)
{
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    const struct {
        bool fourDecimals;
        bool gross;
    } variants[] = {{false, false}, {true, true}};
    for (const auto &v : variants) {
        SCOPED_TRACE(v.gross ? "gross, four decimals" : "net, cents");
        QTemporaryDir tmp;
        const QString full = tmp.path() + u"/KATALOGE/"_s;
        const QString rows = tmp.path() + u"/ZEILEN/"_s;
        QString error;
        ASSERT_TRUE(CatalogGenerator::GenerateCatalogs(full, kArticles, 11, &error) &&
                    CatalogGenerator::GenerateCatalogs(rows, kArticles, 11, &error))
            << error.toStdString();

        KatalogTransfer::Settings settings;
        settings.userFullName = u"Tester"_s;
        settings.prices = CatalogTest::priceSettings(v.fourDecimals, v.gross);
        settings.created = 46000.5;
        settings.batchSize = 7;
        const auto stock = [&](const QString &name, const QString &base) {
            KatalogTransfer::Settings s = settings;
            s.catalogBaseDir = base;
            s.stockDir = tmp.path() + u'/' + name + u'/';
            s.imagesDir = s.stockDir + u"IMAGES/"_s;
            EXPECT_TRUE(GenerateMinStockTemplate(s.stockDir, &error)) << error.toStdString();
            return s;
        };

        const KatalogTransfer::Settings wholeSettings = stock(u"GANZ"_s, full);
        TKatalogDBPool wholePool(full, wholeSettings.stockDir, {});
        IModLagerDBServerObj whole;
        whole.Open(wholeSettings.stockDir);
        ASSERT_EQ(KatalogTransfer(wholePool, whole, wholeSettings).ImportWholeCatalog(u"MUELLER"_s),
                  kArticles);

        const KatalogTransfer::Settings oneSettings = stock(u"EINZELN"_s, rows);
        TKatalogDBPool onePool(rows, oneSettings.stockDir, {});
        auto *dn = dynamic_cast<TKatalog1DB *>(onePool.GetDB(u"MUELLER"_s, true));
        ASSERT_NE(dn, nullptr);
        stripToRows(*dn);
        IModLagerDBServerObj one;
        one.Open(oneSettings.stockDir);
        KatalogTransfer take(onePool, one, oneSettings);
        const QList<QVariantList> wholeRows = stockRows(whole);
        const int nr = whole.LagerTable().FieldByName(u"LagerArtikelNr"_s).FieldNo();
        for (const QVariantList &row : wholeRows)
            ASSERT_EQ(take.TakeArticle(u"MUELLER"_s, row[nr].toString(), {}), 0);

        const QList<QVariantList> takenRows = stockRows(one);
        ASSERT_EQ(wholeRows.size(), takenRows.size());
        for (qsizetype r = 0; r < takenRows.size(); ++r)
            for (int c = 0; c < whole.LagerTable().FieldCount(); ++c)
                EXPECT_TRUE(wholeRows[r][c] == takenRows[r][c])
                    << whole.LagerTable().Fields(c).FieldName().toStdString() << " of "
                    << takenRows[r][nr].toString().toStdString() << ":\n"
                    << wholeRows[r][c].toString().toStdString() << "\n"
                    << takenRows[r][c].toString().toStdString();
        EXPECT_TRUE(ui.messages.isEmpty());
    }
}
