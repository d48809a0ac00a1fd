#include "catalogs/katalog2db.h"
#include "tests/cli/lagerprogram.h"
#include "tools/suitegen/datanormgenerator.h"

using namespace Qt::StringLiterals;

namespace
{
int simpleCatalogSize(const QString &dir)
{
    TKatalog2DB db;
    db.Open(dir);
    return db.Table().RecordCount();
}
} // namespace

TEST_F(LagerProgram, CatalogTakeExitCodes)
{
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{u"MUELLER"_s, u"D0000001"_s}, 0},
        {{u"MUELLER"_s, u"D0000001"_s}, 5}, // the number is taken now
        {{u"mueller"_s, u"D0000001"_s, u"--number"_s, u"  NEU-1 "_s}, 0},
        {{u"KOEHLER"_s, u"K0000002"_s}, 0},
        {{u"KOEHLER"_s, u"D0000002"_s}, 3},
        {{u"LAGER"_s, u"K0000002"_s}, 3},
        {{u"KOEHLER"_s}, 1},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(
            expect(c.exitCode, QStringList{u"catalog"_s, u"take"_s} + c.args).out.isEmpty());
    const QJsonObject taken = getJson(u"NEU-1"_s);
    EXPECT_EQ(taken[u"Katalog"_s].toString(), u"MUELLER"_s);
    EXPECT_EQ(getJson(u"K0000002"_s)[u"Katalog"_s].toString(), u"KOEHLER"_s);
}

TEST_F(LagerProgram, CatalogTakeAllCountsWhatItWrote)
{
    const QString koehler = file(u"DATA/DEMO/KATALOGE/KOEHLER"_s);
    const int size = simpleCatalogSize(koehler);
    ASSERT_GT(size, 0);
    EXPECT_TRUE(expect(3, {u"catalog"_s, u"take-all"_s, u"NIRGENDS"_s}).out.isEmpty());
    // Twice: the second time every article is overwritten and counted again. What is written
    // is the whole-catalog transfer's own test.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(expect(0, {u"catalog"_s, u"take-all"_s, u"KOEHLER"_s}).out,
                  QByteArray::number(size) + '\n');
}

// Which names, directories and broken deliveries are refused is the import's business; here
// one run per exit code, and a refused catalog is not created.
TEST_F(LagerProgram, ImportDatanormExitCodes)
{
    const QString delivery = file(u"LIEFERUNG"_s);
    QString error;
    ASSERT_TRUE(DatanormGenerator::GenerateDelivery(delivery, 25, 3, &error)) << qPrintable(error);
    const struct {
        QStringList args;
        int exitCode;
        QByteArray out;
        QString err; // a part of it
    } cases[] = {
        {{delivery, u"--name"_s, u"../GH"_s}, 1, {}, u"Katalogname \"../GH\""_s},
        {{delivery, u"--name"_s, u"KOEHLER"_s}, 5, {}, u"\"KOEHLER\" ist kein DATANORM-Katalog"_s},
        {{delivery, u"--name"_s, u"gh"_s, u"--supplier"_s, u"70003"_s}, 0, "25\t0\t0\n", {}},
    };
    for (const auto &c : cases) {
        const Outcome r =
            expect(c.exitCode, QStringList{u"catalog"_s, u"import-datanorm"_s} + c.args);
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(r.err.contains(c.err)) << qPrintable(r.err);
    }
    EXPECT_FALSE(QFileInfo::exists(file(u"DATA/DEMO/KATALOGE/KOEHLER/CATALOG.DAT"_s)));
}
