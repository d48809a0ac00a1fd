#pragma once

#include "catalogs/searchtextmanager.h"

#include <QWidget>
#include <functional>
#include <memory>

class IniFile;
class QLineEdit;
class QPushButton;
class QTableView;
class TKatalog1DB;
class TKatalog2DB;
class TKatalogViewModel;
class TKatalog1ViewModel;
class TKatalog2ViewModel;

// What both catalog views share: the article grid (every row of the catalog, or the hits of
// a search), the go-to field, and the search field with "Suche starten" (F7) and
// "Suche beenden" (Shift+F7). Each view owns the word index of its catalog.
class TUKATKatalogViewFrame : public QWidget
{
    Q_OBJECT
public:
    ~TUKATKatalogViewFrame() override;

    // Runs the search of the search field; tells the hits and their time, or that nothing was
    // found; a cancelled search changes nothing.
    void StartSearch();
    void EndSearch();
    // The article number of the focused row; empty when none.
    QString FocusedArticleNr() const;

    QLineEdit *GoToEdit() const { return edGoTo; }
    QLineEdit *SearchEdit() const { return edSearch; }
    QTableView *Grid() const { return vstKatalog; }
    TKatalogViewModel &Model() const { return *m_model; }
    const TSearchtextManager &Searchtext() const { return m_searchtext; }

protected:
    TUKATKatalogViewFrame(const QString &catalogDir, const QString &synonymFile, bool useSynonyms,
                          QWidget *parent);
    // Installs the model (owned by the frame) and builds the grid's columns.
    void SetModel(TKatalogViewModel *model);
    virtual void GoTo(const QString &text);
    void SelectRow(int row);

    QLineEdit *edGoTo;
    QLineEdit *edSearch;
    QPushButton *btSearch;
    QPushButton *btEndSearch;
    QTableView *vstKatalog;

private:
    TSearchtextManager m_searchtext;
    bool m_useSynonyms;
    TKatalogViewModel *m_model = nullptr;
};

// The view of a simple catalog. The owner switches the go-to field to EAN mode, where Enter
// looks the typed EAN up.
class TUKAT2KatalogViewFrame : public TUKATKatalogViewFrame
{
    Q_OBJECT
public:
    TUKAT2KatalogViewFrame(TKatalog2DB &db, const IniFile &settings, QWidget *parent = nullptr);
    bool EANMode = false;

protected:
    void GoTo(const QString &text) override;

private:
    void goToEAN();
    TKatalog2DB &m_db;
};

// The view of a DATANORM catalog, with "Details" for the article information window.
class TUKAT1KatalogViewFrame : public TUKATKatalogViewFrame
{
    Q_OBJECT
public:
    TUKAT1KatalogViewFrame(TKatalog1DB &db, const IniFile &settings, QWidget *parent = nullptr);
    // Reads the focused article fully and shows its information window.
    void ShowDetails();
    // Shows the information page; by default the modal window. Tests look at the page instead.
    std::function<void(const QString &html)> ShowInfo;

private:
    TKatalog1DB &m_db;
    QPushButton *btDetails;
};
