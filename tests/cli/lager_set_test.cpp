#include "tests/cli/lagerprogram.h"
#include "tests/support/lockholders.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace
{

class LagerSet : public LagerProgram
{
protected:
    // Number -> the list's row as JSON, for every article.
    QHash<QString, QJsonObject> rows()
    {
        const Outcome r = expect(0, {u"list"_s, u"--format"_s, u"json"_s});
        QHash<QString, QJsonObject> out;
        for (const QJsonValue &v : QJsonDocument::fromJson(r.out).array())
            out.insert(v[u"LagerArtikelNr"_s].toString(), v.toObject());
        return out;
    }
};

} // namespace

TEST_F(LagerSet, SetsOneColumnOfTheChosenArticles)
{
    const QHash<QString, QJsonObject> before = rows();
    QStringList nr = before.keys();
    nr.sort();
    const QByteArray xml = lager({u"article"_s, u"get"_s, nr[0], u"--format"_s, u"xml"_s}).out;

    EXPECT_EQ(expect(0, {u"set"_s, u"Lagerort"_s, u"R14-F08"_s, nr[0], u" "_s + nr[1], nr[0]}).out,
              "2\n");
    expect(0, {u"set"_s, u"rabattgruppe"_s, u"RG5"_s, nr[1]}); // the field name in any case

    QHash<QString, QJsonObject> after = rows();
    EXPECT_EQ(after[nr[0]][u"Lagerort"_s].toString(), u"R14-F08"_s);
    EXPECT_EQ(after[nr[1]][u"Lagerort"_s].toString(), u"R14-F08"_s);
    EXPECT_EQ(after[nr[1]][u"Rabattgruppen"_s].toString(), u"RG5"_s);
    EXPECT_EQ(after[nr[0]][u"Rabattgruppen"_s], before[nr[0]][u"Rabattgruppen"_s]);
    for (const QString &n : nr.mid(2))
        EXPECT_EQ(after[n], before[n]) << qPrintable(n);
    // The article's own text, change stamp included, is the one it had.
    EXPECT_EQ(lager({u"article"_s, u"get"_s, nr[0], u"--format"_s, u"xml"_s}).out, xml);

    // By the list's filters: every article of a group loses its group.
    const QString group = before[nr[0]][u"Gruppe"_s].toString();
    qsizetype inGroup = 0;
    for (const QJsonObject &o : before)
        inGroup += o[u"Gruppe"_s].toString() == group;
    EXPECT_EQ(expect(0, {u"set"_s, u"Gruppe"_s, u"--clear"_s, u"--in-group"_s, group}).out,
              QByteArray::number(inGroup) + '\n');
    after = rows();
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(after[it.key()][u"Gruppe"_s].toString(),
                  it.value()[u"Gruppe"_s].toString() == group ? QString()
                                                              : it.value()[u"Gruppe"_s].toString());
}

TEST_F(LagerSet, RefusesWhatItCannotSetAndChangesNothing)
{
    QStringList nr = rows().keys();
    nr.sort();
    const QHash<QString, QJsonObject> before = rows();
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{u"Lagerort"_s, u"R99-F99"_s, nr[0]}, 5},                        // not in the list
        {{u"Rabattgruppe"_s, u"Armaturen"_s, nr[0]}, 5},                  // a text, not the key
        {{u"Lagerort"_s, u" "_s, nr[0]}, 5},                              // emptying is --clear
        {{u"Lagerort"_s, u"R01-F01"_s, nr[0], u"NICHTDA"_s}, 3},          // all or none
        {{u"Bezeichnung"_s, u"X"_s, nr[0]}, 1},                           // not a list field
        {{u"Lagerort"_s, u"R01-F01"_s}, 1},                               // no article chosen
        {{u"Lagerort"_s, u"R01-F01"_s, nr[0], u"--search"_s, u"x"_s}, 1}, // both ways at once
        {{u"Lagerort"_s}, 1},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(expect(c.exitCode, QStringList{u"set"_s} + c.args).err.isEmpty());
    EXPECT_EQ(rows(), before);
}

TEST_F(LagerSet, WaitsForTheDatabaseLockThenGivesUp)
{
    const QString nr = firstArticle();
    const QHash<QString, QJsonObject> before = rows();
    FileLockHolder colleague(stockDir() + u"/LOCKDB.SRW"_s, u"Kollege"_s);
    ASSERT_TRUE(colleague.holding());
    const Outcome r = expect(4, {u"set"_s, u"Lagerort"_s, u"--clear"_s, nr});
    EXPECT_TRUE(r.err.contains(u"Kollege"_s)) << qPrintable(r.err);
    EXPECT_EQ(rows(), before);
}
