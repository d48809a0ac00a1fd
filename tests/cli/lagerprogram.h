#pragma once

// A generated installation with the built lager in its BIN, and the program run on it as a
// script would run it: the fixture every test of the command line shares.
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/articles.h"
#include "tests/support/documents.h"
#include "tests/support/lockholders.h"
#include "tools/suitegen/suitegenerator.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline QByteArray withBom(const QString &text)
{
    return "\xEF\xBB\xBF" + text.toUtf8();
}

// The words of a command line, for the many whose arguments hold no blanks.
inline QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

class LagerProgram : public ::testing::Test
{
protected:
    void SetUp() override { generate(40); }

    void generate(int articles)
    {
        SuiteGenerator::Options o;
        o.targetDir = m_dir.path();
        o.binDir = QStringLiteral(LAGER_BIN_DIR);
        o.articles = articles;
        o.seed = 7;
        QString error;
        ASSERT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);
        ASSERT_TRUE(QFileInfo::exists(bin())) << "lager was not copied into BIN";
    }

    QString bin() const { return m_dir.filePath(QStringLiteral("BIN/lager")); }
    QString stockDir() const { return m_dir.filePath(QStringLiteral("DATA/DEMO/LAGER")); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // The program (the installation's lager unless named) with exactly these arguments.
    Outcome run(const QStringList &args, const QByteArray &input = {}, QString program = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!m_locale.isEmpty())
            for (const char *name : {"LC_ALL", "LANG"})
                env.insert(QString::fromLatin1(name), m_locale);
        p.setProcessEnvironment(env);
        p.start(program.isEmpty() ? bin() : program, args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
    }

    Outcome lager(const QStringList &args, const QByteArray &input = {},
                  const QString &user = QStringLiteral("ADMIN"))
    {
        return run(QStringList{QStringLiteral("DEMO"), user} + args, input);
    }

    // The program's outcome, its exit code checked.
    Outcome expect(int exitCode, const QStringList &args, const QByteArray &input = {},
                   const QString &user = QStringLiteral("ADMIN"))
    {
        Outcome r = lager(args, input, user);
        EXPECT_EQ(r.exitCode, exitCode) << qPrintable(args.join(u' ') + u'\n' + r.err);
        return r;
    }

    Outcome put(const QJsonObject &doc)
    {
        return lager(words(QStringLiteral("article put -")), QJsonDocument(doc).toJson());
    }

    QJsonObject getJson(const QString &nr)
    {
        return QJsonDocument::fromJson(
                   expect(0, {QStringLiteral("article"), QStringLiteral("get"), nr}).out)
            .object();
    }

    QString firstArticle()
    {
        return QString::fromUtf8(
            lager({QStringLiteral("list")}).out.split('\n').value(1).split('\t').value(0));
    }

    QByteArray exportBytes(const QString &name = QStringLiteral("export.csv"))
    {
        expect(0, {QStringLiteral("export"), file(name)});
        return TestDocuments::fileBytes(file(name));
    }

    // The file written, then imported.
    Outcome importFile(const QString &name, const QByteArray &bytes, const QStringList &extra = {})
    {
        EXPECT_TRUE(TestDocuments::writeFile(file(name), bytes));
        return lager(QStringList{QStringLiteral("import"), file(name)} + extra);
    }

    // The article's XML text as the table holds it.
    QString storedXml(const QString &nr)
    {
        IModLagerDBServerObj db;
        db.Open(stockDir());
        EXPECT_EQ(db.GotoArticle(nr), 0);
        return db.LagerTable().FieldByName(QStringLiteral("XMLDATA")).AsString();
    }

    // PLAIN, 4 in stock at 10.00, and SER, a serial-number article with no stock.
    void addPlainAndSerialArticles()
    {
        writeArticles(stockDir(), {QStringLiteral("PLAIN"), QStringLiteral("SER")},
                      [](TLagerServerObj &a) {
                          a.SNPflicht = a.LagerArtikelNr == u"SER";
                          a.BuchungsBestand = a.SNPflicht ? 0 : 4;
                          a.EKPreis = Money::fromDouble(10);
                      });
    }

    // The history invariant script on the installation's stock, as bench/run runs it.
    Outcome checkHistory(const QStringList &options = {})
    {
        return run(
            QStringList{QStringLiteral(STOCK_TESTS_DIR "/../tools/check-history"), stockDir()} +
                options,
            {}, QStringLiteral("python3"));
    }

    QTemporaryDir m_dir;
    QString m_locale; // the process locale lager runs under, empty for the test's own
};
