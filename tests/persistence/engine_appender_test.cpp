#include "persistence/engine/engineerror.h"
#include "persistence/engine/tableappender.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <variant>

using namespace Qt::StringLiterals;

namespace
{
// One value per column the appender is given; Skip leaves the column unset.
struct Skip {
};
using Value = std::variant<Skip, QString, double, int, bool>;

struct Appended {
    const char *what;
    std::vector<Value> values; // Nr, Kurz, Latin, Preis, Menge, Zahl, Flag, Zeit, XML
};

void putCursor(TTdbTable &t, const QStringList &columns, const std::vector<Value> &values)
{
    for (size_t i = 0; i < values.size(); ++i) {
        TField &f = t.FieldByName(columns[qsizetype(i)]);
        std::visit(
            [&](const auto &v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, QString>)
                    f.SetAsString(v);
                else if constexpr (std::is_same_v<T, double>)
                    f.SetAsFloat(v);
                else if constexpr (std::is_same_v<T, int>)
                    f.SetAsInteger(v);
                else if constexpr (std::is_same_v<T, bool>)
                    f.SetAsBoolean(v);
            },
            values[i]);
    }
}

void putAppender(TTableAppender &a, const std::vector<Value> &values)
{
    for (size_t i = 0; i < values.size(); ++i) {
        std::visit(
            [&](const auto &v) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(v)>, Skip>)
                    a.Set(int(i), v);
            },
            values[i]);
    }
}

// Every column of every row in row order, null apart from empty.
QStringList rows(TTdbTable &t)
{
    QStringList out;
    t.SetIndexName({});
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList row;
        for (int i = 0; i < t.FieldCount(); ++i)
            row.append(t.Fields(i).IsNull()
                           ? u"<null>"_s
                           : t.Fields(i).AsVariant().toString() + u'|' +
                                 QString::fromLatin1(t.Fields(i).AsVariant().typeName()));
        out.append(row.join(u"; "_s));
    }
    return out;
}

void define(TTdbTable &t, const QString &name)
{
    t.SetTableName(name);
    t.FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
    t.FieldDefs().Add(u"Kurz"_s, FieldType::WideString, 5);
    t.FieldDefs().Add(u"Latin"_s, FieldType::String, 10);
    t.FieldDefs().Add(u"Preis"_s, FieldType::Float).precision = 4;
    t.FieldDefs().Add(u"Menge"_s, FieldType::Float);
    t.FieldDefs().Add(u"Zahl"_s, FieldType::Integer);
    t.FieldDefs().Add(u"Flag"_s, FieldType::Boolean);
    t.FieldDefs().Add(u"Zeit"_s, FieldType::DateTime);
    t.FieldDefs().Add(u"Leer"_s, FieldType::WideString, 10); // never given
    t.FieldDefs().Add(u"XMLDATA"_s, FieldType::WideMemo);
    t.IndexDefs().Add(u"001"_s, u"Nr"_s, ixUnique);
    t.CreateTable();
    t.SetIndexName(u"001"_s);
    t.Open();
}
} // namespace

// Rows appended in bulk read back exactly as rows posted through the cursor: texts cut to the
// column, single-byte columns narrowed, prices rounded, numbers in text converted, unset and
// never given columns empty (not null), the byte-order mark of an XML text kept.
TEST(EngineAppender, StoresWhatTheCursorWouldStore)
{
    QTemporaryDir dir;
    TTdbDatabase db;
    db.SetLocation(dir.path() + u"/"_s);
    db.Connect();
    TTdbTable cursor(&db);
    TTdbTable bulk(&db);
    define(cursor, u"CURSOR"_s);
    define(bulk, u"BULK"_s);
    const QStringList columns{u"Nr"_s,   u"Kurz"_s, u"Latin"_s, u"Preis"_s,  u"Menge"_s,
                              u"Zahl"_s, u"Flag"_s, u"Zeit"_s,  u"XMLDATA"_s};
    const Appended cases[] = {
        {"every type",
         {u"A'1"_s, u"Regal oben"_s, u"Gr\u00f6\u00dfe \u20ac"_s, 1.234567, 2.5, 7, true, 46000.25,
          u"\ufeff<lagerartikel nr=\"A'1\"/>"_s}},
        {"unset columns",
         {u"B2"_s, Skip{}, Skip{}, Skip{}, Skip{}, Skip{}, Skip{}, Skip{}, Skip{}}},
        {"texts for numbers and flags",
         {u"C3"_s, QString(), u""_s, u"3,14159"_s, u" "_s, u"12"_s, u"J"_s, Skip{}, QString()}},
        {"numbers for texts", {u"D4"_s, 1.5, 42, -1.0, 0.0, 0, false, 0.0, u"x"_s}},
    };
    {
        TTableAppender appender(bulk, columns);
        for (const Appended &c : cases) {
            cursor.Append();
            putCursor(cursor, columns, c.values);
            cursor.Post();
            putAppender(appender, c.values);
            appender.Post();
        }
    }
    EXPECT_EQ(rows(bulk), rows(cursor));
    EXPECT_EQ(bulk.RecordCount(), 4);
}

// A refused row is not half written and leaves the appender ready for the next one; a value
// the column cannot hold is refused before anything is sent.
TEST(EngineAppender, RefusedRowsLeaveNoTrace)
{
    QTemporaryDir dir;
    TTdbDatabase db;
    db.SetLocation(dir.path() + u"/"_s);
    db.Connect();
    TTdbTable t(&db);
    define(t, u"BULK"_s);
    EXPECT_THROW(TTableAppender(t, {u"Nr"_s, u"Fehlt"_s}), EngineError);

    TTableAppender a(t, {u"Nr"_s, u"Zahl"_s, u"Menge"_s});
    a.Set(0, u"A"_s);
    a.Set(1, 1);
    a.Post();
    a.Set(0, u"A"_s); // the number is taken
    a.Set(1, 2);
    EXPECT_THROW(a.Post(), EngineError);
    EXPECT_THROW(a.Set(1, u"zwei"_s), EngineError);
    EXPECT_THROW(a.Set(2, std::numeric_limits<double>::infinity()), EngineError);
    a.Set(0, u"B"_s);
    a.Post();

    QStringList seen;
    for (t.First(); !t.Eof(); t.Next())
        seen.append(t.FieldByName(u"Nr"_s).AsString() + u'=' +
                    QString::number(t.FieldByName(u"Zahl"_s).AsInteger()));
    EXPECT_EQ(seen, (QStringList{u"A=1"_s, u"B=0"_s}));
}
