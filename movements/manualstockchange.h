#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

class IModLagerDBServerObj;
class TLagerServerObj;
class TSeriennummerObjectList;

// Books a manual stock change of an article its caller holds locked and has just read: the
// serial numbers it brings (a raise) or takes (a lowering), the new stock and the journal
// line. The window's command and the command line share it, so both leave the same traces.
class ManualStockChange
{
public:
    // The stock directory holds the journal; user is the log-on name the line shows.
    ManualStockChange(IModLagerDBServerObj &db, const QString &stockDir, const QString &user);

    // Serial numbers and article are written in one transaction: a failure leaves the table
    // and the record as they were and returns false (reported). The journal line follows;
    // a journal that cannot be written is reported and the change stays booked.
    // For an article with serial numbers the line ends with "+ " and the added numbers or,
    // when added is null, with "- " and the removed ones.
    bool Book(TLagerServerObj &article, double newStock, const TSeriennummerObjectList *added,
              const TSeriennummerObjectList *removed, const QDateTime &when);

    // Serial-number articles move in whole units only.
    static bool IsWhole(double quantity);
    // d of the booking: whole part of the new stock minus whole part of the old.
    static qint64 SerialDifference(double oldStock, double newStock);
    // A stock typed by a person: blanks around it, "," or "." as the decimal separator, no
    // grouping, within what the table keeps exactly. False for anything else.
    static bool ParseQuantity(QStringView text, double &value);

private:
    IModLagerDBServerObj &m_db;
    QString m_stockDir;
    QString m_user;
};
