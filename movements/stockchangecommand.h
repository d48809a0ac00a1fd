#pragma once

#include "movements/serialselection.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class IModLagerDBServerObj;
class TLagerServerObj;
class TSeriennummerObjectList;
struct TLagerArtikelDaten;

// The main window's command "Bestand des Lagerartikels manuell aendern" on the article
// selected in the stock list: lock, read, ask for the new stock (and, for serial-number
// articles, which numbers come or go), book, refresh the row, unlock. The dialogs are hooks,
// so tests answer them without a window; the right is the caller's check.
class StockChangeCommand
{
public:
    struct Hooks {
        std::function<QString()> selectedArticleNr;
        // Brings the written article's row in the stock list up to date.
        std::function<void(const TLagerServerObj &)> updateArticle;
        // The stock change dialog: true with a new stock after the administrator's password.
        std::function<bool(const TLagerArtikelDaten &article, double &newStock)> askNewStock;
        // The entry dialog on a list of fresh entries; supplier in/out. False drops the change.
        std::function<bool(TSeriennummerObjectList &serials, const TLagerArtikelDaten &article,
                           bool showBack, const QStringList &inStock, QString &supplier)>
            enterSerials;
        SerialSelection::Chooser chooseSerials;
        // The journal's and the new serial numbers' time; tests fix it.
        std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    };

    // stockDir ends with a separator; userName is the log-on name the journal shows,
    // lockOwner the name other users see while we hold the article.
    StockChangeCommand(IModLagerDBServerObj &db, const QString &stockDir, const QString &userName,
                       const QString &lockOwner, Hooks hooks);

    // True when a change was booked.
    bool Run();

private:
    // Asks which serial numbers come or go; false drops the change.
    bool askSerials(TLagerServerObj &article, double newStock, TSeriennummerObjectList &added,
                    TSeriennummerObjectList &removed, bool &raise);

    IModLagerDBServerObj &m_db;
    QString m_stockDir;
    QString m_userName;
    QString m_lockOwner;
    Hooks m_hooks;
};
