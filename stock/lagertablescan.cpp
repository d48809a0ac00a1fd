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
