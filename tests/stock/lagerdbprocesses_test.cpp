#include "stock/modlagerdbserverobj.h"
#include "tests/stock/stocktest.h"
#include "tests/support/childprocess.h"

#include <QDir>
#include <QFileInfo>

namespace
{
constexpr int kArticles = 20;
constexpr int kRounds = 25;

// Every column and the XML text of an article carry the round that wrote it, so a row put
// together from two writes shows up as two different rounds.
void stamp(TLagerServerObj &a, int k, int round)
{
    a.Clear();
    a.LagerArtikelNr = u"P%1"_s.arg(k, 2, 10, QLatin1Char('0'));
    a.Bezeichnung = u"RUNDE %1"_s.arg(round);
    a.Gruppe = u"G%1"_s.arg(round);
    a.BuchungsBestand = round;
    a.VKPreis[0] = Money::fromUnits(round);
}

int roundOf(QStringView text, QStringView prefix)
{
    return text.startsWith(prefix) ? text.mid(prefix.size()).toInt() : -1;
}

int writer(const QStringList &args)
{
    IModLagerDBServerObj db;
    db.Open(args.value(0));
    TLagerServerObj a;
    for (int round = 1; round <= kRounds; ++round) {
        for (int k = 0; k < kArticles; ++k) {
            stamp(a, k, round);
            if (db.WriteArticle(&a) != 0)
                return 3;
        }
    }
    return 0;
}
STOCK_CHILD_ENTRY("stock-writer", writer);
} // namespace

TEST(LagerDBProcesses, ReaderSeesWholeRowsWhileAnotherProcessWrites)
{
    // A RAM file system keeps the many synchronous commits of the writer short.
    const QString base = QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm"_s : QDir::tempPath();
    QTemporaryDir dir(base + u"/stockdb-XXXXXX"_s);
    ASSERT_TRUE(dir.isValid());
    IModLagerDBServerObj db;
    db.Open(dir.path());
    TLagerServerObj a;
    for (int k = 0; k < kArticles; ++k) {
        stamp(a, k, 0);
        ASSERT_EQ(db.WriteArticle(&a), 0);
    }

    auto child = ChildProcess::start(u"stock-writer"_s, {dir.path()});
    int searches = 0;
    int reads = 0;
    TDBLagerSearchResultObjectList list;
    while (child->state() != QProcess::NotRunning || searches == 0) {
        db.Refresh();
        db.Search(QString(), QString(), list, false, false);
        ASSERT_EQ(list.Count(), kArticles);
        ++searches;
        for (const TDBLagerSearchResult *e : list) {
            const int round = roundOf(e->Bezeichnung(), u"RUNDE ");
            ASSERT_EQ(roundOf(e->Gruppe(), u"G"), round) << qPrintable(e->ArtikelNr().toString());
        }
        for (int k = 0; k < kArticles; k += 7) {
            TLagerServerObj r;
            r.LagerArtikelNr = u"P%1"_s.arg(k, 2, 10, QLatin1Char('0'));
            ASSERT_EQ(db.ReadArticle(&r), 0);
            const int round = roundOf(r.Bezeichnung, u"RUNDE ");
            EXPECT_EQ(roundOf(r.Gruppe, u"G"), round);
            EXPECT_EQ(r.BuchungsBestand, round);
            EXPECT_EQ(r.VKPreis[0], Money::fromUnits(round)); // from XMLDATA
            ++reads;
        }
        child->waitForFinished(5);
    }
    EXPECT_EQ(child->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child->exitCode(), 0) << child->readAllStandardError().constData();

    db.Refresh();
    db.Search(u"runde"_s, QString(), list, false, false);
    ASSERT_EQ(list.Count(), kArticles);
    for (const TDBLagerSearchResult *e : list)
        EXPECT_EQ(e->Bezeichnung(), u"RUNDE %1"_s.arg(kRounds));
    EXPECT_GT(reads, 0);
}
