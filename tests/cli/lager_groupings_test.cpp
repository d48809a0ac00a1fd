#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace
{

// The generated installation and the first five article numbers in the list's order.
class LagerGroupings : public LagerProgram
{
protected:
    void SetUp() override
    {
        LagerProgram::SetUp();
        for (const QByteArray &line : lager({u"list"_s}).out.split('\n').mid(1, 5))
            nr.append(QString::fromUtf8(line.split('\t').value(0)));
        ASSERT_EQ(nr.size(), 5);
    }
    QByteArray groupingFile() const
    {
        return TestDocuments::fileBytes(stockDir() + u"/LAGER_ARTGRP.DAT"_s);
    }
    Outcome groupings(int exitCode, const QStringList &args)
    {
        return expect(exitCode, QStringList{u"groupings"_s} + args);
    }

    QStringList nr;
};

TEST_F(LagerGroupings, AddsListsAndDeletesGroupings)
{
    EXPECT_EQ(groupings(0, {u"add"_s, nr[0], u" "_s + nr[1] + u" "_s}).out, "1\n");
    EXPECT_EQ(groupings(0, {u"add"_s, nr[2], nr[3], nr[4]}).out, "2\n");
    const QList<QByteArray> lines = groupings(0, {u"list"_s}).out.split('\n');
    ASSERT_EQ(lines.size(), 7); // head, five members, the empty rest
    EXPECT_TRUE(lines[3].startsWith("2\t" + nr[2].toUtf8() + '\t')) << lines[3].constData();
    EXPECT_GT(lines[3].size(), nr[2].size() + 3) << "the description is missing";

    // The later grouping moves up when an earlier one goes.
    groupings(0, {u"delete"_s, u"1"_s});
    const QJsonArray left =
        QJsonDocument::fromJson(groupings(0, words(u"list --format json"_s)).out).array();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0][u"Gruppierung"_s].toInt(), 1);
    EXPECT_EQ(left[0][u"Artikel"_s][0][u"LagerArtikelNr"_s].toString(), nr[2]);
    groupings(0, {u"delete"_s, u"1"_s});
    EXPECT_FALSE(QFileInfo::exists(stockDir() + u"/LAGER_ARTGRP.DAT"_s));
}

TEST_F(LagerGroupings, RefusesWhatCannotBeGroupedAndLeavesTheFile)
{
    groupings(0, {u"add"_s, nr[0], nr[1]});
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
        {{u"list"_s, u"--format"_s, u"xml"_s}, 1},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(groupings(c.exitCode, c.args).err.isEmpty());
    // The database lock keeps two writers from losing each other's grouping; reading needs none.
    DatabaseLockHolder holder(stockDir(), u"Kollegin Schulz"_s);
    ASSERT_TRUE(holder.holding());
    for (const QStringList &args : {QStringList{u"add"_s, nr[2], nr[3]}, words(u"delete 1"_s)})
        EXPECT_TRUE(groupings(4, args).err.contains(u"Kollegin Schulz"_s));
    groupings(0, {u"list"_s});
    EXPECT_EQ(groupingFile(), before);
}

} // namespace
