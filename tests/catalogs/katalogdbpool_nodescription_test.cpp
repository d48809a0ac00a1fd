#include "catalogs/katalogdbpool.h"
#include "persistence/engine/engineerror.h"
#include "tests/catalogs/catalogtesthelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A directory without SUPPLIER.INI: its tables say what it is, and one that holds none is no
// catalog; opening it must leave it as it is.
TEST(KatalogDBPoolWithoutDescription, TablesDecideAndABareDirectoryStaysBare)
{
    const struct {
        const char *name;
        QStringList markers;
        quint8 kind;
    } cases[] = {
        {"LEER", {}, kkNone},
        {"FREMD", {u"NOTIZEN.TXT"_s}, kkNone},
        {"EINFACH", {u"SCATALOG.DAT"_s}, kkSimple},
        {"DN", {u"CATALOG.DAT"_s}, kkDatanorm},
        {"ELDA", {u"ECATALOG.DAT"_s}, kkEldanorm},
        {"ZWEITLAGER", {u"LAGER.DAT"_s}, kkNone},
    };
    QTemporaryDir tmp;
    const QString base = tmp.path() + u"/"_s;
    for (const auto &c : cases)
        CatalogTest::catalogDir(base + QString::fromLatin1(c.name), c.markers);
    TKatalogDBPool pool(base, base + u"LAGER"_s, {});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TKatalogDBPoolItem *item = pool.GetItem(QString::fromLatin1(c.name), false);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Kind, c.kind);
    }
    const QString bare = base + u"LEER"_s;
    EXPECT_THROW(pool.GetDB(u"LEER"_s, false), EngineError);
    EXPECT_TRUE(QDir(bare).isEmpty());
}
