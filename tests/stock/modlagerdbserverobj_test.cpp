#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagertablescan.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "tests/stock/stocktest.h"

#include <functional>

namespace
{
std::unique_ptr<TLagerServerObj> article(const QString &nr, const QString &bez = {},
                                         const QString &gruppe = {})
{
    auto a = std::make_unique<TLagerServerObj>();
    a->LagerArtikelNr = nr;
    a->Bezeichnung = bez.isEmpty() ? u"Artikel "_s + nr : bez;
    a->Gruppe = gruppe;
    return a;
}

// Every column of the table and some of the XML text set.
std::unique_ptr<TLagerServerObj> mappedArticle()
{
    auto rec = article(u"R-1"_s, u"Pressfitting Bogen 90° DN15"_s, u"FITTINGS"_s);
    rec->Katalog = u"GC"_s;
    rec->EAN = u"4006381333931"_s;
    rec->BuchungsBestand = -2.5;
    rec->SummeWareneingangMe = 40;
    rec->Lagerort = u"R01-F03"_s;
    rec->Inventurartikel = true;
    rec->Anfangsbestand = 3;
    rec->InventurErfassung = 7;
    rec->Inventurdifferenz = -1;
    rec->Rabattgruppen = u"RG2"_s;
    rec->ME = u"  Stk "_s;
    rec->DEinstandsPreisbildung = true;
    rec->EKPreis = Money::fromRaw(123456); // 12.3456: the column keeps four decimals
    rec->VKZuschlag = 1.8;
    rec->MwStSatz = 2;
    rec->SNPflicht = true;
    rec->ViewColor = 0x00FF00;
    rec->IsNotBestandsartikel = true;
    rec->VKPreis = {Money::fromUnits(10), Money(), Money::fromRaw(123456), Money(),
                    Money::fromUnits(-1)};
    rec->Langtext = u"Zeile 1\r\nZeile 2"_s;
    return rec;
}

class LagerDBTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = std::make_unique<IModLagerDBServerObj>(
            [this](const std::exception *, const QString &text) { errors.append(text); });
        db->Open(dir.path());
    }

    void write(const QString &nr, const QString &bez = {}, const QString &gruppe = {})
    {
        ASSERT_EQ(db->WriteArticle(article(nr, bez, gruppe).get()), 0) << qPrintable(nr);
    }

    QStringList search(const QString &text, const QString &group = {}, bool withoutNotStock = false,
                       bool onlyStockTaking = false)
    {
        TDBLagerSearchResultObjectList result;
        db->Search(text, group, result, withoutNotStock, onlyStockTaking);
        return articleNumbers(result);
    }

    QTemporaryDir dir;
    std::unique_ptr<IModLagerDBServerObj> db;
    QStringList errors;
};
} // namespace

TEST_F(LagerDBTest, LookUpsAreExactAndCaseSensitiveWithTheirResultCodes)
{
    auto rec = article(u"4711"_s);
    EXPECT_EQ(db->ArticleExists(u"4711"_s), 0); // empty table, no error
    EXPECT_EQ(db->ReadArticle(rec.get()), -1);
    EXPECT_EQ(db->WriteArticle(rec.get()), 0);
    rec->Bezeichnung = u"Kugelhahn 3/4\""_s;
    EXPECT_EQ(db->WriteArticle(rec.get()), 0); // the same row, updated
    write(u"ab1"_s, u"klein"_s);
    write(u"AB1"_s, u"gross"_s);
    write(u"O'BRIEN"_s);
    EXPECT_EQ(db->ArticleCount(), 4);
    EXPECT_EQ(db->ArticleExists(u"Ab1"_s) + db->ArticleExists(u"AB"_s), 0);
    EXPECT_EQ(db->GotoArticle(u"ab"_s), -1);
    EXPECT_EQ(db->GotoArticle(u"O'BRIEN"_s), 0);
    EXPECT_EQ(db->GetArticleValue(u"ab1 "_s, u"BuchungsBestand"_s), 0);

    auto empty = article(QString(), u"unverändert"_s);
    EXPECT_EQ(db->ReadArticle(empty.get()), -1);
    EXPECT_EQ(empty->Bezeichnung, u"unverändert"_s);
    EXPECT_EQ(db->ReadArticle(article(u"4712"_s).get()), -2);
    for (const auto &[nr, bez] :
         {std::pair(u"4711"_s, u"Kugelhahn 3/4\""_s), std::pair(u"AB1"_s, u"gross"_s)}) {
        auto back = article(nr, u"x"_s);
        EXPECT_EQ(db->ReadArticle(back.get()), 0);
        EXPECT_EQ(back->Bezeichnung, bez);
    }

    EXPECT_EQ(db->DeleteArticle(QString()), -1);
    EXPECT_EQ(db->DeleteArticle(u"4712"_s), -1);
    EXPECT_EQ(db->DeleteArticle(u"4711"_s), 0);
    EXPECT_EQ(db->DeleteArticle(u"4711"_s), -1);
    EXPECT_EQ(db->ArticleCount(), 3);
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
}

TEST_F(LagerDBTest, RowMappingKeepsColumnsAndXmlFieldsAndDetailsLoadFromBoth)
{
    auto rec = mappedArticle();
    ASSERT_EQ(db->WriteArticle(rec.get()), 0);
    TLagerServerObj back;
    back.LagerArtikelNr = u"R-1"_s;
    ASSERT_EQ(db->ReadArticle(&back), 0);
    rec->ME = u"Stk"_s; // written trimmed
    EXPECT_TRUE(static_cast<const TLagerArtikelDaten &>(back) ==
                static_cast<const TLagerArtikelDaten &>(*rec));

    TDBLagerSearchResultObjectList list;
    db->Search(QString(), QString(), list, false, false);
    ASSERT_EQ(list.Count(), 1);
    TDBLagerSearchResult &e = *list[0];
    EXPECT_FALSE(e.DetailsLoaded());
    ASSERT_TRUE(db->LoadDetails(e));
    EXPECT_TRUE(e.DetailsLoaded());
    const auto &d = e.Info();
    EXPECT_EQ(std::tie(d.Lagerort, d.Rabattgruppen, d.EKPreis, d.VKPreis, d.IsNotBestandsartikel,
                       d.ViewColor, d.SummeWareneingangMe, d.Anfangsbestand, d.ME),
              std::tie(rec->Lagerort, rec->Rabattgruppen, rec->EKPreis, rec->VKPreis,
                       rec->IsNotBestandsartikel, rec->ViewColor, rec->SummeWareneingangMe,
                       rec->Anfangsbestand, rec->ME));

    ASSERT_EQ(db->DeleteArticle(u"R-1"_s), 0);
    TDBLagerSearchResult gone(1, u"R-1", u"", QString());
    EXPECT_FALSE(db->LoadDetails(gone));
    EXPECT_FALSE(gone.DetailsLoaded());
}

TEST_F(LagerDBTest, CursorStaysOrReturnsAsEachOperationPromises)
{
    write(u"A"_s, u"Zwinge"_s);
    write(u"B"_s, u"Abzweig"_s);
    write(u"C"_s, u"Muffe"_s);
    // Where the cursor is after an operation.
    const auto after = [this](const std::function<void()> &operation) {
        operation();
        return db->CurrentArticleNr();
    };
    EXPECT_EQ(after([&] { db->GotoArticle(u"B"_s); }), u"B"_s);
    // Writing, new or changed, and the existence test come back to B.
    EXPECT_EQ(after([&] { write(u"D"_s); }), u"B"_s);
    EXPECT_EQ(after([&] { write(u"A"_s, u"Zwinge 2"_s); }), u"B"_s);
    EXPECT_EQ(after([&] { EXPECT_EQ(db->ArticleExists(u"C"_s), 1); }), u"B"_s);
    EXPECT_EQ(after([&] { EXPECT_EQ(db->ArticleExists(u"X"_s), 0); }), u"B"_s);
    EXPECT_EQ(db->LagerTable().IndexName(), u"001"_s);
    // The others stay on what they found.
    EXPECT_EQ(after([&] { db->ReadArticle(article(u"C"_s).get()); }), u"C"_s);
    EXPECT_EQ(after([&] { db->SetArticleValue(u"A"_s, u"BuchungsBestand"_s, 12.5); }), u"A"_s);
    EXPECT_EQ(after([&] { db->GetArticleValue(u"D"_s, u"BuchungsBestand"_s); }), u"D"_s);
    EXPECT_EQ(db->GetArticleValue(u"A"_s, u"BuchungsBestand"_s), 12.5);
    TDBLagerSearchResultObjectList list;
    db->Search(QString(), QString(), list, false, false);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(after([&] { db->LoadDetails(*list.Item(2)); }), u"C"_s);
    // Not found: the cursor is not moved.
    EXPECT_EQ(after([&] { db->SetArticleValue(u"X"_s, u"BuchungsBestand"_s, 1); }), u"C"_s);
    EXPECT_EQ(after([&] { EXPECT_EQ(db->GotoArticle(u"X"_s), -1); }), u"C"_s);
    EXPECT_FALSE(db->LagerTable().ControlsDisabled());

    // Under another order the existence test comes back by row number, and into 001: A is
    // fourth by description (Abzweig, Artikel D, Muffe, Zwinge 2), so the fourth row by number.
    db->LagerTable().AddIndex(u"BEZ"_s, u"Bezeichnung"_s);
    db->SetArticleIndex(u"BEZ"_s);
    ASSERT_EQ(db->GotoArticle(u"A"_s), 0);
    EXPECT_EQ(db->ArticleExists(u"B"_s), 1);
    EXPECT_EQ(
        std::tuple(db->LagerTable().IndexName(), db->CurrentArticleNr(), db->ArticleIndexName()),
        std::tuple(u"001"_s, u"D"_s, u"BEZ"_s));
    db->RestoreIndexes();
    EXPECT_EQ(db->LagerTable().IndexName(), u"BEZ"_s);
}

TEST_F(LagerDBTest, FailuresAreCaughtAndControlsComeBack)
{
    write(u"A"_s);
    // An unknown column is an engine failure inside the operation.
    EXPECT_EQ(db->GetArticleValue(u"A"_s, u"GibtEsNicht"_s), 0);
    db->SetArticleValue(u"A"_s, u"GibtEsNicht"_s, 1);
    EXPECT_EQ(db->LagerTable().State(), DataSetState::Browse);
    EXPECT_FALSE(db->LagerTable().ControlsDisabled());

    // A second database holding the table's write lock makes WriteArticle fail after the
    // busy wait; the edit is cancelled and the report names the operation.
    db->Close();
    db->Database().SetBusyTimeout(100);
    db->Open(dir.path());
    TTdbDatabase other;
    other.SetLocation(dir.path());
    other.Connect();
    TTdbTable blocker(&other);
    blocker.SetTableName(u"LAGER"_s);
    blocker.Open();
    blocker.LockTable();
    auto rec = article(u"B"_s);
    EXPECT_EQ(db->WriteArticle(rec.get()), -1);
    blocker.UnlockTable();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().startsWith(u"IModLagerDBServerObj.SetLagerArtikel\n"_s))
        << qPrintable(errors.first());
    EXPECT_EQ(db->LagerTable().State(), DataSetState::Browse);
    EXPECT_FALSE(db->LagerTable().ControlsDisabled());
    EXPECT_EQ(db->WriteArticle(rec.get()), 0);
    EXPECT_EQ(db->ArticleCount(), 2);
}

TEST_F(LagerDBTest, SerialNumbersAreKeyedByNumberAndArticle)
{
    TSeriennummerObjectList list;
    for (const auto &[sn, nr] : {std::pair(u"S1"_s, u"A"_s), std::pair(u"S1"_s, u"B"_s),
                                 std::pair(u"S2"_s, u"A"_s), std::pair(u"S0"_s, u"O'B"_s)}) {
        TSeriennummer &s = list.Add();
        std::tie(s.SN, s.LagerArtikelNr, s.INFO, s.RESAUFTRAGSTYP) = std::tuple(sn, nr, sn, 3);
    }
    EXPECT_EQ(db->WriteSerials(list), 0);
    list.Item(1).INFO = u"neu"_s;
    EXPECT_EQ(db->WriteSerial(&list.Item(1)), 0);
    EXPECT_EQ(db->SerialCount(), 4);

    TSeriennummer s = list.Item(1);
    s.INFO.clear();
    s.RESAUFTRAGSTYP = 0;
    ASSERT_EQ(db->ReadSerial(&s), 0);
    EXPECT_EQ(s.INFO, u"neu"_s);
    EXPECT_EQ(s.RESAUFTRAGSTYP, 3);
    s.LagerArtikelNr = u"b"_s;
    EXPECT_EQ(db->ReadSerial(&s), -2);

    QStringList sns;
    db->SerialsOfArticle(u"A"_s, sns);
    EXPECT_EQ(sns, QStringList({u"S1"_s, u"S2"_s}));
    EXPECT_EQ(db->SerialCount(), 2); // under the filter, which stays
    db->SerialsOfArticle(u"O'B"_s, sns);
    EXPECT_EQ(sns, QStringList({u"S0"_s}));
    db->SerialTable().SetFiltered(false);

    EXPECT_EQ(db->DeleteSerial(u"S1"_s, u"A"_s), 0);
    EXPECT_EQ(db->DeleteSerial(u"S1"_s, u"A"_s), -1);
    s.LagerArtikelNr = u"B"_s;
    EXPECT_EQ(db->ReadSerial(&s), 0);       // the other article's S1 is still there
    EXPECT_EQ(db->DeleteSerials(list), -1); // S1/A was gone already
    EXPECT_EQ(db->SerialCount(), 0);
    EXPECT_FALSE(db->SerialTable().ControlsDisabled());
}

TEST_F(LagerDBTest, TableSearchFollowsWordGroupAndSwitchRules)
{
    write(u"1"_s, u"Kabel NYM"_s, u"ELEKTRO"_s);
    write(u"2"_s, u"M8 SCHRAUBE VERZINKT"_s, u"Rohre"_s);
    write(u"3"_s, u"SCHRAUBE-M8"_s, u"ROHRE"_s);
    write(u"4"_s, u"Schraube M6"_s, u"Rohre 2"_s);
    write(u"5"_s, u"Heizkörperventil ½\""_s, u"HEIZUNG"_s);
    for (const QString &nr : {u"2"_s, u"3"_s})
        db->SetArticleValue(nr, u"Inventurartikel"_s, 1);
    db->SetArticleValue(u"3"_s, u"ISNOTBESTANDSARTIKEL"_s, 1);

    // How words match is the list's matcher's test; here the text read from the table.
    EXPECT_EQ(search(u"körper ½"_s), QStringList({u"5"_s}));
    EXPECT_EQ(search(QString(), u"Rohre"_s), QStringList({u"2"_s, u"3"_s}));
    EXPECT_EQ(search(QString(), QString(), true), QStringList({u"1"_s, u"2"_s, u"4"_s, u"5"_s}));
    EXPECT_EQ(search(QString(), QString(), false, true), QStringList({u"2"_s, u"3"_s}));
    EXPECT_EQ(search(QString(), QString(), true, true), QStringList({u"2"_s}));
}

TEST_F(LagerDBTest, TableSearchNumbersRowsAsTheCursorInAnyIndexOrder)
{
    const QStringList descriptions = {u"rohr"_s, u"Bogen"_s, u"ROHR"_s, u"muffe"_s, u"Bogen"_s};
    for (int i = 0; i < descriptions.size(); ++i)
        write(u"N%1"_s.arg(9 - i), descriptions[i], u"G"_s);
    // A second order whose text comparison ignores ASCII case, as the stock list may set.
    db->LagerTable().AddIndex(u"BEZ"_s, u"Bezeichnung"_s, ixCaseInsensitive);

    for (const QString &index : {u"001"_s, u"BEZ"_s}) {
        db->SetArticleIndex(index);
        TDBLagerSearchResultObjectList direct;
        ASSERT_TRUE(ScanLagerTable(db->LagerTable(), QString(), u"g"_s, false, false, direct));
        // A filtered table is walked with the cursor: both ways must agree.
        db->LagerTable().SetFilter(u"LagerArtikelNr <> ''"_s);
        db->LagerTable().SetFiltered(true);
        TDBLagerSearchResultObjectList walked;
        EXPECT_FALSE(ScanLagerTable(db->LagerTable(), QString(), QString(), false, false, walked));
        db->Search(QString(), u"g"_s, walked, false, false);
        db->LagerTable().SetFiltered(false);

        ASSERT_EQ(direct.Count(), 5) << qPrintable(index);
        ASSERT_EQ(walked.Count(), 5);
        for (qsizetype i = 0; i < direct.Count(); ++i) {
            const TDBLagerSearchResult &d = *direct[i];
            EXPECT_EQ(d.ArtikelNr(), walked[i]->ArtikelNr()) << qPrintable(index);
            EXPECT_EQ(d.RecNo, walked[i]->RecNo);
            EXPECT_EQ(d.Gruppe(), u"G"_s);
            ASSERT_EQ(db->GotoArticle(d.ArtikelNr().toString()), 0);
            EXPECT_EQ(db->LagerTable().RecordNo(), d.RecNo) << qPrintable(index);
        }
    }
}

TEST(LagerDBUpgrade, OldTableGetsTheNewColumnsOnceAndKeepsItsRows)
{
    QTemporaryDir dir;
    const auto columns = [](TTdbTable &t) {
        QStringList names;
        for (const TFieldDef &d : t.FieldDefs().list())
            names.append(d.name);
        return names;
    };
    TTdbTable fresh;
    IModLagerDBServerObj::DefineLagerTable(fresh);
    {
        // The column set of tables written before the upgrades existed.
        TTdbDatabase old;
        old.SetLocation(dir.path());
        old.Connect();
        TTdbTable t(&old);
        t.SetTableName(u"LAGER"_s);
        IModLagerDBServerObj::DefineLagerTable(t);
        TFieldDefs &defs = t.FieldDefs();
        for (const QString &gone : {u"STKL"_s, u"VIEWCOLOR"_s, u"AlternativArtikelNr"_s,
                                    u"PREISEINHEIT"_s, u"ISNOTBESTANDSARTIKEL"_s})
            defs.Delete(defs.IndexOf(gone));
        defs[defs.IndexOf(u"EAN"_s)].type = FieldType::Integer;
        defs[defs.IndexOf(u"EAN"_s)].size = 0;
        defs[defs.IndexOf(u"EKPreis"_s)].precision = 2;
        t.CreateTable();
        t.SetIndexName(u"001"_s);
        t.Open();
        for (const QString &nr : {u"A"_s, u"B"_s}) {
            t.Append();
            t.FieldByName(u"LagerArtikelNr"_s).SetAsString(nr);
            t.FieldByName(u"EAN"_s).SetAsInteger(4006);
            t.FieldByName(u"EKPreis"_s).SetAsFloat(1.25);
            t.Post();
        }
    }

    IModLagerDBServerObj db;
    db.Open(dir.path());
    TTdbTable &t = db.LagerTable();
    EXPECT_EQ(columns(t), columns(fresh));
    const TFieldDefs &defs = t.FieldDefs();
    EXPECT_EQ(std::tuple(defs[defs.IndexOf(u"EAN"_s)].type,
                         defs[defs.IndexOf(u"AlternativArtikelNr"_s)].type,
                         defs[defs.IndexOf(u"EKPreis"_s)].precision),
              std::tuple(FieldType::WideString, FieldType::Integer, 4));
    EXPECT_EQ(db.ArticleCount(), 2);
    EXPECT_EQ(db.GetArticleValue(u"B"_s, u"EKPreis"_s), 1.25);
    EXPECT_EQ(t.FieldByName(u"EAN"_s).AsString(), u"4006"_s);
    db.Close();

    // Nothing is missing any more: the second open leaves the file alone.
    const QString file = dir.path() + u"/LAGER.DAT"_s;
    const QByteArray before = TestDocuments::fileBytes(file);
    db.Open(dir.path());
    EXPECT_TRUE(TestDocuments::fileBytes(file) == before);
}
