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
#include <QRegularExpression>
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
    static const QRegularExpression hex(u"\\\\x([0-9a-f]{2})"_s);
    const auto unescaped = [](QString s) {
        for (auto m = hex.match(s); m.hasMatch(); m = hex.match(s))
            s.replace(m.capturedStart(), 4, QChar(m.captured(1).toUShort(nullptr, 16)));
        return s;
    };
    const QStringList lines =
        QString::fromUtf8(TestDocuments::golden("printing", "barcode_zbar.tsv"))
            .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 20);
    for (const QString &line : lines) {
        const QStringList f = line.split(u'\t');
        if (line.startsWith(u'#') || f.size() != 3)
            continue;
        SCOPED_TRACE(line.toStdString());
        int type = 0;
        while (type < kBarcodeTypeCount && BarcodeTypeName(type) != f[0])
            ++type;
        const BarcodePattern pattern = encoded(BarcodeType(type), unescaped(f[1]));
        if (type < int(BarcodeType::Ean128A)) {
            EXPECT_EQ(zbar(bitmap(pattern)).toStdString(), unescaped(f[2]).toStdString());
            continue;
        }
        // GS1-128 carries the GS1 modifier; data with control characters (the FNC1 separators)
        // comes base64-encoded.
        const QString xml = zbar(bitmap(pattern), {u"--xml"_s});
        EXPECT_TRUE(xml.contains(u"modifiers='GS1'"_s)) << xml.toStdString();
        const qsizetype start = xml.indexOf(u"<![CDATA["_s) + 9;
        const QByteArray raw =
            xml.mid(start, xml.indexOf(u"]]>"_s, start) - start).trimmed().toLatin1();
        const QString data = QString::fromLatin1(
            xml.contains(u"format='base64'"_s) ? QByteArray::fromBase64(raw) : raw);
        EXPECT_EQ(data.toStdString(), unescaped(f[2]).toStdString());
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
// fault. The golden listing names the inputs too, so a new case is one line there.
TEST(BarcodeValues, FaultsRaiseTheirTexts)
{
    static const QRegularExpression input(u"^(-?\\d+) <(.*)>: "_s);
    const QString golden =
        QString::fromUtf8(TestDocuments::golden("printing", "barcode_faults.txt"));
    QString listing;
    for (const QString &line : golden.split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = input.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        const int type = m.captured(1).toInt();
        const QString shown = m.captured(2);
        const BarcodeResult r = EncodeBarcode(type, QString(shown).replace(u"\\a"_s, u"\u0007"_s));
        EXPECT_TRUE(r.pattern.elements.empty()) << line.toStdString();
        listing += u"%1 <%2>: %3 [%4]\n"_s.arg(type).arg(
            shown, r.ok() ? u"drawn"_s : QString::fromUtf8(r.error.msgid), r.error.args.join(u'|'));
    }
    EXPECT_GT(listing.count(u'\n'), 30);
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
