#pragma once

#include <QRect>
#include <QStringList>

class QPainter;
class TPrintEtikett;
struct TPrintEtikettElementVariable;
struct TPrintEtikettElementObject;
struct TPrintEtikettElementBarcode;

// Draws filled labels on any paint device. Lengths in tenths of a millimetre become device
// pixels at the resolution given, so that the same label comes out alike on screen, in a PDF
// and on paper.
class TEtikettPainter
{
public:
    TEtikettPainter(QPainter &painter, int dotsPerInch);

    int Px(int tenths) const;
    // The label at its position. A barcode value that cannot be encoded leaves that barcode
    // out; its message is added to errors once, so a print reports each fault once.
    void Draw(const TPrintEtikett &etikett, QStringList &errors) const;

private:
    QRect rect(const TPrintEtikett &etikett, int left, int top, int width, int height) const;
    void drawText(const TPrintEtikettElementVariable &v, const QRect &r) const;
    void drawRichText(const TPrintEtikettElementVariable &v, const QRect &r) const;
    void drawObject(const TPrintEtikettElementObject &o, const QRect &r) const;
    void drawBarcode(const TPrintEtikettElementBarcode &b, const QRect &r,
                     QStringList &errors) const;

    QPainter &m_painter;
    int m_dpi;
};
