#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerartikeljson.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/cli/lagerprogram.h"
#include "tests/support/articles.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// The shared full article under the given number; serial numbers live in their own table.
TLagerArtikelDaten fullArticleNr(const QString &nr)
{
    TLagerArtikelDaten a = fullArticle();
    a.LagerArtikelNr = nr;
    a.Seriennummern.reset();
    return a;
}

// What an article is apart from the stamps a put sets.
QJsonObject withoutChangeStamps(QJsonObject o)
{
    o.remove(u"Changed"_s);
    o.remove(u"ChangedIso"_s);
    o.remove(u"ChangedBy"_s);
    return o;
}

TEST_F(LagerProgram, FullyPopulatedArticleComesOutWholeAndGoesBackInStampedOnly)
{
    TLagerArtikelDaten full = fullArticleNr(u"VOLL-1"_s);
    writeArticle(full);
    full.EAN.clear(); // the store has no place for it

    const QJsonObject json = getJson(u"VOLL-1"_s);
    TLagerArtikelDaten read;
    QStringList errors;
    ASSERT_TRUE(LagerArtikelJson::FromJson(json, read, errors)) << qPrintable(errors.join(u'\n'));
    EXPECT_TRUE(read == full);
    // The form scripts see: money exact to four places, lists typed.
    EXPECT_EQ(json[u"VKPreis1"_s].toDouble(), 12.3456);
    EXPECT_EQ(json[u"PE"_s].toInt(), 100);
    EXPECT_EQ(json[u"KatRefs"_s].toArray().size(), 3);
    EXPECT_EQ(json[u"KatRefs"_s][2][u"val"_s].toString(), u"[B-77]"_s);
    EXPECT_EQ(json[u"Zusatzdaten"_s][1][u"value"_s].toInt(), -42);
    EXPECT_TRUE(json[u"Zusatzdaten"_s][2][u"value"_s].isBool());
    EXPECT_EQ(json[u"Bilder"_s][1][u"key"_s].toString(), u"k&2"_s);
    EXPECT_EQ(json[u"MindestBestand"_s].toArray().size(), 2);

    // Put under another number creates an equal article with fresh stamps.
    QJsonObject copy = json;
    copy[u"LagerArtikelNr"_s] = u"VOLL-2"_s;
    ASSERT_EQ(put(copy).exitCode, 0);
    QJsonObject again = getJson(u"VOLL-2"_s);
    EXPECT_EQ(again[u"CreatedBy"_s].toString(), u"Administrator"_s);
    EXPECT_GT(again[u"Created"_s].toDouble(), 45100.5);
    for (const QString &key : {u"Created"_s, u"CreatedIso"_s, u"CreatedBy"_s, u"Changed"_s,
                               u"ChangedIso"_s, u"ChangedBy"_s, u"LagerArtikelNr"_s}) {
        again.remove(key);
        copy.remove(key);
    }
    EXPECT_EQ(again, copy);

    // Put under its own number changes nothing but the change stamps.
    ASSERT_EQ(put(json).exitCode, 0);
    const QJsonObject after = getJson(u"VOLL-1"_s);
    EXPECT_EQ(withoutChangeStamps(after), withoutChangeStamps(json));
    EXPECT_EQ(after[u"ChangedBy"_s].toString(), u"Administrator"_s);
    EXPECT_NEAR(after[u"Changed"_s].toDouble(), DateTime::now(), 0.01);
}

TEST_F(LagerProgram, PutRefusesBrokenDocumentsAndWritesNothing)
{
    const QString nr = firstArticle();
    const QJsonObject before = getJson(nr);
    QJsonObject doc = before;
    doc[u"EKPreis"_s] = u"teuer"_s;
    doc[u"Farbe"_s] = 3;
    doc[u"Lagerort"_s] = QString(21, u'X');
    const Outcome bad = put(doc);
    EXPECT_EQ(bad.exitCode, 5);
    for (const QString &key : {u"\"EKPreis\""_s, u"\"Farbe\""_s, u"\"Lagerort\""_s})
        EXPECT_TRUE(bad.err.contains(key)) << qPrintable(bad.err);
    expect(5, {u"article"_s, u"put"_s, u"-"_s}, "{ nicht json");
    EXPECT_EQ(getJson(nr), before);
}

TEST_F(LagerProgram, LockHeldByAnotherProcessGivesFourWithTheHoldersText)
{
    const QString nr = firstArticle();
    const QByteArray doc = QJsonDocument(getJson(nr)).toJson();
    {
        ArticleLockHolder holder(stockDir(), nr, u"Kollege Meier"_s);
        ASSERT_TRUE(holder.holding());
        const Outcome held = expect(4, {u"article"_s, u"put"_s, u"-"_s}, doc);
        EXPECT_TRUE(held.err.contains(u"Kollege Meier"_s)) << qPrintable(held.err);
        EXPECT_TRUE(held.err.contains(nr));
        expect(4, {u"article"_s, u"delete"_s, nr});
        expect(4, {u"--wait"_s, u"1"_s, u"article"_s, u"put"_s, u"-"_s}, doc);
    }
    {
        // A lock given up during the wait lets the command through.
        ArticleLockHolder holder(stockDir(), nr, u"Kollege Meier"_s);
        ASSERT_TRUE(holder.holding());
        QProcess put;
        put.start(bin(),
                  {u"DEMO"_s, u"ADMIN"_s, u"--wait"_s, u"20"_s, u"article"_s, u"put"_s, u"-"_s});
        put.write(doc);
        put.closeWriteChannel();
        // Let go only once the program shows that it waits for the holder.
        put.setReadChannel(QProcess::StandardError);
        QByteArray waiting;
        while (!waiting.contains("Kollege Meier") && put.waitForReadyRead(30000))
            waiting += put.readAll();
        ASSERT_TRUE(waiting.contains("Kollege Meier")) << waiting.constData();
        holder.release();
        ASSERT_TRUE(put.waitForFinished(30000));
        EXPECT_EQ(put.exitCode(), 0) << put.readAllStandardError().constData();
    }
    {
        // The import needs the whole database.
        exportBytes();
        DatabaseLockHolder holder(stockDir(), u"Kollegin Schulz"_s);
        ASSERT_TRUE(holder.holding());
        const Outcome import = expect(4, {u"import"_s, file(u"export.csv"_s)});
        EXPECT_TRUE(import.err.contains(u"Kollegin Schulz"_s)) << qPrintable(import.err);
    }
    {
        // Someone editing one of the articles the file changes stops the whole import.
        ArticleLockHolder holder(stockDir(), nr, u"Kollege Meier"_s);
        ASSERT_TRUE(holder.holding());
        const Outcome import = importFile(
            u"changed.csv"_s, u"Artikel-Nr.;Bezeichnung\r\n%1;NEU\r\n"_s.arg(nr).toUtf8());
        EXPECT_EQ(import.exitCode, 4);
        EXPECT_TRUE(import.err.contains(u"Kollege Meier"_s)) << qPrintable(import.err);
    }
}

TEST_F(LagerProgram, LogOnAndRightsAreTheWindows)
{
    // The generated user LAGER may do everything but delete.
    const QString nr = firstArticle();
    const Outcome refused = expect(2, {u"article"_s, u"delete"_s, nr}, {}, u"LAGER"_s);
    EXPECT_TRUE(refused.err.contains(u"Sie sind nicht berechtigt, Artikel zu loeschen!"_s) ||
                refused.err.contains(u"Sie sind nicht berechtigt, Artikel zu löschen!"_s))
        << qPrintable(refused.err);
    expect(0, {u"article"_s, u"get"_s, nr}, {}, u"LAGER"_s);
    expect(0, {u"article"_s, u"delete"_s, nr});
    expect(3, {u"article"_s, u"get"_s, nr});
    expect(3, {u"article"_s, u"delete"_s, nr});
    // The root given by hand instead of the one the program's own directory gives.
    QProcess built;
    built.start(QStringLiteral(LAGER_BIN_DIR) + u"/lager"_s,
                {u"--root"_s, m_dir.path(), u"DEMO"_s, u"ADMIN"_s, u"list"_s});
    ASSERT_TRUE(built.waitForFinished(60000));
    EXPECT_EQ(built.exitCode(), 0) << built.readAllStandardError().constData();
    EXPECT_TRUE(built.readAllStandardOutput().contains(firstArticle().toUtf8()));
}

TEST_F(LagerProgram, ListFiltersLikeTheStockList)
{
    TLagerArtikelDaten kept = fullArticleNr(u"AAA-1"_s);
    kept.Bezeichnung = u"Flanschdichtung DN 50"_s;
    kept.EKPreis = Money::fromRaw(123456);
    kept.IsNotBestandsartikel = true;
    writeArticle(kept);
    TLagerArtikelDaten other = fullArticleNr(u"AAA-2"_s);
    other.Bezeichnung = u"Dichtung Flansch DN 80"_s;
    other.Gruppe = u"ROHRE"_s;
    other.BuchungsBestand = -2.5;
    writeArticle(other);

    const Outcome hits = expect(0, {u"list"_s, u"--search"_s, u"  flansch dichtung  "_s});
    const QList<QByteArray> lines = hits.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << hits.out.constData();
    EXPECT_TRUE(lines[0].startsWith("Lagerartikel-Nr.\t"));
    const QList<QByteArray> row = lines[1].split('\t');
    EXPECT_EQ(row[0], "AAA-1");
    EXPECT_EQ(row[5], "12,3456"); // EK-Preis
    EXPECT_EQ(row[11], "");       // kept without stock: no figure
    EXPECT_EQ(lines[2].split('\t')[11], "-2,5");

    const Outcome group = lager({u"list"_s, u"--search"_s, u"flansch"_s, u"--group"_s, u"rohre"_s,
                                 u"--format"_s, u"json"_s});
    const QJsonArray rows = QJsonDocument::fromJson(group.out).array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][u"LagerArtikelNr"_s].toString(), u"AAA-2"_s);
    EXPECT_EQ(rows[0][u"Bestand"_s].toDouble(), -2.5);
}

// Which cells are refused is the CSV reader's business; here that every row is checked before
// any is written.
TEST_F(LagerProgram, ImportWithBadRowsReportsEveryOneAndChangesNothing)
{
    const QByteArray original = exportBytes();
    const QString good = u"%1;NEU;1\r\n"_s.arg(firstArticle()); // must not land either
    const QString tooLong = u"X-1;%1;1\r\n"_s.arg(QString(82, u'B'));
    const Outcome run =
        importFile(u"bad.csv"_s, withBom(u"Artikel-Nr.;Bezeichnung;MwSt-Satz\r\n"_s + good +
                                         tooLong + u"X-2;;7\r\n"_s));
    EXPECT_EQ(run.exitCode, 5);
    for (const char *expected : {"Zeile 3:", "Zeile 4:"})
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(expected))) << qPrintable(run.err);
    EXPECT_EQ(run.err.count(u"Zeile "_s), 2) << qPrintable(run.err);
    EXPECT_EQ(exportBytes(u"after.csv"_s), original);
}

TEST_F(LagerProgram, PartialFileChangesOnlyItsColumnsAndDryRunWritesNothing)
{
    const QString nr = firstArticle();
    const QJsonObject before = getJson(nr);
    // no byte-order mark, LF only, a quoted number: what other tools write
    // last week's stock in the file must not undo this week's bookings
    const QByteArray csv = u"Artikel-Nr.;VK-Preis 1;Bestand\n\"%1\";19,9;%2\nNEU-1;5;7\n"_s.arg(nr)
                               .arg(before[u"BuchungsBestand"_s].toDouble() + 3)
                               .toUtf8();
    EXPECT_EQ(importFile(u"preise.csv"_s, csv, {u"--dry-run"_s}).exitCode, 0);
    EXPECT_EQ(getJson(nr), before);
    expect(3, {u"article"_s, u"get"_s, u"NEU-1"_s});

    const Outcome run = expect(0, {u"import"_s, file(u"preise.csv"_s)});
    EXPECT_TRUE(run.err.contains(u"Bei 1 Artikel blieb der Bestand unverändert"_s))
        << qPrintable(run.err);
    QJsonObject after = getJson(nr);
    EXPECT_EQ(after[u"VKPreis1"_s].toDouble(), 19.9);
    after[u"VKPreis1"_s] = before[u"VKPreis1"_s];
    EXPECT_EQ(withoutChangeStamps(after), withoutChangeStamps(before));
    const QJsonObject created = getJson(u"NEU-1"_s);
    EXPECT_EQ(created[u"VKPreis1"_s].toDouble(), 5.0);
    EXPECT_EQ(created[u"BuchungsBestand"_s].toDouble(), 7.0); // opening stock of a new one
    EXPECT_EQ(created[u"CreatedBy"_s].toString(), u"Administrator"_s);
}

} // namespace
