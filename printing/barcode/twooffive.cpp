#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/encoderdetail.h"

using namespace BarcodeDetail;

namespace
{
// The five elements of each digit, two of them wide; all three variants share them.
const char *const kDigits[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                 "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};
} // namespace

BarcodeResult BarcodeEncoders::TwoOfFive(BarcodeType type, const QString &value)
{
    if (!AllDigits(value))
        return NotNumeric();
    TwoWidthBuilder b;
    switch (type) {
    case BarcodeType::Interleaved2of5:
        // Pairs: the first digit in the bars, the second in the spaces between them.
        if (value.size() % 2 != 0)
            return WrongShape(type);
        b.Append("nnnn");
        for (qsizetype i = 0; i < value.size(); i += 2) {
            const char *bars = kDigits[value[i].unicode() - u'0'];
            const char *spaces = kDigits[value[i + 1].unicode() - u'0'];
            for (int k = 0; k < 5; ++k) {
                const char pair[3] = {bars[k], spaces[k], 0};
                b.Append(pair);
            }
        }
        b.Append("wnn");
        break;
    case BarcodeType::Industrial2of5:
        // Only the bars carry data; every space is narrow.
        b.Append("wnwnnn");
        for (QChar c : value) {
            const char *d = kDigits[c.unicode() - u'0'];
            for (int k = 0; k < 5; ++k) {
                const char pair[3] = {d[k], 'n', 0};
                b.Append(pair);
            }
        }
        b.Append("wnnnw");
        break;
    default: // Matrix: three bars and two spaces per digit, then a narrow gap.
        b.Append("wnnnnn");
        for (QChar c : value) {
            b.Append(kDigits[c.unicode() - u'0']);
            b.Append("n");
        }
        b.Append("wnnnn");
        break;
    }
    return b.Finish(value);
}
