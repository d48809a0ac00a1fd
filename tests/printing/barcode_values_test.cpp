// What a value may hold, per symbology, and which text each fault raises.
#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/barcoderenderer.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
const char *kNumeric = "Barcode muss numerisch sein.";
const char *kWrongType = "%s: Falscher Barcodetyp";
const char *kInternal = "%s: Interner Fehler";
const char *kCode93 = "%s:Code93 fehlerhafte Daten <%s>";
} // namespace

TEST(BarcodeValues, FaultsRaiseTheirTexts)
{
    struct Case {
        int type;
        QString value;
        const char *msgid;
        QStringList args;
    };
    // clang-format off
    const Case cases[] = {
        {0, u"12a4"_s, kNumeric, {}}, {0, u"123"_s, kWrongType, {u"2_5_interleaved"_s}},
        {1, u"12 3"_s, kNumeric, {}}, {2, u"-1"_s, kNumeric, {}},
        {3, u"lower"_s, kInternal, {u"Code39"_s}}, {3, u"A*B"_s, kInternal, {u"Code39"_s}},
        {4, u"\u00e4"_s, kInternal, {u"Code39 Extended"_s}},
        {5, u"abc"_s, kInternal, {u"Code128A"_s}}, {6, u"\u00fc"_s, kInternal, {u"Code128B"_s}},
        {6, u"\u0007"_s, kInternal, {u"Code128B"_s}}, {7, u"12A4"_s, kNumeric, {}},
        {7, u"12345"_s, kWrongType, {u"Code128C"_s}},
        {8, u"abc"_s, kCode93, {u"Code93"_s, u"abc"_s}},
        {8, u"A*"_s, kCode93, {u"Code93"_s, u"A*"_s}},
        {9, u"\u20ac5"_s, kCode93, {u"Code93 Extended"_s, u"\u20ac5"_s}},
        {10, u"12.5"_s, kNumeric, {}}, {11, u"1234O"_s, kNumeric, {}},
        {12, u"A123"_s, kWrongType, {u"Codebar"_s}}, {12, u"12B"_s, kWrongType, {u"Codebar"_s}},
        {12, u"A"_s, kWrongType, {u"Codebar"_s}}, {12, u"A1&2B"_s, kInternal, {u"Codebar"_s}},
        {12, u"A1C2B"_s, kInternal, {u"Codebar"_s}}, {13, u"9638507"_s, kWrongType, {u"EAN8"_s}},
        {14, u"400638133393"_s, kWrongType, {u"EAN13"_s}},
        {14, u"4006381333931 123"_s, kWrongType, {u"EAN13"_s}},
        {14, u"40063813339X1"_s, kNumeric, {}}, {14, u"4006381333931-12"_s, kNumeric, {}},
        {15, u"0360002914521"_s, kWrongType, {u"UPC_A"_s}},
        {16, u"11234565"_s, kWrongType, {u"UPC_E0"_s}},
        {17, u"01234565"_s, kWrongType, {u"UPC_E1"_s}},
        {18, u"123"_s, kWrongType, {u"UPC Supp2"_s}}, {19, u"1234 5"_s, kNumeric, {}},
        {20, u"(01)x"_s, kInternal, {u"EAN128A"_s}}, {21, u"(1)12"_s, kWrongType, {u"EAN128B"_s}},
        {21, u"(10)"_s, kWrongType, {u"EAN128B"_s}},
        {21, u"(10)AB(11"_s, kWrongType, {u"EAN128B"_s}},
        {22, u"(10)123"_s, kWrongType, {u"EAN128C"_s}}, {22, u"(10)AB"_s, kNumeric, {}},
        {23, u"1"_s, kWrongType, {u"23"_s}}, {-1, u"1"_s, kWrongType, {u"-1"_s}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.value.toStdString());
        const BarcodeResult r = EncodeBarcode(c.type, c.value);
        ASSERT_FALSE(r.ok());
        EXPECT_STREQ(r.error.msgid, c.msgid);
        EXPECT_EQ(r.error.args, c.args);
        EXPECT_TRUE(r.pattern.elements.empty());
    }
}

TEST(BarcodeValues, EmptyValueDrawsNothingAndRaisesNothing)
{
    for (int type = 0; type < kBarcodeTypeCount; ++type) {
        const BarcodeResult r = EncodeBarcode(type, QString());
        EXPECT_TRUE(r.ok()) << type;
        EXPECT_TRUE(r.pattern.elements.empty()) << type;
    }
}

TEST(BarcodeValues, TwoWidthSymbolsKeepTheirRatioDownToOnePixelModules)
{
    const BarcodePattern code39 = EncodeBarcode(3, u"A"_s).pattern;
    // 3 characters of 9 elements, 3 wide each, and the 2 gaps: 20 narrow, 9 wide.
    ASSERT_EQ(code39.elements.size(), 29u);
    EXPECT_EQ(BarcodeRenderer::ModulePixels(72), 1);
    EXPECT_EQ(BarcodeRenderer::ModulePixels(600), 5);
    EXPECT_EQ(BarcodeRenderer(1).Width(code39), 20 * 1 + 9 * 2);
    EXPECT_EQ(BarcodeRenderer(5).Width(code39), 20 * 5 + 9 * 10);
    // Module symbologies scale their widths instead; EAN-13 is 95 modules.
    EXPECT_EQ(BarcodeRenderer(2).Width(EncodeBarcode(14, u"4006381333931"_s).pattern), 190);
}
