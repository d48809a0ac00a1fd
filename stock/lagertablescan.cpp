#include "stock/lagertablescan.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

const QString &TLagerGroupTexts::shared(QStringView group)
{
    if (m_last && QStringView(*m_last) == group)
        return *m_last;
    auto it = m_texts.find(group);
    if (it == m_texts.end())
        it = m_texts.insert(group.toString()).first;
    m_last = &*it;
    return *it;
}

namespace
{
// Resets the statement however the scan ends, so that no read lock outlives it.
class StatementReset
{
public:
    explicit StatementReset(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    ~StatementReset() { sqlite3_reset(m_stmt); }
    StatementReset(const StatementReset &) = delete;
    StatementReset &operator=(const StatementReset &) = delete;

private:
    sqlite3_stmt *m_stmt;
};

// The ORDER BY of the cursor: the index columns (without regard to ASCII case when the index
// says so) and the row id that breaks ties; row id order without an index.
bool orderClause(TTdbTable &table, QString &order)
{
    const QString indexName = table.IndexName();
    order.clear();
    if (!indexName.isEmpty()) {
        const int ix = table.IndexDefs().IndexOf(indexName);
        if (ix < 0)
            return false;
        const TIndexDef &def = table.IndexDefs()[ix];
        for (const QString &field : def.FieldList()) {
            order += sqlName(field);
            if (def.options & ixCaseInsensitive)
                order += u" COLLATE NOCASE"_s;
            order += u", "_s;
        }
    }
    order += u"rowid"_s;
    return true;
}

QStringView textColumn(sqlite3_stmt *stmt, int column)
{
    const auto *chars = static_cast<const char16_t *>(sqlite3_column_text16(stmt, column));
    if (!chars)
        return {};
    return QStringView(chars, sqlite3_column_bytes16(stmt, column) / 2);
}
} // namespace

bool ScanLagerTable(TTdbTable &table, const QString &text, const QString &group,
                    bool withoutNotStockArticles, bool onlyStockTakingArticles,
                    TDBLagerSearchResultObjectList &result)
{
    if (!table.Active() || table.State() != DataSetState::Browse || table.Filtered() ||
        !table.Database())
        return false;
    QString order;
    if (!orderClause(table, order))
        return false;
    std::shared_ptr<SqliteConnection> conn;
    try {
        conn = table.Database()->connectionFor(table.TableName(), false);
    } catch (const EngineError &) {
        return false;
    }
    // The engine names the SQL table after the table in upper case.
    const QString sqlTable = table.TableName().toUpper();

    QString sql = u"SELECT \"LagerArtikelNr\", \"Bezeichnung\", \"Gruppe\""_s;
    if (onlyStockTakingArticles)
        sql += u", \"Inventurartikel\""_s;
    if (withoutNotStockArticles)
        sql += u", \"ISNOTBESTANDSARTIKEL\""_s;
    sql += u" FROM "_s + sqlName(sqlTable) + u" ORDER BY "_s + order;
    sqlite3_stmt *stmt = nullptr;
    try {
        stmt = conn->prepare(sql);
    } catch (const EngineError &) {
        return false; // a column this reader expects is not there
    }
    StatementReset reset(stmt);

    const TLagerSearchMatcher matcher(text, group);
    TLagerGroupTexts groups;
    const int inventurColumn = onlyStockTakingArticles ? 3 : -1;
    const int notStockColumn = withoutNotStockArticles ? (onlyStockTakingArticles ? 4 : 3) : -1;
    qint32 recNo = 0;
    for (;;) {
        const int rc = conn->step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            conn->fail(u"Search"_s);
        ++recNo;
        if (inventurColumn >= 0 && sqlite3_column_int(stmt, inventurColumn) == 0)
            continue;
        if (notStockColumn >= 0 && sqlite3_column_int(stmt, notStockColumn) != 0)
            continue;
        const QStringView nr = textColumn(stmt, 0);
        const QStringView bez = textColumn(stmt, 1);
        const QStringView grp = textColumn(stmt, 2);
        if (!matcher.Matches(bez, grp))
            continue;
        result.Add(std::make_unique<TDBLagerSearchResult>(recNo, nr, bez, groups.shared(grp)));
    }
    return true;
}
