// Feeds arbitrary bytes to the reader of a catalog's word index. The input is cut at 0x1E into
// STX.IDX and the bucket files STX.0 to STX.36 (missing parts: missing files). Besides not
// crashing, every hit must be an article number that some bucket line holds: a damaged index
// may lose hits but never invent one.
#include "base/interaction.h"
#include "catalogs/searchtextmanager.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
class Silent : public Interaction
{
public:
    int messageBox(const QString &, const QString &, MsgDlgType, int) override { return 0; }
    bool inputBox(const QString &, const QString &, QString &) override { return false; }
    std::unique_ptr<Progress> progress(const QString &, int) override { return nullptr; }
    std::unique_ptr<WaitWindow> waitWindow(const QString &) override { return nullptr; }
    void desktopAlert(const QString &, const QString &, int, int) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Silent silent;
    static const bool once = [] {
        setInteraction(&silent);
        return true;
    }();
    (void)once;
    static QTemporaryDir dir;

    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\x1e');
    QString buckets;
    for (int i = 0; i <= SearchtextIndex::kBuckets; ++i) {
        const QString name =
            dir.path() + (i == 0 ? QStringLiteral("/STX.IDX")
                                 : QStringLiteral("/STX.") + QString::number(i - 1));
        QFile::remove(name);
        if (i >= parts.size())
            continue;
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(parts[i]) != parts[i].size())
            std::abort();
        if (i > 0)
            buckets += SearchtextIndex::Decode(parts[i]) + QLatin1Char('\n');
    }

    TSearchtextManager manager(dir.path());
    manager.LinesPerCancelCheck = 3;
    for (const char *query : {"A", "^B", "1 A", "X=Y=", "\xc3\xa4"}) {
        manager.Search(QString::fromUtf8(query), false, false);
        for (const QString &hit : manager.Results()) {
            QString stored = hit;
            stored.replace(QLatin1Char(' '), QLatin1Char(';'));
            if (!buckets.contains(stored)) {
                std::fprintf(stderr, "invented hit: %s\n", qPrintable(hit));
                std::abort();
            }
        }
    }
    return 0;
}
