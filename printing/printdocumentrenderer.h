#pragma once

#include "printing/printdocument.h"
#include "printing/printforms.h"

#include <QFont>
#include <QRect>
#include <QStringList>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// Lays a print document out on its forms and paints it page by page: form 1 for the first
// page, form 2 for the following ones, the rows flowing through the form's print area with
// the column header repeated after page breaks when the form asks for it. Lengths in the
// document and the forms are tenths of a millimetre.
class TPrintDocumentRenderer
{
public:
    TPrintDocumentRenderer(const TPrintDocument &document, const TPrintForms &forms,
                           const QString &formsDir);

    // Paints every page onto the device (not yet painted on); sets each page's
    // size and orientation from its form. Returns the number of pages.
    int Render(QPagedPaintDevice &device);

    // Column-fit and picture problems found while rendering, each once, in German.
    const QStringList &Warnings() const { return m_warnings; }

private:
    const TPrintForm &FormFor(int page) const;
    void StartPage(QPagedPaintDevice &device, QPainter &painter, int page, bool first);
    void DrawForm(QPainter &painter, const TPrintForm &form, int page);
    int DrawHeader(QPainter &painter, int y, bool paint);
    int DrawArea(QPainter &painter, const TPrintDocument::Item &item, int y, bool paint);
    int RowHeight(QPainter &painter, const TPrintDocument::Row &row, int width);
    void DrawRow(QPainter &painter, const TPrintDocument::Row &row, const QRect &rect);
    void CheckColumns(const TPrintForm &form);
    void Warn(const QString &text);
    QString PageVariable(const QString &name, int page) const;

    const TPrintDocument &m_document;
    const TPrintForms &m_forms;
    QString m_formsDir;
    TPrintForm m_fallback;
    QStringList m_warnings;
    const TPrintForm *m_form = nullptr;
    QRect m_area;
    bool m_headerOn = false;
    std::vector<int> m_heights; // of the area measured last
    // The area font the painter holds while m_plainSet; the form, the header and a new page
    // set fonts of their own and clear the flag.
    QFont m_plainFont;
    const TPrintFormPrintArea *m_plainFor = nullptr;
    bool m_plainSet = false;
};
