#pragma once

#include "printing/etikettendrucker.h"
#include "printing/etiketthelperlager.h"
#include "stock/lagerserverobj.h"
#include "printing/printetikettmanager.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QListWidget;
class QPrinter;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class TMOD00317Frame1;
class TMOD00317SelectFrame;

// What the label window needs from the program; tests give their own.
struct LabelWindowContext {
    QString formsDir;     // holds LABELS_STOCK.XML
    QString settingsFile; // MOD00317.INI
    // The articles of the stock list's selected rows, read for their labels; empty when no
    // row is selected.
    std::function<std::vector<TLagerArtikelDaten>()> selectedArticles;
    TEtikettHelperLager::Settings values;
    // Asks for printer, copies and page range; false when cancelled. Empty shows the print
    // dialog.
    std::function<bool(QPrinter &printer, int pages)> printDialog;
};

// The label window: collect articles, choose a sheet and its free first positions, preview
// and print. Non-modal; while it is open, the main window's edit command adds to its list.
class TMOD00501Form9 : public QWidget
{
    Q_OBJECT
public:
    explicit TMOD00501Form9(LabelWindowContext context, QWidget *parent = nullptr);
    ~TMOD00501Form9() override;

    // "Artikel hinzufuegen": the stock list's selected rows, each as one more entry.
    void AddSelected();
    void DeleteSelected();
    const std::vector<TLagerArtikelDaten> &Articles() const { return m_articles; }
    // Page 1 -> 2; false with the notice when the list is empty.
    bool NextToSheet();
    // Page 2 -> 3: the print into the preview; false with the notice without a layout.
    bool PrintToPreview();
    // "Drucken": the job copies times, each copy with one copy, as chosen in the dialog.
    void Print();
    int Page() const; // 0, 1, 2
    TPrintEtikettForm *ChosenForm() const;
    const TEtikettendrucker &Printed() const { return m_printer; }
    TMOD00317SelectFrame *SheetFrame() const { return m_sheet; }
    TMOD00317Frame1 *PreviewFrame() const { return m_preview; }
    QListWidget *FormList() const { return m_forms; }
    // Every print job (copy) the window started, for tests and the status line.
    int JobsPrinted() const { return m_jobs; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refreshList();
    void formChosen();
    void saveSettings();

    LabelWindowContext m_context;
    TEtikettHelperLager m_helper;
    TPrintEtikettManager m_labels;
    std::vector<TLagerArtikelDaten> m_articles;
    TEtikettendrucker m_printer;
    QStackedWidget *m_pages = nullptr;
    QTreeWidget *m_list = nullptr;
    QListWidget *m_forms = nullptr;
    TMOD00317SelectFrame *m_sheet = nullptr;
    TMOD00317Frame1 *m_preview = nullptr;
    int m_jobs = 0;
    bool m_placed = false;
};
