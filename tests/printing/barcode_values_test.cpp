// What a value may hold, per symbology, and which text each fault raises.
#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/barcoderenderer.h"
#include "tests/support/documents.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Each refused value with the text and arguments of its fault, one line each in the listing.
TEST(BarcodeValues, FaultsRaiseTheirTexts)
{
    // clang-format off
    const std::pair<int, const char16_t *> cases[] = {
        {0, u"12a4"}, {0, u"123"}, {1, u"12 3"}, {2, u"-1"}, {3, u"lower"}, {3, u"A*B"},
        {4, u"\u00e4"}, {5, u"abc"}, {6, u"\u00fc"}, {6, u"\u0007"}, {7, u"12A4"}, {7, u"12345"},
        {8, u"abc"}, {8, u"A*"}, {9, u"\u20ac5"}, {10, u"12.5"}, {11, u"1234O"}, {12, u"A123"},
        {12, u"12B"}, {12, u"A"}, {12, u"A1&2B"}, {12, u"A1C2B"}, {13, u"9638507"},
        {14, u"400638133393"}, {14, u"4006381333931 123"}, {14, u"40063813339X1"},
        {14, u"4006381333931-12"}, {15, u"0360002914521"}, {16, u"11234565"}, {17, u"01234565"},
        {18, u"123"}, {19, u"1234 5"}, {20, u"(01)x"}, {21, u"(1)12"}, {21, u"(10)"},
        {21, u"(10)AB(11"}, {22, u"(10)123"}, {22, u"(10)AB"}, {23, u"1"}, {-1, u"1"},
    };
    // clang-format on
    QString listing;
    for (const auto &[type, value] : cases) {
        const BarcodeResult r = EncodeBarcode(type, QString::fromUtf16(value));
        EXPECT_TRUE(r.pattern.elements.empty()) << type;
        const QString shown = QString::fromUtf16(value).replace(u'\u0007', u"\\a"_s);
        listing += u"%1 <%2>: %3 [%4]\n"_s.arg(type).arg(
            shown, r.ok() ? u"drawn"_s : QString::fromUtf8(r.error.msgid), r.error.args.join(u'|'));
    }
    TestDocuments::expectGoldenText("printing", "barcode_faults.txt", listing);
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
