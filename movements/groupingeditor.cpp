#include "movements/groupingeditor.h"

#include "base/messages.h"
#include "base/translation.h"
#include "movements/articlegroupings.h"
#include "stock/dblagersearchresult.h"
#include "stock/modlagerdbserverobj.h"

#include <QSet>
#include <QStringView>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{

QVariant columnHeader(int section, Qt::Orientation orientation, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? tx("Artikel-Nr.") : tx("Beschreibung");
}

constexpr quintptr kGroupingNode = 0; // a member node carries its grouping's row + 1

} // namespace

// ---------------------------------------------------------------------------------------------

int UngroupedArticlesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int UngroupedArticlesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant UngroupedArticlesModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const TDBLagerSearchResult *a = m_editor.m_articles->Item(m_rows[size_t(index.row())]);
    return index.column() == 0 ? a->ArtikelNr().toString() : a->Bezeichnung().toString();
}

QVariant UngroupedArticlesModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const
{
    return columnHeader(section, orientation, role);
}

QString UngroupedArticlesModel::ArticleNr(int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return {};
    return m_editor.m_articles->Item(m_rows[size_t(row)])->ArtikelNr().toString();
}

// ---------------------------------------------------------------------------------------------

QModelIndex GroupingTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, kGroupingNode);
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex GroupingTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == kGroupingNode)
        return {};
    return createIndex(int(child.internalId() - 1), 0, kGroupingNode);
}

int GroupingTreeModel::rowCount(const QModelIndex &parent) const
{
    const TStringStringlistObjectList &g = m_editor.Groupings();
    if (!parent.isValid())
        return int(g.Count());
    if (parent.internalId() != kGroupingNode || parent.column() != 0 || parent.row() >= g.Count())
        return 0;
    return int(g[parent.row()].List.size());
}

int GroupingTreeModel::columnCount(const QModelIndex &) const
{
    return 2;
}

QVariant GroupingTreeModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const TStringStringlistObjectList &all = m_editor.Groupings();
    if (index.internalId() == kGroupingNode) {
        const TStringStringlist &g = all[index.row()];
        if (index.column() == 0)
            return g.Name;
        return tx("Erster Artikel: ") + m_editor.Description(g.List.value(0));
    }
    const QString nr = all[qsizetype(index.internalId() - 1)].List.value(index.row());
    return index.column() == 0 ? nr : m_editor.Description(nr);
}

QVariant GroupingTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return columnHeader(section, orientation, role);
}

int GroupingTreeModel::GroupingRow(const QModelIndex &node) const
{
    if (!node.isValid() || node.model() != this)
        return -1;
    return node.internalId() == kGroupingNode ? node.row() : int(node.internalId() - 1);
}

// ---------------------------------------------------------------------------------------------

GroupingEditor::GroupingEditor() : m_articles(std::make_unique<TDBLagerSearchResultObjectList>()) {}

GroupingEditor::~GroupingEditor() = default;

qsizetype GroupingEditor::ArticleCount() const
{
    return m_articles->Count();
}

void GroupingEditor::Load(IModLagerDBServerObj &db, const QString &stockDir)
{
    m_stockDir = stockDir;
    m_tree.beginResetModel();
    db.Search(QString(), QString(), *m_articles, false, false);
    m_groupings.Clear();
    ArticleGroupings::LoadGroupings(stockDir, m_groupings);
    m_tree.endResetModel();
    rebuildUngrouped();
}

void GroupingEditor::rebuildUngrouped()
{
    // Views into the groupings' own texts: no copy per article of a large stock.
    QSet<QStringView> members;
    for (const TStringStringlist &g : m_groupings)
        for (const QString &nr : g.List)
            members.insert(nr);
    m_ungrouped.beginResetModel();
    m_ungrouped.m_rows.clear();
    m_ungrouped.m_rows.reserve(size_t(m_articles->Count()));
    m_descriptions.clear();
    for (qsizetype i = 0; i < m_articles->Count(); ++i) {
        const TDBLagerSearchResult *a = m_articles->Item(i);
        if (members.isEmpty() || !members.contains(a->ArtikelNr()))
            m_ungrouped.m_rows.push_back(i);
        else
            m_descriptions.insert(a->ArtikelNr().toString(), a->Bezeichnung().toString());
    }
    m_ungrouped.endResetModel();
}

bool GroupingEditor::GroupRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<qsizetype> &list = m_ungrouped.m_rows;
    rows.removeIf([&](int r) { return r < 0 || size_t(r) >= list.size(); });
    if (rows.size() < 2) {
        ShowMessageBox(tx("Es muessen mindestens zwei Artikel markiert sein."), MsgDlgType::Error,
                       MsgButton::OK);
        return false;
    }
    TStringStringlist grouping;
    const TStringStringlist *last = m_groupings.Last();
    grouping.Name = QString::number(last ? last->Name.toInt() + 1 : 1);
    for (int r : rows) {
        const TDBLagerSearchResult *a = m_articles->Item(list[size_t(r)]);
        grouping.List.append(a->ArtikelNr().toString());
        m_descriptions.insert(grouping.List.last(), a->Bezeichnung().toString());
    }
    // From the back, one contiguous run at a time: the view keeps its place in a long list.
    for (qsizetype i = rows.size() - 1; i >= 0;) {
        qsizetype first = i;
        while (first > 0 && rows[first - 1] == rows[first] - 1)
            --first;
        m_ungrouped.beginRemoveRows({}, rows[first], rows[i]);
        list.erase(list.begin() + rows[first], list.begin() + rows[i] + 1);
        m_ungrouped.endRemoveRows();
        i = first - 1;
    }
    const int row = int(m_groupings.Count());
    m_tree.beginInsertRows({}, row, row);
    m_groupings.Add(std::move(grouping));
    m_tree.endInsertRows();
    return true;
}

bool GroupingEditor::DeleteGrouping(const QModelIndex &node)
{
    const int row = m_tree.GroupingRow(node);
    if (row < 0 || row >= m_groupings.Count())
        return false;
    m_tree.beginRemoveRows({}, row, row);
    m_groupings.Delete(row);
    m_tree.endRemoveRows();
    rebuildUngrouped();
    return true;
}

bool GroupingEditor::Save() const
{
    return ArticleGroupings::SaveGroupings(m_stockDir, m_groupings);
}
