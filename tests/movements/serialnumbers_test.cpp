#include "movements/serialnumbers.h"
#include "movements/stockjournal.h"
#include "stock/seriennummer.h"
#include "tests/support/documents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SerialNumberText, IncrementCountsTheTrailingDigitsAsText)
{
    const struct {
        QString text;
        int width;
        QString expected;
    } cases[] = {
        {u"SN0099"_s, 0, u"SN0100"_s},
        {u"SN999"_s, 0, u"SN1000"_s},
        {u"ABC"_s, 0, u"ABC0001"_s},
        {u"123"_s, 0, u"124"_s},
        {u"A-09"_s, 0, u"A-10"_s},
        // far beyond 64 bits: counted as text, nothing overflows or gets cut
        {u"X99999999999999999999"_s, 0, u"X100000000000000000000"_s},
        {u"K12345678901234567890"_s, 0, u"K12345678901234567891"_s},
        // a given width pads the number, not the zeros of the old run, and never cuts
        {u"SN0099"_s, 6, u"SN000100"_s},
        {u"SN0099"_s, 2, u"SN100"_s},
        {u"ABC"_s, 2, u"ABC01"_s},
        {u""_s, 0, u"0001"_s},
        {u"7-0"_s, 0, u"7-1"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IncSerialNumber(c.text, c.width), c.expected) << qPrintable(c.text);
}

TEST(SerialNumberText, EntryChecksRefuseInTheirOrder)
{
    const auto list = [](std::initializer_list<const char16_t *> numbers) {
        TSeriennummerObjectList l;
        for (const char16_t *n : numbers)
            l.Add().SN = QString::fromUtf16(n);
        return l;
    };
    const QStringList stock{u"S1"_s, u"S2"_s};
    const struct {
        TSeriennummerObjectList list;
        bool check;
        QString refusal;
    } cases[] = {
        {list({u"A", u"", u"B", u""}), true, u"Es fehlen noch 2 Seriennummern."_s},
        // missing numbers are refused even without the duplicate check
        {list({u"", u"A", u"A"}), false, u"Es fehlen noch 1 Seriennummern."_s},
        {list({u"A", u"S2", u"A", u"A"}), true, u"Die Seriennummer \"A\" ist 3 mal vorhanden."_s},
        // rows are checked in order: the number in stock comes before the later duplicate
        {list({u"S2", u"B", u"B"}), true,
         u"Ein Artikel mit der Seriennummer \"S2\" ist bereits im Lager vorhanden."_s},
        {list({u"A", u"A", u"S1"}), false, QString()},
        {list({u"s1", u"A"}), true, QString()}, // exact comparison, as the table's
    };
    for (const auto &c : cases)
        EXPECT_EQ(SerialEntryRefusal(c.list, stock, c.check), c.refusal)
            << qPrintable(c.list.JoinedText());
}

TEST(StockJournalFile, Windows1252BytesAndAppendedLines)
{
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {u"Bär€✓"_s, "B\xE4r\x80?"},
        {u"\u201EZoll\u201C \u2013 \u0160"_s, "\x84Zoll\x93 \x96 \x8A"},
        // one "?" for a character beyond 16 bits, and for the C1 controls Latin-1 would keep
        {u"a\U0001F600b\u0081"_s, "a?b?"},
        {u"\u00FF\u00A0~"_s, "\xFF\xA0~"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StockJournal::ToWindows1252(c.text), c.bytes) << qPrintable(c.text);

    QTemporaryDir dir;
    const QString file = StockJournal::FileName(dir.path() + u'/');
    EXPECT_TRUE(file.endsWith(u"/LAGER.NFO"_s));
    ASSERT_TRUE(StockJournal::AppendLineToFile(file, u"eins"_s));
    ASSERT_TRUE(StockJournal::AppendLineToFile(file, u"zwei ä"_s));
    EXPECT_EQ(TestDocuments::fileBytes(file), QByteArray("eins\r\nzwei \xE4\r\n"));
}
