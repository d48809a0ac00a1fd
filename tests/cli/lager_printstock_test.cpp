// The stock list printed from the command line: the document, the PDF the print program
// renders from it, and the choices a script may leave to the user's last print.
#include "base/inifile.h"
#include "tests/cli/lagerprogram.h"

using namespace Qt::StringLiterals;

namespace
{
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class LagerPrintStock : public LagerProgram
{
protected:
    // The print document as lager wrote it.
    QString document(const QStringList &extra)
    {
        expect(0, QStringList{u"print"_s, u"stocklist"_s, u"--document"_s, file(u"liste.xml"_s)} +
                      extra);
        QFile f(file(u"liste.xml"_s));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(f.readAll().constData() + 2),
                                  (f.size() - 2) / 2);
    }
};
} // namespace

// Which rows the list holds and how it values them is the print run's business, how the
// pages look the print program's; here that the command renders the list through to its
// totals and leaves no spool document behind.
TEST_F(LagerPrintStock, PdfShowsTheListToItsTotals)
{
    expect(0, {u"print"_s, u"stocklist"_s, u"--pdf"_s, file(u"liste.pdf"_s)});
    const QString text = pdfText(file(u"liste.pdf"_s));
    EXPECT_TRUE(text.contains(firstArticle())) << qPrintable(text.left(500));
    EXPECT_TRUE(text.contains(u"Lagerwert (positive Bestaende): "_s));
    EXPECT_TRUE(QDir(file(u"USR/ADMIN/TMP"_s)).entryList({u"*.$$$"_s}).isEmpty());
}

TEST_F(LagerPrintStock, FormAndLayoutComeFromTheLastPrintOrTheFirstOffered)
{
    EXPECT_TRUE(document({}).contains(u"form1=\"Lagerliste Hochformat\""_s));

    IniFile ini(file(u"USR/ADMIN/ETC/DEMO/MOD00501.INI"_s));
    ini.writeString(u"MOD00501Form10"_s, u"edPrintForm1"_s, u"lagerliste querformat"_s);
    ini.writeString(u"TLayoutMngFrameMOD00501Form10"_s, u"CurrentLayoutSetName"_s, u"Lagerliste"_s);
    ASSERT_TRUE(ini.save());
    // The form's own spelling goes into the document, whatever the case it was chosen in.
    EXPECT_TRUE(document({}).contains(u"form1=\"Lagerliste Querformat\""_s));
    const QString chosen =
        document({u"--form"_s, u"Lagerliste Hochformat"_s, u"--first-page"_s, u"5"_s, u"--date"_s,
                  u"2026-03-01"_s, u"--group"_s, u"ROHRE"_s, u"--only-stock"_s});
    EXPECT_TRUE(chosen.contains(u"form1=\"Lagerliste Hochformat\""_s));
    EXPECT_TRUE(chosen.contains(u"<pagenr val=\"5\" />"_s));
    EXPECT_TRUE(chosen.contains(u">01.03.2026</pageparam>"_s));
    EXPECT_TRUE(chosen.contains(u">Artikelgruppe: ROHRE</pageparam>"_s));
    EXPECT_FALSE(chosen.contains(u"<row>ARMATUREN</row>"_s));
}

TEST_F(LagerPrintStock, RefusesUnknownChoicesWithoutWritingAnything)
{
    struct Case {
        QStringList args;
        int exitCode;
        QString message;
    };
    const QString xml = file(u"nie.xml"_s);
    const Case cases[] = {
        {{u"--layout"_s, u"Nix"_s, u"--document"_s, xml},
         3,
         u"Drucklayout \"Nix\" nicht gefunden."_s},
        {{u"--date"_s, u"1.3.2026"_s, u"--document"_s, xml}, 5, u"1.3.2026"_s},
        {{}, 1, u"--pdf"_s},
    };
    for (const Case &c : cases) {
        const Outcome r = expect(c.exitCode, QStringList{u"print"_s, u"stocklist"_s} + c.args);
        EXPECT_TRUE(r.err.contains(c.message)) << qPrintable(r.err);
        EXPECT_FALSE(QFileInfo::exists(xml));
    }
}
