#include "base/translation.h"
#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/encoderdetail.h"

#include <cstring>
#include <vector>

using namespace BarcodeDetail;

namespace
{
const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
// Symbols 43 to 46 are the shifts ($) (%) (/) (+) of the full ASCII form.
const char *const kPatterns[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114",
    "131211", "141111", "211113", "211212", "211311", "221112", "221211", "231111",
    "112113", "112212", "112311", "122112", "132111", "111123", "111222", "111321",
    "121122", "131121", "212112", "212211", "211122", "211221", "221121", "222111",
    "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211"};
const char kStartStop[] = "111141";

int indexOf(char c)
{
    const char *p = c ? std::strchr(kChars, c) : nullptr;
    return p ? int(p - kChars) : -1;
}

BarcodeResult badData(BarcodeType type, const QString &value)
{
    BarcodeResult r;
    r.error = {txNoop("%s:Code93 fehlerhafte Daten <%s>"), {BarcodeTypeName(int(type)), value}};
    return r;
}

int checkSymbol(const std::vector<int> &symbols, int maxWeight)
{
    int sum = 0;
    int weight = 1;
    for (auto it = symbols.rbegin(); it != symbols.rend(); ++it) {
        sum += *it * weight;
        weight = weight == maxWeight ? 1 : weight + 1;
    }
    return sum % 47;
}
} // namespace

BarcodeResult BarcodeEncoders::Code93(const QString &value, bool fullAscii)
{
    const BarcodeType type = fullAscii ? BarcodeType::Code93Extended : BarcodeType::Code93;
    std::vector<int> symbols;
    for (QChar c : value) {
        const char *s = nullptr;
        char single[2] = {0, 0};
        if (fullAscii) {
            s = FullAscii(c.unicode());
        } else if (c.unicode() < 128) {
            single[0] = char(c.unicode());
            s = single;
        }
        if (!s || !*s)
            return badData(type, value);
        if (fullAscii && s[1]) {
            static const char kShifts[] = "$%/+";
            symbols.push_back(43 + int(std::strchr(kShifts, s[0]) - kShifts));
            symbols.push_back(indexOf(s[1]));
        } else {
            const int i = indexOf(s[0]);
            if (i < 0)
                return badData(type, value);
            symbols.push_back(i);
        }
    }
    symbols.push_back(checkSymbol(symbols, 20));
    symbols.push_back(checkSymbol(symbols, 15));
    ModuleBuilder b;
    b.Widths(kStartStop);
    for (int s : symbols)
        b.Widths(kPatterns[s]);
    b.Widths(kStartStop);
    b.Bits("1");
    return b.Finish(value);
}
