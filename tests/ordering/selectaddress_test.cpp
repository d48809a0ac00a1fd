#include "ordering/selectaddress.h"

#include "tests/ordering/orderingtest.h"
#include "tests/support/installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <signal.h>

namespace
{

// A BIN directory whose address program is a shell script, and an exchange directory.
class FakeAddressProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"BIN"_s));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"TMP"_s));
    }

    QString bin() const { return m_dir.filePath(u"BIN"_s); }
    QString exchange() const { return m_dir.filePath(u"TMP"_s); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    void installScript(const QString &body)
    {
        const QString program = QDir(bin()).filePath(u"MOD00318"_s);
        ASSERT_TRUE(TestDocuments::writeFile(program, "#!/bin/sh\n" + body.toUtf8()));
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A script that notes its arguments and writes the given file as the exchange file.
    void installAnswering(const QByteArray &exchangeContent)
    {
        ASSERT_TRUE(TestDocuments::writeFile(path(u"answer"_s), exchangeContent));
        installScript(u"for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\n"
                      u"for a in \"$@\"; do f=\"$a\"; done\n"
                      u"cp '%2' \"$f\"\n"_s.arg(path(u"args"_s), path(u"answer"_s)));
    }

    QStringList recordedArguments() const
    {
        return QString::fromUtf8(TestDocuments::fileBytes(path(u"args"_s)))
            .split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
};

QByteArray document(const QString &id)
{
    TCustomerAddress a;
    a.Id = id;
    return TestDocuments::utf16(a.GetXMLText(true));
}

} // namespace

TEST_F(FakeAddressProgram, ReturnsTheFirstAddressOfTheExchangeFileAndDeletesItNoFileNoChoice)
{
    installAnswering(document(u"1047"_s) + document(u"2048"_s));
    ScriptedInteraction script;
    ScopedInteraction scope(&script);

    const auto address = SelectAddress(bin(), exchange(), {u"DEMO"_s, u"LAGER"_s, u"-E"_s});
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->Id, u"1047"_s);

    const QStringList args = recordedArguments();
    ASSERT_EQ(args.size(), 6) << qPrintable(args.join(u'|'));
    EXPECT_EQ(args.mid(0, 5),
              (QStringList{u"DEMO"_s, u"LAGER"_s, u"-ONE"_s, u"-GA"_s, u"-TEMP"_s}));
    const QFileInfo exchangeFile(args[5]);
    EXPECT_EQ(exchangeFile.absolutePath(), QDir(exchange()).absolutePath());
    EXPECT_TRUE(exchangeFile.fileName().endsWith(u".$$$"_s));
    EXPECT_FALSE(exchangeFile.exists());

    // No file or an empty file means no choice.
    installAnswering(QByteArray());
    EXPECT_EQ(SelectAddress(bin(), exchange(), {u"DEMO"_s, u"LAGER"_s}), nullptr);
    installScript(u"exit 0\n"_s);
    EXPECT_EQ(SelectAddress(bin(), exchange(), {u"DEMO"_s, u"LAGER"_s}), nullptr);
    EXPECT_TRUE(script.messages.isEmpty());
    EXPECT_TRUE(QDir(exchange()).isEmpty());
}

TEST_F(FakeAddressProgram, MissingProgramIsReportedMissingExchangeDirectoryStartsNothing)
{
    ScriptedInteraction script;
    ScopedInteraction scope(&script);
    EXPECT_EQ(SelectAddress(bin(), exchange(), {u"DEMO"_s, u"LAGER"_s}), nullptr);
    ASSERT_EQ(script.messages.size(), 1);
    EXPECT_TRUE(script.messages[0].text.startsWith(u"Das Adressprogramm \""_s));

    installAnswering(document(u"1047"_s));
    EXPECT_EQ(SelectAddress(bin(), path(u"fehlt"_s), {u"DEMO"_s, u"LAGER"_s}), nullptr);
    EXPECT_TRUE(recordedArguments().isEmpty());
}

TEST_F(FakeAddressProgram, CancellingTheWaitEndsTheProgram)
{
    // The script never answers by itself: a wait that ignored the cancel would hang here, and
    // the program must not be left running.
    installScript(u"echo $$ > '%1'\nexec sleep 100000\n"_s.arg(path(u"pid"_s)));
    // Cancels once the program has noted its process id, however long its start takes.
    struct CancelWhenStarted : ScriptedInteraction {
        QString pidFile;
        std::unique_ptr<WaitWindow> waitWindow(const QString &) override
        {
            struct Wait : WaitWindow {
                QString file;
                bool cancelled() const override { return QFileInfo(file).size() > 0; }
                void idle() override {}
            };
            auto wait = std::make_unique<Wait>();
            wait->file = pidFile;
            return wait;
        }
    } script;
    script.pidFile = path(u"pid"_s);
    ScopedInteraction scope(&script);
    EXPECT_EQ(SelectAddress(bin(), exchange(), {u"DEMO"_s, u"LAGER"_s}), nullptr);
    const pid_t pid = pid_t(TestDocuments::fileBytes(path(u"pid"_s)).trimmed().toLongLong());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::kill(pid, 0), -1) << "the address program still runs";
    EXPECT_EQ(errno, ESRCH);
}

// The real stand-in in a generated installation, choosing without a window.
class AddressProgramStandIn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString built = QCoreApplication::applicationDirPath() + u"/../bin"_s;
        ASSERT_TRUE(QFileInfo::exists(built + u"/MOD00318"_s))
            << "MOD00318 has not been built next to the test program";
        ASSERT_TRUE(generateInstallation(m_dir.path(), {}, built));
    }
    void TearDown() override { qunsetenv("MOD00318_CHOOSE"); }

    std::unique_ptr<TCustomerAddress> select(const QByteArray &number)
    {
        qputenv("MOD00318_CHOOSE", number);
        return SelectAddress(m_dir.filePath(u"BIN"_s), m_dir.filePath(u"USR/LAGER/TMP"_s),
                             {u"DEMO"_s, u"LAGER"_s});
    }

    QTemporaryDir m_dir;
};

TEST_F(AddressProgramStandIn, HandsBackTheChosenSupplierWithAllItsData)
{
    ScriptedInteraction script;
    ScopedInteraction scope(&script);
    const auto address = select("70001");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->Id, u"70001"_s);
    EXPECT_EQ(address->Anschriften[2].Name1, u"Müller Holding GmbH & Co. KG"_s);
    EXPECT_TRUE(QDir(m_dir.filePath(u"USR/LAGER/TMP"_s)).isEmpty());
    EXPECT_EQ(select("99999"), nullptr); // nothing chosen
    EXPECT_TRUE(script.messages.isEmpty());
}
