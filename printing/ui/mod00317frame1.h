#pragma once

#include <QWidget>
#include <memory>

class QComboBox;
class QPrinter;
class QPrintPreviewWidget;
class TEtikettendrucker;

// The label preview: the recorded pages on a print preview, one page or all, at a chosen zoom.
class TMOD00317Frame1 : public QWidget
{
    Q_OBJECT
public:
    explicit TMOD00317Frame1(QWidget *parent = nullptr);
    ~TMOD00317Frame1() override;

    // Shows the pages of printer, which must outlive the frame or be replaced.
    void SetPages(const TEtikettendrucker *printer);
    // 0 "50 %" ... 6 "Ganze Seite".
    void SetZoomIndex(int index);
    int ZoomIndex() const;
    int CurrentPage() const; // 1-based
    QPrintPreviewWidget *Preview() const { return m_preview; }

    // Paints pages from..to (1-based) of the recording on a printer that has begun no job.
    static void PaintPages(QPrinter &printer, const TEtikettendrucker &pages, int from, int to);

private:
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget *m_preview = nullptr;
    QComboBox *m_cbZoom = nullptr;
    QComboBox *m_cbMode = nullptr;
    const TEtikettendrucker *m_pages = nullptr;
};
