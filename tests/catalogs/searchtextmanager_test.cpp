#include "catalogs/searchtextindex.h"
#include "catalogs/searchtextmanager.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestDocuments::fileBytes;
using TestDocuments::writeFile;

namespace
{
// A small catalog's index, written by the same writer the generator uses.
struct IndexedCatalog {
    QTemporaryDir dir;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    IndexedCatalog()
    {
        TSearchtextIndexWriter w;
        w.Add(u"A-1"_s, {u"Kupferrohr 22x1 hart"_s, u"A-1"_s});
        w.Add(u"A-2"_s, {u"Rohrschelle für Kupferrohr"_s});
        w.Add(u"A 3"_s, {u"Kugelhahn 3/4\" Messing"_s});
        w.Add(u"A-4"_s, {u"Röhrenheizkörper 500x600"_s});
        w.Add(u"A-5"_s, {u"Straßenkappe, Café-Größe"_s});
        w.Add(u"B,1"_s, {u"Kupferrohr"_s}); // cannot stand in a bucket line
        EXPECT_EQ(w.Skipped(), 1);
        QString error;
        EXPECT_TRUE(w.Write(dir.path() + u'/', &error)) << error.toStdString();
        writeFile(dir.filePath(u"STXSYNONYM.TXT"_s),
                  "Kugelhahn,Absperrhahn\r\nKappe,Deckel,Haube\r\n");
    }
    QStringList search(const QString &query, bool synonyms = false)
    {
        TSearchtextManager m(dir.path(), dir.filePath(u"STXSYNONYM.TXT"_s));
        EXPECT_TRUE(m.Search(query, synonyms, false));
        return m.Results();
    }
};
} // namespace

TEST(SearchtextIndex, WordsAreFoldedAndSplitWhereTheFileFormatWouldBreak)
{
    const struct {
        const char16_t *text;
        QStringList words;
    } cases[] = {
        {u"Kupferrohr, hart.", {u"KUPFERROHR"_s, u"HART"_s}},
        {u"Kugelhahn 3/4\" DN-15 1.5", {u"KUGELHAHN"_s, u"3/4"_s, u"DN-15"_s, u"1.5"_s}},
        {u"a=b;c(d)", {u"A"_s, u"B"_s, u"C"_s, u"D"_s}},
        {u"Ölfilter Übergang Ärmel Maß", {u"OELFILTER"_s, u"UEBERGANG"_s, u"AERMEL"_s, u"MASS"_s}},
        {u"Rohr\u4E2Dstück\t\u0001x", {u"ROHR"_s, u"STUECK"_s, u"X"_s}},
        {u"  ... ", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SearchtextIndex::Words(QString::fromUtf16(c.text)), c.words)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(SearchtextIndex, FilesDecodeAsUtf8OnlyWhenEveryByteFits)
{
    const struct {
        QByteArray bytes;
        const char16_t *text;
    } cases[] = {
        {"Ma\xC3\x9F", u"Maß"},
        {"\xEF\xBB\xBFMa\xC3\x9F", u"Maß"},
        {"Ma\xDF", u"Maß"},                  // Windows-1252
        {"\x80 \x9F", u"€ Ÿ"},               // its letters in 0x80..0x9F
        {"Ma\xC3\x9F \xDF", u"MaÃ\u0178 ß"}, // one stray byte: all of it Windows-1252
        {"a\xC3", u"aÃ"},                    // cut off in a sequence
    };
    for (const auto &c : cases)
        EXPECT_EQ(SearchtextIndex::Decode(c.bytes), QString::fromUtf16(c.text))
            << c.bytes.toHex().constData();
}

TEST(SearchtextManager, QueriesFindTheirArticles)
{
    IndexedCatalog c;
    const struct {
        const char16_t *query;
        QStringList hits;
        bool synonyms = false;
    } cases[] = {
        // clang-format off
        // lower case, anywhere inside an index word
        {u"rohr", {u"A-1"_s, u"A-2"_s}},
        // a word found nowhere is dropped, not intersected
        {u"kupferrohr xyzzy", {u"A-1"_s, u"A-2"_s}}, {u"xyzzy", {}},
        // German spelling either way, on both sides of the index
        {u"röhrenheizkörper", {u"A-4"_s}}, {u"strasse", {u"A-5"_s}}, {u"café", {u"A-5"_s}},
        // the blank of an article number comes back
        {u"kugelhahn 3/4", {u"A 3"_s}},
        // prefix-only marker and alternatives
        {u"^rohr", {u"A-2"_s}}, {u"^ohr", {}},
        // (sorted as stored: "A;3" after "A-2")
        {u"schelle=hahn", {u"A-2"_s, u"A 3"_s}}, {u"^kugel=rohr", {u"A-2"_s, u"A 3"_s}},
        // line breaks and runs of blanks separate nothing more than one blank
        {u"\r\nkupferrohr   \n hart ", {u"A-1"_s}}, {u"   ", {}},
        // the article number itself is indexed
        {u"a-1", {u"A-1"_s}},
        // synonyms count only when asked for
        {u"absperrhahn", {u"A 3"_s}, true}, {u"absperrhahn", {}}, {u"haube", {u"A-5"_s}, true},
        // clang-format on
    };
    for (const auto &k : cases)
        EXPECT_EQ(c.search(QString::fromUtf16(k.query), k.synonyms), k.hits)
            << QString::fromUtf16(k.query).toStdString();
    EXPECT_TRUE(c.ui.messages.isEmpty());
}

TEST(SearchtextManager, FilesAreWindows1252WithCrLfAndUtf8IsReadWithOrWithoutMark)
{
    IndexedCatalog c;
    const QByteArray index = fileBytes(c.dir.filePath(u"STX.IDX"_s));
    EXPECT_TRUE(index.contains("CAF\xC9-GROESSE=")) << index.constData(); // É as one byte
    EXPECT_EQ(index.count('\n'), index.count("\r\n"));
    EXPECT_EQ(fileBytes(c.dir.filePath(u"STX.1"_s)).count('\n'),
              fileBytes(c.dir.filePath(u"STX.1"_s)).count("\r\n"));

    const QStringList expected = c.search(u"café kappe"_s);
    ASSERT_EQ(expected, QStringList{u"A-5"_s});
    for (const QByteArray &mark : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        const QStringList files = QDir(c.dir.path()).entryList({u"STX.*"_s}, QDir::Files);
        for (const QString &f : files) {
            const QString text = SearchtextIndex::Decode(fileBytes(c.dir.filePath(f)));
            writeFile(c.dir.filePath(f), mark + text.toUtf8());
        }
        EXPECT_EQ(c.search(u"café kappe"_s), expected) << mark.size();
    }
}

TEST(SearchtextManager, WaitWindowShowsAndItsCancelEndsWithoutHitsOrMessage)
{
    IndexedCatalog c;
    {
        TSearchtextManager m(c.dir.path());
        ASSERT_TRUE(m.Search(u"rohr"_s, false, true));
        EXPECT_EQ(m.ResultCount(), 2);
        EXPECT_FALSE(m.Cancelled());
        // Exact hits only, or the first that begins so.
        EXPECT_EQ(m.Position(u"A-2"_s, true), 1);
        EXPECT_EQ(m.Position(u"A-"_s, true), -1);
        EXPECT_EQ(m.Position(u"A-"_s, false), 0);
        EXPECT_EQ(m.Position(QString(), false), -1);
        EXPECT_EQ(c.ui.waitTexts, QStringList{u"Bitte warten ..."_s});
    }
    // Cancelled at the second look at the button, after the first index line was walked:
    // whatever that line found must not come out.
    c.ui.cancelWaitAfterIdles = 2;
    TSearchtextManager m(c.dir.path());
    m.LinesPerCancelCheck = 1;
    EXPECT_TRUE(m.Search(u"a"_s, false, true));
    EXPECT_TRUE(m.Cancelled());
    EXPECT_EQ(m.ResultCount(), 0);
    EXPECT_TRUE(c.ui.messages.isEmpty());
}

// Missing, empty and damaged index files: nothing crashes, and no word finds what it does not
// point to.
TEST(SearchtextManager, MissingOrDamagedIndexFilesGiveNoCrashAndNoFalseHits)
{
    QTemporaryDir dir;
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    for (bool emptyFile : {false, true}) {
        if (emptyFile)
            writeFile(dir.filePath(u"STX.IDX"_s), QByteArray());
        TSearchtextManager m(dir.path());
        EXPECT_FALSE(m.Search(u"rohr"_s, false, true));
        EXPECT_EQ(m.ResultCount(), 0);
    }
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1].text,
              u"Kein Suchtext zu diesem Katalog vorhanden.\n"
              u"Die muessen erst einen Suchtext zu diesem Katalog erstellen."_s);
    EXPECT_TRUE(ui.waitTexts.isEmpty());

    const QByteArray big(10 * 1024 * 1024, 'Q');
    writeFile(dir.filePath(u"STX.IDX"_s),
              "ROHR\r\n=0\r\nROHR=abc\r\nROHR=-1\r\nROHR=+0\r\nROHR=99999999999\r\n"
              "ROHR= \r\n\xFF\xFE\x01garbage=0\r\n"
              "KUPFER=0\r\nKLEMME=7\r\nZANGE=0\r\n" +
                  big + "\r\n" + big + "=0\r\nKAPPE=1");
    writeFile(dir.filePath(u"STX.11"_s), "K-1,K-2\r\nK-3");
    writeFile(dir.filePath(u"STX.17"_s), big + ",\r\n"); // Q: one huge article number
    // STX.26 (Z) is missing; STX.18 (R) would hold what the damaged ROHR lines point to.
    writeFile(dir.filePath(u"STX.18"_s), "R-1\r\n");
    const struct {
        const char16_t *query;
        QStringList hits;
    } cases[] = {
        {u"rohr", {}},          {u"kupfer", {u"K-1"_s, u"K-2"_s}},
        {u"klemme", {}},        {u"zange", {}},
        {u"kappe", {u"K-3"_s}}, {u"garbage", {}},
    };
    TSearchtextManager m(dir.path());
    for (const auto &c : cases) {
        EXPECT_TRUE(m.Search(QString::fromUtf16(c.query), false, false));
        EXPECT_EQ(m.Results(), c.hits) << QString::fromUtf16(c.query).toStdString();
    }
    ASSERT_TRUE(m.Search(u"qqqq"_s, false, false));
    ASSERT_EQ(m.ResultCount(), 1);
    EXPECT_EQ(m.Result(0).size(), big.size());
}
