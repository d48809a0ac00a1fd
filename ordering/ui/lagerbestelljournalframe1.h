#pragma once

#include "ordering/bestellserverobj.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>

class IModBestellDBServerObj;
class IniFile;
class QAction;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class TBestellJournalModel;

// The order journal: the orders of the ordering directory in a grid, sorted by the table's
// indexes, with go-to, a word search in the descriptions and an optional state filter.
class TLagerBestelljournalFrame1 : public QWidget
{
    Q_OBJECT
public:
    // Opens the order table in directory; when that fails it was reported and the grid stays
    // empty.
    TLagerBestelljournalFrame1(QWidget *parent, const QString &directory);
    ~TLagerBestelljournalFrame1() override;

    // Empty, or a state filter; word searches are added to it.
    void SetBaseFilter(const QString &filter);
    // "((Stadium = 2) or (Stadium = 4))" for the given states.
    static QString StateFilter(std::initializer_list<OrderState> states);
    QString BaseFilter() const { return m_baseFilter; }

    void LoadColumnWidths(const IniFile &ini);
    void SaveColumnWidths(IniFile &ini) const;

    // The order the grid stands on; empty when there is none.
    QString CurrentOrderNr() const;
    // Called with the current order number once the current row rested for a moment.
    void SetOnOrderChanged(std::function<void(const QString &)> handler)
    {
        m_onOrderChanged = std::move(handler);
    }

    // Filters the descriptions by the words of the search field (all of them must occur).
    void StartSearch();
    // Back to the base filter, staying on the order that was current during the search.
    void EndSearch();
    // Switches the table to the index behind a column title; other columns do nothing.
    void SortByColumn(int column);
    // Positions on the first order at or after text in number order.
    void GoTo(const QString &text);

    IModBestellDBServerObj *Store() const { return m_store.get(); }
    TBestellJournalModel *Model() const { return m_model; }
    QTableView *Grid() const { return m_grid; }
    QLineEdit *GoToEdit() const { return m_edGoTo; }
    QLineEdit *SearchEdit() const { return m_edSearch; }
    QPushButton *StartSearchButton() const { return m_btStartSearch; }
    QPushButton *EndSearchButton() const { return m_btEndSearch; }
    QToolButton *ViewButton() const { return m_btView; }
    QAction *HideDeliveredAction() const { return m_actHideDelivered; }

    static constexpr int kColumnCount = 6;
    static const int kDefaultWidths[kColumnCount];

private:
    void ApplyFilter(const QString &filter);
    // Reloads the grid and selects the table's current row.
    void Reload();
    void SelectCurrentRow();
    void RowActivated(int row);
    void TimerFired();

    std::unique_ptr<IModBestellDBServerObj> m_store;
    TBestellJournalModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QLineEdit *m_edGoTo = nullptr;
    QLineEdit *m_edSearch = nullptr;
    QPushButton *m_btStartSearch = nullptr;
    QPushButton *m_btEndSearch = nullptr;
    QToolButton *m_btView = nullptr;
    QAction *m_actHideDelivered = nullptr;
    QTimer *m_timer = nullptr;
    QString m_baseFilter;
    std::function<void(const QString &)> m_onOrderChanged;
    bool m_selecting = false;
};
