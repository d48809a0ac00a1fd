#pragma once

#include <QPageLayout>
#include <QPicture>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TPrintEtikett;
struct TPrintEtikettForm;
class TPrintEtikettManager;

// Prints labels onto sheets. Each page is drawn once into a recording and replayed wherever it
// is shown: the preview repaints often, and copies repeat the whole job.
class TEtikettendrucker
{
public:
    // Tenths of a millimetre are exactly two pixels here, and the 0.2 mm barcode module
    // exactly four.
    static constexpr int kDpi = 508;

    // Fills a label from the record at index; returns the number of records after it, or -1
    // when there is no record at that index.
    using DataCallback = std::function<int(TPrintEtikett &etikett, int index)>;

    struct Result {
        int labels = 0;
        // Nothing at all came out of a non-empty list; the user has been told.
        bool nothingPrinted = false;
        // Distinct texts of the barcodes that were left out; the user has been told once.
        QStringList barcodeErrors;
    };

    // What a position of the first sheet will hold, as the sheet selection draws it.
    struct Position {
        enum State { Article, Unused, Inactive, Missing } state;
        int article = -1; // index into the print list for Article
    };
    static std::vector<Position> FirstSheet(const TPrintEtikettManager &manager,
                                            TPrintEtikettForm &form, int count);

    TEtikettendrucker();
    ~TEtikettendrucker();

    void SetSheet(const TPrintEtikettForm &form);
    void BeginDocument();
    void NewPage();
    void EndDocument();
    // The current page; valid between BeginDocument and EndDocument.
    QPainter &Canvas();

    // The first sheet fills only its active positions; later sheets use every position.
    Result Print(const TPrintEtikettManager &manager, TPrintEtikettForm &form, int count,
                 const DataCallback &data);

    const QPageLayout &PageLayout() const { return m_layout; }
    int PageCount() const { return int(m_pages.size()); }
    const QPicture &Page(int index) const { return *m_pages.at(size_t(index)); }
    // Draws a recorded page at its size in millimetres on the painter's device.
    void ReplayPage(QPainter &painter, int index) const;
    // All pages into a PDF file, the whole job copies times; false with the reason when it
    // cannot be written.
    bool WritePdf(const QString &fileName, int copies, QString *error) const;

private:
    void closePage();

    QPageLayout m_layout;
    std::vector<std::unique_ptr<QPicture>> m_pages;
    std::unique_ptr<QPainter> m_painter;
};
