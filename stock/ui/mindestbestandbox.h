#pragma once

#include "stock/ui/lagerartikeleditcontext.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class TLagerServerObj;

// The minimum-stock periods of an article: the period list, the two quantities of the selected
// period and the buttons that insert and delete periods. Edits go straight into the record.
class TMindestbestandBox : public QWidget
{
    Q_OBJECT
public:
    explicit TMindestbestandBox(const TLagerArtikelEditContext &context, QWidget *parent = nullptr);
    ~TMindestbestandBox() override;

    // Binds to the record (owned by the caller) and shows its periods; null clears.
    void ShowArticle(TLagerServerObj *article);
    void Clear();
    // The periods live in the record already; nothing is held only here.
    void StoreArticle(TLagerServerObj &article) const;

    QListWidget *periodList() const { return m_list; }
    QLineEdit *minimumEdit() const { return m_mb; }
    QLineEdit *orderQuantityEdit() const { return m_bm; }
    QPushButton *insertButton() const { return m_insert; }
    QPushButton *deleteButton() const { return m_delete; }

private:
    void fillList(int select);
    void loadSelected();
    void fieldsEdited();
    void insertPeriod();
    void deletePeriod();
    void updateEnabled();

    TLagerArtikelEditContext m_context;
    TLagerServerObj *m_article = nullptr;
    bool m_filling = false; // on while the widgets are filled, so edits are not written back
    QListWidget *m_list = nullptr;
    QLineEdit *m_mb = nullptr;
    QLineEdit *m_bm = nullptr;
    QPushButton *m_insert = nullptr;
    QPushButton *m_delete = nullptr;
};
