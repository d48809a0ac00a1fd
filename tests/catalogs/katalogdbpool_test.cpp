#include "base/inifile.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/ukatkatalogtypehelper.h"
#include "persistence/engine/engineerror.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/catalogs/catalogtesthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using CatalogTest::catalogDir;

// A directory's tables decide before its description. Without a description a directory that
// holds no catalog table (a stock among them) is no catalog, and opening it must leave it bare;
// with one, simple catalogs and every unknown type open as TKatalog2DB, DATANORM as
// TKatalog1DB, and only ELDANORM is refused as an unknown kind.
TEST(KatalogDBPool, TablesOrTheDescriptionDecideTheKindAndHowItOpens)
{
    constexpr int any = -1;
    const struct {
        const char *name;
        QStringList markers;
        QString type;
        int ofDirectory;       // what the directory alone says; any: not looked at
        quint8 kind;           // the pool's
        const char16_t *table; // created on opening; empty: refused; null: not opened
    } cases[] = {
        {"LEER", {}, {}, kkNone, kkNone, u""},
        {"FREMD", {u"NOTIZEN.TXT"_s}, {}, kkNone, kkNone, u""},
        {"ZWEITLAGER", {u"LAGER.DAT"_s}, {}, kkStock, kkNone, u""},
        {"BEIDE", {u"CATALOG.DAT"_s, u"LAGER.DAT"_s}, {}, kkStock, kkNone, u""},
        {"EINFACH", {u"SCATALOG.DAT"_s, u"ECATALOG.DAT"_s}, {}, kkSimple, kkSimple, nullptr},
        {"DN", {u"CATALOG.DAT"_s}, {}, kkDatanorm, kkDatanorm, nullptr},
        {"ELDA", {u"ECATALOG.DAT"_s}, {}, kkEldanorm, kkEldanorm, u""},
        {"K0", {}, u"0"_s, any, kkSimple, u"SCATALOG.DAT"},
        {"K1", {}, u"1"_s, any, kkDatanorm, u"CATALOG.DAT"},
        {"K7", {}, u"7"_s, 7, kkSimple, u"SCATALOG.DAT"}, // unknown kinds are not listed
        {"K2", {}, u"2"_s, kkEldanorm, kkEldanorm, u""},
        {"KX", {}, u"x"_s, kkNone, kkSimple, u"SCATALOG.DAT"},
    };
    QTemporaryDir tmp;
    const QString base = tmp.path() + u'/';
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(base + u"FEHLT"_s), kkNone);
    for (const auto &c : cases)
        catalogDir(base + QString::fromLatin1(c.name), c.markers, c.type);
    TKatalogDBPool pool(base, base + u"LAGER"_s, {});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString dir = base + QString::fromLatin1(c.name);
        if (c.ofDirectory != any) {
            EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(dir), c.ofDirectory);
        }
        TKatalogDBPoolItem *item = pool.GetItem(QString::fromLatin1(c.name), false);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Kind, c.kind);
        if (!c.table)
            continue;
        const QStringList before = QDir(dir).entryList(QDir::Files);
        const QString table = QString::fromUtf16(c.table);
        if (table.isEmpty()) {
            EXPECT_THROW(pool.GetDB(QString::fromLatin1(c.name), false), EngineError);
            EXPECT_EQ(item->OpenedDB(), nullptr);
            EXPECT_EQ(QDir(dir).entryList(QDir::Files), before);
            continue;
        }
        TDatabaseWrapper *db = pool.GetDB(QString::fromLatin1(c.name), false);
        ASSERT_NE(db, nullptr);
        EXPECT_TRUE(db->IsOpen());
        EXPECT_EQ(dynamic_cast<TKatalog1DB *>(db) != nullptr, c.kind == kkDatanorm);
        EXPECT_EQ(dynamic_cast<TKatalog2DB *>(db) != nullptr, c.kind == kkSimple);
        EXPECT_TRUE(QFileInfo::exists(dir + u'/' + table));
    }
    try {
        pool.GetDB(u"K2"_s, false);
    } catch (const EngineError &e) {
        EXPECT_EQ(e.message(), u"Unbekannter Katalogtyp: TKatalogDBPoolItem.GetDB"_s);
    }
}

TEST(KatalogDBPool, ItemsFromTheDirectoriesAndTheStockWhichOpensOnce)
{
    QTemporaryDir tmp;
    const QString base = tmp.filePath(u"KATALOGE"_s), stock = tmp.filePath(u"LAGER"_s);
    catalogDir(base + u"/GC"_s, {}, u"1"_s, u"10023_1"_s);
    catalogDir(base + u"/ODD"_s, {}, u"7"_s, u"555"_s);
    catalogDir(base + u"/ELDA"_s, {}, u"2"_s);
    QDir().mkpath(base + u"/.svn"_s);
    TKatalogDBPool pool(base, stock, {});
    ASSERT_EQ(pool.Count(), 4);
    EXPECT_EQ(pool.Item(0).CatalogName, u"LAGER"_s);
    EXPECT_EQ(pool.Item(0).Kind, kkStock);
    EXPECT_EQ(pool.Item(1).CatalogName, u"ELDA"_s);
    EXPECT_EQ(pool.Item(2).CatalogName, u"GC"_s);

    EXPECT_EQ(pool.CatalogNameOfSupplier(u"10023"_s), u"GC"_s);
    EXPECT_EQ(pool.CatalogNameOfSupplier(u"10023_7"_s), u"GC"_s);
    EXPECT_EQ(pool.CatalogNameOfSupplier(u"1002"_s), QString());

    EXPECT_EQ(pool.GetItem(u"  "_s, true), nullptr);
    EXPECT_EQ(pool.GetItem(u"NEW"_s, true), nullptr); // no directory
    catalogDir(base + u"/NEW"_s, {}, u"0"_s);
    EXPECT_EQ(pool.GetItem(u"NEW"_s, false), nullptr);
    ASSERT_NE(pool.GetItem(u"new"_s, true), nullptr);
    EXPECT_EQ(pool.Count(), 5);

    // The stock opens once under any spelling.
    TDatabaseWrapper *db = pool.GetDB(u"  lager "_s, false);
    ASSERT_NE(db, nullptr);
    EXPECT_NE(dynamic_cast<IModLagerDBServerObj *>(db), nullptr);
    EXPECT_TRUE(QFileInfo::exists(stock + u"/LAGER.DAT"_s));
    EXPECT_EQ(pool.GetDB(u"LAGER"_s, true), db);
}

TEST(KatalogTypeHelper, ItemRoundTripKeepsForeignKeys)
{
    QTemporaryDir tmp;
    const QString dir = CatalogTest::catalogDir(tmp.filePath(u"GC"_s));
    TUKATKatalogAuswahlItem item;
    EXPECT_FALSE(TUKATKatalogTypeHelper::LoadItem(item, dir, u"GC"_s, kkDatanorm));
    EXPECT_EQ(item.Kind, kkDatanorm);
    EXPECT_EQ(item.CatalogName, u"GC"_s);

    {
        IniFile ini;
        ini.writeString(u"Supplier"_s, u"ID"_s, u"10023_2"_s);
        ini.writeString(u"Extra"_s, u"Key"_s, u"kept"_s);
        ASSERT_TRUE(ini.saveAs(QDir(dir).filePath(u"SUPPLIER.INI"_s)));
    }
    TUKATKatalogTypeHelper::WriteDescription(dir, u"Großhandel Süd"_s, kkDatanorm);
    ASSERT_TRUE(TUKATKatalogTypeHelper::LoadItem(item, dir, u"GC"_s, kkDatanorm));
    EXPECT_EQ(item.SupplierID, u"10023"_s); // cut at the sub-number
    EXPECT_EQ(item.Description, u"Großhandel Süd"_s);

    item.SupplierInfo = u"Müller & Co."_s;
    item.OnlineDNFileAccesstype = 2;
    item.OnlineSimpleLoginEnabled = true;
    item.OnlineDNParam2Txt = u"Kunde"_s;
    ASSERT_TRUE(TUKATKatalogTypeHelper::SaveItem(item, dir));
    TUKATKatalogAuswahlItem again;
    ASSERT_TRUE(TUKATKatalogTypeHelper::LoadItem(again, dir, u"GC"_s, kkDatanorm));
    EXPECT_EQ(again, item);
    EXPECT_EQ(IniFile(QDir(dir).filePath(u"SUPPLIER.INI"_s)).readString(u"Extra"_s, u"Key"_s),
              u"kept"_s);
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(dir), kkDatanorm);
}
