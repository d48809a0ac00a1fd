#include "printing/etikettpainter.h"

#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/barcoderenderer.h"
#include "printing/printetikett.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace
{
QColor fromSuiteColour(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Qt::PenStyle penStyle(int style)
{
    switch (style) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

// The designer measures fonts and lines on a 96-dpi screen.
constexpr double kDesignerDpi = 96.0;
} // namespace

TEtikettPainter::TEtikettPainter(QPainter &painter, int dotsPerInch)
    : m_painter(painter), m_dpi(std::max(1, dotsPerInch))
{
}

int TEtikettPainter::Px(int tenths) const
{
    return int(std::lround(double(tenths) * m_dpi / 254.0));
}

QRect TEtikettPainter::rect(const TPrintEtikett &e, int left, int top, int width, int height) const
{
    return QRect(Px(e.Left + left), Px(e.Top + top), Px(width), Px(height));
}

void TEtikettPainter::Draw(const TPrintEtikett &etikett, QStringList &errors) const
{
    m_painter.save();
    const QRect label = rect(etikett, 0, 0, etikett.Width, etikett.Height);
    m_painter.fillRect(label, Qt::white);
    m_painter.setPen(QPen(etikett.WithBorder ? QColor(Qt::black) : QColor(Qt::lightGray), 0));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(label.adjusted(0, 0, -1, -1));
    for (const auto &element : etikett.Elements) {
        const QRect r = rect(etikett, element->Left, element->Top, element->Width, element->Height);
        switch (element->Kind()) {
        case EtikettElementKind::Variable: {
            const auto &v = static_cast<const TPrintEtikettElementVariable &>(*element);
            if (v.VarType == 1 || v.VarType == 2)
                drawText(v, r);
            else if (v.VarType == 3)
                drawRichText(v, r);
            break;
        }
        case EtikettElementKind::Object:
            drawObject(static_cast<const TPrintEtikettElementObject &>(*element), r);
            break;
        case EtikettElementKind::Barcode:
            drawBarcode(static_cast<const TPrintEtikettElementBarcode &>(*element), r, errors);
            break;
        }
    }
    m_painter.restore();
}

void TEtikettPainter::drawText(const TPrintEtikettElementVariable &v, const QRect &r) const
{
    if (v.Value.isEmpty())
        return;
    QFont font(v.FontName);
    // Pixel sizes: the text is as large on every device, whatever its logical resolution.
    font.setPixelSize(std::max(1, int(std::lround(v.FontSize * m_dpi / 72.0))));
    font.setBold(v.Bold);
    font.setItalic(v.Italic);
    font.setUnderline(v.Underline);
    m_painter.save();
    m_painter.setClipRect(r);
    m_painter.setFont(font);
    m_painter.setPen(fromSuiteColour(v.Color));
    int flags = Qt::AlignTop | (v.RightAlign ? Qt::AlignRight : Qt::AlignLeft);
    if (v.WordWrap)
        flags |= Qt::TextWordWrap;
    m_painter.drawText(r, flags, v.Value);
    m_painter.restore();
}

void TEtikettPainter::drawRichText(const TPrintEtikettElementVariable &v, const QRect &r) const
{
    if (v.Value.isEmpty() || r.width() <= 0 || r.height() <= 0)
        return;
    QTextDocument doc;
    QFont font(v.FontName);
    font.setPointSizeF(v.FontSize);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    if (Qt::mightBeRichText(v.Value))
        doc.setHtml(v.Value);
    else
        doc.setPlainText(v.Value);
    if (v.Ortp) {
        QTextOption option = doc.defaultTextOption();
        option.setWrapMode(v.WordWrap ? QTextOption::WordWrap : QTextOption::NoWrap);
        doc.setDefaultTextOption(option);
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setAlignment(v.RightAlign ? Qt::AlignRight : Qt::AlignLeft);
            cursor.setBlockFormat(format);
        }
    }
    // Laid out as the editor shows it, then scaled to the device.
    const double scale = m_dpi / kDesignerDpi;
    doc.setTextWidth(r.width() / scale);
    m_painter.save();
    m_painter.setClipRect(r);
    m_painter.translate(r.topLeft());
    m_painter.scale(scale, scale);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, fromSuiteColour(v.Color));
    context.clip = QRectF(0, 0, r.width() / scale, r.height() / scale);
    doc.documentLayout()->draw(&m_painter, context);
    m_painter.restore();
}

void TEtikettPainter::drawObject(const TPrintEtikettElementObject &o, const QRect &r) const
{
    m_painter.save();
    const int width = std::max(1, int(std::lround(o.LineWidth * m_dpi / kDesignerDpi)));
    QPen pen(fromSuiteColour(o.Color), o.LineWidth > 0 ? width : 0, penStyle(o.Style));
    if (o.ObjType == 0) {
        if (o.Fill)
            m_painter.fillRect(r, fromSuiteColour(o.FillColor));
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(r);
    } else if (o.ObjType == 1) {
        m_painter.setPen(pen);
        if (r.width() >= r.height())
            m_painter.drawLine(r.topLeft(), QPoint(r.left() + r.width(), r.top()));
        else
            m_painter.drawLine(r.topLeft(), QPoint(r.left(), r.top() + r.height()));
    }
    m_painter.restore();
}

void TEtikettPainter::drawBarcode(const TPrintEtikettElementBarcode &b, const QRect &r,
                                  QStringList &errors) const
{
    const BarcodeResult result = EncodeBarcode(b.Barcode, b.Value);
    if (!result.ok()) {
        const QString text = result.error.text();
        if (!errors.contains(text))
            errors.append(text);
        return;
    }
    BarcodeRenderer(BarcodeRenderer::ModulePixels(m_dpi))
        .Draw(m_painter, result.pattern, r, b.ShowText);
}
