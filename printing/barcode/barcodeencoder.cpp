#include "printing/barcode/barcodeencoder.h"

#include "base/messages.h"
#include "base/translation.h"
#include "printing/barcode/encoderdetail.h"

using namespace Qt::StringLiterals;

namespace
{
const char *const kTypeNames[kBarcodeTypeCount] = {"2_5_interleaved",
                                                   "2_5_industrial",
                                                   "2_5_matrix",
                                                   "Code39",
                                                   "Code39 Extended",
                                                   "Code128A",
                                                   "Code128B",
                                                   "Code128C",
                                                   "Code93",
                                                   "Code93 Extended",
                                                   "MSI",
                                                   "PostNet",
                                                   "Codebar",
                                                   "EAN8",
                                                   "EAN13",
                                                   "UPC_A",
                                                   "UPC_E0",
                                                   "UPC_E1",
                                                   "UPC Supp2",
                                                   "UPC Supp5",
                                                   "EAN128A",
                                                   "EAN128B",
                                                   "EAN128C"};
} // namespace

QString BarcodeTypeName(int type)
{
    if (type < 0 || type >= kBarcodeTypeCount)
        return QString::number(type);
    return QString::fromLatin1(kTypeNames[type]);
}

QString BarcodeError::text() const
{
    return msgid ? formatText(tx(msgid), args) : QString();
}

namespace BarcodeDetail
{

BarcodeResult NotNumeric()
{
    BarcodeResult r;
    r.error = {txNoop("Barcode muss numerisch sein."), {}};
    return r;
}

BarcodeResult WrongShape(BarcodeType type)
{
    BarcodeResult r;
    r.error = {txNoop("%s: Falscher Barcodetyp"), {BarcodeTypeName(int(type))}};
    return r;
}

BarcodeResult CannotExpress(BarcodeType type)
{
    BarcodeResult r;
    r.error = {txNoop("%s: Interner Fehler"), {BarcodeTypeName(int(type))}};
    return r;
}

bool AllDigits(QStringView text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

void TwoWidthBuilder::Append(const char *narrowWide)
{
    for (const char *p = narrowWide; *p; ++p)
        m_pattern.elements.push_back(*p == 'w' ? 2 : 1);
}

BarcodeResult TwoWidthBuilder::Finish(const QString &text)
{
    BarcodeResult r;
    r.pattern = std::move(m_pattern);
    r.pattern.twoWidths = true;
    r.pattern.text = text;
    return r;
}

void ModuleBuilder::Widths(const char *widths)
{
    bool dark = true;
    for (const char *p = widths; *p; ++p, dark = !dark)
        m_bits.append(size_t(*p - '0'), dark ? '1' : '0');
}

BarcodeResult ModuleBuilder::Finish(const QString &text)
{
    BarcodeResult r;
    r.pattern.text = text;
    size_t i = 0;
    while (i < m_bits.size()) {
        size_t j = i;
        while (j < m_bits.size() && m_bits[j] == m_bits[i])
            ++j;
        r.pattern.elements.push_back(std::uint8_t(j - i));
        i = j;
    }
    return r;
}

} // namespace BarcodeDetail

BarcodeResult EncodeBarcode(int type, const QString &value)
{
    using namespace BarcodeEncoders;
    if (type < 0 || type >= kBarcodeTypeCount)
        return BarcodeDetail::WrongShape(BarcodeType(type));
    if (value.isEmpty())
        return {};
    const auto t = BarcodeType(type);
    switch (t) {
    case BarcodeType::Interleaved2of5:
    case BarcodeType::Industrial2of5:
    case BarcodeType::Matrix2of5:
        return TwoOfFive(t, value);
    case BarcodeType::Code39:
    case BarcodeType::Code39Extended:
        return Code39(value, t == BarcodeType::Code39Extended);
    case BarcodeType::Code93:
    case BarcodeType::Code93Extended:
        return Code93(value, t == BarcodeType::Code93Extended);
    case BarcodeType::Code128A:
    case BarcodeType::Code128B:
    case BarcodeType::Code128C:
    case BarcodeType::Ean128A:
    case BarcodeType::Ean128B:
    case BarcodeType::Ean128C:
        return Code128(t, value);
    case BarcodeType::Msi:
        return Msi(value);
    case BarcodeType::PostNet:
        return PostNet(value);
    case BarcodeType::Codabar:
        return Codabar(value);
    case BarcodeType::Ean8:
    case BarcodeType::Ean13:
    case BarcodeType::UpcA:
    case BarcodeType::UpcE0:
    case BarcodeType::UpcE1:
    case BarcodeType::UpcSupp2:
    case BarcodeType::UpcSupp5:
        return EanUpc(t, value);
    }
    return BarcodeDetail::WrongShape(t);
}
