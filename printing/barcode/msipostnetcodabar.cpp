#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/encoderdetail.h"

#include <cstring>

using namespace BarcodeDetail;

BarcodeResult BarcodeEncoders::Msi(const QString &value)
{
    if (!AllDigits(value))
        return NotNumeric();
    // Each digit as four bits, most significant first: 1 a wide bar, 0 a narrow one.
    TwoWidthBuilder b;
    b.Append("wn");
    for (QChar c : value) {
        const int digit = c.unicode() - u'0';
        for (int bit = 3; bit >= 0; --bit)
            b.Append((digit >> bit) & 1 ? "wn" : "nw");
    }
    b.Append("nwn");
    return b.Finish(value);
}

BarcodeResult BarcodeEncoders::PostNet(const QString &value)
{
    if (!AllDigits(value))
        return NotNumeric();
    // Full bars by the weights 7 4 2 1 0, two per digit.
    static const char *const kDigits[10] = {"11000", "00011", "00101", "00110", "01001",
                                            "01010", "01100", "10001", "10010", "10100"};
    BarcodeResult r;
    auto bar = [&r](bool full) {
        if (!r.pattern.elements.empty())
            r.pattern.elements.push_back(1);
        r.pattern.elements.push_back(1);
        r.pattern.halfBars.push_back(!full);
    };
    bar(true);
    for (QChar c : value)
        for (const char *p = kDigits[c.unicode() - u'0']; *p; ++p)
            bar(*p == '1');
    bar(true);
    r.pattern.text = value;
    return r;
}

BarcodeResult BarcodeEncoders::Codabar(const QString &value)
{
    static const char kChars[] = "0123456789-$:/.+ABCD";
    static const char *const kPatterns[20] = {
        "nnnnnww", "nnnnwwn", "nnnwnnw", "wwnnnnn", "nnwnnwn", "wnnnnwn", "nwnnnnw",
        "nwnnwnn", "nwwnnnn", "wnnwnnn", "nnnwwnn", "nnwwnnn", "wnnnwnw", "wnwnnnw",
        "wnwnwnn", "nnwnwnw", "nnwwnwn", "nwnwnnw", "nnnwnww", "nnnwwwn"};
    auto indexOf = [](QChar c) {
        const char *p =
            c.unicode() && c.unicode() < 128 ? std::strchr(kChars, char(c.unicode())) : nullptr;
        return p ? int(p - kChars) : -1;
    };
    auto isStartStop = [&](QChar c) { return indexOf(c) >= 16; };
    QString symbols = value;
    const bool starts = isStartStop(value.front());
    const bool ends = value.size() > 1 && isStartStop(value.back());
    if (starts != ends || (starts && value.size() < 2))
        return WrongShape(BarcodeType::Codabar);
    if (!starts)
        symbols = u'A' + value + u'A';
    for (qsizetype i = 1; i + 1 < symbols.size(); ++i) {
        const int k = indexOf(symbols[i]);
        if (k < 0 || k >= 16)
            return CannotExpress(BarcodeType::Codabar);
    }
    TwoWidthBuilder b;
    for (qsizetype i = 0; i < symbols.size(); ++i) {
        if (i > 0)
            b.Append("n");
        b.Append(kPatterns[indexOf(symbols[i])]);
    }
    return b.Finish(value);
}
