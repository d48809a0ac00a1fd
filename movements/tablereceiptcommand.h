#pragma once

#include "movements/heldorder.h"
#include "persistence/money.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class IModLagerDBServerObj;
class TBestellartikel;
class TBestellServerObj;
class TLagerServerObj;

// The main window's command "Warenzugang auf Grundlage einer Bestellung - tabellarisch": the
// open lines of an order in one table, then after the final Yes each stock line booked on its
// own under its article's record lock and the stock database lock, and the order written
// last. Unlike the receipt dialog, the price is averaged over the signed stock and no grouped
// article follows: that is how this road has always priced. Also the core of
// `lager order receive`.
class TableReceiptCommand
{
public:
    struct Hooks {
        std::function<QString()> chooseOrder;
        // The table dialog over the prepared order; false when cancelled.
        std::function<bool(TBestellServerObj &order)> showTable;
        // Whether to book now; the window asks the final question, scripts say yes.
        std::function<bool()> confirm;
        std::function<void(const TLagerServerObj &)> updateArticle;
        std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    };

    using Outcome = OrderReceiptOutcome;

    TableReceiptCommand(IModLagerDBServerObj &db, const QString &orderDir, const QString &lockOwner,
                        bool autoSearch, bool fourDecimals, Hooks hooks);

    // supplier is the main window's supplier text, in and out.
    Outcome Run(QString &supplier);
    // Stock lines left unbooked because their article was held or could not be written.
    const QStringList &Skipped() const { return m_skipped; }

    // Matched articles and open quantities of the lines, as the table starts.
    void PrepareLines(TBestellServerObj &order);
    // Books the order's lines as they stand; the order itself is not written.
    void BookLines(TBestellServerObj &order);

    // A quantity typed into "jetzt geliefert": within 0 and the open quantity, whole units for
    // a stock article, and a stock article's surplus serial numbers dropped from the end.
    static void EnterQuantity(TBestellartikel &line, double entered);
    // The serial numbers a line still lacks (0 for a line without).
    static qint64 MissingSerials(const TBestellartikel &line);

private:
    void bookStockLine(const QString &orderNr, TBestellartikel &line);
    Money unitPrice(const TBestellartikel &line) const;

    IModLagerDBServerObj &m_db;
    QString m_orderDir;
    QString m_lockOwner;
    bool m_autoSearch;
    bool m_fourDecimals;
    Hooks m_hooks;
    QStringList m_skipped;
};
