// The order table as the goods receipt and the journal use it: numbers found whatever the
// case typed, creation times kept, stored lines left alone when only the head is written,
// and older tables given their follow-up columns.
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/ordering/orderingtest.h"

namespace
{

class OrderTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(db.Open(m_dir.path()));
    }

    void store(const QString &number, double datum, int lines)
    {
        TBestellServerObj order;
        order.BestellNr = number;
        order.Datum = datum;
        order.Angelegt = datum;
        order.Stadium = 2;
        for (int i = 0; i < lines; ++i)
            addLine(order, u"N"_s, 2, 10, 1, 0);
        order.CalcNetto(false);
        ASSERT_EQ(db.WriteOrder(&order, true), 0);
    }

    QString column(const QString &name) { return db.Table()->FieldByName(name).AsString(); }
    double date(const QString &name) { return db.Table()->FieldByName(name).AsDateTime(); }

    QTemporaryDir m_dir;
    IModBestellDBServerObj db;
};

} // namespace

TEST_F(OrderTable, ReadFindsTheNumberWhateverTheCaseTyped)
{
    store(u"AB-12"_s, 45000, 2);
    store(u"AA-01"_s, 45001, 1);
    db.Table()->First();
    ASSERT_EQ(db.CurrentOrderNr(), u"AA-01"_s);

    TBestellServerObj order;
    order.BestellNr = u"ab-12"_s;
    ASSERT_EQ(db.ReadOrder(&order, true), 0);
    EXPECT_EQ(std::tuple(order.BestellNr, order.Artikel.Count(), order.Netto, db.CurrentOrderNr()),
              std::tuple(u"AB-12"_s, 2, 40.0, u"AB-12"_s));

    TBestellServerObj missing;
    missing.BestellNr = u"ab-13"_s;
    EXPECT_EQ(db.ReadOrder(&missing, true), -2);
    EXPECT_EQ(db.ReadOrder(nullptr, true), -1);
    EXPECT_EQ(db.WriteOrder(nullptr, true), -1);

    EXPECT_TRUE(db.OrderExists(u"aa-01"_s));
    EXPECT_EQ(db.CurrentOrderNr(), u"AA-01"_s);
    EXPECT_FALSE(db.OrderExists(u"AB-1"_s));
}

TEST_F(OrderTable, WriteKeepsTheOrdersOwnCreationTime)
{
    TBestellServerObj order;
    order.BestellNr = u"n-1"_s;
    order.Angelegt = 44000.25;
    order.AngelegtVon = u"ORDERER"_s;
    order.Geaendert = 44001;
    order.GeaendertVon = u"RECEIVER"_s;
    order.Kennzeichen = {u"eins"_s, u"zwei"_s};
    ASSERT_EQ(db.WriteOrder(&order, true), 0);
    EXPECT_EQ(order.BestellNr, u"N-1"_s);
    EXPECT_EQ(std::tuple(date(u"CREATED"_s), column(u"CREATEDBY"_s), date(u"CHANGED"_s)),
              std::tuple(44000.25, u"ORDERER"_s, 44001.0));

    // Writing an existing order changes it, but its creation stays as first stored.
    order.Angelegt = 1;
    order.AngelegtVon = u"X"_s;
    order.Anzeigetext = u"geaendert"_s;
    ASSERT_EQ(db.WriteOrder(&order, true), 0);
    EXPECT_EQ(db.Table()->RecordCount(), 1);
    EXPECT_EQ(std::tuple(date(u"CREATED"_s), column(u"Anzeigetext"_s), column(u"CHARACT"_s)),
              std::tuple(44000.25, u"geaendert"_s, u"eins\r\nzwei"_s));

    TBestellServerObj back;
    back.BestellNr = u"N-1"_s;
    ASSERT_EQ(db.ReadOrder(&back, false), 0);
    EXPECT_EQ(std::tuple(back.Kennzeichen, back.Angelegt), std::tuple(order.Kennzeichen, 44000.25));
}

TEST_F(OrderTable, WritingWithoutLinesLeavesTheStoredLines)
{
    store(u"L-1"_s, 45000, 3);
    ASSERT_EQ(db.Table()->RecordCount(), 1);
    // As stored, not as the write buffer still holds it.
    db.Table()->Refresh();
    const QString storedLines = column(u"XMLBDATA"_s);
    ASSERT_TRUE(storedLines.contains(u"<artikelliste>"_s));
    EXPECT_TRUE(storedLines.contains(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"_s));
    EXPECT_TRUE(column(u"XMLDATA"_s).contains(u"<?xml version=\"1.0\""_s));

    TBestellServerObj head;
    head.BestellNr = u"L-1"_s;
    ASSERT_EQ(db.ReadOrder(&head, false), 0);
    EXPECT_EQ(std::tuple(head.Artikel.Count(), head.Netto), std::tuple(qsizetype(0), 60.0));
    head.Stadium = 4;
    ASSERT_EQ(db.WriteOrder(&head, false), 0);
    db.Table()->Refresh();
    EXPECT_EQ(column(u"XMLBDATA"_s), storedLines);
    EXPECT_EQ(db.Table()->FieldByName(u"Stadium"_s).AsInteger(), 4);

    TBestellServerObj full;
    full.BestellNr = u"l-1"_s;
    ASSERT_EQ(db.ReadOrder(&full, true), 0);
    EXPECT_EQ(full.Artikel.Count(), 3);
    full.Artikel[0].Geliefert = 2;
    full.UpdateStadium();
    ASSERT_EQ(db.WriteOrder(&full, true), 0);
    EXPECT_TRUE(column(u"XMLBDATA"_s).contains(u"gelief=\"2\""_s));
}

TEST_F(OrderTable, NearestNumberKeepsTheJournalsSortOrder)
{
    store(u"B-3"_s, 45003, 0);
    store(u"B-1"_s, 45009, 0);
    store(u"B-2"_s, 45001, 0);
    db.Table()->SetIndexName(u"002"_s);
    db.FindNearestOrder(u"B-15"_s);
    EXPECT_EQ(db.CurrentOrderNr(), u"B-2"_s);
    EXPECT_EQ(db.Table()->IndexName(), u"002"_s);
    db.Table()->Next(); // date order: B-2, B-3, B-1
    EXPECT_EQ(db.CurrentOrderNr(), u"B-3"_s);
}

TEST(OrderTableUpgrade, OlderTableGetsFollowUpColumnsBeforeCharact)
{
    QTemporaryDir dir;
    {
        TTdbDatabase old;
        old.SetDatabaseType(TTdbDatabase::Directory);
        old.SetLocation(dir.path());
        TTdbTable table(&old);
        table.SetTableName(u"BESTELL"_s);
        TFieldDefs &f = table.FieldDefs();
        f.Add(u"BestellNr"_s, FieldType::WideString, 50, true);
        f.Add(u"Anzeigetext"_s, FieldType::WideString, 80);
        f.Add(u"CREATED"_s, FieldType::DateTime, 0, true);
        f.Add(u"CHANGED"_s, FieldType::DateTime, 0, true);
        f.Add(u"CHARACT"_s, FieldType::WideMemo);
        f.Add(u"XMLBDATA"_s, FieldType::WideMemo);
        f.Add(u"XMLDATA"_s, FieldType::WideMemo);
        table.IndexDefs().Add(u"001"_s, u"BestellNr"_s, ixUnique);
        table.CreateTable();
        old.Connect();
        table.Open();
        table.Append();
        table.FieldByName(u"BestellNr"_s).SetAsString(u"ALT-1"_s);
        table.FieldByName(u"Anzeigetext"_s).SetAsString(u"vorher"_s);
        table.Post();
        table.Close();
        old.Disconnect();
    }
    IModBestellDBServerObj db;
    ASSERT_TRUE(db.Open(dir.path()));
    QStringList names;
    for (int i = 0; i < db.Table()->FieldCount(); ++i)
        names.append(db.Table()->Fields(i).FieldName());
    EXPECT_EQ(names,
              QStringList({u"BestellNr"_s, u"Anzeigetext"_s, u"CREATED"_s, u"CHANGED"_s, u"WV"_s,
                           u"WVTXT"_s, u"WVUSER"_s, u"CHARACT"_s, u"XMLBDATA"_s, u"XMLDATA"_s}));
    ASSERT_TRUE(db.OrderExists(u"alt-1"_s));
    EXPECT_EQ(db.Table()->FieldByName(u"Anzeigetext"_s).AsString(), u"vorher"_s);
}
