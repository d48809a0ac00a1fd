#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>

class IniFile;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBestellartikel;
class TBestellServerObj;
class TSeriennummerObjectList;
struct TLagerArtikelDaten;

// "Warenzugang Lagerartikel buchen" as a table: one row per order line, the received
// quantity, the reset flag and the serial numbers entered in place. Edits the order's lines
// in memory; the booking is TableReceiptCommand's.
class TMOD00501Form8 : public QDialog
{
    Q_OBJECT
public:
    // The serial-number dialog without back button; false when cancelled.
    using EnterSerials =
        std::function<bool(TSeriennummerObjectList &serials, const TLagerArtikelDaten &article,
                           const QStringList &inStock, QString &supplier)>;
    using SerialsInStock = std::function<QStringList(const QString &nr)>;

    // ini (the user's MOD00501.INI) keeps the column widths and must outlive the dialog.
    TMOD00501Form8(EnterSerials enterSerials, SerialsInStock serialsInStock, IniFile *ini,
                   QWidget *parent = nullptr);

    // True when confirmed with OK.
    bool Execute(TBestellServerObj &order);
    // Execute without the modal loop, for tests.
    void Setup(TBestellServerObj &order);
    QTreeWidget *Tree() const { return m_tree; }
    // The row's "jetzt geliefert" and reset flag as typed into the cells.
    void EnterCell(int row, int column, const QString &text);
    // "Bearbeiten" of the row's serial numbers.
    void EditSerials(int row);

    // Turns a free line into a stock line with a new article; false when nothing changed.
    using ConvertLine = std::function<bool(TBestellServerObj &order, TBestellartikel &line)>;
    // Without one the button "In einen Lagerartikel umwandeln" stays disabled.
    void SetConvertLine(ConvertLine convert);
    // "In einen Lagerartikel umwandeln" on the row.
    void ConvertRow(int row);
    QPushButton *ConvertButton() const { return m_btConvert; }

public slots:
    void done(int result) override;

private:
    void showRow(int row);
    void enableConvert();

    EnterSerials m_enterSerials;
    SerialsInStock m_serialsInStock;
    IniFile *m_ini;
    TBestellServerObj *m_order = nullptr;
    QLabel *m_heading;
    QTreeWidget *m_tree;
    QPushButton *m_btSerials;
    QPushButton *m_btConvert;
    ConvertLine m_convert;
    QList<int> m_unsized; // columns without a width in MOD00501.INI
    bool m_filling = false;
};
