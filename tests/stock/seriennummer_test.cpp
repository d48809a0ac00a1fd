#include "persistence/datetime.h"
#include "stock/seriennummer.h"
#include "tests/stock/stocktest.h"

namespace
{
TSeriennummerObjectList listOf(std::initializer_list<const char16_t *> numbers)
{
    TSeriennummerObjectList list;
    for (const char16_t *n : numbers)
        list.Add().SN = QString::fromUtf16(n);
    return list;
}
} // namespace

TEST(SeriennummerList, FindsCountsAndJoinsNumbersExactly)
{
    const TSeriennummerObjectList list = listOf({u"A1", u"", u"a1", u"A1", u""});
    EXPECT_EQ(std::tuple(list.CountEmpty(), list.CountOf(u"A1"_s), list.IndexOf(u"a1"_s),
                         list.IndexOf(u"B"_s)),
              std::tuple(2, 2, 2, -1));
    EXPECT_EQ(list.LastSerialNumber(u"-"_s), u"A1"_s);
    EXPECT_EQ(listOf({u"", u""}).LastSerialNumber(u"-"_s), u"-"_s);
    // One blank between numbers; empty numbers at the start vanish, later ones keep their blank.
    EXPECT_EQ(listOf({u"", u"", u"A", u"", u"B"}).JoinedText(), u"A  B"_s);
    EXPECT_EQ(TSeriennummerObjectList().JoinedText(), QString());
}

TEST(SeriennummerList, SetCountCopiesAndDroppingEmptyEntries)
{
    TSeriennummerObjectList list = listOf({u"X", u"Y"});
    const double before = DateTime::now();
    list.SetCount(4, u"4711"_s);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Item(1).LagerArtikelNr, QString()); // existing entries untouched
    EXPECT_EQ(list.Item(3).LagerArtikelNr, u"4711"_s);
    EXPECT_GE(list.Item(3).ZUGANG, before - 1.0 / 86400);
    list.SetCount(1, u"4711"_s); // shrinks from the end
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0).SN, u"X"_s);
    list.SetCount(-3, QString());
    EXPECT_TRUE(list.IsEmpty());

    // Copies are deep, also of the list itself.
    TSeriennummerObjectList target = listOf({u"1"});
    TSeriennummerObjectList source = listOf({u"", u"2"});
    target.AddCopiesOf(source);
    source.Item(1).SN = u"changed"_s;
    EXPECT_EQ(target.JoinedText(), u"1  2"_s);
    target.AddCopiesOf(target);
    EXPECT_EQ(target.Count(), 6);
    target.DeleteEmpty();
    EXPECT_EQ(target.JoinedText(), u"1 2 1 2"_s);
}
