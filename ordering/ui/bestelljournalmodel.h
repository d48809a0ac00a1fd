#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>
#include <QVariant>

class TTdbTable;

// The rows of the order table as the journal grid shows them, in the table's current index
// order under its current filter. The engine drives no views, so the model keeps the displayed
// columns of every row; Reload after the table's order, filter or rows changed.
class TBestellJournalModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColNr, ColText, ColDatum, ColLieferDatum, ColStadium, ColWV, ColumnCount };
    // Display state of the follow-up cell: -1 overdue, 0 due today, 1 later, no value when
    // the order has no follow-up.
    static constexpr int FollowUpDueRole = Qt::UserRole + 1;

    explicit TBestellJournalModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    // Null leaves the model empty.
    void SetTable(TTdbTable *table) { m_table = table; }
    // Reads the rows again; the table's current row stays current.
    void Reload();
    // -1 when the order is not listed.
    int RowOf(const QString &number) const;
    QString NumberAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The follow-up cell's text: date alone without a time of day, else date and time.
    static QString FollowUpText(double value);
    // Compared by calendar day with today.
    static int FollowUpDue(double value);
    // Red when overdue, green when due today; invalid (the normal text colour) for later
    // follow-ups and for a selected or focused cell, whose colours keep the text readable.
    static QColor FollowUpColour(int due, bool selectedOrFocused);

private:
    struct Row {
        QString nr;
        QString text;
        double datum = 0;
        double lieferDatum = 0;
        int stadium = 0;
        double wv = 0;
    };

    TTdbTable *m_table = nullptr;
    QList<Row> m_rows;
};
