#pragma once

#include "stock/ui/lagerartikeleditcontext.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TLagerServerObj;

// The "Lieferanten" page: the article's supplier references, first entry = standard supplier,
// and the last supplier chosen while this page lives.
class TLagerArtikelLieferantenPage : public QWidget
{
    Q_OBJECT
public:
    explicit TLagerArtikelLieferantenPage(const TLagerArtikelEditContext &context,
                                          QWidget *parent = nullptr);
    ~TLagerArtikelLieferantenPage() override;

    // Binds to the record (owned by the caller); null clears. The last supplier is kept.
    void ShowArticle(TLagerServerObj *article);
    void Clear();
    // The references live in the record already; nothing is held only here.
    void StoreArticle(TLagerServerObj &article) const;

    // Key "[address_postal]" and display text of the last supplier; empty when none.
    QString lastSupplierKey() const { return m_lastKey; }
    QString lastSupplierText() const { return m_lastText; }

    QListWidget *supplierList() const { return m_list; }
    QPushButton *addCatalogArticleButton() const { return m_addArticle; }
    QPushButton *addSupplierButton() const { return m_addSupplier; }
    QPushButton *addSupplierWithOrderNumberButton() const { return m_addOrderNr; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *makeStandardButton() const { return m_standard; }
    QLineEdit *lastSupplierEdit() const { return m_lastEdit; }
    QToolButton *clearLastSupplierButton() const { return m_clearLast; }
    // What the catalog article selection searches for: the number and description as typed in
    // the editor, which the record does not hold yet. Empty: the record's.
    std::function<QString()> SearchText;

    // What the catalog article selection hands over: catalog name and the article number in
    // that catalog; false when refused (the user has been told).
    bool addCatalogArticle(const QString &catalog, const QString &articleNr);
    // "Hinzufuegen eines konkreten Artikels": the catalog article selection, searching for
    // SearchText; every chosen article that is not refused becomes a reference.
    void addCatalogArticles();
    void addSupplier();
    void addSupplierWithOrderNumber();
    void removeSelected();
    void makeStandard();

private:
    bool chooseSupplier();
    void fillList(int select);
    void updateEnabled();
    void showLastSupplier();

    TLagerArtikelEditContext m_context;
    TLagerServerObj *m_article = nullptr;
    QString m_lastKey;
    QString m_lastText;
    QListWidget *m_list = nullptr;
    QPushButton *m_addArticle = nullptr;
    QPushButton *m_addSupplier = nullptr;
    QPushButton *m_addOrderNr = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_standard = nullptr;
    QLineEdit *m_lastEdit = nullptr;
    QToolButton *m_clearLast = nullptr;
};
