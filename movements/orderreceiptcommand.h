#pragma once

#include "movements/freelinearticle.h"
#include "movements/heldorder.h"
#include "movements/receiptcommand.h"
#include "persistence/money.h"

#include <QDateTime>
#include <QString>
#include <functional>

class IModLagerDBServerObj;
class TBestellartikel;
class TBestellServerObj;
class TLagerServerObj;
class TSeriennummerObjectList;
class TWarenzugangTempObjObjectList;
struct TLagerArtikelDaten;

// The main window's command "Warenzugang auf Grundlage einer Bestellung - einzeln": the user
// picks an open or partly delivered order, every line still open passes the receipt dialog
// (stock lines) or the free article dialog (free lines), and only after the final Yes is
// anything written: the order first, then each article once with one history row per line.
// The order and every article touched stay locked from their first use to the end, and are
// released on every way out. Dialogs and the stock list are hooks; the right is the caller's
// check.
class OrderReceiptCommand
{
public:
    // What goes into the free article dialog and what comes back from it.
    struct FreeReceipt {
        double quantity = 0; // in: the open quantity; out: received
        Money price;         // in: the line's price; out: net ("Weiter") or as entered
        QString description;
        QString supplierNr;
        double discount = 0;
    };
    enum FreeChoice : int { FreeCancelled = -1, BookFree = 0, BookAsNewArticle = 1 };

    struct Hooks {
        // The order journal limited to open and partly delivered orders; empty when none.
        std::function<QString()> chooseOrder;
        // The receipt dialog (see ReceiptCommand::Hooks::receive), without grouped articles.
        std::function<bool(TLagerServerObj &article, ReceiptCommand::Receipt &io)> receive;
        std::function<int(FreeReceipt &io)> receiveFree;
        // The article editor over a stock article made from a free line; false when cancelled.
        std::function<bool(TLagerServerObj &article)> editNewArticle;
        // The serial-number dialog without back button over a new serial article's empty
        // entries; false when cancelled. supplier is in and out.
        std::function<bool(TSeriennummerObjectList &serials, const TLagerArtikelDaten &article,
                           QString &supplier)>
            enterSerials;
        // Where a new article's supplier reference points; empty leaves it without one.
        FreeLineArticle::CatalogOfSupplier catalogOf;
        // The short and long text of a new article; empty keeps them plain.
        FreeLineArticle::FormatText formatText;
        std::function<void(const TLagerServerObj &)> updateArticle;
        std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    };

    using Outcome = OrderReceiptOutcome;

    // lockOwner is the name other users see while we hold the order or an article, and the
    // one stamped as "changed by". With autoSearch a free line whose supplier number is a
    // stock article number is received as that article.
    // stockDir ends with a separator (the minimum-stock periods of new articles).
    OrderReceiptCommand(IModLagerDBServerObj &db, const QString &orderDir, const QString &stockDir,
                        const QString &lockOwner, bool autoSearch, Hooks hooks);

    // supplier is the main window's supplier text, in and out.
    Outcome Run(QString &supplier);
    // The articles that could not be written after the order was.
    const QStringList &Failed() const { return m_failed; }

private:
    enum class Step { Next, Stop };
    Step receiveStockLine(TBestellServerObj &order, TBestellartikel &line,
                          TWarenzugangTempObjObjectList &touched, QString &supplier,
                          Outcome &outcome);
    Step receiveFreeLine(const TBestellServerObj &order, TBestellartikel &line,
                         TWarenzugangTempObjObjectList &touched, const QString &supplier,
                         Outcome &outcome);
    void makeStockArticle(const TBestellServerObj &order, TBestellartikel &line,
                          const FreeReceipt &io, TWarenzugangTempObjObjectList &touched,
                          const QString &supplier);
    void enterSerials(TLagerServerObj &article, TBestellartikel &line, const QString &supplier);
    void writeArticles(TWarenzugangTempObjObjectList &touched);
    double now() const;

    IModLagerDBServerObj &m_db;
    QString m_orderDir;
    QString m_stockDir;
    QString m_lockOwner;
    bool m_autoSearch;
    Hooks m_hooks;
    QString m_orderNr;
    QStringList m_failed;
};
