#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Simple and DATANORM catalogs are kinds this program knows: they must not be refused as
// unknown, but they cannot be opened yet, and the user is told which catalog that is. Only
// ELDANORM stays unknown. Nothing may be created in the catalog directory on the way.
TEST(KatalogDBPool, KnownKindsWithoutTablesAreNamedUnknownKindsRefused)
{
    const struct {
        const char16_t *type;
        quint8 kind;
        bool known;
        const char16_t *label;
    } cases[] = {
        {u"0", kkSimple, true, u"Einfacher Katalog"},
        {u"1", kkDatanorm, true, u"DATANORM-Katalog"},
        {u"7", kkSimple, true, u"Einfacher Katalog"},
        {u"2", kkEldanorm, false, u""},
    };
    QTemporaryDir tmp;
    const QString base = tmp.filePath(u"KATALOGE"_s);
    for (const auto &c : cases) {
        const QString name = u"K"_s + QString::fromUtf16(c.type);
        QDir().mkpath(base + u'/' + name);
        IniFile ini;
        ini.writeString(u"Catalog"_s, u"Type"_s, QString::fromUtf16(c.type));
        ASSERT_TRUE(ini.saveAs(base + u'/' + name + u"/SUPPLIER.INI"_s));
    }
    TKatalogDBPool pool(base, tmp.filePath(u"LAGER"_s), {});
    for (const auto &c : cases) {
        const QString name = u"K"_s + QString::fromUtf16(c.type);
        SCOPED_TRACE(name.toStdString());
        ASSERT_NE(pool.GetItem(name, false), nullptr);
        EXPECT_EQ(pool.GetItem(name, false)->Kind, c.kind);
        try {
            pool.GetDB(name, false);
            ADD_FAILURE() << "opened";
        } catch (const CatalogNotAvailable &e) {
            EXPECT_TRUE(c.known) << e.what();
            EXPECT_EQ(e.message(),
                      u"Der Katalog \""_s + name + u"\" ("_s + QString::fromUtf16(c.label) +
                          u") kann von diesem Programm noch nicht geoeffnet werden."_s);
        } catch (const EngineError &e) {
            EXPECT_FALSE(c.known) << e.what();
            EXPECT_EQ(e.message(), u"Unbekannter Katalogtyp: TKatalogDBPoolItem.GetDB"_s);
        }
        EXPECT_EQ(pool.GetItem(name, false)->OpenedDB(), nullptr);
        EXPECT_EQ(QDir(base + u'/' + name).entryList(QDir::Files), QStringList{u"SUPPLIER.INI"_s});
    }
}
