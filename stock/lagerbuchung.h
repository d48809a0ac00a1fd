#pragma once

#include "persistence/money.h"

#include <QList>
#include <QString>

// One row of the booking history LAGERBUCH: a change of an article's booked stock, kept for
// good. The rows of an article chain (each one's stock before is the previous one's stock
// after) and the last one's stock after is the stored stock; the reliability checks rest on
// that. Rows that open a chain (a new, copied or imported article) start from 0.
struct TLagerBuchung {
    // Stored numbers: other programs and scripts read them, so they never change meaning.
    enum Kind : int {
        Receipt = 1,      // goods receipt for the article
        OrderReceipt = 2, // goods receipt against a purchase order
        ManualChange = 3, // stock set by hand
        Opening = 4,      // opening stock of a new article
        Copy = 5,         // opening stock of a copied article
        Import = 6,       // opening stock of an article an import created
    };

    double Zeit = 0;  // day number of the booking
    QString Benutzer; // log-on name
    QString LagerArtikelNr;
    int Art = Receipt;
    double Menge = 0; // the change; 0 for a receipt that only changed the price
    double BestandVorher = 0;
    double BestandNachher = 0;
    Money Preis; // unit purchase price of a receipt
    QString BestellNr;
    int BestellPos = 0;
    QString Seriennummern; // the serial numbers that came or went, separated by blanks

    bool operator==(const TLagerBuchung &) const = default;

    // The row that takes an article from stock before to stock after.
    static TLagerBuchung Change(int kind, const QString &nr, double before, double after,
                                double when, const QString &user);
    // The log-on name of this program's user, which the rows carry.
    static QString CurrentUser();
    // Whether a row of this kind starts a new chain instead of continuing one.
    static bool OpensChain(int kind);
    // The kind as the window shows it (msgid) and as scripts read it.
    static const char *KindText(int kind);
    static QString KindKey(int kind);
};

using TLagerBuchungList = QList<TLagerBuchung>;
