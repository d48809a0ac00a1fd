#pragma once

// Where the benchmarks keep what they generate: below STOCK_BENCH_DATA (a temporary directory
// without it), each set made once and kept between runs, since 100,000 articles take minutes.
#include "tools/suitegen/suitegenerator.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

inline QString BenchDataRoot()
{
    const QString base = qEnvironmentVariable("STOCK_BENCH_DATA");
    return base.isEmpty() ? QDir::tempPath() + QStringLiteral("/stock-bench") : base;
}

// dir as make left it; a set whose making was cut off has no marker and is made anew.
inline QString KeptGenerated(const QString &dir,
                             const std::function<bool(const QString &, QString *)> &make)
{
    const QString done = QDir(dir).filePath(QStringLiteral("GENERATED"));
    if (!QFileInfo::exists(done)) {
        QDir(dir).removeRecursively();
        QString error;
        if (!make(dir, &error))
            qFatal("%s", qPrintable(error));
        QFile marker(done);
        if (!marker.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(done));
    }
    return dir;
}

inline QString KeptStock(const QString &dir, int articles, quint32 seed = 1)
{
    return KeptGenerated(dir, [&](const QString &path, QString *error) {
        return SuiteGenerator::generateStock(path, articles, seed, error);
    });
}
