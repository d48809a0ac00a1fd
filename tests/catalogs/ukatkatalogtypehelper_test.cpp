#include "base/inifile.h"
#include "catalogs/ukatkatalogtypehelper.h"
#include "tests/catalogs/catalogtesthelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

QString makeDir(const QTemporaryDir &tmp, const QString &name, const QStringList &markers = {})
{
    return CatalogTest::catalogDir(tmp.filePath(name), markers);
}
} // namespace

TEST(KatalogTypeHelper, MarkerFilesDecideBeforeTheDescription)
{
    QTemporaryDir tmp;
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(tmp.filePath(u"missing"_s)), kkNone);
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(makeDir(tmp, u"empty"_s)), kkNone);
    // the stock marker wins over a catalog marker in the same directory
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(
                  makeDir(tmp, u"both"_s, {u"CATALOG.DAT"_s, u"LAGER.DAT"_s})),
              kkStock);
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(
                  makeDir(tmp, u"simple"_s, {u"SCATALOG.DAT"_s, u"ECATALOG.DAT"_s})),
              kkSimple);
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(makeDir(tmp, u"dn"_s, {u"CATALOG.DAT"_s})),
              kkDatanorm);
    const QString typed = makeDir(tmp, u"typed"_s);
    CatalogTest::catalogDir(typed, {}, u"7"_s);
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(typed), 7); // unknown kinds stay unknown
    CatalogTest::catalogDir(typed, {}, u"x"_s);
    EXPECT_EQ(TUKATKatalogTypeHelper::KindOfDirectory(typed), kkNone);
}

TEST(KatalogTypeHelper, ItemRoundTripKeepsForeignKeys)
{
    QTemporaryDir tmp;
    const QString dir = makeDir(tmp, u"GC"_s);
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
