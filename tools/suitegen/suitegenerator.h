#pragma once

#include <QString>

// Writes a complete, runnable installation tree (programs, settings, users, client data).
// The output depends only on the options, so tests can compare two runs byte for byte.
class SuiteGenerator
{
public:
    struct Options {
        QString targetDir;
        QString client = QStringLiteral("DEMO");
        int articles = 0;
        quint32 seed = 0;
        QString binDir; // built programs to copy into BIN/; empty = no copy
        QString adminPassword = QStringLiteral("admin");
    };

    static bool generate(const Options &options, QString *error);
    // Writes articles into the LAGER table (and their serial numbers into LAGERSN) of the stock
    // directory, in one transaction; the same seed gives the same articles.
    static bool generateStock(const QString &stockDir, int articles, quint32 seed, QString *error);
    static QString passwordDigest(const QString &password);
};
