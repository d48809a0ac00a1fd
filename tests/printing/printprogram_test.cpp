// MOD00003 in a generated installation: which documents it refuses with which exit code, and
// the PDF of one it prints, read back with pdftotext. How the pages flow is the renderer's
// test; a stock list rendered through to its totals is the command line's.
#include "printing/printarealayoutscore.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
class PrintProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString built = QCoreApplication::applicationDirPath() + u"/../bin"_s;
        ASSERT_TRUE(QFileInfo::exists(built + u"/MOD00003"_s))
            << "MOD00003 has not been built next to the test program";
        ASSERT_TRUE(generateInstallation(m_dir.path(), {}, built));
    }

    // Exit code of MOD00003 writing pdf; its messages in output.
    int render(const QString &document, const QString &pdf, QString *output = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(m_dir.filePath(u"BIN/MOD00003"_s),
                PrintProgramArguments(u"DEMO"_s, u"LAGER"_s, document, 0) << u"--pdf"_s << pdf);
        EXPECT_TRUE(p.waitForFinished(120000));
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitCode();
    }

    QTemporaryDir m_dir;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
};
} // namespace

TEST_F(PrintProgram, BadDocumentsGiveAMessageAndNoPdf)
{
    const auto document = [](const QString &body) {
        return TestDocuments::utf16File(TestDocuments::withDeclaration(body).mid(1));
    };
    const QByteArray good =
        document(QString::fromUtf8(TestDocuments::golden("printing", "printdocument.xml")));
    const struct {
        const char *name;
        QByteArray content;
        QStringList messages;
    } cases[] = {
        {"truncated", good.left(good.size() / 2), {u"fehlerhaft"_s}},
        {"not xml", "%PDF-1.4 kein XML", {u"fehlerhaft"_s}},
        {"other root", document(u"<forms />"_s), {u"keine Druckdatei"_s}},
        {"unknown element",
         document(u"<printpreview><bild /></printpreview>"_s),
         {u"unbekannte Element"_s}},
        // A missing picture is named, and the rest of the document still prints. The program
        // runs translated; the German rendering quotes the name differently.
        {"picture",
         document(u"<printpreview>\r\n<parow><col w=\"500\"><row rct=\"IMG\" "
                  u"rctid=\"/fehlt.png\"></row><row>danach</row></col></parow>\r\n"
                  u"</printpreview>"_s),
         {u"Fehler beim Laden des Bildes"_s, u"/fehlt.png"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = m_dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(TestDocuments::writeFile(file, c.content));
        QString output;
        const bool printed = c.name == std::string("picture");
        EXPECT_EQ(render(file, file + u".pdf"_s, &output), printed ? 0 : 2);
        for (const QString &message : c.messages)
            EXPECT_TRUE(output.contains(message)) << output.toStdString();
        EXPECT_EQ(QFileInfo::exists(file + u".pdf"_s), printed);
    }
    QProcess text;
    text.start(u"pdftotext"_s, {m_dir.filePath(u"picture.pdf"_s), u"-"_s});
    text.waitForFinished(60000);
    EXPECT_TRUE(text.readAllStandardOutput().contains("danach"));
}
