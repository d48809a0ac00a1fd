#include "catalogs/katalog2db.h"
#include "tests/cli/lagerprogram.h"
#include "tools/suitegen/datanormgenerator.h"

using namespace Qt::StringLiterals;

TEST_F(LagerProgram, CatalogTakeExitCodes)
{
    for (const auto &[line, exitCode] :
         {std::pair{u"MUELLER D0000001"_s, 0}, std::pair{u"MUELLER D0000001"_s, 5}, // taken now
          std::pair{u"KOEHLER K0000002"_s, 0}, std::pair{u"KOEHLER D0000002"_s, 3},
          std::pair{u"LAGER K0000002"_s, 3}, std::pair{u"KOEHLER"_s, 1}})
        EXPECT_TRUE(expect(exitCode, words(u"catalog take "_s + line)).out.isEmpty());
    expect(0, {u"catalog"_s, u"take"_s, u"mueller"_s, u"D0000001"_s, u"--number"_s, u"  NEU-1 "_s});
    EXPECT_EQ(getJson(u"NEU-1"_s)[u"Katalog"_s].toString(), u"MUELLER"_s);
    EXPECT_EQ(getJson(u"K0000002"_s)[u"Katalog"_s].toString(), u"KOEHLER"_s);
}

TEST_F(LagerProgram, CatalogTakeAllCountsWhatItWrote)
{
    TKatalog2DB db;
    db.Open(file(u"DATA/DEMO/KATALOGE/KOEHLER"_s));
    const int size = db.Table().RecordCount();
    ASSERT_GT(size, 0);
    EXPECT_TRUE(expect(3, words(u"catalog take-all NIRGENDS"_s)).out.isEmpty());
    // Twice: the second time every article is overwritten and counted again. What is written
    // is the whole-catalog transfer's own test.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(expect(0, words(u"catalog take-all KOEHLER"_s)).out,
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
        QString options;
        int exitCode;
        QByteArray out;
        QString err; // a part of it
    } cases[] = {
        {u"--name ../GH"_s, 1, {}, u"Katalogname \"../GH\""_s},
        {u"--name KOEHLER"_s, 5, {}, u"\"KOEHLER\" ist kein DATANORM-Katalog"_s},
        {u"--name gh --supplier 70003"_s, 0, "25\t0\t0\n", {}},
    };
    for (const auto &c : cases) {
        const Outcome r =
            expect(c.exitCode,
                   QStringList{u"catalog"_s, u"import-datanorm"_s, delivery} + words(c.options));
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(r.err.contains(c.err)) << qPrintable(r.err);
    }
    EXPECT_FALSE(QFileInfo::exists(file(u"DATA/DEMO/KATALOGE/KOEHLER/CATALOG.DAT"_s)));
}
