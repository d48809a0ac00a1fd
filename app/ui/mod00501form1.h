#pragma once

#include "stock/fasteditmenu.h"
#include "stock/ui/lagerartikeleditcontext.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QPushButton;
class QTreeView;
class IModLagerDBServerObj;
class TKatalogDBPool;
class TLagerAnzeigenFrame;
class TLagerServerObj;
struct TLagerArtikelDaten;
class TMOD00501Form2;
class TMOD00501Form3;
class TMOD00501Form9;
class TUKAT2ArtikelAuswahlForm1;
class ArticleCommands;
class FastEditCommands;
class TFastEditMenu;

// What the main window needs from the logged-on session; injected so the window can be
// built without a log-on.
struct MainWindowContext {
    QString client;
    QString etcDir; // the user's client ETC directory, home of MOD00501.INI
    std::function<bool(const QString &right)> hasRight = [](const QString &) { return true; };
    QString userFullName; // owner of the record locks this window takes
    std::function<void()> freePlugins;
    // Settings, stock directory, user and supplier choice for the article editor.
    TLagerArtikelEditContext editContext;
    // Replaces the modal article window (tests answer it); empty shows TMOD00501Form2.
    std::function<bool(TLagerServerObj &record, bool existing)> showArticleWindow;
    // The system administrator's password for stock changes; empty asks the suite settings.
    std::function<bool(const QString &password)> checkAdminPassword;
    // Replaces the receipt dialog (tests answer it); empty shows TMOD00501Form3.
    std::function<bool(TLagerServerObj &article, const std::vector<const TLagerArtikelDaten *> &grouped,
                       QString &supplier)>
        receiveGoods;
    // Replaces the list editor of "Liste bearbeiten" (tests answer it); empty shows it.
    std::function<bool(const QString &caption, QStringList &entries)> editList;
    // Replaces the order journal of the receipts from an order (tests answer it); empty shows
    // it.
    std::function<QString(const QString &orderDir)> chooseOrder;
};

// Height of a popup menu before it is shown, so that it can be placed above its button.
int estimatedMenuHeight(int entries, int separators);
// Top left corner for a menu opening above a button whose global top left is buttonTopLeft.
QPoint menuPositionAbove(QPoint buttonTopLeft, int entries, int separators);

class TMOD00501Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMOD00501Form1(MainWindowContext context, QWidget *parent = nullptr);
    ~TMOD00501Form1() override;

    // Puts the stock list into the window; the window owns pool and frame from now on and
    // frees them when it closes. db is the pool's stock database.
    void attachStock(std::unique_ptr<TKatalogDBPool> pool, IModLagerDBServerObj *db,
                     TLagerAnzeigenFrame *frame);
    TLagerAnzeigenFrame *stockFrame() const { return m_frame; }

    void disableGoodsReceipt(); // the "-E" start parameter
    void deleteArticles();
    void newArticle();
    void editArticle();
    void copyArticle();
    void fastEdit();
    void changeStock(); // command 104
    void receiveGoods(); // command 101
    void receiveOrderLines(); // command 102
    void receiveOrderTable(); // command 105
    // The long-lived receipt dialog; whoever edits the stock configuration's lists reloads it.
    TMOD00501Form3 *receiptWindow() const { return m_receiptWindow; }
    void showSerials(); // command 100
    void printStock();  // command 108
    void editGroupings();
    // Fast edit: field edit mode 0..7, a value item of a submenu, "Liste bearbeiten".
    void fastEditField(int mode);
    void fastEditValue(FastEdit::ValueList list, int tag);
    void fastEditList(FastEdit::ValueList list);
    // CONFIG.XML changed: the stock list, its group filter, the fast-edit menu and the article
    // window read it again, then stockConfigChanged tells the other long-lived windows.
    void reloadConfiguration();
    // Opens the label window (command 106); while it is open, edit adds to its list instead.
    void showLabelWindow();
    void importWholeCatalog(); // command 107
    void importCatalogArticles(); // command 103
    // A DATANORM delivery into a new or existing catalog, through the import dialog.
    void importDatanorm();
    // The article selection, created on first use and kept with its opened catalogs.
    TUKAT2ArtikelAuswahlForm1 *articleChoice();
    TMOD00501Form9 *labelWindow() const { return m_labelWindow; }
    QTreeView *stockList() const;
    QMenu *functionsMenu() const { return m_functions; }
    QMenu *fastEditMenu() const;

signals:
    // Long-lived windows that offer the configuration's lists (the goods-receipt dialog)
    // connect here and reload CONFIG.XML.
    void stockConfigChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void freeStock();

private:
    bool checkRight(const QString &right, const char *refusal) const;
    bool checkSelection() const;
    ArticleCommands articleCommands();
    bool showArticleWindow(TLagerServerObj &record, bool existing, int focusMode = -1);
    // rows: the selected rows the commands work on, captured when the command starts.
    FastEditCommands fastEditCommands(const QList<int> &rows);
    std::function<bool(const QString &)> adminPasswordCheck() const;
    // The catalog of the pool registered for a supplier address number.
    std::function<QString(const QString &)> catalogOfSupplier() const;
    // What a plain text becomes in a new article: formatted in the suite's standard font.
    static QString standardFontText(const QString &plain);
    QPushButton *addButton(const char *name, const char *caption);

    MainWindowContext m_context;
    std::unique_ptr<TKatalogDBPool> m_pool;
    IModLagerDBServerObj *m_db = nullptr;
    TLagerAnzeigenFrame *m_frame = nullptr;
    TMOD00501Form2 *m_articleWindow = nullptr; // created on first use, kept until the end
    TMOD00501Form3 *m_receiptWindow = nullptr; // created with the stock, kept until the end
    QString m_supplier; // the receipts' supplier text; a receipt may change it
    TMOD00501Form9 *m_labelWindow = nullptr;   // the same
    TUKAT2ArtikelAuswahlForm1 *m_articleChoice = nullptr; // the same; its views use the pool
    class QVBoxLayout *m_centralLayout = nullptr;
    QMenu *m_functions = nullptr;
    TFastEditMenu *m_fastEdit = nullptr;
    QPushButton *m_btNew = nullptr;
    QPushButton *m_btEdit = nullptr;
    QPushButton *m_btQuit = nullptr;
    class QWidget *m_panel = nullptr;
    class QHBoxLayout *m_panelLayout = nullptr;
};
