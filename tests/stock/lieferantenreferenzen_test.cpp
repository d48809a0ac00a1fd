#include "stock/lieferantenreferenzen.h"
#include "tests/stock/stocktest.h"

namespace
{
struct SupplierRefs : ::testing::Test {
    TLagerDoubleStringList refs;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};

    QStringList texts() const
    {
        QStringList result;
        for (const TDoubleString &ref : refs)
            result << SupplierRefText(ref);
        return result;
    }
};
} // namespace

TEST_F(SupplierRefs, CatalogArticlesAreUniquePerCatalog)
{
    EXPECT_TRUE(AddCatalogArticleRef(refs, u"GC-Katalog"_s, u"4711"_s));
    EXPECT_FALSE(AddCatalogArticleRef(refs, u"GC-Katalog"_s, u"4711"_s));
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_EQ(scripted.messages[0].text,
              u"Der Artikel \"4711\" aus \"GC-Katalog\" ist bereits in der Liste."_s);

    EXPECT_FALSE(AddCatalogArticleRef(refs, u"GC-Katalog"_s, u"4712"_s));
    ASSERT_EQ(scripted.messages.size(), 2);
    EXPECT_EQ(scripted.messages[1].text,
              u"Ein Artikel aus dem Katalog \"GC-Katalog\" ist bereits in der Liste."_s);

    // Another catalog with the same number is another supplier; case matters in names.
    EXPECT_TRUE(AddCatalogArticleRef(refs, u"Richter"_s, u"4711"_s));
    EXPECT_TRUE(AddCatalogArticleRef(refs, u"gc-katalog"_s, u"4711"_s));
    EXPECT_EQ(refs.Count(), 3);
    EXPECT_EQ(scripted.messages.size(), 2);
}

// Order numbers are trimmed and cut to 20 characters; blanks only or a cancelled question add
// nothing, and say nothing.
TEST_F(SupplierRefs, SupplierPairsAreUniqueButASupplierMayHaveSeveral)
{
    const QString key = SupplierKey(u"1047"_s, u"2"_s);
    EXPECT_TRUE(AddSupplierRef(refs, key, u"Meier GmbH, Hauptstr. 1"_s));
    EXPECT_FALSE(AddSupplierRef(refs, key, u"Meier GmbH, Hauptstr. 1"_s));
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_EQ(scripted.messages[0].text,
              u"Der Lieferant \"Meier GmbH, Hauptstr. 1\" ist bereits in der Liste."_s);

    scripted.inputs = {u"  A-100  "_s, u"A-100"_s, u"123456789012345678901234"_s, u"   "_s};
    EXPECT_TRUE(AddSupplierOrderNumberRef(refs, key, u"Meier GmbH"_s));
    EXPECT_FALSE(AddSupplierOrderNumberRef(refs, key, u"Meier GmbH"_s))
        << "the trimmed number is the same pair";
    EXPECT_TRUE(AddSupplierOrderNumberRef(refs, key, u"Meier GmbH"_s));
    const qsizetype said = scripted.messages.size();
    EXPECT_FALSE(AddSupplierOrderNumberRef(refs, key, u"Meier GmbH"_s)); // blanks only
    EXPECT_FALSE(AddSupplierOrderNumberRef(refs, key, u"Meier GmbH"_s)); // cancelled
    EXPECT_EQ(texts(),
              (QStringList{u"Lieferant \"1047_2\" - Meier GmbH, Hauptstr. 1"_s,
                           u"Lieferant \"1047_2\" - Bestell-Nr. \"A-100\""_s,
                           u"Lieferant \"1047_2\" - Bestell-Nr. \"12345678901234567890\""_s}));
    EXPECT_EQ(scripted.messages.size(), said);
}

TEST_F(SupplierRefs, MakeStandardSwapsWithTheFirst)
{
    refs.Add(u"A"_s, u"1"_s);
    refs.Add(u"B"_s, u"2"_s);
    refs.Add(u"C"_s, u"3"_s);
    EXPECT_TRUE(MakeStandardSupplier(refs, 2));
    EXPECT_FALSE(MakeStandardSupplier(refs, 0));
    EXPECT_FALSE(MakeStandardSupplier(refs, 3));
    EXPECT_EQ(texts(), (QStringList{u"Katalog \"C\" - Artikel-Nr. \"3\""_s,
                                    u"Katalog \"B\" - Artikel-Nr. \"2\""_s,
                                    u"Katalog \"A\" - Artikel-Nr. \"1\""_s}));
}
