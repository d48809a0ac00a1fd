#pragma once

#include "catalogs/katalogpreiseinstellungen.h"
#include "persistence/money.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <vector>

class IniFile;
class TKatalog1DB;
class TKatalog2DB;
class TTdbTable;

// The rows of a catalog view: the whole article table, read in blocks as the view scrolls
// (catalogs have hundreds of thousands of rows), or the hits of a search. Columns depend on
// the "View" keys of the user's settings; the article number is always the first.
class TKatalogViewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        const char *title; // msgid
        int width;
        bool money;
        int tag;
    };

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<Column> &Columns() const { return m_columns; }
    // The article number of a row; empty outside the rows.
    QString ArticleNr(int row) const;
    // Shows the hits (article numbers in the search's order); numbers the table no longer
    // holds are left out.
    void ShowHits(const QStringList &numbers);
    // Back to the whole table.
    void ShowAll();
    bool ShowingHits() const { return m_hits; }
    // The row of the first article number at or after text in the whole table; -1 in hits
    // mode or when the table is empty.
    int RowOfNearest(const QString &text);
    // The current money format: thousands grouped, two decimals, the installation's
    // separator.
    static QString MoneyText(Money value);

protected:
    TKatalogViewModel(TTdbTable &table, QObject *parent);
    // Cells of the table's current row, one per column.
    virtual QStringList cellsOfCurrentRow() = 0;
    // Stands on the row of the number; false when it is not there.
    virtual bool locate(const QString &nr) = 0;
    virtual int keyColumn() const { return 0; }

    TTdbTable &m_table;
    std::vector<Column> m_columns;

private:
    const QStringList &cells(int row) const;

    static constexpr int kBlock = 128;
    bool m_hits = false;
    int m_rows = 0;
    mutable QHash<int, std::vector<QStringList>> m_blocks; // whole-table mode, by block
    std::vector<QStringList> m_hitRows;
};

// Simple catalog: "Artikel-Nr.", "Beschreibung", the price columns the settings ask for, and
// "Mengeneinheit". Purchase price shows the net price, sales price 1 net price times the sales
// factor, never gross.
class TKatalog2ViewModel : public TKatalogViewModel
{
    Q_OBJECT
public:
    TKatalog2ViewModel(TKatalog2DB &db, const IniFile &settings, QObject *parent = nullptr);
    // Header clicks: the article number sorts by number, the purchase price by price.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    QStringList cellsOfCurrentRow() override;
    bool locate(const QString &nr) override;

private:
    TKatalog2DB &m_db;
};

// DATANORM catalog: number, both short-text lines, the price columns the settings ask for,
// "Mengeneinheit" and a narrow empty column.
class TKatalog1ViewModel : public TKatalogViewModel
{
    Q_OBJECT
public:
    TKatalog1ViewModel(TKatalog1DB &db, const IniFile &settings, QObject *parent = nullptr);

protected:
    QStringList cellsOfCurrentRow() override;
    bool locate(const QString &nr) override;

private:
    TKatalog1DB &m_db;
};
