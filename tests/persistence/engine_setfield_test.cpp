#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The keyed one-column update of bulk changes: it finds what FindKey finds, stores what Post
// would store, and leaves every other column alone.
TEST(EngineSetFieldByKey, ChangesOneColumnOfTheKeyedRowsOnly)
{
    QTemporaryDir dir;
    TTdbDatabase db;
    db.SetLocation(dir.path() + u"/"_s);
    db.Connect();
    TTdbTable t(&db);
    t.SetTableName(u"ARTIKEL"_s);
    t.FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
    t.FieldDefs().Add(u"Ort"_s, FieldType::WideString, 8);
    t.FieldDefs().Add(u"XMLDATA"_s, FieldType::WideMemo);
    t.IndexDefs().Add(u"001"_s, u"Nr"_s, ixUnique);
    t.IndexDefs().Add(u"002"_s, u"Ort"_s, ixCaseInsensitive);
    t.CreateTable();
    t.SetIndexName(u"001"_s);
    t.Open();
    for (const QString &nr : {u"A'1"_s, u"B2"_s, u"b2"_s}) {
        t.Append();
        t.FieldByName(u"Nr"_s).SetAsString(nr);
        t.FieldByName(u"Ort"_s).SetAsString(u"alt"_s);
        t.FieldByName(u"XMLDATA"_s).SetAsString(u"<x a=\"1\"/>"_s + nr);
        t.Post();
    }
    const auto column = [&](const QString &field) {
        QStringList seen;
        for (t.First(); !t.Eof(); t.Next())
            seen.append(t.FieldByName(field).AsString());
        return seen;
    };
    const QStringList xml = column(u"XMLDATA"_s);

    const struct {
        QString index;
        QString key;
        QString value;
        int changed;
        QStringList places; // A'1, B2, b2 in "001" order
    } cases[] = {
        {u"001"_s, u"A'1"_s, u"Regal 1 oben"_s, 1, {u"Regal 1 "_s, u"alt"_s, u"alt"_s}}, // cut to 8
        {u"001"_s, u"B2"_s, u"X"_s, 1, {u"Regal 1 "_s, u"X"_s, u"alt"_s}}, // case counts in "001"
        {u"001"_s, u"C3"_s, u"Y"_s, 0, {u"Regal 1 "_s, u"X"_s, u"alt"_s}},
        {u"002"_s, u"ALT"_s, u"neu"_s, 1, {u"Regal 1 "_s, u"X"_s, u"neu"_s}}, // not in "002"
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t.SetFieldByKey(c.index, {c.key}, u"Ort"_s, c.value), c.changed)
            << qPrintable(c.key);
        t.Refresh();
        EXPECT_EQ(column(u"Ort"_s), c.places) << qPrintable(c.key);
    }
    EXPECT_EQ(column(u"XMLDATA"_s), xml);
    EXPECT_THROW(t.SetFieldByKey(u"009"_s, {u"B2"_s}, u"Ort"_s, u"Z"_s), EngineError);
    EXPECT_THROW(t.SetFieldByKey(u"001"_s, {u"B2"_s}, u"Fehlt"_s, u"Z"_s), EngineError);
}
