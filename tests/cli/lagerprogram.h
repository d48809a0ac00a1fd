#pragma once

// A generated installation with the built lager in its BIN, and the program run on it as a
// script would run it: the fixture every test of the command line shares.
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
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

    // The program with exactly these arguments.
    Outcome run(const QStringList &args, const QByteArray &input = {})
    {
        QProcess p;
        if (!m_locale.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LC_ALL"), m_locale);
            env.insert(QStringLiteral("LANG"), m_locale);
            p.setProcessEnvironment(env);
        }
        p.start(bin(), args);
        if (!input.isEmpty())
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
        return lager({QStringLiteral("article"), QStringLiteral("put"), QStringLiteral("-")},
                     QJsonDocument(doc).toJson());
    }

    QJsonObject getJson(const QString &nr)
    {
        const Outcome r = lager({QStringLiteral("article"), QStringLiteral("get"), nr});
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
        return QJsonDocument::fromJson(r.out).object();
    }

    QString firstArticle()
    {
        const Outcome r = lager({QStringLiteral("list")});
        return QString::fromUtf8(r.out.split('\n').value(1).split('\t').value(0));
    }

    QByteArray exportBytes(const QString &name = QStringLiteral("export.csv"))
    {
        const Outcome r = lager({QStringLiteral("export"), file(name)});
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    // The file written, then imported.
    Outcome importFile(const QString &name, const QByteArray &bytes, const QStringList &extra = {})
    {
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        return lager(QStringList{QStringLiteral("import"), file(name)} + extra);
    }

    // Written as the window would, past the program.
    void writeArticle(const TLagerArtikelDaten &data)
    {
        IModLagerDBServerObj db;
        db.Open(stockDir());
        TLagerServerObj article;
        article.Assign(data);
        ASSERT_EQ(db.WriteArticle(&article), 0);
    }

    // The article's XML text as the table holds it.
    QString storedXml(const QString &nr)
    {
        IModLagerDBServerObj db;
        db.Open(stockDir());
        EXPECT_EQ(db.GotoArticle(nr), 0);
        return db.LagerTable().FieldByName(QStringLiteral("XMLDATA")).AsString();
    }

    QTemporaryDir m_dir;
    QString m_locale; // the process locale lager runs under, empty for the test's own
};
