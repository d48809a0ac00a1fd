#include "stock/lagertablescan.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"

#include <optional>
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

const QString &TLagerGroupTexts::shared(QByteArrayView utf8)
{
    const std::string_view key(utf8.data(), size_t(utf8.size()));
    if (m_lastFromUtf8 && key == m_lastUtf8)
        return *m_lastFromUtf8;
    auto it = m_byUtf8.find(key);
    if (it == m_byUtf8.end())
        it = m_byUtf8.emplace(std::string(key), shared(QString::fromUtf8(utf8))).first;
    m_lastUtf8.assign(key);
    m_lastFromUtf8 = &it->second;
    return it->second;
}

namespace
{
// The ORDER BY of the cursor: the index columns (without regard to ASCII case when the index
// says so) and the row id that breaks ties; row id order without an index.
bool orderClause(TTdbTable &table, QString &order, bool server = false)
{
    const QString indexName = table.IndexName();
    order.clear();
    if (!indexName.isEmpty()) {
        const int ix = table.IndexDefs().IndexOf(indexName);
        if (ix < 0)
            return false;
        const TIndexDef &def = table.IndexDefs()[ix];
        for (const QString &field : def.FieldList()) {
            const int col = table.FieldDefs().IndexOf(field);
            const bool folded = (def.options & ixCaseInsensitive) && col >= 0 &&
                                isTextType(table.FieldDefs()[col].type);
            if (server)
                order += folded ? pgFoldAscii(sqlName(field)) : sqlName(field);
            else
                order += sqlName(field) + (folded ? u" COLLATE NOCASE"_s : QString());
            order += u", "_s;
        }
    }
    order += server ? u"tdb_rowid"_s : u"rowid"_s;
    return true;
}

QByteArrayView utf8Column(sqlite3_stmt *stmt, int column)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return bytes ? QByteArrayView(bytes, sqlite3_column_bytes(stmt, column)) : QByteArrayView();
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Number and description in one buffer, as the entry keeps them. SQLite hands out the UTF-8
// it stores; ASCII texts, nearly all of them, are widened here without a detour through a
// conversion buffer.
QString combinedText(QByteArrayView nr, QByteArrayView bez, qint32 &nrLength)
{
    if (isAscii(nr) && isAscii(bez)) {
        QString text(nr.size() + bez.size(), Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (const char c : nr)
            *out++ = char16_t(c);
        for (const char c : bez)
            *out++ = char16_t(c);
        nrLength = qint32(nr.size());
        return text;
    }
    const QString n = QString::fromUtf8(nr);
    nrLength = qint32(n.size());
    return n + QString::fromUtf8(bez);
}
// The same search on the database server: one query, the rows come in one result.
bool scanOnServer(TTdbTable &table, const QString &text, const QString &group,
                  bool withoutNotStockArticles, bool onlyStockTakingArticles,
                  TDBLagerSearchResultObjectList &result)
{
    QString order;
    if (!orderClause(table, order, true))
        return false;
    const auto pg = table.Database()->serverConnection();
    const PgTable server(*pg, table.Database()->serverSchema(), table.TableName());
    QString sql = u"SELECT \"LagerArtikelNr\", \"Bezeichnung\", \"Gruppe\""_s;
    if (onlyStockTakingArticles)
        sql += u", \"Inventurartikel\""_s;
    if (withoutNotStockArticles)
        sql += u", \"ISNOTBESTANDSARTIKEL\""_s;
    sql += u" FROM "_s + server.sqlTable() + u" ORDER BY "_s + order;
    std::optional<PgResult> rows;
    try {
        rows.emplace(pg->execGuarded(sql));
    } catch (const EngineError &) {
        return false; // a column this reader expects is not there
    }
    const TLagerSearchMatcher matcher(text, group);
    TLagerGroupTexts groups;
    const int inventurColumn = onlyStockTakingArticles ? 3 : -1;
    const int notStockColumn = withoutNotStockArticles ? (onlyStockTakingArticles ? 4 : 3) : -1;
    for (int i = 0; i < rows->rows(); ++i) {
        if (inventurColumn >= 0 && rows->integer(i, inventurColumn) == 0)
            continue;
        if (notStockColumn >= 0 && rows->integer(i, notStockColumn) != 0)
            continue;
        const QString &grp = groups.shared(rows->utf8(i, 2));
        if (matcher.HasGroup() && !matcher.MatchesGroup(grp))
            continue;
        const QByteArrayView bez = rows->utf8(i, 1);
        if (matcher.HasText() && !matcher.MatchesDescription(QString::fromUtf8(bez)))
            continue;
        qint32 nrLength = 0;
        QString combined = combinedText(rows->utf8(i, 0), bez, nrLength);
        result.Add(
            std::make_unique<TDBLagerSearchResult>(i + 1, std::move(combined), nrLength, grp));
    }
    return true;
}

} // namespace

bool ScanLagerTable(TTdbTable &table, const QString &text, const QString &group,
                    bool withoutNotStockArticles, bool onlyStockTakingArticles,
                    TDBLagerSearchResultObjectList &result)
{
    if (!table.Active() || table.State() != DataSetState::Browse || table.Filtered() ||
        !table.Database())
        return false;
    if (table.Database()->onServer())
        return scanOnServer(table, text, group, withoutNotStockArticles, onlyStockTakingArticles,
                            result);
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
    StatementReset reset{stmt};

    const TLagerSearchMatcher matcher(text, group);
    TLagerGroupTexts groups;
    QString description;
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
        const QString &grp = groups.shared(utf8Column(stmt, 2));
        if (matcher.HasGroup() && !matcher.MatchesGroup(grp))
            continue;
        const QByteArrayView bez = utf8Column(stmt, 1);
        if (matcher.HasText()) {
            // Most rows miss: look at the description before building anything to keep.
            if (isAscii(bez)) {
                description.resize(bez.size());
                char16_t *out = reinterpret_cast<char16_t *>(description.data());
                for (const char c : bez)
                    *out++ = char16_t(c);
            } else {
                description = QString::fromUtf8(bez);
            }
            if (!matcher.MatchesDescription(description))
                continue;
        }
        qint32 nrLength = 0;
        QString text = combinedText(utf8Column(stmt, 0), bez, nrLength);
        result.Add(std::make_unique<TDBLagerSearchResult>(recNo, std::move(text), nrLength, grp));
    }
    return true;
}
