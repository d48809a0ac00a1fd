#pragma once

#include "stock/dsnelement.h"
#include "stock/ui/lagerartikeleditcontext.h"

#include <QWidget>

class QTableWidget;
class TLagerServerObj;

// The "Zusatzdaten" page: the article's extra values by name and type, each value edited in
// an editor that suits its type.
class TLagerArtikelZusatzdatenPage : public QWidget
{
    Q_OBJECT
public:
    explicit TLagerArtikelZusatzdatenPage(const TLagerArtikelEditContext &context,
                                          QWidget *parent = nullptr);
    ~TLagerArtikelZusatzdatenPage() override;

    // Shows a copy of the record's extra values; null clears.
    void ShowArticle(TLagerServerObj *article);
    void Clear();
    // Writes the edited values back into the record.
    void StoreArticle(TLagerServerObj &article) const;

    QTableWidget *stage() const { return m_stage; }

private:
    TLagerArtikelEditContext m_context;
    TDsnElementList m_values;
    bool m_filling = false;
    QTableWidget *m_stage = nullptr;
};
