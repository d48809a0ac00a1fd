#pragma once

#include "printing/barcode/barcodepattern.h"

#include <QStringView>
#include <string>

// Shared pieces of the encoders; not part of the printing library's interface.
namespace BarcodeDetail
{

BarcodeResult NotNumeric();
BarcodeResult WrongShape(BarcodeType type);
BarcodeResult CannotExpress(BarcodeType type);
bool AllDigits(QStringView text);

// Collects narrow/wide elements ('n', 'w'), alternating bar and space as appended.
class TwoWidthBuilder
{
public:
    void Append(const char *narrowWide);
    BarcodeResult Finish(const QString &text);

private:
    BarcodePattern m_pattern;
};

// Collects modules, '1' dark and '0' light, or element widths ("212222", bar first), and turns
// them into alternating bars and spaces at the end.
class ModuleBuilder
{
public:
    void Bits(const char *bits) { m_bits += bits; }
    void Bits(const std::string &bits) { m_bits += bits; }
    // Widths of alternating bars and spaces starting with a bar.
    void Widths(const char *widths);
    BarcodeResult Finish(const QString &text);

private:
    std::string m_bits;
};

} // namespace BarcodeDetail

namespace BarcodeDetail
{
// How Code 39 and Code 93 write an ASCII character (0-127) with their own: itself, or a shift
// character ($ % / +) and a letter.
const char *FullAscii(char16_t c);
} // namespace BarcodeDetail
