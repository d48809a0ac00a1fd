#include "base/inifile.h"
#include "catalogs/ukatkatalogtypehelper.h"
#include "tests/catalogs/catalogtesthelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
