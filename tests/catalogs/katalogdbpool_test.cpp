#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/catalogs/catalogtesthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using CatalogTest::catalogDir;

namespace
{

struct Tree {
    QTemporaryDir tmp;
    QString base = tmp.filePath(u"KATALOGE"_s);
    QString stock = tmp.filePath(u"LAGER"_s);
    Tree()
    {
        catalogDir(base + u"/GC"_s, {}, u"1"_s, u"10023_1"_s);
        catalogDir(base + u"/ODD"_s, {}, u"7"_s, u"555"_s);
        catalogDir(base + u"/ELDA"_s, {}, u"2"_s);
        QDir().mkpath(base + u"/.svn"_s);
    }
};

} // namespace

TEST(KatalogDBPool, ItemsFromTheDirectoriesAndTheStockWhichOpensOnce)
{
    Tree t;
    TKatalogDBPool pool(t.base, t.stock, {});
    ASSERT_EQ(pool.Count(), 4);
    EXPECT_EQ(pool.Item(0).CatalogName, u"LAGER"_s);
    EXPECT_EQ(pool.Item(0).Kind, kkStock);
    EXPECT_EQ(pool.Item(1).CatalogName, u"ELDA"_s);
    EXPECT_EQ(pool.Item(1).Kind, kkEldanorm);
    EXPECT_EQ(pool.Item(2).Kind, kkDatanorm);
    EXPECT_EQ(pool.Item(3).Kind, kkSimple); // an unknown type opens as a simple catalog

    EXPECT_EQ(pool.CatalogNameOfSupplier(u"10023"_s), u"GC"_s);
    EXPECT_EQ(pool.CatalogNameOfSupplier(u"10023_7"_s), u"GC"_s);
    EXPECT_EQ(pool.CatalogNameOfSupplier(u"1002"_s), QString());

    EXPECT_EQ(pool.GetItem(u"  "_s, true), nullptr);
    EXPECT_EQ(pool.GetItem(u"NEW"_s, true), nullptr); // no directory
    catalogDir(t.base + u"/NEW"_s, {}, u"0"_s);
    EXPECT_EQ(pool.GetItem(u"NEW"_s, false), nullptr);
    ASSERT_NE(pool.GetItem(u"new"_s, true), nullptr);
    EXPECT_EQ(pool.GetItem(u"NEW"_s, false)->Kind, kkSimple);
    EXPECT_EQ(pool.Count(), 5);

    // The stock opens once under any spelling.
    TDatabaseWrapper *db = pool.GetDB(u"  lager "_s, false);
    ASSERT_NE(db, nullptr);
    EXPECT_NE(dynamic_cast<IModLagerDBServerObj *>(db), nullptr);
    EXPECT_TRUE(db->IsOpen());
    EXPECT_TRUE(QFileInfo::exists(t.stock + u"/LAGER.DAT"_s));
    EXPECT_EQ(pool.GetDB(u"LAGER"_s, true), db);
}
