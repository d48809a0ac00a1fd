// What the command line takes from outside: amounts, article numbers, CSV cells and files.
// Every refusal leaves the stock as it was.
#include "tests/cli/lagerprogram.h"
#include "tests/support/articles.h"
#include "tests/support/locales.h"

#include <QDir>
#include <QJsonArray>
#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{
class LagerInput : public LagerProgram
{
protected:
    QStringList exportLines()
    {
        return QString::fromUtf8(exportBytes().mid(3)).split(u"\r\n"_s, Qt::SkipEmptyParts);
    }
};
} // namespace

// Amounts beyond the money range and numbers with control characters: refused, nothing written.
TEST_F(LagerInput, OutOfRangeAmountsAndControlCharactersInNumbersAreRefused)
{
    const QString nr = firstArticle();
    const QJsonObject before = getJson(nr);
    const struct {
        QString key;
        QJsonValue value;
        int exit;
        QString named; // in the error
    } cases[] = {
        {u"EKPreis"_s, 1e15, 5, u"\"EKPreis\""_s},
        {u"VKPreis1"_s, 1e300, 5, u"\"VKPreis1\""_s},
        {u"Lohn"_s, -1e15, 5, u"\"Lohn\""_s},
        {u"EKProKg"_s, 922337203685477.5, 5, u"\"EKProKg\""_s},
        {u"LagerArtikelNr"_s, u"A\u0000B"_s, 5, u"Steuerzeichen"_s},
        {u"LagerArtikelNr"_s, u"ZEILE\nUMBRUCH"_s, 5, u"Steuerzeichen"_s},
        {u"LagerArtikelNr"_s, u"TAB\tX"_s, 5, u"Steuerzeichen"_s},
        {u"LagerArtikelNr"_s, u"A\u2028B"_s, 5, u"Steuerzeichen"_s},
        {u"VKPreis5"_s, 922337203685477.0, 0, {}}, // the largest amount, last: it is written
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key.toStdString() + " " + c.value.toVariant().toString().toStdString());
        QJsonObject doc = before;
        doc[c.key] = c.value;
        const Outcome r = put(doc);
        EXPECT_EQ(r.exitCode, c.exit);
        if (c.exit != 0) {
            EXPECT_TRUE(r.err.contains(c.named)) << qPrintable(r.err);
            EXPECT_EQ(getJson(nr), before);
        } else {
            EXPECT_EQ(getJson(nr)[c.key], c.value);
        }
    }
    const Outcome csv =
        importFile(u"nul.csv"_s, withBom(u"Artikel-Nr.;Bezeichnung\r\nA\u0000B;x\r\n"_s));
    EXPECT_EQ(csv.exitCode, 5);
    EXPECT_TRUE(csv.err.contains(u"Zeile 2: Die Artikel-Nr. \"A\\x00B\" enthält Steuerzeichen."_s))
        << qPrintable(csv.err);
    EXPECT_EQ(lager({u"list"_s}).out.count('\n'), 41); // header and the 40 generated ones

    // A number with blanks around it names the same article in every command.
    QJsonObject doc = getJson(nr);
    doc[u"LagerArtikelNr"_s] = u"  NEU 7 "_s;
    ASSERT_EQ(put(doc).exitCode, 0);
    EXPECT_EQ(getJson(u" NEU 7  "_s)[u"LagerArtikelNr"_s].toString(), u"NEU 7"_s);
    EXPECT_EQ(lager({u"article"_s, u"get"_s, u"\tNEU 7"_s, u"--format"_s, u"xml"_s}).exitCode, 0);
    EXPECT_EQ(lager({u"article"_s, u"delete"_s, u" NEU 7 "_s}).exitCode, 0);
    EXPECT_EQ(lager({u"article"_s, u"get"_s, u"NEU 7"_s}).exitCode, 3);
}

TEST_F(LagerInput, ReimportedExportWritesOnlyTheRowsThatDiffer)
{
    const QByteArray exported = exportBytes();
    const QString nr = firstArticle();
    const QJsonObject before = getJson(nr);

    const Outcome same = importFile(u"same.csv"_s, exported);
    ASSERT_EQ(same.exitCode, 0) << qPrintable(same.err);
    EXPECT_TRUE(same.err.contains(u"0 Artikel angelegt, 0 geändert, 40 unverändert."_s))
        << qPrintable(same.err);
    EXPECT_EQ(getJson(nr), before); // not even the change stamp
    EXPECT_EQ(exportBytes(u"again.csv"_s), exported);

    // One changed cell changes one article.
    QStringList lines = QString::fromUtf8(exported.mid(3)).split(u"\r\n"_s);
    const qsizetype bez = lines[0].split(u';').indexOf(u"Bezeichnung"_s);
    QStringList cells = lines[1].split(u';');
    cells[bez] = u"GEAENDERT"_s;
    lines[1] = cells.join(u';');
    const Outcome dry = importFile(u"one.csv"_s, withBom(lines.join(u"\r\n"_s)), {u"--dry-run"_s});
    EXPECT_TRUE(dry.err.contains(u"0 Artikel würden angelegt, 1 geändert, 39 bleiben"_s))
        << qPrintable(dry.err);
    const Outcome one = expect(0, {u"import"_s, file(u"one.csv"_s)});
    EXPECT_TRUE(one.err.contains(u"0 Artikel angelegt, 1 geändert, 39 unverändert."_s))
        << qPrintable(one.err);
    EXPECT_EQ(getJson(nr)[u"Bezeichnung"_s].toString(), u"GEAENDERT"_s);
    EXPECT_EQ(getJson(nr)[u"ChangedBy"_s].toString(), u"Administrator"_s);
}

// A spreadsheet runs a cell that starts with "=", "+", "-" or "@"; the export protects such
// text cells with an apostrophe, and the import takes exactly one away from every text cell
// that starts with one, so that every text, one with its own apostrophe too, comes back.
TEST_F(LagerInput, FormulaTextsAreProtectedInTheExportAndComeBackExactly)
{
    const struct {
        const char16_t *nr;
        const char16_t *text;
        const char16_t *cell;
    } cases[] = {
        {u"F-1", u"=HYPERLINK(\"http://x\";\"klick\")",
         u"\"'=HYPERLINK(\"\"http://x\"\";\"\"klick\"\")\""},
        {u"F-2", u"+49 711 1234", u"'+49 711 1234"},
        {u"F-3", u"-20% Aktion", u"'-20% Aktion"},
        {u"F-4", u"@SUMME(A1)", u"'@SUMME(A1)"},
        {u"F-5", u"'zitiert'", u"''zitiert'"},
        {u"F-6", u"Rohr = Leitung", u"Rohr = Leitung"},
        {u"-7", u"negativ", u"negativ"},
    };
    QHash<QString, QString> texts;
    for (const auto &c : cases)
        texts.insert(QString::fromUtf16(c.nr), QString::fromUtf16(c.text));
    writeArticles(stockDir(), texts.keys(),
                  [&](TLagerServerObj &a) { a.Bezeichnung = texts[a.LagerArtikelNr]; });
    const QByteArray exported = exportBytes();
    const QStringList lines = QString::fromUtf8(exported.mid(3)).split(u"\r\n"_s);
    for (const auto &c : cases) {
        const QString nr = QString::fromUtf16(c.nr);
        const QString start = (nr.startsWith(u'-') ? u"'"_s : QString()) + nr + u';';
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QString &l) { return l.startsWith(start); });
        ASSERT_NE(line, lines.end()) << nr.toStdString();
        EXPECT_TRUE(line->contains(u';' + QString::fromUtf16(c.cell) + u';'))
            << line->toStdString();
    }
    // Changed meanwhile, the import of the export brings every text back as it was.
    writeArticles(stockDir(), texts.keys(), [](TLagerServerObj &a) { a.Bezeichnung = u"x"_s; });
    ASSERT_EQ(importFile(u"back.csv"_s, exported).exitCode, 0);
    for (auto it = texts.begin(); it != texts.end(); ++it)
        EXPECT_EQ(getJson(it.key())[u"Bezeichnung"_s].toString(), it.value());
}

TEST_F(LagerInput, ErrorListsAreCutToTheFirstHundredAndEchoesShortened)
{
    QStringList header{u"Artikel-Nr."_s};
    for (int i = 0; i < 20000; ++i)
        header.append(u"Spalte%1"_s.arg(i) + QString(200, u'x'));
    const Outcome columns = importFile(u"wide.csv"_s, withBom(header.join(u';') + u"\r\n"_s));
    EXPECT_EQ(columns.exitCode, 5);
    EXPECT_EQ(columns.err.count(u"ist unbekannt"_s), 100);
    EXPECT_TRUE(columns.err.contains(u"… und 19900 weitere Fehler."_s))
        << qPrintable(columns.err.right(300));
    EXPECT_LT(columns.err.size(), 20000) << "echoed cells are cut";

    QString rows = u"Artikel-Nr.;EK-Preis\r\n"_s;
    for (int i = 0; i < 500; ++i)
        rows += u"R%1;"_s.arg(i) + QString(5000, u'9') + u"x\r\n"_s;
    const Outcome cells = importFile(u"rows.csv"_s, withBom(rows));
    EXPECT_EQ(cells.exitCode, 5);
    EXPECT_EQ(cells.err.count(u"Zeile "_s), 100);
    EXPECT_TRUE(cells.err.contains(u"… und 400 weitere Fehler."_s));
    EXPECT_LT(cells.err.size(), 20000);

    QJsonObject doc = getJson(firstArticle());
    for (int i = 0; i < 500; ++i)
        doc[u"Unbekannt%1"_s.arg(i)] = i;
    const Outcome json = put(doc);
    EXPECT_EQ(json.exitCode, 5);
    EXPECT_EQ(json.err.count(u"ist kein Feld des Artikels"_s), 100);
    EXPECT_TRUE(json.err.contains(u"… und 400 weitere Fehler."_s));
}

TEST_F(LagerInput, FileFailuresNameTheirCauseAndExitSix)
{
    const Outcome missing = expect(6, {u"import"_s, file(u"fehlt.csv"_s)});
    EXPECT_TRUE(missing.err.contains(u"nicht gefunden"_s)) << qPrintable(missing.err);
    const Outcome putMissing = expect(6, {u"article"_s, u"put"_s, file(u"fehlt.json"_s)});
    const Outcome exportNowhere = expect(6, {u"export"_s, file(u"fehlt/export.csv"_s)});
    EXPECT_TRUE(exportNowhere.err.contains(u"export.csv\" kann nicht geschrieben werden: "_s))
        << qPrintable(exportNowhere.err);

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
    const struct {
        const char *ini; // the installation's APPLICATION.INI
        const char16_t *locale;
        const char16_t *price;
        const char16_t *weight;
    } cases[] = {
        {"[Language]\r\nName=de_DE\r\n", u"en_US.UTF-8", u"vkp1=\"2440,5\"", u"\"0,00005\""},
        {"[Language]\r\nName=de_DE\r\n", u"C.UTF-8", u"vkp1=\"2440,5\"", u"\"0,00005\""},
        {"[Language]\r\nName=de_DE\r\n[Format]\r\nDecimalSeparator=.\r\n", u"de_DE.UTF-8",
         u"vkp1=\"2440.5\"", u"\"0.00005\""},
    };
    bool stored = false;
    for (const auto &c : cases) {
        QFile ini(file(u"ETC/APPLICATION.INI"_s));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(c.ini);
        ini.close();
        m_locale = QString::fromUtf16(c.locale);
        // what the other convention stored reads back the same
        if (stored) {
            EXPECT_EQ(getJson(u"SEP-1"_s)[u"VKPreis1"_s].toDouble(), 2440.5);
        }
        ASSERT_EQ(put(doc).exitCode, 0);
        stored = true;
        const Outcome xml =
            lager({u"article"_s, u"get"_s, u"SEP-1"_s, u"--format"_s, u"xml-utf8"_s});
        const QString text = QString::fromUtf8(xml.out);
        EXPECT_TRUE(text.contains(QString::fromUtf16(c.price))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf16(c.weight))) << text.toStdString();
        EXPECT_EQ(getJson(u"SEP-1"_s)[u"Gewicht"_s].toDouble(), 0.00005);
    }
}
