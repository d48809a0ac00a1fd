#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"

using namespace Qt::StringLiterals;

namespace
{
const QString kSheet = u"A4 3 x 8 Regaletiketten 70 x 37 mm"_s;
} // namespace

TEST_F(LagerProgram, LabelsGoIntoAPdfOnePerNamedArticle)
{
    const QString nr = firstArticle();
    // Four positions left on the first sheet, five labels: the fifth starts the second sheet.
    QStringList inactive;
    for (int p = 1; p <= 20; ++p)
        inactive.append(QString::number(p));
    const Outcome r =
        expect(0, {u"labels"_s, u"--sheet"_s, kSheet, u"--inactive"_s, inactive.join(u','), nr, nr,
                   nr, nr, nr, u"--copies"_s, u"2"_s, u"--pdf"_s, file(u"labels.pdf"_s)});
    EXPECT_EQ(r.out, "10 Etiketten auf 4 Seiten geschrieben.\n");
    const QByteArray pdf = TestDocuments::fileBytes(file(u"labels.pdf"_s));
    const qsizetype count = pdf.indexOf("/Count ", pdf.indexOf("/Type /Pages"));
    EXPECT_EQ(pdf.mid(count + 7, 6).split('\n').value(0).trimmed().toInt(), 4); // the page tree
}

TEST_F(LagerProgram, LabelsRefuseWhatTheyCannotPrint)
{
    const QString nr = firstArticle();
    const QString pdf = file(u"refused.pdf"_s);
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{u"--sheet"_s, u"Kein Bogen"_s, nr, u"--pdf"_s, pdf}, 3},
        {{u"--sheet"_s, kSheet, u"NICHT-DA"_s, u"--pdf"_s, pdf}, 3},
        {{u"--sheet"_s, kSheet, u"--skip"_s, u"25"_s, nr, u"--pdf"_s, pdf}, 5},
        {{u"--sheet"_s, kSheet, u"--inactive"_s, u"1,0"_s, nr, u"--pdf"_s, pdf}, 5},
        {{u"--sheet"_s, kSheet, u"--copies"_s, u"0"_s, nr, u"--pdf"_s, pdf}, 5},
        {{u"--sheet"_s, kSheet, nr}, 1},
    };
    for (const auto &c : cases) {
        expect(c.exitCode, QStringList{u"labels"_s} + c.args);
        EXPECT_FALSE(QFileInfo::exists(pdf)) << qPrintable(c.args.join(u' '));
    }
}
