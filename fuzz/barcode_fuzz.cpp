// Feeds every encoder arbitrary text: the first byte picks the type (a few outside the table
// too), the rest is UTF-8. Nothing may crash, and every symbol produced must be drawable.
#include "printing/barcode/barcodeencoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int type = int(data[0] % (kBarcodeTypeCount + 2)) - 1;
    const QString value =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const BarcodeResult r = EncodeBarcode(type, value);
    if (!r.ok()) {
        if (!r.pattern.elements.empty() || r.error.text().isEmpty())
            std::abort();
        return 0;
    }
    // A symbol starts and ends with a bar; no bar is wider than four modules (the gap before
    // an add-on is the one wider space).
    const auto &elements = r.pattern.elements;
    if (!elements.empty() && elements.size() % 2 == 0)
        std::abort();
    for (size_t i = 0; i < elements.size(); ++i) {
        const std::uint8_t e = elements[i];
        if (e == 0 || (r.pattern.twoWidths && e > 2) || (i % 2 == 0 && e > 4))
            std::abort();
    }
    return 0;
}
