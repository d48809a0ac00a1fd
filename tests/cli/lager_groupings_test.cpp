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
    Outcome r = groupings({u"add"_s, nr[0], u" "_s + nr[1] + u" "_s});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "1\n");
    r = groupings({u"add"_s, nr[2], nr[3], nr[4]});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "2\n");
    EXPECT_TRUE(groupingFile().startsWith("\xFF\xFE"));

    r = groupings({u"list"_s});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 7); // head, five members, the empty rest
    EXPECT_EQ(lines[0], "Gruppierung\tLagerartikel-Nr.\tBezeichnung");
    EXPECT_TRUE(lines[3].startsWith("2\t" + nr[2].toUtf8() + '\t')) << lines[3].constData();
    EXPECT_GT(lines[3].size(), nr[2].size() + 3) << "the description is missing";

    r = groupings({u"list"_s, u"--format"_s, u"json"_s});
    const QJsonArray json = QJsonDocument::fromJson(r.out).array();
    ASSERT_EQ(json.size(), 2);
    EXPECT_EQ(json[1][u"Gruppierung"_s].toInt(), 2);
    EXPECT_EQ(json[1][u"Artikel"_s][2][u"LagerArtikelNr"_s].toString(), nr[4]);

    // The later grouping moves up when an earlier one goes.
    EXPECT_EQ(groupings({u"delete"_s, u"1"_s}).exitCode, 0);
    r = groupings({u"list"_s, u"--format"_s, u"json"_s});
    const QJsonArray left = QJsonDocument::fromJson(r.out).array();
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
        {{u"add"_s}, 5},                        // nor is none
        {{u"add"_s, nr[2], u"NICHTDA"_s}, 5},   // not in stock
        {{u"add"_s, nr[2], nr[2]}, 5},          // the same article twice
        {{u"add"_s, nr[2], u" "_s + nr[2]}, 5}, // ... also when blanks hide it
        {{u"add"_s, nr[2], nr[0]}, 5},          // already grouped
        {{u"delete"_s, u"2"_s}, 3},             // no such grouping
        {{u"delete"_s, u"0"_s}, 5},
        {{u"delete"_s, u"eins"_s}, 5},
        {{u"list"_s, u"--format"_s, u"xml"_s}, 1},
    };
    for (const auto &c : cases) {
        const Outcome r = groupings(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args.join(u' ') + u": "_s + r.err);
        EXPECT_FALSE(r.err.isEmpty()) << qPrintable(c.args.join(u' '));
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
         {QStringList{u"add"_s, nr[2], nr[3]}, QStringList{u"delete"_s, u"1"_s}}) {
        const Outcome r = groupings(args);
        EXPECT_EQ(r.exitCode, 4) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains(u"Kollegin Schulz"_s)) << qPrintable(r.err);
    }
    EXPECT_EQ(groupingFile(), before);
    // Reading needs no lock.
    EXPECT_EQ(groupings({u"list"_s}).exitCode, 0);
}

} // namespace
