#pragma once

#include "stock/seriennummer.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
struct TLagerArtikelDaten;

// "Waehlen Sie %d Seriennummern aus!": picks the serial numbers that leave the stock from
// the article's rows. The search field keeps the focus: typing positions the grid, the cursor
// keys move it, Enter adds the grid's row and, once enough are chosen, confirms.
class TMOD00512Form2 : public QDialog
{
    Q_OBJECT
public:
    explicit TMOD00512Form2(QWidget *parent = nullptr);

    // candidates are the article's rows in serial-number order.
    void Setup(const TLagerArtikelDaten &article, const TSeriennummerObjectList &candidates,
               int count, bool showCancel);
    // Serial number, article number and note of each chosen row, in the order of choosing.
    const TSeriennummerObjectList &Chosen() const { return m_chosen; }
    // Setup, the modal loop; true with exactly count rows in chosen.
    bool Execute(const TLagerArtikelDaten &article, const TSeriennummerObjectList &candidates,
                 int count, bool showCancel, TSeriennummerObjectList &chosen);

    void AddCurrent();
    void RemoveSelected();

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Enter, from wherever it comes: add while too few are chosen, else confirm.
    void enter();
    void search(const QString &text);
    void refresh();
    void focusSearch();

    TSeriennummerObjectList m_candidates;
    TSeriennummerObjectList m_chosen;
    int m_count = 0;
    QLabel *m_lbArtikelNr = nullptr;
    QLabel *m_lbBezeichnung = nullptr;
    QLabel *m_lbAusgewaehlt = nullptr;
    QLabel *m_lbErforderlich = nullptr;
    QLineEdit *m_edSuche = nullptr;
    QTableWidget *m_grid = nullptr;
    QTableWidget *m_selection = nullptr;
    QPushButton *m_btCancel = nullptr;
};
