#pragma once

#include "printing/barcode/barcodepattern.h"

// Our own encoders rather than a barcode library: none we know of leaves the data check digits
// to the value (EAN/UPC, 2 of 5, Code 39, MSI, POSTNET, Codabar) nor draws wide elements at
// exactly twice the narrow width, and labels printed by the suite's other programs depend on
// both.
//
// Every encoder is a pure function from the value to its bars. What a value may hold:
//
// - Data check digits are never added and never verified: EAN-8 is 8 digits, EAN-13 13,
//   UPC-A 12, UPC-E 8 ("0" or "1" for the number system, six digits, the check digit, which
//   also chooses the parities); POSTNET is the ZIP digits followed by their check digit; MSI,
//   Interleaved 2 of 5 and Code 39 print exactly the characters given.
// - EAN-8, EAN-13, UPC-A and UPC-E take a 2- or 5-digit add-on, written right after the main
//   digits or after one blank or "+" ("4006381333931 12"). The add-on's own parity check is
//   part of the symbology and computed.
// - Check characters the symbology requires are always computed: the Code 128 / GS1-128
//   check symbol and the two Code 93 check characters.
// - Interleaved 2 of 5 and Code 128 C (and GS1-128 C between separators) need an even number
//   of digits.
// - Code 39 takes 0-9, A-Z (upper case only), blank and - . $ / + %; the start and stop "*"
//   are added. Code 39 and Code 93 full ASCII take the 128 ASCII characters.
// - Code 128 A takes ASCII 0-95 (control characters and upper case), B takes 32-127.
// - Codabar: the value either starts and ends with its start and stop character (A, B, C or
//   D, both given) or holds neither, and then "A" is used at both ends; in between 0-9 and
//   - $ : / . +.
// - GS1-128 writes its application identifiers in parentheses: "(01)04012345678901(10)AB1".
//   The leading FNC1 is always written; a further FNC1 separates a variable-length field from
//   the next identifier (identifiers beginning 00-04, 11-20, 31-36 and 41 have a fixed length
//   and need none). A value without parentheses is the element string as it stands.
//
// Faults and their texts:
// - a character that is not a digit in a digits-only type (2 of 5, Code 128 C, GS1-128 C,
//   MSI, POSTNET, EAN, UPC and the add-ons): "Barcode muss numerisch sein.";
// - a type number outside 0 to 22, or a value of the wrong length or shape for its type (odd
//   digit count, EAN-13 with 12 digits, UPC-E without its number system, Codabar with only
//   one start/stop character, GS1-128 with an empty identifier): "%s: Falscher Barcodetyp"
//   with the type's name (or number);
// - a character the symbology cannot express (lower case in Code 39, "&" in Codabar, an
//   umlaut in Code 128): "%s: Interner Fehler" with the type's name;
// - a character outside Code 93 (standard or full ASCII): "%s:Code93 fehlerhafte Daten <%s>"
//   with the type's name and the value.
// An empty value is no fault: it encodes to no bars.
BarcodeResult EncodeBarcode(int type, const QString &value);

namespace BarcodeEncoders
{
BarcodeResult TwoOfFive(BarcodeType type, const QString &value);
BarcodeResult Code39(const QString &value, bool fullAscii);
BarcodeResult Code93(const QString &value, bool fullAscii);
BarcodeResult Code128(BarcodeType type, const QString &value);
BarcodeResult Msi(const QString &value);
BarcodeResult PostNet(const QString &value);
BarcodeResult Codabar(const QString &value);
BarcodeResult EanUpc(BarcodeType type, const QString &value);
} // namespace BarcodeEncoders
