#include "tests/cli/lagerprogram.h"

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
        QHash<QString, QJsonObject> out;
        for (const QJsonValue &v :
             QJsonDocument::fromJson(expect(0, words(u"list --format json"_s)).out).array())
            out.insert(v[u"LagerArtikelNr"_s].toString(), v.toObject());
        return out;
    }
    Outcome set(int exitCode, const QStringList &args)
    {
        return expect(exitCode, QStringList{u"set"_s} + args);
    }
};

} // namespace

TEST_F(LagerSet, SetsOneColumnOfTheChosenArticles)
{
    const QHash<QString, QJsonObject> before = rows();
    QStringList nr = before.keys();
    nr.sort();
    const QStringList getXml{u"article"_s, u"get"_s, nr[0], u"--format"_s, u"xml"_s};
    const QByteArray xml = lager(getXml).out;

    EXPECT_EQ(set(0, {u"Lagerort"_s, u"R14-F08"_s, nr[0], u" "_s + nr[1], nr[0]}).out, "2\n");
    set(0, {u"rabattgruppe"_s, u"RG5"_s, nr[1]}); // the field name in any case
    QHash<QString, QJsonObject> after = rows();
    EXPECT_EQ(after[nr[0]][u"Lagerort"_s].toString(), u"R14-F08"_s);
    EXPECT_EQ(after[nr[1]][u"Lagerort"_s].toString(), u"R14-F08"_s);
    EXPECT_EQ(after[nr[1]][u"Rabattgruppen"_s].toString(), u"RG5"_s);
    EXPECT_EQ(after[nr[0]][u"Rabattgruppen"_s], before[nr[0]][u"Rabattgruppen"_s]);
    for (const QString &n : nr.mid(2))
        EXPECT_EQ(after[n], before[n]) << qPrintable(n);
    // The article's own text, change stamp included, is the one it had.
    EXPECT_EQ(lager(getXml).out, xml);

    // By the list's filters: every article of a group loses its group.
    const QString group = before[nr[0]][u"Gruppe"_s].toString();
    qsizetype inGroup = 0;
    for (const QJsonObject &o : before)
        inGroup += o[u"Gruppe"_s].toString() == group;
    EXPECT_EQ(set(0, {u"Gruppe"_s, u"--clear"_s, u"--in-group"_s, group}).out,
              QByteArray::number(inGroup) + '\n');
    after = rows();
    for (auto it = before.begin(); it != before.end(); ++it) {
        const QString was = it.value()[u"Gruppe"_s].toString();
        EXPECT_EQ(after[it.key()][u"Gruppe"_s].toString(), was == group ? QString() : was);
    }
}

TEST_F(LagerSet, RefusesWhatItCannotSetAndChangesNothing)
{
    const QHash<QString, QJsonObject> before = rows();
    const QString nr = firstArticle();
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{u"Lagerort"_s, u"R99-F99"_s, nr}, 5},                        // not in the list
        {{u"Rabattgruppe"_s, u"Armaturen"_s, nr}, 5},                  // a text, not the key
        {{u"Lagerort"_s, u" "_s, nr}, 5},                              // emptying is --clear
        {{u"Lagerort"_s, u"R01-F01"_s, nr, u"NICHTDA"_s}, 3},          // all or none
        {{u"Bezeichnung"_s, u"X"_s, nr}, 1},                           // not a list field
        {{u"Lagerort"_s, u"R01-F01"_s, nr, u"--search"_s, u"x"_s}, 1}, // both ways at once
    };
    for (const auto &c : cases)
        EXPECT_FALSE(set(c.exitCode, c.args).err.isEmpty());
    FileLockHolder colleague(stockDir() + u"/LOCKDB.SRW"_s, u"Kollege"_s);
    ASSERT_TRUE(colleague.holding());
    EXPECT_TRUE(set(4, {u"Lagerort"_s, u"--clear"_s, nr}).err.contains(u"Kollege"_s));
    EXPECT_EQ(rows(), before);
}
