#pragma once

#include "base/inifile.h"
#include "catalogs/katalogdbclipboard.h"

#include <QDialog>
#include <functional>
#include <memory>

class QListWidget;
class QPushButton;
class QTabWidget;
class TKatalogDBPool;
class TUKATKatalogViewFrame;

// The article selection: one page per opened catalog with its view, and the "Speicher" of
// chosen articles that the caller gets when the user takes them. The window lives as long as
// the main window, so the opened catalogs with their positions and searches stay for the next
// use; the chosen articles never do.
class TUKAT2ArtikelAuswahlForm1 : public QDialog
{
    Q_OBJECT
public:
    // viewSettings: the user's settings file with the section "View" for the views' columns.
    TUKAT2ArtikelAuswahlForm1(TKatalogDBPool &pool, IniFile viewSettings,
                              QWidget *parent = nullptr);
    ~TUKAT2ArtikelAuswahlForm1() override;

    // Shows the window modally; the chosen articles, empty when the user cancelled. A search
    // text goes into the search field of the first page.
    std::unique_ptr<TKatalogDBClipBoard> Select(const QString &caption,
                                                const QString &searchText = {});
    // Select without the modal loop, for whoever drives the window itself: Begin, then the
    // user's actions, then TakeClipboard.
    void Begin(const QString &caption, const QString &searchText = {});
    std::unique_ptr<TKatalogDBClipBoard> TakeClipboard();

    // "Katalog oeffnen": asks through ChooseCatalog (the catalog selection without the stock
    // by default).
    void OpenCatalog();
    // Opens the catalog's page or shows the one already open; false when it cannot be opened
    // (the user has been told).
    bool OpenCatalog(const QString &name);
    void CloseCatalog();
    // "Zum Speicher hinzufuegen"; false when there was nothing to add or the number is in the
    // Speicher already.
    bool AddFocused();
    void ClearClipboard();
    void Take();
    void Cancel();

    std::function<QString()> ChooseCatalog;

    QTabWidget *Pages() const { return m_pages; }
    QListWidget *ClipboardList() const { return m_list; }
    const TKatalogDBClipBoard &Clipboard() const { return *m_clip; }
    TUKATKatalogViewFrame *CurrentView() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    void fillList(int select);
    void updateEnabled();

    TKatalogDBPool &m_pool;
    IniFile m_viewSettings;
    std::unique_ptr<TKatalogDBClipBoard> m_clip;
    QTabWidget *m_pages;
    QListWidget *m_list;
    QPushButton *m_btClose;
    QPushButton *m_btAdd;
    QPushButton *m_btClear;
};
