#pragma once

#include "stock/dblagersearchresult.h"
#include "stock/lagerconfig.h"
#include "stock/lagerlistcolumns.h"

#include <QAbstractTableModel>
#include <QFrame>
#include <QPalette>
#include <memory>

class IModLagerDBServerObj;
class IniFile;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;
class TDateischutzWF;
class TLagerServerObj;

// Elapsed seconds of a search as the notice shows them: "0,012".
QString SecondsText(double seconds);

// The rows of the displayed list. Only rows the view asks for are touched: their details are
// loaded then, and stock and counted stock are read from the table on every paint so that
// bookings of other users show without a reload.
class TLagerListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    TLagerListModel(IModLagerDBServerObj &db, QObject *parent);

    void SetColumns(std::vector<TLagerListColumn> columns);
    const std::vector<TLagerListColumn> &Columns() const { return m_columns; }
    void SetList(TDBLagerSearchResultObjectList *list);
    TDBLagerSearchResultObjectList *List() const { return m_list; }
    TDBLagerSearchResult *Entry(int row) const;
    int CodeOf(int column) const { return m_columns[size_t(column)].Code; }
    void Reset();
    void RemoveEntryAt(int row, TDBLagerSearchResultObjectList *searchList,
                       TDBLagerSearchResultObjectList &fullList);
    void RowsChanged();
    // Rows first..last show other values now; the view asks for them again.
    void RowsRepaint(int first, int last);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    TDBLagerSearchResult *detailed(int row) const;
    QString text(TDBLagerSearchResult &entry, int code) const;
    double currentStock(TDBLagerSearchResult &entry) const;

    IModLagerDBServerObj &m_db;
    TDBLagerSearchResultObjectList *m_list = nullptr;
    std::vector<TLagerListColumn> m_columns;
};

// The stock list of the main window and of the stock-taking dialogs: a grid over every
// article of the stock or over the hits of the last search, with the search bar above it.
class TLagerAnzeigenFrame : public QFrame
{
    Q_OBJECT
public:
    // settings is read for the columns only; lockOwner is the name others see while a
    // counted-stock cell is being edited.
    TLagerAnzeigenFrame(QWidget *owner, const QString &stockDir, const IniFile &settings,
                        int layout, const QString &lockOwner);
    ~TLagerAnzeigenFrame() override;

    void LoadAll();
    QString SelectedArticleNr() const;
    QString SelectedDescription() const;
    bool GotoArticle(const QString &nr);
    void UpdateArticle(const TLagerServerObj &record);
    void RemoveRow(int row);
    // Makes the row (clamped to the list) the current and only selected one.
    void SelectRow(int row);
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    void StartSearch();
    void EndSearch();
    void SortByColumn(int column);
    void SaveSettings(IniFile &settings) const;

    QTreeView *Grid() const { return m_grid; }
    IModLagerDBServerObj &Database() const { return *m_db; }
    TLagerConfig &Config() { return m_config; }
    TDBLagerSearchResultObjectList &DisplayedList() const { return *m_model->List(); }
    TDBLagerSearchResultObjectList &FullList() { return m_full; }
    bool SearchShown() const { return m_model->List() == &m_search; }
    TLagerListModel &Model() const { return *m_model; }
    // Rows of the selection in list order.
    QList<int> SelectedRows() const;
    // The entries of these rows were changed in the table behind the list's back: their
    // details are read again before they are shown, and the rows are repainted.
    void MarkNotLoaded(const QList<int> &rows);
    // Reads CONFIG.XML again after its lists were edited and refills the group filter with
    // "Alle" and the groups, keeping the chosen group while it still exists.
    void ReloadConfig();

    // Editing of counted stock; the delegate starts and ends it.
    bool BeginCellEdit(const QString &nr);
    void EndCellEdit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showList(TDBLagerSearchResultObjectList *list);
    void selectRow(int row);
    void gotoChanged(const QString &text);
    int contentWidth(int code) const;
    void fillWidth();

    std::unique_ptr<IModLagerDBServerObj> m_db;
    TLagerConfig m_config;
    TDBLagerSearchResultObjectList m_full;
    TDBLagerSearchResultObjectList m_search{false};
    TLagerListLayout m_layout;
    QString m_lockOwner;
    std::unique_ptr<TDateischutzWF> m_editLock;
    TLagerListModel *m_model = nullptr;
    QTreeView *m_grid = nullptr;
    QLineEdit *m_edSearch = nullptr;
    QLineEdit *m_edGoto = nullptr;
    QComboBox *m_cbArtGrp = nullptr;
    QPushButton *m_btSucheStarten = nullptr;
    QPushButton *m_btSucheBeenden = nullptr;
    QPalette m_gotoPalette;
    int m_sortColumn = 0;
};
