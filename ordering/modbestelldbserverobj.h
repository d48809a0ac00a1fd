#pragma once

#include "persistence/databasemapper.h"

#include <QString>

class TBestellServerObj;
class TTdbTable;

// The suite's order table BESTELL in the ordering directory. Orders are created by the
// ordering module; this store reads them, writes back what a goods receipt changed and gives
// the order journal its table.
class IModBestellDBServerObj : public TDatabaseMapper
{
public:
    static constexpr const char *kTableName = "BESTELL";

    IModBestellDBServerObj() : TDatabaseMapper(false) {}

    // 0 read, -2 no such order, -1 no order given or failed (reported). The order must carry
    // the wanted number; it is upper-cased on the way.
    int ReadOrder(TBestellServerObj *order, bool withLines);
    // 0 written, -1 no order given or failed (reported). Without lines the stored lines
    // document stays as it is.
    int WriteOrder(TBestellServerObj *order, bool withLines);
    bool OrderExists(const QString &number);
    // Positions on the first order at or after number in number order.
    void FindNearestOrder(const QString &number);
    // The number of the current row; empty when there is none.
    QString CurrentOrderNr();

    // Null before the first open.
    TTdbTable *Table() const { return m_table; }

    QString ClassName() const override { return QStringLiteral("IModBestellDBServerObj"); }

    void UpgradeTable() override;

protected:
    void DefineTable(int index) override;
    void CreateTableObjects() override;
    void PrepareTable(int index) override;

private:
    // True when the current row holds number (exactly, or ignoring case).
    bool CurrentRowIs(const QString &number, Qt::CaseSensitivity cs);
    // Exact search in the number index, whatever index the table is sorted by; the row found
    // (or the nearest one) stays current.
    bool LocateNumber(const QString &number, bool nearest);
    void ReadRow(TBestellServerObj &order, bool withLines);
    void FillRow(TBestellServerObj &order, bool withLines);
    void ReportFailure(const std::exception &e, const char *operation);

    TTdbTable *m_table = nullptr;
};
