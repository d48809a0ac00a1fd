#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/encoderdetail.h"

#include <cstring>

using namespace BarcodeDetail;

namespace
{
const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
// Nine elements per character, three of them wide.
const char *const kPatterns[44] = {
    "nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw", "wnnwwnnnn", "nnwwwnnnn",
    "nnnwnnwnw", "wnnwnnwnn", "nnwwnnwnn", "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw",
    "wnnnwwnnn", "nnwnwwnnn", "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn", "wnnnnnnww",
    "nnwnnnnww", "wnwnnnnwn", "nnnnwnnww", "wnnnwnnwn", "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn",
    "nnwnnnwwn", "nnnnwnwwn", "wwnnnnnnw", "nwwnnnnnw", "wwwnnnnnn", "nwnnwnnnw", "wwnnwnnnn",
    "nwwnwnnnn", "nwnnnnwnw", "wwnnnnwnn", "nwwnnnwnn", "nwnwnwnnn", "nwnwnnnwn", "nwnnnwnwn",
    "nnnwnwnwn", "nwnnwnwnn"};

const char *const kFullAscii[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

int indexOf(char c)
{
    const char *p = c ? std::strchr(kChars, c) : nullptr;
    return p ? int(p - kChars) : -1;
}
} // namespace

const char *BarcodeDetail::FullAscii(char16_t c)
{
    return c < 128 ? kFullAscii[c] : nullptr;
}

BarcodeResult BarcodeEncoders::Code39(const QString &value, bool fullAscii)
{
    const BarcodeType type = fullAscii ? BarcodeType::Code39Extended : BarcodeType::Code39;
    std::string symbols;
    for (QChar c : value) {
        if (fullAscii) {
            const char *s = FullAscii(c.unicode());
            if (!s)
                return CannotExpress(type);
            symbols += s;
        } else {
            if (c.unicode() >= 128 || c == u'*' || indexOf(char(c.unicode())) < 0)
                return CannotExpress(type);
            symbols += char(c.unicode());
        }
    }
    TwoWidthBuilder b;
    b.Append(kPatterns[43]);
    for (char s : symbols) {
        b.Append("n");
        b.Append(kPatterns[indexOf(s)]);
    }
    b.Append("n");
    b.Append(kPatterns[43]);
    return b.Finish(value);
}
