#include "tests/stock/stocktest.h"

namespace
{
struct Row {
    const char16_t *nr;
    const char16_t *bez;
    const char16_t *gruppe = u"";
};

void fill(TDBLagerSearchResultObjectList &list, std::initializer_list<Row> rows)
{
    qint32 recNo = 0;
    for (const Row &r : rows)
        list.Add(std::make_unique<TDBLagerSearchResult>(
            ++recNo, QStringView(r.nr), QStringView(r.bez), QString::fromUtf16(r.gruppe)));
}

QStringList found(const TDBLagerSearchResultObjectList &full, const QString &text,
                  const QString &group = {})
{
    TDBLagerSearchResultObjectList hits(false);
    full.Search(text, group, hits);
    return articleNumbers(hits);
}
} // namespace

// Words are upper-cased substrings of the description only, in any order ("SCHRAUBE-M8" holds
// both words although they share no blank); empty words from extra blanks match nothing; the
// group is the whole text without regard to case.
TEST(LagerSearchWords, WordsAndGroups)
{
    TDBLagerSearchResultObjectList list;
    fill(list, {{u"1", u"Kabel NYM 3x1,5", u"ROHRE"},
                {u"2", u"M8 SCHRAUBE VERZINKT", u"Rohre 2"},
                {u"3", u"SCHRAUBE-M8", u"rohre"},
                {u"4", u"Schraube M6"},
                {u"5", u"Heizkörperventil DN15"},
                {u"KAB9", u"Rohr 1 Zoll"},
                {u"7", u"  "}});
    struct Case {
        const char16_t *text, *group;
        QStringList hits;
    };
    const Case cases[] = {{u"ab", u"", {u"1"_s}},
                          {u"SCHRAUBE M8", u"", {u"2"_s, u"3"_s}},
                          {u"körper dn15", u"", {u"5"_s}},
                          {u"KAB9", u"", {}},
                          {u" ", u"", {}},
                          {u"   ", u"", {}},
                          {u"Rohr  Zoll", u"", {}},
                          {u"Rohr ", u"", {}},
                          {u"Rohr Zoll", u"", {u"KAB9"_s}},
                          {u"", u"Rohre", {u"1"_s, u"3"_s}},
                          {u"m8", u"Rohre", {u"3"_s}},
                          {u"", u"Rohr", {}}};
    for (const Case &c : cases)
        EXPECT_EQ(found(list, QString::fromUtf16(c.text), QString::fromUtf16(c.group)), c.hits)
            << qPrintable(QString::fromUtf16(c.text)) << " in "
            << qPrintable(QString::fromUtf16(c.group));
    EXPECT_EQ(found(list, QString()).size(), 7);
}

TEST(SearchResultList, SearchListRefersToTheFullListsEntries)
{
    auto full = std::make_unique<TDBLagerSearchResultObjectList>();
    fill(*full, {{u"1", u"Bogen"}, {u"2", u"Muffe"}, {u"3", u"Bogen 90"}});
    TDBLagerSearchResultObjectList hits(false);
    full->Search(u"muffe"_s, {}, hits);
    full->Search(u"bogen"_s, {}, hits); // empties the result first
    ASSERT_EQ(hits.Count(), 2);
    EXPECT_EQ(hits[0], full->Item(0));
    EXPECT_EQ(hits[1], full->Item(2));

    // Removing a row: the search list lets go, the full list frees (ASan watches both).
    TDBLagerSearchResult *gone = hits[1];
    EXPECT_EQ(hits.Remove(gone), 1);
    EXPECT_EQ(full->Remove(gone), 2);
    EXPECT_EQ(hits.Remove(gone), -1);
    hits.Clear();
    full.reset();
}

TEST(SearchResultList, IndexOfArticleTakesFirstPrefixOrExactNumber)
{
    TDBLagerSearchResultObjectList list;
    EXPECT_EQ(list.IndexOfArticle(u"10", false), -1);
    fill(list, {{u"1000", u"x"}, {u"10", u"y"}, {u"ab", u"z"}});
    EXPECT_EQ(list.IndexOfArticle(u"10", false), 0);
    EXPECT_EQ(list.IndexOfArticle(u"10", true), 1);
    EXPECT_EQ(list.IndexOfArticle(u"", false), -1);
    EXPECT_EQ(list.IndexOfArticle(u"AB", false), -1);
    EXPECT_EQ(list.IndexOfArticle(u"10000", false), -1);
    EXPECT_EQ(list.FindArticle(u"10"), list.Item(1));
    EXPECT_EQ(list.FindArticle(u"100"), nullptr);
}

TEST(SearchResultList, SortsAscendingWithMissingPricesFirst)
{
    TDBLagerSearchResultObjectList list;
    fill(list, {{u"b", u"2"}, {u"B", u"1"}, {u"a", u"3"}, {u"Ä", u"4"}});
    list.Item(0)->EditInfo().VKPreis[2] = Money::fromUnits(5);
    list.Item(1)->EditInfo().VKPreis[2] = Money::fromRaw(-1);
    list.Item(2)->EditInfo().VKPreis[2] = Money::fromRaw(1);
    list.Item(3)->EditInfo().Lagerort = u"R1"_s;

    list.SortByVKPreis3();
    EXPECT_EQ(articleNumbers(list), QStringList({u"B"_s, u"Ä"_s, u"a"_s, u"b"_s}));
    // Character codes, not a locale: capitals before small letters, umlauts last.
    list.SortByArtikelNr();
    EXPECT_EQ(articleNumbers(list), QStringList({u"B"_s, u"a"_s, u"b"_s, u"Ä"_s}));
    // Entries without details sort as empty places, keeping their order among themselves.
    for (auto sort : {&TDBLagerSearchResultObjectList::SortByBezeichnung,
                      &TDBLagerSearchResultObjectList::SortByLagerort,
                      &TDBLagerSearchResultObjectList::SortByEKPreis}) {
        (list.*sort)();
        EXPECT_EQ(articleNumbers(list), QStringList({u"B"_s, u"b"_s, u"a"_s, u"Ä"_s}));
    }
}

TEST(SearchResultEntry, NumberAndDescriptionShareOneBufferButChangeApart)
{
    // The constructor's side is every list test's; here each setter leaves the other text.
    TDBLagerSearchResult e(7, u"4711", u"Rohr DN15", u"ROHRE"_s);
    e.SetArtikelNr(u"4711-A");
    EXPECT_EQ(e.Bezeichnung(), u"Rohr DN15"_s);
    e.SetBezeichnung(u"");
    EXPECT_EQ(e.ArtikelNr(), u"4711-A"_s);
    EXPECT_TRUE(e.Bezeichnung().isEmpty());

    EXPECT_FALSE(e.HasDetails());
    e.EditInfo().ME = u"Stk"_s;
    const TDBLagerSearchResult copy = e;
    e.EditInfo().ME = u"m"_s;
    EXPECT_EQ(copy.Info().ME, u"Stk"_s);
    EXPECT_EQ(copy.RecNo, 7);
}
