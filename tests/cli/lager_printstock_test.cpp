// The stock list printed from the command line: the document, the PDF the print program
// renders from it, and the choices a script may leave to the user's last print.
#include "base/inifile.h"
#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"

using namespace Qt::StringLiterals;

namespace
{
class LagerPrintStock : public LagerProgram
{
protected:
    // The print document as lager wrote it, without its byte-order mark.
    QString document(const QStringList &extra = {})
    {
        expect(0, QStringList{u"print"_s, u"stocklist"_s, u"--document"_s, file(u"liste.xml"_s)} +
                      extra);
        return TestDocuments::fromUtf16(TestDocuments::fileBytes(file(u"liste.xml"_s))).mid(1);
    }
};
} // namespace

// Which rows the list holds and how it values them is the print run's business, how the
// pages look the print program's; here that the command renders the list through to its
// totals and leaves no spool document behind.
TEST_F(LagerPrintStock, PdfShowsTheListToItsTotals)
{
    expect(0, {u"print"_s, u"stocklist"_s, u"--pdf"_s, file(u"liste.pdf"_s)});
    QProcess text;
    text.start(u"pdftotext"_s, {u"-layout"_s, file(u"liste.pdf"_s), u"-"_s});
    ASSERT_TRUE(text.waitForFinished(120000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(firstArticle())) << qPrintable(shown.left(500));
    EXPECT_TRUE(shown.contains(u"Lagerwert (positive Bestaende): "_s));
    EXPECT_TRUE(QDir(file(u"USR/ADMIN/TMP"_s)).entryList({u"*.$$$"_s}).isEmpty());
}

TEST_F(LagerPrintStock, FormAndLayoutComeFromTheLastPrintOrTheFirstOffered)
{
    EXPECT_TRUE(document().contains(u"form1=\"Lagerliste Hochformat\""_s));

    IniFile ini(file(u"USR/ADMIN/ETC/DEMO/MOD00501.INI"_s));
    ini.writeString(u"MOD00501Form10"_s, u"edPrintForm1"_s, u"lagerliste querformat"_s);
    ini.writeString(u"TLayoutMngFrameMOD00501Form10"_s, u"CurrentLayoutSetName"_s, u"Lagerliste"_s);
    ASSERT_TRUE(ini.save());
    // The form's own spelling goes into the document, whatever the case it was chosen in.
    EXPECT_TRUE(document().contains(u"form1=\"Lagerliste Querformat\""_s));
    const QString chosen =
        document(QStringList{u"--form"_s, u"Lagerliste Hochformat"_s} +
                 words(u"--first-page 5 --date 2026-03-01 --group ROHRE --only-stock"_s));
    EXPECT_TRUE(chosen.contains(u"form1=\"Lagerliste Hochformat\""_s));
    EXPECT_TRUE(chosen.contains(u"<pagenr val=\"5\" />"_s));
    EXPECT_TRUE(chosen.contains(u">01.03.2026</pageparam>"_s));
    EXPECT_TRUE(chosen.contains(u">Artikelgruppe: ROHRE</pageparam>"_s));
    EXPECT_FALSE(chosen.contains(u"<row>ARMATUREN</row>"_s));
}

TEST_F(LagerPrintStock, RefusesUnknownChoicesWithoutWritingAnything)
{
    const QString xml = file(u"nie.xml"_s);
    for (const auto &[options, exitCode, message] :
         {std::tuple{u"--layout Nix --document "_s + xml, 3,
                     u"Drucklayout \"Nix\" nicht gefunden."_s},
          std::tuple{u"--date 1.3.2026 --document "_s + xml, 5, u"1.3.2026"_s},
          std::tuple{QString(), 1, u"--pdf"_s}}) {
        const Outcome r = expect(exitCode, words(u"print stocklist "_s + options));
        EXPECT_TRUE(r.err.contains(message)) << qPrintable(r.err);
        EXPECT_FALSE(QFileInfo::exists(xml));
    }
}
