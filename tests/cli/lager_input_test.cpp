// What the command line takes from outside: amounts, article numbers, CSV cells and files.
// Every refusal leaves the stock as it was.
#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"
#include "tests/support/locales.h"

#include <QDir>
#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{
using LagerInput = LagerProgram;
} // namespace

// Which values are refused is the JSON reader's business (articleinput_test.cpp); here that the
// script hears of every one of them, of a flood the first hundred, and nothing is written.
TEST_F(LagerInput, PutRefusesWhatItCannotStoreAndWritesNothing)
{
    const QString nr = firstArticle();
    const QJsonObject before = getJson(nr);
    QJsonObject doc = before;
    doc[u"EKPreis"_s] = u"teuer"_s;
    doc[u"EKProKg"_s] = 1e15;
    doc[u"Farbe"_s] = 3;
    doc[u"Lagerort"_s] = QString(21, u'X');
    for (int i = 0; i < 150; ++i)
        doc[u"Unbekannt%1"_s.arg(i)] = i;
    const Outcome bad = put(doc);
    EXPECT_EQ(bad.exitCode, 5);
    for (const QString &named : {u"\"EKPreis\""_s, u"\"EKProKg\""_s, u"\"Farbe\""_s,
                                 u"\"Lagerort\""_s, u"… und 54 weitere Fehler."_s})
        EXPECT_TRUE(bad.err.contains(named)) << qPrintable(bad.err.left(500));
    EXPECT_EQ(bad.err.count(u"ist kein Feld des Artikels"_s), 97); // Farbe among them
    EXPECT_EQ(getJson(nr), before);

    doc = before;
    doc[u"LagerArtikelNr"_s] = u"A\u0000B"_s;
    EXPECT_TRUE(put(doc).err.contains(u"Steuerzeichen"_s));
    EXPECT_EQ(lager({u"list"_s}).out.count('\n'), 41); // header and the 40 generated ones

    // A number with blanks around it names the same article in every command.
    doc[u"LagerArtikelNr"_s] = u"  NEU 7 "_s;
    ASSERT_EQ(put(doc).exitCode, 0);
    EXPECT_EQ(getJson(u" NEU 7  "_s)[u"LagerArtikelNr"_s].toString(), u"NEU 7"_s);
    expect(0, {u"article"_s, u"get"_s, u"\tNEU 7"_s, u"--format"_s, u"xml"_s});
    expect(0, {u"article"_s, u"delete"_s, u" NEU 7 "_s});
    expect(3, {u"article"_s, u"get"_s, u"NEU 7"_s});
}

// Re-importing an export once marked every article as changed now by the importer.
TEST_F(LagerInput, ReimportedExportWritesOnlyTheRowsThatDiffer)
{
    const QByteArray exported = exportBytes();
    const QString nr = firstArticle();
    const QJsonObject before = getJson(nr);
    const Outcome same = importFile(u"same.csv"_s, exported);
    EXPECT_TRUE(same.err.contains(u"0 Artikel angelegt, 0 geändert, 40 unverändert."_s))
        << qPrintable(same.err);
    EXPECT_EQ(getJson(nr), before); // not even the change stamp

    QStringList lines = QString::fromUtf8(exported.mid(3)).split(u"\r\n"_s);
    QStringList cells = lines[1].split(u';');
    cells[lines[0].split(u';').indexOf(u"Bezeichnung"_s)] = u"GEAENDERT"_s;
    lines[1] = cells.join(u';');
    const Outcome one = importFile(u"one.csv"_s, withBom(lines.join(u"\r\n"_s)));
    EXPECT_TRUE(one.err.contains(u"0 Artikel angelegt, 1 geändert, 39 unverändert."_s))
        << qPrintable(one.err);
    const QJsonObject after = getJson(nr);
    EXPECT_EQ(after[u"Bezeichnung"_s].toString(), u"GEAENDERT"_s);
    EXPECT_EQ(after[u"ChangedBy"_s].toString(), u"Administrator"_s);
}

// A spreadsheet runs a cell that starts with "=", "+", "-" or "@"; the export protects such
// text cells with an apostrophe, and the import takes exactly one away from every text cell
// that starts with one, so that every text, one with its own apostrophe too, comes back.
TEST_F(LagerInput, FormulaTextsAreProtectedInTheExportAndComeBackExactly)
{
    const QStringList texts{u"=HYPERLINK(\"http://x\";\"klick\")"_s,
                            u"+49 711"_s,
                            u"-20%"_s,
                            u"@SUMME(A1)"_s,
                            u"'zitiert'"_s,
                            u"Rohr = Leitung"_s};
    const QStringList numbers{u"F-0"_s, u"F-1"_s, u"F-2"_s, u"F-3"_s, u"F-4"_s, u"-5"_s};
    writeArticles(stockDir(), numbers, [&](TLagerServerObj &a) {
        a.Bezeichnung = texts[a.LagerArtikelNr.back().digitValue()];
    });
    const QByteArray exported = exportBytes();
    for (const char *line : {"\r\nF-0;\"'=HYPERLINK(\"\"http://x\"\";\"\"klick\"\")\";",
                             "\r\nF-1;'+49 711;", "\r\nF-2;'-20%;", "\r\nF-3;'@SUMME(A1);",
                             "\r\nF-4;''zitiert';", "\r\n'-5;Rohr = Leitung;"})
        EXPECT_TRUE(exported.contains(line)) << line;
    // Changed meanwhile, the import of the export brings every text back as it was.
    writeArticles(stockDir(), numbers, [](TLagerServerObj &a) { a.Bezeichnung = u"x"_s; });
    ASSERT_EQ(importFile(u"back.csv"_s, exported).exitCode, 0);
    for (const QString &nr : numbers)
        EXPECT_EQ(getJson(nr)[u"Bezeichnung"_s].toString(), texts[nr.back().digitValue()]);
}

// Which cells are refused is the CSV reader's business; here that no row of a refused file is
// written, the good ones neither.
TEST_F(LagerInput, ImportWithBadRowsChangesNothing)
{
    const QByteArray original = exportBytes();
    const Outcome run = importFile(
        u"bad.csv"_s, withBom(u"Artikel-Nr.;Bezeichnung;MwSt-Satz\r\n%1;NEU;1\r\nX-2;;7\r\n"_s.arg(
                          firstArticle())));
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_TRUE(run.err.contains(u"Zeile 3:"_s)) << qPrintable(run.err);
    EXPECT_EQ(exportBytes(u"after.csv"_s), original);
}

TEST_F(LagerInput, FileFailuresNameTheirCauseAndExitSix)
{
    EXPECT_TRUE(expect(6, {u"import"_s, file(u"fehlt.csv"_s)}).err.contains(u"nicht gefunden"_s));
    expect(6, {u"article"_s, u"put"_s, file(u"fehlt.json"_s)});
    const Outcome nowhere = expect(6, {u"export"_s, file(u"fehlt/export.csv"_s)});
    EXPECT_TRUE(nowhere.err.contains(u"export.csv\" kann nicht geschrieben werden: "_s))
        << qPrintable(nowhere.err);

    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: a read-only directory does not stop root";
    const QJsonObject doc = getJson(firstArticle());
    ASSERT_TRUE(QFile::setPermissions(stockDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const Outcome readOnly = put(doc);
    QFile::setPermissions(stockDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(readOnly.exitCode, 6);
    // The cause by its number: its wording follows the language of the C library.
    EXPECT_TRUE(readOnly.err.contains(u"(Error %1)"_s.arg(EACCES))) << qPrintable(readOnly.err);
    EXPECT_TRUE(readOnly.err.contains(stockDir())) << qPrintable(readOnly.err);
}

// The separator of stored numbers is the installation's: lager started under any locale
// writes it, and reads what was written under the other convention.
TEST_F(LagerInput, StoredNumbersFollowTheInstallationNotTheLocale)
{
    for (const QString &locale : {u"en_US.UTF-8"_s, u"de_DE.UTF-8"_s})
        if (!LocaleInstalled(locale))
            GTEST_SKIP() << "locale " << locale.toStdString()
                         << " is not installed (tools/install-packages generates it)";
    QJsonObject doc = getJson(firstArticle());
    doc[u"LagerArtikelNr"_s] = u"SEP-1"_s;
    doc[u"VKPreis1"_s] = 2440.5;
    doc[u"Gewicht"_s] = 0.00005;
    const QByteArray german = "[Language]\r\nName=de_DE\r\n";
    const struct {
        QByteArray ini; // the installation's APPLICATION.INI
        QString locale;
        QString separator;
    } cases[] = {
        {german, u"en_US.UTF-8"_s, u","_s},
        {german, u"C.UTF-8"_s, u","_s},
        {german + "[Format]\r\nDecimalSeparator=.\r\n", u"de_DE.UTF-8"_s, u"."_s},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(TestDocuments::writeFile(file(u"ETC/APPLICATION.INI"_s), c.ini));
        m_locale = c.locale;
        // what the run before stored reads back the same, in the other convention too
        EXPECT_TRUE(&c == cases || getJson(u"SEP-1"_s)[u"VKPreis1"_s].toDouble() == 2440.5);
        ASSERT_EQ(put(doc).exitCode, 0);
        const QString xml =
            QString::fromUtf8(lager(words(u"article get SEP-1 --format xml-utf8"_s)).out);
        for (const QString &stored : {u"vkp1=\"2440,5\""_s, u"\"0,00005\""_s})
            EXPECT_TRUE(xml.contains(QString(stored).replace(u","_s, c.separator)))
                << xml.toStdString();
        EXPECT_EQ(getJson(u"SEP-1"_s)[u"Gewicht"_s].toDouble(), 0.00005);
    }
}
