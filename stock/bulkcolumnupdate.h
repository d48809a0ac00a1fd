#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class IModLagerDBServerObj;
class Progress;

// A chunk ends after at least this many rows and at least this long: short enough that a
// waiting writer is served within a fraction of a second, long enough that the commits (each
// one waits for the disk) do not cost more than the updates themselves when rows are quick.
struct BulkColumnChunks {
    int rows = 500;
    int milliseconds = 250;
};

// Sets one column of many articles, the storage place of a whole selection say, and nothing
// else of them. The caller holds the stock database lock, so no other program of the suite
// changes articles meanwhile; the rows are still committed in chunks, because one transaction
// over ten thousand rows would keep the table's write lock long enough for other
// workstations' writers (a counted-stock cell, a booking of another client's program) to run
// out of their busy timeout.
class BulkColumnUpdate
{
public:
    using Chunks = BulkColumnChunks;

    enum class Outcome { Done, Cancelled, Failed };
    struct Result {
        Outcome outcome = Outcome::Done;
        int changed = 0;
        int missing = 0; // empty numbers and articles that are gone: skipped
    };
    // Told after each commit which numbers (positions first .. first + count - 1 of the list)
    // it made final, so that the caller drops what it remembers of them.
    using Committed = std::function<void(qsizetype first, qsizetype count)>;

    // Refreshes the database, then sets column to value for every number in order until the
    // progress is cancelled (checked before each number). A failure rolls back the open
    // chunk; the chunks before it stay committed.
    static Result Run(IModLagerDBServerObj &db, const QString &column, const QString &value,
                      const QStringList &numbers, Progress *progress,
                      const Committed &committed = {}, Chunks chunks = {});
};
