#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/searchtextmanager.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/cataloggenerator.h"
#include "tools/suitegen/stockassortment.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 60;

// The two catalogs of a generated installation, under a pool as the program opens them.
struct GeneratedCatalogs : ::testing::Test {
    QTemporaryDir tmp;
    QString base = tmp.path() + u"/KATALOGE/"_s;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(CatalogGenerator::GenerateCatalogs(base, kArticles, 7, &error))
            << error.toStdString();
    }
};
} // namespace

TEST_F(GeneratedCatalogs, ThePoolFindsBothKindsWithTheirSuppliers)
{
    TKatalogDBPool pool(base, tmp.path() + u"/LAGER"_s, {});
    EXPECT_EQ(pool.CatalogNameOfSupplier(u"70001"_s), u"MUELLER"_s);
    EXPECT_EQ(pool.CatalogNameOfSupplier(u"70002"_s), u"KOEHLER"_s);
    EXPECT_EQ(pool.GetItem(u"MUELLER"_s, false)->Kind, kkDatanorm);
    EXPECT_EQ(pool.GetItem(u"KOEHLER"_s, false)->Kind, kkSimple);
    auto *dn = dynamic_cast<TKatalog1DB *>(pool.GetDB(u"MUELLER"_s, false));
    auto *simple = dynamic_cast<TKatalog2DB *>(pool.GetDB(u"KOEHLER"_s, false));
    ASSERT_NE(dn, nullptr);
    ASSERT_NE(simple, nullptr);

    // A pipe: long text with its filled dimension block, the pipes' group surcharge, a picture
    // that lies in IMAGES, sold by the metre and calculated per bar.
    TKatalog1Artikel pipe;
    pipe.ArtikelNr = u"D0000001"_s;
    ASSERT_EQ(dn->ReadArticle(pipe), 0);
    EXPECT_TRUE(pipe.KurzZeile1.startsWith(u"Kupferrohr "_s));
    EXPECT_TRUE(pipe.Langtext.contains(u"Außendurchmesser "_s)) << pipe.Langtext.toStdString();
    EXPECT_FALSE(pipe.Langtext.contains(u'$'));
    EXPECT_DOUBLE_EQ(pipe.VKZuschlag, 30);
    ASSERT_EQ(pipe.AnbindObjekte.Count(), 1);
    EXPECT_TRUE(QFileInfo::exists(base + u"MUELLER/IMAGES/"_s +
                                  pipe.AnbindObjekte.Item(0).Dateiname + u".png"_s));
    EXPECT_TRUE(pipe.MEKalkulationSpezial);
    // A fitting of the discount group without surcharge takes the net-price table's.
    TKatalog1Artikel valve;
    valve.ArtikelNr = u"D0000003"_s;
    ASSERT_EQ(dn->ReadArticle(valve), 0);
    EXPECT_EQ(valve.Rabattgruppe, u"RG3"_s);
    EXPECT_GT(valve.VKZuschlag, 0);

    TKatalog2Artikel k;
    k.ArtikelNr = u"K 0000008"_s;
    ASSERT_EQ(simple->ReadArticle(k), 0);
    EXPECT_FALSE(k.Langtext.isEmpty());
    EXPECT_EQ(simple->ArticleNrOfEAN(StockAssortment::Ean13(u"420000000007"_s)), k.ArtikelNr);
}

TEST_F(GeneratedCatalogs, UmlautDescriptionsAreFoundSpelledEitherWay)
{
    TKatalog2DB db;
    db.Open(base + u"KOEHLER"_s);
    TSearchtextManager m(base + u"KOEHLER"_s);
    ASSERT_TRUE(m.Search(u"röhrenheizkörper"_s, false, true));
    const QStringList hits = m.Results();
    EXPECT_EQ(hits.size(), (kArticles + 8) / 12); // every twelfth article from the fourth
    ASSERT_TRUE(m.Search(u"ROEHRENHEIZKOERPER"_s, false, true));
    EXPECT_EQ(m.Results(), hits);
    for (const TSearchtextResultKatalog2 &r : db.SearchResults(hits))
        EXPECT_TRUE(r.Beschreibung.startsWith(u"Röhrenheizkörper "_s)) << r.ArtikelNr.toStdString();

    // A number with a blank is found by its words and comes back with the blank.
    ASSERT_TRUE(m.Search(u"k 0000008"_s, false, false));
    EXPECT_GE(m.Position(u"K 0000008"_s, true), 0);
}

// The index files' encoding is the index writer's, tested with it; the generator brings the
// synonyms a DATANORM supplier delivers.
TEST_F(GeneratedCatalogs, TheDatanormSynonymsWork)
{
    TSearchtextManager m(base + u"MUELLER"_s, base + u"MUELLER/STXSYNONYM.TXT"_s);
    ASSERT_TRUE(m.Search(u"kugelhahn"_s, true, false));
    const QStringList valves = m.Results();
    EXPECT_EQ(valves.size(), (kArticles + 9) / 12);
    ASSERT_TRUE(m.Search(u"absperrhahn"_s, true, false));
    EXPECT_EQ(m.Results(), valves);
}
