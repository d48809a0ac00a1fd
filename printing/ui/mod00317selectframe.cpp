#include "printing/ui/mod00317selectframe.h"

#include "base/messages.h"
#include "base/translation.h"
#include "printing/etikettendrucker.h"
#include "printing/etikettpainter.h"
#include "printing/printetikettmanager.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

TMOD00317SelectFrame::TMOD00317SelectFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TMOD00317SelectFrame"));
    setMinimumSize(300, 400);
}

void TMOD00317SelectFrame::SetSheet(const TPrintEtikettManager *manager, TPrintEtikettForm *form,
                                    const std::vector<TLagerArtikelDaten> *articles,
                                    const TEtikettHelperLager *helper)
{
    m_manager = manager;
    m_form = form;
    m_articles = articles;
    m_helper = helper;
    update();
}

void TMOD00317SelectFrame::SetAllActive(bool active)
{
    if (!m_form)
        return;
    for (TPrintEtikettHolder &h : m_form->Holders)
        h.Active = active;
    update();
    emit changed();
}

QRectF TMOD00317SelectFrame::SheetRect() const
{
    if (!m_form)
        return {};
    TEtikettendrucker printer;
    printer.SetSheet(*m_form);
    const QSizeF mm = printer.PageLayout().fullRect(QPageLayout::Millimeter).size();
    const double scale = std::min((width() - 20) / mm.width(), (height() - 20) / mm.height());
    const QSizeF size = mm * scale;
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

double TMOD00317SelectFrame::pixelsPerTenth() const
{
    TEtikettendrucker printer;
    printer.SetSheet(*m_form);
    return SheetRect().width() /
           (printer.PageLayout().fullRect(QPageLayout::Millimeter).width() * 10);
}

int TMOD00317SelectFrame::PositionAt(QPointF point) const
{
    if (!m_form || !m_manager)
        return -1;
    const QRectF sheet = SheetRect();
    const double scale = pixelsPerTenth();
    for (size_t i = 0; i < m_form->Holders.size(); ++i) {
        TPrintEtikettHolder &h = m_form->Holders[i];
        const TPrintEtikett *e = m_manager->Resolve(h);
        const QRectF r(sheet.left() + h.Left * scale, sheet.top() + h.Top * scale,
                       (e ? e->Width : 300) * scale, (e ? e->Height : 150) * scale);
        if (r.contains(point))
            return int(i);
    }
    return -1;
}

void TMOD00317SelectFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!m_form || !m_manager)
        return;
    const QRectF sheet = SheetRect();
    p.fillRect(sheet, Qt::white);
    p.setPen(Qt::darkGray);
    p.drawRect(sheet);
    const double scale = pixelsPerTenth();
    // The label painter works in whole device pixels per inch; the sheet's origin is moved
    // instead of the labels.
    const int dpi = std::max(1, int(std::lround(scale * 254)));
    const int count = m_articles ? int(m_articles->size()) : 0;
    const auto plan = TEtikettendrucker::FirstSheet(*m_manager, *m_form, count);
    QStringList errors;
    QFont small = font();
    small.setPixelSize(std::max(7, int(scale * 25)));
    for (size_t i = 0; i < plan.size(); ++i) {
        TPrintEtikettHolder &h = m_form->Holders[i];
        TPrintEtikett *e = m_manager->Resolve(h);
        const QRectF r(sheet.left() + h.Left * scale, sheet.top() + h.Top * scale,
                       (e ? e->Width : 300) * scale, (e ? e->Height : 150) * scale);
        QString text;
        switch (plan[i].state) {
        case TEtikettendrucker::Position::Article: {
            TPrintEtikett copy = *e;
            copy.Left = 0;
            copy.Top = 0;
            if (m_helper)
                m_helper->Fill(copy, (*m_articles)[size_t(plan[i].article)]);
            p.save();
            p.translate(r.topLeft());
            TEtikettPainter(p, dpi).Draw(copy, errors);
            p.restore();
            continue;
        }
        case TEtikettendrucker::Position::Unused:
            text = tx("nicht belegtes Etikett - wird nicht gedruckt");
            break;
        case TEtikettendrucker::Position::Inactive:
            text = tx("deaktiviertes Etikett - wird nicht gedruckt");
            break;
        case TEtikettendrucker::Position::Missing:
            text = formatText(tx("Etikett \"%s\" nicht vorhanden."), {h.Name});
            break;
        }
        p.fillRect(r, plan[i].state == TEtikettendrucker::Position::Inactive
                          ? QColor(0xd8, 0xd8, 0xd8)
                          : QColor(0xf4, 0xf4, 0xf4));
        p.setPen(Qt::gray);
        p.drawRect(r);
        p.setFont(small);
        p.setPen(Qt::darkGray);
        p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
}

void TMOD00317SelectFrame::mousePressEvent(QMouseEvent *event)
{
    const int i = PositionAt(event->position());
    if (i < 0)
        return;
    m_form->Holders[size_t(i)].Active = !m_form->Holders[size_t(i)].Active;
    update();
    emit changed();
}
