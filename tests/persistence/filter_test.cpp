#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

TFieldDefs orderFields()
{
    TFieldDefs defs;
    defs.Add(u"BestellNr"_s, FieldType::WideString, 20);
    defs.Add(u"Anzeigetext"_s, FieldType::WideString, 80);
    defs.Add(u"Stadium"_s, FieldType::Integer);
    defs.Add(u"Netto"_s, FieldType::Float);
    defs.Add(u"Erledigt"_s, FieldType::Boolean);
    defs.Add(u"Bild"_s, FieldType::Blob);
    return defs;
}

CompiledFilter parse(const QString &text)
{
    const TFieldDefs defs = orderFields();
    return FilterParser(defs).parse(text);
}

} // namespace

TEST(FilterParser, ValuesBecomeParametersNeverSqlText)
{
    const auto f = parse(u"BestellNr = 'O''Brien; DROP TABLE x --'"_s);
    EXPECT_EQ(f.sql, u"\"BestellNr\" = ?"_s);
    ASSERT_EQ(f.params.size(), 1);
    EXPECT_EQ(f.params[0].toString(), u"O'Brien; DROP TABLE x --"_s);

    const auto dq = parse(u"bestellnr=\"a\"\"b\""_s); // names ignore case, both quote kinds
    EXPECT_EQ(dq.sql, u"\"BestellNr\" = ?"_s);
    EXPECT_EQ(dq.params[0].toString(), u"a\"b"_s);
}

TEST(FilterParser, BooleanStructureAndPrecedence)
{
    const auto f = parse(u"((Stadium = 2) or (Stadium = 4) or (Stadium = 1))"_s);
    EXPECT_EQ(f.sql, u"((\"Stadium\" = ?) OR (\"Stadium\" = ?) OR (\"Stadium\" = ?))"_s);
    EXPECT_EQ(f.params, (QVariantList{2.0, 4.0, 1.0}));

    // and binds tighter than or; not applies to what follows it.
    const auto g = parse(u"Stadium >= 2 OR Netto < -1.5 AND NOT Erledigt = true"_s);
    EXPECT_EQ(g.sql, u"\"Stadium\" >= ? OR \"Netto\" < ? AND NOT (\"Erledigt\" = ?)"_s);
    EXPECT_EQ(g.params, (QVariantList{2.0, -1.5, 1}));

    const auto h = parse(u"Stadium <> 3 and Stadium != '4' and Netto <= 1e3"_s);
    EXPECT_EQ(h.sql, u"\"Stadium\" <> ? AND \"Stadium\" <> ? AND \"Netto\" <= ?"_s);
    EXPECT_EQ(h.params, (QVariantList{3.0, 4.0, 1000.0}));
}

TEST(FilterParser, LikeTurnsStarsIntoWildcardsAndKeepsTheRestLiteral)
{
    const auto f = parse(u"(Anzeigetext like '*50%_Rabatt*') and (Anzeigetext like '*x*')"_s);
    EXPECT_EQ(f.sql, u"(\"Anzeigetext\" LIKE ? ESCAPE '\\') AND (\"Anzeigetext\" LIKE ? "
                     "ESCAPE '\\')"_s);
    EXPECT_EQ(f.params[0].toString(), u"%50\\%\\_Rabatt%"_s);
    EXPECT_EQ(f.params[1].toString(), u"%x%"_s);
    EXPECT_EQ(parse(u"Stadium not like '1*'"_s).sql,
              u"CAST(\"Stadium\" AS TEXT) NOT LIKE ? ESCAPE '\\'"_s);
    // A number compared with a text column is the text of the number.
    EXPECT_EQ(parse(u"BestellNr = 4711"_s).params[0].toString(), u"4711"_s);
}

TEST(FilterParser, MalformedFiltersAreRefusedWithAMessage)
{
    const QStringList bad = {
        u"Stadium ="_s,          u"= 2"_s,
        u"Stadium = 2 and"_s,    u"(Stadium = 2"_s,
        u"Stadium = 2)"_s,       u"()"_s,
        u"BestellNr = 'offen"_s, u"Unbekannt = 1"_s,
        u"Stadium = 'zwei'"_s,   u"Stadium 2"_s,
        u"Anzeigetext like 5"_s, u"Stadium = 2 Stadium = 3"_s,
        u"Stadium ! 2"_s,        u"Stadium = 2; DELETE"_s,
        u"Bild = 'x'"_s,         u"BestellNr = true"_s,
        u"[BestellNr = 'x'"_s,   u"Netto = 1.2.3"_s,
    };
    for (const QString &text : bad) {
        try {
            parse(text);
            ADD_FAILURE() << "accepted: " << text.toStdString();
        } catch (const EngineError &e) {
            EXPECT_TRUE(e.message().contains(u"Invalid filter"_s)) << e.what();
        }
    }
    // Empty text matches everything.
    EXPECT_EQ(parse(u"  "_s).sql, u"1"_s);
}
