#include "printing/barcode/barcoderenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

int BarcodeRenderer::ModulePixels(int dotsPerInch)
{
    return std::max(1, int(std::lround(2.0 * dotsPerInch / 254.0)));
}

BarcodeRenderer::BarcodeRenderer(int modulePixels, double wideToNarrow)
    : m_module(std::max(1, modulePixels)),
      m_wide(std::max(m_module + 1, int(std::lround(m_module * wideToNarrow))))
{
}

int BarcodeRenderer::elementWidth(const BarcodePattern &pattern, std::uint8_t element) const
{
    if (pattern.twoWidths)
        return element > 1 ? m_wide : m_module;
    return element * m_module;
}

int BarcodeRenderer::Width(const BarcodePattern &pattern) const
{
    int width = 0;
    for (std::uint8_t e : pattern.elements)
        width += elementWidth(pattern, e);
    return width;
}

void BarcodeRenderer::Draw(QPainter &painter, const BarcodePattern &pattern, const QRect &rect,
                           bool showText) const
{
    if (pattern.elements.empty() || rect.height() <= 0)
        return;
    painter.save();
    const int width = Width(pattern);
    int barHeight = rect.height();
    QFont font(QStringLiteral("DejaVu Sans"));
    if (showText && !pattern.text.isEmpty()) {
        // About 1.8 mm at the usual module, never more than a third of the height.
        font.setPixelSize(std::clamp(m_module * 9, 6, std::max(6, rect.height() / 3)));
        barHeight = std::max(1, rect.height() - QFontMetrics(font).height());
    }
    painter.fillRect(QRect(rect.left(), rect.top(), width, rect.height()), Qt::white);
    int x = rect.left();
    size_t bar = 0;
    for (size_t i = 0; i < pattern.elements.size(); ++i) {
        const int w = elementWidth(pattern, pattern.elements[i]);
        if (i % 2 == 0) {
            const bool half = bar < pattern.halfBars.size() && pattern.halfBars[bar];
            const int h = half ? std::max(1, barHeight * 2 / 5) : barHeight;
            painter.fillRect(QRect(x, rect.top() + barHeight - h, w, h), Qt::black);
            ++bar;
        }
        x += w;
    }
    if (showText && !pattern.text.isEmpty()) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(rect.left(), rect.top() + barHeight, std::max(width, 1),
                               rect.height() - barHeight),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, pattern.text);
    }
    painter.restore();
}
