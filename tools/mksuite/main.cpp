#include "tools/suitegen/suitegenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes an installation tree."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("target"), QStringLiteral("Target directory"));
    const QCommandLineOption client(QStringLiteral("client"), QStringLiteral("Client name"),
                                    QStringLiteral("name"), QStringLiteral("DEMO"));
    const QCommandLineOption articles(QStringLiteral("articles"), QStringLiteral("Articles"),
                                      QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed"),
                                  QStringLiteral("s"), QStringLiteral("0"));
    const QCommandLineOption bin(QStringLiteral("bin"), QStringLiteral("Built programs"),
                                 QStringLiteral("dir"));
    const QCommandLineOption pw(QStringLiteral("admin-password"), QStringLiteral("Admin password"),
                                QStringLiteral("pw"), QStringLiteral("admin"));
    parser.addOptions({client, articles, seed, bin, pw});
    if (!parser.parse(app.arguments()) || parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 1;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s\n", qPrintable(parser.helpText()));
        return 0;
    }
    SuiteGenerator::Options o;
    o.targetDir = parser.positionalArguments().constFirst();
    o.client = parser.value(client);
    bool ok1 = false, ok2 = false;
    o.articles = parser.value(articles).toInt(&ok1);
    o.seed = parser.value(seed).toUInt(&ok2);
    o.binDir = parser.value(bin);
    o.adminPassword = parser.value(pw);
    if (!ok1 || !ok2 || o.articles < 0) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 1;
    }
    QString error;
    if (!SuiteGenerator::generate(o, &error)) {
        std::fprintf(stderr, "mksuite: %s\n", qPrintable(error));
        return 2;
    }
    return 0;
}
