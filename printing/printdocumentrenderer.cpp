#include "printing/printdocumentrenderer.h"

#include "base/messages.h"
#include "base/translation.h"
#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/barcoderenderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
// Fonts are sized in the page's own unit so that the window transform scales them with the
// page; a point is 254/72 tenths of a millimetre.
QFont pageFont(const QString &family, int points, bool bold = false, bool italic = false,
               bool underline = false)
{
    QFont f(family.isEmpty() ? u"DejaVu Sans"_s : family);
    f.setPixelSize(std::max(1, qRound(std::clamp(points, 1, 200) * 254.0 / 72.0)));
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

QColor colour(unsigned bgr)
{
    // Colours are stored the suite's way, red in the low byte.
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Qt::Alignment alignment(TPrintAlign a)
{
    switch (a) {
    case TPrintAlign::Right:
        return Qt::AlignRight;
    case TPrintAlign::Center:
        return Qt::AlignHCenter;
    case TPrintAlign::Block:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

constexpr int kDefaultImageHeight = 150;
constexpr int kLineItemHeight = 10;
} // namespace

TPrintDocumentRenderer::TPrintDocumentRenderer(const TPrintDocument &document,
                                               const TPrintForms &forms, const QString &formsDir)
    : m_document(document), m_forms(forms), m_formsDir(formsDir)
{
    // A document whose form is gone still prints, on a plain A4 page.
    m_fallback.Name = u"A4"_s;
    m_fallback.PrintArea = std::make_unique<TPrintFormPrintArea>();
    m_fallback.PrintArea->Left = 150;
    m_fallback.PrintArea->Top = 150;
    m_fallback.PrintArea->Width = 1800;
    m_fallback.PrintArea->Height = 2670;
    m_fallback.PrintArea->PrintHeader = m_fallback.PrintArea->PrintHeaderAfterVT = true;
}

const TPrintForm &TPrintDocumentRenderer::FormFor(int page) const
{
    const TPrintForm *f = m_forms.Find(page == 0 ? m_document.Form1 : m_document.Form2);
    if (!f && page > 0)
        f = m_forms.Find(m_document.Form1);
    return f ? *f : m_fallback;
}

void TPrintDocumentRenderer::Warn(const QString &text)
{
    if (!m_warnings.contains(text))
        m_warnings << text;
}

QString TPrintDocumentRenderer::PageVariable(const QString &name, int page) const
{
    if (name == u"$SeitenNr$")
        return QString::number(m_document.FirstPageNumber + page);
    for (const auto &[key, value] : m_document.PageParameters)
        if (key == name)
            return value;
    return {};
}

void TPrintDocumentRenderer::CheckColumns(const TPrintForm &form)
{
    const int available = form.PrintArea ? form.PrintArea->Width : 0;
    int x = 0, n = 0;
    for (const TPrintColumnLayoutItem &c : m_document.HeaderColumns) {
        ++n;
        const QString name = c.Caption.isEmpty() ? QString::number(n) : c.Caption;
        if (c.Width > available)
            Warn(formatText(tx("Die Spalte %s ist breiter als der verfuegbare Druckbereich des "
                               "Formulares %s."),
                            {name, form.Name}));
        else if (x + c.Width > available)
            Warn(formatText(
                tx("Die Spalte %s passt nicht mehr auf den Druckbereich des Formulares %s."),
                {name, form.Name}));
        x += c.Width;
    }
}

void TPrintDocumentRenderer::StartPage(QPagedPaintDevice &device, QPainter &painter, int page,
                                       bool first)
{
    const TPrintForm &form = FormFor(page);
    const bool landscape = form.Orient == TPrintForm::Orientation::Landscape;
    const QPageLayout layout(
        QPageSize(form.PaperFormat == TPrintForm::Paper::A5 ? QPageSize::A5 : QPageSize::A4),
        landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    // A printer refuses any layout change once it prints, even to the same layout, and says
    // so on every page; only a change of form needs one.
    if (first || !device.pageLayout().isEquivalentTo(layout))
        device.setPageLayout(layout);
    if (first)
        painter.begin(&device);
    else
        device.newPage();
    const QSizeF mm = layout.fullRect(QPageLayout::Millimeter).size();
    painter.setWindow(0, 0, qRound(mm.width() * 10), qRound(mm.height() * 10));
    painter.setViewport(0, 0, device.width(), device.height());
    m_form = &form;
    m_plainSet = false; // the form's texts set their own fonts
    const TPrintFormPrintArea &a = form.PrintArea ? *form.PrintArea : *m_fallback.PrintArea;
    m_area = QRect(a.Left, a.Top, a.Width, a.Height);
    CheckColumns(form);
    DrawForm(painter, form, page);
}

void TPrintDocumentRenderer::DrawForm(QPainter &painter, const TPrintForm &form, int page)
{
    if ((form.BkColor & 0xFFFFFF) != 0xFFFFFF)
        painter.fillRect(painter.window(), colour(form.BkColor));
    for (const auto &e : form.Elements) {
        const QRect r(e->Left, e->Top, e->Width, e->Height);
        switch (e->ElementType()) {
        case TPrintFormElement::Variable: {
            const auto &v = static_cast<const TPrintFormElementVariable &>(*e);
            const QString text = PageVariable(v.Var, page);
            if (v.Barcode) {
                const BarcodeResult code = EncodeBarcode(v.BarcodeType, text);
                if (code.ok()) {
                    painter.setFont(pageFont(v.Font, v.FontSize));
                    BarcodeRenderer(2).Draw(painter, code.pattern, r, v.BarcodeShowText != 0);
                    break;
                }
            }
            painter.setFont(pageFont(v.Font, v.FontSize, v.Bold, v.Italic, v.Underline));
            painter.setPen(colour(v.Color));
            painter.drawText(r,
                             (v.RightAlign ? Qt::AlignRight : Qt::AlignLeft) |
                                 (v.WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine),
                             text);
            break;
        }
        case TPrintFormElement::Image: {
            const auto &i = static_cast<const TPrintFormElementImage &>(*e);
            const QString path = QDir(m_formsDir).filePath(i.ImageFile);
            QImage image(path);
            if (image.isNull()) {
                Warn(formatText(tx("Fehler beim Laden des Bildes \"%s\"."), {path}));
                break;
            }
            if (!i.Stretch)
                image = image.scaled(r.size(), Qt::KeepAspectRatio);
            painter.drawImage(i.Stretch ? r : QRect(r.topLeft(), image.size()), image);
            break;
        }
        case TPrintFormElement::TextFile: {
            const auto &t = static_cast<const TPrintFormElementText &>(*e);
            const QString path = QDir(m_formsDir).filePath(t.TextFileName);
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                Warn(formatText(tx("Datei \"%s\" nicht gefunden."), {path}));
                break;
            }
            painter.setFont(pageFont({}, 9));
            painter.setPen(Qt::black);
            painter.drawText(r, t.WordWrap ? Qt::TextWordWrap : 0,
                             QString::fromUtf8(file.read(1 << 20)));
            break;
        }
        case TPrintFormElement::Object: {
            const auto &o = static_cast<const TPrintFormElementObject &>(*e);
            painter.setPen(QPen(colour(o.Color), std::max(1, o.LineWidth)));
            painter.setBrush(Qt::NoBrush);
            if (o.ObjType == 1)
                painter.drawLine(r.left(), r.top(), r.left() + r.width(), r.top());
            else
                painter.drawRect(r);
            break;
        }
        }
    }
}

int TPrintDocumentRenderer::DrawHeader(QPainter &painter, int y, bool paint)
{
    const TPrintFormPrintArea *a = m_form ? m_form->PrintArea.get() : nullptr;
    if (!a)
        a = m_fallback.PrintArea.get();
    painter.setFont(pageFont(a->HdFont, a->HdFontSize, true));
    m_plainSet = false;
    const int line = painter.fontMetrics().height();
    const int height = a->HdMarginTop + line + a->HdMarginBottom;
    if (!paint)
        return height;
    painter.setPen(colour(a->HdColor));
    int x = m_area.left();
    for (const TPrintColumnLayoutItem &c : m_document.HeaderColumns) {
        const QRect cell(x + c.MarginLeft, y + a->HdMarginTop,
                         std::max(0, c.Width - c.MarginLeft - c.MarginRight), line);
        painter.drawText(cell, alignment(c.Align) | Qt::TextSingleLine, c.Caption);
        x += c.Width;
    }
    if (a->HdBorder > 0)
        painter.drawLine(m_area.left(), y + height - 2, m_area.right(), y + height - 2);
    return height;
}

int TPrintDocumentRenderer::RowHeight(QPainter &painter, const TPrintDocument::Row &row, int width)
{
    const TPrintAreaRowLayout &l = row.Layout;
    if (l.AsBarcode)
        return l.BarcodeHeight;
    if (row.ContentType == u"IMG") {
        const QImage image(row.ContentId);
        if (image.isNull()) {
            Warn(formatText(tx("Fehler beim Laden des Bildes \"%s\"."), {row.ContentId}));
            return 0;
        }
        if (row.StretchImage || image.width() == 0)
            return kDefaultImageHeight;
        return std::min(kDefaultImageHeight * 3,
                        int(qint64(width) * image.height() / image.width()));
    }
    if (row.ContentType == u"RTF") {
        QTextDocument doc;
        doc.setDefaultFont(painter.font());
        doc.setHtml(row.Text);
        doc.setTextWidth(width);
        return int(doc.size().height());
    }
    // One line needs no layout: its height is the font's, whatever the text.
    const int h =
        !l.WordWrap || row.Text.isEmpty()
            ? painter.fontMetrics().height()
            : painter.fontMetrics()
                  .boundingRect(QRect(0, 0, std::max(1, width), 100000), Qt::TextWordWrap, row.Text)
                  .height();
    return h + (l.ForceFreeLine ? std::max(l.ForceFreeLineHeight, 0) : 0);
}

void TPrintDocumentRenderer::DrawRow(QPainter &painter, const TPrintDocument::Row &row,
                                     const QRect &rect)
{
    const TPrintAreaRowLayout &l = row.Layout;
    if (l.Background != 0xFFFFFF)
        painter.fillRect(rect, colour(l.Background));
    if (l.AsBarcode) {
        const BarcodeResult code = EncodeBarcode(l.BarcodeType, row.Text);
        if (code.ok()) {
            BarcodeRenderer(2).Draw(painter, code.pattern, rect, l.BarcodeShowText != 0);
            m_plainSet = false;
            return;
        }
    }
    if (row.ContentType == u"IMG") {
        const QImage image(row.ContentId);
        if (!image.isNull())
            painter.drawImage(QRectF(rect), image);
        return;
    }
    if (row.ContentType == u"RTF") {
        QTextDocument doc;
        doc.setDefaultFont(painter.font());
        doc.setHtml(row.Text);
        doc.setTextWidth(rect.width());
        painter.save();
        painter.translate(rect.topLeft());
        doc.drawContents(&painter);
        painter.restore();
        return;
    }
    painter.drawText(
        rect, alignment(l.Align) | (l.WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine), row.Text);
}

int TPrintDocumentRenderer::DrawArea(QPainter &painter, const TPrintDocument::Item &item, int y,
                                     bool paint)
{
    const TPrintFormPrintArea *a =
        m_form && m_form->PrintArea ? m_form->PrintArea.get() : m_fallback.PrintArea.get();
    int x = m_area.left(), tallest = 0;
    size_t next = 0;
    if (!paint)
        m_heights.clear();
    for (const TPrintDocument::Column &c : item.columns) {
        const int width = std::max(1, c.Width - c.MarginLeft - c.MarginRight);
        int cy = y + item.marginTop;
        for (const TPrintDocument::Row &r : c.Rows) {
            const TPrintAreaRowLayout &l = r.Layout;
            // Most rows use the area's font; switching the painter's font and pen only when
            // they change keeps the PDF engine from re-resolving them for every cell.
            const bool plain = !l.ReplaceFont && l.Underline <= 0;
            if (plain && m_plainFor != a) {
                m_plainFont = pageFont(a->Font, a->FontSize);
                m_plainFor = a;
                m_plainSet = false;
            }
            if (!plain) {
                painter.setFont(l.ReplaceFont
                                    ? pageFont(l.Font, l.FontSize ? l.FontSize : a->FontSize,
                                               l.FontStyle & 1, l.FontStyle & 2,
                                               (l.FontStyle & 4) || l.Underline > 0)
                                    : pageFont(a->Font, a->FontSize, false, false, true));
                m_plainSet = false;
            } else if (!m_plainSet) {
                painter.setFont(m_plainFont);
                m_plainSet = true;
            }
            const QColor pen = colour(l.ReplaceFont ? l.FontColor : a->Color);
            if (painter.pen().color() != pen)
                painter.setPen(pen);
            // Painting follows measuring of the same area at once: the heights are reused
            // rather than measured twice, which is most of the layout's cost.
            int h;
            if (paint) {
                h = next < m_heights.size() ? m_heights[next++] : RowHeight(painter, r, width);
                DrawRow(painter, r, QRect(x + c.MarginLeft, cy, width, h));
            } else {
                h = RowHeight(painter, r, width);
                m_heights.push_back(h);
            }
            cy += h;
        }
        tallest = std::max(tallest, cy - y - item.marginTop);
        x += c.Width;
    }
    return item.marginTop + tallest + item.marginBottom;
}

int TPrintDocumentRenderer::Render(QPagedPaintDevice &device)
{
    QPainter painter;
    m_headerOn = false;
    int page = 0;
    StartPage(device, painter, page, true);
    int y = m_area.top();
    bool pageEmpty = true;
    auto newPage = [&] {
        StartPage(device, painter, ++page, false);
        y = m_area.top();
        pageEmpty = true;
        if (m_headerOn && m_form->PrintArea && m_form->PrintArea->PrintHeader &&
            m_form->PrintArea->PrintHeaderAfterVT)
            y += DrawHeader(painter, y, true);
    };
    for (const TPrintDocument::Item &item : m_document.Items) {
        switch (item.kind) {
        case TPrintDocument::Item::Header: {
            m_headerOn = item.headerOn;
            const TPrintFormPrintArea *a =
                m_form->PrintArea ? m_form->PrintArea.get() : m_fallback.PrintArea.get();
            if (!m_headerOn || !a->PrintHeader || m_document.HeaderColumns.empty())
                break;
            const int h = DrawHeader(painter, y, false);
            if (y + h > m_area.bottom() && !pageEmpty) {
                m_headerOn = false; // the new page must not draw it twice
                newPage();
                m_headerOn = true;
            }
            y += DrawHeader(painter, y, true);
            break;
        }
        case TPrintDocument::Item::Line:
            if (y + kLineItemHeight > m_area.bottom() && !pageEmpty)
                newPage();
            painter.setPen(QPen(Qt::black, 2));
            painter.drawLine(m_area.left(), y + kLineItemHeight / 2, m_area.right(),
                             y + kLineItemHeight / 2);
            y += kLineItemHeight;
            break;
        case TPrintDocument::Item::Area: {
            if (item.newPage && !pageEmpty)
                newPage();
            const int h = DrawArea(painter, item, y, false);
            // An area taller than a whole page is printed cut rather than pushed on forever.
            if (y + h > m_area.bottom() && !pageEmpty) {
                newPage();
                DrawArea(painter, item, y, false); // the next form may use other fonts
            }
            DrawArea(painter, item, y, true);
            y += h;
            pageEmpty = false;
            break;
        }
        }
    }
    painter.end();
    return page + 1;
}
