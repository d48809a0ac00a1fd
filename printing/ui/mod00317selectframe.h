#pragma once

#include "printing/etiketthelperlager.h"
#include "stock/lagerserverobj.h"

#include <QWidget>
#include <vector>

class TPrintEtikettManager;
struct TPrintEtikettForm;

// The first sheet as it will print: the active positions filled with the first articles of the
// list and drawn as labels, the others marked. A click on a position switches it on or off.
class TMOD00317SelectFrame : public QWidget
{
    Q_OBJECT
public:
    explicit TMOD00317SelectFrame(QWidget *parent = nullptr);

    // Shows form (may be null) with the articles; the frame keeps the pointers, which must
    // outlive it or be replaced.
    void SetSheet(const TPrintEtikettManager *manager, TPrintEtikettForm *form,
                  const std::vector<TLagerArtikelDaten> *articles,
                  const TEtikettHelperLager *helper);
    void SetAllActive(bool active);
    // The sheet's rectangle in the widget, and a position's; -1 for a point on no position.
    QRectF SheetRect() const;
    int PositionAt(QPointF point) const;

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    double pixelsPerTenth() const;

    const TPrintEtikettManager *m_manager = nullptr;
    TPrintEtikettForm *m_form = nullptr;
    const std::vector<TLagerArtikelDaten> *m_articles = nullptr;
    const TEtikettHelperLager *m_helper = nullptr;
};
