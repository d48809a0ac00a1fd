#pragma once

#include "printing/barcode/barcodepattern.h"

#include <QRect>

class QPainter;

// Draws an encoded symbol: black bars on white, the narrow element one module wide and the
// wide one ratio modules, optionally with the human-readable line below the bars.
class BarcodeRenderer
{
public:
    // 0.2 mm on a device of that resolution, never below one pixel: a thinner module would
    // vanish and the wide/narrow relation with it.
    static int ModulePixels(int dotsPerInch);

    BarcodeRenderer(int modulePixels, double wideToNarrow = 2.0);

    // The symbol's width in pixels.
    int Width(const BarcodePattern &pattern) const;
    // Left-aligned in rect, bars as high as rect less the text line when showText is set.
    void Draw(QPainter &painter, const BarcodePattern &pattern, const QRect &rect,
              bool showText) const;

private:
    int elementWidth(const BarcodePattern &pattern, std::uint8_t element) const;

    int m_module;
    int m_wide;
};
