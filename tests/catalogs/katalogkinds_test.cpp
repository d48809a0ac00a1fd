#include "base/inifile.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Simple catalogs (and every unknown type) open as TKatalog2DB, DATANORM catalogs as
// TKatalog1DB; only ELDANORM is refused as an unknown kind, and then nothing is created in its
// directory.
TEST(KatalogDBPool, KnownKindsOpenWithTheirTablesUnknownKindsRefused)
{
    const struct {
        const char16_t *type;
        quint8 kind;
        const char16_t *marker; // empty: refused
    } cases[] = {
        {u"0", kkSimple, u"SCATALOG.DAT"},
        {u"1", kkDatanorm, u"CATALOG.DAT"},
        {u"7", kkSimple, u"SCATALOG.DAT"},
        {u"2", kkEldanorm, u""},
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
        const QString marker = QString::fromUtf16(c.marker);
        SCOPED_TRACE(name.toStdString());
        ASSERT_NE(pool.GetItem(name, false), nullptr);
        EXPECT_EQ(pool.GetItem(name, false)->Kind, c.kind);
        if (marker.isEmpty()) {
            try {
                pool.GetDB(name, false);
                ADD_FAILURE() << "opened";
            } catch (const EngineError &e) {
                EXPECT_EQ(e.message(), u"Unbekannter Katalogtyp: TKatalogDBPoolItem.GetDB"_s);
            }
            EXPECT_EQ(pool.GetItem(name, false)->OpenedDB(), nullptr);
            EXPECT_EQ(QDir(base + u'/' + name).entryList(QDir::Files),
                      QStringList{u"SUPPLIER.INI"_s});
            continue;
        }
        TDatabaseWrapper *db = pool.GetDB(name, false);
        ASSERT_NE(db, nullptr);
        EXPECT_TRUE(db->IsOpen());
        if (c.kind == kkDatanorm)
            EXPECT_NE(dynamic_cast<TKatalog1DB *>(db), nullptr);
        else
            EXPECT_NE(dynamic_cast<TKatalog2DB *>(db), nullptr);
        EXPECT_TRUE(QFileInfo::exists(base + u'/' + name + u'/' + marker));
    }
}
