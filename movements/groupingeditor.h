#pragma once

#include "persistence/xml/doublestring.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <memory>
#include <vector>

class GroupingEditor;
class IModLagerDBServerObj;
class TDBLagerSearchResultObjectList;

// The articles that belong to no grouping, as rows of number and description. Holds only
// positions into the editor's article list, so 100,000 articles cost no copies of texts.
class UngroupedArticlesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit UngroupedArticlesModel(const GroupingEditor &editor) : m_editor(editor) {}
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QString ArticleNr(int row) const;

private:
    friend class GroupingEditor;
    const GroupingEditor &m_editor;
    std::vector<qsizetype> m_rows; // positions in the editor's article list
};

// The groupings as a tree: a node per grouping (its number and "Erster Artikel: " with the
// first member's description) with a child per member (number and description).
class GroupingTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit GroupingTreeModel(const GroupingEditor &editor) : m_editor(editor) {}
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The grouping a node stands for (a member's node: its grouping); -1 for none.
    int GroupingRow(const QModelIndex &node) const;

private:
    friend class GroupingEditor;
    const GroupingEditor &m_editor;
};

// What the dialog "Artikelgruppierungen bearbeiten" edits: every stock article, the groupings
// of the stock directory and the two models over them. Nothing is written before Save.
class GroupingEditor
{
public:
    GroupingEditor();
    ~GroupingEditor();

    // Reads every article in the table's current order and the groupings of stockDir (which
    // ends with a separator).
    void Load(IModLagerDBServerObj &db, const QString &stockDir);

    // Groups the articles of these rows of the ungrouped list, in list order whatever the
    // order given. Fewer than two rows: the error, and nothing changes.
    bool GroupRows(QList<int> rows);
    // Deletes the grouping of the node (a member's node: its grouping) and rebuilds the list
    // of ungrouped articles; false for no node.
    bool DeleteGrouping(const QModelIndex &node);
    // Writes the groupings, or deletes the file when none is left.
    bool Save() const;

    const TStringStringlistObjectList &Groupings() const { return m_groupings; }
    UngroupedArticlesModel &Ungrouped() { return m_ungrouped; }
    GroupingTreeModel &Tree() { return m_tree; }
    qsizetype ArticleCount() const;
    // The description of a stock article; empty for a number that is no longer in stock.
    QString Description(const QString &nr) const { return m_descriptions.value(nr); }

private:
    friend class UngroupedArticlesModel;
    // The ungrouped list from all articles minus every member; remembers the members'
    // descriptions on the way.
    void rebuildUngrouped();

    QString m_stockDir;
    std::unique_ptr<TDBLagerSearchResultObjectList> m_articles;
    TStringStringlistObjectList m_groupings;
    QHash<QString, QString> m_descriptions; // of grouped articles only
    UngroupedArticlesModel m_ungrouped{*this};
    GroupingTreeModel m_tree{*this};
};
