// Every encoder is checked against programs that know the symbologies independently of us:
// zbarimg reads our rendered bitmaps as a scanner would, and zint's module dump shows the
// narrow/wide sequence of the types zbar cannot read. What each symbology refuses and how wide
// the renderer draws follow.
#include "printing/barcode/barcodeencoder.h"
#include "printing/barcode/barcoderenderer.h"
#include "tests/support/documents.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// In CI an oracle that is not installed is a failure: a skipped check there would pass
// unnoticed forever.
bool oracleMissing(const QString &program)
{
    if (!QStandardPaths::findExecutable(program).isEmpty())
        return false;
    if (qgetenv("CI") == "true")
        ADD_FAILURE() << program.toStdString() << " is not installed (tools/install-packages)";
    return true;
}

BarcodePattern encoded(BarcodeType type, const QString &value)
{
    const BarcodeResult r = EncodeBarcode(int(type), value);
    EXPECT_TRUE(r.ok()) << value.toStdString() << ": " << r.error.text().toStdString();
    return r.pattern;
}

// Renders at three pixels per module with the quiet zones scanners need.
QImage bitmap(const BarcodePattern &pattern)
{
    const BarcodeRenderer renderer(3);
    const int quiet = 30;
    QImage image(renderer.Width(pattern) + 2 * quiet, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.Draw(painter, pattern, QRect(quiet, 10, renderer.Width(pattern), 100), false);
    return image;
}

QString zbar(const QImage &image, const QStringList &extra = {})
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"code.png"_s);
    image.save(file);
    QProcess p;
    p.start(u"zbarimg"_s,
            QStringList{u"--nodbus"_s, u"-q"_s, u"-Supca.enable"_s, u"-Supce.enable"_s,
                        u"-Sean2.enable"_s, u"-Sean5.enable"_s, u"-Si25.min-length=0"_s} +
                extra + QStringList{file});
    p.waitForFinished(30000);
    // An add-on is reported as a symbol of its own; the order of the lines is zbar's business.
    QStringList lines =
        QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines.join(u'\n');
}

// zint's dump: one line of hex bytes per row; a final single digit is half a byte.
QStringList zintRows(const QString &symbology, const QString &data, bool escaped = false)
{
    QProcess p;
    QStringList args{u"-b"_s, symbology, u"--dump"_s, u"-d"_s, data};
    if (escaped)
        args.append(u"--esc"_s);
    p.start(u"zint"_s, args);
    p.waitForFinished(30000);
    QStringList rows;
    for (const QString &line :
         QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        QString bits;
        for (const QString &hex : line.split(u' ', Qt::SkipEmptyParts))
            bits +=
                QString::number(hex.toUInt(nullptr, 16), 2).rightJustified(hex.size() * 4, u'0');
        while (bits.endsWith(u'0'))
            bits.chop(1);
        rows.append(bits);
    }
    return rows;
}

QString modules(const BarcodePattern &pattern)
{
    QString bits;
    for (size_t i = 0; i < pattern.elements.size(); ++i)
        bits += QString(pattern.elements[i], i % 2 == 0 ? u'1' : u'0');
    return bits;
}

// A row of modules as the sequence of its element kinds: n narrow, w wide (any run over one).
QString narrowWide(const QString &bits)
{
    QString out;
    for (qsizetype i = 0; i < bits.size();) {
        qsizetype j = i;
        while (j < bits.size() && bits[j] == bits[i])
            ++j;
        out += j - i > 1 ? u'w' : u'n';
        i = j;
    }
    return out;
}

} // namespace

TEST(BarcodeOracle, ZbarReadsWhatWeDrawAndGs1128ItsModifierAndSeparators)
{
    if (oracleMissing(u"zbarimg"_s))
        GTEST_SKIP() << "zbarimg missing";
    struct Case {
        BarcodeType type;
        QString value;
        QString read; // what the scanner reports
    };
    const Case cases[] = {
        {BarcodeType::Ean8, u"96385074"_s, u"EAN-8:96385074"_s},
        {BarcodeType::Ean13, u"4006381333931"_s, u"EAN-13:4006381333931"_s},
        // Data check digits are the value's business: a wrong one is drawn as given, and
        // the scanner refuses it, which proves that nothing was recomputed.
        {BarcodeType::Ean13, u"4006381333932"_s, QString()},
        {BarcodeType::Ean13, u"4006381333931 12"_s, u"EAN-13:4006381333931\nEAN-2:12"_s},
        {BarcodeType::Ean13, u"9781234567897+52495"_s, u"EAN-13:9781234567897\nEAN-5:52495"_s},
        {BarcodeType::UpcA, u"036000291452"_s, u"UPC-A:036000291452"_s},
        {BarcodeType::UpcE0, u"01234565"_s, u"UPC-E:01234565"_s},
        {BarcodeType::UpcE0, u"04252614"_s, u"UPC-E:04252614"_s},
        {BarcodeType::UpcSupp2, u"12"_s, u"EAN-2:12"_s},
        {BarcodeType::UpcSupp5, u"52495"_s, u"EAN-5:52495"_s},
        {BarcodeType::Code39, u"CODE 39-$/+%."_s, u"CODE-39:CODE 39-$/+%."_s},
        {BarcodeType::Code93, u"CODE 93-$/+%."_s, u"CODE-93:CODE 93-$/+%."_s},
        {BarcodeType::Code93Extended, u"Code 93 \u0001full{ASCII}!"_s,
         u"CODE-93:Code 93 \u0001full{ASCII}!"_s},
        {BarcodeType::Code128A, u"ABC_123\u0009X"_s, u"CODE-128:ABC_123\u0009X"_s},
        {BarcodeType::Code128B, u"Hello, World! ~{}"_s, u"CODE-128:Hello, World! ~{}"_s},
        {BarcodeType::Code128C, u"0012345678"_s, u"CODE-128:0012345678"_s},
        {BarcodeType::Interleaved2of5, u"1234567890"_s, u"I2/5:1234567890"_s},
        {BarcodeType::Interleaved2of5, u"05"_s, u"I2/5:05"_s},
        {BarcodeType::Codabar, u"A40156B"_s, u"Codabar:A40156B"_s},
        {BarcodeType::Codabar, u"123-$:/.+45"_s, u"Codabar:A123-$:/.+45A"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(zbar(bitmap(encoded(c.type, c.value))).toStdString(), c.read.toStdString());
    }

    // GS1-128 carries the GS1 modifier; its FNC1 separators read as GS.
    const Case gs1[] = {
        {BarcodeType::Ean128C, u"(01)04012345678901(17)250101"_s, u"010401234567890117250101"_s},
        {BarcodeType::Ean128B, u"(10)ab12(01)04012345678901"_s, u"10ab12\u001d0104012345678901"_s},
        {BarcodeType::Ean128A, u"(21)X7(400)PO-4711"_s, u"21X7\u001d400PO-4711"_s},
    };
    for (const Case &c : gs1) {
        SCOPED_TRACE(c.value.toStdString());
        const QString xml = zbar(bitmap(encoded(c.type, c.value)), {u"--xml"_s});
        EXPECT_TRUE(xml.contains(u"modifiers='GS1'"_s)) << xml.toStdString();
        // Data with control characters (the separators) comes base64-encoded.
        const qsizetype start = xml.indexOf(u"<![CDATA["_s) + 9;
        const QByteArray raw =
            xml.mid(start, xml.indexOf(u"]]>"_s, start) - start).trimmed().toLatin1();
        const QString data = QString::fromLatin1(
            xml.contains(u"format='base64'"_s) ? QByteArray::fromBase64(raw) : raw);
        EXPECT_EQ(data.toStdString(), c.read.toStdString());
    }
}

// Two-width symbologies by their narrow/wide sequences, POSTNET and UPC-E1 module by module.
TEST(BarcodeOracle, ZintDrawsTheSameModules)
{
    if (oracleMissing(u"zint"_s))
        GTEST_SKIP() << "zint missing";
    struct Case {
        BarcodeType type;
        QString value;
        QString zintType;
        QString zintData; // zint appends the check digits we expect in the value
    };
    const Case cases[] = {
        {BarcodeType::Industrial2of5, u"0123456789"_s, u"C25IND"_s, u"0123456789"_s},
        {BarcodeType::Matrix2of5, u"0123456789"_s, u"C25STANDARD"_s, u"0123456789"_s},
        {BarcodeType::Msi, u"0123456789"_s, u"MSI_PLESSEY"_s, u"0123456789"_s},
        {BarcodeType::Code39Extended, u"Mixed case, *stars* & NUL\u0000!"_s, u"EXCODE39"_s,
         u"Mixed case, *stars* & NUL\\0!"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        const QStringList rows = zintRows(c.zintType, c.zintData, c.zintData.contains(u'\\'));
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(narrowWide(modules(encoded(c.type, c.value))), narrowWide(rows[0]));
    }

    // POSTNET: zint's first row holds the full bars, its second every bar.
    const BarcodePattern postnet = encoded(BarcodeType::PostNet, u"123455"_s);
    QString full, all;
    for (size_t i = 0; i < postnet.halfBars.size(); ++i) {
        full += postnet.halfBars[i] ? u"00"_s : u"10"_s;
        all += u"10"_s;
    }
    full.chop(1);
    all.chop(1);
    while (full.endsWith(u'0'))
        full.chop(1);
    EXPECT_EQ(zintRows(u"POSTNET"_s, u"12345"_s), (QStringList{full, all}));

    // UPC-E number system 1, its check digit chosen by the standard's expansion.
    for (const auto &[value, zintData] :
         {std::pair{u"12345670"_s, u"1234567"_s}, std::pair{u"16543214"_s, u"1654321"_s}}) {
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(zintRows(u"UPCE"_s, zintData),
                  QStringList{modules(encoded(BarcodeType::UpcE1, value))});
    }
}

// What a value may hold, per symbology: each refused value with the text and arguments of its
// fault, one line each in the listing.
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
