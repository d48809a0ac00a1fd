#pragma once

#include "printing/lagerbewertung.h"
#include "printing/printhelperlager.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <functional>

class IModLagerDBServerObj;

// What the user chose for one stock list: filters, form, layout set, first page and date.
struct TLagerDruckAuswahl {
    QString Group, Place; // empty: no filter
    bool OnlyStock = false;
    QString Form, LayoutSet;
    QString FirstPage; // as typed; anything but a number starts at 1
    QDate Date;
};

// The last form and layout set chosen for the stock list, kept in the user's MOD00501.INI so
// that the window and the command line start from the same choice.
struct TLagerDruckLetzteWahl {
    QString Form, LayoutSet;
    static TLagerDruckLetzteWahl Read(const QString &iniFile);
    bool Write(const QString &iniFile) const;
};

// The stock list's print run: writes the print document of every article the filters let
// through, with the valuation in its totals, and hands it to the print program. Questions and
// progress go through the interaction, so the window, the command line and tests share it.
// One object per run: its valuation sums from zero once.
class TLagerDruck
{
public:
    // Where the run writes and whose names it prints; FromSuite() takes the logged-on user's.
    struct Environment {
        QString FormsDir, TmpDir, ProgramDir, ClientName;
        QString UserName, UserFullName, Telephone, Fax, EMail, ContactText;
        TPrintHelperLager::Settings Values;
        // The run's time of day; tests fix it.
        std::function<QTime()> Clock = [] { return QTime::currentTime(); };
        // %m in the rows; the suite's money format when empty.
        std::function<QString(double)> FormatMoney;
    };
    static Environment FromSuite(IModLagerDBServerObj &db);

    TLagerDruck(IModLagerDBServerObj &db, Environment environment);

    // Writes the document into fileName, or into a new spool file in the user's TMP when it
    // is empty. The closed document's name, or an empty text after the reported failure.
    QString WriteDocument(const TLagerDruckAuswahl &choice, const QString &fileName = {});
    // Writes the document and starts the print program on it in the mode (1 preview).
    bool Print(const TLagerDruckAuswahl &choice, int mode = 1);

    const TLagerBewertung &Bewertung() const { return m_bewertung; }
    int PrintedArticles() const { return m_printed; }
    bool Cancelled() const { return m_cancelled; }

    // The forms a stock list may use.
    static QList<int> FormGroups() { return {0, 9}; }
    static QString LayoutTarget() { return QStringLiteral("01"); }
    static QString LayoutSection() { return QStringLiteral("002"); }

    // "1. Seitennummer": 1 unless the text is a whole number.
    static int FirstPageNumber(const QString &text);
    // "$", the date-time as the suite's day number with every non-digit as "X", ".$$$".
    static QString SpoolFileName(const QString &tmpDir, double when);
    // The subject line of the filters, empty without one.
    static QString Subject(const QString &group, const QString &place);

private:
    IModLagerDBServerObj &m_db;
    Environment m_env;
    TPrintHelperLager m_helper;
    TLagerBewertung m_bewertung;
    int m_printed = 0;
    bool m_cancelled = false;
};
