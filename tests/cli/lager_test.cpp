#include "persistence/datetime.h"
#include "stock/lagerartikeljson.h"
#include "tests/cli/lagerprogram.h"

#include <QJsonArray>

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

TEST_F(LagerProgram, FullyPopulatedArticleComesOutWholeAndGoesBackInStampedOnly)
{
    TLagerArtikelDaten full = fullArticleNr(u"VOLL-1"_s);
    writeArticles(stockDir(), {full.LagerArtikelNr}, [&](TLagerServerObj &a) { a.Assign(full); });
    full.EAN.clear(); // the store has no place for it
    const QJsonObject json = getJson(u"VOLL-1"_s);
    TLagerArtikelDaten read;
    QStringList errors;
    ASSERT_TRUE(LagerArtikelJson::FromJson(json, read, errors)) << qPrintable(errors.join(u'\n'));
    EXPECT_TRUE(read == full);
    EXPECT_EQ(json[u"VKPreis1"_s].toDouble(), 12.3456); // exact to four places, as a number

    // Under another number an equal article with fresh stamps; under its own number only the
    // change stamps move.
    QJsonObject copy = json;
    copy[u"LagerArtikelNr"_s] = u"VOLL-2"_s;
    ASSERT_EQ(put(copy).exitCode, 0);
    ASSERT_EQ(put(json).exitCode, 0);
    for (QJsonObject sent : {json, copy}) {
        const QString nr = sent[u"LagerArtikelNr"_s].toString();
        SCOPED_TRACE(qPrintable(nr));
        QJsonObject got = getJson(nr);
        EXPECT_EQ(got[u"CreatedBy"_s].toString(), nr == u"VOLL-1" ? u"M&M"_s : u"Administrator"_s);
        EXPECT_EQ(got[u"Created"_s] == sent[u"Created"_s], nr == u"VOLL-1");
        EXPECT_EQ(got[u"ChangedBy"_s].toString(), u"Administrator"_s);
        EXPECT_NEAR(got[u"Changed"_s].toDouble(), DateTime::now(), 0.01);
        for (const QString &key : {u"Created"_s, u"CreatedIso"_s, u"CreatedBy"_s, u"Changed"_s,
                                   u"ChangedIso"_s, u"ChangedBy"_s}) {
            got.remove(key);
            sent.remove(key);
        }
        EXPECT_EQ(got, sent);
    }
}

TEST_F(LagerProgram, LockHeldByAnotherProcessGivesFourWithTheHoldersText)
{
    const QString nr = firstArticle();
    const QByteArray doc = QJsonDocument(getJson(nr)).toJson();
    const QStringList putArgs{u"article"_s, u"put"_s, u"-"_s};
    {
        ArticleLockHolder holder(stockDir(), nr, u"Kollege Meier"_s);
        ASSERT_TRUE(holder.holding());
        const Outcome held = expect(4, putArgs, doc);
        EXPECT_TRUE(held.err.contains(u"Kollege Meier"_s) && held.err.contains(nr))
            << qPrintable(held.err);
        expect(4, {u"article"_s, u"delete"_s, nr});
        expect(4, QStringList{u"--wait"_s, u"1"_s} + putArgs, doc);
        // Someone editing one of the articles the file changes stops the whole import.
        const Outcome import = importFile(
            u"changed.csv"_s, u"Artikel-Nr.;Bezeichnung\r\n%1;NEU\r\n"_s.arg(nr).toUtf8());
        EXPECT_EQ(import.exitCode, 4);
        EXPECT_TRUE(import.err.contains(u"Kollege Meier"_s)) << qPrintable(import.err);
    }
    {
        // A lock given up during the wait lets the command through.
        ArticleLockHolder holder(stockDir(), nr, u"Kollege Meier"_s);
        ASSERT_TRUE(holder.holding());
        QProcess put;
        put.start(bin(), QStringList{u"DEMO"_s, u"ADMIN"_s, u"--wait"_s, u"20"_s} + putArgs);
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
    // The import needs the whole database.
    DatabaseLockHolder holder(stockDir(), u"Kollegin Schulz"_s);
    ASSERT_TRUE(holder.holding());
    EXPECT_TRUE(
        expect(4, {u"import"_s, file(u"changed.csv"_s)}).err.contains(u"Kollegin Schulz"_s));
}

TEST_F(LagerProgram, LogOnAndRightsAreTheWindows)
{
    // The generated user LAGER may do everything but delete.
    const QString nr = firstArticle();
    const Outcome refused = expect(2, {u"article"_s, u"delete"_s, nr}, {}, u"LAGER"_s);
    EXPECT_TRUE(refused.err.contains(u"Sie sind nicht berechtigt, Artikel zu löschen!"_s))
        << qPrintable(refused.err);
    expect(0, {u"article"_s, u"get"_s, nr}, {}, u"LAGER"_s);
    expect(0, {u"article"_s, u"delete"_s, nr});
    expect(3, {u"article"_s, u"delete"_s, nr});
    // The root given by hand instead of the one the program's own directory gives.
    const Outcome built = run({u"--root"_s, m_dir.path(), u"DEMO"_s, u"ADMIN"_s, u"list"_s}, {},
                              QStringLiteral(LAGER_BIN_DIR) + u"/lager"_s);
    EXPECT_EQ(built.exitCode, 0) << qPrintable(built.err);
    EXPECT_TRUE(built.out.contains(firstArticle().toUtf8()));
}

TEST_F(LagerProgram, ListFiltersLikeTheStockList)
{
    writeArticles(stockDir(), {u"AAA-1"_s, u"AAA-2"_s}, [](TLagerServerObj &a) {
        const bool first = a.LagerArtikelNr == u"AAA-1";
        a.Bezeichnung = first ? u"Flanschdichtung DN 50"_s : u"Dichtung Flansch DN 80"_s;
        a.EKPreis = Money::fromRaw(first ? 123456 : 0);
        a.IsNotBestandsartikel = first;
        a.Gruppe = first ? QString() : u"ROHRE"_s;
        a.BuchungsBestand = first ? 0 : -2.5;
    });
    const QList<QByteArray> lines =
        expect(0, {u"list"_s, u"--search"_s, u"  flansch dichtung  "_s}).out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Lagerartikel-Nr.\t"));
    // the purchase price to four places; an article kept without stock shows no figure
    const QList<QByteArray> row = lines[1].split('\t');
    EXPECT_EQ(row[0] + ' ' + row[5] + ' ' + row[11], "AAA-1 12,3456 ");
    EXPECT_EQ(lines[2].split('\t')[11], "-2,5");

    const QByteArray json =
        lager(words(u"list --search flansch --group rohre --format json"_s)).out;
    const QJsonArray rows = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][u"LagerArtikelNr"_s].toString(), u"AAA-2"_s);
    EXPECT_EQ(rows[0][u"Bestand"_s].toDouble(), -2.5);
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
    const Outcome dry = importFile(u"preise.csv"_s, csv, {u"--dry-run"_s});
    EXPECT_TRUE(dry.err.contains(
        u"Probelauf: 1 Artikel würde angelegt, 1 geändert, 0 bleiben unverändert."_s))
        << qPrintable(dry.err);
    EXPECT_EQ(getJson(nr), before);
    expect(3, {u"article"_s, u"get"_s, u"NEU-1"_s});

    const Outcome run = expect(0, {u"import"_s, file(u"preise.csv"_s)});
    EXPECT_TRUE(run.err.contains(u"Bei 1 Artikel blieb der Bestand unverändert"_s))
        << qPrintable(run.err);
    QJsonObject after = getJson(nr);
    EXPECT_EQ(after[u"VKPreis1"_s].toDouble(), 19.9);
    after[u"VKPreis1"_s] = before[u"VKPreis1"_s];
    for (const QString &stamp : {u"Changed"_s, u"ChangedIso"_s, u"ChangedBy"_s})
        after[stamp] = before[stamp];
    EXPECT_EQ(after, before);
    const QJsonObject created = getJson(u"NEU-1"_s);
    EXPECT_EQ(created[u"VKPreis1"_s].toDouble(), 5.0);
    EXPECT_EQ(created[u"BuchungsBestand"_s].toDouble(), 7.0); // opening stock of a new one
    EXPECT_EQ(created[u"CreatedBy"_s].toString(), u"Administrator"_s);
}

} // namespace
