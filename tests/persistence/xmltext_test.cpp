// The shared text helpers, conversions, money, dates and containers of the XML layer: mostly
// the inputs a naive implementation gets wrong (both decimal separators, carries, markers).
#include "base/messages.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "persistence/xml/dbxmlcorewriter.h"
#include "persistence/xml/doublestring.h"
#include "persistence/xml/texthelpers.h"
#include "persistence/xml/xmltext.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <tuple>

namespace
{
QString s(const char16_t *text)
{
    return QStringView(text).toString();
}

} // namespace

TEST(XMLText, TagReadersFindTheFirstMatchAndNothingElse)
{
    const QString period = s(u"<from>0101</from><to> 3112 </to><mb>2,5</mb><bm></bm>");
    EXPECT_EQ(XMLTagText(period, u"to"), s(u"3112"));
    EXPECT_EQ(XMLTagText(period, u"bm"), QString());
    EXPECT_EQ(XMLTagText(period, u"xy"), QString());
    EXPECT_EQ(XMLTagText(u"<a>1</a><a>2</a>", u"a"), s(u"1"));
    EXPECT_EQ(XMLTagText(u"<a>open", u"a"), QString());

    const QString snippet = s(u"<abc nr=\"9\"/><ab xnr=\"1\" nr=\"2\" empty=\"\" /><ab nr=\"3\"/>");
    EXPECT_EQ(XMLTagAttribute(snippet, u"ab", u"nr"), s(u"2")); // not <abc>, not xnr
    EXPECT_EQ(XMLTagAttribute(snippet, u"abc", u"nr"), s(u"9"));
    EXPECT_EQ(XMLTagAttribute(snippet, u"ab", u"empty"), QString());
    EXPECT_EQ(XMLTagAttribute(snippet, u"ab", u"missing"), QString());
    EXPECT_EQ(XMLTagAttribute(snippet, u"zz", u"nr"), QString());
    // Only the first element counts, up to its "/>".
    EXPECT_EQ(XMLTagAttribute(u"<a x=\"1\"/><a y=\"2\"/>", u"a", u"y"), QString());
    EXPECT_EQ(XMLTagAttribute(u"<a y=\"unterminated", u"a", u"y"), s(u"unterminated"));

    for (const auto &[text, between] : std::initializer_list<std::pair<const char16_t *, QString>>{
             {u"Lieferant [4711_2] x", s(u"4711_2")},
             {u"a]b[c", {}},
             {u"no markers", {}},
             {u"[]", {}}})
        EXPECT_EQ(TextBetween(text, u"[", u"]"), between) << qPrintable(s(text));
    EXPECT_EQ(TextBetween(u"'quoted'", u"'", u"'"), s(u"quoted"));

    // Escaped text is escaped again: the writer never guesses. (The entities themselves are
    // in the XML core's golden document.)
    QString out = s(u"x=");
    AppendEncodedXMLText(out, u"&amp;<");
    EXPECT_EQ(out, s(u"x=&amp;amp;&lt;"));
}

TEST(TextHelpers, IncrementNumberTextCarriesAndPads)
{
    struct Case {
        const char16_t *before;
        int width;
        const char16_t *after;
    };
    // Never cut; beyond 64 bits the carry still works digit by digit.
    // clang-format off
    const Case cases[] = {
        {u"A0099", 0, u"A0100"}, {u"KAB", 0, u"KAB0001"}, {u"7", 0, u"8"}, {u"", 0, u"0001"},
        {u"999", 0, u"1000"}, {u"A-09", 0, u"A-10"}, {u"12A", 0, u"12A0001"},
        {u"A12", 6, u"A000013"}, {u"A0999", 2, u"A1000"}, {u"", 2, u"01"},
        {u"N99999999999999999999", 0, u"N100000000000000000000"}};
    // clang-format on
    for (const Case &c : cases)
        EXPECT_EQ(IncrementNumberText(c.before, c.width), s(c.after)) << qPrintable(s(c.before));
}

TEST(TextHelpers, FieldsAndCounting)
{
    const char16_t *tokens[] = {u"", u"a", u"b", u"", u"d", u""}; // 0 and 5 are out of range
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(TokenAt(u"a;b;;d", u';', i), s(tokens[i])) << i;
    EXPECT_EQ(TokenAt(u"", u';', 1), QString());
    EXPECT_EQ(TokenAt(u"abc", u';', 1), s(u"abc"));

    QStringList list{s(u"old")};
    SplitToList(u"x|y||", u'|', list, false);
    EXPECT_EQ(list, (QStringList{s(u"old"), s(u"x"), s(u"y"), QString(), QString()}));
    SplitToList(u"", u'|', list, true);
    EXPECT_TRUE(list.isEmpty());

    EXPECT_EQ(CountChar(u"a;b;;", u';'), 3);
    EXPECT_TRUE(StartsAndEndsWith(u"LOCKREC4711.SRW", u"LOCKREC", u".srw"));
    EXPECT_FALSE(StartsAndEndsWith(u"lockrec4711.SRW", u"LOCKREC", u".SRW"));
    EXPECT_FALSE(StartsAndEndsWith(u"abc", u"ab", u"bc")); // overlapping does not count
    EXPECT_EQ(QuoteIfSpaced(s(u"C:/Program Files/x"), u'"'), s(u"\"C:/Program Files/x\""));
    EXPECT_EQ(QuoteIfSpaced(s(u"\"a b"), u'"'), s(u"\"a b"));
    EXPECT_EQ(QuoteIfSpaced(s(u"ab"), u'"'), s(u"ab"));
}

TEST(TextHelpers, NormalizeText)
{
    const QString text = s(u"  Rohr  DN15\r\nverzinkt 1/2\"  ");
    EXPECT_EQ(NormalizeText(text, true, false, false), s(u"Rohr DN15 verzinkt 1/2\""));
    EXPECT_EQ(NormalizeText(text, false, false, false), s(u"RohrDN15verzinkt1/2\""));
    EXPECT_EQ(NormalizeText(text, true, true, false), s(u"15 12")); // a line break is no blank
    EXPECT_EQ(NormalizeText(text, true, false, true), s(u"Rohr DN15\r\nverzinkt 1/2\""));
}

TEST(TolerantConversions, MoneyIsExactAndRejectsWhatDoesNotFit)
{
    const Money def = Money::fromRaw(-42);
    // Beyond four decimals: to even on a tie; values a double cannot hold exactly stay exact.
    // clang-format off
    const std::pair<const char16_t *, qint64> money[] = {
        {u"12,3456", 123456}, {u"-0,0001", -1}, {u",5", 5000}, {u"3,", 30000},
        {u"12,34565", 123456}, {u"12,34575", 123458}, {u"12,345650001", 123457},
        {u"922337203685477,5807", std::numeric_limits<qint64>::max()},
        {u"922337203685477,5808", -42}, {u"1,2,3", -42}, {u"1-2", -42}, {u"-", -42},
        {u",", -42}, {u"", -42}};
    // clang-format on
    for (const auto &[text, raw] : money)
        EXPECT_EQ(StrToCurrTolerant(text, def).raw(), raw) << qPrintable(s(text));

    EXPECT_EQ(StrToIntTolerant(u"-12 Stk", 0), -12);
    EXPECT_EQ(StrToIntTolerant(u"99999999999", 7), 7);
    EXPECT_EQ(StrToIntTolerant(u"1,5", 7), 15); // the separator is no digit for integers
    EXPECT_DOUBLE_EQ(StrToFloatTolerant(u"--1", 7), 7);

    // The UTF-8 readers of attribute values agree with the UTF-16 ones.
    for (const char *t : {"12,3456", "1.234,50 EUR", "-7", "x", "", "1e5", "2,5E3",
                          "\xc3\xa4"
                          "5"}) {
        const QString q = QString::fromUtf8(t);
        EXPECT_EQ(StrToFloatTolerant(QUtf8StringView(t), -1), StrToFloatTolerant(q, -1)) << t;
        EXPECT_EQ(StrToCurrTolerant(QUtf8StringView(t), def), StrToCurrTolerant(q, def)) << t;
        EXPECT_EQ(StrToIntTolerant(QUtf8StringView(t), -1), StrToIntTolerant(q, -1)) << t;
        EXPECT_EQ(StrToBoolTolerant(QUtf8StringView(t), true), StrToBoolTolerant(q, true)) << t;
    }
}

TEST(TolerantConversions, BooleansFromNumbersAndWords)
{
    // Not one number nor a known word ("1 0", "ja"): the default.
    // clang-format off
    const std::tuple<const char16_t *, bool, bool> cases[] = {
        {u"2,5", false, true}, {u" 0 ", true, false}, {u"fAlSe", true, false},
        {u"ja", false, false}, {u"1 0", false, false}, {u"", true, true},
        {u"vielleicht", true, true}, {u"-1", false, true}, {u"true", false, true}};
    // clang-format on
    for (const auto &[text, fallback, expected] : cases)
        EXPECT_EQ(StrToBoolTolerant(text, fallback), expected) << qPrintable(s(text));
    EXPECT_EQ(StrToIntTolerant(u"", 7), 7);
}

TEST(Money, FourDecimalsExactlyHalfCentBoundaryAndSingleRoundingOfPercentages)
{
    EXPECT_EQ(RoundMoney(false, Money::fromRaw(-50)).raw(), -100);
    EXPECT_EQ(RoundMoney(false, Money::fromRaw(49)).raw(), 0);
    EXPECT_EQ(RoundMoney(false, Money::fromRaw(-49)).raw(), 0);
    EXPECT_EQ(RoundMoney(false, Money::fromRaw(123456)).raw(), 123500);
    EXPECT_EQ(RoundMoney(true, Money::fromRaw(123456)).raw(), 123456);

    const Money a = Money::fromRaw(123456); // 12,3456
    // 12,3456 - 1,5432: rounding a / 100 first would give 10,8018.
    EXPECT_EQ(ApplyDiscount(true, a, 12.5).raw(), 108024);
    EXPECT_EQ(ApplyDiscount(false, a, 12.5).raw(), 108000);
    EXPECT_EQ(AddPercent(true, a, 12.5).raw(), 138888);
    EXPECT_EQ(AddPercent(true, Money::fromRaw(1), 50).raw(), 2); // 1,5 -> 2 (tie to even)
    EXPECT_EQ(AddPercent(true, Money::fromRaw(3), 50).raw(), 4); // 4,5 -> 4 (tie to even)
    EXPECT_EQ(NetToGross(true, Money::fromRaw(1000000), 19).raw(), 1190000);
    EXPECT_EQ(GrossToNet(false, Money::fromRaw(1190000), 19).raw(), 1000000);
    EXPECT_EQ(GrossToNet(false, Money::fromRaw(-1000000), 19).raw(), -840300); // -84,0336
    EXPECT_THROW(GrossToNet(false, a, -100), std::range_error);

    EXPECT_EQ(Money::fromDouble(12.3456).raw(), 123456);
    EXPECT_EQ(Money::fromDouble(-0.00005).raw(), 0);  // exactly -0.5 after scaling: to even
    EXPECT_EQ(Money::fromDouble(0.03125).raw(), 312); // an exact tie goes to even
    EXPECT_EQ((Money::fromDouble(0.1) + Money::fromDouble(0.2)), Money::fromDouble(0.3));
    EXPECT_EQ((Money::fromDouble(10.00) * 1.5).raw(), 150000);
}

// How a record's lines come out is the XML core's golden document; here what the file adds.
TEST(CoreWriter, ReplacesALongerFileAndRefusesWhatItCannotReplace)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out.xml"));
    ASSERT_TRUE(TestDocuments::writeFile(file, QByteArray(400, '.')));
    TDBXMLCoreWriter::CreateForFile(file)->WriteFmtLine(QStringLiteral("<v n=\"%d\"/>"),
                                                        {QStringLiteral("7")});
    EXPECT_EQ(TestDocuments::fileBytes(file),
              TestDocuments::utf16(TestDocuments::withDeclaration(s(u"<v n=\"7\"/>\r\n"))));
    EXPECT_TRUE(ui.messages.isEmpty());

    // A directory with content in the file's place cannot be deleted, not even by root.
    const QString blocked = dir.filePath(QStringLiteral("blocked.xml"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("blocked.xml/inner")));
    EXPECT_FALSE(TDBXMLCoreWriter::CreateForFile(blocked));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("Kann Datei \"") + blocked +
                                               QStringLiteral("\" nicht loeschen.")))
        << qPrintable(ui.messages[0].text);
}

// Deep copies of the lists are the XML core's record copy test; here the lookups.
TEST(SharedContainers, LookupsAreExactAndTakeTheFirstOfEqualKeys)
{
    TDoubleStringListObjectList list;
    EXPECT_EQ(list.Add(s(u"Kat"), s(u"4711")), 0);
    list.Add(s(u"[12_1]"), s(u"Firma"));
    EXPECT_EQ(list.Add(s(u"[12_1]"), s(u"[B-7]")), 2);
    EXPECT_EQ(list.ValueOf(s(u"[12_1]")), s(u"Firma"));
    EXPECT_EQ(list.ValueOf(s(u"kat")), QString());
    EXPECT_EQ(list.IndexOfKeyValue(s(u"[12_1]"), s(u"[B-7]")), 2);
    EXPECT_EQ(list.IndexOfKeyValue(s(u"[12_1]"), s(u"[b-7]")), -1);
    EXPECT_FALSE(list.HasValue(s(u"firma")));
    TStringStringlistObjectList named;
    EXPECT_EQ(named.Last(), nullptr);
}

TEST(DateTimeValue, CountsDaysSince1899)
{
    EXPECT_DOUBLE_EQ(DateTime::fromQDate(QDate(1899, 12, 30)), 0);
    EXPECT_DOUBLE_EQ(DateTime::fromQDate(QDate(2000, 1, 1)), 36526);
    const QDateTime noon(QDate(2024, 2, 29), QTime(12, 0));
    const double v = DateTime::fromQDateTime(noon);
    EXPECT_DOUBLE_EQ(v - std::trunc(v), 0.5);
    EXPECT_EQ(DateTime::toQDateTime(v), noon);
    EXPECT_EQ(DateTime::toQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
}
