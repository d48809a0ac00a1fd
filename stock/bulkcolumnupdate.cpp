#include "stock/bulkcolumnupdate.h"

#include "base/interaction.h"
#include "persistence/engine/tdbtable.h"
#include "stock/modlagerdbserverobj.h"

#include <QElapsedTimer>

using namespace Qt::StringLiterals;

namespace
{
// The store has reported its failure already; the loop only has to end.
struct ReportedFailure {
};
} // namespace

BulkColumnUpdate::Result BulkColumnUpdate::Run(IModLagerDBServerObj &db, const QString &column,
                                               const QString &value, const QStringList &numbers,
                                               Progress *progress, const Committed &committed,
                                               Chunks chunks)
{
    Result result;
    TTdbTable &table = db.LagerTable();
    db.Refresh();
    qsizetype chunkStart = 0;
    int changedInChunk = 0;
    bool open = false;
    QElapsedTimer chunkClock;
    auto commit = [&](qsizetype end) {
        if (open) {
            table.Commit();
            open = false;
        }
        if (committed && end > chunkStart)
            committed(chunkStart, end - chunkStart);
        chunkStart = end;
        changedInChunk = 0;
    };
    auto fail = [&] {
        result.outcome = Outcome::Failed;
        result.changed -= changedInChunk;
        if (open) {
            try {
                table.Rollback();
            } catch (const std::exception &) {
                // the connection is gone; nothing of the chunk reached the file
            }
        }
    };
    qsizetype done = 0; // numbers handled, in the open chunk or before it
    try {
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            if (progress && progress->cancelled()) {
                result.outcome = Outcome::Cancelled;
                break;
            }
            if (progress)
                progress->step();
            if (!open) {
                table.StartTransaction();
                open = true;
                chunkClock.start();
            }
            const int code = db.SetArticleText(numbers[i], column, value);
            if (code == -1 && !numbers[i].isEmpty())
                throw ReportedFailure{};
            if (code == 0) {
                ++result.changed;
                ++changedInChunk;
            } else {
                ++result.missing;
            }
            done = i + 1;
            if (done - chunkStart >= chunks.rows && chunkClock.elapsed() >= chunks.milliseconds)
                commit(done);
        }
        commit(done);
    } catch (const ReportedFailure &) {
        fail();
    } catch (const std::exception &e) {
        db.ReportError(&e, u"SetArticleText"_s);
        fail();
    }
    db.Refresh();
    return result;
}
