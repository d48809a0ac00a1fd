#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/encoderdetail.h"

using namespace BarcodeDetail;

namespace
{
// Left-hand odd parity (L); even parity (G) is its mirror inverted, right-hand (R) its inverse.
const char *const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
// EAN-13: the parities of the left half that stand for the first digit.
const char *const kEan13Parity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                      "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
// UPC-E, number system 0: the parities that stand for the check digit; system 1 inverts them.
const char *const kUpcEParity[10] = {"GGGLLL", "GGLGLL", "GGLLGL", "GGLLLG", "GLGGLL",
                                     "GLLGGL", "GLLLGG", "GLGLGL", "GLGLLG", "GLLGLG"};
const char *const kAddOn5Parity[10] = {"GGLLL", "GLGLL", "GLLGL", "GLLLG", "LGGLL",
                                       "LLGGL", "LLLGG", "LGLGL", "LGLLG", "LLGLG"};

int digitAt(QStringView s, qsizetype i)
{
    return s[i].unicode() - u'0';
}

std::string code(int digit, char parity)
{
    std::string c = kL[digit];
    if (parity == 'L')
        return c;
    for (char &b : c)
        b = b == '1' ? '0' : '1';
    if (parity == 'G')
        return std::string(c.rbegin(), c.rend());
    return c; // R
}

std::string addOn(QStringView digits)
{
    std::string parity;
    if (digits.size() == 2) {
        static const char *const kTwo[4] = {"LL", "LG", "GL", "GG"};
        parity = kTwo[(digitAt(digits, 0) * 10 + digitAt(digits, 1)) % 4];
    } else {
        int sum = 0;
        for (qsizetype i = 0; i < 5; ++i)
            sum += digitAt(digits, i) * (i % 2 == 0 ? 3 : 9);
        parity = kAddOn5Parity[sum % 10];
    }
    std::string bits = "1011";
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0)
            bits += "01";
        bits += code(digitAt(digits, i), parity[size_t(i)]);
    }
    return bits;
}

qsizetype mainLength(BarcodeType type)
{
    switch (type) {
    case BarcodeType::Ean8:
    case BarcodeType::UpcE0:
    case BarcodeType::UpcE1:
        return 8;
    case BarcodeType::Ean13:
        return 13;
    case BarcodeType::UpcA:
        return 12;
    case BarcodeType::UpcSupp2:
        return 2;
    default:
        return 5;
    }
}
} // namespace

BarcodeResult BarcodeEncoders::EanUpc(BarcodeType type, const QString &value)
{
    const qsizetype length = mainLength(type);
    const bool standaloneAddOn = type == BarcodeType::UpcSupp2 || type == BarcodeType::UpcSupp5;
    QString digits = value;
    if (!standaloneAddOn && digits.size() > length + 1 &&
        (digits[length] == u' ' || digits[length] == u'+'))
        digits.remove(length, 1);
    if (!AllDigits(digits))
        return NotNumeric();
    const qsizetype extra = digits.size() - length;
    if (extra != 0 && (standaloneAddOn || (extra != 2 && extra != 5)))
        return WrongShape(type);
    const QStringView main = QStringView(digits).left(length);

    std::string bits;
    switch (type) {
    case BarcodeType::Ean13:
    case BarcodeType::UpcA: {
        // UPC-A is EAN-13 with a leading zero.
        const QString ean = type == BarcodeType::UpcA ? u'0' + main.toString() : main.toString();
        const char *parity = kEan13Parity[digitAt(ean, 0)];
        bits = "101";
        for (qsizetype i = 1; i <= 6; ++i)
            bits += code(digitAt(ean, i), parity[i - 1]);
        bits += "01010";
        for (qsizetype i = 7; i <= 12; ++i)
            bits += code(digitAt(ean, i), 'R');
        bits += "101";
        break;
    }
    case BarcodeType::Ean8:
        bits = "101";
        for (qsizetype i = 0; i < 4; ++i)
            bits += code(digitAt(main, i), 'L');
        bits += "01010";
        for (qsizetype i = 4; i < 8; ++i)
            bits += code(digitAt(main, i), 'R');
        bits += "101";
        break;
    case BarcodeType::UpcE0:
    case BarcodeType::UpcE1: {
        const int system = type == BarcodeType::UpcE0 ? 0 : 1;
        if (digitAt(main, 0) != system)
            return WrongShape(type);
        const char *parity = kUpcEParity[digitAt(main, 7)];
        bits = "101";
        for (qsizetype i = 1; i <= 6; ++i) {
            char p = parity[i - 1];
            if (system == 1)
                p = p == 'G' ? 'L' : 'G';
            bits += code(digitAt(main, i), p);
        }
        bits += "010101";
        break;
    }
    default:
        bits = addOn(main);
        break;
    }
    QString text = main.toString();
    if (extra > 0) {
        // The scanners' gap between symbol and add-on is 7 to 12 modules.
        bits += std::string(9, '0') + addOn(QStringView(digits).mid(length));
        text += u' ' + digits.mid(length);
    }
    ModuleBuilder b;
    b.Bits(bits);
    return b.Finish(text);
}
