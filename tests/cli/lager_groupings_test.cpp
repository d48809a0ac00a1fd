#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace
{

class LagerGroupings : public LagerProgram
{
protected:
    // The first few article numbers of the generated stock, in the list's order.
    QStringList numbers(int count)
    {
        const Outcome r = lager({u"list"_s});
        QStringList nrs;
        for (const QByteArray &line : r.out.split('\n').mid(1, count))
            nrs.append(QString::fromUtf8(line.split('\t').value(0)));
        return nrs;
    }
    QByteArray groupingFile() const
    {
        return TestDocuments::fileBytes(stockDir() + u"/LAGER_ARTGRP.DAT"_s);
    }
    Outcome groupings(const QStringList &args) { return lager(QStringList{u"groupings"_s} + args); }
};

TEST_F(LagerGroupings, AddsListsAndDeletesGroupings)
{
    const QStringList nr = numbers(5);
    ASSERT_EQ(nr.size(), 5);
    EXPECT_EQ(expect(0, {u"groupings"_s, u"add"_s, nr[0], u" "_s + nr[1] + u" "_s}).out, "1\n");
    EXPECT_EQ(expect(0, {u"groupings"_s, u"add"_s, nr[2], nr[3], nr[4]}).out, "2\n");

    const QList<QByteArray> lines = expect(0, {u"groupings"_s, u"list"_s}).out.split('\n');
    ASSERT_EQ(lines.size(), 7); // head, five members, the empty rest
    EXPECT_TRUE(lines[3].startsWith("2\t" + nr[2].toUtf8() + '\t')) << lines[3].constData();
    EXPECT_GT(lines[3].size(), nr[2].size() + 3) << "the description is missing";

    // The later grouping moves up when an earlier one goes.
    EXPECT_EQ(groupings({u"delete"_s, u"1"_s}).exitCode, 0);
    const QJsonArray left =
        QJsonDocument::fromJson(groupings({u"list"_s, u"--format"_s, u"json"_s}).out).array();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0][u"Gruppierung"_s].toInt(), 1);
    EXPECT_EQ(left[0][u"Artikel"_s][0][u"LagerArtikelNr"_s].toString(), nr[2]);
    EXPECT_EQ(groupings({u"delete"_s, u"1"_s}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(stockDir() + u"/LAGER_ARTGRP.DAT"_s));
}

TEST_F(LagerGroupings, RefusesWhatCannotBeGroupedAndLeavesTheFile)
{
    const QStringList nr = numbers(3);
    ASSERT_EQ(groupings({u"add"_s, nr[0], nr[1]}).exitCode, 0);
    const QByteArray before = groupingFile();
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{u"add"_s, nr[2]}, 5},                 // one article is no grouping
        {{u"add"_s, nr[2], u"NICHTDA"_s}, 5},   // not in stock
        {{u"add"_s, nr[2], u" "_s + nr[2]}, 5}, // the same twice, blanks hiding it
        {{u"add"_s, nr[2], nr[0]}, 5},          // already grouped
        {{u"delete"_s, u"2"_s}, 3},             // no such grouping
        {{u"delete"_s, u"0"_s}, 5},
        {{u"delete"_s, u"eins"_s}, 5},
        {{u"list"_s, u"--format"_s, u"xml"_s}, 1},
    };
    for (const auto &c : cases) {
        EXPECT_FALSE(expect(c.exitCode, QStringList{u"groupings"_s} + c.args).err.isEmpty());
        EXPECT_EQ(groupingFile(), before) << qPrintable(c.args.join(u' '));
    }
}

TEST_F(LagerGroupings, WaitsForTheDatabaseLockAndGivesFour)
{
    const QStringList nr = numbers(4);
    ASSERT_EQ(groupings({u"add"_s, nr[0], nr[1]}).exitCode, 0);
    const QByteArray before = groupingFile();
    DatabaseLockHolder holder(stockDir(), u"Kollegin Schulz"_s);
    ASSERT_TRUE(holder.holding());
    for (const QStringList &args :
         {QStringList{u"add"_s, nr[2], nr[3]}, QStringList{u"delete"_s, u"1"_s}})
        EXPECT_TRUE(
            expect(4, QStringList{u"groupings"_s} + args).err.contains(u"Kollegin Schulz"_s));
    EXPECT_EQ(groupingFile(), before);
    // Reading needs no lock.
    EXPECT_EQ(groupings({u"list"_s}).exitCode, 0);
}

} // namespace
