#pragma once

#include "printing/lagerdruck.h"

#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QRadioButton;

// What the print window needs from the program; tests give their own.
struct StockPrintContext {
    QStringList groups, places; // from the stock configuration, in their order
    QString formsDir;
    QString settingsFile; // the user's MOD00501.INI
    // The form drop-down; empty shows it under the "Formular" field.
    std::function<QString(QWidget *anchor, const QString &current)> chooseForm;
};

// "Lager drucken": filters, form, first page number, date and layout set of a stock list.
class TMOD00501Form10 : public QDialog
{
    Q_OBJECT
public:
    explicit TMOD00501Form10(StockPrintContext context, QWidget *parent = nullptr);

    TLagerDruckAuswahl Choice() const;
    // The "..." button of "Formular".
    void ChooseForm();

    QComboBox *GroupBox() const { return m_group; }
    QComboBox *PlaceBox() const { return m_place; }
    QRadioButton *OnlyStockButton() const { return m_onlyStock; }
    QLineEdit *FormField() const { return m_form; }
    QLineEdit *FirstPageField() const { return m_firstPage; }
    QDateEdit *DateField() const { return m_date; }
    QListWidget *LayoutSets() const { return m_sets; }

    // The whole of "Lager drucken" from the main window: the window, then the run in preview
    // mode. True when a document went to the print program.
    static bool PrintStockList(IModLagerDBServerObj &db, StockPrintContext context,
                               QWidget *parent);

public slots:
    void accept() override;

private:
    StockPrintContext m_context;
    QComboBox *m_group = nullptr;
    QComboBox *m_place = nullptr;
    QRadioButton *m_onlyStock = nullptr;
    QRadioButton *m_noRestriction = nullptr;
    QLineEdit *m_form = nullptr;
    QLineEdit *m_firstPage = nullptr;
    QDateEdit *m_date = nullptr;
    QListWidget *m_sets = nullptr;
};
