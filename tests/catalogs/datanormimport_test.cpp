#include "base/inifile.h"
#include "base/messages.h"
#include "catalogs/datanorm/datanormimport.h"
#include "catalogs/datanorm/datanormimportcommand.h"
#include "catalogs/katalog1db.h"
#include "catalogs/searchtextindex.h"
#include "catalogs/ui/datanormimportdialog.h"
#include "persistence/engine/tdbtable.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/datanormgenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestDocuments::expectGoldenText;

namespace
{
const QString kData = QStringLiteral(STOCK_TESTS_DIR "/catalogs/data/datanorm/");

Money m(double v)
{
    return Money::fromDouble(v);
}

struct Datanorm : CatalogTest::Fixture {
    QString catalog = tmp.path() + u"/KATALOGE/GH/"_s;

    TKatalog1Artikel read(const QString &nr, int expected = 0)
    {
        TKatalog1DB db;
        db.Open(catalog);
        TKatalog1Artikel a;
        a.ArtikelNr = nr;
        EXPECT_EQ(db.ReadArticle(a), expected) << nr.toStdString();
        return a;
    }
    // The fields an import sets, two lines per article.
    QString articles(const QStringList &numbers)
    {
        QString out;
        QTextStream s(&out);
        for (const QString &nr : numbers) {
            const TKatalog1Artikel a = read(nr);
            s << nr << ": <" << a.KurzZeile1 << '|' << a.KurzZeile2
              << "> PreisKZ=" << int(a.PreisKZ) << " Liste=" << a.Listenpreis.toDouble()
              << " Rabatt=" << a.Rabatt << " Netto=" << a.Netto.toDouble()
              << " vorher=" << a.LastNetto.toDouble() << " PE=" << a.Preiseinheit << " ME=" << a.ME
              << " Match=" << a.Matchcode << " EAN=" << a.EAN << " Grafik=" << a.AnbindNr
              << " VPE=" << a.Verpackungsmenge << " Ref=" << a.ReferenzNr << "\nLangtext=<"
              << a.Langtext << ">\n";
        }
        return out;
    }
};
} // namespace

TEST(DatanormDecode, CodePageIsToldByTheGermanLettersAndEndOfFileIsCut)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"Gr\x81\xE1!", u"Grüß!"_s},          // code page 850
        {"Gr\xFC\xDF!", u"Grüß!"_s},          // Windows-1252
        {"\x8E\x99\x9A \xC4", u"ÄÖÜ ─"_s},    // more 850 letters win
        {"A;1;\r\n\x1A;Rest", u"A;1;\r\n"_s}, // 0x1A ends the file
        {"plain", u"plain"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DatanormImport::Decode(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST_F(Datanorm, AVersion4SetGivesItsRowsLongTextsGroupsAndWordIndex)
{
    const DatanormImport::Result r = DatanormImport::Import(kData + u"v4"_s, catalog, u"70009"_s);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.written, 3);
    EXPECT_EQ(r.skipped, 2) << "the renumbering and the unknown record";

    // 1001: list price less the discount group's 25 %, per 100; long text from the block (code
    // page 850 decoded) and the free lines. 2002: net price as given; text flag x1 drops short
    // text 2; the insert block is filled. 3003: the price file changed the net price afterwards
    // and kept the previous one.
    expectGoldenText("catalogs", "datanorm_v4.txt", articles({u"1001"_s, u"2002"_s, u"3003"_s}));
    read(u"9999"_s, 1);

    TKatalog1DB db;
    db.Open(catalog);
    EXPECT_EQ(db.DiscountGroups().RecordCount(), 2);
    EXPECT_EQ(db.GoodsGroups().RecordCount(), 2);
    QFile index(catalog + u"STX.IDX"_s);
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QString words = SearchtextIndex::Decode(index.readAll());
    for (const QString &w : {u"KUPFERROHR="_s, u"PRESSFITTING="_s, u"4012345000012="_s})
        EXPECT_TRUE(words.contains(w)) << w.toStdString();
    EXPECT_FALSE(QDir(catalog + u"STX.NEU"_s).exists());
}

TEST_F(Datanorm, AnUpdateSetChangesAddsAndDeletes)
{
    ASSERT_TRUE(DatanormImport::Import(kData + u"v4"_s, catalog).ok);
    const DatanormImport::Result r = DatanormImport::Import(kData + u"update"_s, catalog);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.deleted, 1);
    read(u"2002"_s, 1);
    EXPECT_GT(read(u"1001"_s).LastNettoChanged, 0);
    // B fields stay without a new B record.
    expectGoldenText("catalogs", "datanorm_update.txt",
                     articles({u"1001"_s, u"3003"_s, u"4004"_s}));
}

TEST_F(Datanorm, ABrokenFileOrACancelLeavesTheCatalogAsItWas)
{
    ASSERT_TRUE(DatanormImport::Import(kData + u"v4"_s, catalog).ok);
    const QByteArray before = TestDocuments::fileBytes(catalog + u"CATALOG.DAT"_s);

    const struct {
        QByteArray tail;
        const char *why;
    } cases[] = {
        {"A;N;5005;00;Abgeschnit", "unvollstaendig"},
        {"A;N;5005;00;Preis;;2;0;St;12,50;;;;", "keine Zahl"},
        {"A;N;5005;00;Einheit;;2;7;St;100;;;;", "Preiseinheit"},
    };
    for (const auto &c : cases) {
        QTemporaryDir delivery;
        ASSERT_TRUE(TestDocuments::writeFile(
            delivery.filePath(u"DATANORM.001"_s),
            TestDocuments::fileBytes(kData + u"update/datanorm.001"_s) + c.tail));
        const DatanormImport::Result r = DatanormImport::Import(delivery.path(), catalog);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(u"\"DATANORM.001\", Zeile 5"_s)) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(QString::fromLatin1(c.why))) << r.error.toStdString();
    }
    // A cancel leaves it as well.
    ui.cancelProgressAfter = 1;
    const DatanormImport::Result cancelled = DatanormImport::Import(kData + u"update"_s, catalog);
    EXPECT_FALSE(cancelled.ok);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(TestDocuments::fileBytes(catalog + u"CATALOG.DAT"_s), before);
    EXPECT_EQ(read(u"2002"_s).Netto, m(12.34));
}

namespace
{
constexpr int kArticles = 40;

// The dialog answers from a list; each answer is one showing of the dialog, and running out
// cancels it.
struct DatanormImportWindow : CatalogTest::Fixture {
    QString base = tmp.path() + u"/KATALOGE/"_s;
    QString delivery = tmp.path() + u"/LIEFERUNG/"_s;
    QList<DatanormImportCommand::Request> answers;
    QList<DatanormImportCommand::Request> shown; // what the dialog showed each time

    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(DatanormGenerator::GenerateDelivery(delivery, kArticles, 5, &error))
            << error.toStdString();
        QDir().mkpath(base);
    }
    DatanormImport::Result run()
    {
        DatanormImportCommand command(base, [this](DatanormImportCommand::Request &r) {
            shown << r;
            if (answers.isEmpty())
                return false;
            r = answers.takeFirst();
            return true;
        });
        return command.Run();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &m : ui.messages)
            t << m.text;
        return t;
    }
};
} // namespace

TEST_F(DatanormImportWindow, RefusedRequestsAreAskedAgainWithWhatTheUserTyped)
{
    CatalogTest::catalogDir(base + u"KOEHLER"_s, {u"SCATALOG.DAT"_s}, u"0"_s);
    const QString empty = tmp.path() + u"/LEER/"_s;
    QDir().mkpath(empty);
    answers = {{delivery, u"../ETC"_s, {}},
               {delivery, u"lager"_s, {}},
               {empty, u"GH"_s, {}},
               {delivery, u"koehler"_s, {}}};
    const DatanormImport::Result r = run();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(texts(),
              QStringList({u"Ungueltiger Katalogname \"../ETC\"."_s,
                           u"Ungueltiger Katalogname \"lager\"."_s,
                           u"Im Verzeichnis \"%1\" liegt keine Datei DATANORM.001."_s.arg(empty),
                           u"Der Katalog \"KOEHLER\" ist kein DATANORM-Katalog."_s}));
    ASSERT_EQ(shown.size(), 5); // the fifth showing was cancelled
    EXPECT_EQ(shown[3].deliveryDir, empty);
    EXPECT_FALSE(QFileInfo::exists(base + u"KOEHLER/CATALOG.DAT"_s));
    EXPECT_FALSE(QFileInfo::exists(base + u"GH"_s));
}

TEST_F(DatanormImportWindow, NewCatalogThenAnUpdateOnlyAfterTheQuestion)
{
    answers = {{delivery, u" gh "_s, u"70001"_s}};
    DatanormImport::Result r = run();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.written, kArticles);
    EXPECT_EQ(texts(), QStringList({u"%1 Artikel geschrieben, 0 geloescht."_s.arg(kArticles)}));
    EXPECT_TRUE(QFileInfo::exists(base + u"GH/CATALOG.DAT"_s));
    EXPECT_EQ(IniFile(base + u"GH/SUPPLIER.INI"_s).readString(u"Supplier"_s, u"ID"_s), u"70001"_s);

    // No to the update asks again; Yes updates.
    ui.messages.clear();
    ui.answers = {ModalResult::No, ModalResult::Yes};
    answers = {{delivery, u"GH"_s, {}}, {delivery, u"GH"_s, {}}};
    r = run();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    ASSERT_EQ(ui.messages.size(), 3);
    EXPECT_EQ(ui.messages[0].text,
              u"Der Katalog \"GH\" existiert bereits. Mit der Lieferung aktualisieren?"_s);
    EXPECT_EQ(shown.size(), 3);

    // A cancel while importing says nothing more.
    ui.messages.clear();
    ui.cancelProgressAfter = 3;
    answers = {{delivery, u"NEU"_s, {}}};
    r = run();
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(DatanormImportDialog, ImportNeedsDirectoryAndNameAndHandsBackTrimmedFields)
{
    TDatanormImportDialog dialog([] { return u"70002"_s; });
    EXPECT_FALSE(dialog.ImportButton()->isEnabled());
    dialog.DirectoryEdit()->setText(u" /tmp/dn "_s);
    EXPECT_FALSE(dialog.ImportButton()->isEnabled());
    dialog.NameEdit()->setText(u"GH "_s);
    EXPECT_TRUE(dialog.ImportButton()->isEnabled());
    dialog.findChild<QAbstractButton *>(u"btLieferant"_s)->click();
    const DatanormImportCommand::Request r = dialog.Current();
    EXPECT_EQ(r.deliveryDir, u"/tmp/dn"_s);
    EXPECT_EQ(r.catalogName, u"GH"_s);
    EXPECT_EQ(r.supplier, u"70002"_s);
    EXPECT_EQ(TDatanormImportDialog().findChild<QAbstractButton *>(u"btLieferant"_s), nullptr);
}
