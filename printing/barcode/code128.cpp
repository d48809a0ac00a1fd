#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/encoderdetail.h"

#include <vector>

using namespace BarcodeDetail;

namespace
{
// Bar and space widths of the 107 symbols; 106 is the stop with its final bar.
const char *const kPatterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};
constexpr int kFnc1 = 102;
constexpr int kStartA = 103;
constexpr int kStop = 106;

enum class Set { A, B, C };

// Appends the symbols of one run of data in the set; false when a character does not fit.
bool appendData(Set set, QStringView data, std::vector<int> &symbols)
{
    if (set == Set::C) {
        if (data.size() % 2 != 0)
            return false;
        for (qsizetype i = 0; i < data.size(); i += 2)
            symbols.push_back((data[i].unicode() - u'0') * 10 + data[i + 1].unicode() - u'0');
        return true;
    }
    for (QChar ch : data) {
        const char16_t c = ch.unicode();
        if (set == Set::A && c < 32)
            symbols.push_back(c + 64);
        else if (set == Set::A && c < 96)
            symbols.push_back(c - 32);
        else if (set == Set::B && c >= 32 && c < 128)
            symbols.push_back(c - 32);
        else
            return false;
    }
    return true;
}

// Identifiers whose data has a fixed length, by their first two digits: no separator follows.
bool fixedLengthAi(QStringView ai)
{
    static const char *const kFixed[] = {"00", "01", "02", "03", "04", "11", "12", "13",
                                         "14", "15", "16", "17", "18", "19", "20", "31",
                                         "32", "33", "34", "35", "36", "41"};
    for (const char *f : kFixed)
        if (ai.left(2) == QLatin1StringView(f))
            return true;
    return false;
}

struct Gs1Field {
    QStringView ai;
    QStringView data;
};

// Splits "(01)...(10)..." into fields; false for a malformed value.
bool splitGs1(QStringView value, std::vector<Gs1Field> &fields)
{
    qsizetype i = 0;
    while (i < value.size()) {
        if (value[i] != u'(')
            return false;
        const qsizetype close = value.indexOf(u')', i);
        if (close < 0)
            return false;
        const QStringView ai = value.mid(i + 1, close - i - 1);
        if (ai.size() < 2 || ai.size() > 4 || !AllDigits(ai))
            return false;
        qsizetype next = value.indexOf(u'(', close);
        if (next < 0)
            next = value.size();
        const QStringView data = value.mid(close + 1, next - close - 1);
        if (data.isEmpty())
            return false;
        fields.push_back({ai, data});
        i = next;
    }
    return !fields.empty();
}
} // namespace

BarcodeResult BarcodeEncoders::Code128(BarcodeType type, const QString &value)
{
    const bool gs1 = type >= BarcodeType::Ean128A;
    const Set set = Set((int(type) - int(gs1 ? BarcodeType::Ean128A : BarcodeType::Code128A)));
    std::vector<int> symbols{kStartA + int(set)};
    if (!gs1) {
        if (set == Set::C && !AllDigits(value))
            return NotNumeric();
        if (!appendData(set, value, symbols))
            return set == Set::C ? WrongShape(type) : CannotExpress(type);
    } else {
        symbols.push_back(kFnc1);
        std::vector<Gs1Field> fields;
        if (!value.startsWith(u'('))
            fields.push_back({QStringView(), value});
        else if (!splitGs1(value, fields))
            return WrongShape(type);
        for (size_t f = 0; f < fields.size(); ++f) {
            if (f > 0 && !fixedLengthAi(fields[f - 1].ai))
                symbols.push_back(kFnc1);
            const QString run = fields[f].ai.toString() + fields[f].data.toString();
            if (set == Set::C && !AllDigits(run))
                return NotNumeric();
            if (!appendData(set, run, symbols))
                return set == Set::C ? WrongShape(type) : CannotExpress(type);
        }
    }
    int check = symbols.front();
    for (size_t i = 1; i < symbols.size(); ++i)
        check += symbols[i] * int(i);
    symbols.push_back(check % 103);
    symbols.push_back(kStop);
    ModuleBuilder b;
    for (int s : symbols)
        b.Widths(kPatterns[s]);
    return b.Finish(value);
}
